// The settings window's controls, built from their description when the
// window is first shown: what they show, and what the user chose in them.
#pragma once

#include <array>
#include <string>

#include "app/dpi_scale.h"
#include "app/settings.h"
#include "platform/unique_handle.h"
#include "resources/settings_window.h"

namespace quennavar {

// The settings window's client area, and where a control lies in it, at a scale.
Rect ClientArea(TDpiScale scale);
Rect ControlBounds(const ControlDescription& control, TDpiScale scale);

class TSettingsControls {
 public:
  TSettingsControls(Platform& os, TDpiScale scale);

  bool Created() const { return FCreated; }
  // In tab order, as first drawn; nothing of the settings yet.
  void Create(HWnd window);
  // Null until the controls exist: messages arrive while the window is built.
  HWnd Control(ControlId id) const;

  bool Checked(ControlId id) const;
  void SetChecked(ControlId id, bool checked);
  void CheckRadio(ControlId id);  // and uncheck the others of its group
  void Enable(ControlId id, bool enabled);

  // What the settings say, offering only the actions the system allows;
  // nothing is stored.
  void Show(const SettingsRecord& settings, const std::string& programPath);
  // The picker in the user's short time format, so that the hour shows with
  // its designator; where the locale gives none, as the picker has it.
  void ShowPickerFormat(const std::string& format);
  // What a full save stores.
  SettingsChoice Choice() const;
  DayFraction PickerTime() const;

  // The name and version labels are navy on the window's face; the
  // system's colours for any other control.
  bool Navy(HWnd label) const;
  std::intptr_t NavyLabelColours(HDc dc);

 private:
  void ShowPickerTime(DayFraction time);
  void ShowVersion(const std::string& programPath);

  Platform& FOs;
  TDpiScale FScale;
  // The fonts and the logo outlive the controls that use them: these are
  // destroyed with their window, before its owner destroys this. A static
  // control never destroys the icon it is given.
  UniqueFont FFont;
  UniqueFont FBoldFont;
  UniqueIcon FLogo;
  std::array<HWnd, std::size(control::kSettingsWindow)> FControls{};
  bool FCreated = false;
};

}  // namespace quennavar
