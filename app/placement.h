// Where the settings window shows, and how it fades in.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace quennavar {

// At the bottom right of the primary screen, `bottomMargin` pixels above its
// bottom edge: just above the taskbar.
void PlaceAboveTaskbar(Platform& os, HWnd window, int bottomMargin);

void SetOpacity(Platform& os, HWnd window, std::uint8_t alpha);

// From transparent to opaque, as fast as painting and message handling go:
// ticks and clicks are handled in the middle of it. A restore may bring the
// application's taskbar window back, so every step hides it again.
void FadeInWindow(Platform& os, HWnd window, HWnd applicationWindow);

}  // namespace quennavar
