// What the tray icon says of the daily action before it runs: its tip, the
// warning balloon, and the click that skips one run. The form tells it when
// the schedule may have changed and when the timer ticks.
#pragma once

#include <optional>
#include <string>

#include "app/action_warning.h"
#include "app/settings.h"
#include "app/tray_icon.h"
#include "system/journal.h"

namespace quennavar {

class TDailyWarning {
 public:
  TDailyWarning(const ActionContext& context, TTrayIcon& trayIcon)
      : FContext(context), FTrayIcon(trayIcon) {}

  // After the settings were read, the timer armed or disarmed, or the
  // regional formats changed. Another action or minute, or the timer off:
  // what was warned of and skipped is no longer what comes, and its
  // balloon goes.
  void Schedule(const SettingsRecord& settings, bool armed);
  // At each tick of the armed timer.
  void Tick(const SystemTime& now, const SettingsRecord& settings);
  // Takes the occurrence due now, at the tick that runs it: false where a
  // click skipped it. A click after this skips nothing of it.
  bool TakeRun(const SystemTime& now, const SettingsRecord& settings) {
    const bool skipped = FWarning.Skipped(now, NextOccurrence(settings));
    FWarning.Ran();
    return !skipped;
  }
  // The shell's notices about the balloon.
  void BalloonClicked(const SettingsRecord& settings);
  void BalloonGone() { FWarning.BalloonGone(); }

 private:
  static Occurrence NextOccurrence(const SettingsRecord& settings);
  bool ActionRuns(const SettingsRecord& settings) const;
  std::string ShortTimeText(DayFraction time) const;

  const ActionContext& FContext;
  TTrayIcon& FTrayIcon;
  TActionWarning FWarning;
  Occurrence FScheduled;  // armed, as last read
};

}  // namespace quennavar
