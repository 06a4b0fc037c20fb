// The settings window: the stored settings, the handlers of its controls,
// of the tray icon and its menu, and of the action timer. The work is done
// by the units it owns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/action_schedule.h"
#include "app/application.h"
#include "app/base_window.h"
#include "app/daily_warning.h"
#include "app/settings.h"
#include "app/settings_controls.h"
#include "app/tray_icon.h"
#include "app/tray_notify.h"
#include "app/tray_popup_menu.h"
#include "system/journal.h"

namespace quennavar {

class TShutDownForm final : public BaseWindow<TShutDownForm>, private ApplicationHooks {
 public:
  // Throws EOSError where its window cannot be made.
  TShutDownForm(ActionContext& context, TApplication& application);
  ~TShutDownForm() { Detach(); }

  void FormCreate();

  // Settings file
  void LoadSettings();
  void SaveSettings();

  // Controls
  void FormShow();
  void rbLogoffClick();
  void cbForceterminateClick();
  void rgOptionsClick();
  void cbTimerEnabledClick();
  void DateTimePickerChange();
  void btnRebootClick();
  void btnHideClick();
  void ActionTimerTimer();
  HWnd Control(ControlId id) const { return FControls.Control(id); }
  bool Checked(ControlId id) const { return FControls.Checked(id); }
  bool ActionTimerEnabled() const { return FActionTimerEnabled; }

  // Tray icon and menu
  void AddToTray();
  void RunStoredAction();
  void TrayPopupMenuPopup();
  void RunMenuAction(TrayCommand item);
  void miLogoffClick();
  void miLockClick();
  void miRebootClick();
  void miPoweroffClick();
  void miShutdownClick();
  void miSuspendClick();
  void miHibernateClick();
  void miForceterminateClick();
  void miShowClick();
  void miExitClick();

  // Placement and showing
  void HideApplicationWindow();
  void FadeIn();

 private:
  friend class BaseWindow<TShutDownForm>;
  std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  void ShowError(const Exception& error) { FApplication.ShowException(error); }

  void ApplicationMinimized() override { HideApplicationWindow(); }
  void ApplicationRestored() override { FadeIn(); }
  void TrayNotify(std::uint32_t mouseMessage);
  void PopUpTrayMenu();
  void MenuCommand(std::uint32_t id);
  void ControlCommand(std::uint32_t id);
  void EnableActionTimer(bool enabled);
  bool Fades();
  void ShowSettingsWindow(int bottomMargin, bool fromTransparent);

  ActionContext& FContext;
  TApplication& FApplication;
  SettingsFile FSettingsFile;
  SettingsRecord FSettings;
  // What the window shows when first opened; none when the file was unreadable.
  std::optional<SettingsRecord> FSettingsAtStart;
  TDpiScale FScale;
  TTrayPopupMenu FTrayPopupMenu;
  TSettingsControls FControls;
  // Members go in the reverse of this order. The window goes here, after
  // what is declared below it and before what is declared above it: the
  // tray icon is removed while its window still stands, and the menu, fonts
  // and pictures the window uses outlive it.
  WindowCloser FWindowCloser{*this};
  TTrayIcon FTrayIcon;
  TDailyWarning FDailyWarning;
  std::uint32_t FTaskbarCreated = 0;
  bool FActionTimerEnabled = false;
  bool FFading = false;  // a fade-in's loop runs, handling messages
  std::optional<RunMinute> FLastRunMinute;
};

}  // namespace quennavar
