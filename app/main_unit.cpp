#include "app/main_unit.h"

#include "app/actions.h"
#include "app/placement.h"
#include "system/version.h"

namespace quennavar {
using namespace control;  // the controls by their names
namespace {

constexpr std::uint32_t kFormStyle = kWsCaption | kWsSysMenu;
constexpr int kMenuBottomMargin = 30;
constexpr int kDoubleClickBottomMargin = 31;
constexpr std::uintptr_t kActionTimerId = 1;
constexpr std::uint32_t kActionTimerInterval = 10'000;

}  // namespace

TShutDownForm::TShutDownForm(ActionContext& context, TApplication& application)
    : BaseWindow(context.os),
      FContext(context),
      FApplication(application),
      FSettingsFile(context.os, context.programPath),
      FScale(ScreenScale(context.os)),
      FTrayPopupMenu(context.os, FScale),
      FControls(context.os, FScale),
      FTrayIcon(context.os, kProgramName, WM_TRAYNOTIFY),
      FDailyWarning(context, FTrayIcon) {
  Rect outer = ClientArea(FScale);
  FOs.AdjustWindowRectEx(outer, kFormStyle, false, kWsExLayered);
  Create(kWsExLayered, kProgramName, kFormStyle, outer.right - outer.left, outer.bottom - outer.top,
         application.Handle());
  application.SetMainWindow(Handle(), *this);
  SetOpacity(FOs, Handle(), 255);  // a layered window stays invisible until given an opacity
  // Explorer announces a new taskbar with this message; the icon must follow.
  // Started as administrator, the program must let it in from Explorer,
  // which runs with less: otherwise Windows holds it back, and the icon is
  // gone for good once Explorer restarts.
  FTaskbarCreated = FOs.RegisterWindowMessageA("TaskbarCreated");
  if (FTaskbarCreated != 0 &&
      !FOs.ChangeWindowMessageFilterEx(Handle(), FTaskbarCreated, kMsgfltAllow))
    FOs.ChangeWindowMessageFilter(FTaskbarCreated, kMsgfltAdd);  // Vista
}

void TShutDownForm::FormCreate() {
  AddToTray();
  PlaceAboveTaskbar(FOs, Handle(), kMenuBottomMargin);
  try {
    LoadSettings();
  } catch (const Exception& error) {
    // The window still comes up, with its controls as first drawn.
    FApplication.ShowException(error);
    return;
  }
  FSettingsAtStart = FSettings;
  EnableActionTimer(FSettings.FTimerEnable);
}

std::intptr_t TShutDownForm::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                           std::intptr_t lParam) {
  switch (message) {
    case WM_TRAYNOTIFY:
      TrayNotify(static_cast<std::uint32_t>(lParam));
      break;
    case kWmCommand:
      if (lParam == 0)
        MenuCommand(static_cast<std::uint32_t>(wParam & 0xFFFF));
      else if (((wParam >> 16) & 0xFFFF) == kBnClicked)
        ControlCommand(static_cast<std::uint32_t>(wParam & 0xFFFF));
      break;
    case kWmNotify: {
      const auto* header = reinterpret_cast<const NotifyHeader*>(lParam);
      if (header->idFrom == DateTimePicker && header->code == kDtnDateTimeChange)
        DateTimePickerChange();
      break;
    }
    case kWmTimer:
      if (wParam == kActionTimerId) ActionTimerTimer();
      return 0;
    case kWmShowWindow:
      if (wParam) FormShow();
      break;
    case kWmCtlColorStatic:
      if (FControls.Navy(static_cast<HWnd>(lParam)))
        return FControls.NavyLabelColours(static_cast<HDc>(wParam));
      break;
    case kWmClose:
      // The message loop ends; the icon goes before the window does.
      FOs.PostQuitMessage(0);
      return 0;
    case kWmQueryEndSession:
      return 1;
    case kWmEndSession:
      // Asked to close, as Windows Installer asks a program that holds a
      // file it must replace or remove: the program ends, its icon first.
      if (wParam && (lParam & kEndSessionCloseApp)) FOs.PostQuitMessage(0);
      return 0;
    case kWmSettingChange:
      FContext.regional = ReadRegionalSettings(FOs);
      FDailyWarning.Schedule(FSettings, FActionTimerEnabled);  // the tip's time in the new format
      if (FControls.Created()) FControls.ShowPickerFormat(FContext.regional.shortTimeFormat);
      break;
    default:
      if (message == FTaskbarCreated && FTaskbarCreated != 0) FTrayIcon.AddAgain(Handle());
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

// --- Settings file ---

// The tip and the warning tell what the timer will run, also where a
// "Time" that does not read left the keys before it read.
void TShutDownForm::LoadSettings() {
  try {
    FSettingsFile.Load(FContext.regional, FSettings);
  } catch (const Exception&) {
    FDailyWarning.Schedule(FSettings, FActionTimerEnabled);
    throw;
  }
  FDailyWarning.Schedule(FSettings, FActionTimerEnabled);
}

void TShutDownForm::SaveSettings() { FSettingsFile.Save(FContext.regional, FControls.Choice()); }

// --- Controls ---

void TShutDownForm::ControlCommand(std::uint32_t id) {
  if (ActionOfRadio(id)) return rbLogoffClick();
  switch (id) {
    case cbForceterminate:
      return cbForceterminateClick();
    case rgOptionsShowWindow:
    case rgOptionsDoAction:
      return rgOptionsClick();
    case cbTimerEnabled:
      return cbTimerEnabledClick();
    case btnReboot:
      return btnRebootClick();
    case btnHide:
      return btnHideClick();
    default:
      return;
  }
}

// Every action radio button shares this handler.
void TShutDownForm::rbLogoffClick() { SaveSettings(); }

void TShutDownForm::cbForceterminateClick() {
  FSettingsFile.WriteYesNo("Terminate", Checked(cbForceterminate));
}

void TShutDownForm::rgOptionsClick() {
  FSettingsFile.WriteYesNo("ShowOnClick", Checked(rgOptionsShowWindow));
}

void TShutDownForm::cbTimerEnabledClick() {
  bool enabled = Checked(cbTimerEnabled);
  FControls.Enable(DateTimePicker, enabled);
  EnableActionTimer(enabled);
  FSettingsFile.WriteYesNo("TimerEnable", enabled);
  FSettingsFile.Write("Time", StoredTimeText(FContext.regional, FControls.PickerTime()));
}

void TShutDownForm::DateTimePickerChange() {
  FSettingsFile.Write("Time", StoredTimeText(FContext.regional, FControls.PickerTime()));
}

void TShutDownForm::btnRebootClick() {
  LoadSettings();
  RunStoredAction();
}

void TShutDownForm::btnHideClick() {
  SaveSettings();
  LoadSettings();
  FApplication.Minimize();
}

// The controls are built when the window is first shown, not at start: a tray
// program that is never opened needs neither the common controls nor fonts.
// They show the settings as read at start.
void TShutDownForm::FormShow() {
  if (!FControls.Created()) {
    FControls.Create(Handle());
    FControls.ShowPickerFormat(FContext.regional.shortTimeFormat);
    if (FSettingsAtStart) FControls.Show(*FSettingsAtStart, FContext.programPath);
  }
  HideApplicationWindow();
}

// --- Action timer ---

void TShutDownForm::EnableActionTimer(bool enabled) {
  if (enabled)
    FOs.SetTimer(Handle(), kActionTimerId, kActionTimerInterval);
  else
    FOs.KillTimer(Handle(), kActionTimerId);
  FActionTimerEnabled = enabled;
  FDailyWarning.Schedule(FSettings, enabled);
}

// Compares with the time as last loaded; the settings file is not read on a tick.
void TShutDownForm::ActionTimerTimer() {
  SystemTime now;
  FOs.GetLocalTime(now);
  std::optional<RunMinute> due = DueMinute(now, FSettings.FActionTime, FLastRunMinute);
  FDailyWarning.Tick(now, FSettings);
  if (!due) return;
  FLastRunMinute = due;
  if (FDailyWarning.TakeRun(now, FSettings)) RunStoredAction();
}

// --- Tray icon ---

void TShutDownForm::AddToTray() { FTrayIcon.Add(Handle()); }

void TShutDownForm::TrayNotify(std::uint32_t mouseMessage) {
  if (mouseMessage == kWmLButtonDblClk) {
    LoadSettings();
    if (FSettings.FShowOnClick)
      ShowSettingsWindow(kDoubleClickBottomMargin, false);
    else
      RunStoredAction();
  } else if (mouseMessage == kWmRButtonDown) {
    PopUpTrayMenu();
  } else if (mouseMessage == kNinBalloonUserClick) {
    FDailyWarning.BalloonClicked(FSettings);
  } else if (mouseMessage == kNinBalloonTimeout || mouseMessage == kNinBalloonHide) {
    FDailyWarning.BalloonGone();
  }
}

void TShutDownForm::PopUpTrayMenu() {
  FTrayPopupMenu.FillOnce();
  Point cursor;
  FOs.GetCursorPos(cursor);
  // Without it the menu would not close when the user clicks elsewhere.
  FOs.SetForegroundWindow(Handle());
  TrayPopupMenuPopup();
  FTrayPopupMenu.Track(cursor, Handle());
}

void TShutDownForm::RunStoredAction() {
  if (const ActionDescription* action = ActionOfKeyword(FSettings.FAction))
    RunFromTray(FContext, *action, FSettings.FForceTerminate);
}

// --- Tray menu ---

// Greyed: the suspend and hibernation the machine does not allow; the other
// items are never greyed, and so never touched. Checked: the stored action;
// one in the wrong case matches no item and changes no mark.
void TShutDownForm::TrayPopupMenuPopup() {
  for (const ActionDescription& action : kActions)
    if (action.kind == ActionKind::Suspend || action.kind == ActionKind::Hibernate)
      FTrayPopupMenu.Enable(action.menuItem, RunsFromTray(FOs, action));
  LoadSettings();
  FTrayPopupMenu.Check(miForceterminate, FSettings.FForceTerminate);
  const ActionDescription* stored = ActionOfKeyword(FSettings.FAction);
  if (!stored) return;
  for (const ActionDescription& action : kActions)
    FTrayPopupMenu.Check(action.menuItem, &action == stored);
}

void TShutDownForm::MenuCommand(std::uint32_t id) {
  static const std::pair<TrayCommand, void (TShutDownForm::*)()> kHandlers[] = {
      {miLogoff, &TShutDownForm::miLogoffClick},
      {miLock, &TShutDownForm::miLockClick},
      {miReboot, &TShutDownForm::miRebootClick},
      {miPoweroff, &TShutDownForm::miPoweroffClick},
      {miShutdown, &TShutDownForm::miShutdownClick},
      {miSuspend, &TShutDownForm::miSuspendClick},
      {miHibernate, &TShutDownForm::miHibernateClick},
      {miForceterminate, &TShutDownForm::miForceterminateClick},
      {miShow, &TShutDownForm::miShowClick},
      {miExit, &TShutDownForm::miExitClick}};
  for (const auto& [item, handler] : kHandlers)
    if (item == id) return (this->*handler)();
}

// With the menu's own force mark, which a pop-up set from the settings.
void TShutDownForm::RunMenuAction(TrayCommand item) {
  RunFromTray(FContext, *ActionOfMenuItem(item), FTrayPopupMenu.Checked(miForceterminate));
}

void TShutDownForm::miLogoffClick() { RunMenuAction(miLogoff); }
void TShutDownForm::miLockClick() { RunMenuAction(miLock); }
void TShutDownForm::miRebootClick() { RunMenuAction(miReboot); }
void TShutDownForm::miPoweroffClick() { RunMenuAction(miPoweroff); }
void TShutDownForm::miShutdownClick() { RunMenuAction(miShutdown); }
void TShutDownForm::miSuspendClick() { RunMenuAction(miSuspend); }
void TShutDownForm::miHibernateClick() { RunMenuAction(miHibernate); }

// Only the mark flips: the next pop-up shows the stored "Terminate" again.
void TShutDownForm::miForceterminateClick() {
  FTrayPopupMenu.Check(miForceterminate, !FTrayPopupMenu.Checked(miForceterminate));
}

void TShutDownForm::miShowClick() { ShowSettingsWindow(kMenuBottomMargin, true); }

void TShutDownForm::miExitClick() { FOs.PostMessageA(Handle(), kWmClose, 0, 0); }

// --- Placement and fade ---

void TShutDownForm::HideApplicationWindow() { FOs.ShowWindow(FApplication.Handle(), kSwHide); }

// Only on XP: a cosmetic touch of that system's era.
bool TShutDownForm::Fades() {
  return FOs.CharLowerBuffA(FSettingsFile.Read("UseAlphaBlend", kYes)) == "yes" && IsWindowsXP(FOs);
}

// Restoring fades in only a minimized application. Where asked, it starts
// transparent, so that the window never shows opaque before its fade;
// unless a fade runs, which goes on rising.
void TShutDownForm::ShowSettingsWindow(int bottomMargin, bool fromTransparent) {
  PlaceAboveTaskbar(FOs, Handle(), bottomMargin);
  if (fromTransparent && !FFading && FApplication.Minimized() && Fades())
    SetOpacity(FOs, Handle(), 0);
  FApplication.Restore();
  FApplication.BringToFront();
  HideApplicationWindow();
}

// The fade handles messages between its steps, so a restore may reach here
// again while it runs ("Hide to tray", then "Show settings" or a
// double-click): the running fade goes on to opaque, and no second one
// starts inside it. Its loop relies on what it handles leaving the form
// whole: no handler destroys the window; closing it only posts the end of
// the message loop.
void TShutDownForm::FadeIn() {
  HideApplicationWindow();
  if (FFading || !Fades()) return;
  FFading = true;
  struct Done {
    bool& fading;
    ~Done() { fading = false; }
  } done{FFading};
  FadeInWindow(FOs, Handle(), FApplication.Handle());
}

}  // namespace quennavar
