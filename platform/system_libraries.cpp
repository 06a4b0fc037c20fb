#include "platform/system_libraries.h"

namespace quennavar {

SystemLibraries::SystemLibraries(LibraryLoader& loader)
    : FLoader(loader),
      FSystemFolderOnly(loader.SetDefaultDllDirectories(kLoadLibrarySearchSystem32)),
      FSystemFolder(loader.GetSystemDirectoryA()) {
  // Where the search cannot be narrowed so, the current folder at least
  // leaves it; the program's own folder stays, hence the full paths below.
  if (!FSystemFolderOnly) FLoader.SetDllDirectoryA("");
  if (!FSystemFolder.empty() && FSystemFolder.back() != '\\') FSystemFolder += '\\';
}

Module SystemLibraries::Load(const std::string& fileName) {
  if (FSystemFolder.empty()) return Module::Null;
  // A library loaded by its full path still finds its own imports by the
  // search: the narrowed one, or else the one that starts in its folder
  // rather than the program's.
  return FLoader.LoadLibraryExA(FSystemFolder + fileName,
                                FSystemFolderOnly ? 0 : kLoadWithAlteredSearchPath);
}

}  // namespace quennavar
