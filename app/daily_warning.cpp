#include "app/daily_warning.h"

#include "app/actions.h"
#include "app/application.h"

namespace quennavar {

void TDailyWarning::Schedule(const SettingsRecord& settings, bool armed) {
  // Nothing, or what never warns (its keyword empty): alike.
  const Occurrence scheduled = armed ? NextOccurrence(settings) : Occurrence{};
  if (scheduled != FScheduled) {
    if (FWarning.BalloonUp()) FTrayIcon.HideBalloon();
    FWarning = {};
    FScheduled = scheduled;
  }
  std::string tip = kProgramName;
  if (armed && ActionRuns(settings))
    tip.append(": ")
        .append(settings.FAction)
        .append(" at ")
        .append(ShortTimeText(settings.FActionTime));
  FTrayIcon.SetTip(tip);
}

// Nothing is announced that would not happen, nor what loses nothing. The
// cheap question first: a tick outside the warning time asks the system
// nothing more than before.
void TDailyWarning::Tick(const SystemTime& now, const SettingsRecord& settings) {
  const Occurrence next = NextOccurrence(settings);
  if (!FWarning.Due(now, next, settings.FWarnMinutes) || !FTrayIcon.InTray() ||
      !ActionRuns(settings))
    return;
  std::optional<std::string> text =
      WarningText(settings.FAction, settings.FForceTerminate, ShortTimeText(settings.FActionTime));
  // One the shell refuses is asked for again at the next tick.
  if (text && FTrayIcon.ShowBalloon(kProgramName, *text)) FWarning.Warned(now, next);
}

void TDailyWarning::BalloonClicked(const SettingsRecord& settings) {
  SystemTime now;
  FContext.os.GetLocalTime(now);
  if (FWarning.Skip(now, NextOccurrence(settings))) RecordSkippedAction(FContext, settings.FAction);
}

Occurrence TDailyWarning::NextOccurrence(const SettingsRecord& settings) {
  TimeOfDay time = DecodeTime(settings.FActionTime);
  return {WarnedKeyword(settings.FAction), time.hour, time.minute};
}

// What the timer's tick does: the stored action, less what it leaves undone.
bool TDailyWarning::ActionRuns(const SettingsRecord& settings) const {
  const ActionDescription* action = ActionOfKeyword(settings.FAction);
  return action && RunsFromTray(FContext.os, *action);
}

std::string TDailyWarning::ShortTimeText(DayFraction time) const {
  TimeOfDay t = DecodeTime(time);
  SystemTime at{
      2000, 1, 6, 1, static_cast<std::uint16_t>(t.hour), static_cast<std::uint16_t>(t.minute),
      0,    0};
  return FContext.os.GetTimeFormatA(kTimeNoSeconds, at);
}

}  // namespace quennavar
