// The settings window: its client area and its controls in tab order, with
// captions, hints and bounds in client pixels at 96 DPI. Children of a group
// are placed relative to it.
#pragma once

#include <cstdint>

namespace quennavar {
// The controls' names stand in a namespace of their own: the label
// "Quennavar" shares its name with the program entry.
namespace control {

enum ControlId : std::uint32_t {
  NoControl = 0,
  gbAction = 1001,
  PowerLogo,
  Quennavar,
  VerInfoLabel,
  rbLogoff,
  rbLock,
  rbPoweroff,
  rbReboot,
  rbShutdown,
  rbSuspend,
  rbHibernate,
  cbForceterminate,
  rgOptions,
  rgOptionsShowWindow,  // item 0
  rgOptionsDoAction,    // item 1
  cbTimerEnabled,
  DateTimePicker,
  btnReboot,
  btnHide,
};

enum class ControlKind {
  GroupBox,
  Icon,
  Label,
  BoldLabel,
  RadioButton,
  CheckBox,
  TimePicker,
  Button
};

struct ControlDescription {
  ControlId id;
  ControlKind kind;
  const char* caption;
  int left, top, width, height;
  ControlId parent;  // the group it sits in, or none
  const char* hint;  // shown as a tooltip; null for none
  bool startsGroup;  // the first of a run of radio buttons, or a tab stop of its own
};

inline constexpr int kClientWidth = 169;
inline constexpr int kClientHeight = 268;
inline constexpr char kFontName[] = "MS Sans Serif";
inline constexpr int kFontPoints = 8;
inline constexpr std::uint32_t kNavy = 0x800000;  // COLORREF: blue 0x80

// Creation order is tab order: first the controls that take the focus.
inline constexpr ControlDescription kSettingsWindow[] = {
    {btnReboot, ControlKind::Button, "Do now", 3, 240, 67, 25, NoControl, nullptr, true},
    {cbForceterminate, ControlKind::CheckBox, "Force processes to terminate", 8, 139, 161, 17,
     NoControl, nullptr, true},
    {rgOptions, ControlKind::GroupBox, " On left double click in tray ", 3, 156, 164, 57, NoControl,
     nullptr, false},
    {rgOptionsShowWindow, ControlKind::RadioButton, "Show this window", 8, 16, 150, 17, rgOptions,
     nullptr, true},
    {rgOptionsDoAction, ControlKind::RadioButton, "Do defined action", 8, 35, 150, 17, rgOptions,
     nullptr, false},
    {cbTimerEnabled, ControlKind::CheckBox, "Run action at", 8, 219, 89, 17, NoControl, nullptr,
     true},
    {DateTimePicker, ControlKind::TimePicker, "", 101, 216, 66, 21, NoControl, nullptr, true},
    {gbAction, ControlKind::GroupBox, " Action ", 3, 0, 164, 135, NoControl, nullptr, false},
    {rbLogoff, ControlKind::RadioButton, "Logoff", 8, 16, 65, 17, gbAction, "Log Off current user",
     true},
    {rbPoweroff, ControlKind::RadioButton, "Poweroff", 8, 48, 73, 17, gbAction,
     "Power Off system (ATX turn off)", false},
    {rbReboot, ControlKind::RadioButton, "Reboot", 8, 64, 73, 17, gbAction, "Reboot system", false},
    {rbShutdown, ControlKind::RadioButton, "Shutdown", 8, 80, 81, 17, gbAction, "Shutdown system",
     false},
    {rbSuspend, ControlKind::RadioButton, "Suspend (if supported)", 8, 96, 129, 17, gbAction,
     "Stand by system", false},
    {rbHibernate, ControlKind::RadioButton, "Hibernate (if supported)", 8, 112, 145, 17, gbAction,
     "Hibernate system", false},
    {rbLock, ControlKind::RadioButton, "Lock", 8, 32, 49, 17, gbAction, nullptr, false},
    {PowerLogo, ControlKind::Icon, "MAINICON", 124, 9, 32, 32, gbAction, nullptr, false},
    {Quennavar, ControlKind::BoldLabel, "Quennavar", 96, 42, 64, 13, gbAction, nullptr, false},
    {VerInfoLabel, ControlKind::Label, "", 111, 56, 52, 13, gbAction, nullptr, false},
    {btnHide, ControlKind::Button, "Hide to tray", 101, 240, 67, 25, NoControl, nullptr, true},
};

}  // namespace control
using control::ControlDescription;
using control::ControlId;
using control::ControlKind;
}  // namespace quennavar
