// Any bytes as the command line: the program acts at most once and ends only
// in one of the two ways it knows.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/quennavar.h"
#include "tests/recording_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Without a switch the tray application starts; it reads its settings from
  // a folder that holds none.
  static const auto folder = std::filesystem::temp_directory_path() / "quennavar-fuzz-command-line";
  std::filesystem::create_directories(folder);

  quennavar::testing::RecordingPlatform os;
  os.modulePath = (folder / "Quennavar.exe").string();
  os.suspendAllowed = true;
  // The system's command line is a C string: it ends at the first zero.
  const std::string arguments(reinterpret_cast<const char*>(data), size);
  os.commandLine = "Quennavar.exe " + arguments.substr(0, arguments.find('\0'));

  const int exitCode = quennavar::Quennavar(os);

  const auto actions = os.Only({"ExitWindowsEx", "LockWorkStation", "SetSuspendState"});
  const auto boxes = os.Only({"MessageBoxA"});
  const bool done = exitCode == 0 && boxes.empty() && actions.size() <= 1;
  const bool overflow = exitCode == 1 && boxes.size() == 1 && actions.empty() &&
                        boxes[0].find("EIntOverflow") != std::string::npos;
  if (!done && !overflow) std::abort();
  return 0;
}
