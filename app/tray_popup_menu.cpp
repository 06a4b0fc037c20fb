#include "app/tray_popup_menu.h"

#include "system/concat.h"

namespace quennavar {
namespace {

// The picture drawn at the size the scale asks for; at a size it is not
// drawn at, the next larger one shrunk, or the largest grown.
constexpr const char* kLargestPicture = std::end(kMenuPictureSizes)[-1].second;

std::string PictureOfSize(const char* bitmap, int size) {
  for (const auto& [drawn, suffix] : kMenuPictureSizes)
    if (drawn >= size) return Concat({bitmap, suffix});
  return Concat({bitmap, kLargestPicture});
}

}  // namespace

TTrayPopupMenu::TTrayPopupMenu(Platform& os, TDpiScale scale)
    : FOs(os), FScale(scale), FMenu(os, os.CreatePopupMenu()) {}

// Filled when first needed, like the window's controls, so that the icon
// shows sooner.
void TTrayPopupMenu::FillOnce() {
  if (FFilled) return;
  FFilled = true;
  // A checked action item shows its mark in place of its picture, and every
  // caption starts at the same place.
  FOs.SetMenuInfo(FMenu.get(), kMnsCheckOrBmp);
  for (const TrayMenuItem& item : kTrayMenu) {
    if (!item.caption) {
      FOs.AppendMenuA(FMenu.get(), kMfSeparator, 0, "");
      continue;
    }
    FOs.AppendMenuA(FMenu.get(), kMfString, item.id, item.caption);
    if (item.bitmap) {
      int size = FScale(kMenuPictureSize);
      FBitmaps.emplace_back(FOs, FOs.LoadBitmapA(PictureOfSize(item.bitmap, size), size, size));
      FOs.SetMenuItemBitmap(FMenu.get(), item.id, FBitmaps.back().get());
    }
  }
}

void TTrayPopupMenu::Enable(TrayCommand item, bool enabled) {
  FOs.EnableMenuItem(FMenu.get(), item, kMfByCommand | (enabled ? kMfEnabled : kMfGrayed));
}

void TTrayPopupMenu::Check(TrayCommand item, bool checked) {
  FChecked[item - miLogoff] = checked;
  FOs.CheckMenuItem(FMenu.get(), item, kMfByCommand | (checked ? kMfChecked : kMfUnchecked));
}

void TTrayPopupMenu::Track(Point at, HWnd owner) {
  FOs.TrackPopupMenu(FMenu.get(), kTpmLeftAlign | kTpmRightButton, at.x, at.y, owner);
  // A known quirk of tray menus: without a message to the owner after the
  // menu closes, the next right click may fail to open it.
  FOs.PostMessageA(owner, kWmNull, 0, 0);
}

}  // namespace quennavar
