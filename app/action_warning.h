// The warning before the daily action, and the one click that skips it: a
// matter of the clock and the settings alone, so that no window is needed
// to decide it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace quennavar {

inline constexpr int kDefaultWarnMinutes = 1;

// "WarnMinutes": whole minutes from 0 to 60, blanks around them allowed;
// anything else means the default, without a word, as the key is optional.
int WarnMinutesFrom(const std::string& text);

// The daily action: what runs, and in which minute of the day.
struct Occurrence {
  std::string_view action;  // a keyword that outlives it (WarnedKeyword's)
  int hour = 0;
  int minute = 0;
  bool operator==(const Occurrence&) const = default;
};

// The keyword of an action that has a warning, as a constant of the
// program's own; empty for any other text.
std::string_view WarnedKeyword(const std::string& action) noexcept;

// Whole minutes from the minute of `now` to the occurrence's, 0 to 1439: 0
// in its minute, 1 in the minute before, across midnight too.
int MinutesUntil(const SystemTime& now, const Occurrence& next) noexcept;

// The balloon's text for an action that may lose the user's work, with the
// time already in the user's format; none for an action that loses nothing
// (Lock) and for a keyword that names no action.
std::optional<std::string> WarningText(const std::string& action, bool terminate,
                                       const std::string& time);

// What the warning remembers between ticks: the run warned of, and the one
// skipped, each with its date, so that the next day warns again and runs as
// usual however long the machine slept in between, and a skip never carries
// over to another minute or action.
class TActionWarning {
 public:
  // Whether to warn of `next` now: within `warnMinutes` before its minute,
  // and not warned of yet. Cheap, so that a tick asks it first.
  bool Due(const SystemTime& now, const Occurrence& next, int warnMinutes) const noexcept;
  // The balloon is up for `next`.
  void Warned(const SystemTime& now, const Occurrence& next) noexcept;
  // A click on the warning: skips `next` when it was warned of and has not
  // run yet, whether or not its balloon is still up (Windows 10 keeps it
  // among its notifications); once only. True when it skipped.
  bool Skip(const SystemTime& now, const Occurrence& next) noexcept;
  // The run warned of has come to its tick: from now on a click skips
  // nothing of it.
  void Ran() noexcept { FWarned.reset(); }
  // The balloon timed out or was taken down: it needs no taking down.
  void BalloonGone() { FBalloonUp = false; }
  bool BalloonUp() const { return FBalloonUp; }
  // Whether the run of `next` due now, or next, was skipped.
  bool Skipped(const SystemTime& now, const Occurrence& next) const noexcept;

 private:
  struct Run {
    Occurrence occurrence;
    std::int64_t minute;  // counted from 1970
    bool operator==(const Run&) const = default;
  };
  static Run RunOf(const SystemTime& now, const Occurrence& next) noexcept;

  std::optional<Run> FWarned;
  std::optional<Run> FSkipped;
  bool FBalloonUp = false;
};

}  // namespace quennavar
