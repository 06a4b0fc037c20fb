// The program entry: one action from the command line, or the tray application.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "system/errors.h"
#include "system/power.h"

namespace quennavar {

// Returns the process exit code.
int Quennavar(Platform& os);

// Without a switch: the settings window and its tray icon, until closed.
int RunTrayApplication(const ActionContext& context, RegionalSettings& regional);

// The box of an error that ends the process: "Application Error", stop icon.
void ShowFatalError(Platform& os, const std::string& programPath, const Exception& error);

// The full stop the error boxes add to a message whose last character has a
// code above that of the full stop ("…!" gets one, "…)" does not).
std::string_view FullStopFor(std::string_view message);

}  // namespace quennavar
