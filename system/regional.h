// The user's regional date and time formats, and the texts made with them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quennavar {

// Read once at start and again when the system announces a settings change,
// so every text the program writes follows the same formats.
struct RegionalSettings {
  std::string timeSeparator = ":";
  bool hourLeadingZero = false;
  bool twentyFourHour = false;
  bool designatorFirst = false;
  std::string amDesignator = "am";
  std::string pmDesignator = "pm";
  std::string shortDateFormat = "m/d/yy";
  std::string dateSeparator = "/";
  std::string decimalSeparator = ".";
  // Hours, minutes and the designator, as a time picker shows them; empty
  // where the locale gives no time format.
  std::string shortTimeFormat;
  // Only filled when the short date format spells names out (MMM, dddd...).
  std::array<std::string, 12> shortMonthNames;
  std::array<std::string, 12> longMonthNames;
  std::array<std::string, 7> shortDayNames;  // Sunday first, as wDayOfWeek counts
  std::array<std::string, 7> longDayNames;
};

RegionalSettings ReadRegionalSettings(Platform& os);

// A time format without its seconds and what separates them from the part
// before: "h:mm:ss tt" gives "h:mm tt", "ss.HH.mm" gives "HH.mm".
std::string WithoutSeconds(const std::string& format);

// The time of day in the user's long time format, e.g. "11:30:00 PM".
std::string LongTimeText(const RegionalSettings& regional, int hour, int minute, int second);

// The date in the user's short date format.
std::string ShortDateText(const RegionalSettings& regional, const SystemTime& time);

// The date, then a blank and the long time unless it is exactly midnight.
std::string DateTimeText(const RegionalSettings& regional, const SystemTime& time);

// A time of day as a fraction of a day, as date-time values hold it.
using DayFraction = double;

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

DayFraction EncodeTime(const TimeOfDay& time);
TimeOfDay DecodeTime(DayFraction time);

// Reads a time of day written in the user's formats: an optional AM/PM
// designator (the locale's or the literal one, in any case of the user's
// code page) before or after "hour separator minute [separator second
// [decimal millisecond]]", blanks before each part and at the end. Empty
// when the text is anything else.
std::optional<DayFraction> ParseTime(Platform& os, const RegionalSettings& regional,
                                     std::string_view text);

}  // namespace quennavar
