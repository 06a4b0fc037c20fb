// Where the settings window shows, and how it fades in.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace quennavar {

// At the bottom right of the monitor, `bottomMargin` pixels above its bottom
// edge: just above XP's 30-pixel taskbar. A taskbar that is taller, or
// stands at another edge, would cover that place: the window then stays
// inside the work area, as far down and right as it goes, a margin of 31
// keeping its pixel above 30. With the taskbar hidden the work area is the
// whole monitor, and the place is the first one.
Point PositionAboveTaskbar(const MonitorInfo& monitor, int windowWidth, int windowHeight,
                           int bottomMargin);

// On the monitor of the taskbar, whose tray icon was clicked; on the primary
// one where the shell has no taskbar.
void PlaceAboveTaskbar(Platform& os, HWnd window, int bottomMargin);

void SetOpacity(Platform& os, HWnd window, std::uint8_t alpha);

// From transparent to opaque, as fast as painting and message handling go:
// ticks and clicks are handled in the middle of it. A restore may bring the
// application's taskbar window back, so every step hides it again.
void FadeInWindow(Platform& os, HWnd window, HWnd applicationWindow);

}  // namespace quennavar
