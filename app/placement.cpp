#include "app/placement.h"

#include <algorithm>

namespace quennavar {
namespace {

constexpr int kRightMargin = 5;
constexpr int kTaskbarHeight = 30;  // XP's, which the bottom margin counts in

}  // namespace

Point PositionAboveTaskbar(int screenWidth, int screenHeight, const Rect& workArea, int windowWidth,
                           int windowHeight, int bottomMargin) {
  int left = std::min(screenWidth, workArea.right) - windowWidth - kRightMargin;
  int top =
      std::min(screenHeight - bottomMargin, workArea.bottom - (bottomMargin - kTaskbarHeight)) -
      windowHeight;
  return {std::max(left, workArea.left), std::max(top, workArea.top)};
}

void PlaceAboveTaskbar(Platform& os, HWnd window, int bottomMargin) {
  Rect outer;
  os.GetWindowRect(window, outer);
  int screenWidth = os.GetSystemMetrics(kSmCxScreen);
  int screenHeight = os.GetSystemMetrics(kSmCyScreen);
  Rect workArea;
  if (!os.SystemParametersInfoA(kSpiGetWorkArea, workArea))
    workArea = {0, 0, screenWidth, screenHeight};
  Point at = PositionAboveTaskbar(screenWidth, screenHeight, workArea, outer.right - outer.left,
                                  outer.bottom - outer.top, bottomMargin);
  os.SetWindowPos(window, HWnd::Null, at.x, at.y, 0, 0, kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
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
