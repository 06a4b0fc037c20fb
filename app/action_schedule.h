// When the daily action is due: a matter of the clock alone.
#pragma once

#include <array>
#include <optional>

#include "platform/platform.h"
#include "system/regional.h"

namespace quennavar {

// The minute the action last ran in: year, month, day, hour, minute.
using RunMinute = std::array<int, 5>;

// The minute to run the action in, when `now` falls in the stored hour and
// minute and the action has not run in that minute yet: the timer ticks
// several times a minute, and a suspend may return within it. The next day
// it is due again.
std::optional<RunMinute> DueMinute(const SystemTime& now, DayFraction actionTime,
                                   const std::optional<RunMinute>& lastRun);

}  // namespace quennavar
