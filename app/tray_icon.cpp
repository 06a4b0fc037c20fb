#include "app/tray_icon.h"

namespace quennavar {
namespace {

constexpr std::size_t kTipLength = 63;

}  // namespace

// At the small icon's size, which grows with the screen's DPI: the shell
// would shrink a large icon, and blur it.
TTrayIcon::TTrayIcon(Platform& os, const std::string& tip, std::uint32_t callbackMessage)
    : FOs(os),
      FTip(tip.substr(0, kTipLength)),
      FCallbackMessage(callbackMessage),
      FIcon(os, os.LoadImageA("MAINICON", os.GetSystemMetrics(kSmCxSmIcon),
                              os.GetSystemMetrics(kSmCySmIcon))) {}

void TTrayIcon::UpdateNotifyData(HWnd window) {
  FNotifyData.hWnd = window;
  FNotifyData.uID = 0;
  FNotifyData.uFlags = kNifMessage | kNifIcon | kNifTip;
  FNotifyData.uCallbackMessage = FCallbackMessage;
  FNotifyData.hIcon = FIcon.get();
  FNotifyData.szTip = FTip;
}

void TTrayIcon::Add(HWnd window) {
  OsVersionInfo version;
  FOs.GetVersionExA(version);
  if (version.dwMajorVersion < 4) return;
  UpdateNotifyData(window);
  FInTray = FOs.Shell_NotifyIconA(kNimAdd, FNotifyData);
}

void TTrayIcon::AddAgain(HWnd window) {
  bool wasInTray = FInTray;
  Add(window);
  FInTray = FInTray || wasInTray;
}

void TTrayIcon::Remove() {
  if (!FInTray) return;
  FOs.Shell_NotifyIconA(kNimDelete, FNotifyData);
  FInTray = false;
}

}  // namespace quennavar
