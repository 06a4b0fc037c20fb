// Texts joined in one go. A chain of `+` makes and frees a temporary string
// at every step, with the code to free it should the next step throw: in the
// 32-bit program file that came to hundreds of bytes for one message.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quennavar {

std::string Concat(std::initializer_list<std::string_view> parts);

}  // namespace quennavar
