// The application: its hidden window owns the settings window, so that the
// program never has a taskbar button. Minimizing hides the main window and
// restoring shows it again; the hooks run after each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/base_window.h"
#include "system/errors.h"

namespace quennavar {

inline constexpr char kProgramName[] = "Quennavar";

class ApplicationHooks {
 public:
  virtual void ApplicationMinimized() = 0;
  virtual void ApplicationRestored() = 0;

 protected:
  ~ApplicationHooks() = default;
};

class TApplication final : public BaseWindow<TApplication> {
 public:
  // Throws EOSError where its window cannot be made.
  TApplication(Platform& os, const std::string& programPath);

  void SetMainWindow(HWnd window, ApplicationHooks& hooks);
  bool Minimized() const { return FMinimized; }
  void Minimize();
  void Restore();  // only a minimized application; then the restore hook runs
  void BringToFront();
  int Run();

  // The application's error box; the program runs on.
  void ShowException(const Exception& error);

 private:
  friend class BaseWindow<TApplication>;
  // The hidden window only owns; the system handles its messages.
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return DefaultProc(message, wParam, lParam);
  }
  void ShowError(const Exception& error) { ShowException(error); }

  std::string FProgramPath;
  HWnd FMainWindow = HWnd::Null;
  ApplicationHooks* FHooks = nullptr;
  bool FMinimized = false;
};

// The box of a program error: the message with its full stop, captioned with
// the program file's name, an OK button and a stop icon.
void ShowApplicationError(Platform& os, HWnd owner, const std::string& programPath,
                          const Exception& error);

// The full stop the error boxes add to a message whose last character has a
// code above that of the full stop ("…!" gets one, "…)" does not).
std::string_view FullStopFor(std::string_view message);

}  // namespace quennavar
