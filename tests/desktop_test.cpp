// The settings window on today's desktops: inside the work area whatever the
// taskbar, and laid out at the screen's DPI.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/placement.h"
#include "tests/expected_calls.h"
#include "tests/program_folder.h"

namespace quennavar::testing {
namespace {

using ::testing::ElementsAre;
using namespace control;

// --- Placement ---

// A 1024 x 768 screen and the 175 x 293 window: where the menu (margin 30)
// and a double-click (31) put it.
struct PlacementCase {
  const char* name;
  Rect workArea;
  Point fromMenu;
  Point fromDoubleClick;
};

// clang-format off
const PlacementCase kPlacements[] = {
    {"XpTaskbarAtTheBottom", {0, 0, 1024, 738}, {844, 445}, {844, 444}},
    {"TaskbarHidden", {0, 0, 1024, 768}, {844, 445}, {844, 444}},
    {"Windows10Taskbar", {0, 0, 1024, 728}, {844, 435}, {844, 434}},
    {"Windows11Taskbar", {0, 0, 1024, 720}, {844, 427}, {844, 426}},
    {"TaskbarOnTheRight", {0, 0, 962, 768}, {782, 445}, {782, 444}},
    {"TaskbarOnTheLeft", {48, 0, 1024, 768}, {844, 445}, {844, 444}},
    {"TaskbarAtTheTop", {0, 48, 1024, 768}, {844, 445}, {844, 444}},
    {"WorkAreaSmallerThanTheWindow", {10, 20, 110, 120}, {10, 20}, {10, 20}},
};
// clang-format on

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, StaysInsideTheWorkArea) {
  const PlacementCase& c = GetParam();
  for (auto [margin, expected] : {std::pair{30, c.fromMenu}, std::pair{31, c.fromDoubleClick}}) {
    Point at = PositionAboveTaskbar(1024, 768, c.workArea, 175, 293, margin);
    EXPECT_EQ(std::pair(at.x, at.y), std::pair(expected.x, expected.y)) << "margin " << margin;
  }
}

INSTANTIATE_TEST_SUITE_P(Taskbars, Placement, ::testing::ValuesIn(kPlacements), kRowName);

class DesktopTest : public ProgramFolderTest {};

// The work area comes from the system each time the window is placed; where
// the system cannot say, the screen is taken whole.
TEST_F(DesktopTest, TheWindowIsPlacedAboveTheTaskbarTheSystemReports) {
  os.workArea = {0, 0, 1024, 720};
  Create();
  Choose(miShow);
  Send(kWmCommand, btnHide, static_cast<std::intptr_t>(form_->Control(btnHide)));
  TrayMouse(kWmLButtonDblClk);
  EXPECT_THAT(os.Only({"SetWindowPos"}),
              ElementsAre("SetWindowPos(window2, 844, 427)", "SetWindowPos(window2, 844, 426)"));
}

// --- Scale ---

TEST(DpiScale, RoundsAsMulDivAndTakesAnUnknownDpiFor96) {
  const std::tuple<int, int, int, int> kScales[] = {// dpi, 169 pixels, 8-point font, 3 pixels
                                                    {96, 169, -11, 3},
                                                    {120, 211, -13, 4},
                                                    {144, 254, -16, 5},
                                                    {192, 338, -21, 6},
                                                    {0, 169, -11, 3}};
  for (const auto& [dpi, width, font, margin] : kScales) {
    TDpiScale scale(dpi);
    EXPECT_EQ(std::tuple(scale(169), scale.FontHeight(8), scale(3)),
              std::tuple(width, font, margin))
        << dpi;
  }
}

// Whatever the scale, every control grows with the window, stays inside it,
// and keeps its place among the others.
TEST(DpiScale, TheLayoutGrowsAsAWhole) {
  const TDpiScale kDesign(96);
  const Rect designArea = ClientArea(kDesign);
  for (int dpi : {120, 144, 192}) {
    const TDpiScale scale(dpi);
    const Rect area = ClientArea(scale);
    const double factor = dpi / 96.0;
    EXPECT_NEAR(area.right, designArea.right * factor, 0.5) << dpi;
    EXPECT_NEAR(area.bottom, designArea.bottom * factor, 0.5) << dpi;
    for (const ControlDescription& control : kSettingsWindow) {
      const Rect design = ControlBounds(control, kDesign);
      const Rect scaled = ControlBounds(control, scale);
      EXPECT_NEAR(scaled.right - scaled.left, (design.right - design.left) * factor, 0.5)
          << control.id << " at " << dpi;
      EXPECT_NEAR(scaled.bottom - scaled.top, (design.bottom - design.top) * factor, 0.5)
          << control.id << " at " << dpi;
      EXPECT_TRUE(scaled.left >= 0 && scaled.top >= 0 && scaled.right <= area.right &&
                  scaled.bottom <= area.bottom)
          << control.id << " leaves the client area at " << dpi;
      for (const ControlDescription& other : kSettingsWindow) {
        const Rect otherDesign = ControlBounds(other, kDesign);
        const Rect otherScaled = ControlBounds(other, scale);
        // Above stays above, left stays left, and the gap between grows alike.
        if (design.top < otherDesign.top) {
          EXPECT_LT(scaled.top, otherScaled.top) << control.id << " above " << other.id;
          EXPECT_NEAR(otherScaled.top - scaled.top, (otherDesign.top - design.top) * factor, 1.0)
              << control.id << " to " << other.id << " at " << dpi;
        }
        if (design.left < otherDesign.left) {
          EXPECT_LT(scaled.left, otherScaled.left) << control.id << " left of " << other.id;
        }
      }
    }
  }
}

// At 144 DPI the window, its font, its icons and the menu's pictures are half
// as large again; where the system cannot tell the DPI they are drawn as at 96.
struct ScreenCase {
  const char* name;
  int dpi;
  std::pair<int, int> outer;  // the classic frame around the client area
  const char* font;
  const char* logo;
  const char* trayIcon;
  int picture;
};

class Screens : public DesktopTest, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(Screens, DrawTheWindowAtTheirDpi) {
  const ScreenCase& c = GetParam();
  os.dpi = c.dpi;
  Create();
  Rect outer;
  os.GetWindowRect(form_->Handle(), outer);
  EXPECT_EQ(std::pair(outer.right - outer.left, outer.bottom - outer.top), c.outer);
  Choose(miShow);
  EXPECT_EQ(os.fonts[form_->Control(rbLogoff)], c.font);
  EXPECT_EQ(os.icons[form_->Control(PowerLogo)], c.logo);
  TrayMouse(kWmRButtonDown);
  const std::string size = std::to_string(c.picture) + ", " + std::to_string(c.picture);
  EXPECT_EQ(os.Only({"LoadBitmapA"}).front(), "LoadBitmapA(\"BMP_LOGOFF\", " + size + ")");
  os.calls.clear();
  form_.reset();
  EXPECT_THAT(os.Only({"Shell_NotifyIconA"}).front(), ::testing::HasSubstr(c.trayIcon));
}

INSTANTIATE_TEST_SUITE_P(Dpi, Screens,
                         ::testing::Values(ScreenCase{"At144",
                                                      144,
                                                      {260, 427},
                                                      "font MS Sans Serif -16 400",
                                                      "MAINICON 48x48",
                                                      "MAINICON 24x24",
                                                      24},
                                           ScreenCase{"Unknown",
                                                      0,
                                                      {175, 293},
                                                      "font MS Sans Serif -11 400",
                                                      "MAINICON 32x32",
                                                      "MAINICON 16x16",
                                                      16}),
                         kRowName);

}  // namespace
}  // namespace quennavar::testing
