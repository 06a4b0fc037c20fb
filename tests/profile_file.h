// A test double: the profile-string functions for the host builds, on real
// files and with the system's rules: sections and keys found without regard
// to case, the first of duplicates wins, values trimmed and unquoted, reads
// cut to the buffer, writes that change one line and leave the rest as it was.
#pragma once

#include <cstdint>
#include <string>

namespace quennavar::host {

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, std::uint32_t size,
                                    const std::string& fileName);

// False where the file cannot be written; it is then left as it was.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName);

}  // namespace quennavar::host
