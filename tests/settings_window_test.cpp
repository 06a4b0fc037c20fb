#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/main_unit.h"
#include "tests/program_folder.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using namespace control;
namespace fs = std::filesystem;

class SettingsWindowTest : public ProgramFolderTest {
 protected:
  bool Checked(ControlId id) const { return form_->Checked(id); }
  bool Enabled(ControlId id) { return os.enabled[form_->Control(id)]; }
  TimeOfDay Picker() {
    SystemTime t = os.pickerTimes[form_->Control(DateTimePicker)];
    return {t.wHour, t.wMinute, t.wSecond, 0};
  }
  // A click on a button: the system checks it first, as auto buttons do.
  void Click(ControlId id, std::optional<bool> checks = std::nullopt) {
    if (checks) os.checks[form_->Control(id)] = *checks;
    if (checks && *checks) {
      ControlId group = NoControl;
      for (const auto& c : kSettingsWindow)
        if (c.id == id) group = c.parent;
      for (const auto& c : kSettingsWindow)
        if (c.kind == ControlKind::RadioButton && c.parent == group && c.id != id)
          os.checks[form_->Control(c.id)] = 0;
    }
    os.Send(form_->Handle(), kWmCommand, id, static_cast<std::intptr_t>(form_->Control(id)));
  }
  std::vector<std::string> Writes() const { return os.Only({"WritePrivateProfileStringA"}); }
  // The user opens the window from the tray menu: its controls exist from then on.
  void Open() {
    os.Send(form_->Handle(), kWmCommand, miShow, 0);
    os.calls.clear();
  }
};

std::string Write(const std::string& key, const std::string& value) {
  return "WritePrivateProfileStringA(\"Settings\", \"" + key + "\", \"" + value + "\")";
}

// --- What the window shows after creation ---

struct ShownCase {
  const char* name;
  const char* ini;
  OsVersionInfo version;
  bool suspendAllowed;
  ControlId checkedAction;  // NoControl: none
  bool lockEnabled, suspendEnabled, force, timer, showWindow;
  TimeOfDay time;
  bool pickerEnabled = false;
};

class Shown : public SettingsWindowTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(Shown, FollowsTheSettingsFileAndThePlatform) {
  const ShownCase& c = GetParam();
  WriteIni(c.ini);
  os.version = c.version;
  os.suspendAllowed = c.suspendAllowed;
  std::string before = ReadIni();
  Create();
  Open();
  for (ControlId radio :
       {rbLogoff, rbLock, rbPoweroff, rbReboot, rbShutdown, rbSuspend, rbHibernate})
    EXPECT_EQ(Checked(radio), radio == c.checkedAction) << "radio " << radio;
  EXPECT_EQ(Enabled(rbLock), c.lockEnabled);
  EXPECT_EQ(Enabled(rbSuspend), c.suspendEnabled);
  EXPECT_EQ(Checked(cbForceterminate), c.force);
  EXPECT_EQ(Checked(cbTimerEnabled), c.timer);
  EXPECT_EQ(form_->ActionTimerEnabled(), c.timer);
  EXPECT_EQ(Enabled(DateTimePicker), c.timer || c.pickerEnabled);
  EXPECT_EQ(Checked(rgOptionsShowWindow), c.showWindow);
  EXPECT_EQ(Checked(rgOptionsDoAction), !c.showWindow);
  EXPECT_EQ(std::tuple(Picker().hour, Picker().minute), std::tuple(c.time.hour, c.time.minute));
  EXPECT_EQ(ReadIni(), before) << "creating the window stores nothing";
}

constexpr OsVersionInfo kXp{5, 1, 2600, kVerPlatformWin32Nt};
constexpr OsVersionInfo k98{4, 10, 1998, kVerPlatformWin32Windows};

// One row a case, in the struct's order: name, settings file, Windows,
// suspend allowed, checked action, Lock and Suspend enabled, force, timer,
// show window, picker time and, where it is enabled, true.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Files, Shown,
    ::testing::Values(
        ShownCase{"NoFile", "", kXp, false, rbShutdown, true, false, true, false, true, {11, 11}},
        ShownCase{"Stored", "[Settings]\nAction=Reboot\nTerminate=No\nTimerEnable=Yes\n"
                            "ShowOnClick=No\nTime=11:30:00 PM\n",
                  kXp, false, rbReboot, true, false, false, true, false, {23, 30}},
        ShownCase{"LockOn9xStaysDrawnAsShutdown", "[Settings]\nAction=Lock\n",
                  k98, false, rbShutdown, false, false, true, false, true, {11, 11}},
        ShownCase{"LockOnXp", "[Settings]\nAction=Lock\n",
                  kXp, false, rbLock, true, false, true, false, true, {11, 11}},
        ShownCase{"SuspendNotAllowed", "[Settings]\nAction=Suspend\n",
                  kXp, false, rbShutdown, true, false, true, false, true, {11, 11}},
        ShownCase{"SuspendAllowed", "[Settings]\nAction=Suspend\n",
                  kXp, true, rbSuspend, true, true, true, false, true, {11, 11}},
        ShownCase{"WrongCaseAction", "[Settings]\nAction=reboot\n",
                  kXp, false, rbShutdown, true, false, true, false, true, {11, 11}},
        // An unreadable time stops creation: every control as first drawn.
        ShownCase{"UnreadableTime", "[Settings]\nAction=Reboot\nTimerEnable=Yes\nTime=x\n",
                  kXp, false, rbShutdown, true, true, false, false, true, {11, 53}, true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(SettingsWindowTest, IsBuiltWhenFirstOpenedAndShowsTheSettingsReadAtStart) {
  WriteIni("[Settings]\nAction=Reboot\n");
  Create();
  EXPECT_EQ(form_->Control(rbReboot), HWnd::Null) << "nothing is built while only the icon shows";
  WriteIni("[Settings]\nAction=Poweroff\n");
  os.Send(form_->Handle(), kWmCommand, miShow, 0);
  EXPECT_TRUE(Checked(rbReboot));
  application_->Minimize();
  os.Send(form_->Handle(), kWmCommand, miShow, 0);
  EXPECT_THAT(os.Only({"InitCommonControlsEx"}), ElementsAre("InitCommonControlsEx(0x100)"));
}

TEST_F(SettingsWindowTest, ControlsShowTheirCaptionsInTheirFonts) {
  Create();
  Open();
  EXPECT_EQ(os.texts[form_->Control(rbLock)], "Lock");
  EXPECT_EQ(os.texts[form_->Control(PowerLogo)], "") << "an icon, not a caption";
  EXPECT_EQ(os.fonts[form_->Control(Quennavar)], "font MS Sans Serif -11 700");
  EXPECT_EQ(os.fonts[form_->Control(rbLogoff)], "font MS Sans Serif -11 400");
}

// One control of each kind, and the tooltip that shows the hints: the
// system's classes with the styles the window was drawn with.
TEST_F(SettingsWindowTest, ControlsAreTheSystemsClassesWithTheirStyles) {
  Create();
  Open();
  const std::pair<ControlId, const char*> kControls[] = {
      {rbLogoff, "BUTTON 0x50030009 0x0"},
      {rbLock, "BUTTON 0x50000009 0x0"},
      {gbAction, "BUTTON 0x50000007 0x0"},
      {cbForceterminate, "BUTTON 0x50030003 0x0"},
      {btnReboot, "BUTTON 0x50030000 0x0"},
      {PowerLogo, "STATIC 0x50000003 0x0"},
      {VerInfoLabel, "STATIC 0x50000000 0x0"},
      {DateTimePicker, "SysDateTimePick32 0x50030009 0x0"}};
  for (const auto& [id, made] : kControls) EXPECT_EQ(os.classes[form_->Control(id)], made) << id;
  EXPECT_EQ(
      std::count_if(os.classes.begin(), os.classes.end(),
                    [](const auto& c) { return c.second == "tooltips_class32 0x80000001 0x0"; }),
      1);
  EXPECT_EQ(os.icons[form_->Control(PowerLogo)], "MAINICON 32x32");
}

// The name and version labels are navy on the window's face; every other
// control keeps the system's colours.
TEST_F(SettingsWindowTest, OnlyTheNameAndVersionLabelsAreNavy) {
  Create();
  Open();
  const std::pair<HWnd, bool> kLabels[] = {{form_->Control(Quennavar), true},
                                           {form_->Control(VerInfoLabel), true},
                                           {form_->Control(rbLogoff), false},
                                           {HWnd::Null, false}};
  for (const auto& [label, navy] : kLabels) {
    os.calls.clear();
    os.Send(form_->Handle(), kWmCtlColorStatic, 0x1234, static_cast<std::intptr_t>(label));
    EXPECT_EQ(os.Only({"SetTextColor"}), navy ? std::vector<std::string>{"SetTextColor(0x800000)"}
                                              : std::vector<std::string>{})
        << os.NameOf(label);
  }
}

TEST_F(SettingsWindowTest, ShowsTheProgramsFileVersion) {
  Create();
  Open();
  EXPECT_EQ(os.texts[form_->Control(VerInfoLabel)], "1.2.3.4");
  EXPECT_THAT(os.Only({"GetFileVersionInfoSizeA"}), IsEmpty())
      << "read once, when the window was built";
}

TEST_F(SettingsWindowTest, WithoutVersionInformationTheLabelStaysEmpty) {
  os.fileVersion.reset();
  Create();
  Open();
  EXPECT_EQ(os.texts[form_->Control(VerInfoLabel)], "");
}

// --- Handlers write exactly their keys ---

TEST_F(SettingsWindowTest, ARadioClickSavesFourKeysButNeverTerminate) {
  Create();
  Open();
  Click(rbReboot, true);
  EXPECT_THAT(Writes(), ElementsAre(Write("Action", "Reboot"), Write("TimerEnable", "No"),
                                    Write("ShowOnClick", "Yes"), Write("Time", "11:11:00 AM")));
}

// A button's other notifications (painting, highlighting, a double click)
// are not clicks.
TEST_F(SettingsWindowTest, OnlyAClickNotificationActs) {
  Create();
  Open();
  for (std::uintptr_t code : {1, 2, 5})
    os.Send(form_->Handle(), kWmCommand, code << 16 | cbForceterminate,
            static_cast<std::intptr_t>(form_->Control(cbForceterminate)));
  EXPECT_THAT(Writes(), IsEmpty());
}

TEST_F(SettingsWindowTest, WithNoActionCheckedASaveLeavesTheActionAlone) {
  Create();
  Open();
  for (ControlId radio :
       {rbLogoff, rbLock, rbPoweroff, rbReboot, rbShutdown, rbSuspend, rbHibernate})
    os.checks[form_->Control(radio)] = 0;
  Click(btnHide);
  EXPECT_EQ(Writes().front(), Write("TimerEnable", "No"));
}

TEST_F(SettingsWindowTest, OnThe9xFamilyAStoredLockStaysUntilARadioIsClicked) {
  os.version = k98;
  WriteIni("[Settings]\nAction=Lock\n");
  Create();
  Open();
  EXPECT_EQ(ReadIni(), "[Settings]\nAction=Lock\n");
  Click(btnHide);
  EXPECT_EQ(Writes().front(), Write("Action", "Shutdown"));
}

struct HandlerCase {
  const char* name;
  ControlId control;
  std::optional<bool> checks;
  std::vector<std::string> writes;
};

class Handlers : public SettingsWindowTest, public ::testing::WithParamInterface<HandlerCase> {};

TEST_P(Handlers, WriteTheirKeysAtOnce) {
  Create();
  Open();
  Click(GetParam().control, GetParam().checks);
  EXPECT_THAT(Writes(), ElementsAreArray(GetParam().writes));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, Handlers,
    ::testing::Values(
        HandlerCase{"ForceOff", cbForceterminate, false, {Write("Terminate", "No")}},
        HandlerCase{"ForceOn", cbForceterminate, true, {Write("Terminate", "Yes")}},
        HandlerCase{"DoDefinedAction", rgOptionsDoAction, true, {Write("ShowOnClick", "No")}},
        HandlerCase{"ShowThisWindow", rgOptionsShowWindow, true, {Write("ShowOnClick", "Yes")}},
        HandlerCase{"TimerOn",
                    cbTimerEnabled,
                    true,
                    {Write("TimerEnable", "Yes"), Write("Time", "11:11:00 AM")}},
        HandlerCase{"HideToTray",
                    btnHide,
                    std::nullopt,
                    {Write("Action", "Shutdown"), Write("TimerEnable", "No"),
                     Write("ShowOnClick", "Yes"), Write("Time", "11:11:00 AM")}},
        HandlerCase{"DoNowWritesNothing", btnReboot, std::nullopt, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindowTest, TheTimerBoxArmsTheTimerAndThePicker) {
  Create();
  Open();
  Click(cbTimerEnabled, true);
  EXPECT_TRUE(form_->ActionTimerEnabled());
  EXPECT_TRUE(Enabled(DateTimePicker));
  Click(cbTimerEnabled, false);
  EXPECT_FALSE(form_->ActionTimerEnabled());
  EXPECT_FALSE(Enabled(DateTimePicker));
  EXPECT_THAT(os.Only({"SetTimer", "KillTimer"}),
              ElementsAre("SetTimer(window2, 1, 10000)", "KillTimer(window2, 1)"));
}

TEST_F(SettingsWindowTest, APickedTimeIsWrittenAtOnceButArmedOnlyAtTheNextLoad) {
  WriteIni("[Settings]\nAction=Reboot\nTimerEnable=Yes\nTime=9:00:00 PM\n");
  Create();
  Open();
  os.pickerTimes[form_->Control(DateTimePicker)].wHour = 23;
  os.pickerTimes[form_->Control(DateTimePicker)].wMinute = 30;
  // Only the picker's change notification writes: not its other ones, nor
  // another control's.
  const std::pair<NotifyHeader, std::size_t> kNotifications[] = {
      {{form_->Control(DateTimePicker), DateTimePicker, -2}, 0},
      {{form_->Control(btnHide), btnHide, kDtnDateTimeChange}, 0},
      {{form_->Control(DateTimePicker), DateTimePicker, kDtnDateTimeChange}, 1}};
  for (const auto& [notification, writes] : kNotifications) {
    os.Send(form_->Handle(), kWmNotify, notification.idFrom,
            reinterpret_cast<std::intptr_t>(&notification));
    EXPECT_EQ(Writes().size(), writes) << notification.code << " from " << notification.idFrom;
  }
  EXPECT_THAT(Writes(), ElementsAre(Write("Time", "11:30:00 PM")));
  os.localTime.wHour = 23;
  os.Send(form_->Handle(), kWmTimer, 1);
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), IsEmpty()) << "still armed for 9 PM";
  Click(btnHide);  // reloads
  os.Send(form_->Handle(), kWmTimer, 1);
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), ElementsAre("ExitWindowsEx(6, 0x7FFFFFFF)"));
}

TEST_F(SettingsWindowTest, DoNowLoadsAndRunsTheStoredAction) {
  WriteIni("[Settings]\nAction=Poweroff\nTerminate=No\n");
  Create();
  Open();
  WriteIni("[Settings]\nAction=Lock\n");  // changed by another copy meanwhile
  Click(btnReboot);
  EXPECT_THAT(os.Only({"ExitWindowsEx", "LockWorkStation"}), ElementsAre("LockWorkStation()"));
}

TEST_F(SettingsWindowTest, ARefusedWriteIsShownAndTheProgramRunsOn) {
  Create();
  Open();
  fs::remove_all(folder_);  // the folder is gone: nothing can be written
  Click(cbForceterminate, false);
  EXPECT_THAT(os.Only({"MessageBoxA"}),
              ElementsAre("MessageBoxA(window1, \"Unable to write to " +
                          (folder_ / "quennavar.ini").string() + ".\", \"Quennavar\", 0x10)"));
}

// --- The action timer over a simulated clock ---

struct Tick {
  std::uint16_t day, hour, minute, second;
  bool acts;
};

TEST_F(SettingsWindowTest, TheTimerActsOnceInTheMatchingMinuteAndAgainTheNextDay) {
  WriteIni("[Settings]\nAction=Reboot\nTimerEnable=Yes\nTime=11:11:45 AM\n");
  Create();
  const Tick ticks[] = {{7, 11, 10, 50, false}, {7, 11, 11, 0, true},  {7, 11, 11, 10, false},
                        {7, 11, 11, 59, false}, {7, 11, 12, 0, false}, {8, 11, 11, 5, true},
                        {8, 23, 11, 0, false},  {9, 11, 11, 30, true}};
  for (const Tick& tick : ticks) {
    os.calls.clear();
    os.localTime.wDay = tick.day;
    os.localTime.wHour = tick.hour;
    os.localTime.wMinute = tick.minute;
    os.localTime.wSecond = tick.second;
    os.Send(form_->Handle(), kWmTimer, 1);
    EXPECT_EQ(os.Only({"ExitWindowsEx"}).size(), tick.acts ? 1u : 0u)
        << "day " << tick.day << " " << tick.hour << ":" << tick.minute << ":" << tick.second;
  }
}

// The clock alone decides: the same day and minute of another month or year
// is another minute.
TEST(ActionSchedule, IsDueOnceInEachMinuteThatShowsTheStoredTime) {
  const RunMinute ran{2026, 12, 7, 23, 30};
  const std::pair<SystemTime, bool> kClocks[] = {
      {{2026, 12, 1, 7, 23, 30, 59, 0}, false}, {{2027, 12, 1, 7, 23, 30, 0, 0}, true},
      {{2026, 11, 1, 7, 23, 30, 0, 0}, true},   {{2026, 12, 1, 8, 23, 30, 0, 0}, true},
      {{2026, 12, 1, 8, 22, 30, 0, 0}, false},  {{2026, 12, 1, 8, 23, 31, 0, 0}, false}};
  for (const auto& [now, due] : kClocks)
    EXPECT_EQ(DueMinute(now, EncodeTime({23, 30, 0, 0}), ran).has_value(), due)
        << now.wYear << "-" << now.wMonth << "-" << now.wDay << " " << now.wHour << ":"
        << now.wMinute;
}

TEST_F(SettingsWindowTest, ASuspendThatReturnsWithinTheMinuteDoesNotSuspendAgain) {
  os.suspendAllowed = true;
  WriteIni("[Settings]\nAction=Suspend\nTimerEnable=Yes\nTime=11:30:00 PM\n");
  Create();
  for (std::uint16_t second : {0, 10, 20, 30, 40, 50}) {
    os.localTime.wSecond = second;
    os.Send(form_->Handle(), kWmTimer, 1);
  }
  EXPECT_THAT(os.Only({"SetSuspendState"}), ElementsAre("SetSuspendState(FALSE, FALSE, FALSE)"));
}

TEST_F(SettingsWindowTest, AScheduledLockLocks) {
  WriteIni("[Settings]\nAction=Lock\nTimerEnable=Yes\nTime=11:30:00 PM\n");
  Create();
  os.Send(form_->Handle(), kWmTimer, 1);
  EXPECT_THAT(os.Only({"LockWorkStation"}), ElementsAre("LockWorkStation()"));
}

// --- Fade-in ---

struct FadeCase {
  const char* name;
  const char* ini;
  OsVersionInfo version;
  bool fades;
};

class Fade : public SettingsWindowTest, public ::testing::WithParamInterface<FadeCase> {};

TEST_P(Fade, RaisesTheOpacityFromZeroOnlyOnXpWithAlphaBlendOn) {
  WriteIni(GetParam().ini);
  os.version = GetParam().version;
  Create();
  os.Send(form_->Handle(), kWmCommand, miShow, 0);
  std::vector<std::string> opacity = os.Only({"SetLayeredWindowAttributes"});
  if (!GetParam().fades) {
    EXPECT_THAT(opacity, IsEmpty());
    return;
  }
  std::vector<std::string> expected(2, "SetLayeredWindowAttributes(window2, 0)");
  for (int alpha = 0; alpha <= 255; ++alpha)
    expected.push_back("SetLayeredWindowAttributes(window2, " + std::to_string(alpha) + ")");
  EXPECT_EQ(opacity, expected) << "lowered before restoring, then 0 and 0 to 255";
  // Invalidated with its controls and painted at once, step by step.
  std::vector<std::string> repaints = os.Only({"RedrawWindow"});
  EXPECT_EQ(repaints.size(), 256u);
  EXPECT_THAT(repaints, Each(std::string("RedrawWindow(window2, 0x185)")));
  os.calls.clear();
  os.Send(form_->Handle(), kWmCommand, miShow, 0);
  EXPECT_THAT(os.Only({"SetLayeredWindowAttributes"}), IsEmpty()) << "already shown: no fade";
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, Fade,
    ::testing::Values(FadeCase{"Xp", "", kXp, true},
                      FadeCase{"XpUpperCaseYes", "[Settings]\nUseAlphaBlend=YES\n", kXp, true},
                      FadeCase{"XpAlphaBlendOff", "[Settings]\nUseAlphaBlend=No\n", kXp, false},
                      FadeCase{"Windows2000", "", {5, 0, 2195, kVerPlatformWin32Nt}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindowTest, PlacesItselfAboveTheTaskbarByMenuOrDoubleClick) {
  Create();
  os.Send(form_->Handle(), kWmCommand, miShow, 0);
  Click(btnHide);
  os.Send(form_->Handle(), WM_TRAYNOTIFY, 0, kWmLButtonDblClk);
  EXPECT_THAT(os.Only({"SetWindowPos"}),
              ElementsAre("SetWindowPos(window2, 844, 445)", "SetWindowPos(window2, 844, 444)"));
}

}  // namespace
}  // namespace quennavar::testing
