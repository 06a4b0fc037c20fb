// A test's own folder holding the program and its settings file, with the
// settings window built as the program entry builds it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/main_unit.h"
#include "tests/recording_platform.h"

namespace quennavar::testing {

class ProgramFolderTest : public ::testing::Test {
 protected:
  ProgramFolderTest() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process too: two runs at once (a sanitizer build beside the plain
    // one, a mutation run) must not share a folder.
    std::string name = "quennavar-" + std::to_string(::getpid()) + "-" + test->test_suite_name() +
                       "-" + test->name();
    std::ranges::replace(name, '/', '-');  // parameterized names hold slashes
    folder_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    os.modulePath = (folder_ / "Quennavar.exe").string();
    context.programPath = os.modulePath;
  }
  ~ProgramFolderTest() override {
    std::error_code ignored;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string IniPath() const { return (folder_ / "quennavar.ini").string(); }
  void WriteIni(const std::string& content) const {
    std::ofstream(IniPath(), std::ios::binary) << content;
  }
  std::string ReadIni() const {
    return {std::istreambuf_iterator<char>(std::ifstream(IniPath(), std::ios::binary).rdbuf()), {}};
  }

  // The settings window as the entry creates it, from this settings file if
  // one is given: minimized, transcript cleared.
  void Create(const std::optional<std::string>& ini = std::nullopt) {
    if (ini) WriteIni(*ini);
    form_.reset();  // a form made before goes before the application it refers to
    application_ = std::make_unique<TApplication>(os, context.programPath);
    form_ = std::make_unique<TShutDownForm>(context, *application_);
    form_->FormCreate();
    application_->Minimize();
    os.calls.clear();
  }
  // What the system delivers to the settings window.
  std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
    return os.Send(form_->Handle(), message, wParam, lParam);
  }
  void Choose(TrayCommand item) { Send(kWmCommand, item); }
  void TrayMouse(std::uint32_t message) { Send(WM_TRAYNOTIFY, 0, message); }

  RecordingPlatform os;
  ActionContext context{os, ReadRegionalSettings(os), ""};
  std::filesystem::path folder_;
  std::unique_ptr<TApplication> application_;
  std::unique_ptr<TShutDownForm> form_;
};

}  // namespace quennavar::testing
