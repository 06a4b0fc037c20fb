#include "system/regional.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "system/concat.h"

namespace quennavar {
namespace {

// What the locale leaves unset keeps its default.
constexpr std::pair<LocaleItem, std::string RegionalSettings::*> kLocaleTexts[] = {
    {LocaleItem::STime, &RegionalSettings::timeSeparator},
    {LocaleItem::S1159, &RegionalSettings::amDesignator},
    {LocaleItem::S2359, &RegionalSettings::pmDesignator},
    {LocaleItem::SShortDate, &RegionalSettings::shortDateFormat},
    {LocaleItem::SDate, &RegionalSettings::dateSeparator},
    {LocaleItem::SDecimal, &RegionalSettings::decimalSeparator}};
constexpr std::pair<LocaleItem, bool RegionalSettings::*> kLocaleFlags[] = {
    {LocaleItem::ITLZero, &RegionalSettings::hourLeadingZero},
    {LocaleItem::ITime, &RegionalSettings::twentyFourHour},
    {LocaleItem::ITimeMarkPosn, &RegionalSettings::designatorFirst}};

LocaleItem Nth(LocaleItem first, int n) {
  return static_cast<LocaleItem>(static_cast<std::uint32_t>(first) + n);
}

bool Needs(const std::string& format, char letter) {
  std::string run(3, letter);
  return format.find(run) != std::string::npos;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string TwoDigits(int value) {
  return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

std::string Number(int value, int minimumDigits) {
  std::string digits = std::to_string(value);
  if (digits.size() < static_cast<std::size_t>(minimumDigits))
    digits.insert(0, minimumDigits - digits.size(), '0');
  return digits;
}

}  // namespace

RegionalSettings ReadRegionalSettings(Platform& os) {
  RegionalSettings r;
  for (const auto& [item, field] : kLocaleTexts) {
    std::string value = os.GetLocaleInfoA(item);
    if (!value.empty()) r.*field = std::move(value);
  }
  for (const auto& [item, field] : kLocaleFlags)
    r.*field = std::strtol(os.GetLocaleInfoA(item).c_str(), nullptr, 10) != 0;
  // Windows 7 brought the short time format; before it, the long one has
  // the seconds, which no daily time needs.
  r.shortTimeFormat = os.GetLocaleInfoA(LocaleItem::SShortTime);
  if (r.shortTimeFormat.empty())
    r.shortTimeFormat = WithoutSeconds(os.GetLocaleInfoA(LocaleItem::STimeFormat));

  std::string lowered;
  for (char c : r.shortDateFormat) lowered += Lower(c);
  if (Needs(lowered, 'm')) {
    for (int i = 0; i < 12; ++i) {
      r.shortMonthNames[i] = os.GetLocaleInfoA(Nth(LocaleItem::SAbbrevMonthName1, i));
      r.longMonthNames[i] = os.GetLocaleInfoA(Nth(LocaleItem::SMonthName1, i));
    }
  }
  if (Needs(lowered, 'd')) {
    // The locale counts from Monday, the clock's day of the week from Sunday.
    for (int i = 0; i < 7; ++i) {
      r.shortDayNames[(i + 1) % 7] = os.GetLocaleInfoA(Nth(LocaleItem::SAbbrevDayName1, i));
      r.longDayNames[(i + 1) % 7] = os.GetLocaleInfoA(Nth(LocaleItem::SDayName1, i));
    }
  }
  return r;
}

namespace {

// A time format's parts: runs of one pattern letter (h, H, m, s, t), and
// the text between them, quoted or not, which stands for itself.
struct FormatPart {
  std::string text;
  bool pattern;
};

std::vector<FormatPart> FormatParts(const std::string& format) {
  constexpr std::string_view kPatternLetters = "hHmst";
  std::vector<FormatPart> parts;
  for (std::size_t i = 0; i < format.size();) {
    std::size_t end = i + 1;
    const bool pattern = kPatternLetters.find(format[i]) != kPatternLetters.npos;
    if (pattern) {
      while (end < format.size() && format[end] == format[i]) ++end;
    } else if (format[i] == '\'') {
      end = std::min(format.find('\'', i + 1), format.size() - 1) + 1;
    }
    if (pattern || parts.empty() || parts.back().pattern)
      parts.push_back({format.substr(i, end - i), pattern});
    else
      parts.back().text += format.substr(i, end - i);
    i = end;
  }
  return parts;
}

// Text with a letter in it labels a number ("' min '"); without one it
// separates two (":").
bool Labels(const FormatPart& part) {
  return std::ranges::any_of(part.text, [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           static_cast<unsigned char>(c) >= 0x80;
  });
}

}  // namespace

std::string WithoutSeconds(const std::string& format) {
  std::vector<FormatPart> parts = FormatParts(format);
  auto seconds = std::ranges::find_if(
      parts, [](const FormatPart& part) { return part.pattern && part.text[0] == 's'; });
  if (seconds == parts.end()) return format;
  // What follows the seconds goes with them where it labels them or they
  // come first; what comes before them, where it only separates them.
  const bool first = seconds == parts.begin();
  auto after = seconds + 1;
  if (after != parts.end() && !after->pattern && (first || Labels(*after)))
    after = parts.erase(after);
  after = parts.erase(seconds);
  if (!first && !(after - 1)->pattern && !Labels(*(after - 1))) parts.erase(after - 1);
  std::string shorter;
  for (const FormatPart& part : parts) shorter += part.text;
  return shorter;
}

std::string LongTimeText(const RegionalSettings& regional, int hour, int minute, int second) {
  int shownHour = regional.twentyFourHour ? hour : (hour % 12 == 0 ? 12 : hour % 12);
  std::string text = Concat(
      {regional.hourLeadingZero ? TwoDigits(shownHour) : std::to_string(shownHour),
       regional.timeSeparator, TwoDigits(minute), regional.timeSeparator, TwoDigits(second)});
  if (regional.twentyFourHour) return text;
  const std::string& designator = hour < 12 ? regional.amDesignator : regional.pmDesignator;
  return regional.designatorFirst ? Concat({designator, " ", text})
                                  : Concat({text, " ", designator});
}

// The locale's pattern letters, counted in runs: d, dd, ddd, dddd; M to MMMM;
// y (no leading zero), yy, yyyy. Era letters print nothing; text in single
// quotes prints as it stands; a slash prints as the date separator.
std::string ShortDateText(const RegionalSettings& regional, const SystemTime& time) {
  const std::string& format = regional.shortDateFormat;
  std::string text;
  for (std::size_t i = 0; i < format.size();) {
    char letter = Lower(format[i]);
    if (format[i] == '\'') {
      std::size_t close = format.find('\'', i + 1);
      if (close == std::string::npos) close = format.size();
      text += format.substr(i + 1, close - i - 1);
      i = close + 1;
      continue;
    }
    if (letter != 'd' && letter != 'm' && letter != 'y' && letter != 'g') {
      if (format[i] == '/')
        text += regional.dateSeparator;
      else
        text += format[i];
      ++i;
      continue;
    }
    std::size_t run = 1;
    while (i + run < format.size() && Lower(format[i + run]) == letter) ++run;
    i += run;
    switch (letter) {
      case 'd':
        if (run <= 2)
          text += Number(time.wDay, static_cast<int>(run));
        else
          text += (run == 3 ? regional.shortDayNames : regional.longDayNames)[time.wDayOfWeek % 7];
        break;
      case 'm':
        if (run <= 2)
          text += Number(time.wMonth, static_cast<int>(run));
        else if (time.wMonth >= 1 && time.wMonth <= 12)
          text += (run == 3 ? regional.shortMonthNames : regional.longMonthNames)[time.wMonth - 1];
        break;
      case 'y':
        text += run <= 2 ? Number(time.wYear % 100, static_cast<int>(run)) : Number(time.wYear, 4);
        break;
      default:
        break;
    }
  }
  return text;
}

std::string DateTimeText(const RegionalSettings& regional, const SystemTime& time) {
  std::string text = ShortDateText(regional, time);
  if (time.wHour != 0 || time.wMinute != 0 || time.wSecond != 0)
    text += " " + LongTimeText(regional, time.wHour, time.wMinute, time.wSecond);
  return text;
}

constexpr double kMillisecondsPerDay = 86'400'000.0;

DayFraction EncodeTime(const TimeOfDay& time) {
  return (time.hour * 3'600'000.0 + time.minute * 60'000.0 + time.second * 1'000.0 +
          time.millisecond) /
         kMillisecondsPerDay;
}

TimeOfDay DecodeTime(DayFraction time) {
  double fraction = time - static_cast<long long>(time);
  if (fraction < 0) fraction += 1;
  auto ms = static_cast<long long>(fraction * kMillisecondsPerDay + 0.5) % 86'400'000;
  return {static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
          static_cast<int>(ms / 1'000 % 60), static_cast<int>(ms % 1'000)};
}

namespace {

class TimeScanner {
 public:
  // Designators are compared in lower case as the system lowers the user's
  // code page, so a Greek "ΠΜ" reads as the locale's "πμ".
  TimeScanner(Platform& os, const RegionalSettings& regional, std::string_view text)
      : FOs(os),
        FRegional(regional),
        FText(text),
        FLoweredDesignators{os.CharLowerBuffA(regional.amDesignator),
                            os.CharLowerBuffA(regional.pmDesignator)} {}

  std::optional<DayFraction> Scan() {
    int designator = Designator();  // 0 none, 1 AM, 2 PM
    std::optional<int> hour = Number();
    if (!hour || !Literal(FRegional.timeSeparator)) return std::nullopt;
    std::optional<int> minute = Number();
    if (!minute) return std::nullopt;
    int second = 0;
    int millisecond = 0;
    if (Literal(FRegional.timeSeparator)) {
      std::optional<int> seconds = Number();
      if (!seconds) return std::nullopt;
      second = *seconds;
      if (Literal(FRegional.decimalSeparator)) {
        std::optional<int> milliseconds = Number();
        if (!milliseconds) return std::nullopt;
        millisecond = *milliseconds;
      }
    }
    if (designator == 0) designator = Designator();
    SkipBlanks();
    if (FAt != FText.size()) return std::nullopt;

    if (designator != 0) {
      if (*hour < 1 || *hour > 12) return std::nullopt;
      *hour = *hour % 12 + (designator == 2 ? 12 : 0);
    }
    if (*hour > 23 || *minute > 59 || second > 59 || millisecond > 999) return std::nullopt;
    return EncodeTime({*hour, *minute, second, millisecond});
  }

 private:
  void SkipBlanks() {
    while (FAt < FText.size() && FText[FAt] == ' ') ++FAt;
  }

  bool Literal(std::string_view literal) {
    if (literal.empty() || !FText.substr(FAt).starts_with(literal)) return false;
    FAt += literal.size();
    return true;
  }

  // Digits are taken only while the value is below 1000, so a number of four
  // or more significant digits leaves a digit behind and fails the match.
  std::optional<int> Number() {
    SkipBlanks();
    std::size_t start = FAt;
    int value = 0;
    while (FAt < FText.size() && FText[FAt] >= '0' && FText[FAt] <= '9' && value < 1000)
      value = value * 10 + (FText[FAt++] - '0');
    if (FAt == start) return std::nullopt;
    return value;
  }

  // A character's lower case may take another number of bytes than the
  // character ("Ⱥ" two in UTF-8, "ⱥ" three), so a designator found in the
  // lowered text takes as many of the text's characters as lower to it.
  int Designator() {
    std::size_t before = FAt;
    SkipBlanks();
    const std::string_view candidates[][2] = {{FLoweredDesignators[0], FLoweredDesignators[1]},
                                              {"am", "pm"}};
    std::string rest(FText.substr(FAt));
    std::string lowered = FOs.CharLowerBuffA(rest);
    for (const auto& pair : candidates) {
      for (int i = 0; i < 2; ++i) {
        std::string_view d = pair[i];
        if (d.empty() || !lowered.starts_with(d)) continue;
        for (std::size_t size = 0; size < rest.size();) {
          size += FOs.FirstCharacterSize(rest.substr(size));
          if (FOs.CharLowerBuffA(rest.substr(0, size)) == d) {
            FAt += size;
            return i + 1;
          }
        }
      }
    }
    FAt = before;
    return 0;
  }

  Platform& FOs;
  const RegionalSettings& FRegional;
  std::string_view FText;
  std::string FLoweredDesignators[2];  // AM, PM
  std::size_t FAt = 0;
};

}  // namespace

std::optional<DayFraction> ParseTime(Platform& os, const RegionalSettings& regional,
                                     std::string_view text) {
  return TimeScanner(os, regional, text).Scan();
}

}  // namespace quennavar
