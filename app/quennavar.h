// The program entry: one action from the command line, or the tray application.
#pragma once

#include <string>

#include "platform/platform.h"
#include "system/errors.h"
#include "system/journal.h"

namespace quennavar {

// Returns the process exit code.
int Quennavar(Platform& os);

// Without a switch: the settings window and its tray icon, until closed.
int RunTrayApplication(ActionContext& context);

// The box of an error that ends the process: "Application Error", stop icon.
void ShowFatalError(Platform& os, const std::string& programPath, const Exception& error);

}  // namespace quennavar
