#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <tuple>

#include "app/actions.h"
#include "app/command_line.h"
#include "tests/expected_calls.h"
#include "tests/program_folder.h"

namespace quennavar::testing {
namespace {

using namespace control;

std::string Write(const std::string& key, const std::string& value) {
  return "WritePrivateProfileStringA(\"Settings\", \"" + key + "\", \"" + value + "\")";
}

// A clock as failure messages show it.
std::string Clock(const SystemTime& t) {
  return std::to_string(t.wYear) + "-" + std::to_string(t.wMonth) + "-" + std::to_string(t.wDay) +
         " " + std::to_string(t.wHour) + ":" + std::to_string(t.wMinute) + ":" +
         std::to_string(t.wSecond);
}

class SettingsWindowTest : public ProgramFolderTest {
 protected:
  // The user starts the program and opens the window from the tray menu: its
  // controls exist from then on.
  void Open(const std::optional<std::string>& ini = std::nullopt) {
    Create(ini);
    Choose(miShow);
    os.calls.clear();
  }
  bool Checked(ControlId id) const { return form_->Checked(id); }
  bool Enabled(ControlId id) { return os.enabled[form_->Control(id)]; }
  // A click on a button: the system checks it first, as auto buttons do.
  void Click(ControlId id, std::optional<bool> checks = std::nullopt) {
    if (checks) os.checks[form_->Control(id)] = *checks;
    if (checks && *checks) {
      const ControlId group =
          std::ranges::find(kSettingsWindow, id, &ControlDescription::id)->parent;
      for (const auto& c : kSettingsWindow)
        if (c.kind == ControlKind::RadioButton && c.parent == group && c.id != id)
          os.checks[form_->Control(c.id)] = 0;
    }
    // A 64-bit system hands the notification code in bits 16 to 31 alone:
    // whatever stands above them is not the window's to read.
    Send(kWmCommand, id | ~std::uintptr_t{0xFFFFFFFF},
         static_cast<std::intptr_t>(form_->Control(id)));
  }
  std::vector<std::string> Writes() const { return os.Only({"WritePrivateProfileStringA"}); }
  void Tick() { Send(kWmTimer, 1); }
};

// --- One table of actions ---

// Each action is one row of one table, and every place agrees on it: its
// radio button and menu item are captioned with its keyword, its switch is
// the keyword lower-cased; the keyword, stored, checks its own radio button
// and menu item alone; its radio button stores its keyword; the stored
// action ("Do now"), its menu item and its switch run the same action (the
// switch's lock writes no record).
TEST_F(SettingsWindowTest, EveryActionIsTheSameInTheFileTheWindowTheMenuAndTheCommandLine) {
  os.suspendAllowed = true;
  for (std::size_t i = 0; i < std::size(kActions); ++i) {
    const ActionDescription& action = kActions[i];
    const ActionDescription& other = kActions[(i + 1) % std::size(kActions)];
    EXPECT_THAT(std::ranges::find(kSettingsWindow, action.radio, &ControlDescription::id)->caption,
                ::testing::StartsWith(action.keyword));
    EXPECT_STREQ(std::ranges::find(kTrayMenu, action.menuItem, &TrayMenuItem::id)->caption,
                 action.keyword);
    EXPECT_EQ(os.CharLowerBuffA(std::string("/") + action.keyword), action.commandSwitch);
    Open(std::string("[Settings]\nTerminate=Yes\nAction=") + other.keyword + "\n");
    Click(action.radio, true);
    EXPECT_THAT(ReadIni(), HasSubstr(std::string("Action=") + action.keyword)) << action.keyword;
    Open();
    for (const ActionDescription& each : kActions)
      EXPECT_EQ(Checked(each.radio), &each == &action) << action.keyword << ", " << each.keyword;
    TrayMouse(kWmRButtonDown);
    EXPECT_EQ(os.CheckedItems(), (std::set<std::uint32_t>{action.menuItem, miForceterminate}))
        << action.keyword;

    const auto effects = [&] {
      auto done = os.Only({"ExitWindowsEx", "LockWorkStation", "SetSuspendState", "ReportEventA"});
      os.calls.clear();
      return done;
    };
    os.calls.clear();
    Choose(action.menuItem);
    const auto fromMenu = effects();
    Click(btnReboot);
    EXPECT_EQ(effects(), fromMenu) << action.keyword;
    // A sleep's second argument is its wake-up time: none here.
    EXPECT_TRUE(RunSwitch(context, action.commandSwitch,
                          action.kind == ActionKind::Exit ? "/terminate" : ""));
    const auto fromSwitch = effects();
    EXPECT_FALSE(fromMenu.empty()) << action.keyword;
    if (action.kind == ActionKind::Lock)
      EXPECT_THAT(fromSwitch, ElementsAre(fromMenu.front())) << action.keyword;
    else
      EXPECT_EQ(fromSwitch, fromMenu) << action.keyword;
  }
}

// --- What the window shows after creation ---

// The boxes and radio buttons checked, and which of Lock, Suspend and the
// picker are enabled.
struct ShownCase {
  const char* name;
  const char* ini;
  OsVersionInfo version;
  bool suspendAllowed;
  std::set<ControlId> checked;
  std::set<ControlId> enabled;
  std::tuple<int, int, int> time;
};

class Shown : public SettingsWindowTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(Shown, FollowsTheSettingsFileAndThePlatform) {
  const ShownCase& c = GetParam();
  os.version = c.version;
  os.suspendAllowed = c.suspendAllowed;
  Open(c.ini);
  for (ControlId box : {rbLogoff, rbLock, rbPoweroff, rbReboot, rbShutdown, rbSuspend, rbHibernate,
                        cbForceterminate, cbTimerEnabled, rgOptionsShowWindow, rgOptionsDoAction})
    EXPECT_EQ(Checked(box), c.checked.contains(box)) << box;
  for (ControlId control : {rbLock, rbSuspend, DateTimePicker})
    EXPECT_EQ(Enabled(control), c.enabled.contains(control)) << control;
  EXPECT_EQ(form_->ActionTimerEnabled(), c.checked.contains(cbTimerEnabled));
  const SystemTime& picker = os.pickerTimes[form_->Control(DateTimePicker)];
  EXPECT_EQ(std::tuple(int{picker.wHour}, int{picker.wMinute}, int{picker.wSecond}), c.time);
  EXPECT_EQ(ReadIni(), c.ini) << "creating the window stores nothing";
}

const std::set<ControlId> kFirstStart = {rbShutdown, cbForceterminate, rgOptionsShowWindow};

// One row a case: name, settings file, Windows, suspend allowed, then what
// the window shows.
// clang-format off
const ShownCase kShown[] = {
    {"NoFile", "", kWindowsXp, false, kFirstStart, {rbLock}, {11, 11, 0}},
    {"Stored", "[Settings]\nAction=Reboot\nTerminate=No\nTimerEnable=Yes\nShowOnClick=No\n"
               "Time=11:30:00 PM\n", kWindowsXp, false,
     {rbReboot, cbTimerEnabled, rgOptionsDoAction}, {rbLock, DateTimePicker}, {23, 30, 0}},
    {"LockOn9xStaysDrawnAsShutdown", "[Settings]\nAction=Lock\n", kWindows98, false,
     kFirstStart, {}, {11, 11, 0}},
    {"LockOnXp", "[Settings]\nAction=Lock\n", kWindowsXp, false,
     {rbLock, cbForceterminate, rgOptionsShowWindow}, {rbLock}, {11, 11, 0}},
    {"SuspendNotAllowed", "[Settings]\nAction=Suspend\n", kWindowsXp, false,
     kFirstStart, {rbLock}, {11, 11, 0}},
    {"SuspendAllowed", "[Settings]\nAction=Suspend\n", kWindowsXp, true,
     {rbSuspend, cbForceterminate, rgOptionsShowWindow}, {rbLock, rbSuspend}, {11, 11, 0}},
    {"WrongCaseAction", "[Settings]\nAction=reboot\n", kWindowsXp, false,
     kFirstStart, {rbLock}, {11, 11, 0}},
    // An unreadable time stops creation: every control as first drawn.
    {"UnreadableTime", "[Settings]\nAction=Reboot\nTimerEnable=Yes\nTime=x\n", kWindowsXp, false,
     {rbShutdown, rgOptionsShowWindow}, {rbLock, rbSuspend, DateTimePicker}, {11, 53, 0}}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Files, Shown, ::testing::ValuesIn(kShown), kRowName);

TEST_F(SettingsWindowTest, IsBuiltWhenFirstOpenedAndShowsTheSettingsReadAtStart) {
  Create("[Settings]\nAction=Reboot\n");
  EXPECT_EQ(form_->Control(rbReboot), HWnd::Null) << "nothing is built while only the icon shows";
  WriteIni("[Settings]\nAction=Poweroff\n");
  Choose(miShow);
  EXPECT_TRUE(Checked(rbReboot));
  application_->Minimize();
  Choose(miShow);
  EXPECT_THAT(os.Only({"InitCommonControlsEx"}), ElementsAre("InitCommonControlsEx(0x100)"));
}

// One control of each kind, and the tooltip that shows the hints: the
// system's classes with the styles the window was drawn with. The version
// label shows the program file's version, read when the window was built.
TEST_F(SettingsWindowTest, ControlsAreDrawnWithTheirClassesStylesCaptionsFontsAndTheVersion) {
  Create();
  Choose(miShow);
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
  EXPECT_EQ(std::ranges::count(os.classes, "tooltips_class32 0x80000001 0x0",
                               &std::map<HWnd, std::string>::value_type::second),
            1);
  Rect logoff;
  os.GetWindowRect(form_->Control(rbLogoff), logoff);
  EXPECT_EQ(std::tuple(logoff.left, logoff.top), std::tuple(3 + 8, 0 + 16))
      << "placed from its group box's corner";
  EXPECT_EQ(os.icons[form_->Control(PowerLogo)], "MAINICON 32x32");
  EXPECT_EQ(os.texts[form_->Control(PowerLogo)], "") << "an icon, not a caption";
  EXPECT_EQ(os.texts[form_->Control(rbLock)], "Lock");
  EXPECT_EQ(os.fonts[form_->Control(Quennavar)], "font MS Sans Serif -11 700");
  EXPECT_EQ(os.fonts[form_->Control(rbLogoff)], "font MS Sans Serif -11 400");
  EXPECT_EQ(os.texts[form_->Control(VerInfoLabel)], "1.2.3.4");
  EXPECT_THAT(os.Only({"GetFileVersionInfoSizeA"}),
              ElementsAre("GetFileVersionInfoSizeA(\"" + os.modulePath + "\")"))
      << "the program file's, by its full path, read once";
}

// Hours, minutes and the designator, whatever the seconds: without the
// designator 11:30 in the morning and at night look the same.
TEST_F(SettingsWindowTest, ThePickerShowsTheUsersShortTimeFormat) {
  const std::tuple<const char*, const char*, const char*> kLocales[] = {
      {"h:mm tt", "h:mm:ss tt", "h:mm tt"},  // 7 and later
      {"", "h:mm:ss tt", "h:mm tt"},         // XP
      {"", "HH:mm:ss", "HH:mm"},
      {"", "", "(its own)"}};  // none: the picker keeps its own
  for (const auto& [shortTime, longTime, shown] : kLocales) {
    os.locale[LocaleItem::SShortTime] = shortTime;
    os.locale[LocaleItem::STimeFormat] = longTime;
    context.regional = ReadRegionalSettings(os);
    os.pickerFormats.clear();
    Open();
    const auto format = os.pickerFormats.find(form_->Control(DateTimePicker));
    EXPECT_EQ(format == os.pickerFormats.end() ? "(its own)" : format->second, shown) << longTime;
  }
  os.locale[LocaleItem::SShortTime] = "HH:mm";
  Send(kWmSettingChange);
  EXPECT_EQ(os.pickerFormats[form_->Control(DateTimePicker)], "HH:mm") << "a new locale";
}

// The name and version labels are navy on the window's face; every other
// control keeps the system's colours.
TEST_F(SettingsWindowTest, OnlyTheNameAndVersionLabelsAreNavy) {
  Open();
  const std::pair<HWnd, bool> kLabels[] = {{form_->Control(Quennavar), true},
                                           {form_->Control(VerInfoLabel), true},
                                           {form_->Control(rbLogoff), false},
                                           {HWnd::Null, false}};
  for (const auto& [label, navy] : kLabels) {
    os.calls.clear();
    Send(kWmCtlColorStatic, 0x1234, static_cast<std::intptr_t>(label));
    EXPECT_EQ(os.Only({"SetTextColor"}),
              std::vector<std::string>(navy ? 1 : 0, "SetTextColor(0x800000)"))
        << os.NameOf(label);
  }
}

TEST_F(SettingsWindowTest, WithoutVersionInformationTheLabelStaysEmpty) {
  os.fileVersion.reset();
  Open();
  EXPECT_EQ(os.texts[form_->Control(VerInfoLabel)], "");
}

TEST_F(SettingsWindowTest, ATranslationTooShortToHoldALanguageIsNotRead) {
  os.versionTranslation = {0x09, 0x04};
  Create();
  Choose(miShow);
  EXPECT_THAT(os.Only({"VerQueryValueA"}),
              ElementsAre(R"(VerQueryValueA("\VarFileInfo\Translation"))"));
  EXPECT_EQ(os.texts[form_->Control(VerInfoLabel)], "");
}

// --- Handlers write exactly their keys ---

// A button's other notifications (painting, highlighting, a double click)
// are not clicks.
TEST_F(SettingsWindowTest, OnlyAClickNotificationActs) {
  Open();
  for (std::uintptr_t code : {1, 2, 5})
    Send(kWmCommand, code << 16 | cbForceterminate,
         static_cast<std::intptr_t>(form_->Control(cbForceterminate)));
  EXPECT_THAT(Writes(), IsEmpty());
}

TEST_F(SettingsWindowTest, WithNoActionCheckedASaveLeavesTheActionAlone) {
  Open();
  for (const ActionDescription& action : kActions) os.checks[form_->Control(action.radio)] = 0;
  Click(btnHide);
  EXPECT_EQ(Writes().front(), Write("TimerEnable", "No"));
}

TEST_F(SettingsWindowTest, OnThe9xFamilyAStoredLockStaysUntilARadioIsClicked) {
  os.version = kWindows98;
  Open("[Settings]\nAction=Lock\n");
  EXPECT_EQ(ReadIni(), "[Settings]\nAction=Lock\n");
  Click(btnHide);
  EXPECT_EQ(Writes().front(), Write("Action", "Shutdown"));
}

// What a full save stores: the four keys saved together, never Terminate.
std::vector<std::string> FullSave(const std::string& action) {
  return {Write("Action", action), Write("TimerEnable", "No"), Write("ShowOnClick", "Yes"),
          Write("Time", "11:11:00 AM")};
}

struct HandlerCase {
  const char* name;
  ControlId control;
  std::optional<bool> checks;
  std::vector<std::string> writes;
};

class Handlers : public SettingsWindowTest, public ::testing::WithParamInterface<HandlerCase> {};

TEST_P(Handlers, WriteTheirKeysAtOnce) {
  Open();
  Click(GetParam().control, GetParam().checks);
  EXPECT_THAT(Writes(), ElementsAreArray(GetParam().writes));
}

const HandlerCase kHandlers[] = {
    {"ForceOff", cbForceterminate, false, {Write("Terminate", "No")}},
    {"ForceOn", cbForceterminate, true, {Write("Terminate", "Yes")}},
    {"DoDefinedAction", rgOptionsDoAction, true, {Write("ShowOnClick", "No")}},
    {"ShowThisWindow", rgOptionsShowWindow, true, {Write("ShowOnClick", "Yes")}},
    {"TimerOn", cbTimerEnabled, true, {Write("TimerEnable", "Yes"), Write("Time", "11:11:00 AM")}},
    {"ARadioSavesFourKeysButNeverTerminate", rbReboot, true, FullSave("Reboot")},
    {"HideToTray", btnHide, std::nullopt, FullSave("Shutdown")},
    {"DoNowWritesNothing", btnReboot, std::nullopt, {}}};

INSTANTIATE_TEST_SUITE_P(Controls, Handlers, ::testing::ValuesIn(kHandlers), kRowName);

TEST_F(SettingsWindowTest, TheTimerBoxArmsTheTimerAndThePicker) {
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
  Open("[Settings]\nAction=Reboot\nTimerEnable=Yes\nTime=9:00:00 PM\n");
  os.pickerTimes[form_->Control(DateTimePicker)].wHour = 23;
  os.pickerTimes[form_->Control(DateTimePicker)].wMinute = 30;
  // Only the picker's change notification writes: not its other ones, nor
  // another control's.
  const std::pair<NotifyHeader, std::size_t> kNotifications[] = {
      {{form_->Control(DateTimePicker), DateTimePicker, -2}, 0},
      {{form_->Control(btnHide), btnHide, kDtnDateTimeChange}, 0},
      {{form_->Control(DateTimePicker), DateTimePicker, kDtnDateTimeChange}, 1}};
  for (const auto& [notification, writes] : kNotifications) {
    Send(kWmNotify, notification.idFrom, reinterpret_cast<std::intptr_t>(&notification));
    EXPECT_EQ(Writes().size(), writes) << notification.code << " from " << notification.idFrom;
  }
  EXPECT_THAT(Writes(), ElementsAre(Write("Time", "11:30:00 PM")));
  os.localTime.wHour = 23;
  Tick();
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), IsEmpty()) << "still armed for 9 PM";
  Click(btnHide);  // reloads
  Tick();
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), ElementsAre(Exit(6)));
}

TEST_F(SettingsWindowTest, DoNowLoadsAndRunsTheStoredAction) {
  Open("[Settings]\nAction=Poweroff\nTerminate=No\n");
  WriteIni("[Settings]\nAction=Lock\n");  // changed by another copy meanwhile
  Click(btnReboot);
  EXPECT_THAT(os.Only({"ExitWindowsEx", "LockWorkStation"}), ElementsAre("LockWorkStation()"));
}

TEST_F(SettingsWindowTest, ARefusedWriteIsShownAndTheProgramRunsOn) {
  Open();
  std::filesystem::remove_all(folder_);  // the folder is gone: nothing can be written
  Click(cbForceterminate, false);
  EXPECT_THAT(os.Only({"MessageBoxA"}), ElementsAre("MessageBoxA(window1, \"Unable to write to " +
                                                    IniPath() + ".\", \"Quennavar\", 0x10)"));
}

// --- The action timer over a simulated clock ---

TEST_F(SettingsWindowTest, TheTimerActsOnceInTheMatchingMinuteAndAgainTheNextDay) {
  Create("[Settings]\nAction=Reboot\nTimerEnable=Yes\nTime=11:11:45 AM\n");
  const std::pair<SystemTime, bool> kTicks[] = {
      {{2026, 12, 1, 7, 11, 10, 50, 0}, false}, {{2026, 12, 1, 7, 11, 11, 0, 0}, true},
      {{2026, 12, 1, 7, 11, 11, 10, 0}, false}, {{2026, 12, 1, 7, 11, 11, 59, 0}, false},
      {{2026, 12, 1, 7, 11, 12, 0, 0}, false},  {{2026, 12, 1, 8, 11, 11, 5, 0}, true},
      {{2026, 12, 1, 8, 23, 11, 0, 0}, false},  {{2026, 12, 1, 9, 11, 11, 30, 0}, true}};
  for (const auto& [now, acts] : kTicks) {
    os.calls.clear();
    os.localTime = now;
    Tick();
    EXPECT_EQ(os.Only({"ExitWindowsEx"}).size(), acts ? 1u : 0u) << Clock(now);
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
    EXPECT_EQ(DueMinute(now, EncodeTime({23, 30, 0, 0}), ran).has_value(), due) << Clock(now);
}

TEST_F(SettingsWindowTest, ASuspendThatReturnsWithinTheMinuteDoesNotSuspendAgain) {
  os.suspendAllowed = true;
  Create("[Settings]\nAction=Suspend\nTimerEnable=Yes\nTime=11:30:00 PM\n");
  for (std::uint16_t second : {0, 10, 20, 30, 40, 50}) {
    os.localTime.wSecond = second;
    Tick();
  }
  EXPECT_THAT(os.Only({"SetSuspendState"}), ElementsAre(kSuspend));
}

TEST_F(SettingsWindowTest, AScheduledLockLocks) {
  Create("[Settings]\nAction=Lock\nTimerEnable=Yes\nTime=11:30:00 PM\n");
  Tick();
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
  os.version = GetParam().version;
  Create(GetParam().ini);
  Choose(miShow);
  std::vector<int> opacity = os.Opacities();
  if (!GetParam().fades) {
    EXPECT_THAT(opacity, IsEmpty());
    return;
  }
  // Lowered before restoring, set to 0 as the fade starts, then every step
  // from 0 to 255.
  ASSERT_EQ(opacity.size(), 258u);
  EXPECT_EQ(opacity[0], 0);
  EXPECT_EQ(opacity[1], 0);
  for (int step = 0; step <= 255; ++step) EXPECT_EQ(opacity[2 + step], step);
  // Invalidated with its controls and painted at once, step by step.
  EXPECT_EQ(os.Only({"RedrawWindow"}),
            std::vector<std::string>(256, "RedrawWindow(window2, 0x185)"));
  os.calls.clear();
  Choose(miShow);
  EXPECT_THAT(os.Only({"SetLayeredWindowAttributes"}), IsEmpty()) << "already shown: no fade";
  // Shown again it fades again; from a double-click it is not lowered first.
  Click(btnHide);
  TrayMouse(kWmLButtonDblClk);
  opacity = os.Opacities();
  EXPECT_EQ(opacity.size(), 257u);
  EXPECT_TRUE(std::ranges::is_sorted(opacity));
  EXPECT_EQ(opacity.back(), 255);
}

// The fade handles messages between its steps. A restore among them lets the
// running fade go on, rather than starting another inside it: one loop, its
// opacity never falling, the window opaque at the end. "Hide to tray" among
// them leaves the window hidden.
TEST_F(SettingsWindowTest, AFadeGoesOnThroughTheMessagesItHandles) {
  const std::tuple<const char*, std::vector<std::function<void()>>, bool> kCases[] = {
      {"hide, then show", {[&] { Click(btnHide); }, [&] { Choose(miShow); }}, true},
      {"hide, then double-click",
       {[&] { Click(btnHide); }, [&] { TrayMouse(kWmLButtonDblClk); }},
       true},
      {"show again", {[&] { Choose(miShow); }}, true},
      {"hide", {[&] { Click(btnHide); }}, false}};
  for (const auto& [name, during, shown] : kCases) {
    Create();
    int steps = 0;
    os.pendingMessages = [&, &during = during] {
      if (++steps == 100)
        for (const auto& message : during) message();
    };
    Choose(miShow);
    os.pendingMessages = nullptr;
    const std::vector<int> opacity = os.Opacities();
    EXPECT_EQ(opacity.size(), 258u) << name << ": lowered, then one loop from 0 to 255";
    EXPECT_TRUE(std::ranges::is_sorted(opacity)) << name;
    EXPECT_EQ(opacity.back(), 255) << name;
    EXPECT_EQ(os.Visible(form_->Handle()), shown) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, Fade,
    ::testing::Values(
        FadeCase{"Xp", "", kWindowsXp, true},
        FadeCase{"XpUpperCaseYes", "[Settings]\nUseAlphaBlend=YES\n", kWindowsXp, true},
        FadeCase{"XpAlphaBlendOff", "[Settings]\nUseAlphaBlend=No\n", kWindowsXp, false},
        FadeCase{"Windows2000", "", {5, 0, 2195, kVerPlatformWin32Nt}, false}),
    kRowName);

TEST_F(SettingsWindowTest, PlacesItselfAboveTheTaskbarByMenuOrDoubleClick) {
  Create();
  Choose(miShow);
  Click(btnHide);
  TrayMouse(kWmLButtonDblClk);
  EXPECT_THAT(os.Only({"SetWindowPos"}),
              ElementsAre("SetWindowPos(window2, 844, 445)", "SetWindowPos(window2, 844, 444)"));
}

}  // namespace
}  // namespace quennavar::testing
