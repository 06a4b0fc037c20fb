// The shutdown privilege: without it an NT system refuses to end the session.
#pragma once

#include "platform/platform.h"

namespace quennavar {

// True when the privilege was asked for successfully (on the 9x family there
// is nothing to ask for); whether it was actually granted is not examined.
bool EnableShutdownPrivilege(Platform& os);

}  // namespace quennavar
