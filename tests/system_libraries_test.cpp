// Where the libraries loaded at run time come from, on each kind of system.
#include "platform/system_libraries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "tests/expected_calls.h"

namespace quennavar::testing {
namespace {

// A kernel32 that has the calls it is told it has, and writes down each.
struct ScriptedLoader final : LibraryLoader {
  bool defaultDirectories = false, dllDirectory = false;
  std::string systemFolder;
  std::vector<std::string> calls;

  bool SetDefaultDllDirectories(std::uint32_t flags) override {
    calls.push_back("SetDefaultDllDirectories " + std::to_string(flags));
    return defaultDirectories;
  }
  bool SetDllDirectoryA(const std::string& path) override {
    calls.push_back("SetDllDirectoryA \"" + path + "\"");
    return dllDirectory;
  }
  std::string GetSystemDirectoryA() override { return systemFolder; }
  Module LoadLibraryExA(const std::string& fileName, std::uint32_t flags) override {
    calls.push_back(fileName + " " + std::to_string(flags));
    return static_cast<Module>(0x10000000);
  }
};

// 2048 narrows the search to the system folder; 8 has a library's own
// imports looked for from its folder, never the program's.
TEST(SystemLibraries, ComeFromTheSystemFolderByTheirFullPathsOnEverySystem) {
  const std::string kNarrowed = "SetDefaultDllDirectories 2048",
                    kNoCurrent = "SetDllDirectoryA \"\"";
  // clang-format off
  const std::tuple<const char*, bool, bool, const char*, std::vector<std::string>> kSystems[] = {
      {"8 and later", true, true, "C:\\WINDOWS\\system32",
       {kNarrowed, "C:\\WINDOWS\\system32\\powrprof.dll 0"}},
      {"XP SP1 to 7 without the update", false, true, "C:\\WINDOWS\\system32",
       {kNarrowed, kNoCurrent, "C:\\WINDOWS\\system32\\powrprof.dll 8"}},
      {"2000", false, false, "C:\\WINNT\\system32",
       {kNarrowed, kNoCurrent, "C:\\WINNT\\system32\\powrprof.dll 8"}},
      {"a system folder at a drive's root", false, false, "S:\\",
       {kNarrowed, kNoCurrent, "S:\\powrprof.dll 8"}},
      {"no system folder: nothing loads", true, true, "", {kNarrowed}}};
  // clang-format on
  for (const auto& [system, defaultDirectories, dllDirectory, folder, calls] : kSystems) {
    ScriptedLoader loader;
    loader.defaultDirectories = defaultDirectories;
    loader.dllDirectory = dllDirectory;
    loader.systemFolder = folder;
    SystemLibraries libraries(loader);
    EXPECT_EQ(libraries.Load("powrprof.dll") == Module::Null, loader.systemFolder.empty())
        << system;
    EXPECT_EQ(loader.calls, calls) << system;
  }
}

}  // namespace
}  // namespace quennavar::testing
