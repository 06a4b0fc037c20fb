#include "system/regional.h"

#include <gtest/gtest.h>

#include "tests/recording_platform.h"

namespace quennavar::testing {
namespace {

using Locale = std::map<LocaleItem, std::string>;

const Locale kGerman = {{LocaleItem::STime, ":"},
                        {LocaleItem::ITLZero, "1"},
                        {LocaleItem::ITime, "1"},
                        {LocaleItem::SDate, "."},
                        {LocaleItem::SShortDate, "dd.MM.yyyy"}};
const Locale kFinnish = {{LocaleItem::STime, "."},
                         {LocaleItem::ITLZero, "0"},
                         {LocaleItem::ITime, "1"},
                         {LocaleItem::SDate, "."},
                         {LocaleItem::SShortDate, "d.M.yyyy"}};
const Locale kKorean = {{LocaleItem::STime, ":"},
                        {LocaleItem::ITLZero, "0"},
                        {LocaleItem::ITime, "0"},
                        {LocaleItem::ITimeMarkPosn, "1"},
                        {LocaleItem::S1159, "\xBF\xC0\xC0\xFC"},  // in the user's code page
                        {LocaleItem::S2359, "\xBF\xC0\xC8\xC4"},
                        {LocaleItem::SDate, "-"},
                        {LocaleItem::SShortDate, "yyyy-MM-dd"}};
const Locale kBritishTwoDigitYear = {{LocaleItem::STime, ":"},
                                     {LocaleItem::ITLZero, "1"},
                                     {LocaleItem::ITime, "1"},
                                     {LocaleItem::SDate, "/"},
                                     {LocaleItem::SShortDate, "dd/MM/yy"}};
const Locale kNamedMonth = {
    {LocaleItem::SShortDate, "d-MMM-yy"},          {LocaleItem::SDate, "-"},
    {LocaleItem::SAbbrevMonthName1, "Jan"},        {static_cast<LocaleItem>(0x44 + 11), "Dec"},
    {static_cast<LocaleItem>(0x2A + 6), "Sunday"}, {static_cast<LocaleItem>(0x2A + 0), "Monday"}};
// The month's name stands right after the day names, where a miscount would
// read it, and the short month names right after the long ones.
const Locale kNamedDay = {{LocaleItem::SShortDate, "ddd dddd d MMM"},
                          {LocaleItem::SAbbrevDayName1, "Mon"},
                          {LocaleItem::SDayName1, "Monday"},
                          {static_cast<LocaleItem>(0x31 + 6), "Sun"},
                          {static_cast<LocaleItem>(0x2A + 6), "Sunday"},
                          {LocaleItem::SMonthName1, "January"},
                          {LocaleItem::SAbbrevMonthName1, "Jan"},
                          {static_cast<LocaleItem>(0x44 + 11), "Dec"}};
const Locale kLongMonth = {{LocaleItem::SShortDate, "MMMM d"},
                           {LocaleItem::SMonthName1, "January"}};
const Locale kSeparatorFromSettings = {{LocaleItem::SShortDate, "M/d/yyyy"},
                                       {LocaleItem::SDate, "-"}};
const Locale kQuotedText = {{LocaleItem::SShortDate, "yyyy'年'M'月'd'日'"}};
const Locale kNothingSet = {};

struct RegionalCase {
  const char* name;
  const Locale* locale;
  SystemTime time;
  const char* text;
};

class DateTimeTexts : public ::testing::TestWithParam<RegionalCase> {};

TEST_P(DateTimeTexts, FollowTheUsersRegionalFormats) {
  RecordingPlatform os;
  if (GetParam().locale) os.locale = *GetParam().locale;  // else the fake's US English
  EXPECT_EQ(DateTimeText(ReadRegionalSettings(os), GetParam().time), GetParam().text);
}

constexpr SystemTime kEvening{2026, 12, 1, 7, 23, 30, 5, 999};
constexpr SystemTime kMorning{2027, 1, 2, 5, 9, 5, 0, 0};
constexpr SystemTime kSunday{2026, 12, 0, 6, 23, 30, 5, 0};
constexpr SystemTime kNoon{2026, 6, 0, 14, 12, 0, 0, 0};
constexpr SystemTime kHalfPastMidnight{2026, 6, 0, 14, 0, 30, 0, 0};
constexpr SystemTime kMidnight{2026, 12, 2, 8, 0, 0, 0, 0};
constexpr SystemTime kOneSecondPastMidnight{2026, 12, 2, 8, 0, 0, 1, 0};

INSTANTIATE_TEST_SUITE_P(
    Locales, DateTimeTexts,
    ::testing::Values(
        RegionalCase{"UsEvening", nullptr, kEvening, "12/7/2026 11:30:05 PM"},
        RegionalCase{"UsMorning", nullptr, kMorning, "1/5/2027 9:05:00 AM"},
        RegionalCase{"UsNoonIsPm", nullptr, kNoon, "6/14/2026 12:00:00 PM"},
        RegionalCase{"UsAfterMidnightIsTwelveAm", nullptr, kHalfPastMidnight,
                     "6/14/2026 12:30:00 AM"},
        RegionalCase{"MidnightShowsTheDateAlone", nullptr, kMidnight, "12/8/2026"},
        RegionalCase{"OneSecondLaterShowsTheTime", nullptr, kOneSecondPastMidnight,
                     "12/8/2026 12:00:01 AM"},
        RegionalCase{"German", &kGerman, kMorning, "05.01.2027 09:05:00"},
        RegionalCase{"Finnish", &kFinnish, kMorning, "5.1.2027 9.05.00"},
        RegionalCase{"KoreanDesignatorFirst", &kKorean, kEvening,
                     "2026-12-07 \xBF\xC0\xC8\xC4 11:30:05"},
        RegionalCase{"TwoDigitYear", &kBritishTwoDigitYear, kMorning, "05/01/27 09:05:00"},
        RegionalCase{"MonthName", &kNamedMonth, kEvening, "7-Dec-26 11:30:05 pm"},
        RegionalCase{"DayName", &kNamedDay, kEvening, "Mon Monday 7 Dec 11:30:05 pm"},
        RegionalCase{"SundaysName", &kNamedDay, kSunday, "Sun Sunday 6 Dec 11:30:05 pm"},
        RegionalCase{"January", &kNamedMonth, kMorning, "5-Jan-27 9:05:00 am"},
        RegionalCase{"LongMonthName", &kLongMonth, kMorning, "January 5 9:05:00 am"},
        RegionalCase{"SlashPrintsTheDateSeparator", &kSeparatorFromSettings, kMorning,
                     "1-5-2027 9:05:00 am"},
        RegionalCase{"QuotedText", &kQuotedText, kMorning, "2027年1月5日 9:05:00 am"},
        RegionalCase{"DefaultsWhereTheLocaleSaysNothing", &kNothingSet, kEvening,
                     "12/7/26 11:30:05 pm"}),
    [](const auto& info) { return std::string(info.param.name); });

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
