// The minutes reader against a plain reference: valid exactly for a decimal
// or hexadecimal 32-bit value, and then the same value.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/command_line.h"

namespace {

bool AllOf(std::string_view text, const char* digits) {
  return !text.empty() && text.find_first_not_of(digits) == std::string_view::npos;
}

std::string_view WithoutLeadingZeros(std::string_view digits) {
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  return digits;
}

std::optional<std::int32_t> Reference(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (!text.starts_with(prefix)) continue;
    std::string_view digits = text.substr(prefix.size());
    if (!AllOf(digits, "0123456789abcdefABCDEF")) return std::nullopt;
    digits = WithoutLeadingZeros(digits);
    if (digits.size() > 8) return std::nullopt;
    return static_cast<std::int32_t>(std::stoul(std::string(digits), nullptr, 16));
  }
  bool negative = text.starts_with("-");
  if (text.starts_with("-") || text.starts_with("+")) text.remove_prefix(1);
  if (!AllOf(text, "0123456789")) return std::nullopt;
  std::string_view digits = WithoutLeadingZeros(text);
  std::string_view limit = negative ? "2147483648" : "2147483647";
  if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit))
    return std::nullopt;
  long long value = std::stoll(std::string(digits));
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (quennavar::ReadInteger(text) != Reference(text)) std::abort();
  return 0;
}
