// Where the libraries loaded at run time come from, on each kind of system.
#include "platform/system_libraries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "tests/expected_calls.h"

namespace quennavar::testing {
namespace {

// A kernel32 that has the calls it is given, and writes down each call.
class ScriptedLoader final : public LibraryLoader {
 public:
  ScriptedLoader(bool defaultDirectories, bool dllDirectory, std::string systemFolder)
      : FDefaultDirectories(defaultDirectories),
        FDllDirectory(dllDirectory),
        FSystemFolder(std::move(systemFolder)) {}

  bool SetDefaultDllDirectories(std::uint32_t flags) override {
    calls.push_back("SetDefaultDllDirectories(" + std::to_string(flags) + ")");
    return FDefaultDirectories;
  }
  bool SetDllDirectoryA(const std::string& path) override {
    calls.push_back("SetDllDirectoryA(\"" + path + "\")");
    return FDllDirectory;
  }
  std::string GetSystemDirectoryA() override { return FSystemFolder; }
  Module LoadLibraryExA(const std::string& fileName, std::uint32_t flags) override {
    calls.push_back(fileName + " " + std::to_string(flags));
    return static_cast<Module>(0x10000000);
  }

  std::vector<std::string> calls;

 private:
  bool FDefaultDirectories, FDllDirectory;
  std::string FSystemFolder;
};

TEST(SystemLibraries, ComeFromTheSystemFolderByTheirFullPathsOnEverySystem) {
  // 2048 narrows the search to the system folder; 8 has a library's own
  // imports looked for from its folder, never the program's.
  const std::tuple<const char*, bool, bool, const char*, std::vector<std::string>> kSystems[] = {
      {"8 and later", true, true, "C:\\WINDOWS\\system32",
       {"SetDefaultDllDirectories(2048)", "C:\\WINDOWS\\system32\\powrprof.dll 0",
        "C:\\WINDOWS\\system32\\comctl32.dll 0"}},
      {"XP SP1 to 7 without the update", false, true, "C:\\WINDOWS\\system32",
       {"SetDefaultDllDirectories(2048)", "SetDllDirectoryA(\"\")",
        "C:\\WINDOWS\\system32\\powrprof.dll 8", "C:\\WINDOWS\\system32\\comctl32.dll 8"}},
      {"2000", false, false, "C:\\WINNT\\system32",
       {"SetDefaultDllDirectories(2048)", "SetDllDirectoryA(\"\")",
        "C:\\WINNT\\system32\\powrprof.dll 8", "C:\\WINNT\\system32\\comctl32.dll 8"}},
      {"a system folder at a drive's root", false, false, "S:\\",
       {"SetDefaultDllDirectories(2048)", "SetDllDirectoryA(\"\")", "S:\\powrprof.dll 8",
        "S:\\comctl32.dll 8"}},
      {"no system folder: nothing loads", true, true, "", {"SetDefaultDllDirectories(2048)"}}};
  for (const auto& [system, defaultDirectories, dllDirectory, folder, calls] : kSystems) {
    ScriptedLoader loader(defaultDirectories, dllDirectory, folder);
    SystemLibraries libraries(loader);
    EXPECT_EQ(libraries.Load("powrprof.dll") == Module::Null, std::string(folder).empty())
        << system;
    libraries.Load("comctl32.dll");
    EXPECT_EQ(loader.calls, calls) << system;
  }
}

}  // namespace
}  // namespace quennavar::testing
