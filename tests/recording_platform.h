// A platform that answers from a script and writes down every call, one line
// each, in a relay-like form, so tests compare what reached the system.
#pragma once

#include <locale.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/platform.h"
#include "tests/profile_file.h"

namespace quennavar::testing {

// How a call's arguments stand in the transcript: a std::string quoted, a
// literal as it is, a truth as TRUE or FALSE, a handle by the name it was
// opened under, a number in decimal unless it is wrapped in Hex.
struct Hex {
  std::uint32_t value;
};
struct Raw {
  std::string text;
};

// Puts this thread in C.UTF-8 while it lives, so that the fake decodes and
// lowers text by the code page the program's manifest asks for.
class Utf8Locale {
 public:
  Utf8Locale() : FPrevious(uselocale(Utf8())) {}
  ~Utf8Locale() { uselocale(FPrevious); }
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;

 private:
  // Without it every text past ASCII would compare wrong, far from the cause.
  static locale_t Utf8() {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (!utf8)
      throw std::runtime_error("The tests need the C.UTF-8 locale, which this host lacks.");
    return utf8;
  }
  locale_t FPrevious;
};

class RecordingPlatform : public Platform {
 public:
  // --- The script: what the system answers. Defaults: Windows XP, an
  // administrator, 7 Dec 2026 23:30:00, US English, hibernate allowed.
  OsVersionInfo version{5, 1, 2600, kVerPlatformWin32Nt};
  std::string commandLine = "\"C:\\Program Files\\Quennavar\\Quennavar.exe\"";
  std::string modulePath = "C:\\Program Files\\Quennavar\\Quennavar.exe";
  SystemTime localTime{2026, 12, 1, 7, 23, 30, 0, 0};
  std::map<LocaleItem, std::string> locale = UsEnglish();
  bool powerLibraryLoads = true;
  std::uintptr_t powerLibrary = 0x6C480000;  // its handle, once loaded
  std::set<std::string> missingEntries;      // power-library entries GetProcAddress does not find
  bool suspendAllowed = false;
  bool hibernateAllowed = true;
  bool setSuspendStateSucceeds = true;
  // The process token and its shutdown privilege, which NT wants held before
  // it ends the session. Each step can be made to fail.
  bool openTokenSucceeds = true;
  bool tokenProbeSucceeds = false;
  std::uint32_t tokenProbeError = kErrorInsufficientBuffer;
  bool lookupPrivilegeSucceeds = true;
  bool firstAdjustSucceeds = true;
  bool secondAdjustSucceeds = true;
  bool shutdownPrivilegeEnabled = false;
  bool otherPrivilegesEnabled = true;  // as every token has some from the start
  bool exitWindowsSucceeds = true;
  bool lockSucceeds = true;
  bool createTimerSucceeds = true;
  bool setTimerSucceeds = true;
  std::int32_t regCreateKeyStatus = kErrorSuccess;
  std::int32_t regSetValueStatus = kErrorSuccess;
  bool registerEventSourceSucceeds = true;
  bool trayAccepts = true;
  // Why the next opens of a file fail, each once; after them, as the host's
  // file system has it (a folder cannot be opened as a file).
  std::deque<std::uint32_t> openFileErrors;
  // What GetDriveTypeA says of a drive, by its root ("Z:\\"); any other is fixed.
  std::map<std::string, std::uint32_t> driveTypes;
  std::string shortTimeFormat;               // what GetTimeFormatA gives, where not empty
  int windowsCreated = 1000;                 // the windows CreateWindowExA makes before it fails
  std::uint32_t registeredMessage = 0xC0DE;  // for any name; 0 where the system refuses
  Point cursor{900, 700};
  // The monitors, the primary first: each whole and the part no taskbar
  // covers. The shell's taskbar stands on one of them, or there is none.
  std::vector<MonitorInfo> monitors{{{0, 0, 1024, 768}, {0, 0, 1024, 738}}};  // XP's taskbar
  std::optional<std::size_t> taskbarMonitor = 0;
  int dpi = 96;
  // The program file's version information: none, or its FileVersion.
  std::optional<std::string> fileVersion = "1.2.3.4";
  // Its translation: US English, code page 1252.
  std::vector<std::uint8_t> versionTranslation = {0x09, 0x04, 0xE4, 0x04};

  static std::map<LocaleItem, std::string> UsEnglish() {
    return {{LocaleItem::STime, ":"},
            {LocaleItem::ITLZero, "0"},
            {LocaleItem::ITime, "0"},
            {LocaleItem::ITimeMarkPosn, "0"},
            {LocaleItem::S1159, "AM"},
            {LocaleItem::S2359, "PM"},
            {LocaleItem::SDate, "/"},
            {LocaleItem::SShortDate, "M/d/yyyy"},
            {LocaleItem::STimeFormat, "h:mm:ss tt"}};  // as XP has it: no short time
  }

  // --- What happened.
  std::vector<std::string> calls;
  // The calls whose names are listed, in order.
  std::vector<std::string> Only(std::initializer_list<std::string> names) const {
    std::vector<std::string> kept;
    for (const std::string& call : calls) {
      std::string name = call.substr(0, call.find('('));
      if (std::find(names.begin(), names.end(), name) != names.end()) kept.push_back(call);
    }
    return kept;
  }
  // Handles opened and not yet released.
  std::set<std::string> OpenHandles() const { return FOpen; }
  std::string NameOf(std::uintptr_t handle) const {
    auto found = FNames.find(handle);
    return found != FNames.end() ? found->second
           : handle == 0         ? "NULL"
                                 : HexOf(static_cast<std::uint32_t>(handle));
  }
  template <typename H>
  std::string NameOf(H handle) const {
    return NameOf(static_cast<std::uintptr_t>(handle));
  }
  // The tray menu's items, checked and greyed, as set so far and as the menu
  // last showed them.
  std::map<std::uint32_t, bool> menuMarks;
  std::map<std::uint32_t, bool> menuGreyed;
  std::map<std::uint32_t, bool> shownMarks;
  std::map<std::uint32_t, bool> shownGreyed;
  template <typename State>
  static std::set<std::uint32_t> ItemsWhere(const State& state) {
    std::set<std::uint32_t> items;
    for (const auto& [id, on] : state)
      if (on) items.insert(id);
    return items;
  }
  std::set<std::uint32_t> CheckedItems() const { return ItemsWhere(shownMarks); }
  std::set<std::uint32_t> GreyedItems() const { return ItemsWhere(shownGreyed); }
  // The opacities the window was given, in order.
  std::vector<int> Opacities() const {
    std::vector<int> opacity;
    for (const std::string& call : Only({"SetLayeredWindowAttributes"}))
      opacity.push_back(std::stoi(call.substr(call.rfind(' ') + 1)));
    return opacity;
  }
  // The state of the controls, as the system keeps it.
  std::map<HWnd, std::intptr_t> checks;
  std::map<HWnd, bool> enabled;
  std::map<HWnd, SystemTime> pickerTimes;
  std::map<HWnd, std::string> texts;
  std::map<HWnd, std::string> fonts;    // the name of each window's font
  std::map<HWnd, std::string> icons;    // of a static control showing one
  std::map<HWnd, std::string> classes;  // of each control: class, style, extended style

  // The window procedure of the window runs this message, as the system
  // would; a window that is gone, or never was, gets nothing.
  std::intptr_t Send(HWnd window, std::uint32_t message, std::uintptr_t wParam = 0,
                     std::intptr_t lParam = 0) {
    auto handler = FHandlers.find(window);
    return handler == FHandlers.end()
               ? 0
               : handler->second->WindowProc(window, message, wParam, lParam);
  }

  // --- The process, the clock, the locale.
  std::string GetCommandLineA() override { return commandLine; }
  std::string GetModuleFileNameA() override { return modulePath; }
  Handle GetCurrentProcess() override { return Named<Handle>(kCurrentProcess, "process"); }
  std::uint32_t GetLastError() override { return FLastError; }
  std::string FormatMessageA(std::uint32_t messageId) override {
    return messageId == kErrorCannotFindWndClass ? "Cannot find window class."
                                                 : "Error " + std::to_string(messageId) + ".";
  }
  bool CloseHandle(Handle handle) override { return Released("CloseHandle", handle); }
  bool GetVersionExA(OsVersionInfo& info) override {
    info = version;
    return true;
  }
  void GetLocalTime(SystemTime& time) override { time = localTime; }
  void Sleep(std::uint32_t milliseconds) override { Log("Sleep", milliseconds); }
  std::string GetLocaleInfoA(LocaleItem item) override {
    return locale.contains(item) ? locale.at(item) : "";
  }
  // The short time of the United States: "11:30 PM", or shortTimeFormat's.
  std::string GetTimeFormatA(std::uint32_t flags, const SystemTime& time) override {
    if (!shortTimeFormat.empty()) return shortTimeFormat;
    const int hour = time.wHour % 12 ? time.wHour % 12 : 12;
    std::string minutes = std::to_string(100 + time.wMinute).substr(1);
    std::string seconds =
        flags & kTimeNoSeconds ? "" : ":" + std::to_string(100 + time.wSecond).substr(1);
    return std::to_string(hour) + ":" + minutes + seconds + (time.wHour < 12 ? " AM" : " PM");
  }
  // Each character lowered by Unicode's rules, as the system lowers them:
  // "Ⱥ" (two bytes) to "ⱥ" (three). A byte that makes no character is kept,
  // so that tests see where it stood.
  std::string CharLowerBuffA(std::string text) override {
    Log("CharLowerBuffA", text);
    Utf8Locale utf8;
    std::string lowered;
    for (std::size_t at = 0, size; at < text.size(); at += size) {
      wchar_t c = 0;
      size = Decode(text.substr(at), c);
      char bytes[MB_LEN_MAX];
      std::mbstate_t state{};
      lowered += c ? std::string(bytes, std::wcrtomb(bytes, std::towlower(c), &state))
                   : text.substr(at, size);
    }
    return lowered;
  }
  std::size_t FirstCharacterSize(const std::string& text) override {
    Utf8Locale utf8;
    wchar_t c = 0;
    return text.empty() ? 0 : Decode(text, c);
  }

  // --- Power, privileges, the event log.
  Module LoadSystemLibrary(const std::string& fileName) override {
    Log("LoadSystemLibrary", fileName);
    if (!powerLibraryLoads || fileName != "powrprof.dll") return static_cast<Module>(2);
    return Named<Module>(powerLibrary, "powrprof");
  }
  Module GetModuleHandleA(const std::string& moduleName) override {
    bool loaded = FNames.contains(powerLibrary) && moduleName == "powrprof.dll";
    return static_cast<Module>(loaded ? powerLibrary : 0);
  }
  ProcAddress GetProcAddress(Module module, const std::string& procName) override {
    if (static_cast<std::uintptr_t>(module) != powerLibrary || missingEntries.contains(procName))
      return ProcAddress::Null;
    return Named<ProcAddress>(kPowerLibraryEntries + FNames.size(), procName);
  }
  bool CallPowerQuery(ProcAddress query) override {
    Log(NameOf(query));
    return NameOf(query) == "IsPwrSuspendAllowed" ? suspendAllowed : hibernateAllowed;
  }
  bool CallSetSuspendState(ProcAddress entry, bool hibernate, bool forceCritical,
                           bool disableWakeEvent) override {
    return Logged(setSuspendStateSucceeds, NameOf(entry), hibernate, forceCritical,
                  disableWakeEvent);
  }
  // As NT checks them: the token's access rights, the privilege's name, the
  // one entry of the record and the room for its previous state. Of the
  // token's information only its privileges are kept.
  bool OpenProcessToken(Handle process, std::uint32_t desiredAccess, Handle& token) override {
    Log("OpenProcessToken", process, Hex{desiredAccess});
    bool opened = openTokenSucceeds && static_cast<std::uintptr_t>(process) == kCurrentProcess;
    token = opened ? Open<Handle>("token") : Handle::Null;
    FTokenAccess = desiredAccess;
    return opened;
  }
  bool GetTokenInformation(Handle, int informationClass, std::vector<std::uint8_t>* information,
                           std::uint32_t informationLength, std::uint32_t& returnLength) override {
    returnLength = kPrivilegesSize;
    FLastError = !(FTokenAccess & kTokenQuery)               ? kErrorAccessDenied
                 : informationClass != kTokenPrivilegesClass ? kErrorInvalidParameter
                 : !information && informationLength > 0     ? kErrorNoAccess
                 : tokenProbeSucceeds                        ? 0
                                                             : tokenProbeError;
    return FLastError == 0;
  }
  bool LookupPrivilegeValueA(const std::string& systemName, const std::string& name,
                             Luid& luid) override {
    luid = {kShutdownLuid, 0};
    return lookupPrivilegeSucceeds && systemName.empty() && name == "SeShutdownPrivilege";
  }
  bool AdjustTokenPrivileges(Handle, bool disableAllPrivileges, const TokenPrivileges& newState,
                             std::uint32_t bufferLength, std::vector<std::uint8_t>* previousState,
                             std::uint32_t& returnLength) override {
    bool first = previousState == nullptr;
    std::uint32_t needed = first ? kTokenAdjustPrivileges : kTokenAdjustPrivileges | kTokenQuery;
    returnLength = kPrivilegesSize;
    if (!(first ? firstAdjustSucceeds : secondAdjustSucceeds) ||
        (FTokenAccess & needed) != needed || newState.PrivilegeCount != 1 ||
        (!first && (bufferLength < kPrivilegesSize || previousState->size() < bufferLength)))
      return false;
    if (disableAllPrivileges)
      shutdownPrivilegeEnabled = otherPrivilegesEnabled = false;
    else if (newState.Privilege.LowPart == kShutdownLuid)
      shutdownPrivilegeEnabled = (newState.Attributes & kSePrivilegeEnabled) != 0;
    return true;
  }
  // Logging off needs no privilege; the rest on NT does.
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
    bool allowed = version.dwPlatformId != kVerPlatformWin32Nt || (flags & ~4u) == 0 ||
                   shutdownPrivilegeEnabled;
    return Logged(exitWindowsSucceeds && allowed, "ExitWindowsEx", flags, Hex{reason});
  }
  bool LockWorkStation() override { return Logged(lockSucceeds, "LockWorkStation"); }
  Handle CreateWaitableTimerA(bool manualReset, const std::string& timerName) override {
    Log("CreateWaitableTimerA", "NULL", manualReset, timerName);
    return createTimerSucceeds ? Open<Handle>("timer") : Handle::Null;
  }
  bool SetWaitableTimer(Handle timer, std::int64_t dueTime, std::int32_t period,
                        bool resume) override {
    Log("SetWaitableTimer", timer, dueTime, period, "NULL", "NULL", resume);
    return setTimerSucceeds && timer != Handle::Null;
  }
  std::int32_t RegCreateKeyExA(HKey key, const std::string& subKey, std::uint32_t samDesired,
                               HKey& result) override {
    Log("RegCreateKeyExA", key == HKey::LocalMachine ? "HKEY_LOCAL_MACHINE" : "?", subKey,
        Hex{samDesired});
    result = regCreateKeyStatus == kErrorSuccess ? Open<HKey>("key") : HKey::Null;
    return regCreateKeyStatus;
  }
  std::int32_t RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                              const std::string& data) override {
    return Logged(regSetValueStatus, "RegSetValueExA", key, valueName,
                  Raw{type == kRegExpandSz ? "REG_EXPAND_SZ" : std::to_string(type)}, data);
  }
  std::int32_t RegCloseKey(HKey key) override {
    return Released("RegCloseKey", key) ? kErrorSuccess : 6;
  }
  EventSource RegisterEventSourceA(const std::string& uncServerName,
                                   const std::string& sourceName) override {
    Log("RegisterEventSourceA", NullOr(uncServerName), sourceName);
    return registerEventSourceSucceeds ? Open<EventSource>("source") : EventSource::Null;
  }
  bool ReportEventA(EventSource eventLog, std::uint16_t type, std::uint16_t category,
                    std::uint32_t eventId, const std::vector<std::string>& strings) override {
    std::string line = "ReportEventA(";
    if (eventLog == EventSource::Null) line += "NULL, ";
    line += "type=" + std::to_string(type) + ", ";
    if (category != 0) line += "category=" + std::to_string(category) + ", ";
    line += "id=" + std::to_string(eventId);
    for (const std::string& text : strings) line += ", " + Text(text);
    calls.push_back(line + ")");
    return eventLog != EventSource::Null;
  }
  bool DeregisterEventSource(EventSource eventLog) override {
    return Released("DeregisterEventSource", eventLog);
  }

  // --- Files, drives, settings and message boxes.
  Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                     std::uint32_t shareMode, std::uint32_t creationDisposition) override {
    Log("CreateFileA", fileName, Hex{desiredAccess}, shareMode, creationDisposition);
    namespace fs = std::filesystem;
    const fs::path path(fileName);
    if (!openFileErrors.empty()) {
      FLastError = openFileErrors.front();
      openFileErrors.pop_front();
    } else {
      FLastError = fs::is_directory(path)                 ? kErrorAccessDenied
                   : fs::exists(path)                     ? 0
                   : fs::is_directory(path.parent_path()) ? kErrorFileNotFound
                                                          : kErrorPathNotFound;
    }
    return FLastError == 0 ? Open<Handle>("file") : Handle::Null;
  }
  std::uint32_t GetDriveTypeA(const std::string& rootPathName) override {
    return Logged(driveTypes.contains(rootPathName) ? driveTypes.at(rootPathName) : kDriveFixed,
                  "GetDriveTypeA", rootPathName);
  }
  int MessageBoxA(HWnd owner, const std::string& text, const std::string& caption,
                  std::uint32_t type) override {
    return Logged(1, "MessageBoxA", owner, text, caption, Hex{type});
  }
  std::string GetPrivateProfileStringA(const std::string& appName, const std::string& keyName,
                                       const std::string& defaultValue, std::uint32_t size,
                                       const std::string& fileName) override {
    Log("GetPrivateProfileStringA", appName, keyName, defaultValue, size);
    return host::GetPrivateProfileString(appName, keyName, defaultValue, size, fileName);
  }
  bool WritePrivateProfileStringA(const std::string& appName, const std::string& keyName,
                                  const std::string& value, const std::string& fileName) override {
    Log("WritePrivateProfileStringA", appName, keyName, value);
    return host::WritePrivateProfileString(appName, keyName, value, fileName);
  }

  // --- Windows and their messages.
  HWnd CreateWindowExA(std::uint32_t exStyle, const std::string& windowName, std::uint32_t style,
                       int x, int y, int width, int height, HWnd owner,
                       WindowHandler& handler) override {
    if (FWindows == windowsCreated) {
      Log("CreateWindowExA", windowName) += " = NULL";
      FLastError = kErrorCannotFindWndClass;
      return HWnd::Null;
    }
    auto window = Open<HWnd>("window" + std::to_string(++FWindows));
    Log("CreateWindowExA", Hex{exStyle}, windowName, Hex{style},
        Raw{std::to_string(width) + "x" + std::to_string(height)}, Raw{"owner " + NameOf(owner)}) +=
        " = " + NameOf(window);
    FHandlers[window] = &handler;
    FWindowRects[window] = {x, y, x + width, y + height};
    Send(window, kWmNcCreate);
    return window;
  }
  bool DestroyWindow(HWnd window) override {
    Log("DestroyWindow", window);
    // As the system does: the window hears of it first, and nothing after the last.
    Send(window, kWmDestroy);
    Send(window, kWmNcDestroy);
    FHandlers.erase(window);
    // The system destroys a window's children with it.
    for (HWnd child : FChildren[window]) Release(child);
    return Release(window);
  }
  bool ShowWindow(HWnd window, int command) override {
    Log("ShowWindow", window, command == kSwHide ? "SW_HIDE" : "SW_SHOWNORMAL");
    // As the system does, a window hears of a change of its visibility first.
    bool show = command != kSwHide;
    bool wasVisible = FVisible.contains(window);
    if (show == wasVisible) return wasVisible;
    if (show)
      FVisible.insert(window);
    else
      FVisible.erase(window);
    Send(window, kWmShowWindow, show);
    return wasVisible;
  }
  std::intptr_t DefWindowProcA(HWnd, std::uint32_t, std::uintptr_t, std::intptr_t) override {
    return 0;
  }
  bool PostMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override {
    return Logged(true, "PostMessageA", window, Hex{message}, wParam, lParam);
  }
  void PostQuitMessage(int exitCode) override { Log("PostQuitMessage", exitCode); }
  int RunMessageLoop() override { return Logged(0, "RunMessageLoop"); }
  std::uint32_t RegisterWindowMessageA(const std::string& name) override {
    return Logged(registeredMessage, "RegisterWindowMessageA", name);
  }
  // Where user32 has the filter calls: 7 and later both, Vista the older.
  bool messageFilterEx = true;
  bool messageFilter = true;
  bool ChangeWindowMessageFilterEx(HWnd window, std::uint32_t message,
                                   std::uint32_t action) override {
    return Logged(messageFilterEx, "ChangeWindowMessageFilterEx", window, Hex{message}, action);
  }
  bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) override {
    return Logged(messageFilter, "ChangeWindowMessageFilter", Hex{message}, flag);
  }
  int GetSystemMetrics(int index) override {
    int iconScale = dpi ? dpi : 96;  // the icon sizes follow the DPI, known or not
    if (index == kSmCxIcon || index == kSmCyIcon) return 32 * iconScale / 96;
    if (index == kSmCxSmIcon || index == kSmCySmIcon) return 16 * iconScale / 96;
    return 0;
  }
  HWnd FindWindowA(const std::string& className) override {
    bool found = taskbarMonitor && className == "Shell_TrayWnd";
    return found ? Named<HWnd>(kTaskbar, "taskbar") : HWnd::Null;
  }
  HMonitor MonitorFromWindow(HWnd window, std::uint32_t) override {
    std::size_t index = static_cast<std::uintptr_t>(window) == kTaskbar ? *taskbarMonitor : 0;
    return static_cast<HMonitor>(index + 1);
  }
  bool GetMonitorInfoA(HMonitor monitor, MonitorInfo& info) override {
    info = monitors.at(static_cast<std::size_t>(monitor) - 1);
    return true;
  }
  int GetDeviceCaps(int index) override { return index == kLogPixelsY ? dpi : 0; }
  bool GetWindowRect(HWnd window, Rect& rect) override {
    rect = FWindowRects[window];
    return true;
  }
  bool AdjustWindowRectEx(Rect& rect, std::uint32_t, bool menu, std::uint32_t) override {
    // A caption of 19, a menu bar of 19 and borders of 3 pixels, as the
    // classic theme draws them.
    rect = {rect.left - 3, rect.top - (menu ? 41 : 22), rect.right + 3, rect.bottom + 3};
    return true;
  }
  bool SetWindowPos(HWnd window, HWnd, int x, int y, int, int, std::uint32_t) override {
    Log("SetWindowPos", window, x, y);
    Rect& rect = FWindowRects[window];
    rect = {x, y, x + rect.right - rect.left, y + rect.bottom - rect.top};
    return true;
  }
  bool SetForegroundWindow(HWnd window) override {
    return Logged(true, "SetForegroundWindow", window);
  }
  bool GetCursorPos(Point& point) override {
    point = cursor;
    return true;
  }
  bool Visible(HWnd window) const { return FVisible.contains(window); }
  // What arrives while a loop handles messages; nothing unless a test says.
  std::function<void()> pendingMessages;
  void ProcessMessages() override {
    if (pendingMessages) pendingMessages();
  }

  // --- Icons, pictures, fonts, menus, the tray.
  HIcon LoadImageA(const std::string& name, int width, int height) override {
    return Open<HIcon>(name + " " + std::to_string(width) + "x" + std::to_string(height));
  }
  bool DestroyIcon(HIcon icon) override { return Released("DestroyIcon", icon); }
  HBitmap LoadBitmapA(const std::string& name, int width, int height) override {
    Log("LoadBitmapA", name, width, height);
    return Open<HBitmap>(name);
  }
  bool DeleteObject(HBitmap bitmap) override { return Released("DeleteObject", bitmap); }
  HFont CreateFontA(int height, int weight, const std::string& faceName) override {
    return Open<HFont>("font " + faceName + " " + std::to_string(height) + " " +
                       std::to_string(weight));
  }
  bool DeleteObject(HFont font) override { return Released("DeleteObject", font); }
  HMenu CreatePopupMenu() override { return Open<HMenu>("menu"); }
  bool SetMenuInfo(HMenu, std::uint32_t) override { return true; }
  bool AppendMenuA(HMenu menu, std::uint32_t flags, std::uintptr_t id,
                   const std::string& text) override {
    return Logged(true, "AppendMenuA", menu, Hex{flags}, id, text);
  }
  bool SetMenuItemBitmap(HMenu menu, std::uint32_t id, HBitmap bitmap) override {
    return Logged(true, "SetMenuItemBitmap", menu, id, bitmap);
  }
  std::uint32_t CheckMenuItem(HMenu, std::uint32_t id, std::uint32_t check) override {
    menuMarks[id] = (check & kMfChecked) != 0;
    return 0;
  }
  bool EnableMenuItem(HMenu, std::uint32_t id, std::uint32_t enable) override {
    menuGreyed[id] = (enable & kMfGrayed) != 0;
    return true;
  }
  bool TrackPopupMenu(HMenu menu, std::uint32_t flags, int x, int y, HWnd owner) override {
    shownMarks = menuMarks;
    shownGreyed = menuGreyed;
    return Logged(true, "TrackPopupMenu", menu, Hex{flags}, x, y, owner);
  }
  bool DestroyMenu(HMenu menu) override { return Released("DestroyMenu", menu); }
  bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override {
    const char* name = message == kNimAdd      ? "NIM_ADD"
                       : message == kNimModify ? "NIM_MODIFY"
                                               : "NIM_DELETE";
    if (data.uFlags & kNifInfo)
      return Logged(
          trayAccepts, "Shell_NotifyIconA", name,
          Braced(data.hWnd, data.uFlags, data.szInfoTitle, data.szInfo, data.dwInfoFlags));
    Log("Shell_NotifyIconA", name,
        Braced(data.hWnd, data.uID, data.uFlags, data.uCallbackMessage, data.hIcon, data.szTip));
    // The call waits on the shell, and what other programs send meanwhile is
    // handled: a test says what.
    if (message == kNimDelete && whileRemovingIcon) whileRemovingIcon();
    return trayAccepts;
  }
  std::function<void()> whileRemovingIcon;

  // --- Controls.
  void InitCommonControlsEx(std::uint32_t classes) override {
    Log("InitCommonControlsEx", Hex{classes});
  }
  HWnd CreateWindowExA(std::uint32_t exStyle, const std::string& className,
                       const std::string& windowName, std::uint32_t style, int x, int y, int width,
                       int height, HWnd parent, std::uint32_t id) override {
    // Without WS_CHILD the id is a menu handle, and no menu has that number.
    if (!(style & kWsChild) && id != 0) {
      FLastError = kErrorInvalidMenuHandle;
      return HWnd::Null;
    }
    auto window = Open<HWnd>(id ? "control" + std::to_string(id) : className);
    FChildren[parent].push_back(window);
    FWindowRects[window] = {x, y, x + width, y + height};
    enabled[window] = true;
    texts[window] = windowName;
    classes[window] = className + " " + HexOf(style) + " " + HexOf(exStyle);
    return window;
  }
  std::intptr_t SendMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t) override {
    if (message == kWmSetFont) fonts[window] = NameOf(wParam);
    if (message == kStmSetIcon) icons[window] = NameOf(wParam);
    if (message == kBmSetCheck) {
      checks[window] = static_cast<std::intptr_t>(wParam);
    }
    return message == kBmGetCheck ? checks[window] : 0;
  }
  bool EnableWindow(HWnd window, bool enable) override {
    enabled[window] = enable;
    return true;
  }
  bool SetWindowTextA(HWnd window, const std::string& text) override {
    texts[window] = text;
    return true;
  }
  bool DateTimeSetSystemTime(HWnd picker, const SystemTime& time) override {
    pickerTimes[picker] = time;
    return true;
  }
  bool DateTimeGetSystemTime(HWnd picker, SystemTime& time) override {
    time = pickerTimes[picker];
    return true;
  }
  std::map<HWnd, std::string> pickerFormats;
  bool DateTimeSetFormat(HWnd picker, const std::string& format) override {
    pickerFormats[picker] = format;
    return true;
  }
  bool AddTool(HWnd, HWnd, HWnd tool, const std::string& text) override {
    texts[tool] += "|hint:" + text;
    return true;
  }
  std::uint32_t SetTextColor(HDc, std::uint32_t color) override {
    return Logged(0, "SetTextColor", Hex{color});
  }
  int SetBkMode(HDc, int) override { return 0; }
  std::intptr_t GetSysColorBrush(int index) override { return 0xB000 + index; }

  // --- Timers, fading, version information.
  std::uintptr_t SetTimer(HWnd window, std::uintptr_t id, std::uint32_t elapse) override {
    return Logged(id, "SetTimer", window, id, elapse);
  }
  bool KillTimer(HWnd window, std::uintptr_t id) override {
    return Logged(true, "KillTimer", window, id);
  }
  bool SetLayeredWindowAttributes(HWnd window, std::uint32_t, std::uint8_t alpha,
                                  std::uint32_t) override {
    return Logged(true, "SetLayeredWindowAttributes", window, alpha);
  }
  bool RedrawWindow(HWnd window, std::uint32_t flags) override {
    return Logged(true, "RedrawWindow", window, Hex{flags});
  }
  std::uint32_t GetFileVersionInfoSizeA(const std::string& fileName) override {
    return Logged(fileVersion ? 1024 : 0, "GetFileVersionInfoSizeA", fileName);
  }
  bool GetFileVersionInfoA(const std::string&, std::uint32_t size,
                           std::vector<std::uint8_t>& data) override {
    data.assign(size, 0);
    return fileVersion.has_value();
  }
  // Only a block GetFileVersionInfoA filled holds anything.
  bool VerQueryValueA(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                      std::vector<std::uint8_t>& value) override {
    Log("VerQueryValueA", subBlock);
    if (block.empty()) return false;
    if (subBlock == "\\VarFileInfo\\Translation") {
      value = versionTranslation;
      return true;
    }
    if (!fileVersion || subBlock != "\\StringFileInfo\\040904E4\\FileVersion") return false;
    value.assign(fileVersion->begin(), fileVersion->end());
    value.push_back(0);
    return true;
  }

 private:
  static constexpr std::uint32_t kErrorCannotFindWndClass = 1407;
  static constexpr std::uint32_t kErrorAccessDenied = 5;
  static constexpr std::uint32_t kErrorNoAccess = 998;
  static constexpr std::uint32_t kErrorInvalidParameter = 87;
  static constexpr std::uint32_t kPrivilegesSize = 16;  // one entry
  static constexpr std::uint32_t kShutdownLuid = 19;
  static constexpr std::uint32_t kErrorInvalidMenuHandle = 1401;
  static constexpr std::uintptr_t kPowerLibraryEntries = 0x6C481000;
  static constexpr std::uintptr_t kCurrentProcess = ~std::uintptr_t{0};
  static constexpr std::uintptr_t kTaskbar = 0x7A5C;

  // The size of the text's first character and the character, or 1 and
  // none where the first byte starts no character.
  static std::size_t Decode(const std::string& text, wchar_t& c) {
    std::mbstate_t state{};
    std::size_t size = std::mbrtowc(&c, text.data(), text.size(), &state);
    if (size != 0 && size <= text.size()) return size;
    c = 0;
    return 1;
  }
  template <typename T>
  std::string Text(const T& value) const {
    if constexpr (std::is_same_v<T, std::string>)
      return "\"" + value + "\"";
    else if constexpr (std::is_convertible_v<T, std::string_view>)
      return std::string(value);
    else if constexpr (std::is_same_v<T, Raw>)
      return value.text;
    else if constexpr (std::is_same_v<T, Hex>)
      return HexOf(value.value);
    else if constexpr (std::is_same_v<T, bool>)
      return value ? "TRUE" : "FALSE";
    else if constexpr (std::is_enum_v<T>)
      return NameOf(value);
    else
      return std::to_string(value);
  }
  template <typename... A>
  std::string Joined(const A&... args) const {
    std::string text;
    [[maybe_unused]] const char* separator = "";
    ((text += separator + Text(args), separator = ", "), ...);
    return text;
  }
  template <typename... A>
  Raw Braced(const A&... args) const {
    return {"{" + Joined(args...) + "}"};
  }
  static Raw NullOr(const std::string& text) { return {text.empty() ? "NULL" : '"' + text + '"'}; }
  static std::string HexOf(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
  }
  // Writes down the call and gives its line, for a result to be added.
  template <typename... A>
  std::string& Log(std::string_view name, const A&... args) {
    return calls.emplace_back(std::string(name) + "(" + Joined(args...) + ")");
  }
  template <typename R, typename... A>
  R Logged(R result, std::string_view name, const A&... args) {
    Log(name, args...);
    return result;
  }
  // A handle that stays open under its name until it is released.
  template <typename H>
  H Open(const std::string& name) {
    auto handle = 0x100 * (FNames.size() + 1);
    FNames[handle] = name;
    FOpen.insert(name);
    return static_cast<H>(handle);
  }
  // A handle the system has at a fixed value and never asks back.
  template <typename H>
  H Named(std::uintptr_t handle, const std::string& name) {
    FNames[handle] = name;
    return static_cast<H>(handle);
  }
  template <typename H>
  bool Release(H handle) {
    return FOpen.erase(NameOf(handle)) == 1;
  }
  template <typename H>
  bool Released(std::string_view call, H handle) {
    Log(call, handle);
    return Release(handle);
  }

  std::uint32_t FLastError = 0;
  std::uint32_t FTokenAccess = 0;
  std::map<std::uintptr_t, std::string> FNames;
  std::set<std::string> FOpen;
  std::map<HWnd, WindowHandler*> FHandlers;
  std::map<HWnd, Rect> FWindowRects;
  std::map<HWnd, std::vector<HWnd>> FChildren;
  std::set<HWnd> FVisible;
  int FWindows = 0;
};

}  // namespace quennavar::testing
