// The settings file "quennavar.ini" beside the program: its keys, values and
// defaults. Each read and write opens the file anew, so several copies of
// the program share it and see each other's changes.
#pragma once

#include <optional>
#include <string>

#include "app/action_warning.h"
#include "platform/platform.h"
#include "platform/unique_handle.h"
#include "system/regional.h"

namespace quennavar {

inline constexpr char kSettingsFileName[] = "quennavar.ini";
inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kYes[] = "Yes";
inline constexpr char kNo[] = "No";
// A read value is cut to this many characters less one.
inline constexpr std::uint32_t kProfileReadSize = 2048;

// The in-memory copy of the settings file.
struct SettingsRecord {
  bool FForceTerminate = true;
  bool FShowOnClick = true;
  bool FTimerEnable = false;
  std::string FAction;
  DayFraction FActionTime = 0;
  int FWarnMinutes = kDefaultWarnMinutes;  // before the daily action; never written
};

// What the settings window shows, as a full save stores it.
struct SettingsChoice {
  std::optional<std::string> action;  // the checked action; none is checked: not written
  bool timerEnabled = false;
  bool showWindowOnClick = true;
  DayFraction time = 0;
};

class SettingsFile {
 public:
  SettingsFile(Platform& os, const std::string& programPath);

  // The keys are the program's own texts: made strings here, once, not at
  // every call.
  std::string Read(const char* key, const char* defaultValue) const;
  // Throws EIniFileException where the system refuses the write.
  void Write(const char* key, const std::string& value) const;
  void WriteYesNo(const char* key, bool yes) const;

  // Fills the record key by key. On a "Time" that does not parse it throws
  // EConvertError, with the keys before it already read and the time kept.
  // A file that is there but cannot be read throws EIniFileException before
  // any key is read: its defaults are no stand-in for what it holds.
  void Load(const RegionalSettings& regional, SettingsRecord& record) const;
  // "Action", "TimerEnable", "ShowOnClick" and "Time", in that order; never
  // "Terminate".
  void Save(const RegionalSettings& regional, const SettingsChoice& choice) const;

 private:
  UniqueKernelHandle OpenToRead() const;

  Platform& FOs;
  std::string FPath;
};

// The time of day as "Time" stores it: the user's long time format.
std::string StoredTimeText(const RegionalSettings& regional, DayFraction time);

}  // namespace quennavar
