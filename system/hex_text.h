// Upper-case hexadecimal digits, for texts the system builds from numbers (code
// addresses, version-resource language keys). Written out by hand because the C
// runtime's formatted printing would bring its whole floating-point formatter
// into the program file.
#pragma once

#include <cstdint>
#include <string>

namespace quennavar {

// `value` in exactly `width` digits: zero-filled on the left, the highest digits
// dropped when it needs more.
inline std::string HexText(std::uintmax_t value, int width) {
  std::string text(static_cast<std::size_t>(width), '0');
  for (int i = width - 1; i >= 0; --i, value >>= 4) text[i] = "0123456789ABCDEF"[value & 0xF];
  return text;
}

}  // namespace quennavar
