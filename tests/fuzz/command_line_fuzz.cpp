// Any bytes as the command line: the program acts at most once and ends only
// in one of the two ways it knows.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/quennavar.h"
#include "tests/recording_platform.h"

using quennavar::testing::RecordingPlatform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Without a switch the tray application starts; it reads its settings from
  // a folder that holds none.
  static const std::string folder =
      (std::filesystem::temp_directory_path() / "quennavar-fuzz-command-line").string();
  std::filesystem::create_directories(folder);

  RecordingPlatform os;
  os.modulePath = folder + "/Quennavar.exe";
  os.suspendAllowed = true;
  std::string arguments(reinterpret_cast<const char*>(data), size);
  arguments = arguments.substr(0, arguments.find('\0'));  // the system's command line is a C string
  os.commandLine = "Quennavar.exe " + arguments;

  int exitCode = quennavar::Quennavar(os);

  std::size_t actions =
      os.Only({"ExitWindowsEx", "LockWorkStation", "SetSuspendState"}).size();
  std::size_t boxes = os.Only({"MessageBoxA"}).size();
  bool done = exitCode == 0 && boxes == 0 && actions <= 1;
  bool overflow = exitCode == 1 && boxes == 1 && actions == 0 &&
                  os.Only({"MessageBoxA"})[0].find("EIntOverflow") != std::string::npos;
  if (!done && !overflow) std::abort();
  return 0;
}
