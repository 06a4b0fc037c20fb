#include "app/action_warning.h"

#include <chrono>
#include <cstddef>

#include "app/actions.h"

namespace quennavar {
namespace {

constexpr int kMaxWarnMinutes = 60;
constexpr int kMinutesPerDay = 24 * 60;

// The actions the clock warns of: those with a warning text.
const ActionDescription* WarningFor(const std::string& keyword) {
  const ActionDescription* action = ActionOfKeyword(keyword);
  return action && action->warning ? action : nullptr;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int WarnMinutesFrom(const std::string& text) {
  std::size_t at = 0, end = text.size();
  while (at < end && IsBlank(text[at])) ++at;
  while (end > at && IsBlank(text[end - 1])) --end;
  if (at == end || end - at > 2) return kDefaultWarnMinutes;
  int minutes = 0;
  for (; at < end; ++at) {
    if (text[at] < '0' || text[at] > '9') return kDefaultWarnMinutes;
    minutes = minutes * 10 + (text[at] - '0');
  }
  return minutes <= kMaxWarnMinutes ? minutes : kDefaultWarnMinutes;
}

int MinutesUntil(const SystemTime& now, const Occurrence& next) noexcept {
  int minutes = (next.hour * 60 + next.minute) - (now.wHour * 60 + now.wMinute);
  return (minutes % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
}

std::string_view WarnedKeyword(const std::string& action) noexcept {
  const ActionDescription* warned = WarningFor(action);
  return warned ? warned->keyword : "";
}

std::optional<std::string> WarningText(const std::string& action, bool terminate,
                                       const std::string& time) {
  const ActionDescription* warned = WarningFor(action);
  if (!warned) return std::nullopt;
  std::string text = warned->warning;
  text.append(time).append(".\nClick here to skip it today.");
  // Only ending the session closes programs.
  if (terminate && warned->kind == ActionKind::Exit)
    text.append("\nPrograms will be closed without saving.");
  return text;
}

TActionWarning::Run TActionWarning::RunOf(const SystemTime& now, const Occurrence& next) noexcept {
  using namespace std::chrono;
  const sys_days day{year{now.wYear} / month{now.wMonth} / now.wDay};
  const std::int64_t minute =
      day.time_since_epoch().count() * kMinutesPerDay + now.wHour * 60 + now.wMinute;
  return {next, minute + MinutesUntil(now, next)};
}

bool TActionWarning::Due(const SystemTime& now, const Occurrence& next,
                         int warnMinutes) const noexcept {
  const int minutes = MinutesUntil(now, next);
  return minutes > 0 && minutes <= warnMinutes && FWarned != RunOf(now, next);
}

void TActionWarning::Warned(const SystemTime& now, const Occurrence& next) noexcept {
  FWarned = RunOf(now, next);
  FBalloonUp = true;
}

bool TActionWarning::Skip(const SystemTime& now, const Occurrence& next) noexcept {
  if (!FWarned || FWarned != RunOf(now, next) || FSkipped == FWarned) return false;
  FSkipped = FWarned;
  FBalloonUp = false;
  return true;
}

bool TActionWarning::Skipped(const SystemTime& now, const Occurrence& next) const noexcept {
  return FSkipped == RunOf(now, next);
}

}  // namespace quennavar
