// Random message sequences into the settings window: tray clicks, menu
// commands, control clicks, timer ticks at random clock times, rewrites of
// the settings file, taskbar restarts and the end of the session, on any
// Windows version. Besides running clean under the sanitizers, the window
//  - shuts down, locks or suspends only when the message asks for it: a tray
//    menu action, "Do now", a double-click while the file says not to show
//    the window, or a tick in a minute the file's time could name;
//  - writes the settings file only from its controls;
//  - takes its tray icon away before it is destroyed.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/main_unit.h"
#include "tests/recording_platform.h"

namespace {

using namespace quennavar;
using quennavar::testing::RecordingPlatform;
namespace fs = std::filesystem;

constexpr std::size_t kMaxMessages = 64;

const OsVersionInfo kVersions[] = {
    {5, 1, 2600, kVerPlatformWin32Nt},       {5, 0, 2195, kVerPlatformWin32Nt},
    {6, 0, 6002, kVerPlatformWin32Nt},       {6, 1, 7601, kVerPlatformWin32Nt},
    {10, 0, 19045, kVerPlatformWin32Nt},     {4, 0, 1381, kVerPlatformWin32Nt},
    {4, 10, 2222, kVerPlatformWin32Windows}, {4, 0, 950, kVerPlatformWin32Windows},
    {3, 51, 1057, kVerPlatformWin32Nt}};  // no notification area at all

// A click on a control not built yet: the procedure tells a click from a
// menu command by a nonzero sender alone.
constexpr std::intptr_t kUnbuiltSender = 1;

struct Bytes {
  const std::uint8_t* at;
  const std::uint8_t* end;
  bool Empty() const { return at == end; }
  std::uint8_t Next() { return Empty() ? 0 : *at++; }
};

std::string ValidSettings(Bytes& in) {
  static const char* const kActions[] = {"Logoff",  "Lock",      "Reboot",   "Poweroff", "Shutdown",
                                         "Suspend", "Hibernate", "shutdown", "Dance",    nullptr};
  static const char* const kShowOnClick[] = {"Yes", "No", "yes", nullptr};
  const std::uint8_t action = in.Next();
  const std::uint8_t flags = in.Next();
  const int hour = in.Next() % 24;
  const int minute = in.Next() % 60;
  std::string text = "[Settings]\n";
  if (const char* keyword = kActions[action % std::size(kActions)])
    text += std::string("Action=") + keyword + "\n";
  text += flags & 1 ? "Terminate=Yes\n" : "Terminate=No\n";
  text += flags & 2 ? "TimerEnable=Yes\n" : "TimerEnable=No\n";
  if (const char* show = kShowOnClick[flags >> 2 & 3])
    text += std::string("ShowOnClick=") + show + "\n";
  if (flags & 16) text += "UseAlphaBlend=No\n";
  char time[32] = "Time=x\n";  // or none, on a 12-hour clock, on a 24-hour clock
  if ((flags >> 5 & 3) == 0) time[0] = '\0';
  if ((flags >> 5 & 3) == 1)
    std::snprintf(time, sizeof time, "Time=%d:%02d:00 %s\n", hour % 12 == 0 ? 12 : hour % 12,
                  minute, hour < 12 ? "AM" : "PM");
  if ((flags >> 5 & 3) == 2) std::snprintf(time, sizeof time, "Time=%02d:%02d\n", hour, minute);
  return text + time;
}

// What another copy of the program, or the user's editor, leaves in the file.
void RewriteSettings(const std::string& ini, bool valid, Bytes& in) {
  std::string text = valid ? ValidSettings(in) : "[Settings]\n";
  for (int length = valid ? 0 : in.Next() % 129; length > 0 && !in.Empty(); --length)
    text += static_cast<char>(in.Next());
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
}

void SetScript(RecordingPlatform& os, std::uint8_t flags) {
  os.suspendAllowed = flags & 1;
  os.hibernateAllowed = flags & 2;
  os.trayAccepts = !(flags & 4);
}

// Every number a "Time" text holds. A time read from it has its minute and
// its hour, on a 24- or a 12-hour clock, among them: a loose bound, as the
// reader is not this target's business.
std::set<int> Numbers(const std::string& text) {
  std::set<int> numbers;
  std::optional<int> value;
  for (char c : text + ' ') {
    if (c >= '0' && c <= '9') {
      value = std::min(value.value_or(0) * 10 + (c - '0'), 1000);
    } else if (value) {
      numbers.insert(*value);
      value.reset();
    }
  }
  return numbers;
}

bool CouldBeDue(const std::set<std::set<int>>& heldTimes, int hour, int minute) {
  if (hour == 0 && minute == 0) return true;  // the record's time until a load succeeds
  const int twelveHour = hour % 12 == 0 ? 12 : hour % 12;
  for (const std::set<int>& numbers : heldTimes)
    if (numbers.contains(minute) && (numbers.contains(hour) || numbers.contains(twelveHour)))
      return true;
  return false;
}

// The first transcript line from `from` on that starts with one of the
// prefixes; the transcript's end when there is none.
std::size_t First(const std::vector<std::string>& calls, std::size_t from,
                  std::initializer_list<std::string> prefixes) {
  for (; from < calls.size(); ++from)
    for (const std::string& prefix : prefixes)
      if (calls[from].starts_with(prefix)) return from;
  return calls.size();
}

[[noreturn]] void Broken(const char* what, std::size_t message) {
  std::fprintf(stderr, "message %zu: %s\n", message, what);
  std::abort();
}

struct Folder {
  fs::path path =
      fs::temp_directory_path() / ("quennavar-fuzz-messages-" + std::to_string(::getpid()));
  Folder() { fs::create_directories(path); }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Folder folder;
  const std::string program = (folder.path / "Quennavar.exe").string();
  const std::string ini = (folder.path / "quennavar.ini").string();
  fs::remove(ini);
  Bytes in{data, data + size};

  RecordingPlatform os;
  os.modulePath = program;
  os.version = kVersions[in.Next() % std::size(kVersions)];
  SetScript(os, in.Next());
  if (std::uint8_t file = in.Next() % 3; file != 0) RewriteSettings(ini, file == 1, in);

  RegionalSettings regional = ReadRegionalSettings(os);
  ActionContext context{os, regional, program};
  auto application = std::make_unique<TApplication>(os, program);
  auto form = std::make_unique<TShutDownForm>(context, regional, *application);
  const std::string formWindow = os.NameOf(form->Handle());
  const std::uint32_t taskbarCreated = os.RegisterWindowMessageA("TaskbarCreated");

  RecordingPlatform probe;  // reads the file as the window does, off its record
  auto read = [&](const char* key, const char* fallback) {
    return probe.GetPrivateProfileStringA("Settings", key, fallback, 2048, ini);
  };
  std::set<std::set<int>> heldTimes;
  std::optional<std::size_t> lastAdd;
  // The file is read only while a message is handled, after anything that
  // message wrote: sampled after each one, it has shown every time loaded.
  auto check = [&](std::size_t message, std::size_t from, bool mayAct, bool mayWrite) {
    const std::size_t end = os.calls.size();
    if (!mayAct &&
        First(os.calls, from, {"ExitWindowsEx(", "LockWorkStation(", "SetSuspendState("}) != end)
      Broken("acted unasked", message);
    if (!mayWrite && First(os.calls, from, {"WritePrivateProfileStringA("}) != end)
      Broken("wrote the settings file", message);
    for (std::size_t line = from; os.trayAccepts && line < end; ++line)
      if (os.calls[line].starts_with("Shell_NotifyIconA(NIM_ADD")) lastAdd = line;
    heldTimes.insert(Numbers(read("Time", "11:11")));
  };

  std::size_t from = os.calls.size();
  form->FormCreate();
  application->Minimize();
  check(0, from, false, false);

  for (std::size_t message = 1; message <= kMaxMessages && !in.Empty(); ++message) {
    from = os.calls.size();
    const HWnd window = form->Handle();
    bool mayAct = false;
    bool mayWrite = false;
    switch (const int kind = in.Next() % 10) {
      case 0:
        os.Send(window, WM_TRAYNOTIFY, 0, kWmRButtonDown);
        break;
      case 1:
        mayAct = read("ShowOnClick", "Yes") != "Yes";
        os.Send(window, WM_TRAYNOTIFY, 0, kWmLButtonDblClk);
        break;
      case 2: {
        const TrayCommand item = kTrayMenu[in.Next() % std::size(kTrayMenu)].id;
        mayAct = item >= miLogoff && item <= miHibernate;
        os.Send(window, kWmCommand, item, 0);
        break;
      }
      case 3: {
        // Any control, its check set first as the system's auto buttons do;
        // those that are not buttons must be ignored.
        const ControlId id =
            control::kSettingsWindow[in.Next() % std::size(control::kSettingsWindow)].id;
        const HWnd sender = form->Control(id);
        if (sender != HWnd::Null) os.checks[sender] = in.Next() & 1;
        mayAct = id == control::btnReboot;
        mayWrite = true;
        os.Send(window, kWmCommand, kBnClicked << 16 | id,
                sender != HWnd::Null ? static_cast<std::intptr_t>(sender) : kUnbuiltSender);
        break;
      }
      case 4: {
        const std::uint8_t hour = in.Next() % 24, minute = in.Next() % 60, notice = in.Next();
        // The user picks a time; only the picker's own change notice stores it.
        for (auto& picked : os.pickerTimes) {
          picked.second.wHour = hour;
          picked.second.wMinute = minute;
        }
        NotifyHeader header{form->Control(control::DateTimePicker),
                            notice & 1 ? control::DateTimePicker : control::btnHide,
                            notice & 2 ? kDtnDateTimeChange : -(notice >> 2)};
        mayWrite = (notice & 3) == 3;
        os.Send(window, kWmNotify, header.idFrom, reinterpret_cast<std::intptr_t>(&header));
        break;
      }
      case 5:
        os.localTime.wDay = 1 + in.Next() % 28;
        os.localTime.wHour = in.Next() % 24;
        os.localTime.wMinute = in.Next() % 60;
        os.localTime.wSecond = in.Next() % 60;
        mayAct = CouldBeDue(heldTimes, os.localTime.wHour, os.localTime.wMinute);
        os.Send(window, kWmTimer, 1);
        break;
      case 6:
      case 7:
        RewriteSettings(ini, kind == 6, in);
        break;
      case 8: {
        const std::uint32_t kNeverActs[] = {kWmSettingChange, taskbarCreated, kWmQueryEndSession,
                                            kWmClose};
        os.Send(window, kNeverActs[in.Next() % std::size(kNeverActs)]);
        break;
      }
      default:
        SetScript(os, in.Next());
        break;
    }
    check(message, from, mayAct, mayWrite);
  }

  // The end as the program entry has it: the icon goes, then the windows.
  from = os.calls.size();
  form->RemoveFromTray();
  form.reset();
  application.reset();
  check(kMaxMessages + 1, from, false, false);
  const std::size_t destroyed = First(os.calls, from, {"DestroyWindow(" + formWindow + ")"});
  if (destroyed == os.calls.size())
    Broken("the settings window was never destroyed", kMaxMessages + 1);
  if (lastAdd && First(os.calls, *lastAdd, {"Shell_NotifyIconA(NIM_DELETE"}) > destroyed)
    Broken("the tray icon outlived the settings window", kMaxMessages + 1);
  return 0;
}
