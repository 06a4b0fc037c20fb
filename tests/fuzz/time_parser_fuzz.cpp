// The time parser under random regional settings: never a crash, and every
// time of day written in a locale's long time format reads back to the same
// hour, minute and second in that locale.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "system/regional.h"
#include "tests/recording_platform.h"

namespace {

using quennavar::RegionalSettings;

// Text the way locales spell separators and designators: no blanks, no digits.
std::string Word(FuzzedDataProvider& input, std::size_t longest) {
  std::string word = input.ConsumeRandomLengthString(longest);
  std::string kept;
  for (char c : word)
    if (c != ' ' && c != '\0' && !std::isdigit(static_cast<unsigned char>(c))) kept += c;
  return kept;
}


bool StartsWith(const std::string& text, const std::string& prefix) {
  return !prefix.empty() && text.rfind(prefix, 0) == 0;
}

// What a locale can really hold: designators that tell morning from evening
// (neither a prefix of the other, as the parser folds case), and separators
// that start a new part.
bool Plausible(quennavar::Platform& os, const RegionalSettings& r) {
  if (r.timeSeparator.empty() || r.decimalSeparator.empty()) return false;
  if (r.twentyFourHour) return true;
  std::string am = os.CharLowerBuffA(r.amDesignator);
  std::string pm = os.CharLowerBuffA(r.pmDesignator);
  if (am.empty() || pm.empty() || StartsWith(am, pm) || StartsWith(pm, am)) return false;
  for (const std::string& d : {am, pm})
    if (StartsWith(d, os.CharLowerBuffA(r.decimalSeparator)) ||
        StartsWith(d, os.CharLowerBuffA(r.timeSeparator)))
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  RegionalSettings r;
  r.timeSeparator = Word(input, 3);
  r.decimalSeparator = Word(input, 2);
  r.amDesignator = Word(input, 8);
  r.pmDesignator = Word(input, 8);
  r.twentyFourHour = input.ConsumeBool();
  r.hourLeadingZero = input.ConsumeBool();
  r.designatorFirst = input.ConsumeBool();
  int hour = input.ConsumeIntegralInRange(0, 23);
  int minute = input.ConsumeIntegralInRange(0, 59);
  int second = input.ConsumeIntegralInRange(0, 59);

  quennavar::testing::RecordingPlatform os;  // lowers as code page 1252 does
  quennavar::ParseTime(os, r, input.ConsumeRemainingBytesAsString());  // any text: no crash

  if (!Plausible(os, r)) return 0;
  std::string text = quennavar::LongTimeText(r, hour, minute, second);
  std::optional<quennavar::DayFraction> parsed = quennavar::ParseTime(os, r, text);
  if (!parsed) std::abort();
  quennavar::TimeOfDay back = quennavar::DecodeTime(*parsed);
  if (back.hour != hour || back.minute != minute || back.second != second) std::abort();
  return 0;
}
