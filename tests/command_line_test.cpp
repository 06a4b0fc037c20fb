#include "app/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/quennavar.h"
#include "system/errors.h"
#include "system/hex_text.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

// --- Splitting the command line ---

struct SplitCase {
  const char* commandLine;
  std::vector<std::string> words;
};

class Splitter : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Splitter, SplitsAsTheProgramHasAlwaysReadItsArguments) {
  EXPECT_THAT(SplitCommandLine(GetParam().commandLine), ElementsAreArray(GetParam().words));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, Splitter,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"   \t ", {}},
                      SplitCase{"q.exe /reboot /terminate", {"q.exe", "/reboot", "/terminate"}},
                      SplitCase{"\"C:\\Program Files\\q.exe\" /lock",
                                {"C:\\Program Files\\q.exe", "/lock"}},
                      SplitCase{"q \"/sus\"pend", {"q", "/suspend"}},
                      SplitCase{"q /suspend \" 30\"", {"q", "/suspend", " 30"}},
                      SplitCase{"q \"\" /reboot", {"q", "/reboot"}},
                      SplitCase{"q \"\"\"\" /reboot", {"q", "/reboot"}},
                      SplitCase{"q a\"\"b", {"q", "ab"}},
                      SplitCase{"q \"unterminated quote", {"q", "unterminated quote"}},
                      SplitCase{"q\t/lock\r\n/x\x01y", {"q", "/lock", "/x", "y"}},
                      SplitCase{"q caf\xE9 \xA0x", {"q", "caf\xE9", "\xA0x"}}));

// --- Reading the minutes ---

struct IntegerCase {
  const char* text;
  std::optional<std::int32_t> value;
};

class IntegerReader : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerReader, ReadsDecimalAndHexadecimal32BitValues) {
  EXPECT_EQ(ReadInteger(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntegerReader,
    ::testing::Values(
        IntegerCase{"30", 30}, IntegerCase{"+30", 30}, IntegerCase{"-30", -30}, IntegerCase{"0", 0},
        IntegerCase{"007", 7}, IntegerCase{"   42", 42}, IntegerCase{"2147483647", 2147483647},
        IntegerCase{"-2147483648", -2147483647 - 1}, IntegerCase{"2147483648", std::nullopt},
        IntegerCase{"-2147483649", std::nullopt}, IntegerCase{"99999999999999999999", std::nullopt},
        IntegerCase{"$1E", 30}, IntegerCase{"x1e", 30}, IntegerCase{"X1E", 30},
        IntegerCase{"0x1e", 30}, IntegerCase{"0X1E", 30}, IntegerCase{"$FFFFFFFF", -1},
        IntegerCase{"$af", 175}, IntegerCase{"xAF", 175}, IntegerCase{"$80000000", -2147483647 - 1},
        IntegerCase{"$000000001", 1}, IntegerCase{"$100000000", std::nullopt},
        IntegerCase{"$", std::nullopt}, IntegerCase{"0x", std::nullopt},
        IntegerCase{"$1G", std::nullopt}, IntegerCase{"", std::nullopt},
        IntegerCase{"+", std::nullopt}, IntegerCase{"-", std::nullopt},
        IntegerCase{"30 ", std::nullopt}, IntegerCase{"3 0", std::nullopt},
        IntegerCase{"30min", std::nullopt}, IntegerCase{"thirty", std::nullopt},
        IntegerCase{"/terminate", std::nullopt}, IntegerCase{"\t30", std::nullopt},
        IntegerCase{"-$10", std::nullopt}, IntegerCase{"1.5", std::nullopt}));

TEST(MinutesToSeconds, ChecksTheSigned32BitRange) {
  EXPECT_EQ(MinutesToSeconds(35791394), 2147483640);
  EXPECT_EQ(MinutesToSeconds(-35791394), -2147483640);
  EXPECT_THROW(MinutesToSeconds(35791395), EIntOverflow);
  EXPECT_THROW(MinutesToSeconds(-35791395), EIntOverflow);
  EXPECT_THROW(MinutesToSeconds(-2147483647 - 1), EIntOverflow);
}

// --- The switch table, through the program entry ---

const std::string kNow = "12/7/2026 11:30:00 PM";

struct SwitchCase {
  const char* name;
  const char* arguments;
  std::vector<std::string> effects;  // what reaches the system, in order
};

class Switches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(Switches, RunTheirActionAndEndWithExitCodeZero) {
  RecordingPlatform os;
  os.commandLine = std::string("Quennavar.exe ") + GetParam().arguments;
  EXPECT_EQ(Quennavar(os), 0);
  EXPECT_THAT(os.Only({"ExitWindowsEx", "LockWorkStation", "SetWaitableTimer", "SetSuspendState",
                       "ReportEventA", "MessageBoxA", "RunMessageLoop"}),
              ElementsAreArray(GetParam().effects))
      << "one action, and no stay in the tray";
}

std::string Record(int type, int id, const std::string& text = kNow) {
  return "ReportEventA(type=" + std::to_string(type) + ", id=" + std::to_string(id) + ", \"" +
         text + "\")";
}

std::string Timer(const char* due) {
  return std::string("SetWaitableTimer(timer, ") + due + ", 0, NULL, NULL, TRUE)";
}

const char* const kHibernate = "SetSuspendState(TRUE, FALSE, FALSE)";

INSTANTIATE_TEST_SUITE_P(
    Table, Switches,
    ::testing::Values(
        SwitchCase{"Shutdown", "/shutdown", {"ExitWindowsEx(1, 0x7FFFFFFF)", Record(0, 1)}},
        SwitchCase{"ShutdownForced",
                   "/shutdown /terminate",
                   {"ExitWindowsEx(5, 0x7FFFFFFF)", Record(0, 1)}},
        SwitchCase{"Logoff", "/logoff", {"ExitWindowsEx(0, 0x7FFFFFFF)", Record(0, 2)}},
        SwitchCase{
            "LogoffForced", "/logoff /terminate", {"ExitWindowsEx(4, 0x7FFFFFFF)", Record(0, 2)}},
        SwitchCase{"Poweroff", "/poweroff", {"ExitWindowsEx(8, 0x7FFFFFFF)", Record(0, 3)}},
        SwitchCase{"PoweroffForced",
                   "/poweroff /terminate",
                   {"ExitWindowsEx(12, 0x7FFFFFFF)", Record(0, 3)}},
        SwitchCase{"Reboot", "/reboot", {"ExitWindowsEx(2, 0x7FFFFFFF)", Record(0, 4)}},
        SwitchCase{
            "RebootForced", "/reboot /terminate", {"ExitWindowsEx(6, 0x7FFFFFFF)", Record(0, 4)}},
        SwitchCase{"UpperCaseSwitchAndModifier",
                   "/REBOOT /TERMINATE",
                   {"ExitWindowsEx(6, 0x7FFFFFFF)", Record(0, 4)}},
        SwitchCase{"MixedCase", "/ReBoOt", {"ExitWindowsEx(2, 0x7FFFFFFF)", Record(0, 4)}},
        SwitchCase{"ModifierWithoutSlashDoesNotForce",
                   "/reboot terminate",
                   {"ExitWindowsEx(2, 0x7FFFFFFF)", Record(0, 4)}},
        SwitchCase{"OtherSlashWordDoesNotForce",
                   "/reboot /force",
                   {"ExitWindowsEx(2, 0x7FFFFFFF)", Record(0, 4)}},
        SwitchCase{"ModifierInThirdPlaceIsIgnored",
                   "/reboot x /terminate",
                   {"ExitWindowsEx(2, 0x7FFFFFFF)", Record(0, 4)}},
        SwitchCase{"QuotedSwitch",
                   "\"/reboot\" \"/terminate\"",
                   {"ExitWindowsEx(6, 0x7FFFFFFF)", Record(0, 4)}},
        SwitchCase{"EmptyQuotesAreSkipped",
                   "\"\" /logoff",
                   {"ExitWindowsEx(0, 0x7FFFFFFF)", Record(0, 2)}},
        SwitchCase{"SuspendNotAllowedHere", "/suspend", {Record(1, 101, "!!!")}},
        SwitchCase{"Hibernate", "/hibernate", {kHibernate, Record(0, 6)}},
        SwitchCase{"HibernateInFiveMinutesThirdArgumentIgnored",
                   "/hibernate 5 /terminate",
                   {Timer("-3000000000"), Record(0, 6), kHibernate}},
        SwitchCase{"HibernateZeroMinutes", "/hibernate 0", {Timer("0"), Record(0, 6), kHibernate}},
        SwitchCase{"HibernateHexMinutes",
                   "/hibernate $1E",
                   {Timer("-18000000000"), Record(0, 6), kHibernate}},
        SwitchCase{"WordMeansTwoHours",
                   "/hibernate soon",
                   {Timer("-72000000000"), Record(0, 6), kHibernate}},
        SwitchCase{"TerminateMeansTwoHours",
                   "/hibernate /terminate",
                   {Timer("-72000000000"), Record(0, 6), kHibernate}},
        SwitchCase{"LargestMinutes",
                   "/hibernate 35791394",
                   {Timer("-21474836400000000"), Record(0, 6), kHibernate}},
        SwitchCase{"LockWritesNoRecord", "/lock", {"LockWorkStation()"}},
        SwitchCase{"LockIgnoresItsModifier", "/LOCK /terminate", {"LockWorkStation()"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Switches, SuspendWithMinutesSetsTheWakeUpTimerWhereSuspendIsAllowed) {
  RecordingPlatform os;
  os.suspendAllowed = true;
  os.commandLine = "q /suspend 30";
  EXPECT_EQ(Quennavar(os), 0);
  EXPECT_THAT(
      os.Only({"SetWaitableTimer", "SetSuspendState", "ReportEventA"}),
      ElementsAre(Timer("-18000000000"), Record(0, 5), "SetSuspendState(FALSE, FALSE, FALSE)"));
}

TEST(Switches, LockDoesNothingOnThe9xFamily) {
  RecordingPlatform os;
  os.version = {4, 10, 1998, kVerPlatformWin32Windows};
  os.commandLine = "q /lock";
  EXPECT_EQ(Quennavar(os), 0);
  EXPECT_THAT(os.Only({"LockWorkStation", "ReportEventA"}), IsEmpty());
}

TEST(Switches, ArgumentZeroIsTheSystemsPathNotTheFirstWord) {
  RecordingPlatform os;
  os.commandLine = "quennavar /shutdown";
  os.modulePath = "D:\\Tools\\Quennavar.exe";
  Quennavar(os);
  EXPECT_THAT(os.Only({"RegSetValueExA"}),
              ElementsAre("RegSetValueExA(key, \"EventMessageFile\", REG_EXPAND_SZ, "
                          "\"D:\\Tools\\Quennavar.exe\")"));
}

class NoSwitch : public ::testing::TestWithParam<const char*> {};

TEST_P(NoSwitch, LeavesTheSystemAlone) {
  RecordingPlatform os;
  os.commandLine = std::string("Quennavar.exe ") + GetParam();
  EXPECT_EQ(Quennavar(os), 0);
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

class Overflow : public ::testing::TestWithParam<const char*> {};

TEST_P(Overflow, EndsWithTheApplicationErrorBoxBeforeAnythingSleeps) {
  RecordingPlatform os;
  os.commandLine = std::string("q ") + GetParam();
  EXPECT_EQ(Quennavar(os), 1);
  ASSERT_THAT(
      os.Only({"CreateWaitableTimerA", "SetSuspendState", "ReportEventA", "MessageBoxA"}),
      ElementsAre(MatchesRegex(
          "MessageBoxA\\(NULL, \"Exception EIntOverflow in module Quennavar\\.exe at "
          "[0-9A-F]{8,16}\\.\r\nInteger overflow\\.\r\n\", \"Application Error\", 0x10\\)")));
}

INSTANTIATE_TEST_SUITE_P(Minutes, Overflow,
                         ::testing::Values("/suspend 35791395", "/hibernate -35791395",
                                           "/hibernate 2147483647", "/hibernate $80000000"));

TEST(FatalError, RegistryErrorOfTheJournalEndsTheProcessWithItsMessage) {
  RecordingPlatform os;
  os.regSetValueStatus = 5;
  os.commandLine = "q /reboot";
  EXPECT_EQ(Quennavar(os), 1);
  EXPECT_THAT(os.Only({"ReportEventA", "MessageBoxA"}),
              ElementsAre(MatchesRegex(".*ERegistryException.*\r\nFailed to set data for "
                                       "'EventMessageFile'\r\n.*")))
      << "a message ending in a quote gets no full stop";
}

TEST(FatalError, AddsAFullStopOnlyWhereTheMessageLacksOne) {
  EXPECT_EQ(FullStopFor("Integer overflow"), ".");
  EXPECT_EQ(FullStopFor("Done."), "");
  EXPECT_EQ(FullStopFor("Ends with a blank "), "");
  EXPECT_EQ(FullStopFor("Ends in a quote'"), "");
  EXPECT_EQ(FullStopFor("caf\xE9"), ".");
  EXPECT_EQ(FullStopFor(""), "");
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
