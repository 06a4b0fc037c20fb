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
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "app/main_unit.h"
#include "tests/profile_file.h"
#include "tests/recording_platform.h"

namespace {

using namespace quennavar;

constexpr std::size_t kMaxMessages = 64;

const OsVersionInfo kVersions[] = {
    {5, 1, 2600, kVerPlatformWin32Nt},       {5, 0, 2195, kVerPlatformWin32Nt},
    {6, 0, 6002, kVerPlatformWin32Nt},       {6, 1, 7601, kVerPlatformWin32Nt},
    {10, 0, 19045, kVerPlatformWin32Nt},     {4, 0, 1381, kVerPlatformWin32Nt},
    {4, 10, 2222, kVerPlatformWin32Windows}, {4, 0, 950, kVerPlatformWin32Windows},
    {3, 51, 1057, kVerPlatformWin32Nt}};  // no notification area at all

// The calls that shut down, lock or suspend.
const std::set<std::string> kActingCalls = {"ExitWindowsEx", "LockWorkStation", "SetSuspendState"};

// The committed seeds were written for this reader: zeros once it runs out.
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
  const char* const action = kActions[in.Next() % std::size(kActions)];
  const std::uint8_t flags = in.Next();
  const int hour = in.Next() % 24;
  const int minute = in.Next() % 60;
  std::string text = "[Settings]\n";
  if (action) text += std::string("Action=") + action + "\n";
  text += flags & 1 ? "Terminate=Yes\n" : "Terminate=No\n";
  text += flags & 2 ? "TimerEnable=Yes\n" : "TimerEnable=No\n";
  if (const char* show = kShowOnClick[flags >> 2 & 3])
    text += std::string("ShowOnClick=") + show + "\n";
  if (flags & 16) text += "UseAlphaBlend=No\n";
  // No time, one on a 12-hour clock, one on a 24-hour clock, an unreadable one.
  char times[4][32] = {"", "", "", "Time=x\n"};
  std::snprintf(times[1], sizeof times[1], "Time=%d:%02d:00 %s\n", hour % 12 == 0 ? 12 : hour % 12,
                minute, hour < 12 ? "AM" : "PM");
  std::snprintf(times[2], sizeof times[2], "Time=%02d:%02d\n", hour, minute);
  return text + times[flags >> 5 & 3];
}

// What another copy of the program, or the user's editor, leaves in the file.
void RewriteSettings(const std::string& ini, bool valid, Bytes& in) {
  std::string text = valid ? ValidSettings(in) : "[Settings]\n";
  for (int length = valid ? 0 : in.Next() % 129; length > 0 && !in.Empty(); --length)
    text += static_cast<char>(in.Next());
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
}

void SetScript(testing::RecordingPlatform& os, std::uint8_t flags) {
  os.suspendAllowed = flags & 1;
  os.hibernateAllowed = flags & 2;
  os.trayAccepts = !(flags & 4);
}

// Whether a "Time" text could name this minute of the day: a time read
// from it has its minute and its hour, on a 24- or a 12-hour clock, among
// the numbers the text holds. A loose bound, as the reader is not this
// target's business.
bool CouldName(const std::string& text, int hour, int minute) {
  std::set<int> numbers;
  int value = -1;  // no digits in a row yet
  for (char c : text + ' ') {
    if (c >= '0' && c <= '9')
      value = std::min(std::max(value, 0) * 10 + (c - '0'), 1000);
    else if (value >= 0)
      numbers.insert(std::exchange(value, -1));
  }
  const int twelveHour = hour % 12 == 0 ? 12 : hour % 12;
  return numbers.contains(minute) && (numbers.contains(hour) || numbers.contains(twelveHour));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A folder of this process's own, made afresh for each input: whatever a
  // crashed process of the same number left there would change the input's
  // meaning.
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("quennavar-fuzz-messages-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string ini = (folder / "quennavar.ini").string();
  Bytes in{data, data + size};

  testing::RecordingPlatform os;
  os.modulePath = (folder / "Quennavar.exe").string();
  os.version = kVersions[in.Next() % std::size(kVersions)];
  SetScript(os, in.Next());
  if (std::uint8_t file = in.Next() % 3; file != 0) RewriteSettings(ini, file == 1, in);

  ActionContext context{os, ReadRegionalSettings(os), os.modulePath};
  auto application = std::make_unique<TApplication>(os, os.modulePath);
  auto form = std::make_unique<TShutDownForm>(context, *application);
  const std::string formWindow = os.NameOf(form->Handle());
  const std::uint32_t neverActs[] = {kWmSettingChange, os.RegisterWindowMessageA("TaskbarCreated"),
                                     kWmQueryEndSession, kWmClose};

  std::set<std::string> heldTimes = {"0:00"};  // midnight: the record's time until a load succeeds
  std::size_t checked = os.calls.size();       // the transcript is checked up to here
  bool iconShown = false, destroyed = false;
  int balloons = 0, skips = 0;
  // Goes through the calls made since the last check. The icon is there from
  // an accepted add to the next delete (the script changes only between
  // messages, so its answer now is the one the add got), and the window may
  // not go while it is; only the end, numbered past the last message, is to
  // destroy it. The file is read only while a message is handled, after
  // anything that message wrote: sampled after each one, it has shown every
  // time loaded.
  auto check = [&](std::size_t message, bool mayAct, bool mayWrite) {
    for (; checked < os.calls.size(); ++checked) {
      const std::string& call = os.calls[checked];
      const std::string name = call.substr(0, call.find('('));
      if (!mayAct && kActingCalls.contains(name)) std::abort();             // acted unasked
      if (!mayWrite && name == "WritePrivateProfileStringA") std::abort();  // wrote the file
      if (os.trayAccepts && call.starts_with("Shell_NotifyIconA(NIM_ADD")) iconShown = true;
      if (call.starts_with("Shell_NotifyIconA(NIM_MODIFY") && !iconShown) std::abort();
      if (call.find("Click here to skip") != std::string::npos) ++balloons;
      // A skip is recorded only from a balloon, and once for each.
      if (call.starts_with("ReportEventA") && call.find("id=10,") != std::string::npos &&
          ++skips > balloons)
        std::abort();
      if (call.starts_with("Shell_NotifyIconA(NIM_DELETE")) iconShown = false;
      if (message > kMaxMessages && call.starts_with("DestroyWindow(" + formWindow + ")"))
        destroyed = true;
      if (destroyed && iconShown) std::abort();  // the icon outlived its window
    }
    heldTimes.insert(host::GetPrivateProfileString("Settings", "Time", "11:11", 2048, ini));
  };

  form->FormCreate();
  application->Minimize();
  check(0, false, false);

  for (std::size_t message = 1; message <= kMaxMessages && !in.Empty(); ++message) {
    bool mayAct = false, mayWrite = false;
    const int kind = in.Next() % 10;
    if (kind <= 1) {
      // A right click opens the menu; a double-click shows the window, or
      // runs the stored action where the file says not to show it. A click
      // on the warning balloon, or its timing out, runs nothing.
      const std::uint32_t kNotices[] = {kWmLButtonDblClk, kNinBalloonUserClick, kNinBalloonTimeout};
      const std::uint32_t notice = kind == 0 ? kWmRButtonDown : kNotices[in.Next() % 3];
      mayAct = notice == kWmLButtonDblClk &&
               host::GetPrivateProfileString("Settings", "ShowOnClick", "Yes", 2048, ini) != "Yes";
      os.Send(form->Handle(), WM_TRAYNOTIFY, 0, notice);
    } else if (kind == 2) {
      const TrayCommand item = kTrayMenu[in.Next() % std::size(kTrayMenu)].id;
      mayAct = item >= miLogoff && item <= miHibernate;
      os.Send(form->Handle(), kWmCommand, item, 0);
    } else if (kind == 3) {
      // Any control, its check set first as the system's auto buttons do;
      // those that are not buttons must be ignored.
      const ControlId id =
          control::kSettingsWindow[in.Next() % std::size(control::kSettingsWindow)].id;
      const HWnd sender = form->Control(id);
      if (sender != HWnd::Null) os.checks[sender] = in.Next() & 1;
      mayAct = id == control::btnReboot;
      mayWrite = true;
      // A control not built yet is sent as 1: the procedure tells a click
      // from a menu command by a nonzero sender alone.
      // Above the low 32 bits a 64-bit parameter may carry anything.
      const std::uintptr_t above = sizeof(std::uintptr_t) > 4 ? std::uintptr_t{in.Next()} << 32 : 0;
      os.Send(form->Handle(), kWmCommand, above | kBnClicked << 16 | id,
              sender != HWnd::Null ? static_cast<std::intptr_t>(sender) : 1);
    } else if (kind == 4) {
      // The user picks a time; only the picker's own change notice stores it.
      const std::uint8_t hour = in.Next() % 24;
      const std::uint8_t minute = in.Next() % 60;
      const std::uint8_t notice = in.Next();
      for (auto& [picker, time] : os.pickerTimes) {
        time.wHour = hour;
        time.wMinute = minute;
      }
      NotifyHeader header{form->Control(control::DateTimePicker),
                          notice & 1 ? control::DateTimePicker : control::btnHide,
                          notice & 2 ? kDtnDateTimeChange : -(notice >> 2)};
      mayWrite = (notice & 3) == 3;
      os.Send(form->Handle(), kWmNotify, header.idFrom, reinterpret_cast<std::intptr_t>(&header));
    } else if (kind == 5) {
      os.localTime.wDay = 1 + in.Next() % 28;
      os.localTime.wHour = in.Next() % 24;
      os.localTime.wMinute = in.Next() % 60;
      os.localTime.wSecond = in.Next() % 60;
      mayAct = std::ranges::any_of(heldTimes, [&](const std::string& text) {
        return CouldName(text, os.localTime.wHour, os.localTime.wMinute);
      });
      os.Send(form->Handle(), kWmTimer, 1);
    } else if (kind <= 7) {
      RewriteSettings(ini, kind == 6, in);
    } else if (kind == 8) {
      os.Send(form->Handle(), neverActs[in.Next() % std::size(neverActs)]);
    } else {
      SetScript(os, in.Next());
    }
    check(message, mayAct, mayWrite);
  }

  // The end as the program entry has it: the form, then the application
  // goes, and the form's own destructor is to take the icon away first.
  form.reset();
  application.reset();
  check(kMaxMessages + 1, false, false);
  if (!destroyed) std::abort();  // the settings window was never destroyed
  std::filesystem::remove_all(folder);
  return 0;
}
