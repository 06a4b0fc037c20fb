// The seven actions, each described once: the keyword the settings file
// stores, the switch that starts it from a command line, its item in the
// tray menu and its radio button in the settings window, what runs it, and
// the warning before it runs by the clock. Whatever offers, starts or
// announces an action reads it here.
#pragma once

#include <string_view>

#include "resources/settings_window.h"
#include "resources/tray_menu.h"
#include "system/power.h"

namespace quennavar {

enum class ActionKind {
  Exit,       // ends the session, its applications closed by force or asked
  Lock,       // needs Windows NT
  Suspend,    // needs a machine that allows stand-by
  Hibernate,  // needs a machine that allows hibernation
};

struct ActionDescription {
  const char* keyword;        // compared exactly
  const char* commandSwitch;  // compared with argument 1 lower-cased
  TrayCommand menuItem;
  control::ControlId radio;
  ActionKind kind;
  void (*exit)(const ActionContext& context, bool force);  // of an exit action
  const char* warning;  // the warning's text up to its time; null for none
};

// In the tray menu's order, which its check marks follow too. A save takes
// the first radio button checked in this order; the action buttons are one
// group of auto radio buttons, so only one of them is ever checked.
inline constexpr ActionDescription kActions[] = {
    {"Logoff", "/logoff", miLogoff, control::rbLogoff, ActionKind::Exit, DoLogoff,
     "You will be logged off at "},
    {"Lock", "/lock", miLock, control::rbLock, ActionKind::Lock, nullptr, nullptr},
    {"Reboot", "/reboot", miReboot, control::rbReboot, ActionKind::Exit, DoReboot,
     "The computer will restart at "},
    {"Poweroff", "/poweroff", miPoweroff, control::rbPoweroff, ActionKind::Exit, DoPoweroff,
     "The computer will power off at "},
    {"Shutdown", "/shutdown", miShutdown, control::rbShutdown, ActionKind::Exit, DoShutdown,
     "The computer will shut down at "},
    {"Suspend", "/suspend", miSuspend, control::rbSuspend, ActionKind::Suspend, nullptr,
     "The computer will go to stand-by at "},
    {"Hibernate", "/hibernate", miHibernate, control::rbHibernate, ActionKind::Hibernate, nullptr,
     "The computer will hibernate at "},
};

// What the settings file holds before an action was chosen.
inline constexpr const char* kDefaultAction = kActions[4].keyword;
static_assert(kActions[4].menuItem == miShutdown);

// Null where nothing matches: a keyword in another case names no action.
const ActionDescription* ActionOfKeyword(std::string_view keyword);
const ActionDescription* ActionOfSwitch(std::string_view loweredSwitch);
const ActionDescription* ActionOfMenuItem(std::uint32_t item);
const ActionDescription* ActionOfRadio(std::uint32_t radio);

// Whether the system has what the action needs: Windows NT to lock, a
// machine that allows it to suspend or hibernate.
bool Allowed(Platform& os, const ActionDescription& action);

// Whether the tray runs the action when asked: it leaves out only the
// suspend and hibernation the machine does not allow. A lock that cannot
// be made is still tried, and its failure recorded.
bool RunsFromTray(Platform& os, const ActionDescription& action);

// As the tray menu, "Do now", a double-click and the daily timer run it.
void RunFromTray(const ActionContext& context, const ActionDescription& action, bool force);

}  // namespace quennavar
