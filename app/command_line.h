// The command line: how it splits into arguments, how the minutes are read,
// and which switch runs which action.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/journal.h"

namespace quennavar {

// Splits a command line into its words. A control character or blank ends a
// word unless it stands between double quotes; the quotes themselves are
// dropped; a "" pair where a word would begin is skipped, so no word is empty.
// Word 0 is the first word of the command line, which names the program.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// A decimal value with optional sign, or a hexadecimal one after $, x, X, 0x
// or 0X, within 32 bits; leading blanks are allowed. Empty when the text is
// anything else.
std::optional<std::int32_t> ReadInteger(std::string_view text);

// Throws EIntOverflow when the seconds leave the signed 32-bit range.
std::int32_t MinutesToSeconds(std::int32_t minutes);

// Runs the action that argument 1 names, with argument 2 as its modifier.
// False when argument 1 is no switch.
bool RunSwitch(const ActionContext& context, const std::string& argument1,
               const std::string& argument2);

}  // namespace quennavar
