// What the running Windows is, and so what it has. Every predicate asks the
// system again; nothing is cached.
#pragma once

#include "platform/platform.h"

namespace quennavar {

bool IsWindowsXP(Platform& os);
bool IsWindows2000(Platform& os);
bool IsWindowsNT(Platform& os);
bool IsWindows9x(Platform& os);

// The shell's notification area came with Windows 95 and NT 4, its balloons
// with 2000.
bool HasNotificationArea(Platform& os);
bool HasBalloons(Platform& os);

// The power library came with Windows 98 and 2000 and is part of every NT
// version since; NT 4 and unknown platforms have none to ask.
bool HasPowerLibrary(Platform& os);

}  // namespace quennavar
