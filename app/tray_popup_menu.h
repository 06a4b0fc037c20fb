// The tray icon's pop-up menu: filled at its first use, with the pictures of
// the action items, its check marks and its greyed items.
#pragma once

#include <array>
#include <vector>

#include "app/dpi_scale.h"
#include "platform/unique_handle.h"
#include "resources/tray_menu.h"

namespace quennavar {

class TTrayPopupMenu {
 public:
  TTrayPopupMenu(Platform& os, TDpiScale scale);

  void FillOnce();
  void Enable(TrayCommand item, bool enabled);
  void Check(TrayCommand item, bool checked);
  bool Checked(TrayCommand item) const { return FChecked[item - miLogoff]; }
  // At the point given, until an item is chosen or the menu is closed; the
  // choice arrives at the owner as a command.
  void Track(Point at, HWnd owner);

 private:
  Platform& FOs;
  TDpiScale FScale;
  // The pictures outlive the menu that shows them.
  std::vector<UniqueBitmap> FBitmaps;
  UniqueMenu FMenu;
  bool FFilled = false;
  std::array<bool, std::size(kTrayMenu)> FChecked{};
};

}  // namespace quennavar
