#include "app/main_unit.h"

#include "app/quennavar.h"

namespace quennavar {
namespace {

constexpr int kClientWidth = 169;
constexpr int kClientHeight = 268;
constexpr std::uint32_t kFormStyle = kWsCaption | kWsSysMenu;
constexpr int kRightMargin = 5;
constexpr int kMenuBottomMargin = 30;
constexpr int kDoubleClickBottomMargin = 31;
constexpr std::size_t kTipLength = 63;

// "QUENNAVAR.EXE" in a folder: "Quennavar".
std::string TitleOf(const std::string& programPath) {
  std::size_t slash = programPath.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
  name = name.substr(0, name.rfind('.'));
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (i == 0 && c >= 'a' && c <= 'z') name[i] = static_cast<char>(c - 32);
    if (i > 0 && c >= 'A' && c <= 'Z') name[i] = static_cast<char>(c + 32);
  }
  return name;
}

// Exit actions from the menu and the stored action share one table.
using ExitAction = void (*)(const ActionContext&, bool);

}  // namespace

// --- The application ---

TApplication::TApplication(Platform& os, std::string programPath)
    : os_(os),
      FTitle(TitleOf(programPath)),
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
      FTrayPopupMenu(context.os, context.os.CreatePopupMenu()) {
  Rect outer{0, 0, kClientWidth, kClientHeight};
  os_.AdjustWindowRectEx(outer, kFormStyle, false, 0);
  FHandle = UniqueWindow(
      os_, os_.CreateWindowExA(0, kProgramName, kFormStyle, 0, 0, outer.right - outer.left,
                               outer.bottom - outer.top, application.Handle(), *this));
  application.SetMainWindow(FHandle.get());
  // Explorer announces a new taskbar with this message; the icon must follow.
  FTaskbarCreated = os_.RegisterWindowMessageA("TaskbarCreated");

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
  }
}

std::intptr_t TShutDownForm::WindowProc(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  try {
    switch (message) {
      case WM_TRAYNOTIFY:
        TrayNotify(static_cast<std::uint32_t>(lParam));
        break;
      case kWmCommand:
        MenuCommand(static_cast<std::uint32_t>(wParam & 0xFFFF));
        break;
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
        if (message == FTaskbarCreated && FTaskbarCreated != 0) AddToTray();
        break;
    }
  } catch (const Exception& error) {
    FApplication.ShowException(error);
  }
  return os_.DefWindowProcA(window, message, wParam, lParam);
}

// --- Settings file ---

void TShutDownForm::LoadSettings() { FSettingsFile.Load(regional_, *this); }

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

void TShutDownForm::PopUpTrayMenu() {
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

void TShutDownForm::FadeIn() { HideApplicationWindow(); }

}  // namespace quennavar
