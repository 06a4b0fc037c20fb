#include "tests/recording_platform.h"

#include <algorithm>
#include <cstdio>

#include "tests/profile_file.h"

namespace quennavar::testing {
namespace {

constexpr std::uint32_t kErrorCannotFindWndClass = 1407;
constexpr std::uint32_t kStmSetIcon = 0x0170;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
std::string Bool(bool value) { return value ? "TRUE" : "FALSE"; }

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

constexpr std::uintptr_t kPowerLibraryHandle = 0x6C480000;
constexpr std::uintptr_t kCurrentProcess = ~std::uintptr_t{0};

}  // namespace

std::map<LocaleItem, std::string> RecordingPlatform::UsEnglish() {
  return {{LocaleItem::STime, ":"},  {LocaleItem::ITLZero, "0"},
          {LocaleItem::ITime, "0"},  {LocaleItem::ITimeMarkPosn, "0"},
          {LocaleItem::S1159, "AM"}, {LocaleItem::S2359, "PM"},
          {LocaleItem::SDate, "/"},  {LocaleItem::SShortDate, "M/d/yyyy"}};
}

std::vector<std::string> RecordingPlatform::Only(std::initializer_list<std::string> names) const {
  std::vector<std::string> kept;
  for (const std::string& call : calls) {
    std::string name = call.substr(0, call.find('('));
    if (std::find(names.begin(), names.end(), name) != names.end()) kept.push_back(call);
  }
  return kept;
}

std::uintptr_t RecordingPlatform::Open(const std::string& name) {
  std::uintptr_t handle = 0x100 * (FNames.size() + 1);
  FNames[handle] = name;
  FOpen.insert(name);
  return handle;
}

bool RecordingPlatform::Release(const std::string& name) { return FOpen.erase(name) == 1; }

std::string RecordingPlatform::NameOf(std::uintptr_t handle) const {
  auto found = FNames.find(handle);
  return found != FNames.end() ? found->second : handle == 0 ? "NULL" : Hex(handle);
}

std::string RecordingPlatform::GetCommandLineA() { return commandLine; }

std::string RecordingPlatform::GetModuleFileNameA() { return modulePath; }

Handle RecordingPlatform::GetCurrentProcess() {
  FNames[kCurrentProcess] = "process";
  return static_cast<Handle>(kCurrentProcess);
}

std::uint32_t RecordingPlatform::GetLastError() {
  Record("GetLastError() = " + std::to_string(FLastError));
  return FLastError;
}

std::string RecordingPlatform::FormatMessageA(std::uint32_t messageId) {
  return messageId == kErrorCannotFindWndClass ? "Cannot find window class."
                                               : "Error " + std::to_string(messageId) + ".";
}

bool RecordingPlatform::CloseHandle(Handle handle) {
  std::string name = NameOf(static_cast<std::uintptr_t>(handle));
  Record("CloseHandle(" + name + ")");
  return Release(name);
}

bool RecordingPlatform::GetVersionExA(OsVersionInfo& info) {
  info = version;
  return true;
}

void RecordingPlatform::GetLocalTime(SystemTime& time) { time = localTime; }

std::string RecordingPlatform::GetLocaleInfoA(LocaleItem item) {
  auto found = locale.find(item);
  return found != locale.end() ? found->second : "";
}

std::string RecordingPlatform::CharLowerBuffA(std::string text) {
  Record("CharLowerBuffA(" + Quoted(text) + ")");
  // Code page 1252: ASCII and the accented capitals from 0xC0 lower alike.
  for (char& c : text) {
    auto code = static_cast<unsigned char>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7))
      c = static_cast<char>(code + 0x20);
  }
  return text;
}

Module RecordingPlatform::LoadLibraryA(const std::string& fileName) {
  Record("LoadLibraryA(" + Quoted(fileName) + ")");
  if (!powerLibraryLoads || fileName != "powrprof.dll") return static_cast<Module>(2);
  FNames[kPowerLibraryHandle] = "powrprof";
  return static_cast<Module>(kPowerLibraryHandle);
}

Module RecordingPlatform::GetModuleHandleA(const std::string& moduleName) {
  Record("GetModuleHandleA(" + Quoted(moduleName) + ")");
  bool loaded = FNames.contains(kPowerLibraryHandle) && moduleName == "powrprof.dll";
  return static_cast<Module>(loaded ? kPowerLibraryHandle : 0);
}

ProcAddress RecordingPlatform::GetProcAddress(Module module, const std::string& procName) {
  Record("GetProcAddress(" + NameOf(static_cast<std::uintptr_t>(module)) + ", " + Quoted(procName) +
         ")");
  if (static_cast<std::uintptr_t>(module) != kPowerLibraryHandle ||
      missingEntries.contains(procName))
    return ProcAddress::Null;
  std::uintptr_t entry = kPowerLibraryHandle + 0x1000 + FNames.size();
  FNames[entry] = procName;
  return static_cast<ProcAddress>(entry);
}

bool RecordingPlatform::CallPowerQuery(ProcAddress query) {
  std::string name = NameOf(static_cast<std::uintptr_t>(query));
  Record(name + "()");
  return name == "IsPwrSuspendAllowed" ? suspendAllowed : hibernateAllowed;
}

bool RecordingPlatform::CallSetSuspendState(ProcAddress setSuspendState, bool hibernate,
                                            bool forceCritical, bool disableWakeEvent) {
  Record(NameOf(static_cast<std::uintptr_t>(setSuspendState)) + "(" + Bool(hibernate) + ", " +
         Bool(forceCritical) + ", " + Bool(disableWakeEvent) + ")");
  return setSuspendStateSucceeds;
}

bool RecordingPlatform::OpenProcessToken(Handle process, std::uint32_t desiredAccess,
                                         Handle& token) {
  Record("OpenProcessToken(" + NameOf(static_cast<std::uintptr_t>(process)) + ", " +
         Hex(desiredAccess) + ")");
  token = openTokenSucceeds ? static_cast<Handle>(Open("token")) : Handle::Null;
  return openTokenSucceeds;
}

bool RecordingPlatform::GetTokenInformation(Handle token, int informationClass,
                                            std::vector<std::uint8_t>* information,
                                            std::uint32_t informationLength,
                                            std::uint32_t& returnLength) {
  Record("GetTokenInformation(" + NameOf(static_cast<std::uintptr_t>(token)) + ", " +
         std::to_string(informationClass) + ", " + (information ? "buffer" : "NULL") + ", " +
         std::to_string(informationLength) + ")");
  returnLength = 16;
  FLastError = tokenProbeSucceeds ? 0 : tokenProbeError;
  return tokenProbeSucceeds;
}

bool RecordingPlatform::LookupPrivilegeValueA(const std::string& systemName,
                                              const std::string& name, Luid& luid) {
  Record("LookupPrivilegeValueA(" + (systemName.empty() ? "NULL" : Quoted(systemName)) + ", " +
         Quoted(name) + ")");
  luid = {19, 0};  // the shutdown privilege's value on NT
  return lookupPrivilegeSucceeds;
}

bool RecordingPlatform::AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                                              const TokenPrivileges& newState,
                                              std::uint32_t bufferLength,
                                              std::vector<std::uint8_t>* previousState,
                                              std::uint32_t& returnLength) {
  bool first = previousState == nullptr;
  Record("AdjustTokenPrivileges(" + NameOf(static_cast<std::uintptr_t>(token)) + ", " +
         Bool(disableAllPrivileges) + ", {" + std::to_string(newState.PrivilegeCount) + ", luid " +
         std::to_string(newState.Privilege.LowPart) + ", " + std::to_string(newState.Attributes) +
         "}, " + std::to_string(bufferLength) + ", " +
         (first ? "NULL" : "buffer[" + std::to_string(previousState->size()) + "]") +
         ", returned " + std::to_string(returnLength) + ")");
  returnLength = previousStateLength;
  return first ? firstAdjustSucceeds : secondAdjustSucceeds;
}

bool RecordingPlatform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  Record("ExitWindowsEx(" + std::to_string(flags) + ", " + Hex(reason) + ")");
  return exitWindowsSucceeds;
}

bool RecordingPlatform::LockWorkStation() {
  Record("LockWorkStation()");
  return lockSucceeds;
}

Handle RecordingPlatform::CreateWaitableTimerA(bool manualReset, const std::string& timerName) {
  Record("CreateWaitableTimerA(NULL, " + Bool(manualReset) + ", " + Quoted(timerName) + ")");
  return createTimerSucceeds ? static_cast<Handle>(Open("timer")) : Handle::Null;
}

bool RecordingPlatform::SetWaitableTimer(Handle timer, std::int64_t dueTime, std::int32_t period,
                                         bool resume) {
  Record("SetWaitableTimer(" + NameOf(static_cast<std::uintptr_t>(timer)) + ", " +
         std::to_string(dueTime) + ", " + std::to_string(period) + ", NULL, NULL, " + Bool(resume) +
         ")");
  return setTimerSucceeds && timer != Handle::Null;
}

std::int32_t RecordingPlatform::RegCreateKeyExA(HKey key, const std::string& subKey,
                                                std::uint32_t samDesired, HKey& result) {
  Record("RegCreateKeyExA(" + std::string(key == HKey::LocalMachine ? "HKEY_LOCAL_MACHINE" : "?") +
         ", " + Quoted(subKey) + ", " + Hex(samDesired) + ")");
  result = regCreateKeyStatus == kErrorSuccess ? static_cast<HKey>(Open("key")) : HKey::Null;
  return regCreateKeyStatus;
}

std::int32_t RecordingPlatform::RegSetValueExA(HKey key, const std::string& valueName,
                                               std::uint32_t type, const std::string& data) {
  Record("RegSetValueExA(" + NameOf(static_cast<std::uintptr_t>(key)) + ", " + Quoted(valueName) +
         ", " + (type == kRegExpandSz ? "REG_EXPAND_SZ" : std::to_string(type)) + ", " +
         Quoted(data) + ")");
  return regSetValueStatus;
}

std::int32_t RecordingPlatform::RegCloseKey(HKey key) {
  std::string name = NameOf(static_cast<std::uintptr_t>(key));
  Record("RegCloseKey(" + name + ")");
  return Release(name) ? kErrorSuccess : 6;
}

EventSource RecordingPlatform::RegisterEventSourceA(const std::string& uncServerName,
                                                    const std::string& sourceName) {
  Record("RegisterEventSourceA(" + (uncServerName.empty() ? "NULL" : Quoted(uncServerName)) + ", " +
         Quoted(sourceName) + ")");
  return registerEventSourceSucceeds ? static_cast<EventSource>(Open("source")) : EventSource::Null;
}

bool RecordingPlatform::ReportEventA(EventSource eventLog, std::uint16_t type,
                                     std::uint16_t category, std::uint32_t eventId,
                                     const std::vector<std::string>& strings) {
  std::string line = "ReportEventA(";
  if (eventLog == EventSource::Null) line += "NULL, ";
  line += "type=" + std::to_string(type) + ", ";
  if (category != 0) line += "category=" + std::to_string(category) + ", ";
  line += "id=" + std::to_string(eventId);
  for (const std::string& text : strings) line += ", " + Quoted(text);
  Record(line + ")");
  return eventLog != EventSource::Null;
}

bool RecordingPlatform::DeregisterEventSource(EventSource eventLog) {
  std::string name = NameOf(static_cast<std::uintptr_t>(eventLog));
  Record("DeregisterEventSource(" + name + ")");
  return Release(name);
}

int RecordingPlatform::MessageBoxA(HWnd owner, const std::string& text, const std::string& caption,
                                   std::uint32_t type) {
  Record("MessageBoxA(" + NameOf(static_cast<std::uintptr_t>(owner)) + ", " + Quoted(text) + ", " +
         Quoted(caption) + ", " + Hex(type) + ")");
  return 1;
}

std::string RecordingPlatform::GetPrivateProfileStringA(const std::string& appName,
                                                        const std::string& keyName,
                                                        const std::string& defaultValue,
                                                        std::uint32_t size,
                                                        const std::string& fileName) {
  Record("GetPrivateProfileStringA(" + Quoted(appName) + ", " + Quoted(keyName) + ", " +
         Quoted(defaultValue) + ", " + std::to_string(size) + ")");
  return host::GetPrivateProfileString(appName, keyName, defaultValue, size, fileName);
}

bool RecordingPlatform::WritePrivateProfileStringA(const std::string& appName,
                                                   const std::string& keyName,
                                                   const std::string& value,
                                                   const std::string& fileName) {
  Record("WritePrivateProfileStringA(" + Quoted(appName) + ", " + Quoted(keyName) + ", " +
         Quoted(value) + ")");
  return host::WritePrivateProfileString(appName, keyName, value, fileName);
}

HWnd RecordingPlatform::CreateWindowExA(std::uint32_t exStyle, const std::string& windowName,
                                        std::uint32_t style, int x, int y, int width, int height,
                                        HWnd owner, WindowHandler& handler) {
  if (FWindows == windowsCreated) {
    Record("CreateWindowExA(" + Quoted(windowName) + ") = NULL");
    FLastError = kErrorCannotFindWndClass;
    return HWnd::Null;
  }
  std::string name = "window" + std::to_string(++FWindows);
  Record("CreateWindowExA(" + Hex(exStyle) + ", " + Quoted(windowName) + ", " + Hex(style) + ", " +
         std::to_string(width) + "x" + std::to_string(height) + ", owner " + NameOf(owner) +
         ") = " + name);
  auto window = static_cast<HWnd>(Open(name));
  FHandlers[window] = &handler;
  FWindowRects[window] = {x, y, x + width, y + height};
  Send(window, kWmNcCreate);
  return window;
}

bool RecordingPlatform::DestroyWindow(HWnd window) {
  Record("DestroyWindow(" + NameOf(window) + ")");
  // As the system does: the window hears of it first, and nothing after the last.
  Send(window, kWmDestroy);
  Send(window, kWmNcDestroy);
  FHandlers.erase(window);
  // The system destroys a window's children with it.
  for (HWnd child : FChildren[window]) Release(NameOf(child));
  return Release(NameOf(window));
}

bool RecordingPlatform::ShowWindow(HWnd window, int command) {
  static const std::map<int, std::string> kCommands = {{kSwHide, "SW_HIDE"},
                                                       {kSwShowNormal, "SW_SHOWNORMAL"}};
  Record("ShowWindow(" + NameOf(window) + ", " + kCommands.at(command) + ")");
  // As the system does, a window hears of a change of its visibility first.
  bool show = command != kSwHide;
  bool wasVisible = FVisible.count(window) > 0;
  if (show == wasVisible) return wasVisible;
  if (show)
    FVisible.insert(window);
  else
    FVisible.erase(window);
  if (auto handler = FHandlers.find(window); handler != FHandlers.end())
    handler->second->WindowProc(window, kWmShowWindow, show, 0);
  return wasVisible;
}

std::intptr_t RecordingPlatform::DefWindowProcA(HWnd window, std::uint32_t message, std::uintptr_t,
                                                std::intptr_t) {
  Record("DefWindowProcA(" + NameOf(window) + ", " + Hex(message) + ")");
  return 0;
}

bool RecordingPlatform::PostMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
  Record("PostMessageA(" + NameOf(window) + ", " + Hex(message) + ", " + std::to_string(wParam) +
         ", " + std::to_string(lParam) + ")");
  return true;
}

void RecordingPlatform::PostQuitMessage(int exitCode) {
  Record("PostQuitMessage(" + std::to_string(exitCode) + ")");
}

int RecordingPlatform::RunMessageLoop() {
  Record("RunMessageLoop()");
  return 0;
}

std::uint32_t RecordingPlatform::RegisterWindowMessageA(const std::string& name) {
  Record("RegisterWindowMessageA(" + Quoted(name) + ")");
  return 0xC0DE;
}

int RecordingPlatform::GetSystemMetrics(int index) {
  return index == kSmCxScreen ? screenWidth : screenHeight;
}

bool RecordingPlatform::GetWindowRect(HWnd window, Rect& rect) {
  rect = FWindowRects[window];
  return true;
}

bool RecordingPlatform::AdjustWindowRectEx(Rect& rect, std::uint32_t, bool menu, std::uint32_t) {
  // A caption of 19, a menu bar of 19 and borders of 3 pixels, as the
  // classic theme draws them.
  rect = {rect.left - 3, rect.top - (menu ? 41 : 22), rect.right + 3, rect.bottom + 3};
  return true;
}

bool RecordingPlatform::SetWindowPos(HWnd window, HWnd, int x, int y, int, int, std::uint32_t) {
  Record("SetWindowPos(" + NameOf(window) + ", " + std::to_string(x) + ", " + std::to_string(y) +
         ")");
  Rect& rect = FWindowRects[window];
  rect = {x, y, x + rect.right - rect.left, y + rect.bottom - rect.top};
  return true;
}

bool RecordingPlatform::SetForegroundWindow(HWnd window) {
  Record("SetForegroundWindow(" + NameOf(window) + ")");
  return true;
}

bool RecordingPlatform::GetCursorPos(Point& point) {
  point = cursor;
  return true;
}

HIcon RecordingPlatform::LoadIconA(const std::string& name) {
  std::uintptr_t icon = 0x7000;
  FNames[icon] = name;
  return static_cast<HIcon>(icon);
}

HBitmap RecordingPlatform::LoadBitmapA(const std::string& name) {
  return static_cast<HBitmap>(Open(name));
}

bool RecordingPlatform::DeleteObject(HBitmap bitmap) {
  Record("DeleteObject(" + NameOf(bitmap) + ")");
  return Release(NameOf(bitmap));
}

HMenu RecordingPlatform::CreatePopupMenu() { return static_cast<HMenu>(Open("menu")); }

bool RecordingPlatform::SetMenuInfo(HMenu, std::uint32_t) { return true; }

bool RecordingPlatform::AppendMenuA(HMenu menu, std::uint32_t flags, std::uintptr_t id,
                                    const std::string& text) {
  Record("AppendMenuA(" + NameOf(menu) + ", " + Hex(flags) + ", " + std::to_string(id) + ", " +
         Quoted(text) + ")");
  return true;
}

bool RecordingPlatform::SetMenuItemBitmap(HMenu menu, std::uint32_t id, HBitmap bitmap) {
  Record("SetMenuItemBitmap(" + NameOf(menu) + ", " + std::to_string(id) + ", " + NameOf(bitmap) +
         ")");
  return true;
}

std::uint32_t RecordingPlatform::CheckMenuItem(HMenu menu, std::uint32_t id, std::uint32_t check) {
  Record("CheckMenuItem(" + NameOf(menu) + ", " + std::to_string(id) + ", " +
         (check & kMfChecked ? "MF_CHECKED" : "MF_UNCHECKED") + ")");
  return 0;
}

bool RecordingPlatform::EnableMenuItem(HMenu menu, std::uint32_t id, std::uint32_t enable) {
  Record("EnableMenuItem(" + NameOf(menu) + ", " + std::to_string(id) + ", " +
         (enable & kMfGrayed ? "MF_GRAYED" : "MF_ENABLED") + ")");
  return true;
}

bool RecordingPlatform::TrackPopupMenu(HMenu menu, std::uint32_t flags, int x, int y, HWnd owner) {
  Record("TrackPopupMenu(" + NameOf(menu) + ", " + Hex(flags) + ", " + std::to_string(x) + ", " +
         std::to_string(y) + ", " + NameOf(owner) + ")");
  return true;
}

bool RecordingPlatform::DestroyMenu(HMenu menu) {
  Record("DestroyMenu(" + NameOf(menu) + ")");
  return Release(NameOf(menu));
}

bool RecordingPlatform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  Record(std::string("Shell_NotifyIconA(") + (message == kNimAdd ? "NIM_ADD" : "NIM_DELETE") +
         ", {" + std::to_string(data.cbSize) + ", " + NameOf(data.hWnd) + ", " +
         std::to_string(data.uID) + ", " + std::to_string(data.uFlags) + ", " +
         std::to_string(data.uCallbackMessage) + ", " + NameOf(data.hIcon) + ", " +
         Quoted(data.szTip) + "})");
  return trayAccepts;
}

void RecordingPlatform::InitCommonControlsEx(std::uint32_t classes) {
  Record("InitCommonControlsEx(" + Hex(classes) + ")");
}

HWnd RecordingPlatform::CreateWindowExA(std::uint32_t exStyle, const std::string& className,
                                        const std::string& windowName, std::uint32_t style, int x,
                                        int y, int width, int height, HWnd parent,
                                        std::uint32_t id) {
  std::string name = id ? "control" + std::to_string(id) : className;
  auto window = static_cast<HWnd>(Open(name));
  FChildren[parent].push_back(window);
  FWindowRects[window] = {x, y, x + width, y + height};
  enabled[window] = true;
  texts[window] = windowName;
  classes[window] = className + " " + Hex(style) + " " + Hex(exStyle);
  return window;
}

std::intptr_t RecordingPlatform::SendMessageA(HWnd window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t) {
  if (message == kWmSetFont) fonts[window] = NameOf(wParam);
  if (message == kStmSetIcon) icons[window] = NameOf(wParam);
  if (message == kBmSetCheck) {
    checks[window] = static_cast<std::intptr_t>(wParam);
    Record("CheckButton(" + NameOf(window) + ", " + std::to_string(wParam) + ")");
  }
  return message == kBmGetCheck ? checks[window] : 0;
}

bool RecordingPlatform::EnableWindow(HWnd window, bool enable) {
  Record("EnableWindow(" + NameOf(window) + ", " + Bool(enable) + ")");
  enabled[window] = enable;
  return true;
}

bool RecordingPlatform::SetWindowTextA(HWnd window, const std::string& text) {
  Record("SetWindowTextA(" + NameOf(window) + ", " + Quoted(text) + ")");
  texts[window] = text;
  return true;
}

bool RecordingPlatform::DateTimeSetSystemTime(HWnd picker, const SystemTime& time) {
  pickerTimes[picker] = time;
  return true;
}

bool RecordingPlatform::DateTimeGetSystemTime(HWnd picker, SystemTime& time) {
  time = pickerTimes[picker];
  return true;
}

bool RecordingPlatform::AddTool(HWnd, HWnd, HWnd tool, const std::string& text) {
  texts[tool] += "|hint:" + text;
  return true;
}

HIcon RecordingPlatform::LoadImageA(const std::string& name, int width, int height) {
  std::uintptr_t icon = 0x7001;
  FNames[icon] = name + " " + std::to_string(width) + "x" + std::to_string(height);
  return static_cast<HIcon>(icon);
}

HFont RecordingPlatform::CreateFontA(int height, int weight, const std::string& faceName) {
  return static_cast<HFont>(
      Open("font " + faceName + " " + std::to_string(height) + " " + std::to_string(weight)));
}

bool RecordingPlatform::DeleteObject(HFont font) {
  Record("DeleteObject(" + NameOf(font) + ")");
  return Release(NameOf(font));
}

std::uint32_t RecordingPlatform::SetTextColor(HDc, std::uint32_t color) {
  Record("SetTextColor(" + Hex(color) + ")");
  return 0;
}

int RecordingPlatform::SetBkMode(HDc, int) { return 0; }

std::intptr_t RecordingPlatform::GetSysColorBrush(int index) { return 0xB000 + index; }

std::uintptr_t RecordingPlatform::SetTimer(HWnd window, std::uintptr_t id, std::uint32_t elapse) {
  Record("SetTimer(" + NameOf(window) + ", " + std::to_string(id) + ", " + std::to_string(elapse) +
         ")");
  return id;
}

bool RecordingPlatform::KillTimer(HWnd window, std::uintptr_t id) {
  Record("KillTimer(" + NameOf(window) + ", " + std::to_string(id) + ")");
  return true;
}

bool RecordingPlatform::SetLayeredWindowAttributes(HWnd window, std::uint32_t, std::uint8_t alpha,
                                                   std::uint32_t) {
  Record("SetLayeredWindowAttributes(" + NameOf(window) + ", " + std::to_string(alpha) + ")");
  return true;
}

bool RecordingPlatform::RedrawWindow(HWnd window, std::uint32_t flags) {
  Record("RedrawWindow(" + NameOf(window) + ", " + Hex(flags) + ")");
  return true;
}

void RecordingPlatform::ProcessMessages() {}

std::uint32_t RecordingPlatform::GetFileVersionInfoSizeA(const std::string& fileName) {
  Record("GetFileVersionInfoSizeA(" + Quoted(fileName) + ")");
  return fileVersion ? 1024 : 0;
}

bool RecordingPlatform::GetFileVersionInfoA(const std::string&, std::uint32_t size,
                                            std::vector<std::uint8_t>& data) {
  data.assign(size, 0);
  return true;
}

bool RecordingPlatform::VerQueryValueA(const std::vector<std::uint8_t>&,
                                       const std::string& subBlock,
                                       std::vector<std::uint8_t>& value) {
  Record("VerQueryValueA(" + Quoted(subBlock) + ")");
  if (subBlock == "\\VarFileInfo\\Translation") {
    value = {static_cast<std::uint8_t>(versionLanguage),
             static_cast<std::uint8_t>(versionLanguage >> 8),
             static_cast<std::uint8_t>(versionLanguage >> 16),
             static_cast<std::uint8_t>(versionLanguage >> 24)};
    return true;
  }
  if (!fileVersion || subBlock != "\\StringFileInfo\\040904E4\\FileVersion") return false;
  value.assign(fileVersion->begin(), fileVersion->end());
  value.push_back(0);
  return true;
}

std::intptr_t RecordingPlatform::Send(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
  auto handler = FHandlers.find(window);
  return handler == FHandlers.end() ? 0
                                    : handler->second->WindowProc(window, message, wParam, lParam);
}

}  // namespace quennavar::testing
