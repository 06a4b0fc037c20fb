#include "app/settings.h"

#include "app/actions.h"
#include "system/concat.h"
#include "system/errors.h"
#include "system/paths.h"

namespace quennavar {
namespace {

constexpr char kDefaultTime[] = "11:11";
constexpr TimeOfDay kDefaultTimeOfDay{11, 11, 0, 0};
constexpr int kReadAttempts = 3;
constexpr std::uint32_t kReadRetryDelay = 100;  // ms

}  // namespace

SettingsFile::SettingsFile(Platform& os, const std::string& programPath)
    : FOs(os), FPath(FolderOf(programPath) + kSettingsFileName) {}

std::string SettingsFile::Read(const char* key, const char* defaultValue) const {
  return FOs.GetPrivateProfileStringA(kSettingsSection, key, defaultValue, kProfileReadSize, FPath);
}

void SettingsFile::Write(const char* key, const std::string& value) const {
  if (!FOs.WritePrivateProfileStringA(kSettingsSection, key, value, FPath))
    throw EIniFileException(Concat({"Unable to write to ", FPath}));
}

void SettingsFile::WriteYesNo(const char* key, bool yes) const { Write(key, yes ? kYes : kNo); }

// The profile calls read a file they cannot open (held without sharing by
// another program, a folder of that name, a share gone away, access
// denied) as a missing one, and every default would then apply: an armed
// daily action would become a forced Shutdown at 11:11. Only a file that
// is not there is missing; null then. Held open, sharing it with every
// other reader and writer, no program can lock it away between two keys.
UniqueKernelHandle SettingsFile::OpenToRead() const {
  for (int attempt = 1;; ++attempt) {
    UniqueKernelHandle file(
        FOs, FOs.CreateFileA(FPath, kGenericRead,
                             kFileShareRead | kFileShareWrite | kFileShareDelete, kOpenExisting));
    if (file) return file;
    const std::uint32_t error = FOs.GetLastError();
    if (error == kErrorFileNotFound || error == kErrorPathNotFound) return file;
    if (attempt == kReadAttempts) throw EIniFileException(Concat({"Unable to read ", FPath}));
    FOs.Sleep(kReadRetryDelay);  // a writer may be in the middle of a write
  }
}

void SettingsFile::Load(const RegionalSettings& regional, SettingsRecord& record) const {
  const UniqueKernelHandle held = OpenToRead();
  record.FForceTerminate = Read("Terminate", kYes) == kYes;
  record.FShowOnClick = Read("ShowOnClick", kYes) == kYes;
  record.FTimerEnable = Read("TimerEnable", kNo) == kYes;
  record.FAction = Read("Action", kDefaultAction);

  std::string text = Read("Time", kDefaultTime);
  std::optional<DayFraction> time = ParseTime(FOs, regional, text);
  // The default is a time, not a text: where the locale does not separate
  // with ':' a missing key must not make every load fail. Only an empty
  // fallback tells a missing key from a stored "11:11".
  if (!time && text == kDefaultTime && Read("Time", "").empty())
    time = EncodeTime(kDefaultTimeOfDay);
  if (!time) throw EConvertError(Concat({"'", text, "' is not a valid time"}));
  record.FActionTime = *time;
  record.FWarnMinutes = WarnMinutesFrom(Read("WarnMinutes", ""));
}

void SettingsFile::Save(const RegionalSettings& regional, const SettingsChoice& choice) const {
  if (choice.action) Write("Action", *choice.action);
  WriteYesNo("TimerEnable", choice.timerEnabled);
  WriteYesNo("ShowOnClick", choice.showWindowOnClick);
  Write("Time", StoredTimeText(regional, choice.time));
}

std::string StoredTimeText(const RegionalSettings& regional, DayFraction time) {
  TimeOfDay t = DecodeTime(time);
  return LongTimeText(regional, t.hour, t.minute, t.second);
}

}  // namespace quennavar
