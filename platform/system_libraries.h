// Where the libraries the program loads at run time come from: the system
// folder, and nowhere else. For a library named without a path that is not
// one of its KnownDLLs, Windows looks first in the program's own folder, and
// a program kept in Downloads would run whatever file of that name a
// download left beside it, with administrator rights when it was started
// so.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace quennavar {

// The loader's calls. The two that older systems lack answer false there.
class LibraryLoader {
 public:
  // Windows 8 and later; Vista and 7 with the 2011 loader update.
  virtual bool SetDefaultDllDirectories(std::uint32_t directoryFlags) = 0;
  // XP SP1 and later.
  virtual bool SetDllDirectoryA(const std::string& pathName) = 0;
  virtual std::string GetSystemDirectoryA() = 0;
  virtual Module LoadLibraryExA(const std::string& fileName, std::uint32_t flags) = 0;

 protected:
  ~LibraryLoader() = default;
};

inline constexpr std::uint32_t kLoadLibrarySearchSystem32 = 0x800;
inline constexpr std::uint32_t kLoadWithAlteredSearchPath = 0x8;

class SystemLibraries {
 public:
  // Narrows the process's search at once, so it is made first thing at
  // entry, before anything has loaded a library.
  explicit SystemLibraries(LibraryLoader& loader);

  // "powrprof.dll" by its full path in the system folder, and what it
  // imports from there too; null where it cannot be loaded.
  Module Load(const std::string& fileName);

 private:
  LibraryLoader& FLoader;
  bool FSystemFolderOnly;     // the process searches the system folder alone
  std::string FSystemFolder;  // with its closing backslash; empty where unknown
};

}  // namespace quennavar
