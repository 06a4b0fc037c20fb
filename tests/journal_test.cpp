#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "system/errors.h"
#include "system/power.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kProgram = "C:\\Program Files\\Quennavar\\Quennavar.exe";
const std::string kRegistration =
    "RegCreateKeyExA(HKEY_LOCAL_MACHINE, "
    "\"System\\CurrentControlSet\\Services\\EventLog\\Application\\Quennavar\", 0xF003F)";

TEST(ReportAction, RegistersTheSourceOnEveryRecordAndReleasesEverything) {
  RecordingPlatform os;
  ReportAction(os, "Quennavar", kProgram, EventType::Success, JournalEvent::Reboot, "12/7/2026");
  EXPECT_THAT(
      os.calls,
      ElementsAre(kRegistration,
                  "RegSetValueExA(key, \"EventMessageFile\", REG_EXPAND_SZ, \"" + kProgram + "\")",
                  "RegCloseKey(key)", "RegisterEventSourceA(NULL, \"Quennavar\")",
                  "ReportEventA(type=0, id=4, \"12/7/2026\")", "DeregisterEventSource(source)"));
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
}

TEST(ReportAction, WithoutRightsToTheKeyStillWritesTheRecord) {
  RecordingPlatform os;
  os.regCreateKeyStatus = 5;  // access denied
  ReportAction(os, "Quennavar", kProgram, EventType::Error, JournalEvent::WakeUpNotSupported,
               "!!!");
  EXPECT_THAT(os.calls, ElementsAre(kRegistration, "RegisterEventSourceA(NULL, \"Quennavar\")",
                                    "ReportEventA(type=1, id=103, \"!!!\")",
                                    "DeregisterEventSource(source)"));
}

TEST(ReportAction, AFailedSourceRegistrationReportsToNoSourceAndDeregistersNothing) {
  RecordingPlatform os;
  os.registerEventSourceSucceeds = false;
  ReportAction(os, "Quennavar", kProgram, EventType::Success, JournalEvent::Lock, "x");
  EXPECT_THAT(os.Only({"ReportEventA", "DeregisterEventSource"}),
              ElementsAre("ReportEventA(NULL, type=0, id=9, \"x\")"));
}

TEST(ReportAction, AKeyThatCannotBeWrittenIsAnErrorAndNothingIsReported) {
  RecordingPlatform os;
  os.regSetValueStatus = 5;
  try {
    ReportAction(os, "Quennavar", kProgram, EventType::Success, JournalEvent::Suspend, "x");
    FAIL() << "expected a registry error";
  } catch (const ERegistryException& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'EventMessageFile'");
  }
  EXPECT_THAT(os.Only({"RegCloseKey", "RegisterEventSourceA", "ReportEventA"}),
              ElementsAre("RegCloseKey(key)"));
}

TEST(ReportAction, RegistryErrorStopsAWakeUpBeforeTheMachineSleeps) {
  RecordingPlatform os;
  os.regSetValueStatus = 5;
  RegionalSettings regional;
  ActionContext context{os, regional, kProgram};
  EXPECT_THROW(HibernateAndWake(context, 60, false), ERegistryException);
  EXPECT_THAT(os.Only({"SetSuspendState"}), IsEmpty());
  EXPECT_THAT(os.OpenHandles(), IsEmpty()) << "the wake-up timer is released too";
}

TEST(ReportAction, RecordsNothingOnThe9xFamily) {
  RecordingPlatform os;
  os.version = {4, 10, 1998, kVerPlatformWin32Windows};
  ReportAction(os, "Quennavar", kProgram, EventType::Success, JournalEvent::Shutdown, "x");
  EXPECT_THAT(os.calls, IsEmpty());
}

// The program file's message table is compiled from this source: the event
// viewer shows these texts for the identifiers the actions write.
TEST(MessageTable, HoldsTheTextOfEveryJournalEvent) {
  std::ifstream source(QUENNAVAR_SOURCE_DIR "/resources/messages.mc");
  std::stringstream text;
  text << source.rdbuf();
  std::map<std::uint32_t, std::string> messages;
  std::regex entry(
      R"(MessageId=(\d+)\s*\r?\nSymbolicName=\w+\s*\r?\nLanguage=English\s*\r?\n(.*?)\r?\n\.)");
  std::string all = text.str();
  for (std::sregex_iterator it(all.begin(), all.end(), entry), end; it != end; ++it)
    messages[std::stoul((*it)[1])] = (*it)[2];

  const std::map<JournalEvent, std::string> expected = {
      {JournalEvent::Shutdown, "System shutdown at %1 %0"},
      {JournalEvent::Logoff, "System logoff at %1 %0"},
      {JournalEvent::Poweroff, "System poweroff at %1 %0"},
      {JournalEvent::Reboot, "System reboot at %1 %0"},
      {JournalEvent::Suspend, "System suspend at %1 %0"},
      {JournalEvent::Hibernate, "System hibernate at %1 %0"},
      {JournalEvent::WakeAfterSuspend, "System wake up after suspend at %1 %0"},
      {JournalEvent::WakeAfterHibernate, "System wake up after hibernate at %1 %0"},
      {JournalEvent::Lock, "System locked at %1 %0"},
      {JournalEvent::SuspendNotSupported, "System does not support suspend %1 %0"},
      {JournalEvent::HibernateNotSupported, "System does not support hibernate %1 %0"},
      {JournalEvent::WakeUpNotSupported, "System does not support wake up (ACPI required) %1 %0"},
  };
  EXPECT_EQ(messages.size(), expected.size());
  for (const auto& [event, message] : expected)
    EXPECT_EQ(messages[static_cast<std::uint32_t>(event)], message);
}

}  // namespace
}  // namespace quennavar::testing
