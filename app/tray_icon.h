// The program's icon in the notification area: its notify data, and the
// adding and removing of it.
#pragma once

#include <string>

#include "platform/unique_handle.h"

namespace quennavar {

class TTrayIcon {
 public:
  // The tip is cut to the 63 bytes the shell's oldest record holds.
  TTrayIcon(Platform& os, const std::string& tip, std::uint32_t callbackMessage);
  // Takes the icon out of the tray: its owner destroys the window the icon
  // belongs to only after this, as the shell finds the icon by that window.
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // Nothing on shells before Windows 95 and NT 4: they have no notification area.
  void Add(HWnd window);
  // A shell that announces a new taskbar may still show the old icon; then
  // the add fails, and the icon must still be removed at exit.
  void AddAgain(HWnd window);
  bool InTray() const { return FInTray; }

  // Tells the shell only when the text changes, so that a program whose tip
  // never changes makes the calls it made before it had one.
  void SetTip(const std::string& tip);
  // A warning balloon from the icon, while it is there: Windows 2000 and
  // later have balloons. False where none is shown.
  bool ShowBalloon(const std::string& title, const std::string& text);
  void HideBalloon();

 private:
  void UpdateNotifyData(HWnd window);
  bool Modify(std::uint32_t flags);

  Platform& FOs;
  std::string FTip;
  std::uint32_t FCallbackMessage;
  UniqueIcon FIcon;
  NotifyIconData FNotifyData;
  bool FInTray = false;
};

}  // namespace quennavar
