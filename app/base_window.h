// A window whose messages reach its object only while both are whole.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "system/errors.h"

namespace quennavar {

// T handles messages in HandleMessage(message, wParam, lParam) and shows a
// program error in ShowError(error). Once T starts to go, no message reaches
// it: T's destructor calls Detach(), as its members then go one by one and
// removing a tray icon, say, lets other programs' messages in. A
// WindowCloser among T's members destroys the window while the members
// declared before the closer are still whole; without one, the window goes
// after all of them.
template <typename T>
class BaseWindow : public WindowHandler {
 public:
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWnd Handle() const { return FHandle; }

 protected:
  explicit BaseWindow(Platform& os) : FOs(os) {}

  ~BaseWindow() { Close(); }

  // Destroys the window when it goes. Declared among T's members, it sets
  // which of them outlive the window (those declared before it) and which
  // go while it still stands (those after it).
  class WindowCloser {
   public:
    explicit WindowCloser(BaseWindow& window) : FWindow(window) {}
    WindowCloser(const WindowCloser&) = delete;
    WindowCloser& operator=(const WindowCloser&) = delete;
    ~WindowCloser() { FWindow.Close(); }

   private:
    BaseWindow& FWindow;
  };

  // Throws EOSError with the system's reason where no window is made: a
  // program without its window would wait for ever, unseen.
  void Create(std::uint32_t exStyle, const char* name, std::uint32_t style, int width, int height,
              HWnd owner) {
    if (FOs.CreateWindowExA(exStyle, name, style, 0, 0, width, height, owner, *this) == HWnd::Null)
      throw EOSError(FOs.FormatMessageA(FOs.GetLastError()));
  }

  // From here on the window's messages go to the system alone.
  void Detach() { FDetached = true; }

  void Close() {
    Detach();
    if (FHandle != HWnd::Null) FOs.DestroyWindow(FHandle);
  }

  std::intptr_t DefaultProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return FOs.DefWindowProcA(FHandle, message, wParam, lParam);
  }

  Platform& FOs;

 private:
  // The one way in from the system. A program error is shown and the
  // program runs on; anything else ends it here rather than unwinding
  // through the system's code.
  std::intptr_t WindowProc(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) noexcept final {
    if (message == kWmNcCreate) FHandle = window;
    std::intptr_t result = 0;
    if (FDetached) {
      result = FOs.DefWindowProcA(window, message, wParam, lParam);
    } else {
      try {
        result = static_cast<T*>(this)->HandleMessage(message, wParam, lParam);
      } catch (const Exception& error) {
        static_cast<T*>(this)->ShowError(error);
        result = FOs.DefWindowProcA(window, message, wParam, lParam);
      }
    }
    if (message == kWmNcDestroy) FHandle = HWnd::Null;
    return result;
  }

  HWnd FHandle = HWnd::Null;
  bool FDetached = false;
};

}  // namespace quennavar
