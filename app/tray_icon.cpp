#include "app/tray_icon.h"

#include "system/version.h"

namespace quennavar {
namespace {

constexpr std::size_t kTipLength = 63;

// Cut to the tip's bytes without splitting a character: under the UTF-8
// code page a time designator such as "오후" takes several bytes a letter.
std::string TipText(const std::string& text) {
  if (text.size() <= kTipLength) return text;
  std::size_t end = kTipLength;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace

// At the small icon's size, which grows with the screen's DPI: the shell
// would shrink a large icon, and blur it.
TTrayIcon::TTrayIcon(Platform& os, const std::string& tip, std::uint32_t callbackMessage)
    : FOs(os),
      FTip(TipText(tip)),
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

TTrayIcon::~TTrayIcon() {
  if (FInTray) FOs.Shell_NotifyIconA(kNimDelete, FNotifyData);
}

void TTrayIcon::Add(HWnd window) {
  if (!HasNotificationArea(FOs)) return;
  UpdateNotifyData(window);
  FInTray = FOs.Shell_NotifyIconA(kNimAdd, FNotifyData);
}

void TTrayIcon::AddAgain(HWnd window) {
  bool wasInTray = FInTray;
  Add(window);
  FInTray = FInTray || wasInTray;
}

void TTrayIcon::SetTip(const std::string& tip) {
  std::string text = TipText(tip);
  if (text == FTip) return;
  FTip = FNotifyData.szTip = text;
  if (FInTray) Modify(kNifTip);
}

bool TTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!FInTray || !HasBalloons(FOs)) return false;
  FNotifyData.szInfoTitle = title;
  FNotifyData.szInfo = text;
  FNotifyData.dwInfoFlags = kNiifWarning;
  return Modify(kNifInfo);
}

// An empty text takes the balloon down.
void TTrayIcon::HideBalloon() {
  FNotifyData.szInfo.clear();
  if (FInTray) Modify(kNifInfo);
}

// The other members go unread without their flags.
bool TTrayIcon::Modify(std::uint32_t flags) {
  const std::uint32_t added = FNotifyData.uFlags;
  FNotifyData.uFlags = flags;
  bool done = FOs.Shell_NotifyIconA(kNimModify, FNotifyData);
  FNotifyData.uFlags = added;
  return done;
}

}  // namespace quennavar
