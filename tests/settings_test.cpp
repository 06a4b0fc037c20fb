#include "app/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "system/errors.h"
#include "tests/profile_file.h"
#include "tests/program_folder.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::ElementsAre;
namespace fs = std::filesystem;

using SettingsTest = ProgramFolderTest;

TEST_F(SettingsTest, WithoutAFileEveryKeyHasItsDefault) {
  SettingsRecord record;
  SettingsFile(os, os.modulePath).Load(regional, record);
  EXPECT_TRUE(record.FForceTerminate);
  EXPECT_TRUE(record.FShowOnClick);
  EXPECT_FALSE(record.FTimerEnable);
  EXPECT_EQ(record.FAction, "Shutdown");
  EXPECT_DOUBLE_EQ(record.FActionTime, EncodeTime({11, 11, 0, 0}));
  EXPECT_THAT(os.Only({"GetPrivateProfileStringA"}),
              ElementsAre("GetPrivateProfileStringA(\"Settings\", \"Terminate\", \"Yes\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"ShowOnClick\", \"Yes\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"TimerEnable\", \"No\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"Action\", \"Shutdown\", 2048)",
                          "GetPrivateProfileStringA(\"Settings\", \"Time\", \"11:11\", 2048)"));
}

struct ReadCase {
  const char* name;
  const char* ini;
  bool force, showOnClick, timer;
  const char* action;
};

class SettingsValues : public SettingsTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsValues, AreComparedExactlyButKeysAndSectionsFoundInAnyCase) {
  WriteIni(GetParam().ini);
  SettingsRecord record;
  SettingsFile(os, os.modulePath).Load(regional, record);
  EXPECT_EQ(record.FForceTerminate, GetParam().force);
  EXPECT_EQ(record.FShowOnClick, GetParam().showOnClick);
  EXPECT_EQ(record.FTimerEnable, GetParam().timer);
  EXPECT_EQ(record.FAction, GetParam().action);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsValues,
    ::testing::Values(
        ReadCase{"AsWritten",
                 "[Settings]\r\nAction=Reboot\r\nTimerEnable=Yes\r\nShowOnClick=No\r\n"
                 "Time=11:30:00 PM\r\nTerminate=No\r\n",
                 false, false, true, "Reboot"},
        ReadCase{"LowerCaseYesIsNo",
                 "[Settings]\nTerminate=yes\nShowOnClick=YES\nTimerEnable=yes\n", false, false,
                 false, "Shutdown"},
        ReadCase{"WrongCaseActionKeptAsRead", "[Settings]\nAction=shutdown\n", true, true, false,
                 "shutdown"},
        ReadCase{"UnknownActionKept", "[Settings]\nAction=Dance\n", true, true, false, "Dance"},
        ReadCase{"KeysAndSectionInAnyCase", "[SETTINGS]\nTERMINATE=No\naction=Lock\n", false, true,
                 false, "Lock"},
        ReadCase{"BlanksAndQuotesAroundValues",
                 "[Settings]\n  Action =  \"Poweroff\"  \nTerminate = 'No'\n", false, true, false,
                 "Poweroff"},
        ReadCase{"FirstOfDuplicatesWins",
                 "[Settings]\nAction=Logoff\nAction=Reboot\n[Settings]\nTerminate=No\n", true, true,
                 false, "Logoff"},
        ReadCase{"OtherSectionsIgnored", "[Other]\nAction=Reboot\n[Settings]\nTimerEnable=Yes\n",
                 true, true, true, "Shutdown"},
        ReadCase{"BinaryGarbage", "\x01\xFF\xFE[Sett\x7Fings]\n\x80\x81=\x82\nAction\x7F=x\n", true,
                 true, false, "Shutdown"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, LongValuesAreCutTo2047Characters) {
  WriteIni("[Settings]\nAction=" + std::string(100'000, 'x') + "\n");
  SettingsRecord record;
  SettingsFile(os, os.modulePath).Load(regional, record);
  EXPECT_EQ(record.FAction, std::string(2047, 'x'));
}

TEST_F(SettingsTest, AnUnparsableTimeStopsTheLoadAfterTheOtherKeys) {
  WriteIni("[Settings]\nTerminate=No\nAction=Reboot\nTime=25:00\n");
  SettingsRecord record;
  record.FActionTime = 0.5;
  try {
    SettingsFile(os, os.modulePath).Load(regional, record);
    FAIL() << "expected a conversion error";
  } catch (const EConvertError& error) {
    EXPECT_STREQ(error.what(), "'25:00' is not a valid time");
  }
  EXPECT_FALSE(record.FForceTerminate);
  EXPECT_EQ(record.FAction, "Reboot");
  EXPECT_DOUBLE_EQ(record.FActionTime, 0.5) << "the time is kept";
}

TEST_F(SettingsTest, AMissingTimeIsElevenElevenWhateverTheTimeSeparator) {
  os.locale[LocaleItem::STime] = ".";
  regional = ReadRegionalSettings(os);
  SettingsRecord record;
  WriteIni("[Settings]\nAction=Reboot\n");
  SettingsFile(os, os.modulePath).Load(regional, record);
  EXPECT_DOUBLE_EQ(record.FActionTime, EncodeTime({11, 11, 0, 0}));

  WriteIni("[Settings]\nTime=11:11\n");  // stored, not missing: still an error
  EXPECT_THROW(SettingsFile(os, os.modulePath).Load(regional, record), EConvertError);
  WriteIni("[Settings]\nTime=\n");
  EXPECT_THROW(SettingsFile(os, os.modulePath).Load(regional, record), EConvertError);
}

TEST_F(SettingsTest, SaveWritesFourKeysInOrderAndNeverTerminate) {
  WriteIni("[Settings]\r\nTerminate=No\r\nUseAlphaBlend=No\r\n");
  SettingsFile file(os, os.modulePath);
  file.Save(regional, {"Reboot", true, false, EncodeTime({23, 30, 0, 0})});
  EXPECT_EQ(ReadIni(),
            "[Settings]\r\nTerminate=No\r\nUseAlphaBlend=No\r\nAction=Reboot\r\nTimerEnable=Yes\r\n"
            "ShowOnClick=No\r\nTime=11:30:00 PM\r\n");
  file.Save(regional, {std::nullopt, false, true, EncodeTime({7, 5, 9, 0})});
  EXPECT_EQ(ReadIni(),
            "[Settings]\r\nTerminate=No\r\nUseAlphaBlend=No\r\nAction=Reboot\r\nTimerEnable=No\r\n"
            "ShowOnClick=Yes\r\nTime=7:05:09 AM\r\n");
}

TEST_F(SettingsTest, ARefusedWriteIsAnErrorAndLeavesTheFileAsItWas) {
  WriteIni("[Settings]\r\nAction=Lock\r\n");
  fs::permissions(IniPath(), fs::perms::owner_read);
  if (std::ofstream(IniPath(), std::ios::app)) GTEST_SKIP() << "running with rights to any file";
  try {
    SettingsFile(os, os.modulePath).WriteYesNo("Terminate", false);
    FAIL() << "expected a write error";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Message(), "Unable to write to " + IniPath());
  }
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
    regional = ReadRegionalSettings(os);
    SettingsFile file(os, os.modulePath);
    file.Save(regional, {"Reboot", true, true, EncodeTime({0, 59, 30, 0})});
    SettingsRecord record;
    file.Load(regional, record);
    TimeOfDay time = DecodeTime(record.FActionTime);
    EXPECT_EQ(std::tuple(time.hour, time.minute, time.second), std::tuple(0, 59, 30)) << separator;
  }
}

// --- The time parser ---

struct TimeCase {
  const char* text;
  std::optional<TimeOfDay> time;
};

class TimeParser : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeParser, ReadsTimesInTheUsersFormats) {
  RecordingPlatform os;
  os.locale[LocaleItem::S1159] = "vorm.";
  os.locale[LocaleItem::S2359] = "nachm.";
  os.locale[LocaleItem::SDecimal] = ",";
  std::optional<DayFraction> parsed = ParseTime(os, ReadRegionalSettings(os), GetParam().text);
  ASSERT_EQ(parsed.has_value(), GetParam().time.has_value()) << '"' << GetParam().text << '"';
  if (parsed) {
    EXPECT_DOUBLE_EQ(*parsed, EncodeTime(*GetParam().time)) << GetParam().text;
    EXPECT_EQ(DecodeTime(*parsed).millisecond, GetParam().time->millisecond) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimeParser,
    ::testing::Values(
        TimeCase{"11:11", TimeOfDay{11, 11}}, TimeCase{"23:30:00", TimeOfDay{23, 30}},
        TimeCase{"0:0", TimeOfDay{0, 0}}, TimeCase{"  7: 05 :09", std::nullopt},
        TimeCase{"  7: 05", TimeOfDay{7, 5}}, TimeCase{"7:05 ", TimeOfDay{7, 5}},
        TimeCase{"11:30:00 PM", TimeOfDay{23, 30}}, TimeCase{"12:00 am", TimeOfDay{0, 0}},
        TimeCase{"12:00 PM", TimeOfDay{12, 0}}, TimeCase{"PM 1:15", TimeOfDay{13, 15}},
        TimeCase{"1:15 nachm.", TimeOfDay{13, 15}}, TimeCase{"VORM. 1:15", TimeOfDay{1, 15}},
        TimeCase{"0:15 AM", std::nullopt}, TimeCase{"13:00 PM", std::nullopt},
        TimeCase{"AM 1:15 PM", std::nullopt}, TimeCase{"23:59:59,999", TimeOfDay{23, 59, 59, 999}},
        TimeCase{"23:59:59,1000", std::nullopt}, TimeCase{"23:59:59.5", std::nullopt},
        TimeCase{"24:00", std::nullopt}, TimeCase{"23:60", std::nullopt},
        TimeCase{"23:59:60", std::nullopt}, TimeCase{"0000011:000030", TimeOfDay{11, 30}},
        TimeCase{"1000:00", std::nullopt}, TimeCase{"11", std::nullopt},
        TimeCase{"11:", std::nullopt}, TimeCase{"11:11:", std::nullopt},
        TimeCase{"11.11", std::nullopt}, TimeCase{"", std::nullopt},
        TimeCase{"11:11 x", std::nullopt}, TimeCase{"-1:11", std::nullopt}));

// A text is read to its end and no further, whatever follows it in memory.
TEST(TimeParser, ReadsNoFurtherThanTheTextsEnd) {
  RecordingPlatform os;
  EXPECT_TRUE(ParseTime(os, ReadRegionalSettings(os), std::string_view("7:05 x", 4)));
}

TEST(TimeParser, UsesTheLocalesSeparator) {
  RecordingPlatform os;
  os.locale[LocaleItem::STime] = ".";
  RegionalSettings finnish = ReadRegionalSettings(os);
  EXPECT_TRUE(ParseTime(os, finnish, "9.05.00"));
  EXPECT_FALSE(ParseTime(os, finnish, "11:11"));
}

// Code page 1253: the capitals ΠΜ lower to the locale's πμ.
TEST(TimeParser, ComparesDesignatorsInTheUsersCodePage) {
  RecordingPlatform os;
  os.locale[LocaleItem::S1159] = "\xF0\xEC";
  os.locale[LocaleItem::S2359] = "\xEC\xEC";
  RegionalSettings greek = ReadRegionalSettings(os);
  std::optional<DayFraction> parsed = ParseTime(os, greek, "11:30:00 \xD0\xCC");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(DecodeTime(*parsed).hour, 11);
  EXPECT_EQ(DecodeTime(*ParseTime(os, greek, "11:30:00 \xCC\xCC")).hour, 23);
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
