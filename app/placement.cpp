#include "app/placement.h"

#include <algorithm>

namespace quennavar {
namespace {

constexpr int kRightMargin = 5;
constexpr int kTaskbarHeight = 30;  // XP's, which the bottom margin counts in

}  // namespace

Point PositionAboveTaskbar(const MonitorInfo& monitor, int windowWidth, int windowHeight,
                           int bottomMargin) {
  const Rect& work = monitor.rcWork;
  int left = work.right - windowWidth - kRightMargin;
  int top = std::min(monitor.rcMonitor.bottom - bottomMargin,
                     work.bottom - (bottomMargin - kTaskbarHeight)) -
            windowHeight;
  return {std::max(left, work.left), std::max(top, work.top)};
}

void PlaceAboveTaskbar(Platform& os, HWnd window, int bottomMargin) {
  Rect outer;
  MonitorInfo monitor;
  // Without a taskbar the window is null, on no monitor: the primary one.
  HMonitor taskbarMonitor =
      os.MonitorFromWindow(os.FindWindowA("Shell_TrayWnd"), kMonitorDefaultToPrimary);
  if (!os.GetWindowRect(window, outer) || !os.GetMonitorInfoA(taskbarMonitor, monitor)) return;
  Point at = PositionAboveTaskbar(monitor, outer.right - outer.left, outer.bottom - outer.top,
                                  bottomMargin);
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
