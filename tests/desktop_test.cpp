// The settings window on today's desktops: inside the work area whatever the
// taskbar, and laid out at the screen's DPI.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "app/placement.h"
#include "tests/expected_calls.h"
#include "tests/program_folder.h"

namespace quennavar::testing {
namespace {

using namespace control;

// The 175 x 293 window: its left edge, and its top where the menu (margin 30)
// and a double-click (31) put it on the taskbar's monitor, the primary
// 1024 x 768 one unless named.
TEST(Placement, StaysInsideTheWorkAreaWhereverTheTaskbarStands) {
  const Rect kPrimary{0, 0, 1024, 768}, kLeft{-1280, 0, 0, 1024}, kAbove{0, -768, 1024, 0};
  // clang-format off
  const std::tuple<const char*, MonitorInfo, int, int, int> kTaskbars[] = {
      {"XP's at the bottom",                     {kPrimary, {0, 0, 1024, 738}},  844, 445, 444},
      {"hidden",                                 {kPrimary, kPrimary},           844, 445, 444},
      {"40 pixels at the bottom",                {kPrimary, {0, 0, 1024, 728}},  844, 435, 434},
      {"48 pixels at the bottom",                {kPrimary, {0, 0, 1024, 720}},  844, 427, 426},
      {"62 pixels on the right",                 {kPrimary, {0, 0, 962, 768}},   782, 445, 444},
      {"48 pixels on the left",                  {kPrimary, {48, 0, 1024, 768}}, 844, 445, 444},
      {"48 pixels at the top",                   {kPrimary, {0, 48, 1024, 768}}, 844, 445, 444},
      {"around a work area too small for it",    {kPrimary, {10, 20, 110, 120}}, 10, 20, 20},
      {"at the bottom of a monitor on the left", {kLeft, {-1280, 0, 0, 984}},    -180, 691, 690},
      {"on the right of a monitor on the left",  {kLeft, {-1280, 0, -48, 1024}}, -228, 701, 700},
      {"at the bottom of a monitor above",       {kAbove, {0, -768, 1024, -40}}, 844, -333, -334}};
  // clang-format on
  for (const auto& [taskbar, monitor, x, fromMenu, fromDoubleClick] : kTaskbars)
    for (auto [margin, y] : {std::pair{30, fromMenu}, std::pair{31, fromDoubleClick}}) {
      const Point at = PositionAboveTaskbar(monitor, 175, 293, margin);
      EXPECT_EQ(std::pair(at.x, at.y), std::pair(x, y)) << taskbar << ", margin " << margin;
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
        EXPECT_TRUE(other.id != control.parent || Inside(bounds, otherBounds))
            << control.id << " at " << dpi;
        if (other.id == control.id) continue;
        EXPECT_EQ(Overlap(bounds, otherBounds),
                  Overlap(ControlBounds(control, kDesign), ControlBounds(other, kDesign)))
            << control.id << " and " << other.id << " at " << dpi;
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
  os.monitors[0].rcWork = {0, 0, 1024, 720};
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
  EXPECT_EQ(os.Only({"LoadBitmapA"}).front(), "LoadBitmapA(\"BMP_LOGOFF_24\", 24, 24)");
  os.calls.clear();
  form_.reset();
  application_.reset();
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}).front(), HasSubstr("MAINICON 24x24"));
  EXPECT_THAT(os.OpenHandles(), IsEmpty()) << "the logo, the fonts, the pictures released";
}

// Each picture of the menu is drawn at 16, 20, 24 and 32 pixels: the size
// the scale asks for where it is drawn, else the next larger, or the largest.
TEST_F(DesktopTest, TheMenusPicturesAreTheOnesDrawnAtTheScaledSize) {
  const std::pair<int, const char*> kScales[] = {
      {96, "\"BMP_LOGOFF\", 16, 16"},     {120, "\"BMP_LOGOFF_20\", 20, 20"},
      {144, "\"BMP_LOGOFF_24\", 24, 24"}, {168, "\"BMP_LOGOFF_32\", 28, 28"},
      {192, "\"BMP_LOGOFF_32\", 32, 32"}, {288, "\"BMP_LOGOFF_32\", 48, 48"}};
  for (const auto& [dpi, picture] : kScales) {
    os.dpi = dpi;
    Create();
    TrayMouse(kWmRButtonDown);
    EXPECT_EQ(os.Only({"LoadBitmapA"}).front(), std::string("LoadBitmapA(") + picture + ")");
  }
}

// The window opens by the tray icon that was clicked: on the monitor the
// shell's taskbar stands on, left of the primary one here, and on the
// primary one where the shell has no taskbar.
TEST_F(DesktopTest, TheWindowOpensOnTheTaskbarsMonitor) {
  os.monitors.push_back({{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}});
  for (auto [taskbar, expected] : {std::pair{std::optional<std::size_t>(1), "-180, 691"},
                                   std::pair{std::optional<std::size_t>(), "844, 445"}}) {
    os.taskbarMonitor = taskbar;
    Create();
    Choose(miShow);
    EXPECT_THAT(os.Only({"SetWindowPos"}), ElementsAre(EndsWith(expected + std::string(")"))));
  }
}

}  // namespace
}  // namespace quennavar::testing
