// The warning before the daily action: when it comes, what it says, and the
// one click that skips exactly one run.
#include "app/action_warning.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "tests/expected_calls.h"
#include "tests/program_folder.h"

namespace quennavar::testing {
namespace {

SystemTime At(std::uint16_t day, std::uint16_t hour, std::uint16_t minute,
              std::uint16_t second = 0) {
  return {2026, 12, 0, day, hour, minute, second, 0};
}

const Occurrence kReboot{"Reboot", 11, 30};

// A tick as the form makes it: warns where due, and the balloon comes up.
bool Tick(TActionWarning& warning, const SystemTime& now, const Occurrence& next = kReboot) {
  if (!warning.Due(now, next, 1)) return false;
  warning.Warned(now, next);
  return true;
}
const Occurrence kMidnight{"Reboot", 0, 0};

TEST(WarnMinutes, WholeMinutesUpToAnHourElseOne) {
  const std::pair<const char*, int> kValues[] = {{"", 1},    {"abc", 1}, {"-1", 1},  {"61", 1},
                                                 {"0", 0},   {" 5", 5},  {"60", 60}, {"5 ", 5},
                                                 {"1.5", 1}, {"100", 1}, {"+5", 1}};
  for (const auto& [text, minutes] : kValues) EXPECT_EQ(WarnMinutesFrom(text), minutes) << text;
}

TEST(ActionWarning, ComesAtTheFirstTickWithinTheWarningTimeAcrossMidnightToo) {
  const std::tuple<SystemTime, Occurrence, int, bool> kRows[] = {
      {At(7, 11, 29, 0), kReboot, 1, true},    {At(7, 11, 28, 59), kReboot, 1, false},
      {At(7, 11, 25, 0), kReboot, 5, true},    {At(7, 11, 24, 50), kReboot, 5, false},
      {At(7, 11, 30, 0), kReboot, 1, false},   {At(7, 11, 29, 0), kReboot, 0, false},
      {At(7, 23, 59, 10), kMidnight, 1, true}, {At(7, 23, 58, 50), kMidnight, 1, false},
      {At(7, 23, 0, 0), kMidnight, 60, true},  {At(8, 0, 0, 0), kMidnight, 60, false}};
  for (const auto& [now, next, warnMinutes, warns] : kRows)
    EXPECT_EQ(TActionWarning().Due(now, next, warnMinutes), warns)
        << now.wHour << ":" << now.wMinute << " for " << next.hour << ":" << next.minute << ", "
        << warnMinutes << " min";
}

TEST(ActionWarning, WarnsOncePerOccurrenceAndAgainTheNextDay) {
  TActionWarning warning;
  for (const auto& [now, warns] : {std::pair{At(7, 11, 29, 0), true},
                                   {At(7, 11, 29, 10), false},
                                   {At(7, 11, 30, 0), false},
                                   {At(8, 11, 29, 5), true}})
    EXPECT_EQ(Tick(warning, now), warns) << now.wDay << " " << now.wMinute;
}

TEST(ActionWarning, AClickSkipsExactlyTheRunWarnedOf) {
  TActionWarning warning;
  EXPECT_FALSE(warning.Skip(At(7, 11, 29, 0), kReboot)) << "no balloon yet";
  ASSERT_TRUE(Tick(warning, At(7, 11, 29, 0)));
  EXPECT_FALSE(warning.Skip(At(7, 11, 29, 20), {"Reboot", 11, 45})) << "another minute";
  EXPECT_FALSE(warning.Skip(At(7, 11, 29, 20), {"Shutdown", 11, 30})) << "another action";
  EXPECT_TRUE(warning.Skip(At(7, 11, 29, 30), kReboot));
  EXPECT_TRUE(warning.Skipped(At(7, 11, 30, 0), kReboot));
  EXPECT_TRUE(warning.Skipped(At(7, 11, 30, 50), kReboot)) << "through its own minute";
  EXPECT_FALSE(warning.Skipped(At(7, 11, 30, 0), {"Reboot", 11, 45})) << "never carried over";
  // With no tick in between (the machine slept), the next day runs as usual.
  EXPECT_FALSE(warning.Skipped(At(8, 11, 30, 0), kReboot));
  EXPECT_FALSE(warning.Skipped(At(7, 11, 31, 0), kReboot)) << "that is the next day's";
}

// A click counts until the run's tick, with its balloon up or not: Windows 10
// keeps the warning among its notifications.
TEST(ActionWarning, AClickSkipsTheRunWarnedOfUntilItsTickOnce) {
  const std::tuple<const char*, std::function<void(TActionWarning&)>, SystemTime, bool> kClicks[] =
      {{"balloon gone", [](TActionWarning& w) { w.BalloonGone(); }, At(7, 11, 29, 30), true},
       {"in its minute", [](TActionWarning&) {}, At(7, 11, 30, 3), true},
       {"after its tick", [](TActionWarning& w) { w.Ran(); }, At(7, 11, 30, 8), false},
       {"after its minute", [](TActionWarning&) {}, At(7, 11, 31, 0), false},
       {"a second click", [](TActionWarning& w) { w.Skip(At(7, 11, 29, 5), kReboot); },
        At(7, 11, 29, 9), false}};
  for (const auto& [what, before, at, skips] : kClicks) {
    TActionWarning warning;
    ASSERT_TRUE(Tick(warning, At(7, 11, 29, 0)));
    before(warning);
    EXPECT_EQ(warning.Skip(at, kReboot), skips) << what;
  }
}

TEST(ActionWarning, SaysWhatWillHappenAndWhatIsLost) {
  const std::string kSkip = "\nClick here to skip it today.";
  const std::string kLost = "\nPrograms will be closed without saving.";
  const std::pair<const char*, std::string> kTexts[] = {
      {"Logoff", "You will be logged off at 7:00." + kSkip + kLost},
      {"Reboot", "The computer will restart at 7:00." + kSkip + kLost},
      {"Poweroff", "The computer will power off at 7:00." + kSkip + kLost},
      {"Shutdown", "The computer will shut down at 7:00." + kSkip + kLost},
      {"Suspend", "The computer will go to stand-by at 7:00." + kSkip},  // sleep closes nothing
      {"Hibernate", "The computer will hibernate at 7:00." + kSkip}};
  for (const auto& [action, text] : kTexts) EXPECT_EQ(WarningText(action, true, "7:00"), text);
  EXPECT_EQ(WarningText("Reboot", false, "23:30"), "The computer will restart at 23:30." + kSkip);
  EXPECT_EQ(WarningText("Lock", true, "7:00"), std::nullopt) << "locking loses nothing";
  EXPECT_EQ(WarningText("reboot", true, "7:00"), std::nullopt) << "names no action";
}

// --- The tray application: the balloon, the tip and the skip ---

class ScheduledActionTest : public ProgramFolderTest {
 protected:
  // The fake's clock stands at 7:23:30 on the 7th.
  void Start(const std::string& settings) { Create("[Settings]\nTimerEnable=Yes\n" + settings); }
  void TickAt(int hour, int minute, int second = 0) {
    os.localTime = At(7, hour, minute, second);
    Send(kWmTimer, 1);
  }
  // The box of the settings window, shown from the menu first.
  void TimerBox(bool checked) {
    const HWnd box = form_->Control(control::cbTimerEnabled);
    if (box == HWnd::Null) return Choose(miShow), TimerBox(checked);
    os.checks[box] = checked;
    Send(kWmCommand, control::cbTimerEnabled, static_cast<std::intptr_t>(box));
  }
  std::vector<std::string> Balloons() {
    std::vector<std::string> found;
    for (const std::string& call : os.Only({"Shell_NotifyIconA"}))
      if (call.find("Click here") != std::string::npos) found.push_back(call);
    return found;
  }
};

TEST_F(ScheduledActionTest, WarnsInTheMinuteBeforeAndRunsAtTheMinute) {
  Start("Action=Reboot\nTime=7:25:00 AM\n");
  TickAt(7, 23, 50);
  EXPECT_THAT(Balloons(), IsEmpty());
  TickAt(7, 24, 0);
  TickAt(7, 24, 10);
  EXPECT_THAT(Balloons(),
              ElementsAre("Shell_NotifyIconA(NIM_MODIFY, {window2, 16, \"Quennavar\", \"The "
                          "computer will restart at 7:25 AM.\nClick here to skip it "
                          "today.\nPrograms will be closed without saving.\", 2})"));
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), IsEmpty());
  TickAt(7, 25, 0);
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), ElementsAre("ExitWindowsEx(6, 0x7FFFFFFF)"));
}

TEST_F(ScheduledActionTest, AClickOnTheBalloonSkipsTodaysRunAndRecordsIt) {
  const std::string settings = "Action=Reboot\nTime=7:25:00 AM\nWarnMinutes=2\n";
  Start(settings);
  TickAt(7, 23, 0);
  ASSERT_EQ(Balloons().size(), 1u);
  os.localTime = At(7, 7, 23, 40);
  TrayMouse(kNinBalloonUserClick);
  EXPECT_THAT(os.Only({"ReportEventA"}),
              ElementsAre("ReportEventA(type=0, id=10, \"Reboot\", \"12/7/2026 7:23:40 AM\")"));
  TrayMouse(kNinBalloonUserClick);  // the balloon is gone once clicked
  TickAt(7, 25, 0);
  TickAt(7, 25, 30);
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), IsEmpty());
  EXPECT_EQ(os.Only({"ReportEventA"}).size(), 1u);
  EXPECT_EQ(ReadIni(), "[Settings]\nTimerEnable=Yes\n" + settings)
      << "the settings file is not touched";
}

// What happened between the warning and the click decides: only the run's
// own tick, or another schedule, ends what a click can skip.
TEST_F(ScheduledActionTest, AClickSkipsTheRunWarnedOfUntilItsTick) {
  const std::tuple<const char*, std::function<void()>, int, bool> kBetween[] = {
      {"timed out", [this] { TrayMouse(kNinBalloonTimeout); }, 24, true},
      {"taken down", [this] { TrayMouse(kNinBalloonHide); }, 24, true},
      {"its minute came", [] {}, 25, true},
      {"its tick came", [this] { TickAt(7, 25, 0); }, 25, false},
      {"timer off", [this] { TimerBox(false); }, 24, false},
      {"clicked, then the timer off and on",
       [this] {
         TrayMouse(kNinBalloonUserClick);
         TimerBox(false);
         TimerBox(true);
       },
       24, false}};
  for (const auto& [what, between, clickMinute, skips] : kBetween) {
    Start("Action=Reboot\nTime=7:25:00 AM\n");
    TickAt(7, 24, 0);
    ASSERT_EQ(Balloons().size(), 1u) << what;
    between();
    os.calls.clear();
    os.localTime = At(7, 7, clickMinute, 5);
    TrayMouse(kNinBalloonUserClick);
    EXPECT_EQ(os.Only({"ReportEventA"}).size(), skips ? 1u : 0u) << what;
    if (std::string(what) == "timer off") continue;  // and so no tick comes
    TickAt(7, 25, 10);
    const bool ranBefore = std::string(what) == "its tick came";
    EXPECT_EQ(os.Only({"ExitWindowsEx"}).size(), skips || ranBefore ? 0u : 1u) << what;
  }
}

// Its defaults would have made the armed Reboot a forced Shutdown at 11:11.
TEST_F(ScheduledActionTest, AnUnreadableFileLeavesTheArmedScheduleAsItWas) {
  Start("Action=Reboot\nTerminate=No\nTime=7:25:00 AM\n");
  std::filesystem::remove(IniPath());
  std::filesystem::create_directory(IniPath());
  TrayMouse(kWmRButtonDown);
  EXPECT_THAT(os.Only({"MessageBoxA", "TrackPopupMenu", "Shell_NotifyIconA"}),
              ElementsAre("MessageBoxA(window1, \"Unable to read " + IniPath() +
                          ".\", \"Quennavar\", 0x10)"));
  TickAt(11, 11);
  EXPECT_THAT(os.Only({"ExitWindowsEx", "KillTimer"}), IsEmpty());
  TickAt(7, 25);
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), ElementsAre("ExitWindowsEx(2, 0x7FFFFFFF)"));
}

// A "Time" that does not read leaves the action before it read: the tip and
// the warning tell what the timer will then run.
TEST_F(ScheduledActionTest, AnUnreadableTimeStillTellsWhatTheTimerWillRun) {
  Start("Action=Reboot\nTime=7:25:00 AM\n");
  WriteIni("[Settings]\nTimerEnable=Yes\nAction=Shutdown\nTerminate=No\nTime=half past\n");
  TrayMouse(kWmRButtonDown);
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}),
              ElementsAre(HasSubstr("\"Quennavar: Shutdown at 7:25 AM\"")));
  TickAt(7, 24);
  EXPECT_THAT(Balloons(), ElementsAre(HasSubstr("will shut down at 7:25 AM.")));
  TickAt(7, 25);
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), ElementsAre("ExitWindowsEx(1, 0x7FFFFFFF)"));
}

TEST_F(ScheduledActionTest, NoWarningWhereNothingWouldBeLostOrShown) {
  const std::pair<const char*, OsVersionInfo> kCases[] = {
      {"Action=Lock\n", {5, 1, 2600, kVerPlatformWin32Nt}},
      {"Action=Suspend\n", {5, 1, 2600, kVerPlatformWin32Nt}},  // the fake refuses stand-by
      {"Action=Reboot\nWarnMinutes=0\n", {5, 1, 2600, kVerPlatformWin32Nt}},
      {"Action=Reboot\n", {4, 0, 1381, kVerPlatformWin32Nt}}};  // NT 4 has no balloons
  for (const auto& [settings, version] : kCases) {
    os.version = version;
    Start(std::string(settings) + "Time=7:25:00 AM\n");
    TickAt(7, 24, 0);
    EXPECT_THAT(Balloons(), IsEmpty()) << settings;
  }
}

TEST_F(ScheduledActionTest, TheTipTellsWhatIsScheduledAndIsSentOnlyWhenItChanges) {
  Start("Action=Reboot\nTime=7:25:00 AM\n");
  TrayMouse(kWmRButtonDown);  // the menu reads the same settings again
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}), IsEmpty());
  WriteIni("[Settings]\nTimerEnable=Yes\nAction=Shutdown\nTime=9:05:00 PM\n");
  TrayMouse(kWmRButtonDown);
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}),
              ElementsAre("Shell_NotifyIconA(NIM_MODIFY, {window2, 0, 4, 1143, MAINICON 16x16, "
                          "\"Quennavar: Shutdown at 9:05 PM\"})"));
  os.calls.clear();
  WriteIni("[Settings]\nTimerEnable=Yes\nAction=Suspend\nTime=9:05:00 PM\n");
  TrayMouse(kWmRButtonDown);  // nothing runs where stand-by is refused
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}), ElementsAre(HasSubstr("\"Quennavar\"})")));
}

TEST_F(ScheduledActionTest, ALongTipIsCutBetweenCharacters) {
  Start("Action=Poweroff\nTime=7:25:00 AM\n");
  std::string time;
  for (int i = 0; i < 14; ++i) time += "\xEC\x98\xA4";  // 오, three bytes in UTF-8
  os.shortTimeFormat = time;
  TrayMouse(kWmRButtonDown);
  // 23 bytes before the time leave 40 of the 63: thirteen whole letters.
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}),
              ElementsAre(HasSubstr("\"Quennavar: Poweroff at " + time.substr(0, 39) + "\"})")));
}

}  // namespace
}  // namespace quennavar::testing
