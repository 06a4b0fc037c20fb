#include "system/power.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "system/nt_system.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr OsVersionInfo kWindows95{4, 0, 950, kVerPlatformWin32Windows};
constexpr OsVersionInfo kWindows98{4, 10, 1998, kVerPlatformWin32Windows};
constexpr OsVersionInfo kWindowsNt4{4, 0, 1381, kVerPlatformWin32Nt};
constexpr OsVersionInfo kWindows2000{5, 0, 2195, kVerPlatformWin32Nt};
constexpr OsVersionInfo kWindowsXp{5, 1, 2600, kVerPlatformWin32Nt};
constexpr OsVersionInfo kWindowsServer2003{5, 2, 3790, kVerPlatformWin32Nt};
constexpr OsVersionInfo kWindowsVista{6, 0, 6000, kVerPlatformWin32Nt};
constexpr OsVersionInfo kWindows7{6, 1, 7601, kVerPlatformWin32Nt};
constexpr OsVersionInfo kWindows10{10, 0, 19045, kVerPlatformWin32Nt};
constexpr OsVersionInfo kWin32s{3, 10, 0, 0};

const std::string kNow = "12/7/2026 11:30:00 PM";

class PowerTest : public ::testing::Test {
 protected:
  RecordingPlatform os;
  RegionalSettings regional = ReadRegionalSettings(os);
  ActionContext context{os, regional, os.modulePath};

  std::vector<std::string> Effects() const {
    return os.Only({"ExitWindowsEx", "LockWorkStation", "SetWaitableTimer", "SetSuspendState",
                    "ReportEventA"});
  }
};

// --- Operating-system predicates and capability queries ---

struct PlatformCase {
  const char* name;
  OsVersionInfo version;
  bool xp, w2000, nt, w9x;
  bool queriesPowerLibrary;  // the 9x family and NT from 2000 on ask the power library
};

class PlatformPredicates : public PowerTest, public ::testing::WithParamInterface<PlatformCase> {};

TEST_P(PlatformPredicates, TellTheFamiliesApart) {
  const PlatformCase& c = GetParam();
  os.version = c.version;
  EXPECT_EQ(IsWindowsXP(os), c.xp);
  EXPECT_EQ(IsWindows2000(os), c.w2000);
  EXPECT_EQ(IsWindowsNT(os), c.nt);
  EXPECT_EQ(IsWindows9x(os), c.w9x);
}

TEST_P(PlatformPredicates, AskThePowerLibraryOnlyOnSystemsThatHaveIt) {
  const PlatformCase& c = GetParam();
  os.version = c.version;
  os.suspendAllowed = true;
  os.hibernateAllowed = true;
  EXPECT_EQ(CanSuspend(os), c.queriesPowerLibrary);
  EXPECT_EQ(CanHibernate(os), c.queriesPowerLibrary);
  EXPECT_EQ(os.Only({"LoadLibraryA"}).size(), c.queriesPowerLibrary ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, PlatformPredicates,
    ::testing::Values(PlatformCase{"Win95", kWindows95, false, false, false, true, true},
                      PlatformCase{"Win98", kWindows98, false, false, false, true, true},
                      PlatformCase{"NT4", kWindowsNt4, false, false, true, false, false},
                      PlatformCase{"Win2000", kWindows2000, false, true, true, false, true},
                      PlatformCase{"WinXP", kWindowsXp, true, false, true, false, true},
                      PlatformCase{"Server2003", kWindowsServer2003, false, false, true, false,
                                   true},
                      PlatformCase{"Vista", kWindowsVista, false, false, true, false, true},
                      PlatformCase{"Win7", kWindows7, false, false, true, false, true},
                      PlatformCase{"Win10", kWindows10, false, false, true, false, true},
                      PlatformCase{"Win32s", kWin32s, false, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PowerTest, CapabilityQueryLoadsTheLibraryEveryTimeAndAsksItsEntry) {
  os.suspendAllowed = false;
  os.hibernateAllowed = true;
  EXPECT_FALSE(CanSuspend(os));
  EXPECT_TRUE(CanHibernate(os));
  EXPECT_THAT(
      os.calls,
      ElementsAre("LoadLibraryA(\"powrprof.dll\")", "GetModuleHandleA(\"powrprof.dll\")",
                  "GetProcAddress(powrprof, \"IsPwrSuspendAllowed\")", "IsPwrSuspendAllowed()",
                  "LoadLibraryA(\"powrprof.dll\")", "GetModuleHandleA(\"powrprof.dll\")",
                  "GetProcAddress(powrprof, \"IsPwrHibernateAllowed\")",
                  "IsPwrHibernateAllowed()"));
}

TEST_F(PowerTest, CapabilityIsFalseWithoutTheLibraryOrItsEntry) {
  os.suspendAllowed = true;
  os.missingEntries = {"IsPwrSuspendAllowed"};
  EXPECT_FALSE(CanSuspend(os));
  os.powerLibraryLoads = false;
  EXPECT_FALSE(CanHibernate(os));
  EXPECT_THAT(os.Only({"IsPwrSuspendAllowed", "IsPwrHibernateAllowed"}), IsEmpty());
}

// --- The shutdown privilege ---

TEST_F(PowerTest, PrivilegeIsAskedForInTheSystemsOwnSequence) {
  EXPECT_TRUE(EnableShutdownPrivilege(os));
  EXPECT_THAT(
      os.calls,
      ElementsAre(
          "OpenProcessToken(process, 0x28)", "GetTokenInformation(token, 3, NULL, 0)",
          "GetLastError() = 122", "LookupPrivilegeValueA(NULL, \"SeShutdownPrivilege\")",
          "AdjustTokenPrivileges(token, FALSE, {1, luid 19, 2}, 16, NULL, returned 0)",
          "AdjustTokenPrivileges(token, FALSE, {1, luid 19, 2}, 16, buffer[16], returned 16)",
          "CloseHandle(token)"));
}

TEST_F(PowerTest, PrivilegeNeedsNoTokenWorkOnThe9xFamilyAndFailsOnUnknownPlatforms) {
  os.version = kWindows98;
  EXPECT_TRUE(EnableShutdownPrivilege(os));
  os.version = kWin32s;
  EXPECT_FALSE(EnableShutdownPrivilege(os));
  EXPECT_THAT(os.calls, IsEmpty());
}

struct PrivilegeFailure {
  const char* name;
  void (*script)(RecordingPlatform&);
};

class PrivilegeFailures : public PowerTest,
                          public ::testing::WithParamInterface<PrivilegeFailure> {};

TEST_P(PrivilegeFailures, StopTheExitRequestButStillLeaveAnErrorRecordAndCloseTheToken) {
  GetParam().script(os);
  EXPECT_FALSE(EnableShutdownPrivilege(os));
  EXPECT_THAT(os.OpenHandles(), IsEmpty());

  os.calls.clear();
  DoLogoff(context, false);
  EXPECT_THAT(Effects(), ElementsAre("ReportEventA(type=1, id=2, \"" + kNow + "\")"));
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PrivilegeFailures,
    ::testing::Values(
        PrivilegeFailure{"TokenDoesNotOpen",
                         [](RecordingPlatform& p) { p.openTokenSucceeds = false; }},
        PrivilegeFailure{"ProbeSucceeds",
                         [](RecordingPlatform& p) { p.tokenProbeSucceeds = true; }},
        PrivilegeFailure{"ProbeFailsOtherwise",
                         [](RecordingPlatform& p) { p.tokenProbeError = 5; }},
        PrivilegeFailure{"PrivilegeUnknown",
                         [](RecordingPlatform& p) { p.lookupPrivilegeSucceeds = false; }},
        PrivilegeFailure{"FirstAdjustFails",
                         [](RecordingPlatform& p) { p.firstAdjustSucceeds = false; }},
        PrivilegeFailure{"SecondAdjustFails",
                         [](RecordingPlatform& p) { p.secondAdjustSucceeds = false; }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The exit actions ---

struct ExitCase {
  const char* name;
  void (*action)(const ActionContext&, bool);
  std::uint32_t flags, forcedFlags, event;
};

class ExitActions : public PowerTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitActions, PassTheirFlagsAndRecordTheirEvent) {
  const ExitCase& c = GetParam();
  for (bool force : {false, true}) {
    os.calls.clear();
    c.action(context, force);
    std::string flags = std::to_string(force ? c.forcedFlags : c.flags);
    EXPECT_THAT(Effects(), ElementsAre("ExitWindowsEx(" + flags + ", 0x7FFFFFFF)",
                                       "ReportEventA(type=0, id=" + std::to_string(c.event) +
                                           ", \"" + kNow + "\")"));
  }
}

TEST_P(ExitActions, RecordARefusedRequestAsAnError) {
  os.exitWindowsSucceeds = false;
  GetParam().action(context, true);
  EXPECT_THAT(os.Only({"ReportEventA"}),
              ElementsAre("ReportEventA(type=1, id=" + std::to_string(GetParam().event) + ", \"" +
                          kNow + "\")"));
}

TEST_P(ExitActions, OnThe9xFamilyActWithoutTokenWorkAndWithoutRecord) {
  os.version = kWindows98;
  GetParam().action(context, false);
  EXPECT_THAT(os.calls,
              ElementsAre("ExitWindowsEx(" + std::to_string(GetParam().flags) + ", 0x7FFFFFFF)"));
}

INSTANTIATE_TEST_SUITE_P(Actions, ExitActions,
                         ::testing::Values(ExitCase{"Logoff", DoLogoff, 0, 4, 2},
                                           ExitCase{"Poweroff", DoPoweroff, 8, 12, 3},
                                           ExitCase{"Reboot", DoReboot, 2, 6, 4},
                                           ExitCase{"Shutdown", DoShutdown, 1, 5, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Lock ---

TEST_F(PowerTest, LockRecordsWhetherTheStationWasLocked) {
  DoLock(context);
  os.lockSucceeds = false;  // as Wine, which has no lock screen
  DoLock(context);
  EXPECT_THAT(Effects(),
              ElementsAre("LockWorkStation()", "ReportEventA(type=0, id=9, \"" + kNow + "\")",
                          "LockWorkStation()", "ReportEventA(type=1, id=9, \"" + kNow + "\")"));
}

TEST_F(PowerTest, LockDoesNothingOnThe9xFamily) {
  os.version = kWindows95;
  DoLock(context);
  EXPECT_THAT(os.calls, IsEmpty());
}

// --- Suspend and hibernate ---

TEST_F(PowerTest, SuspendAndHibernateRecordAfterTheMachineHasResumed) {
  os.suspendAllowed = true;
  DoSuspend(context, false);
  DoHibernate(context, false);
  EXPECT_THAT(Effects(), ElementsAre("SetSuspendState(FALSE, FALSE, FALSE)",
                                     "ReportEventA(type=0, id=5, \"" + kNow + "\")",
                                     "SetSuspendState(TRUE, FALSE, FALSE)",
                                     "ReportEventA(type=0, id=6, \"" + kNow + "\")"));
}

TEST_F(PowerTest, SuspendThatDoesNotHappenIsRecordedAsAnError) {
  os.setSuspendStateSucceeds = false;
  DoHibernate(context, false);
  os.missingEntries = {"SetSuspendState"};
  DoHibernate(context, false);
  EXPECT_THAT(Effects(), ElementsAre("SetSuspendState(TRUE, FALSE, FALSE)",
                                     "ReportEventA(type=1, id=6, \"" + kNow + "\")",
                                     "ReportEventA(type=1, id=6, \"" + kNow + "\")"));
}

TEST_F(PowerTest, SuspendWhereNotAllowedOnlyRecordsTheRefusal) {
  os.suspendAllowed = false;
  DoSuspend(context, false);
  os.version = kWindowsNt4;
  DoHibernate(context, false);
  EXPECT_THAT(Effects(), ElementsAre("ReportEventA(type=1, id=101, \"!!!\")",
                                     "ReportEventA(type=1, id=102, \"!!!\")"));
  EXPECT_EQ(os.Only({"LoadLibraryA"}).size(), 1u) << "NT 4 has no power library to load";
}

// --- Suspend and hibernate with a wake-up timer ---

struct WakeUpCase {
  std::int32_t seconds;
  const char* dueTime;
};

class WakeUpTimer : public PowerTest, public ::testing::WithParamInterface<WakeUpCase> {};

TEST_P(WakeUpTimer, IsSetRelativeToNowAndRecordedBeforeSuspending) {
  os.suspendAllowed = true;
  SuspendAndWake(context, GetParam().seconds, false);
  EXPECT_THAT(os.Only({"CreateWaitableTimerA", "SetWaitableTimer", "SetSuspendState",
                       "ReportEventA", "CloseHandle"}),
              ElementsAre("CreateWaitableTimerA(NULL, FALSE, \"ShutDownNTWaitableTimer\")",
                          std::string("SetWaitableTimer(timer, ") + GetParam().dueTime +
                              ", 0, NULL, NULL, TRUE)",
                          "ReportEventA(type=0, id=5, \"" + kNow + "\")",
                          "SetSuspendState(FALSE, FALSE, FALSE)", "CloseHandle(timer)"));
}

INSTANTIATE_TEST_SUITE_P(Seconds, WakeUpTimer,
                         ::testing::Values(WakeUpCase{1800, "-18000000000"}, WakeUpCase{0, "0"},
                                           WakeUpCase{2147483647, "-21474836470000000"},
                                           WakeUpCase{-2147483647 - 1, "21474836480000000"},
                                           WakeUpCase{-60, "600000000"}));

TEST_F(PowerTest, HibernateWithWakeUpUsesItsOwnEventAndEntry) {
  HibernateAndWake(context, 300, false);
  EXPECT_THAT(Effects(), ElementsAre("SetWaitableTimer(timer, -3000000000, 0, NULL, NULL, TRUE)",
                                     "ReportEventA(type=0, id=6, \"" + kNow + "\")",
                                     "SetSuspendState(TRUE, FALSE, FALSE)"));
}

TEST_F(PowerTest, WakeUpWhereSleepIsNotAllowedSetsNoTimerAndRecordsOnlyTheRefusal) {
  os.suspendAllowed = false;
  SuspendAndWake(context, 1800, false);
  os.version = kWindowsNt4;
  HibernateAndWake(context, 1800, false);
  EXPECT_THAT(
      os.Only({"CreateWaitableTimerA", "SetWaitableTimer", "SetSuspendState", "ReportEventA"}),
      ElementsAre("ReportEventA(type=1, id=101, \"!!!\")",
                  "ReportEventA(type=1, id=102, \"!!!\")"));
}

TEST_F(PowerTest, WakeUpTimerThatCannotBeSetIsRecordedAndNothingSleeps) {
  os.setTimerSucceeds = false;
  HibernateAndWake(context, 60, false);
  os.createTimerSucceeds = false;
  HibernateAndWake(context, 60, false);
  EXPECT_THAT(Effects(), ElementsAre("SetWaitableTimer(timer, -600000000, 0, NULL, NULL, TRUE)",
                                     "ReportEventA(type=1, id=103, \"!!!\")",
                                     "SetWaitableTimer(NULL, -600000000, 0, NULL, NULL, TRUE)",
                                     "ReportEventA(type=1, id=103, \"!!!\")"));
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
}

}  // namespace
}  // namespace quennavar::testing
