// The parts of a Windows path, split where the system splits them: at either
// slash, and after a drive's colon ("C:Quennavar.exe" is a file in the drive's
// current folder).
#pragma once

#include <string>

namespace quennavar {

// "C:\Tools\Quennavar.exe" gives "Quennavar.exe"; a bare name, itself.
inline std::string FileNameOf(const std::string& path) {
  return path.substr(path.find_last_of("\\/:") + 1);
}

// "C:\Tools\Quennavar.exe" gives "C:\Tools\", with its separator; a bare name, "".
inline std::string FolderOf(const std::string& path) {
  return path.substr(0, path.find_last_of("\\/:") + 1);
}

}  // namespace quennavar
