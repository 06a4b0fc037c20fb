#include "app/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/quennavar.h"
#include "system/errors.h"
#include "system/hex_text.h"
#include "tests/expected_calls.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::MatchesRegex;

// --- Splitting the command line ---

TEST(Splitter, SplitsAsTheProgramHasAlwaysReadItsArguments) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"q.exe /reboot /terminate", {"q.exe", "/reboot", "/terminate"}},
      {"\"C:\\Program Files\\q.exe\" /lock", {"C:\\Program Files\\q.exe", "/lock"}},
      {"q \"/sus\"pend", {"q", "/suspend"}},
      {"q /suspend \" 30\"", {"q", "/suspend", " 30"}},
      {"q \"\" /reboot", {"q", "/reboot"}},
      {"q \"\"\"\" /reboot", {"q", "/reboot"}},
      {"q a\"\"b", {"q", "ab"}},
      {"q \"unterminated quote", {"q", "unterminated quote"}},
      {"q\t/lock\r\n/x\x01y", {"q", "/lock", "/x", "y"}},
      {"q caf\xE9 \xA0x", {"q", "caf\xE9", "\xA0x"}},
  };
  for (const auto& [commandLine, words] : cases)
    EXPECT_THAT(SplitCommandLine(commandLine), ElementsAreArray(words)) << commandLine;
}

// --- Reading the minutes ---

TEST(IntegerReader, ReadsDecimalAndHexadecimal32BitValues) {
  const std::pair<std::int32_t, std::vector<const char*>> cases[] = {
      {30, {"30", "+30", "$1E", "x1e", "X1E", "0x1e", "0X1E"}},
      {-30, {"-30"}},
      {0, {"0"}},
      {7, {"007"}},
      {42, {"   42"}},
      {2147483647, {"2147483647"}},
      {-2147483647 - 1, {"-2147483648", "$80000000"}},
      {-1, {"$FFFFFFFF"}},
      {175, {"$af", "xAF"}},
      {1, {"$000000001"}}};
  for (const auto& [value, texts] : cases)
    for (const char* text : texts) EXPECT_EQ(ReadInteger(text), value) << '"' << text << '"';
}

TEST(IntegerReader, RefusesAnythingElse) {
  for (const char* text :
       {"2147483648", "-2147483649", "99999999999999999999", "$100000000", "$", "0x", "$1G", "",
        "+", "-", "30 ", "3 0", "30min", "thirty", "/terminate", "\t30", "-$10", "1.5"})
    EXPECT_EQ(ReadInteger(text), std::nullopt) << '"' << text << '"';
}

TEST(MinutesToSeconds, ChecksTheSigned32BitRange) {
  EXPECT_EQ(MinutesToSeconds(35791394), 2147483640);
  EXPECT_EQ(MinutesToSeconds(-35791394), -2147483640);
  EXPECT_THROW(MinutesToSeconds(35791395), EIntOverflow);
  EXPECT_THROW(MinutesToSeconds(-35791395), EIntOverflow);
  EXPECT_THROW(MinutesToSeconds(-2147483647 - 1), EIntOverflow);
}

// --- The switch table, through the program entry ---

class ProgramEntry : public ::testing::Test {
 protected:
  // The first word is not the program file's name, which the system gives apart.
  int Run(const std::string& arguments) {
    os.commandLine = "q " + arguments;
    return Quennavar(os);
  }

  RecordingPlatform os;
};

// An exit switch asks the system with its flags, then writes its record.
std::vector<std::string> Exits(int flags, int event) { return {Exit(flags), Record(0, event)}; }

// Hibernating with a wake-up timer records before the machine sleeps.
std::vector<std::string> HibernatesWaking(const char* dueTime) {
  return {Timer(dueTime), Record(0, 6), kHibernate};
}

struct SwitchCase {
  const char* name;
  const char* arguments;
  std::vector<std::string> effects;  // what reaches the system, in order
};

const SwitchCase kSwitches[] = {
    {"Shutdown", "/shutdown", Exits(1, 1)},
    {"ShutdownForced", "/shutdown /terminate", Exits(5, 1)},
    {"Logoff", "/logoff", Exits(0, 2)},
    {"LogoffForced", "/logoff /terminate", Exits(4, 2)},
    {"Poweroff", "/poweroff", Exits(8, 3)},
    {"PoweroffForced", "/poweroff /terminate", Exits(12, 3)},
    {"Reboot", "/reboot", Exits(2, 4)},
    {"RebootForced", "/reboot /terminate", Exits(6, 4)},
    {"UpperCaseSwitchAndModifier", "/REBOOT /TERMINATE", Exits(6, 4)},
    {"MixedCase", "/ReBoOt", Exits(2, 4)},
    {"ModifierWithoutSlashDoesNotForce", "/reboot terminate", Exits(2, 4)},
    {"OtherSlashWordDoesNotForce", "/reboot /force", Exits(2, 4)},
    {"ModifierInThirdPlaceIsIgnored", "/reboot x /terminate", Exits(2, 4)},
    {"QuotedSwitch", "\"/reboot\" \"/terminate\"", Exits(6, 4)},
    {"EmptyQuotesAreSkipped", "\"\" /logoff", Exits(0, 2)},
    {"SuspendNotAllowedHere", "/suspend", {Record(1, 101, "!!!")}},
    {"Hibernate", "/hibernate", {kHibernate, Record(0, 6)}},
    {"HibernateInFiveMinutesThirdArgumentIgnored", "/hibernate 5 /terminate",
     HibernatesWaking("-3000000000")},
    {"HibernateZeroMinutes", "/hibernate 0", HibernatesWaking("0")},
    {"HibernateHexMinutes", "/hibernate $1E", HibernatesWaking("-18000000000")},
    {"WordMeansTwoHours", "/hibernate soon", HibernatesWaking("-72000000000")},
    {"TerminateMeansTwoHours", "/hibernate /terminate", HibernatesWaking("-72000000000")},
    {"LargestMinutes", "/hibernate 35791394", HibernatesWaking("-21474836400000000")},
    {"LockWritesNoRecord", "/lock", {"LockWorkStation()"}},
    {"LockIgnoresItsModifier", "/LOCK /terminate", {"LockWorkStation()"}},
};

class Switches : public ProgramEntry, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(Switches, RunTheirActionAndEndWithExitCodeZero) {
  EXPECT_EQ(Run(GetParam().arguments), 0);
  EXPECT_THAT(os.Only({"ExitWindowsEx", "LockWorkStation", "SetWaitableTimer", "SetSuspendState",
                       "ReportEventA", "MessageBoxA", "RunMessageLoop"}),
              ElementsAreArray(GetParam().effects))
      << "one action, and no stay in the tray";
}

INSTANTIATE_TEST_SUITE_P(Table, Switches, ::testing::ValuesIn(kSwitches), kRowName);

TEST_F(ProgramEntry, SuspendWithMinutesSetsTheWakeUpTimerWhereSuspendIsAllowed) {
  os.suspendAllowed = true;
  EXPECT_EQ(Run("/suspend 30"), 0);
  EXPECT_THAT(os.Only({"SetWaitableTimer", "SetSuspendState", "ReportEventA"}),
              ElementsAre(Timer("-18000000000"), Record(0, 5), kSuspend));
}

TEST_F(ProgramEntry, LockDoesNothingOnThe9xFamily) {
  os.version = {4, 10, 1998, kVerPlatformWin32Windows};
  EXPECT_EQ(Run("/lock"), 0);
  EXPECT_THAT(os.Only({"LockWorkStation", "ReportEventA"}), IsEmpty());
}

TEST_F(ProgramEntry, ArgumentZeroIsTheSystemsPathNotTheFirstWord) {
  os.commandLine = "quennavar /shutdown";
  os.modulePath = "D:\\Tools\\Quennavar.exe";
  Quennavar(os);
  EXPECT_THAT(os.Only({"RegSetValueExA"}),
              ElementsAre("RegSetValueExA(key, \"EventMessageFile\", REG_EXPAND_SZ, "
                          "\"D:\\Tools\\Quennavar.exe\")"));
}

class NoSwitch : public ProgramEntry, public ::testing::WithParamInterface<const char*> {};

TEST_P(NoSwitch, LeavesTheSystemAlone) {
  EXPECT_EQ(Run(GetParam()), 0);
  EXPECT_THAT(os.Only({"ExitWindowsEx", "LockWorkStation", "CreateWaitableTimerA",
                       "SetSuspendState", "ReportEventA", "MessageBoxA"}),
              IsEmpty());
  EXPECT_EQ(os.Only({"RunMessageLoop"}).size(), 1u) << "the tray application runs instead";
}

INSTANTIATE_TEST_SUITE_P(Arguments, NoSwitch,
                         ::testing::Values("", "reboot", "-reboot", "\\reboot", "/rebooot",
                                           "/reboot2", "/", "/help", "word /reboot", "\"/reboot \"",
                                           " \"\" "));

// --- Errors that end the process ---

class Overflow : public ProgramEntry, public ::testing::WithParamInterface<const char*> {};

TEST_P(Overflow, EndsWithTheApplicationErrorBoxBeforeAnythingSleeps) {
  EXPECT_EQ(Run(GetParam()), 1);
  EXPECT_THAT(
      os.Only({"CreateWaitableTimerA", "SetSuspendState", "ReportEventA", "MessageBoxA"}),
      ElementsAre(MatchesRegex(
          "MessageBoxA\\(NULL, \"Exception EIntOverflow in module Quennavar\\.exe at "
          "[0-9A-F]{8,16}\\.\r\nInteger overflow\\.\r\n\", \"Application Error\", 0x10\\)")));
}

INSTANTIATE_TEST_SUITE_P(Minutes, Overflow,
                         ::testing::Values("/suspend 35791395", "/hibernate -35791395",
                                           "/hibernate 2147483647", "/hibernate $80000000"));

TEST_F(ProgramEntry, RegistryErrorOfTheJournalEndsTheProcessWithItsMessage) {
  os.regSetValueStatus = 5;
  EXPECT_EQ(Run("/reboot"), 1);
  EXPECT_THAT(os.Only({"ReportEventA", "MessageBoxA"}),
              ElementsAre(MatchesRegex(".*ERegistryException.*\r\nFailed to set data for "
                                       "'EventMessageFile'\r\n.*")))
      << "a message ending in a quote gets no full stop";
}

TEST(FatalError, AddsAFullStopOnlyWhereTheMessageLacksOne) {
  for (const char* message : {"Integer overflow", "caf\xE9"})
    EXPECT_EQ(FullStopFor(message), ".") << message;
  for (const char* message : {"Done.", "Ends with a blank ", "Ends in a quote'", ""})
    EXPECT_EQ(FullStopFor(message), "") << message;
}

TEST(HexText, ZeroFillsOnTheLeftAndKeepsTheLowDigits) {
  const struct {
    std::uintmax_t value;
    int width;
    const char* text;
  } cases[] = {{0, 8, "00000000"},           {0x4BF00A, 8, "004BF00A"},
               {0x040904E4, 8, "040904E4"},  {0xFFFFFFFFu, 8, "FFFFFFFF"},
               {0x1ABCDEF01, 8, "ABCDEF01"}, {0xDEADBEEFCAFEull, 16, "0000DEADBEEFCAFE"}};
  for (const auto& c : cases) EXPECT_EQ(HexText(c.value, c.width), c.text) << c.text;
}

}  // namespace
}  // namespace quennavar::testing
