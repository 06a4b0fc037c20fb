// The system actions, the predicates and capability queries that decide what
// is offered, and the event journal every action writes to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "system/regional.h"

namespace quennavar {

// What every action needs besides its own arguments.
struct ActionContext {
  Platform& os;
  const RegionalSettings& regional;
  std::string programPath;  // holds the message table the event viewer reads
};

inline constexpr char kEventSource[] = "Quennavar";

enum class EventType : std::uint16_t { Success = 0, Error = 1 };

// The identifiers of the message table in the program's resources.
enum class JournalEvent : std::uint32_t {
  Shutdown = 1,
  Logoff = 2,
  Poweroff = 3,
  Reboot = 4,
  Suspend = 5,
  Hibernate = 6,
  WakeAfterSuspend = 7,
  WakeAfterHibernate = 8,
  Lock = 9,
  Skipped = 10,
  SuspendNotSupported = 101,
  HibernateNotSupported = 102,
  WakeUpNotSupported = 103,
};

// Every predicate asks the system again; nothing is cached.
bool IsWindowsXP(Platform& os);
bool IsWindows2000(Platform& os);
bool IsWindowsNT(Platform& os);
bool IsWindows9x(Platform& os);
bool CanSuspend(Platform& os);
bool CanHibernate(Platform& os);

void DoLogoff(const ActionContext& context, bool force);
void DoPoweroff(const ActionContext& context, bool force);
void DoReboot(const ActionContext& context, bool force);
void DoShutdown(const ActionContext& context, bool force);
void DoLock(const ActionContext& context);
// These return after the machine has resumed.
void DoSuspend(const ActionContext& context, bool disableWakeEvent);
void DoHibernate(const ActionContext& context, bool disableWakeEvent);
void SuspendAndWake(const ActionContext& context, std::int32_t seconds, bool disableWakeEvent);
void HibernateAndWake(const ActionContext& context, std::int32_t seconds, bool disableWakeEvent);

// The daily action skipped from its warning: the keyword as stored, and when.
void RecordSkippedAction(const ActionContext& context, const std::string& action);

// Registers the event source (so no installer is needed) and writes one
// record. Throws ERegistryException when the registration key opens but
// cannot be written.
void ReportAction(Platform& os, const std::string& source, const std::string& messageFile,
                  EventType type, JournalEvent event, const std::vector<std::string>& insertions);

}  // namespace quennavar
