// The tray application: the application object and the settings window,
// which owns the tray icon, the tray menu and the settings record.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/settings.h"
#include "platform/unique_handle.h"
#include "resources/settings_window.h"
#include "resources/tray_menu.h"
#include "system/errors.h"
#include "system/power.h"

namespace quennavar {

inline constexpr char kProgramName[] = "Quennavar";
// The tray icon's notifications arrive as this message, mouse message in lParam.
inline constexpr std::uint32_t WM_TRAYNOTIFY = kWmUser + 119;

// The application: its hidden taskbar window owns the settings window, so
// the program never has a taskbar button. Minimizing hides the main window,
// restoring shows it again; hooks run after each.
class TApplication final : public WindowHandler {
 public:
  TApplication(Platform& os, std::string programPath);

  HWnd Handle() const { return FHandle.get(); }
  void SetMainWindow(HWnd window) { FMainWindow = window; }
  bool Minimized() const { return FMinimized; }
  void Minimize();
  void Restore();  // only a minimized application; then runs OnRestore
  void BringToFront();
  int Run();

  // The application's error box: the message with a full stop, captioned
  // with the program's name; the program runs on.
  void ShowException(const Exception& error);

  std::function<void()> OnMinimize;
  std::function<void()> OnRestore;

  std::intptr_t WindowProc(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override;

 private:
  Platform& os_;
  std::string FTitle;
  UniqueWindow FHandle;
  HWnd FMainWindow = HWnd::Null;
  bool FMinimized = false;
};

class TShutDownForm final : public WindowHandler, public SettingsRecord {
 public:
  TShutDownForm(const ActionContext& context, RegionalSettings& regional,
                TApplication& application);
  ~TShutDownForm();

  HWnd Handle() const { return FHandle.get(); }

  void FormCreate();
  std::intptr_t WindowProc(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override;

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

  // Null until the control exists: messages arrive while the window is built.
  HWnd Control(ControlId id) const {
    auto found = FControls.find(id);
    return found == FControls.end() ? HWnd::Null : found->second;
  }
  bool Checked(ControlId id) const;
  bool ActionTimerEnabled() const { return FActionTimerEnabled; }

  // Tray icon and menu
  void UpdateNotifyData();
  void AddToTray();
  void RemoveFromTray();
  void RunStoredAction();
  void TrayPopupMenuPopup();
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

  NotifyIconData FNotifyData;
  std::string FTrayHint;
  bool FInTray = false;

  bool MenuChecked(TrayCommand item) const;

 private:
  void TrayNotify(std::uint32_t mouseMessage);
  void TaskbarCreated();
  void FillTrayMenuOnce();
  void PopUpTrayMenu();
  void MenuCommand(std::uint32_t id);
  void CheckMenu(TrayCommand item, bool checked);
  void PlaceWindow(int bottomMargin);
  void CreateControls();
  void CreateControlsOnce();
  void ShowSettings(const SettingsRecord& settings);
  void ControlCommand(std::uint32_t id);
  void SetChecked(ControlId id, bool checked);
  void CheckRadio(ControlId id);  // and uncheck the others of its group
  void EnableActionTimer(bool enabled);
  DayFraction PickerTime() const;
  void ShowPickerTime(DayFraction time);
  void ShowVersion();
  bool UseAlphaBlend();
  void SetOpacity(std::uint8_t alpha);
  std::intptr_t LabelColours(HWnd label, HDc dc);

  const ActionContext& context_;
  Platform& os_;
  RegionalSettings& regional_;
  TApplication& FApplication;
  SettingsFile FSettingsFile;
  UniqueWindow FHandle;
  UniqueMenu FTrayPopupMenu;
  bool FTrayMenuFilled = false;
  std::vector<UniqueBitmap> FMenuBitmaps;
  std::map<TrayCommand, bool> FMenuChecked;
  std::uint32_t FTaskbarCreated = 0;
  std::map<ControlId, HWnd> FControls;
  // What the window shows when first opened; none when the file was unreadable.
  std::optional<SettingsRecord> FSettingsAtStart;
  UniqueFont FFont;
  UniqueFont FBoldFont;
  bool FActionTimerEnabled = false;
  // The minute the timer last ran the action in, so it runs once in it.
  std::optional<std::array<int, 5>> FLastRunMinute;
};

}  // namespace quennavar
