#include "system/regional.h"

#include <gtest/gtest.h>

#include "tests/expected_calls.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using Locale = std::map<LocaleItem, std::string>;
using enum LocaleItem;

// The day and month names past the first have no name of their own here: the
// raw item numbers pin where the system keeps them.
constexpr LocaleItem Item(std::uint32_t value) { return static_cast<LocaleItem>(value); }

const Locale kGerman = {
    {STime, ":"}, {ITLZero, "1"}, {ITime, "1"}, {SDate, "."}, {SShortDate, "dd.MM.yyyy"}};
const Locale kFinnish = {
    {STime, "."}, {ITLZero, "0"}, {ITime, "1"}, {SDate, "."}, {SShortDate, "d.M.yyyy"}};
// Korean's designators, in the user's code page.
const std::string kKoreanAm = "\xBF\xC0\xC0\xFC";
const std::string kKoreanPm = "\xBF\xC0\xC8\xC4";
const Locale kKorean = {
    {STime, ":"},       {ITLZero, "0"},     {ITime, "0"}, {ITimeMarkPosn, "1"},
    {S1159, kKoreanAm}, {S2359, kKoreanPm}, {SDate, "-"}, {SShortDate, "yyyy-MM-dd"}};
const Locale kBritishTwoDigitYear = {
    {STime, ":"}, {ITLZero, "1"}, {ITime, "1"}, {SDate, "/"}, {SShortDate, "dd/MM/yy"}};
const Locale kNamedMonth = {{SShortDate, "d-MMM-yy"},   {SDate, "-"},
                            {SAbbrevMonthName1, "Jan"}, {Item(0x44 + 11), "Dec"},
                            {Item(0x2A + 6), "Sunday"}, {Item(0x2A + 0), "Monday"}};
// The month's name stands right after the day names, where a miscount would
// read it, and the short month names right after the long ones.
const Locale kNamedDay = {{SShortDate, "ddd dddd d MMM"}, {SAbbrevDayName1, "Mon"},
                          {SDayName1, "Monday"},          {Item(0x31 + 6), "Sun"},
                          {Item(0x2A + 6), "Sunday"},     {SMonthName1, "January"},
                          {SAbbrevMonthName1, "Jan"},     {Item(0x44 + 11), "Dec"}};
const Locale kLongMonth = {{SShortDate, "MMMM d"}, {SMonthName1, "January"}};
const Locale kSeparatorFromSettings = {{SShortDate, "M/d/yyyy"}, {SDate, "-"}};
const Locale kQuotedText = {{SShortDate, "yyyy'年'M'月'd'日'"}};
const Locale kThreeYearLetters = {{SShortDate, "d/M/yyy"}};
const Locale kNothingSet = {};

// Year, month, day of the week, day, hour, minute, second, millisecond.
constexpr SystemTime kEvening{2026, 12, 1, 7, 23, 30, 5, 999};
constexpr SystemTime kMorning{2027, 1, 2, 5, 9, 5, 0, 0};

struct RegionalCase {
  const char* name;
  const Locale* locale;  // null for the fake's US English
  SystemTime time;
  std::string text;
};

const RegionalCase kRegionalCases[] = {
    {"UsEvening", nullptr, kEvening, "12/7/2026 11:30:05 PM"},
    {"UsMorning", nullptr, kMorning, "1/5/2027 9:05:00 AM"},
    {"UsNoonIsPm", nullptr, {2026, 6, 0, 14, 12, 0, 0, 0}, "6/14/2026 12:00:00 PM"},
    {"UsAfterMidnightIsTwelveAm", nullptr, {2026, 6, 0, 14, 0, 30, 0, 0}, "6/14/2026 12:30:00 AM"},
    {"MidnightShowsTheDateAlone", nullptr, {2026, 12, 2, 8, 0, 0, 0, 0}, "12/8/2026"},
    {"OneSecondLaterShowsTheTime", nullptr, {2026, 12, 2, 8, 0, 0, 1, 0}, "12/8/2026 12:00:01 AM"},
    {"German", &kGerman, kMorning, "05.01.2027 09:05:00"},
    {"Finnish", &kFinnish, kMorning, "5.1.2027 9.05.00"},
    {"KoreanDesignatorFirst", &kKorean, kEvening, "2026-12-07 " + kKoreanPm + " 11:30:05"},
    {"TwoDigitYear", &kBritishTwoDigitYear, kMorning, "05/01/27 09:05:00"},
    {"MonthName", &kNamedMonth, kEvening, "7-Dec-26 11:30:05 pm"},
    {"DayName", &kNamedDay, kEvening, "Mon Monday 7 Dec 11:30:05 pm"},
    {"SundaysName", &kNamedDay, {2026, 12, 0, 6, 23, 30, 5, 0}, "Sun Sunday 6 Dec 11:30:05 pm"},
    {"January", &kNamedMonth, kMorning, "5-Jan-27 9:05:00 am"},
    {"AMonthPastDecemberHasNoName",
     &kNamedDay,
     {2026, 13, 1, 7, 23, 30, 5, 0},
     "Mon Monday 7  11:30:05 pm"},
    {"LongMonthName", &kLongMonth, kMorning, "January 5 9:05:00 am"},
    {"SlashPrintsTheDateSeparator", &kSeparatorFromSettings, kMorning, "1-5-2027 9:05:00 am"},
    {"QuotedText", &kQuotedText, kMorning, "2027年1月5日 9:05:00 am"},
    {"ThreeYearLettersShowTheWholeYear", &kThreeYearLetters, kMorning, "5/1/2027 9:05:00 am"},
    {"DefaultsWhereTheLocaleSaysNothing", &kNothingSet, kEvening, "12/7/26 11:30:05 pm"},
};

class DateTimeTexts : public ::testing::TestWithParam<RegionalCase> {};

TEST_P(DateTimeTexts, FollowTheUsersRegionalFormats) {
  RecordingPlatform os;
  if (GetParam().locale) os.locale = *GetParam().locale;
  EXPECT_EQ(DateTimeText(ReadRegionalSettings(os), GetParam().time), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Locales, DateTimeTexts, ::testing::ValuesIn(kRegionalCases), kRowName);

// Whole hours too: a fraction a little short of one is rounded, not cut.
TEST(DayFractions, DecodeToTheTimeTheyWereEncodedFrom) {
  for (TimeOfDay t : {TimeOfDay{0, 0, 0, 0}, {11, 0, 0, 0}, {23, 0, 0, 0}, {23, 59, 59, 999}}) {
    TimeOfDay back = DecodeTime(EncodeTime(t));
    EXPECT_EQ(std::tuple(back.hour, back.minute, back.second, back.millisecond),
              std::tuple(t.hour, t.minute, t.second, t.millisecond))
        << t.hour << ":" << t.minute;
  }
  TimeOfDay next = DecodeTime(EncodeTime({23, 59, 59, 999}) + 0.6 / 86'400'000);
  EXPECT_EQ(std::tuple(next.hour, next.minute, next.second, next.millisecond),
            std::tuple(0, 0, 0, 0))
      << "rounded up to the start of a day";
  EXPECT_EQ(EncodeTime({}), 0) << "a time of day starts at midnight";
}

// A designator of one letter is read whole, before the time or after it.
TEST(Designators, OfOneLetterAreRead) {
  RecordingPlatform os;
  os.locale[S1159] = "a";
  os.locale[S2359] = "p";
  for (const char* text : {"11:30 p", "p 11:30"})
    EXPECT_EQ(ParseTime(os, ReadRegionalSettings(os), text), EncodeTime({23, 30})) << text;
}

// A separator before the seconds goes with them (after them, where they
// come first), and so does their label; the minutes keep theirs.
TEST(TimeFormats, LoseTheirSecondsAndWhatSeparatesOrLabelsThem) {
  const std::pair<const char*, const char*> kFormats[] = {
      {"h:mm:ss tt", "h:mm tt"},
      {"tt h:mm:ss", "tt h:mm"},
      {"H.mm.ss", "H.mm"},
      {"ss:HH:mm", "HH:mm"},
      {"HH' h 'mm' min 'ss' s'", "HH' h 'mm' min '"},
      {"H' h 'mm' m 'ss", "H' h 'mm' m '"},
      {"ss' s 'HH:mm", "HH:mm"},
      {"'ss' H':'mm':'ss", "'ss' H':'mm"},
      {"HH:mm", "HH:mm"},
      {"", ""}};
  for (const auto& [format, shorter] : kFormats)
    EXPECT_EQ(WithoutSeconds(format), shorter) << format;
}

TEST(RegionalSettings, AreReadFromTheLocaleOnlyWhenAsked) {
  RecordingPlatform os;
  RegionalSettings before = ReadRegionalSettings(os);
  os.locale = kGerman;
  EXPECT_EQ(LongTimeText(before, 23, 30, 0), "11:30:00 PM")
      << "nothing is read behind the caller's back";
  EXPECT_EQ(LongTimeText(ReadRegionalSettings(os), 23, 30, 0), "23:30:00");
}

}  // namespace
}  // namespace quennavar::testing
