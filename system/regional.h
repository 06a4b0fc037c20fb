// The user's regional date and time formats, and the texts made with them.
#pragma once

#include <array>
#include <string>

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
  // Only filled when the short date format spells names out (MMM, dddd...).
  std::array<std::string, 12> shortMonthNames;
  std::array<std::string, 12> longMonthNames;
  std::array<std::string, 7> shortDayNames;  // Sunday first, as wDayOfWeek counts
  std::array<std::string, 7> longDayNames;
};

RegionalSettings ReadRegionalSettings(Platform& os);

// The time of day in the user's long time format, e.g. "11:30:00 PM".
std::string LongTimeText(const RegionalSettings& regional, int hour, int minute, int second);

// The date in the user's short date format.
std::string ShortDateText(const RegionalSettings& regional, const SystemTime& time);

// The date, then a blank and the long time unless it is exactly midnight.
std::string DateTimeText(const RegionalSettings& regional, const SystemTime& time);

}  // namespace quennavar
