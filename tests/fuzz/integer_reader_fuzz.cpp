// The minutes reader against a plain reference: valid exactly for a decimal
// or hexadecimal 32-bit value, and then the same value.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "app/command_line.h"

namespace {

// from_chars reads an unsigned value without a sign or a prefix, so what is
// left of the text must be digits alone. Hexadecimal gives a bit pattern, so
// FFFFFFFF is -1.
std::optional<std::int32_t> Read(std::string_view digits, int base, bool negative) {
  const char* end = digits.data() + digits.size();
  std::uint32_t value = 0;
  const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
  const std::uint32_t limit = base == 16 ? 0xFFFFFFFF : negative ? 0x80000000 : 0x7FFFFFFF;
  if (error != std::errc() || stop != end || value > limit) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -std::int64_t{value} : value);
}

std::optional<std::int32_t> Reference(std::string_view text) {
  while (text.starts_with(' ')) text.remove_prefix(1);
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"})
    if (text.starts_with(prefix)) return Read(text.substr(prefix.size()), 16, false);
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  return Read(text, 10, negative);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (quennavar::ReadInteger(text) != Reference(text)) std::abort();
  return 0;
}
