#include "app/action_schedule.h"

namespace quennavar {

std::optional<RunMinute> DueMinute(const SystemTime& now, DayFraction actionTime,
                                   const std::optional<RunMinute>& lastRun) {
  TimeOfDay due = DecodeTime(actionTime);
  if (now.wHour != due.hour || now.wMinute != due.minute) return std::nullopt;
  RunMinute minute{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
  if (lastRun == minute) return std::nullopt;
  return minute;
}

}  // namespace quennavar
