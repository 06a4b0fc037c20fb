// The settings window on today's desktops: inside the work area whatever the
// taskbar, and laid out at the screen's DPI.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

// Every control grows with the window and keeps its place among the others;
// a DPI the system cannot tell counts as 96.
TEST(DpiScale, TheLayoutGrowsAsAWhole) {
  const TDpiScale kDesign(96);
  EXPECT_EQ(TDpiScale(0)(kClientWidth), kClientWidth);
  for (int dpi : {120, 144, 192}) {
    const TDpiScale scale(dpi);
    const double factor = dpi / 96.0;
    const Rect area = ClientArea(scale);
    EXPECT_NEAR(area.right, kClientWidth * factor, 0.5);
    EXPECT_NEAR(area.bottom, kClientHeight * factor, 0.5);
    EXPECT_EQ(scale.FontHeight(8), -static_cast<int>(8 * dpi / 72.0 + 0.5));
    for (const ControlDescription& control : kSettingsWindow) {
      const Rect design = ControlBounds(control, kDesign);
      const Rect scaled = ControlBounds(control, scale);
      EXPECT_NEAR(scaled.left, design.left * factor, 0.5) << control.id << " at " << dpi;
      EXPECT_NEAR(scaled.top, design.top * factor, 0.5) << control.id << " at " << dpi;
      EXPECT_NEAR(scaled.right - scaled.left, (design.right - design.left) * factor, 0.5);
      EXPECT_NEAR(scaled.bottom - scaled.top, (design.bottom - design.top) * factor, 0.5);
      EXPECT_TRUE(scaled.right <= area.right && scaled.bottom <= area.bottom) << control.id;
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
