#include "app/main_unit.h"

#include <tuple>

#include "app/quennavar.h"
#include "system/hex_text.h"

namespace quennavar {
using namespace control;  // the controls by their names; the label is control::Quennavar
namespace {

constexpr int kClientWidth = 169;
constexpr int kClientHeight = 268;
constexpr std::uint32_t kFormStyle = kWsCaption | kWsSysMenu;
constexpr int kRightMargin = 5;
constexpr int kMenuBottomMargin = 30;
constexpr int kDoubleClickBottomMargin = 31;
constexpr std::size_t kTipLength = 63;
constexpr std::uintptr_t kActionTimerId = 1;
constexpr std::uint32_t kActionTimerInterval = 10'000;
constexpr std::uint32_t kIccDateClasses = 0x100;
constexpr TimeOfDay kPickerStartTime{11, 53, 0, 0};

constexpr std::uint32_t kBsPushButton = 0x0;
constexpr std::uint32_t kBsAutoCheckBox = 0x3;
constexpr std::uint32_t kBsAutoRadioButton = 0x9;
constexpr std::uint32_t kBsGroupBox = 0x7;
constexpr std::uint32_t kSsLeft = 0x0;
constexpr std::uint32_t kSsIcon = 0x3;
constexpr std::uint32_t kDtsTimeFormat = 0x9;
constexpr std::uint32_t kTtsAlwaysTip = 0x1;
constexpr std::uint32_t kStmSetIcon = 0x0170;

// The radio buttons of the stored action, in the order a save looks at them.
constexpr std::pair<ControlId, const char*> kActionRadios[] = {
    {rbLogoff, kLogoff},      {rbPoweroff, kPoweroff}, {rbReboot, kReboot},
    {rbShutdown, kShutdown},  {rbSuspend, kSuspend},   {rbLock, kLock},
    {rbHibernate, kHibernate}};

struct ControlClass {
  const char* className;
  std::uint32_t style;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::GroupBox:
      return {"BUTTON", kBsGroupBox};
    case ControlKind::Icon:
      return {"STATIC", kSsIcon};
    case ControlKind::Label:
    case ControlKind::BoldLabel:
      return {"STATIC", kSsLeft};
    case ControlKind::RadioButton:
      return {"BUTTON", kBsAutoRadioButton};
    case ControlKind::CheckBox:
      return {"BUTTON", kBsAutoCheckBox};
    case ControlKind::TimePicker:
      return {"SysDateTimePick32", kDtsTimeFormat};
    case ControlKind::Button:
      return {"BUTTON", kBsPushButton};
  }
  return {"STATIC", 0};
}

const ControlDescription& DescriptionOf(ControlId id) {
  for (const ControlDescription& control : kSettingsWindow)
    if (control.id == id) return control;
  return kSettingsWindow[0];
}

// "QUENNAVAR.EXE" in a folder gives "Quennavar", "quennavar.exe" "quennavar":
// the first letter stays as it is. The name is lowered whole, so that the
// system sees the code page's double-byte characters as characters, not as
// bytes; then the first byte is put back.
std::string TitleOf(Platform& os, const std::string& programPath) {
  std::size_t slash = programPath.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
  name = name.substr(0, name.rfind('.'));
  if (name.empty()) return name;
  std::string title = os.CharLowerBuffA(name);
  title[0] = name[0];
  return title;
}

// The exit actions, all alike but for their flags and event.
using ExitAction = void (*)(const ActionContext&, bool);

}  // namespace

// --- The application ---

TApplication::TApplication(Platform& os, std::string programPath)
    : os_(os),
      FTitle(TitleOf(os, programPath)),
      FHandle(os, os.CreateWindowExA(0, kProgramName, kWsPopup, 0, 0, 0, 0, HWnd::Null, *this)) {}

void TApplication::Minimize() {
  os_.ShowWindow(FMainWindow, kSwHide);
  FMinimized = true;
  if (OnMinimize) OnMinimize();
}

void TApplication::Restore() {
  if (!FMinimized) return;
  os_.ShowWindow(FMainWindow, kSwShowNormal);
  FMinimized = false;
  if (OnRestore) OnRestore();
}

void TApplication::BringToFront() { os_.SetForegroundWindow(FMainWindow); }

int TApplication::Run() { return os_.RunMessageLoop(); }

void TApplication::ShowException(const Exception& error) {
  os_.MessageBoxA(FHandle.get(), error.Message() + FullStopFor(error.Message()), FTitle,
                  kMbOk | kMbIconStop);
}

std::intptr_t TApplication::WindowProc(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
  return os_.DefWindowProcA(window, message, wParam, lParam);
}

// --- The settings window ---

TShutDownForm::TShutDownForm(const ActionContext& context, RegionalSettings& regional,
                             TApplication& application)
    : context_(context),
      os_(context.os),
      regional_(regional),
      FApplication(application),
      FSettingsFile(context.os, context.programPath),
      FHandle(context.os, HWnd::Null),
      FTrayPopupMenu(context.os, context.os.CreatePopupMenu()),
      FFont(context.os, HFont::Null),
      FBoldFont(context.os, HFont::Null) {
  Rect outer{0, 0, kClientWidth, kClientHeight};
  os_.AdjustWindowRectEx(outer, kFormStyle, false, kWsExLayered);
  FHandle =
      UniqueWindow(os_, os_.CreateWindowExA(kWsExLayered, kProgramName, kFormStyle, 0, 0,
                                            outer.right - outer.left, outer.bottom - outer.top,
                                            application.Handle(), *this));
  application.SetMainWindow(FHandle.get());
  SetOpacity(255);  // a layered window stays invisible until given an opacity
  // Explorer announces a new taskbar with this message; the icon must follow.
  FTaskbarCreated = os_.RegisterWindowMessageA("TaskbarCreated");
}

TShutDownForm::~TShutDownForm() { RemoveFromTray(); }

void TShutDownForm::FormCreate() {
  FApplication.OnMinimize = [this] { HideApplicationWindow(); };
  FApplication.OnRestore = [this] { FadeIn(); };
  AddToTray();
  PlaceWindow(kMenuBottomMargin);
  try {
    LoadSettings();
  } catch (const Exception& error) {
    // The window still comes up, with its controls as first drawn.
    FApplication.ShowException(error);
    return;
  }
  FSettingsAtStart = static_cast<const SettingsRecord&>(*this);
  EnableActionTimer(FTimerEnable);
}

// The controls are built when the window is first shown, not at start: a tray
// program that is never opened needs neither the common controls nor fonts.
// They show the settings as read at start.
void TShutDownForm::CreateControlsOnce() {
  if (!FControls.empty()) return;
  CreateControls();
  if (FSettingsAtStart) ShowSettings(*FSettingsAtStart);
}

// Only what the window shows is set up: nothing is stored.
void TShutDownForm::ShowSettings(const SettingsRecord& settings) {
  CheckRadio(settings.FShowOnClick ? rgOptionsShowWindow : rgOptionsDoAction);
  // The four exit actions are offered everywhere; the others only where allowed.
  for (const auto& [radio, keyword] :
       {std::pair{rbLogoff, kLogoff}, std::pair{rbPoweroff, kPoweroff},
        std::pair{rbReboot, kReboot}, std::pair{rbShutdown, kShutdown}})
    if (settings.FAction == keyword) CheckRadio(radio);
  const std::tuple<ControlId, bool, const char*> kLimitedActions[] = {
      {rbLock, IsWindowsNT(os_), kLock},
      {rbSuspend, CanSuspend(os_), kSuspend},
      {rbHibernate, CanHibernate(os_), kHibernate}};
  for (const auto& [radio, allowed, keyword] : kLimitedActions) {
    os_.EnableWindow(Control(radio), allowed);
    if (allowed && settings.FAction == keyword) CheckRadio(radio);
  }
  SetChecked(cbForceterminate, settings.FForceTerminate);
  SetChecked(cbTimerEnabled, settings.FTimerEnable);
  os_.EnableWindow(Control(DateTimePicker), settings.FTimerEnable);
  ShowPickerTime(settings.FActionTime);
  ShowVersion();
}

void TShutDownForm::CreateControls() {
  FFont = UniqueFont(os_, os_.CreateFontA(kFontHeight, kFwNormal, kFontName));
  FBoldFont = UniqueFont(os_, os_.CreateFontA(kFontHeight, kFwBold, kFontName));
  os_.InitCommonControlsEx(kIccDateClasses);
  HWnd tooltip = os_.CreateWindowExA(0, "tooltips_class32", "", kWsPopup | kTtsAlwaysTip, 0, 0, 0,
                                     0, Handle(), 0);
  for (const ControlDescription& control : kSettingsWindow) {
    ControlClass kind = ClassOf(control.kind);
    int left = control.left;
    int top = control.top;
    if (control.parent != NoControl) {
      left += DescriptionOf(control.parent).left;
      top += DescriptionOf(control.parent).top;
    }
    std::uint32_t style = kWsChild | kWsVisible | kind.style;
    if (control.startsGroup) style |= kWsGroup | kWsTabStop;
    const char* caption = control.kind == ControlKind::Icon ? "" : control.caption;
    HWnd window = os_.CreateWindowExA(0, kind.className, caption, style, left, top, control.width,
                                      control.height, Handle(), control.id);
    FControls[control.id] = window;
    HFont font = control.kind == ControlKind::BoldLabel ? FBoldFont.get() : FFont.get();
    os_.SendMessageA(window, kWmSetFont, static_cast<std::uintptr_t>(font), 0);
    if (control.kind == ControlKind::Icon)
      os_.SendMessageA(window, kStmSetIcon,
                       static_cast<std::uintptr_t>(os_.LoadImageA(control.caption, 32, 32)), 0);
    if (control.hint) os_.AddTool(tooltip, Handle(), window, control.hint);
  }
  CheckRadio(rbShutdown);
  CheckRadio(rgOptionsShowWindow);
  ShowPickerTime(EncodeTime(kPickerStartTime));
}

std::intptr_t TShutDownForm::WindowProc(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  try {
    switch (message) {
      case WM_TRAYNOTIFY:
        TrayNotify(static_cast<std::uint32_t>(lParam));
        break;
      case kWmCommand:
        if (lParam == 0)
          MenuCommand(static_cast<std::uint32_t>(wParam & 0xFFFF));
        else if ((wParam >> 16) == kBnClicked)
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
      case kWmCtlColorStatic: {
        auto label = static_cast<HWnd>(lParam);
        if (label != HWnd::Null &&
            (label == Control(control::Quennavar) || label == Control(VerInfoLabel)))
          return LabelColours(label, static_cast<HDc>(wParam));
        break;
      }
      case kWmClose:
        // The message loop ends; the icon goes before the window does.
        os_.PostQuitMessage(0);
        return 0;
      case kWmQueryEndSession:
        return 1;
      case kWmSettingChange:
        regional_ = ReadRegionalSettings(os_);
        break;
      default:
        if (message == FTaskbarCreated && FTaskbarCreated != 0) TaskbarCreated();
        break;
    }
  } catch (const Exception& error) {
    FApplication.ShowException(error);
  }
  return os_.DefWindowProcA(window, message, wParam, lParam);
}

// --- Settings file ---

void TShutDownForm::LoadSettings() { FSettingsFile.Load(regional_, *this); }

void TShutDownForm::SaveSettings() {
  SettingsChoice choice;
  for (const auto& [radio, keyword] : kActionRadios)
    if (!choice.action && Checked(radio)) choice.action = keyword;
  choice.timerEnabled = Checked(cbTimerEnabled);
  choice.showWindowOnClick = Checked(rgOptionsShowWindow);
  choice.time = PickerTime();
  FSettingsFile.Save(regional_, choice);
}

// --- Controls ---

bool TShutDownForm::Checked(ControlId id) const {
  return os_.SendMessageA(Control(id), kBmGetCheck, 0, 0) == kBstChecked;
}

void TShutDownForm::SetChecked(ControlId id, bool checked) {
  os_.SendMessageA(Control(id), kBmSetCheck, checked ? kBstChecked : 0, 0);
}

void TShutDownForm::CheckRadio(ControlId id) {
  ControlId group = DescriptionOf(id).parent;
  for (const ControlDescription& control : kSettingsWindow)
    if (control.kind == ControlKind::RadioButton && control.parent == group)
      SetChecked(control.id, control.id == id);
}

void TShutDownForm::ControlCommand(std::uint32_t id) {
  for (const auto& [radio, keyword] : kActionRadios)
    if (radio == id) return rbLogoffClick();
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

void TShutDownForm::rbLogoffClick() { SaveSettings(); }

void TShutDownForm::cbForceterminateClick() {
  FSettingsFile.WriteYesNo("Terminate", Checked(cbForceterminate));
}

void TShutDownForm::rgOptionsClick() {
  FSettingsFile.WriteYesNo("ShowOnClick", Checked(rgOptionsShowWindow));
}

void TShutDownForm::cbTimerEnabledClick() {
  bool enabled = Checked(cbTimerEnabled);
  os_.EnableWindow(Control(DateTimePicker), enabled);
  EnableActionTimer(enabled);
  FSettingsFile.WriteYesNo("TimerEnable", enabled);
  FSettingsFile.Write("Time", StoredTimeText(regional_, PickerTime()));
}

void TShutDownForm::DateTimePickerChange() {
  FSettingsFile.Write("Time", StoredTimeText(regional_, PickerTime()));
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

void TShutDownForm::FormShow() {
  CreateControlsOnce();
  HideApplicationWindow();
}

DayFraction TShutDownForm::PickerTime() const {
  SystemTime time;
  os_.DateTimeGetSystemTime(Control(DateTimePicker), time);
  return EncodeTime({time.wHour, time.wMinute, time.wSecond, 0});
}

void TShutDownForm::ShowPickerTime(DayFraction time) {
  SystemTime shown;
  os_.GetLocalTime(shown);  // the picker wants a whole date; only its time shows
  TimeOfDay t = DecodeTime(time);
  shown.wHour = static_cast<std::uint16_t>(t.hour);
  shown.wMinute = static_cast<std::uint16_t>(t.minute);
  shown.wSecond = static_cast<std::uint16_t>(t.second);
  shown.wMilliseconds = 0;
  os_.DateTimeSetSystemTime(Control(DateTimePicker), shown);
}

void TShutDownForm::ShowVersion() {
  std::string fileName = context_.programPath.substr(context_.programPath.find_last_of("\\/:") + 1);
  std::uint32_t size = os_.GetFileVersionInfoSizeA(fileName);
  std::vector<std::uint8_t> block;
  if (size == 0 || !os_.GetFileVersionInfoA(fileName, size, block)) return;
  std::vector<std::uint8_t> translation;
  if (!os_.VerQueryValueA(block, "\\VarFileInfo\\Translation", translation) ||
      translation.size() < 4)
    return;
  std::uint32_t entry = translation[0] | translation[1] << 8 | translation[2] << 16 |
                        static_cast<std::uint32_t>(translation[3]) << 24;
  std::string language = HexText((entry & 0xFFFF) * 65536 + (entry >> 16), 8);
  std::vector<std::uint8_t> version;
  if (!os_.VerQueryValueA(block, std::string("\\StringFileInfo\\") + language + "\\FileVersion",
                          version))
    return;
  std::string text(version.begin(), version.end());
  os_.SetWindowTextA(Control(VerInfoLabel), text.substr(0, text.find('\0')));
}

std::intptr_t TShutDownForm::LabelColours(HWnd, HDc dc) {
  os_.SetTextColor(dc, kNavy);
  os_.SetBkMode(dc, kTransparent);
  return os_.GetSysColorBrush(kColorBtnFace);
}

// --- Action timer ---

void TShutDownForm::EnableActionTimer(bool enabled) {
  if (enabled)
    os_.SetTimer(Handle(), kActionTimerId, kActionTimerInterval);
  else
    os_.KillTimer(Handle(), kActionTimerId);
  FActionTimerEnabled = enabled;
}

// Compares hour and minute with the time as last loaded; the settings file
// is not read on a tick.
void TShutDownForm::ActionTimerTimer() {
  SystemTime now;
  os_.GetLocalTime(now);
  TimeOfDay due = DecodeTime(FActionTime);
  if (now.wHour != due.hour || now.wMinute != due.minute) return;
  // Once in the minute: ticks that follow, or a suspend that returns within
  // it, must not act again. The next day it runs again.
  std::array<int, 5> minute{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
  if (FLastRunMinute == minute) return;
  FLastRunMinute = minute;
  RunStoredAction();
}

// --- Tray icon ---

void TShutDownForm::UpdateNotifyData() {
  FNotifyData.cbSize = kNotifyIconDataV1Size;
  FNotifyData.hWnd = Handle();
  FNotifyData.uID = 0;
  FNotifyData.uFlags = kNifMessage | kNifIcon | kNifTip;
  FNotifyData.uCallbackMessage = WM_TRAYNOTIFY;
  FNotifyData.hIcon = os_.LoadIconA("MAINICON");
  FNotifyData.szTip = FTrayHint.substr(0, FTrayHint.find('|')).substr(0, kTipLength);
}

void TShutDownForm::AddToTray() {
  // Shells before Windows 95 and NT 4 have no notification area.
  OsVersionInfo version;
  os_.GetVersionExA(version);
  if (version.dwMajorVersion < 4) return;
  FTrayHint = kProgramName;
  UpdateNotifyData();
  FInTray = os_.Shell_NotifyIconA(kNimAdd, FNotifyData);
}

// A shell that announces a new taskbar may still show the old icon; then the
// add fails, and the icon must still be removed at exit.
void TShutDownForm::TaskbarCreated() {
  bool wasInTray = FInTray;
  AddToTray();
  FInTray = FInTray || wasInTray;
}

void TShutDownForm::RemoveFromTray() {
  if (Handle() != HWnd::Null && FInTray) {
    os_.Shell_NotifyIconA(kNimDelete, FNotifyData);
    FInTray = false;
  }
}

void TShutDownForm::TrayNotify(std::uint32_t mouseMessage) {
  if (mouseMessage == kWmLButtonDblClk) {
    LoadSettings();
    if (FShowOnClick) {
      PlaceWindow(kDoubleClickBottomMargin);
      FApplication.Restore();
      FApplication.BringToFront();
      HideApplicationWindow();
    } else {
      RunStoredAction();
    }
  } else if (mouseMessage == kWmRButtonDown) {
    PopUpTrayMenu();
  }
}

// Filled when first needed, like the window's controls, so that the icon
// shows sooner.
void TShutDownForm::FillTrayMenuOnce() {
  if (FTrayMenuFilled) return;
  FTrayMenuFilled = true;
  // A checked action item shows its mark in place of its picture, and every
  // caption starts at the same place.
  os_.SetMenuInfo(FTrayPopupMenu.get(), kMnsCheckOrBmp);
  for (const TrayMenuItem& item : kTrayMenu) {
    if (!item.caption) {
      os_.AppendMenuA(FTrayPopupMenu.get(), kMfSeparator, 0, "");
      continue;
    }
    os_.AppendMenuA(FTrayPopupMenu.get(), kMfString, item.id, item.caption);
    if (item.bitmap) {
      FMenuBitmaps.emplace_back(os_, os_.LoadBitmapA(item.bitmap));
      os_.SetMenuItemBitmap(FTrayPopupMenu.get(), item.id, FMenuBitmaps.back().get());
    }
  }
}

void TShutDownForm::PopUpTrayMenu() {
  FillTrayMenuOnce();
  Point cursor;
  os_.GetCursorPos(cursor);
  // Without it the menu would not close when the user clicks elsewhere.
  os_.SetForegroundWindow(Handle());
  TrayPopupMenuPopup();
  os_.TrackPopupMenu(FTrayPopupMenu.get(), kTpmLeftAlign | kTpmRightButton, cursor.x, cursor.y,
                     Handle());
  os_.PostMessageA(Handle(), kWmNull, 0, 0);
}

void TShutDownForm::RunStoredAction() {
  static const std::pair<const char*, ExitAction> kExitActions[] = {
      {kLogoff, DoLogoff}, {kPoweroff, DoPoweroff}, {kReboot, DoReboot}, {kShutdown, DoShutdown}};
  for (const auto& [keyword, action] : kExitActions)
    if (FAction == keyword) return action(context_, FForceTerminate);
  if (FAction == kSuspend) {
    if (CanSuspend(os_)) DoSuspend(context_, false);
  } else if (FAction == kHibernate) {
    if (CanHibernate(os_)) DoHibernate(context_, false);
  } else if (FAction == kLock) {
    DoLock(context_);
  }
}

// --- Tray menu ---

void TShutDownForm::CheckMenu(TrayCommand item, bool checked) {
  FMenuChecked[item] = checked;
  os_.CheckMenuItem(FTrayPopupMenu.get(), item,
                    kMfByCommand | (checked ? kMfChecked : kMfUnchecked));
}

bool TShutDownForm::MenuChecked(TrayCommand item) const {
  auto found = FMenuChecked.find(item);
  return found != FMenuChecked.end() && found->second;
}

void TShutDownForm::TrayPopupMenuPopup() {
  os_.EnableMenuItem(FTrayPopupMenu.get(), miSuspend,
                     kMfByCommand | (CanSuspend(os_) ? kMfEnabled : kMfGrayed));
  os_.EnableMenuItem(FTrayPopupMenu.get(), miHibernate,
                     kMfByCommand | (CanHibernate(os_) ? kMfEnabled : kMfGrayed));
  LoadSettings();
  CheckMenu(miForceterminate, FForceTerminate);

  static const std::pair<TrayCommand, const char*> kActionItems[] = {
      {miLogoff, kLogoff},      {miLock, kLock},         {miReboot, kReboot},
      {miPoweroff, kPoweroff},  {miShutdown, kShutdown}, {miSuspend, kSuspend},
      {miHibernate, kHibernate}};
  bool known = false;
  for (const auto& [item, keyword] : kActionItems) known = known || FAction == keyword;
  // A stored action in the wrong case matches no item and changes no mark.
  if (!known) return;
  for (const auto& [item, keyword] : kActionItems) CheckMenu(item, FAction == keyword);
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

void TShutDownForm::miLogoffClick() { DoLogoff(context_, MenuChecked(miForceterminate)); }
void TShutDownForm::miLockClick() { DoLock(context_); }
void TShutDownForm::miRebootClick() { DoReboot(context_, MenuChecked(miForceterminate)); }
void TShutDownForm::miPoweroffClick() { DoPoweroff(context_, MenuChecked(miForceterminate)); }
void TShutDownForm::miShutdownClick() { DoShutdown(context_, MenuChecked(miForceterminate)); }

void TShutDownForm::miSuspendClick() {
  if (CanSuspend(os_)) DoSuspend(context_, false);
}

void TShutDownForm::miHibernateClick() {
  if (CanHibernate(os_)) DoHibernate(context_, false);
}

// Only the mark flips: the next pop-up shows the stored "Terminate" again.
void TShutDownForm::miForceterminateClick() {
  CheckMenu(miForceterminate, !MenuChecked(miForceterminate));
}

void TShutDownForm::miShowClick() {
  PlaceWindow(kMenuBottomMargin);
  // Restoring fades in only a minimized application: start it transparent.
  if (FApplication.Minimized() && UseAlphaBlend() && IsWindowsXP(os_)) SetOpacity(0);
  FApplication.Restore();
  FApplication.BringToFront();
  HideApplicationWindow();
}

void TShutDownForm::miExitClick() { os_.PostMessageA(Handle(), kWmClose, 0, 0); }

// --- Placement ---

void TShutDownForm::PlaceWindow(int bottomMargin) {
  Rect outer;
  os_.GetWindowRect(Handle(), outer);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  os_.SetWindowPos(Handle(), HWnd::Null, os_.GetSystemMetrics(kSmCxScreen) - width - kRightMargin,
                   os_.GetSystemMetrics(kSmCyScreen) - height - bottomMargin, 0, 0,
                   kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
}

void TShutDownForm::HideApplicationWindow() { os_.ShowWindow(FApplication.Handle(), kSwHide); }

bool TShutDownForm::UseAlphaBlend() {
  return os_.CharLowerBuffA(FSettingsFile.Read("UseAlphaBlend", kYes)) == "yes";
}

void TShutDownForm::SetOpacity(std::uint8_t alpha) {
  os_.SetLayeredWindowAttributes(Handle(), 0, alpha, kLwaAlpha);
}

// Paced by painting and message processing alone; ticks and clicks are
// handled in the middle of it.
void TShutDownForm::FadeIn() {
  HideApplicationWindow();
  if (!UseAlphaBlend() || !IsWindowsXP(os_)) return;
  SetOpacity(0);
  for (int alpha = 0; alpha <= 255; ++alpha) {
    SetOpacity(static_cast<std::uint8_t>(alpha));
    HideApplicationWindow();
    // An opacity change alone leaves nothing to paint: every step repaints
    // the window and its controls itself.
    os_.RedrawWindow(Handle(), kRdwInvalidate | kRdwErase | kRdwAllChildren | kRdwUpdateNow);
    os_.ProcessMessages();
  }
}

}  // namespace quennavar
