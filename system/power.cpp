#include "system/power.h"

#include <optional>

#include "platform/unique_handle.h"
#include "system/errors.h"
#include "system/nt_system.h"

namespace quennavar {
namespace {

constexpr char kPowerLibrary[] = "powrprof.dll";
constexpr char kWakeUpTimerName[] = "ShutDownNTWaitableTimer";
constexpr char kRegistrationKey[] = "System\\CurrentControlSet\\Services\\EventLog\\Application\\";
constexpr char kRefusal[] = "!!!";

constexpr std::uint32_t kEwxLogoff = 0;
constexpr std::uint32_t kEwxShutdown = 1;
constexpr std::uint32_t kEwxReboot = 2;
constexpr std::uint32_t kEwxForce = 4;
constexpr std::uint32_t kEwxPoweroff = 8;
constexpr std::uint32_t kShutdownReason = 0x7FFFFFFF;

constexpr std::int64_t kHundredNanosecondsPerSecond = 10'000'000;

OsVersionInfo QueryVersion(Platform& os) {
  OsVersionInfo version;
  os.GetVersionExA(version);
  return version;
}

bool Is9x(const OsVersionInfo& v) {
  return v.dwPlatformId == kVerPlatformWin32Windows && v.dwMajorVersion >= 4;
}

// LoadLibrary's failure values are the old small error codes, not only null.
bool Loaded(Module module) { return static_cast<std::uintptr_t>(module) >= 32; }

// The power library came with Windows 98 and 2000 and is part of every NT
// version since; NT 4 and unknown platforms have none to ask.
bool HasPowerLibrary(Platform& os) {
  OsVersionInfo v = QueryVersion(os);
  return Is9x(v) || (v.dwPlatformId == kVerPlatformWin32Nt && v.dwMajorVersion >= 5);
}

bool PowerCapability(Platform& os, const char* query) {
  if (!HasPowerLibrary(os)) return false;
  if (!Loaded(os.LoadLibraryA(kPowerLibrary))) return false;
  ProcAddress entry = os.GetProcAddress(os.GetModuleHandleA(kPowerLibrary), query);
  return entry != ProcAddress::Null && os.CallPowerQuery(entry);
}

// Loads the library anew on every use and never releases it. Returns only
// after the machine has resumed; empty when the library could not be loaded.
std::optional<bool> SetSuspendState(Platform& os, bool hibernate, bool disableWakeEvent) {
  Module library = os.LoadLibraryA(kPowerLibrary);
  if (!Loaded(library)) return std::nullopt;
  ProcAddress setSuspendState = os.GetProcAddress(library, "SetSuspendState");
  return setSuspendState != ProcAddress::Null &&
         os.CallSetSuspendState(setSuspendState, hibernate, false, disableWakeEvent);
}

std::string Now(const ActionContext& context) {
  SystemTime now;
  context.os.GetLocalTime(now);
  return DateTimeText(context.regional, now);
}

// A request the system turned down is recorded as an error, never as done.
void RecordAction(const ActionContext& context, bool succeeded, JournalEvent event) {
  ReportAction(context.os, kEventSource, context.programPath,
               succeeded ? EventType::Success : EventType::Error, event, {Now(context)});
}

void RecordRefusal(const ActionContext& context, JournalEvent event) {
  ReportAction(context.os, kEventSource, context.programPath, EventType::Error, event, {kRefusal});
}

void ExitWindows(const ActionContext& context, std::uint32_t flags, bool force,
                 JournalEvent event) {
  bool requested = EnableShutdownPrivilege(context.os) &&
                   context.os.ExitWindowsEx(force ? flags | kEwxForce : flags, kShutdownReason);
  RecordAction(context, requested, event);
}

void Suspend(const ActionContext& context, bool hibernate, bool disableWakeEvent) {
  Platform& os = context.os;
  if (!(hibernate ? CanHibernate(os) : CanSuspend(os))) {
    RecordRefusal(context, hibernate ? JournalEvent::HibernateNotSupported
                                     : JournalEvent::SuspendNotSupported);
    return;
  }
  std::optional<bool> suspended = SetSuspendState(os, hibernate, disableWakeEvent);
  if (!suspended) return;
  // Written after the machine has resumed, so it carries the time of resumption.
  RecordAction(context, *suspended, hibernate ? JournalEvent::Hibernate : JournalEvent::Suspend);
}

void SuspendWithWakeUp(const ActionContext& context, bool hibernate, std::int32_t seconds,
                       bool disableWakeEvent) {
  Platform& os = context.os;
  // Asked first, so a machine that cannot sleep is left with no timer armed
  // and no record of a suspend that never happens.
  if (!(hibernate ? CanHibernate(os) : CanSuspend(os))) {
    RecordRefusal(context, hibernate ? JournalEvent::HibernateNotSupported
                                     : JournalEvent::SuspendNotSupported);
    return;
  }
  // Negative: relative to now. Closing the handle cancels the timer, so it
  // stays open until the machine has resumed.
  std::int64_t dueTime = std::int64_t{seconds} * -kHundredNanosecondsPerSecond;
  UniqueKernelHandle timer(os, os.CreateWaitableTimerA(false, kWakeUpTimerName));
  if (!os.SetWaitableTimer(timer.get(), dueTime, 0, true)) {
    RecordRefusal(context, JournalEvent::WakeUpNotSupported);
    return;
  }
  // Written before suspending: afterwards the machine may never come back.
  RecordAction(context, true, hibernate ? JournalEvent::Hibernate : JournalEvent::Suspend);
  SetSuspendState(os, hibernate, disableWakeEvent);
}

}  // namespace

bool IsWindowsXP(Platform& os) {
  OsVersionInfo v = QueryVersion(os);
  return v.dwPlatformId == kVerPlatformWin32Nt && v.dwMajorVersion == 5 && v.dwMinorVersion == 1;
}

bool IsWindows2000(Platform& os) {
  OsVersionInfo v = QueryVersion(os);
  return v.dwPlatformId == kVerPlatformWin32Nt && v.dwMajorVersion == 5 && v.dwMinorVersion == 0;
}

bool IsWindowsNT(Platform& os) { return QueryVersion(os).dwPlatformId == kVerPlatformWin32Nt; }

bool IsWindows9x(Platform& os) { return Is9x(QueryVersion(os)); }

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

void RecordSkippedAction(const ActionContext& context, const std::string& action) {
  ReportAction(context.os, kEventSource, context.programPath, EventType::Success,
               JournalEvent::Skipped, {action, Now(context)});
}

void ReportAction(Platform& os, const std::string& source, const std::string& messageFile,
                  EventType type, JournalEvent event, const std::vector<std::string>& insertions) {
  if (!IsWindowsNT(os)) return;

  HKey rawKey = HKey::Null;
  // Without administrative rights the key cannot be opened; the record is
  // still written, and the viewer shows it without its text.
  if (os.RegCreateKeyExA(HKey::LocalMachine, kRegistrationKey + source, kKeyAllAccess, rawKey) ==
      kErrorSuccess) {
    UniqueHKey key(os, rawKey);
    if (os.RegSetValueExA(key.get(), "EventMessageFile", kRegExpandSz, messageFile) !=
        kErrorSuccess)
      throw ERegistryException("Failed to set data for 'EventMessageFile'");
  }

  UniqueEventSource eventLog(os, os.RegisterEventSourceA("", source));
  os.ReportEventA(eventLog.get(), static_cast<std::uint16_t>(type), 0,
                  static_cast<std::uint32_t>(event), insertions);
}

}  // namespace quennavar
