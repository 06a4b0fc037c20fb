#include "app/placement.h"

namespace quennavar {
namespace {

constexpr int kRightMargin = 5;

}  // namespace

void PlaceAboveTaskbar(Platform& os, HWnd window, int bottomMargin) {
  Rect outer;
  os.GetWindowRect(window, outer);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  os.SetWindowPos(window, HWnd::Null, os.GetSystemMetrics(kSmCxScreen) - width - kRightMargin,
                  os.GetSystemMetrics(kSmCyScreen) - height - bottomMargin, 0, 0,
                  kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
}

void SetOpacity(Platform& os, HWnd window, std::uint8_t alpha) {
  os.SetLayeredWindowAttributes(window, 0, alpha, kLwaAlpha);
}

void FadeInWindow(Platform& os, HWnd window, HWnd applicationWindow) {
  SetOpacity(os, window, 0);
  for (int alpha = 0; alpha <= 255; ++alpha) {
    SetOpacity(os, window, static_cast<std::uint8_t>(alpha));
    os.ShowWindow(applicationWindow, kSwHide);
    // An opacity change alone leaves nothing to paint: every step repaints
    // the window and its controls itself.
    os.RedrawWindow(window, kRdwInvalidate | kRdwErase | kRdwAllChildren | kRdwUpdateNow);
    os.ProcessMessages();
  }
}

}  // namespace quennavar
