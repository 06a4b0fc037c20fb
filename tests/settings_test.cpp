#include "app/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "system/errors.h"
#include "tests/expected_calls.h"
#include "tests/profile_file.h"
#include "tests/program_folder.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

const DayFraction kElevenEleven = EncodeTime({11, 11, 0, 0});

class SettingsTest : public ProgramFolderTest {
 protected:
  void Load(SettingsRecord& record) {
    SettingsFile(os, os.modulePath).Load(context.regional, record);
  }
  SettingsRecord Load() {
    SettingsRecord record;
    Load(record);
    return record;
  }
};

// The other keys' defaults are the table's row "NoFile" below.
TEST_F(SettingsTest, WithoutAFileEveryKeyIsAskedForWithItsDefault) {
  const SettingsRecord record = Load();
  EXPECT_DOUBLE_EQ(record.FActionTime, kElevenEleven);
  EXPECT_EQ(record.FWarnMinutes, 1);
  EXPECT_THAT(os.Only({"GetPrivateProfileStringA"}),
              ElementsAre("GetPrivateProfileStringA(\"Settings\", \"Terminate\", \"Yes\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"ShowOnClick\", \"Yes\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"TimerEnable\", \"No\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"Action\", \"Shutdown\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"Time\", \"11:11\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"WarnMinutes\", \"\", 2048)"));
}

struct ReadCase {
  const char* name;
  const char* ini;  // null: no settings file at all
  bool force, showOnClick, timer;
  const char* action;
};

const ReadCase kFiles[] = {
    {"NoFile", nullptr, true, true, false, "Shutdown"},
    {"AsWritten",
     "[Settings]\r\nAction=Reboot\r\nTimerEnable=Yes\r\nShowOnClick=No\r\n"
     "Time=11:30:00 PM\r\nTerminate=No\r\n",
     false, false, true, "Reboot"},
    {"LowerCaseYesIsNo", "[Settings]\nTerminate=yes\nShowOnClick=YES\nTimerEnable=yes\n", false,
     false, false, "Shutdown"},
    {"WrongCaseActionKeptAsRead", "[Settings]\nAction=shutdown\n", true, true, false, "shutdown"},
    {"UnknownActionKept", "[Settings]\nAction=Dance\n", true, true, false, "Dance"},
    {"KeysAndSectionInAnyCase", "[SETTINGS]\nTERMINATE=No\naction=Lock\n", false, true, false,
     "Lock"},
    {"BlanksAndQuotesAroundValues", "[Settings]\n  Action =  \"Poweroff\"  \nTerminate = 'No'\n",
     false, true, false, "Poweroff"},
    {"FirstOfDuplicatesWins",
     "[Settings]\nAction=Logoff\nAction=Reboot\n[Settings]\nTerminate=No\n", true, true, false,
     "Logoff"},
    {"OtherSectionsIgnored", "[Other]\nAction=Reboot\n[Settings]\nTimerEnable=Yes\n", true, true,
     true, "Shutdown"},
    {"BinaryGarbage", "\x01\xFF\xFE[Sett\x7Fings]\n\x80\x81=\x82\nAction\x7F=x\n", true, true,
     false, "Shutdown"},
};

class SettingsValues : public SettingsTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsValues, AreComparedExactlyButKeysAndSectionsFoundInAnyCase) {
  if (GetParam().ini) WriteIni(GetParam().ini);
  SettingsRecord record = Load();
  EXPECT_EQ(record.FForceTerminate, GetParam().force);
  EXPECT_EQ(record.FShowOnClick, GetParam().showOnClick);
  EXPECT_EQ(record.FTimerEnable, GetParam().timer);
  EXPECT_EQ(record.FAction, GetParam().action);
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsValues, ::testing::ValuesIn(kFiles), kRowName);

TEST_F(SettingsTest, LongValuesAreCutTo2047Characters) {
  WriteIni("[Settings]\nAction=" + std::string(100'000, 'x') + "\n");
  EXPECT_EQ(Load().FAction, std::string(2047, 'x'));
}

TEST_F(SettingsTest, AnUnparsableTimeStopsTheLoadAfterTheOtherKeys) {
  WriteIni("[Settings]\nTerminate=No\nAction=Reboot\nTime=25:00\n");
  SettingsRecord record;
  record.FActionTime = 0.5;
  EXPECT_THAT([&] { Load(record); }, ThrowsMessage<EConvertError>("'25:00' is not a valid time"));
  EXPECT_FALSE(record.FForceTerminate);
  EXPECT_EQ(record.FAction, "Reboot");
  EXPECT_DOUBLE_EQ(record.FActionTime, 0.5) << "the time is kept";
}

TEST_F(SettingsTest, AMissingTimeIsElevenElevenWhateverTheTimeSeparator) {
  os.locale[LocaleItem::STime] = ".";
  context.regional = ReadRegionalSettings(os);
  WriteIni("[Settings]\nAction=Reboot\n");
  EXPECT_DOUBLE_EQ(Load().FActionTime, kElevenEleven);

  WriteIni("[Settings]\nTime=11:11\n");  // stored, not missing: still an error
  EXPECT_THROW(Load(), EConvertError);
  WriteIni("[Settings]\nTime=\n");
  EXPECT_THROW(Load(), EConvertError);
}

TEST_F(SettingsTest, SaveWritesFourKeysInOrderAndNeverTerminate) {
  const std::string untouched = "[Settings]\r\nTerminate=No\r\nUseAlphaBlend=No\r\n";
  WriteIni(untouched);
  SettingsFile file(os, os.modulePath);
  file.Save(context.regional, {"Reboot", true, false, EncodeTime({23, 30, 0, 0})});
  EXPECT_EQ(
      ReadIni(),
      untouched + "Action=Reboot\r\nTimerEnable=Yes\r\nShowOnClick=No\r\nTime=11:30:00 PM\r\n");
  file.Save(context.regional, {std::nullopt, false, true, EncodeTime({7, 5, 9, 0})});
  EXPECT_EQ(
      ReadIni(),
      untouched + "Action=Reboot\r\nTimerEnable=No\r\nShowOnClick=Yes\r\nTime=7:05:09 AM\r\n");
}

TEST_F(SettingsTest, ARefusedWriteIsAnErrorAndLeavesTheFileAsItWas) {
  WriteIni("[Settings]\r\nAction=Lock\r\n");
  fs::permissions(IniPath(), fs::perms::owner_read);
  if (std::ofstream(IniPath(), std::ios::app)) GTEST_SKIP() << "running with rights to any file";
  EXPECT_THAT([&] { SettingsFile(os, os.modulePath).WriteYesNo("Terminate", false); },
              ThrowsMessage<EIniFileException>("Unable to write to " + IniPath()));
  EXPECT_EQ(ReadIni(), "[Settings]\r\nAction=Lock\r\n");
}

TEST_F(SettingsTest, AWriteToAFolderThatIsGoneIsAnError) {
  SettingsFile file(os, (folder_ / "gone" / "Quennavar.exe").string());
  EXPECT_THROW(file.Write("Action", "Reboot"), EIniFileException);
  EXPECT_FALSE(fs::exists(folder_ / "gone"));
}

TEST_F(SettingsTest, ATimeWrittenUnderALocaleReadsBackUnderIt) {
  for (auto [separator, twentyFour] : {std::pair{":", "0"}, {".", "1"}, {"h", "1"}}) {
    os.locale[LocaleItem::STime] = separator;
    os.locale[LocaleItem::ITime] = twentyFour;
    context.regional = ReadRegionalSettings(os);
    SettingsFile(os, os.modulePath)
        .Save(context.regional, {"Reboot", true, true, EncodeTime({0, 59, 30, 0})});
    TimeOfDay time = DecodeTime(Load().FActionTime);
    EXPECT_EQ(std::tuple(time.hour, time.minute, time.second), std::tuple(0, 59, 30)) << separator;
  }
}

// --- The time parser ---

class TimeParser : public ::testing::Test {
 protected:
  // Designators of the locale's own beside AM and PM, and a decimal comma.
  void UseGermanFormats() {
    os.locale[LocaleItem::S1159] = "vorm.";
    os.locale[LocaleItem::S2359] = "nachm.";
    os.locale[LocaleItem::SDecimal] = ",";
  }
  std::optional<DayFraction> Parse(std::string_view text) {
    return ParseTime(os, ReadRegionalSettings(os), text);
  }

  RecordingPlatform os;
};

struct TimeCase {
  const char* text;
  TimeOfDay time;
};

class TimeTexts : public TimeParser, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(TimeTexts, ReadInTheUsersFormats) {
  UseGermanFormats();
  std::optional<DayFraction> parsed = Parse(GetParam().text);
  ASSERT_TRUE(parsed) << '"' << GetParam().text << '"';
  EXPECT_DOUBLE_EQ(*parsed, EncodeTime(GetParam().time)) << GetParam().text;
  EXPECT_EQ(DecodeTime(*parsed).millisecond, GetParam().time.millisecond) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimeTexts,
    ::testing::Values(TimeCase{"11:11", {11, 11}}, TimeCase{"23:30:00", {23, 30}},
                      TimeCase{"0:0", {0, 0}}, TimeCase{"  7: 05", {7, 5}},
                      TimeCase{"7:05 ", {7, 5}}, TimeCase{"11:30:00 PM", {23, 30}},
                      TimeCase{"12:00 am", {0, 0}}, TimeCase{"12:00 PM", {12, 0}},
                      TimeCase{"PM 1:15", {13, 15}}, TimeCase{"1:15 nachm.", {13, 15}},
                      TimeCase{"VORM. 1:15", {1, 15}}, TimeCase{"23:59:59,999", {23, 59, 59, 999}},
                      TimeCase{"0000011:000030", {11, 30}}));

TEST_F(TimeParser, RefusesAnythingElse) {
  UseGermanFormats();
  for (const char* text :
       {"  7: 05 :09", "0:15 AM", "13:00 PM", "AM 1:15 PM", "23:59:59,1000", "23:59:59.5", "24:00",
        "23:60", "23:59:60", "1000:00", "11", "11:", "11:11:", "11.11", "", "11:11 x", "-1:11"})
    EXPECT_FALSE(Parse(text)) << '"' << text << '"';
}

// A text is read to its end and no further, whatever follows it in memory.
TEST_F(TimeParser, ReadsNoFurtherThanTheTextsEnd) {
  EXPECT_TRUE(Parse(std::string_view("7:05 x", 4)));
}

TEST_F(TimeParser, UsesTheLocalesSeparator) {
  os.locale[LocaleItem::STime] = ".";
  EXPECT_TRUE(Parse("9.05.00"));
  EXPECT_FALSE(Parse("11:11"));
}

// The capitals ΠΜ lower to the locale's πμ, and a designator whose lower
// case takes more bytes ("Ⱥ" two, "ⱥ" three) is read whole, wherever it stands.
TEST_F(TimeParser, ComparesDesignatorsInTheUsersCodePage) {
  os.locale[LocaleItem::S1159] = "πμ";
  os.locale[LocaleItem::S2359] = "μμ";
  std::optional<DayFraction> parsed = Parse("11:30:00 ΠΜ");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(DecodeTime(*parsed).hour, 11);
  EXPECT_EQ(DecodeTime(*Parse("11:30:00 ΜΜ")).hour, 23);
  os.locale[LocaleItem::S2359] = "ⱥⱥ";
  EXPECT_EQ(DecodeTime(*Parse("ȺȺ 11:30")).hour, 23);
  EXPECT_EQ(DecodeTime(*Parse("11:30 Ⱥⱥ")).hour, 23);
  EXPECT_FALSE(Parse("ȺȺȺ 11:30"));
}

// --- The host's profile functions ---

TEST_F(SettingsTest, ProfileWritesReplaceInPlaceAndAppendWhereMissing) {
  WriteIni("; comment\r\n[Other]\r\nA=1\r\n\r\n[settings]\r\nAction=Lock\r\n\r\n[Last]\r\nB=2\r\n");
  EXPECT_TRUE(host::WritePrivateProfileString("Settings", "ACTION", "Reboot", IniPath()));
  EXPECT_TRUE(host::WritePrivateProfileString("Settings", "Time", "1:00", IniPath()));
  EXPECT_TRUE(host::WritePrivateProfileString("New", "C", "3", IniPath()));
  EXPECT_EQ(ReadIni(),
            "; comment\r\n[Other]\r\nA=1\r\n\r\n[settings]\r\nACTION=Reboot\r\nTime=1:00\r\n\r\n"
            "[Last]\r\nB=2\r\n[New]\r\nC=3\r\n");
}

TEST_F(SettingsTest, ProfileReadsOfAMissingFileGiveTheDefaultWithoutItsTrailingBlanks) {
  EXPECT_EQ(host::GetPrivateProfileString("Settings", "Action", "Dance  ", 2048, IniPath()),
            "Dance");
  EXPECT_FALSE(fs::exists(IniPath()));
}

}  // namespace
}  // namespace quennavar::testing
