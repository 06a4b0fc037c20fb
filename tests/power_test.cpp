#include "system/power.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/unique_handle.h"
#include "system/privilege.h"
#include "system/version.h"
#include "tests/expected_calls.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

// What the actions do to the machine, and what they record of it.
std::vector<std::string> Effects(const RecordingPlatform& os) {
  return os.Only({"ExitWindowsEx", "LockWorkStation", "CreateWaitableTimerA", "SetWaitableTimer",
                  "SetSuspendState", "ReportEventA"});
}

class PowerTest : public ::testing::Test {
 protected:
  RecordingPlatform os;
  ActionContext context{os, ReadRegionalSettings(os), os.modulePath};

  std::vector<std::string> Effects() const { return testing::Effects(os); }
};

// --- Operating-system predicates and capability queries ---

struct PlatformCase {
  const char* name;
  OsVersionInfo version;
  bool xp, w2000, nt, w9x;
  bool queriesPowerLibrary;  // the 9x family and NT from 2000 on ask the power library
};

const PlatformCase kPlatforms[] = {
    {"Win95", kWindows95, false, false, false, true, true},
    {"Win98", kWindows98, false, false, false, true, true},
    {"NT4", kWindowsNt4, false, false, true, false, false},
    {"Win2000", {5, 0, 2195, kVerPlatformWin32Nt}, false, true, true, false, true},
    {"WinXP", {5, 1, 2600, kVerPlatformWin32Nt}, true, false, true, false, true},
    {"Server2003", {5, 2, 3790, kVerPlatformWin32Nt}, false, false, true, false, true},
    {"Vista", {6, 0, 6000, kVerPlatformWin32Nt}, false, false, true, false, true},
    {"Win7", {6, 1, 7601, kVerPlatformWin32Nt}, false, false, true, false, true},
    {"Win10", {10, 0, 19045, kVerPlatformWin32Nt}, false, false, true, false, true},
    {"Win32s", kWin32s, false, false, false, false, false},
};

class PlatformPredicates : public PowerTest, public ::testing::WithParamInterface<PlatformCase> {};

TEST_P(PlatformPredicates, TellTheFamiliesApart) {
  os.version = GetParam().version;
  EXPECT_EQ(IsWindowsXP(os), GetParam().xp);
  EXPECT_EQ(IsWindows2000(os), GetParam().w2000);
  EXPECT_EQ(IsWindowsNT(os), GetParam().nt);
  EXPECT_EQ(IsWindows9x(os), GetParam().w9x);
}

TEST_P(PlatformPredicates, AskThePowerLibraryOnlyOnSystemsThatHaveIt) {
  os.version = GetParam().version;
  os.suspendAllowed = true;
  os.hibernateAllowed = true;
  EXPECT_EQ(CanSuspend(os), GetParam().queriesPowerLibrary);
  EXPECT_EQ(CanHibernate(os), GetParam().queriesPowerLibrary);
  EXPECT_EQ(os.Only({"LoadSystemLibrary"}).size(), GetParam().queriesPowerLibrary ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Versions, PlatformPredicates, ::testing::ValuesIn(kPlatforms), kRowName);

TEST_F(PowerTest, CapabilityQueryLoadsTheLibraryEveryTimeAndAsksItsEntry) {
  for (bool allowed : {false, true}) {
    os.suspendAllowed = allowed;
    os.hibernateAllowed = !allowed;
    EXPECT_EQ(CanSuspend(os), allowed);
    EXPECT_EQ(CanHibernate(os), !allowed);
  }
  EXPECT_EQ(os.Only({"LoadSystemLibrary"}).size(), 4u);
}

TEST_F(PowerTest, CapabilityIsFalseWithoutTheLibraryOrItsEntry) {
  os.suspendAllowed = true;
  os.missingEntries = {"IsPwrSuspendAllowed"};
  EXPECT_FALSE(CanSuspend(os));
  os.powerLibraryLoads = false;
  EXPECT_FALSE(CanHibernate(os));
  EXPECT_THAT(os.Only({"IsPwrSuspendAllowed", "IsPwrHibernateAllowed"}), IsEmpty());
}

// The loader's old error codes run up to 31: a handle from 32 on is a library.
TEST_F(PowerTest, AModuleHandleBelow32IsNoLibrary) {
  for (auto [handle, loaded] : {std::pair{31u, false}, {32u, true}}) {
    os.powerLibrary = handle;
    EXPECT_EQ(CanHibernate(os), loaded) << handle;
  }
}

// --- The shutdown privilege ---

TEST_F(PowerTest, PrivilegeIsEnabledAloneAndTheTokenClosed) {
  EXPECT_TRUE(EnableShutdownPrivilege(os));
  EXPECT_TRUE(os.shutdownPrivilegeEnabled);
  EXPECT_TRUE(os.otherPrivilegesEnabled);
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
}

TEST_F(PowerTest, PrivilegeNeedsNoTokenWorkOnThe9xFamilyAndFailsOnUnknownPlatforms) {
  os.version = kWindows98;
  EXPECT_TRUE(EnableShutdownPrivilege(os));
  os.version = kWin32s;
  EXPECT_FALSE(EnableShutdownPrivilege(os));
  EXPECT_THAT(os.calls, IsEmpty());
}

// Each step of the token work can fail.
const std::pair<const char*, void (*)(RecordingPlatform&)> kPrivilegeFailures[] = {
    {"the token does not open", [](RecordingPlatform& p) { p.openTokenSucceeds = false; }},
    {"the probe succeeds", [](RecordingPlatform& p) { p.tokenProbeSucceeds = true; }},
    {"the probe fails otherwise", [](RecordingPlatform& p) { p.tokenProbeError = 5; }},
    {"the privilege is unknown", [](RecordingPlatform& p) { p.lookupPrivilegeSucceeds = false; }},
    {"the first adjustment fails", [](RecordingPlatform& p) { p.firstAdjustSucceeds = false; }},
    {"the second adjustment fails", [](RecordingPlatform& p) { p.secondAdjustSucceeds = false; }}};

TEST(PrivilegeFailures, StopTheExitRequestButStillLeaveAnErrorRecordAndCloseTheToken) {
  for (const auto& [step, script] : kPrivilegeFailures) {
    RecordingPlatform os;
    script(os);
    EXPECT_FALSE(EnableShutdownPrivilege(os)) << step;
    EXPECT_THAT(os.OpenHandles(), IsEmpty()) << step;
    os.calls.clear();
    DoLogoff(ActionContext{os, ReadRegionalSettings(os), os.modulePath}, false);
    EXPECT_THAT(Effects(os), ElementsAre(Record(1, 2))) << step;
    EXPECT_THAT(os.OpenHandles(), IsEmpty()) << step;
  }
}

// A handle made through an argument is owned from the call; what was held
// before is released first.
TEST_F(PowerTest, AHandlePutInPlaceReleasesTheOneBeforeIt) {
  {
    UniqueKernelHandle handle(os, os.CreateWaitableTimerA(false, "t"));
    os.OpenProcessToken(os.GetCurrentProcess(), kTokenQuery, handle.put());
    EXPECT_EQ(os.OpenHandles(), std::set<std::string>{"token"});
  }
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
}

// --- The exit actions ---

struct ExitCase {
  const char* name;
  void (*action)(const ActionContext&, bool);
  std::uint32_t flags, forcedFlags;
  int event;
};

class ExitActions : public PowerTest, public ::testing::WithParamInterface<ExitCase> {};

// NT ends a session only for a process that holds the shutdown privilege,
// so a success recorded shows it was enabled first.
TEST_P(ExitActions, PassTheirFlagsAndRecordTheirEvent) {
  const ExitCase& c = GetParam();
  for (bool force : {false, true}) {
    os.calls.clear();
    c.action(context, force);
    EXPECT_THAT(Effects(), ElementsAre(Exit(force ? c.forcedFlags : c.flags), Record(0, c.event)));
    EXPECT_TRUE(os.shutdownPrivilegeEnabled);
    EXPECT_THAT(os.OpenHandles(), IsEmpty());
  }
}

TEST_P(ExitActions, RecordARefusedRequestAsAnError) {
  os.exitWindowsSucceeds = false;
  GetParam().action(context, true);
  EXPECT_THAT(os.Only({"ReportEventA"}), ElementsAre(Record(1, GetParam().event)));
}

TEST_P(ExitActions, OnThe9xFamilyActWithoutTokenWorkAndWithoutRecord) {
  os.version = kWindows98;
  GetParam().action(context, false);
  EXPECT_THAT(os.calls, ElementsAre(Exit(GetParam().flags)));
}

INSTANTIATE_TEST_SUITE_P(Actions, ExitActions,
                         ::testing::Values(ExitCase{"Logoff", DoLogoff, 0, 4, 2},
                                           ExitCase{"Poweroff", DoPoweroff, 8, 12, 3},
                                           ExitCase{"Reboot", DoReboot, 2, 6, 4},
                                           ExitCase{"Shutdown", DoShutdown, 1, 5, 1}),
                         kRowName);

// --- Lock ---

TEST_F(PowerTest, LockRecordsWhetherTheStationWasLockedAndDoesNothingOnThe9xFamily) {
  DoLock(context);
  os.lockSucceeds = false;  // as Wine, which has no lock screen
  DoLock(context);
  EXPECT_THAT(Effects(),
              ElementsAre("LockWorkStation()", Record(0, 9), "LockWorkStation()", Record(1, 9)));

  os.calls.clear();
  os.version = kWindows95;
  DoLock(context);
  EXPECT_THAT(os.calls, IsEmpty()) << "the 9x family has no lock";
}

// --- Suspend and hibernate ---

TEST_F(PowerTest, SuspendAndHibernateRecordAfterTheMachineHasResumed) {
  os.suspendAllowed = true;
  DoSuspend(context, false);
  DoHibernate(context, false);
  EXPECT_THAT(Effects(), ElementsAre(kSuspend, Record(0, 5), kHibernate, Record(0, 6)));
}

TEST_F(PowerTest, SuspendThatDoesNotHappenIsRecordedAsAnError) {
  os.setSuspendStateSucceeds = false;
  DoHibernate(context, false);
  os.missingEntries = {"SetSuspendState"};
  DoHibernate(context, false);
  EXPECT_THAT(Effects(), ElementsAre(kHibernate, Record(1, 6), Record(1, 6)));
}

// With or without a wake-up timer: no timer is set and nothing sleeps.
TEST_F(PowerTest, SleepWhereNotAllowedOnlyRecordsTheRefusal) {
  os.suspendAllowed = false;
  DoSuspend(context, false);
  SuspendAndWake(context, 1800, false);
  os.version = kWindowsNt4;
  DoHibernate(context, false);
  HibernateAndWake(context, 1800, false);
  EXPECT_THAT(Effects(), ElementsAre(Record(1, 101, "!!!"), Record(1, 101, "!!!"),
                                     Record(1, 102, "!!!"), Record(1, 102, "!!!")));
  EXPECT_EQ(os.Only({"LoadSystemLibrary"}).size(), 2u) << "NT 4 has no power library to load";
}

// --- Suspend and hibernate with a wake-up timer ---

TEST(WakeUpTimer, IsSetRelativeToNowAndRecordedBeforeSuspending) {
  const std::pair<std::int32_t, const char*> kDueTimes[] = {{1800, "-18000000000"},
                                                            {0, "0"},
                                                            {2147483647, "-21474836470000000"},
                                                            {-2147483647 - 1, "21474836480000000"},
                                                            {-60, "600000000"}};
  for (const auto& [seconds, dueTime] : kDueTimes) {
    RecordingPlatform os;
    os.suspendAllowed = true;
    SuspendAndWake(ActionContext{os, ReadRegionalSettings(os), os.modulePath}, seconds, false);
    EXPECT_THAT(
        os.Only({"CreateWaitableTimerA", "SetWaitableTimer", "SetSuspendState", "ReportEventA",
                 "CloseHandle"}),
        ElementsAre(kCreateTimer, Timer(dueTime), Record(0, 5), kSuspend, "CloseHandle(timer)"))
        << seconds;
  }
}

TEST_F(PowerTest, HibernateWithWakeUpUsesItsOwnEventAndEntry) {
  HibernateAndWake(context, 300, false);
  EXPECT_THAT(Effects(), ElementsAre(kCreateTimer, Timer("-3000000000"), Record(0, 6), kHibernate));
}

TEST_F(PowerTest, WakeUpTimerThatCannotBeSetIsRecordedAndNothingSleeps) {
  os.setTimerSucceeds = false;
  HibernateAndWake(context, 60, false);
  os.createTimerSucceeds = false;
  HibernateAndWake(context, 60, false);
  EXPECT_THAT(Effects(),
              ElementsAre(kCreateTimer, Timer("-600000000"), Record(1, 103, "!!!"), kCreateTimer,
                          Timer("-600000000", "NULL"), Record(1, 103, "!!!")));
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
}

}  // namespace
}  // namespace quennavar::testing
