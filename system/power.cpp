#include "system/power.h"

#include <optional>

#include "platform/unique_handle.h"
#include "system/privilege.h"
#include "system/version.h"

namespace quennavar {
namespace {

constexpr char kPowerLibrary[] = "powrprof.dll";
constexpr char kWakeUpTimerName[] = "ShutDownNTWaitableTimer";

constexpr std::uint32_t kEwxLogoff = 0;
constexpr std::uint32_t kEwxShutdown = 1;
constexpr std::uint32_t kEwxReboot = 2;
constexpr std::uint32_t kEwxForce = 4;
constexpr std::uint32_t kEwxPoweroff = 8;
constexpr std::uint32_t kShutdownReason = 0x7FFFFFFF;

constexpr std::int64_t kHundredNanosecondsPerSecond = 10'000'000;

// LoadLibrary's failure values are the old small error codes, not only null.
bool Loaded(Module module) { return static_cast<std::uintptr_t>(module) >= 32; }

bool PowerCapability(Platform& os, const char* query) {
  if (!HasPowerLibrary(os)) return false;
  if (!Loaded(os.LoadSystemLibrary(kPowerLibrary))) return false;
  ProcAddress entry = os.GetProcAddress(os.GetModuleHandleA(kPowerLibrary), query);
  return entry != ProcAddress::Null && os.CallPowerQuery(entry);
}

// Loads the library anew on every use and never releases it. Returns only
// after the machine has resumed; empty when the library could not be loaded.
std::optional<bool> SetSuspendState(Platform& os, bool hibernate, bool disableWakeEvent) {
  Module library = os.LoadSystemLibrary(kPowerLibrary);
  if (!Loaded(library)) return std::nullopt;
  ProcAddress setSuspendState = os.GetProcAddress(library, "SetSuspendState");
  return setSuspendState != ProcAddress::Null &&
         os.CallSetSuspendState(setSuspendState, hibernate, false, disableWakeEvent);
}

void ExitWindows(const ActionContext& context, std::uint32_t flags, bool force,
                 JournalEvent event) {
  bool requested = EnableShutdownPrivilege(context.os) &&
                   context.os.ExitWindowsEx(force ? flags | kEwxForce : flags, kShutdownReason);
  RecordAction(context, requested, event);
}

// Whether the machine cannot sleep so; the refusal is then recorded, and
// nothing more is asked of it.
bool SleepRefused(const ActionContext& context, bool hibernate) {
  if (hibernate ? CanHibernate(context.os) : CanSuspend(context.os)) return false;
  RecordRefusal(
      context, hibernate ? JournalEvent::HibernateNotSupported : JournalEvent::SuspendNotSupported);
  return true;
}

JournalEvent SleepEvent(bool hibernate) {
  return hibernate ? JournalEvent::Hibernate : JournalEvent::Suspend;
}

void Suspend(const ActionContext& context, bool hibernate, bool disableWakeEvent) {
  if (SleepRefused(context, hibernate)) return;
  std::optional<bool> suspended = SetSuspendState(context.os, hibernate, disableWakeEvent);
  if (!suspended) return;
  // Written after the machine has resumed, so it carries the time of resumption.
  RecordAction(context, *suspended, SleepEvent(hibernate));
}

void SuspendWithWakeUp(const ActionContext& context, bool hibernate, std::int32_t seconds,
                       bool disableWakeEvent) {
  Platform& os = context.os;
  // Asked first, so a machine that cannot sleep is left with no timer armed
  // and no record of a suspend that never happens.
  if (SleepRefused(context, hibernate)) return;
  // Negative: relative to now. Closing the handle cancels the timer, so it
  // stays open until the machine has resumed.
  std::int64_t dueTime = std::int64_t{seconds} * -kHundredNanosecondsPerSecond;
  UniqueKernelHandle timer(os, os.CreateWaitableTimerA(false, kWakeUpTimerName));
  if (!os.SetWaitableTimer(timer.get(), dueTime, 0, true)) {
    RecordRefusal(context, JournalEvent::WakeUpNotSupported);
    return;
  }
  // Written before suspending: afterwards the machine may never come back.
  RecordAction(context, true, SleepEvent(hibernate));
  SetSuspendState(os, hibernate, disableWakeEvent);
}

}  // namespace

bool CanSuspend(Platform& os) { return PowerCapability(os, "IsPwrSuspendAllowed"); }

bool CanHibernate(Platform& os) { return PowerCapability(os, "IsPwrHibernateAllowed"); }

void DoLogoff(const ActionContext& context, bool force) {
  ExitWindows(context, kEwxLogoff, force, JournalEvent::Logoff);
}

void DoPoweroff(const ActionContext& context, bool force) {
  ExitWindows(context, kEwxPoweroff, force, JournalEvent::Poweroff);
}

void DoReboot(const ActionContext& context, bool force) {
  ExitWindows(context, kEwxReboot, force, JournalEvent::Reboot);
}

void DoShutdown(const ActionContext& context, bool force) {
  ExitWindows(context, kEwxShutdown, force, JournalEvent::Shutdown);
}

void DoLock(const ActionContext& context) {
  bool locked = IsWindowsNT(context.os) && context.os.LockWorkStation();
  RecordAction(context, locked, JournalEvent::Lock);
}

void DoSuspend(const ActionContext& context, bool disableWakeEvent) {
  Suspend(context, false, disableWakeEvent);
}

void DoHibernate(const ActionContext& context, bool disableWakeEvent) {
  Suspend(context, true, disableWakeEvent);
}

void SuspendAndWake(const ActionContext& context, std::int32_t seconds, bool disableWakeEvent) {
  SuspendWithWakeUp(context, false, seconds, disableWakeEvent);
}

void HibernateAndWake(const ActionContext& context, std::int32_t seconds, bool disableWakeEvent) {
  SuspendWithWakeUp(context, true, seconds, disableWakeEvent);
}

}  // namespace quennavar
