// The settings window on today's desktops: inside the work area whatever the
// taskbar, and laid out at the screen's DPI.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "app/placement.h"
#include "tests/program_folder.h"

namespace quennavar::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace control;

// The 175 x 293 window on a 1024 x 768 screen: where the menu (margin 30)
// and a double-click (31) put it.
TEST(Placement, StaysInsideTheWorkAreaWhereverTheTaskbarStands) {
  const std::tuple<const char*, Rect, Point, Point> kTaskbars[] = {
      {"XP's at the bottom", {0, 0, 1024, 738}, {844, 445}, {844, 444}},
      {"hidden", {0, 0, 1024, 768}, {844, 445}, {844, 444}},
      {"40 pixels at the bottom", {0, 0, 1024, 728}, {844, 435}, {844, 434}},
      {"48 pixels at the bottom", {0, 0, 1024, 720}, {844, 427}, {844, 426}},
      {"62 pixels on the right", {0, 0, 962, 768}, {782, 445}, {782, 444}},
      {"48 pixels on the left", {48, 0, 1024, 768}, {844, 445}, {844, 444}},
      {"48 pixels at the top", {0, 48, 1024, 768}, {844, 445}, {844, 444}},
      {"around a work area smaller than the window", {10, 20, 110, 120}, {10, 20}, {10, 20}}};
  for (const auto& [taskbar, workArea, fromMenu, fromDoubleClick] : kTaskbars)
    for (auto [margin, expected] : {std::pair{30, fromMenu}, std::pair{31, fromDoubleClick}}) {
      Point at = PositionAboveTaskbar(1024, 768, workArea, 175, 293, margin);
      EXPECT_EQ(std::pair(at.x, at.y), std::pair(expected.x, expected.y))
          << taskbar << ", margin " << margin;
    }
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// At every scale a user can set, the layout keeps what it is at 96 DPI: no
// control runs into another, out of its group or out of the window. A DPI
// the system cannot tell counts as 96, and at 192 every edge doubles.
TEST(DpiScale, EveryScaleKeepsTheLayoutOf96Dpi) {
  const TDpiScale kDesign(96);
  EXPECT_EQ(ClientArea(TDpiScale(0)).right, kClientWidth);
  for (int dpi = 96; dpi <= 480; ++dpi) {
    const TDpiScale scale(dpi);
    for (const ControlDescription& control : kSettingsWindow) {
      const Rect bounds = ControlBounds(control, scale);
      EXPECT_TRUE(Inside(bounds, ClientArea(scale))) << control.id << " at " << dpi;
      for (const ControlDescription& other : kSettingsWindow) {
        const Rect otherBounds = ControlBounds(other, scale);
        if (other.id == control.parent) {
          EXPECT_TRUE(Inside(bounds, otherBounds)) << control.id << " at " << dpi;
        }
        if (other.id != control.id) {
          EXPECT_EQ(Overlap(bounds, otherBounds),
                    Overlap(ControlBounds(control, kDesign), ControlBounds(other, kDesign)))
              << control.id << " and " << other.id << " at " << dpi;
        }
      }
      if (dpi == 192) {
        const Rect design = ControlBounds(control, kDesign);
        EXPECT_EQ(std::tuple(bounds.left, bounds.top, bounds.right, bounds.bottom),
                  std::tuple(2 * design.left, 2 * design.top, 2 * design.right, 2 * design.bottom));
      }
    }
  }
}

class DesktopTest : public ProgramFolderTest {};

// At 144 DPI, above a 48-pixel taskbar: the window, its font, its icons and
// the menu's pictures half as large again, placed by the work area.
TEST_F(DesktopTest, TheWindowIsDrawnAtTheScreensDpiAboveTheTaskbar) {
  os.dpi = 144;
  os.workArea = {0, 0, 1024, 720};
  Create();
  Choose(miShow);
  Send(kWmCommand, btnHide, static_cast<std::intptr_t>(form_->Control(btnHide)));
  TrayMouse(kWmLButtonDblClk);
  // The classic frame adds 6 x 25 to the 254 x 402 client area.
  EXPECT_THAT(os.Only({"SetWindowPos"}),
              ElementsAre("SetWindowPos(window2, 759, 293)", "SetWindowPos(window2, 759, 292)"));
  EXPECT_EQ(os.fonts[form_->Control(rbLogoff)], "font MS Sans Serif -16 400");
  EXPECT_EQ(os.icons[form_->Control(PowerLogo)], "MAINICON 48x48");
  TrayMouse(kWmRButtonDown);
  EXPECT_EQ(os.Only({"LoadBitmapA"}).front(), "LoadBitmapA(\"BMP_LOGOFF\", 24, 24)");
  os.calls.clear();
  form_.reset();
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}).front(), HasSubstr("MAINICON 24x24"));
}

}  // namespace
}  // namespace quennavar::testing
