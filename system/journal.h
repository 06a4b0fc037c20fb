// The event journal: one record in the Application event log for every
// action, its text from the message table in the program's resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "system/regional.h"

namespace quennavar {

// What every action needs besides its own arguments: the system, the
// formats its record's time is written in, and the program file whose
// message table the event viewer reads. The one copy of the regional
// formats: a settings change updates them here.
struct ActionContext {
  Platform& os;
  RegionalSettings regional;
  std::string programPath;
};

inline constexpr char kEventSource[] = "Quennavar";

enum class EventType : std::uint16_t { Success = 0, Error = 1 };

// The identifiers of the message table.
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

// An action done, or turned down by the system (an error, never "done"),
// with the time now.
void RecordAction(const ActionContext& context, bool succeeded, JournalEvent event);
// An action the system cannot do at all: an error, with no time.
void RecordRefusal(const ActionContext& context, JournalEvent event);
// The daily action skipped from its warning: the keyword as stored, and when.
void RecordSkippedAction(const ActionContext& context, const std::string& action);

// Registers the event source (so no installer is needed) and writes one
// record. Throws ERegistryException when the registration key opens but
// cannot be written.
void ReportAction(Platform& os, const std::string& source, const std::string& messageFile,
                  EventType type, JournalEvent event, const std::vector<std::string>& insertions);

}  // namespace quennavar
