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

using namespace quennavar;

namespace {

// Text the way locales spell separators and designators: no blanks, no digits.
std::string Word(FuzzedDataProvider& input, std::size_t longest) {
  std::string word = input.ConsumeRandomLengthString(longest);
  std::erase_if(word, [](unsigned char c) { return c == ' ' || c == '\0' || std::isdigit(c); });
  return word;
}

// What a locale can really hold: designators that tell morning from evening
// (neither a prefix of the other, as the parser folds case), and separators
// that start a new part.
bool Plausible(Platform& os, const RegionalSettings& r) {
  if (r.timeSeparator.empty() || r.decimalSeparator.empty()) return false;
  if (r.twentyFourHour) return true;
  const std::string am = os.CharLowerBuffA(r.amDesignator);
  const std::string pm = os.CharLowerBuffA(r.pmDesignator);
  if (am.empty() || pm.empty() || am.starts_with(pm) || pm.starts_with(am)) return false;
  for (const std::string& designator : {am, pm})
    for (const std::string& separator : {r.decimalSeparator, r.timeSeparator})
      if (designator.starts_with(os.CharLowerBuffA(separator))) return false;
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
  const int hour = input.ConsumeIntegralInRange(0, 23);
  const int minute = input.ConsumeIntegralInRange(0, 59);
  const int second = input.ConsumeIntegralInRange(0, 59);

  testing::RecordingPlatform os;                            // lowers as code page 1252 does
  ParseTime(os, r, input.ConsumeRemainingBytesAsString());  // any text: no crash

  if (!Plausible(os, r)) return 0;
  const auto parsed = ParseTime(os, r, LongTimeText(r, hour, minute, second));
  if (!parsed) std::abort();
  const TimeOfDay back = DecodeTime(*parsed);
  if (back.hour != hour || back.minute != minute || back.second != second) std::abort();
  return 0;
}
