// The system actions, and the capability queries that decide which of them
// the machine allows. Each action writes its record to the event journal.
#pragma once

#include <cstdint>

#include "system/journal.h"

namespace quennavar {

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

}  // namespace quennavar
