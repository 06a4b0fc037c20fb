#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include "system/errors.h"
#include "system/power.h"
#include "tests/expected_calls.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::ThrowsMessage;

const std::string kProgram = "C:\\Program Files\\Quennavar\\Quennavar.exe";
const std::string kLocalDrive = "GetDriveTypeA(\"C:\\\")";
const std::string kRegistration =
    "RegCreateKeyExA(HKEY_LOCAL_MACHINE, "
    "\"System\\CurrentControlSet\\Services\\EventLog\\Application\\Quennavar\", 0xF003F)";

class Journal : public ::testing::Test {
 protected:
  void Report(EventType type, JournalEvent event, const std::string& text) {
    ReportAction(os, "Quennavar", kProgram, type, event, {text});
  }

  RecordingPlatform os;
};

TEST_F(Journal, RegistersTheSourceOnEveryRecordAndReleasesEverything) {
  Report(EventType::Success, JournalEvent::Reboot, "12/7/2026");
  EXPECT_THAT(
      os.calls,
      ElementsAre(kLocalDrive, kRegistration,
                  "RegSetValueExA(key, \"EventMessageFile\", REG_EXPAND_SZ, \"" + kProgram + "\")",
                  "RegCloseKey(key)", "RegisterEventSourceA(NULL, \"Quennavar\")",
                  "ReportEventA(type=0, id=4, \"12/7/2026\")", "DeregisterEventSource(source)"));
  EXPECT_THAT(os.OpenHandles(), IsEmpty());
}

TEST_F(Journal, WithoutRightsToTheKeyStillWritesTheRecord) {
  os.regCreateKeyStatus = 5;  // access denied
  Report(EventType::Error, JournalEvent::WakeUpNotSupported, "!!!");
  EXPECT_THAT(
      os.calls,
      ElementsAre(kLocalDrive, kRegistration, "RegisterEventSourceA(NULL, \"Quennavar\")",
                  "ReportEventA(type=1, id=103, \"!!!\")", "DeregisterEventSource(source)"));
}

// Registered, a file on a share would be read over the network by every
// reader of the log; the record is written all the same. So is one on a
// drive the program cannot tell is its machine's own.
TEST_F(Journal, OnlyAProgramOnALocalDriveRegistersButEveryOneRecords) {
  os.driveTypes = {{"Z:\\", kDriveRemote}, {"Y:\\", kDriveNoRootDir}, {"E:\\", kDriveRemovable}};
  const std::pair<const char*, bool> kPrograms[] = {
      {"\\\\server\\share\\Quennavar.exe", false},
      {"\\\\?\\UNC\\server\\share\\Quennavar.exe", false},
      {"Z:\\Tools\\Quennavar.exe", false},
      {"\\\\?\\Z:\\Tools\\Quennavar.exe", false},
      {"\\\\?\\C:\\Tools\\Quennavar.exe", true},
      {"Y:\\Tools\\Quennavar.exe", false},
      {"E:\\Tools\\Quennavar.exe", true},
      {"d:/Tools/Quennavar.exe", true}};
  for (const auto& [program, registered] : kPrograms) {
    os.calls.clear();
    ReportAction(os, "Quennavar", program, EventType::Success, JournalEvent::Reboot, {"x"});
    EXPECT_EQ(os.Only({"RegCreateKeyExA"}).size(), registered ? 1u : 0u) << program;
    EXPECT_THAT(os.Only({"ReportEventA"}), ElementsAre("ReportEventA(type=0, id=4, \"x\")"))
        << program;
  }
}

TEST_F(Journal, AFailedSourceRegistrationReportsToNoSourceAndDeregistersNothing) {
  os.registerEventSourceSucceeds = false;
  Report(EventType::Success, JournalEvent::Lock, "x");
  EXPECT_THAT(os.Only({"ReportEventA", "DeregisterEventSource"}),
              ElementsAre("ReportEventA(NULL, type=0, id=9, \"x\")"));
}

// The source's key is written before anything else, so that neither a record
// nor a wake-up goes ahead without it.
TEST_F(Journal, AKeyThatCannotBeWrittenIsAnErrorBeforeAnyRecordOrSleep) {
  os.regSetValueStatus = 5;
  EXPECT_THAT([&] { Report(EventType::Success, JournalEvent::Suspend, "x"); },
              ThrowsMessage<ERegistryException>("Failed to set data for 'EventMessageFile'"));
  EXPECT_THAT(os.Only({"RegCloseKey", "RegisterEventSourceA", "ReportEventA"}),
              ElementsAre("RegCloseKey(key)"));
  EXPECT_THROW(HibernateAndWake({os, {}, kProgram}, 60, false), ERegistryException);
  EXPECT_THAT(os.Only({"SetSuspendState"}), IsEmpty());
  EXPECT_THAT(os.OpenHandles(), IsEmpty()) << "the wake-up timer is released too";
}

TEST_F(Journal, RecordsNothingOnThe9xFamily) {
  os.version = {4, 10, 1998, kVerPlatformWin32Windows};
  Report(EventType::Success, JournalEvent::Shutdown, "x");
  EXPECT_THAT(os.calls, IsEmpty());
}

// The program file's message table is compiled from this source: the event
// viewer shows these texts for the identifiers the actions write.
TEST(MessageTable, HoldsTheTextOfEveryJournalEvent) {
  std::ifstream source(QUENNAVAR_SOURCE_DIR "/resources/messages.mc");
  const std::string text(std::istreambuf_iterator<char>(source), {});
  const std::regex entry(
      R"(MessageId=(\d+)\s*\r?\nSymbolicName=\w+\s*\r?\nLanguage=English\s*\r?\n(.*?)\r?\n\.)");
  std::map<JournalEvent, std::string> messages;
  for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it)
    messages[static_cast<JournalEvent>(std::stoul((*it)[1]))] = (*it)[2];

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
      {JournalEvent::Skipped, "Scheduled %1 skipped at %2 %0"},
      {JournalEvent::SuspendNotSupported, "System does not support suspend %1 %0"},
      {JournalEvent::HibernateNotSupported, "System does not support hibernate %1 %0"},
      {JournalEvent::WakeUpNotSupported, "System does not support wake up (ACPI required) %1 %0"}};
  EXPECT_EQ(messages, expected);
}

}  // namespace
}  // namespace quennavar::testing
