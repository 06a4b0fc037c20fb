#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/quennavar.h"
#include "tests/expected_calls.h"
#include "tests/program_folder.h"

namespace quennavar::testing {
namespace {

using ::testing::Matches;

class TrayTest : public ProgramFolderTest {
 protected:
  std::vector<std::string> Effects() const {
    return os.Only({"ExitWindowsEx", "LockWorkStation", "SetSuspendState", "ReportEventA",
                    "MessageBoxA", "TrackPopupMenu"});
  }
};

TEST_F(TrayTest, StartsHiddenWithItsIconAndRemovesItBeforeTheWindowGoes) {
  os.commandLine = "Quennavar.exe";
  EXPECT_EQ(Quennavar(os), 0);
  const std::string icon = "{window2, 0, 7, 1143, MAINICON 16x16, \"Quennavar\"}";
  EXPECT_THAT(
      os.Only({"CreateWindowExA", "Shell_NotifyIconA", "ShowWindow", "RunMessageLoop",
               "DestroyWindow", "DestroyMenu"}),
      ElementsAre(
          "CreateWindowExA(0x0, \"Quennavar\", 0x80000000, 0x0, owner NULL) = window1",
          "CreateWindowExA(0x80000, \"Quennavar\", 0xC80000, 175x293, owner window1) = window2",
          "Shell_NotifyIconA(NIM_ADD, " + icon + ")", "ShowWindow(window2, SW_HIDE)",
          "ShowWindow(window1, SW_HIDE)", "RunMessageLoop()",
          "Shell_NotifyIconA(NIM_DELETE, " + icon + ")", "DestroyWindow(window2)",
          "DestroyMenu(menu)", "DestroyWindow(window1)"));
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(IniPath())) << "starting writes nothing";
}

// Whichever window the system refuses, the user is told why and nothing
// keeps running.
TEST_F(TrayTest, AWindowThatCannotBeMadeIsReportedAndEndsTheProgram) {
  os.commandLine = "Quennavar.exe";
  for (int made : {0, 1}) {
    os.windowsCreated = made;
    os.calls.clear();
    EXPECT_EQ(Quennavar(os), 1);
    EXPECT_THAT(
        os.Only({"MessageBoxA", "Shell_NotifyIconA", "RunMessageLoop"}),
        ElementsAre("MessageBoxA(NULL, \"Cannot find window class.\", \"Quennavar\", 0x10)"))
        << made << " windows made";
    EXPECT_THAT(os.OpenHandles(), IsEmpty());
  }
}

// The window goes before the menu, pictures and fonts it uses, and once the
// form starts to go nothing reaches it: not even what the shell sends while
// the icon is taken away.
TEST_F(TrayTest, TheWindowGoesFirstAndHearsNothingAfterwards) {
  Create();
  TrayMouse(kWmRButtonDown);  // the menu and its pictures
  Choose(miShow);             // the controls and their fonts
  HWnd window = form_->Handle();
  os.whileRemovingIcon = [&] {
    os.Send(window, 0xC0DE);  // the registered "TaskbarCreated"
    os.Send(window, kWmSettingChange);
    os.Send(window, WM_TRAYNOTIFY, 0, kNinBalloonHide);
  };
  os.calls.clear();
  form_.reset();
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}),
              ElementsAre(StartsWith("Shell_NotifyIconA(NIM_DELETE")));
  std::vector<std::string> teardown = os.Only({"DestroyWindow", "DestroyMenu", "DeleteObject"});
  ASSERT_EQ(teardown.size(), 11u);
  EXPECT_EQ(teardown[0], "DestroyWindow(window2)");
  auto menu = std::ranges::find(teardown, "DestroyMenu(menu)");
  EXPECT_EQ(std::count_if(menu, teardown.end(), Matches(HasSubstr("BMP_"))), 7)
      << "the pictures outlive the menu";
  os.calls.clear();
  EXPECT_EQ(os.Send(window, WM_TRAYNOTIFY, 0, kWmRButtonDown), 0);
  EXPECT_THAT(os.calls, IsEmpty());
}

// The menu is filled once, at the first right click; each click shows the
// stored state and pops the menu up at the cursor.
TEST_F(TrayTest, ARightClickFillsTheMenuOnceAndPopsItUpWithTheStoredState) {
  Create("[Settings]\nAction=Reboot\nTerminate=No\n");
  EXPECT_EQ(os.OpenHandles().count("BMP_LOGOFF"), 0u) << "nothing loaded before it is needed";
  TrayMouse(kWmRButtonDown);
  EXPECT_EQ(os.CheckedItems(), std::set<std::uint32_t>{miReboot});
  EXPECT_EQ(os.GreyedItems(), std::set<std::uint32_t>{miSuspend}) << "hibernation is allowed";
  // In front first, or the menu would not close on a click elsewhere; at the
  // cursor; and a message after it, so that a second click opens it again.
  EXPECT_THAT(
      os.Only({"SetForegroundWindow", "TrackPopupMenu", "PostMessageA"}),
      ElementsAre("SetForegroundWindow(window2)", "TrackPopupMenu(menu, 0x2, 900, 700, window2)",
                  "PostMessageA(window2, 0x0, 0, 0)"));
  // Its items as the user reads them, with a picture beside each action.
  const std::pair<const char*, const char*> kShown[] = {
      {"Logoff", "BMP_LOGOFF"},       {"Lock", "BMP_LOCK"},
      {"Reboot", "BMP_REBOOT"},       {"Poweroff", "BMP_POWEROFF"},
      {"Shutdown", "BMP_SHUTDOWN"},   {"Suspend", "BMP_SUSPEND"},
      {"Hibernate", "BMP_HIBERNATE"}, {"", nullptr},
      {"Force terminate", nullptr},   {"", nullptr},
      {"Show settings", nullptr},     {"Exit", nullptr}};
  std::vector<std::string> items = os.Only({"AppendMenuA"});
  std::vector<std::string> pictures = os.Only({"SetMenuItemBitmap"});
  ASSERT_EQ(items.size(), std::size(kShown));
  ASSERT_EQ(pictures.size(), 7u);
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_THAT(items[i], HasSubstr(std::string("\"") + kShown[i].first + "\")"));
    if (kShown[i].second) {
      EXPECT_THAT(pictures[i], EndsWith(std::string(kShown[i].second) + ")"));
    }
  }
  os.calls.clear();
  TrayMouse(kWmRButtonDown);
  EXPECT_THAT(os.Only({"AppendMenuA", "SetMenuItemBitmap"}), IsEmpty()) << "filled once";
}

TEST_F(TrayTest, AStoredActionInTheWrongCaseChangesNoMark) {
  Create("[Settings]\nAction=shutdown\n");
  TrayMouse(kWmRButtonDown);
  EXPECT_EQ(os.CheckedItems(), std::set<std::uint32_t>{miForceterminate});
  EXPECT_EQ(os.shownMarks.size(), 1u) << "no action item touched";
}

TEST_F(TrayTest, AnUnreadableTimeKeepsTheMenuClosedAndTheProgramRunning) {
  Create("[Settings]\nTime=half past\n");
  TrayMouse(kWmRButtonDown);
  TrayMouse(kWmLButtonDblClk);
  const std::string error =
      "MessageBoxA(window1, \"'half past' is not a valid time.\", \"Quennavar\", 0x10)";
  EXPECT_THAT(Effects(), ElementsAre(error, error));
}

// The first letter is left whole, however many bytes its character takes,
// and the rest lowered character by character, whatever their lengths.
TEST(ErrorBox, IsCaptionedWithTheProgramFilesNameLowerCasedAfterItsFirstLetter) {
  const std::pair<const char*, const char*> kNames[] = {{"C:\\Tools\\quennavar.exe", "quennavar"},
                                                        {"C:\\Tools\\QUENNAVAR.EXE", "Quennavar"},
                                                        {"C:\\Tools.d\\ÉTÉ.EXE", "Été"},
                                                        {"C:\\Программы\\РАБОЧИЙ.exe", "Рабочий"},
                                                        {"C:\\Äpfel.exe", "Äpfel"},
                                                        {"C:\\ȺȺAB.exe", "Ⱥⱥab"},
                                                        {"C:\\ΩΜΕΓΑ.exe", "Ωμεγα"},
                                                        {"Quennavar", "Quennavar"},
                                                        {".exe", ""}};
  for (const auto& [path, caption] : kNames) {
    RecordingPlatform os;
    TApplication application(os, path);
    application.ShowException(EConvertError("No"));
    EXPECT_THAT(
        os.Only({"MessageBoxA"}),
        ElementsAre(std::string("MessageBoxA(window1, \"No.\", \"") + caption + "\", 0x10)"))
        << path;
  }
}

TEST_F(TrayTest, TheForceToggleActsOnceAndIsForgottenAtTheNextPopUp) {
  Create("[Settings]\nTerminate=Yes\n");
  TrayMouse(kWmRButtonDown);
  Choose(miForceterminate);
  Choose(miReboot);
  TrayMouse(kWmRButtonDown);
  Choose(miPoweroff);
  EXPECT_THAT(os.Only({"ExitWindowsEx"}), ElementsAre(Exit(2), Exit(12)));
  EXPECT_EQ(ReadIni(), "[Settings]\nTerminate=Yes\n") << "the toggle stores nothing";
}

// An action and the event the journal records of it.
std::vector<std::string> Recorded(const std::string& action, int event) {
  return {action, Record(0, event)};
}

struct StoredActionCase {
  const char* action;
  std::vector<std::string> effects;
};

class StoredAction : public TrayTest, public ::testing::WithParamInterface<StoredActionCase> {};

TEST_P(StoredAction, RunsOnADoubleClickInDoDefinedActionMode) {
  Create(std::string("[Settings]\nShowOnClick=No\nTerminate=No\nAction=") + GetParam().action +
         "\n");
  TrayMouse(kWmLButtonDblClk);
  EXPECT_THAT(Effects(), ElementsAreArray(GetParam().effects));
}

const StoredActionCase kStoredActions[] = {
    {"Logoff", Recorded(Exit(0), 2)},
    {"Poweroff", Recorded(Exit(8), 3)},
    {"Reboot", Recorded(Exit(2), 4)},
    {"Shutdown", Recorded(Exit(1), 1)},
    {"Lock", Recorded("LockWorkStation()", 9)},
    {"Hibernate", Recorded(kHibernate, 6)},
    {"Suspend", {}},  // not allowed here: nothing at all, no record
    {"shutdown", {}},
    {"Dance", {}}};

INSTANTIATE_TEST_SUITE_P(Keywords, StoredAction, ::testing::ValuesIn(kStoredActions),
                         [](const auto& info) {
                           std::string name = info.param.action;
                           return name == "shutdown" ? std::string("WrongCase") : name;
                         });

TEST_F(TrayTest, ADoubleClickInShowModeBringsTheWindowUpAboveTheTaskbar) {
  Create();
  TrayMouse(kWmLButtonDblClk);
  EXPECT_THAT(os.Only({"SetWindowPos", "ShowWindow", "SetForegroundWindow"}).front(),
              "SetWindowPos(window2, 844, 444)");
  EXPECT_THAT(os.Only({"SetForegroundWindow"}), ElementsAre("SetForegroundWindow(window2)"));
}

TEST_F(TrayTest, TheIconComesBackWhenTheTaskbarIsRecreated) {
  Create();
  os.trayAccepts = false;  // the old icon is still there: the add fails
  Send(0xC0DE);            // the registered "TaskbarCreated"
  form_.reset();
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}),
              ElementsAre(StartsWith("Shell_NotifyIconA(NIM_ADD"),
                          StartsWith("Shell_NotifyIconA(NIM_DELETE")))
      << "added again, and still removed at exit";
}

// Where the system refuses to register the taskbar's message, no message is it.
TEST_F(TrayTest, WithoutTheTaskbarsMessageNoMessageAddsTheIconAgain) {
  os.registeredMessage = 0;
  Create();
  Send(0);
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}), IsEmpty());
}

// Started as administrator, the program hears Explorer's announcement
// only through the filter, and nothing else from lower rights: through the
// window's where user32 has it, else through the process's.
TEST_F(TrayTest, LetsInFromLowerRightsTheTaskbarsMessageAlone) {
  const std::string kWindow = "ChangeWindowMessageFilterEx(window2, 0xC0DE, 1)";
  const std::string kProcess = "ChangeWindowMessageFilter(0xC0DE, 1)";
  const std::tuple<const char*, std::uint32_t, bool, bool, std::vector<std::string>> kSystems[] = {
      {"7 and later", 0xC0DE, true, true, {kWindow}},
      {"Vista", 0xC0DE, false, true, {kWindow, kProcess}},
      {"XP", 0xC0DE, false, false, {kWindow, kProcess}},
      {"no such message", 0, true, true, {}}};
  for (const auto& [system, registered, filterEx, filter, calls] : kSystems) {
    RecordingPlatform windows;
    windows.registeredMessage = registered;
    windows.messageFilterEx = filterEx;
    windows.messageFilter = filter;
    Quennavar(windows);
    EXPECT_EQ(windows.Only({"ChangeWindowMessageFilterEx", "ChangeWindowMessageFilter"}), calls)
        << system;
  }
}

// Windows Installer asks a program that holds its file to close; at the
// end of a session Windows ends the program itself.
TEST_F(TrayTest, EndsWhenAskedToCloseForAnInstallerAlone) {
  const std::tuple<std::uintptr_t, std::intptr_t, bool> kEndings[] = {
      {1, kEndSessionCloseApp, true}, {1, 0, false}, {0, kEndSessionCloseApp, false}};
  for (const auto& [ending, closeApp, ends] : kEndings) {
    Create();
    Send(kWmEndSession, ending, closeApp);
    EXPECT_EQ(os.Only({"PostQuitMessage"}).size(), ends ? 1u : 0u) << ending << " " << closeApp;
  }
}

TEST_F(TrayTest, ExitEndsTheLoopWithoutDestroyingTheWindowYet) {
  Create();
  Choose(miExit);
  EXPECT_EQ(Send(kWmClose), 0) << "handled";
  EXPECT_THAT(os.Only({"PostMessageA", "PostQuitMessage", "DestroyWindow", "Shell_NotifyIconA"}),
              ElementsAre("PostMessageA(window2, 0x10, 0, 0)", "PostQuitMessage(0)"));
  EXPECT_EQ(Send(kWmQueryEndSession), 1) << "the session may end";
}

// The menu's sleep items leave the machine free to wake on its own events.
TEST_F(TrayTest, TheMenusSleepItemsSleepWithWakeEventsOn) {
  os.suspendAllowed = true;
  Create();
  Choose(miSuspend);
  Choose(miHibernate);
  EXPECT_THAT(os.Only({"SetSuspendState"}), ElementsAre(kSuspend, kHibernate));
}

// Shells from Windows 95 and NT 4 on have a notification area; older ones do not.
TEST_F(TrayTest, TheIconIsAddedFromVersion4On) {
  const std::pair<OsVersionInfo, std::size_t> kVersions[] = {
      {{3, 51, 1057, kVerPlatformWin32Nt}, 0}, {kWindowsNt4, 1}, {kWindows95, 1}};
  for (const auto& [version, icons] : kVersions) {
    os.version = version;
    os.calls.clear();
    TTrayIcon icon(os, kProgramName, WM_TRAYNOTIFY);
    icon.Add(static_cast<HWnd>(0x100));
    EXPECT_EQ(os.Only({"Shell_NotifyIconA"}).size(), icons) << version.dwMajorVersion;
  }
}

TEST_F(TrayTest, WithoutAnIconTheProgramRunsOnAndRemovesNothing) {
  os.trayAccepts = false;
  Create();
  form_.reset();
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}), IsEmpty());
}

// The shell finds the icon by its window, so it goes while that still stands;
// its picture after it.
TEST(TrayIcon, TakesItselfOutOfTheTrayWhenItGoes) {
  RecordingPlatform os;
  std::optional<TTrayIcon> icon(std::in_place, os, kProgramName, WM_TRAYNOTIFY);
  icon->Add(static_cast<HWnd>(0x1234));
  icon.reset();
  EXPECT_THAT(
      os.Only({"Shell_NotifyIconA", "DestroyIcon"}),
      ElementsAre(StartsWith("Shell_NotifyIconA(NIM_ADD"),
                  StartsWith("Shell_NotifyIconA(NIM_DELETE"), "DestroyIcon(MAINICON 16x16)"));
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
}

// A change of the regional formats reaches the records the actions write.
TEST_F(TrayTest, RecordsFollowTheRegionalFormatsAfterTheyChange) {
  Create();
  os.locale[LocaleItem::ITime] = "1";
  Send(kWmSettingChange);
  Choose(miReboot);
  EXPECT_THAT(os.Only({"ReportEventA"}), ElementsAre(Record(0, 4, "12/7/2026 23:30:00")));
}

// The tip holds 63 bytes, and a character it cannot hold whole ("é" takes
// two under UTF-8) it leaves out.
TEST(TrayIcon, TheTipIsCutTo63BytesBetweenCharacters) {
  for (const auto& [text, tip] : {std::pair{std::string(70, 'q'), std::string(63, 'q')},
                                  {std::string(62, 'q') + "\xC3\xA9", std::string(62, 'q')}}) {
    RecordingPlatform os;
    TTrayIcon icon(os, text, WM_TRAYNOTIFY);
    icon.Add(static_cast<HWnd>(0x1234));
    EXPECT_THAT(os.Only({"Shell_NotifyIconA"}),
                ElementsAre("Shell_NotifyIconA(NIM_ADD, {0x1234, 0, 7, 1143, MAINICON 16x16, \"" +
                            tip + "\"})"));
  }
}

}  // namespace
}  // namespace quennavar::testing
