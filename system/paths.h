// The parts of a Windows path, split where the system splits them: at either
// slash, and after a drive's colon ("C:Quennavar.exe" is a file in the drive's
// current folder).
#pragma once

#include <optional>
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

// The root of the drive a full path names by its letter, "C:\" of
// "C:\Tools\Quennavar.exe" and of "\\?\C:\Tools\Quennavar.exe"; none for a
// share ("\\server\share\…", "\\?\UNC\server\share\…"), a device, or a
// path that names no drive.
inline std::optional<std::string> DriveRootOf(std::string path) {
  for (const char* prefix : {"\\\\?\\", "\\\\.\\"})
    if (path.starts_with(prefix)) path.erase(0, 4);
  if (path.size() < 3 || path[1] != ':' || (path[2] != '\\' && path[2] != '/')) return std::nullopt;
  const char letter = path[0];
  if ((letter < 'A' || letter > 'Z') && (letter < 'a' || letter > 'z')) return std::nullopt;
  return std::string{letter, ':', '\\'};
}

}  // namespace quennavar
