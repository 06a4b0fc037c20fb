#include "app/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "system/errors.h"
#include "tests/expected_calls.h"
#include "tests/profile_file.h"
#include "tests/program_folder.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using ::testing::ThrowsMessage;
namespace fs = std::filesystem;

const DayFraction kElevenEleven = EncodeTime({11, 11, 0, 0});

class SettingsTest : public ProgramFolderTest {
 protected:
  SettingsRecord Load() {
    SettingsRecord record;
    SettingsFile(os, os.modulePath).Load(context.regional, record);
    return record;
  }
};

// The four values a settings file gives besides the time, to compare in one go.
auto Switches(const SettingsRecord& record) {
  return std::tuple(record.FForceTerminate, record.FShowOnClick, record.FTimerEnable,
                    record.FAction);
}

TEST_F(SettingsTest, WithoutAFileEveryKeyIsAskedForWithItsDefault) {
  const SettingsRecord record = Load();
  EXPECT_EQ(Switches(record), std::tuple(true, true, false, "Shutdown"));
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

// A file's name and text, then Terminate, ShowOnClick, TimerEnable and Action
// as read from it.
const std::tuple<const char*, const char*, bool, bool, bool, const char*> kFiles[] = {
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

TEST_F(SettingsTest, ValuesAreComparedExactlyButKeysAndSectionsFoundInAnyCase) {
  for (const auto& [name, ini, force, showOnClick, timer, action] : kFiles) {
    WriteIni(ini);
    EXPECT_EQ(Switches(Load()), std::tuple(force, showOnClick, timer, action)) << name;
  }
}

TEST_F(SettingsTest, LongValuesAreCutTo2047Characters) {
  WriteIni("[Settings]\nAction=" + std::string(100'000, 'x') + "\n");
  EXPECT_EQ(Load().FAction, std::string(2047, 'x'));
}

TEST_F(SettingsTest, AnUnparsableTimeStopsTheLoadAfterTheOtherKeys) {
  WriteIni("[Settings]\nTerminate=No\nAction=Reboot\nTime=25:00\n");
  SettingsRecord record;
  record.FActionTime = 0.5;
  EXPECT_THAT([&] { SettingsFile(os, os.modulePath).Load(context.regional, record); },
              ThrowsMessage<EConvertError>("'25:00' is not a valid time"));
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

// Why a file that is there cannot be opened, each time it is tried.
TEST_F(SettingsTest, AFileThatIsThereButCannotBeReadIsAnErrorAndChangesNothing) {
  const std::tuple<const char*, std::deque<std::uint32_t>, bool> kOpens[] = {
      {"held by a writer for a moment", {32, 32}, false},
      {"held without sharing", {32, 32, 32}, true},
      {"access denied", {5, 5, 5}, true},
      {"a share gone away", {64, 53, 53}, true},
      {"a folder of its name", {}, true}};
  for (const auto& [what, errors, fails] : kOpens) {
    fs::remove_all(IniPath());
    if (errors.empty())
      fs::create_directory(IniPath());
    else
      WriteIni("[Settings]\nAction=Reboot\nTerminate=No\n");
    os.openFileErrors = errors;
    os.calls.clear();
    SettingsRecord record;
    record.FAction = "Hibernate";
    if (fails) {
      EXPECT_THAT([&] { SettingsFile(os, os.modulePath).Load(context.regional, record); },
                  ThrowsMessage<EIniFileException>("Unable to read " + IniPath()))
          << what;
      EXPECT_EQ(record.FAction, "Hibernate") << what;
      EXPECT_THAT(os.Only({"GetPrivateProfileStringA"}), IsEmpty()) << what;
    } else {
      SettingsFile(os, os.modulePath).Load(context.regional, record);
      EXPECT_EQ(Switches(record), std::tuple(false, true, false, "Reboot")) << what;
    }
    // A writer may be in the middle of a write: tried three times, 100 ms apart.
    EXPECT_THAT(os.Only({"Sleep"}), ElementsAre("Sleep(100)", "Sleep(100)")) << what;
    EXPECT_THAT(os.OpenHandles(), IsEmpty()) << what;
  }
}

// Opened to read alone, and shared with every other reader and writer, so
// that neither an editor that has it open is an error nor a read changes it.
TEST_F(SettingsTest, AFileOrFolderThatIsNotThereIsMissingAndItsDefaultsApply) {
  for (const fs::path& program : {folder_ / "Quennavar.exe", folder_ / "gone" / "Quennavar.exe"}) {
    os.calls.clear();
    SettingsRecord record;
    SettingsFile(os, program.string()).Load(context.regional, record);
    EXPECT_EQ(Switches(record), std::tuple(true, true, false, "Shutdown")) << program;
    const std::string ini = (program.parent_path() / "quennavar.ini").string();
    EXPECT_THAT(os.Only({"CreateFileA", "Sleep"}),
                ElementsAre("CreateFileA(\"" + ini + "\", 0x80000000, 7, 3)"))
        << "asked once: " << program;
  }
}

TEST_F(SettingsTest, SaveWritesFourKeysInOrderAndNeverTerminate) {
  const std::string kept = "[Settings]\r\nTerminate=No\r\nUseAlphaBlend=No\r\n";
  WriteIni(kept);
  SettingsFile file(os, os.modulePath);
  file.Save(context.regional, {"Reboot", true, false, EncodeTime({23, 30, 0, 0})});
  EXPECT_EQ(ReadIni(),
            kept + "Action=Reboot\r\nTimerEnable=Yes\r\nShowOnClick=No\r\nTime=11:30:00 PM\r\n");
  file.Save(context.regional, {std::nullopt, false, true, EncodeTime({7, 5, 9, 0})});
  EXPECT_EQ(ReadIni(),
            kept + "Action=Reboot\r\nTimerEnable=No\r\nShowOnClick=Yes\r\nTime=7:05:09 AM\r\n");
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

TEST_F(TimeParser, ReadsTheUsersFormats) {
  UseGermanFormats();
  const std::pair<const char*, TimeOfDay> kTexts[] = {
      {"11:11", {11, 11}},         {"23:30:00", {23, 30}},  {"0:0", {0, 0}},
      {"  7: 05", {7, 5}},         {"7:05 ", {7, 5}},       {"11:30:00 PM", {23, 30}},
      {"12:00 am", {0, 0}},        {"12:00 PM", {12, 0}},   {"PM 1:15", {13, 15}},
      {"1:15 nachm.", {13, 15}},   {"VORM. 1:15", {1, 15}}, {"23:59:59,999", {23, 59, 59, 999}},
      {"0000011:000030", {11, 30}}};
  for (const auto& [text, time] : kTexts) {
    const std::optional<DayFraction> parsed = Parse(text);
    if (!parsed) {
      ADD_FAILURE() << '"' << text << "\" is not read";
      continue;
    }
    EXPECT_DOUBLE_EQ(*parsed, EncodeTime(time)) << text;
    EXPECT_EQ(DecodeTime(*parsed).millisecond, time.millisecond) << text;
  }
}

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
  // A text that does not parse reads as midnight, an hour none of these is.
  const auto hour = [&](std::string_view text) { return DecodeTime(Parse(text).value_or(0)).hour; };
  EXPECT_EQ(hour("11:30:00 ΠΜ"), 11);
  EXPECT_EQ(hour("11:30:00 ΜΜ"), 23);
  os.locale[LocaleItem::S2359] = "ⱥⱥ";
  EXPECT_EQ(hour("ȺȺ 11:30"), 23);
  EXPECT_EQ(hour("11:30 Ⱥⱥ"), 23);
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
