// The settings file reader of the host build on any file contents: no crash,
// and a value it has just written reads back.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings.h"
#include "system/errors.h"
#include "tests/recording_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto folder = std::filesystem::temp_directory_path() / "quennavar-fuzz-settings";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "quennavar.ini", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  quennavar::testing::RecordingPlatform os;
  os.modulePath = (folder / "Quennavar.exe").string();
  quennavar::SettingsFile settings(os, os.modulePath);
  quennavar::SettingsRecord record;
  try {
    settings.Load(quennavar::ReadRegionalSettings(os), record);
  } catch (const quennavar::EConvertError&) {
    // an unreadable "Time": reported to the user, not a fault
  }
  if (record.FAction.size() > 2047) std::abort();

  settings.Write("Action", "Hibernate");
  if (settings.Read("Action", "") != "Hibernate") std::abort();
  return 0;
}
