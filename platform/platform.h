// The seam between the program's logic and the operating system.
//
// Most methods stand for the Win32 function of the same name, with its
// arguments in the same order, in project types. Arguments the program always
// passes the same way (null security attributes, reserved zeros, its own
// instance) are left out; the Win32 layer supplies them. A few stand for a
// message or a short fixed sequence and are named for what they do; each
// says what it stands for where it is declared. The logic never calls Win32
// itself, so the whole of it runs on the host against a recording fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/win32_values.h"

namespace quennavar {

class Platform {
 public:
  virtual ~Platform() = default;

  // Process and command line (kernel32)
  virtual std::string GetCommandLineA() = 0;
  virtual std::string GetModuleFileNameA() = 0;  // of the running program
  virtual Handle GetCurrentProcess() = 0;
  virtual std::uint32_t GetLastError() = 0;
  // FORMAT_MESSAGE_FROM_SYSTEM: the system's text for an error code, in the
  // user's language, without its closing line break.
  virtual std::string FormatMessageA(std::uint32_t messageId) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual bool GetVersionExA(OsVersionInfo& info) = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual void GetLocalTime(SystemTime& time) = 0;

  // Regional settings and text (kernel32, user32)
  virtual std::string GetLocaleInfoA(LocaleItem item) = 0;  // user default; "" where unset
  // Lowered character by character in the code page of the text calls; a
  // character's lower case may take another number of bytes.
  virtual std::string CharLowerBuffA(std::string text) = 0;
  // How many bytes the text's first character takes in that code page: two
  // for a double-byte code page's lead and trail byte, up to four in UTF-8.
  // MultiByteToWideChar, a byte more at a time, until the bytes make one.
  virtual std::size_t FirstCharacterSize(const std::string& text) = 0;
  // The user default locale's time format; of `time` only the time of day counts.
  virtual std::string GetTimeFormatA(std::uint32_t flags, const SystemTime& time) = 0;

  // Run-time linking (kernel32). The power-management entries have no import
  // library on older systems, so they are only ever reached through here.
  // LoadLibraryExA of "powrprof.dll" by its full path in the system folder,
  // never by the bare name, whose search starts in the program's own folder.
  virtual Module LoadSystemLibrary(const std::string& fileName) = 0;
  virtual Module GetModuleHandleA(const std::string& moduleName) = 0;
  virtual ProcAddress GetProcAddress(Module module, const std::string& procName) = 0;
  // BOOLEAN WINAPI IsPwrSuspendAllowed(void) and IsPwrHibernateAllowed(void)
  virtual bool CallPowerQuery(ProcAddress query) = 0;
  // BOOLEAN WINAPI SetSuspendState(BOOLEAN, BOOLEAN, BOOLEAN)
  virtual bool CallSetSuspendState(ProcAddress setSuspendState, bool hibernate, bool forceCritical,
                                   bool disableWakeEvent) = 0;

  // Privileges (advapi32). A handle given back through an argument is null
  // where the call fails, here and in the registry calls below.
  virtual bool OpenProcessToken(Handle process, std::uint32_t desiredAccess, Handle& token) = 0;
  virtual bool GetTokenInformation(Handle token, int informationClass,
                                   std::vector<std::uint8_t>* information,
                                   std::uint32_t informationLength,
                                   std::uint32_t& returnLength) = 0;
  // An empty system name means the local system.
  virtual bool LookupPrivilegeValueA(const std::string& systemName, const std::string& name,
                                     Luid& luid) = 0;
  virtual bool AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                                     const TokenPrivileges& newState, std::uint32_t bufferLength,
                                     std::vector<std::uint8_t>* previousState,
                                     std::uint32_t& returnLength) = 0;

  // Session (user32)
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
  virtual bool LockWorkStation() = 0;

  // Wake-up timer (kernel32)
  virtual Handle CreateWaitableTimerA(bool manualReset, const std::string& timerName) = 0;
  virtual bool SetWaitableTimer(Handle timer, std::int64_t dueTime, std::int32_t period,
                                bool resume) = 0;

  // Registry and event log (advapi32); the registry calls return the Win32 status.
  virtual std::int32_t RegCreateKeyExA(HKey key, const std::string& subKey,
                                       std::uint32_t samDesired, HKey& result) = 0;
  virtual std::int32_t RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                                      const std::string& data) = 0;
  virtual std::int32_t RegCloseKey(HKey key) = 0;
  // An empty server name means the local machine.
  virtual EventSource RegisterEventSourceA(const std::string& uncServerName,
                                           const std::string& sourceName) = 0;
  virtual bool ReportEventA(EventSource eventLog, std::uint16_t type, std::uint16_t category,
                            std::uint32_t eventId, const std::vector<std::string>& strings) = 0;
  virtual bool DeregisterEventSource(EventSource eventLog) = 0;

  // Messages (user32)
  virtual int MessageBoxA(HWnd owner, const std::string& text, const std::string& caption,
                          std::uint32_t type) = 0;

  // Files and drives (kernel32). CreateFileA without security attributes,
  // flags or template; null where it fails, and GetLastError tells why.
  virtual Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                             std::uint32_t shareMode, std::uint32_t creationDisposition) = 0;
  virtual std::uint32_t GetDriveTypeA(const std::string& rootPathName) = 0;

  // Profile files (kernel32). The read is cut to size - 1 characters.
  virtual std::string GetPrivateProfileStringA(const std::string& appName,
                                               const std::string& keyName,
                                               const std::string& defaultValue, std::uint32_t size,
                                               const std::string& fileName) = 0;
  virtual bool WritePrivateProfileStringA(const std::string& appName, const std::string& keyName,
                                          const std::string& value,
                                          const std::string& fileName) = 0;

  // Windows (user32). The layer registers one window class whose window
  // procedure hands every message to the window's handler, from WM_NCCREATE
  // to WM_NCDESTROY and none after. Null where the class or the window
  // cannot be made; GetLastError tells why.
  virtual HWnd CreateWindowExA(std::uint32_t exStyle, const std::string& windowName,
                               std::uint32_t style, int x, int y, int width, int height, HWnd owner,
                               WindowHandler& handler) = 0;
  virtual bool DestroyWindow(HWnd window) = 0;
  virtual bool ShowWindow(HWnd window, int command) = 0;
  virtual std::intptr_t DefWindowProcA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;
  virtual bool PostMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) = 0;
  virtual void PostQuitMessage(int exitCode) = 0;
  // GetMessageA, TranslateMessage and DispatchMessageA until WM_QUIT; its wParam.
  virtual int RunMessageLoop() = 0;
  virtual std::uint32_t RegisterWindowMessageA(const std::string& name) = 0;
  // Let a message through from processes of lower integrity: to the window
  // (7 and later), or to the whole process (Vista). False where user32
  // lacks them; before Vista nothing holds a message back.
  virtual bool ChangeWindowMessageFilterEx(HWnd window, std::uint32_t message,
                                           std::uint32_t action) = 0;
  virtual bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) = 0;
  virtual int GetSystemMetrics(int index) = 0;
  // A top-level window of the class, whatever its title; null where none is.
  virtual HWnd FindWindowA(const std::string& className) = 0;
  virtual HMonitor MonitorFromWindow(HWnd window, std::uint32_t flags) = 0;
  virtual bool GetMonitorInfoA(HMonitor monitor, MonitorInfo& info) = 0;
  // Of the screen: GetDC(NULL), GetDeviceCaps and ReleaseDC.
  virtual int GetDeviceCaps(int index) = 0;
  virtual bool GetWindowRect(HWnd window, Rect& rect) = 0;
  virtual bool AdjustWindowRectEx(Rect& rect, std::uint32_t style, bool menu,
                                  std::uint32_t exStyle) = 0;
  virtual bool SetWindowPos(HWnd window, HWnd insertAfter, int x, int y, int cx, int cy,
                            std::uint32_t flags) = 0;
  virtual bool SetForegroundWindow(HWnd window) = 0;
  virtual bool GetCursorPos(Point& point) = 0;

  // Resources of the program's own file (user32, gdi32), at the size given:
  // LoadImageA with IMAGE_ICON, and with IMAGE_BITMAP (stretched to it).
  virtual HIcon LoadImageA(const std::string& name, int width, int height) = 0;
  virtual bool DestroyIcon(HIcon icon) = 0;
  virtual HBitmap LoadBitmapA(const std::string& name, int width, int height) = 0;
  virtual bool DeleteObject(HBitmap bitmap) = 0;

  // Menus (user32)
  virtual HMenu CreatePopupMenu() = 0;
  virtual bool SetMenuInfo(HMenu menu, std::uint32_t style) = 0;  // MIM_STYLE
  virtual bool AppendMenuA(HMenu menu, std::uint32_t flags, std::uintptr_t id,
                           const std::string& text) = 0;
  // SetMenuItemInfoA with MIIM_BITMAP: the picture beside the item's text.
  virtual bool SetMenuItemBitmap(HMenu menu, std::uint32_t id, HBitmap bitmap) = 0;
  virtual std::uint32_t CheckMenuItem(HMenu menu, std::uint32_t id, std::uint32_t check) = 0;
  virtual bool EnableMenuItem(HMenu menu, std::uint32_t id, std::uint32_t enable) = 0;
  virtual bool TrackPopupMenu(HMenu menu, std::uint32_t flags, int x, int y, HWnd owner) = 0;
  virtual bool DestroyMenu(HMenu menu) = 0;

  // Controls of a window the logic created (user32, comctl32)
  virtual void InitCommonControlsEx(std::uint32_t classes) = 0;
  virtual HWnd CreateWindowExA(std::uint32_t exStyle, const std::string& className,
                               const std::string& windowName, std::uint32_t style, int x, int y,
                               int width, int height, HWnd parent, std::uint32_t id) = 0;
  virtual std::intptr_t SendMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) = 0;
  virtual bool EnableWindow(HWnd window, bool enable) = 0;
  virtual bool SetWindowTextA(HWnd window, const std::string& text) = 0;
  // DTM_SETSYSTEMTIME, DTM_GETSYSTEMTIME and DTM_SETFORMATA of a date-time picker
  virtual bool DateTimeSetSystemTime(HWnd picker, const SystemTime& time) = 0;
  virtual bool DateTimeGetSystemTime(HWnd picker, SystemTime& time) = 0;
  virtual bool DateTimeSetFormat(HWnd picker, const std::string& format) = 0;
  // TTM_ADDTOOLA: the tooltip shows the text while the mouse rests on the tool.
  virtual bool AddTool(HWnd tooltip, HWnd owner, HWnd tool, const std::string& text) = 0;
  virtual HFont CreateFontA(int height, int weight, const std::string& faceName) = 0;
  virtual bool DeleteObject(HFont font) = 0;
  virtual std::uint32_t SetTextColor(HDc dc, std::uint32_t color) = 0;
  virtual int SetBkMode(HDc dc, int mode) = 0;
  virtual std::intptr_t GetSysColorBrush(int index) = 0;  // the brush, as a message result

  // Window timers, opacity and painting (user32)
  virtual std::uintptr_t SetTimer(HWnd window, std::uintptr_t id, std::uint32_t elapse) = 0;
  virtual bool KillTimer(HWnd window, std::uintptr_t id) = 0;
  virtual bool SetLayeredWindowAttributes(HWnd window, std::uint32_t key, std::uint8_t alpha,
                                          std::uint32_t flags) = 0;
  // The whole window: no rectangle, no region.
  virtual bool RedrawWindow(HWnd window, std::uint32_t flags) = 0;
  // PeekMessageA, TranslateMessage and DispatchMessageA while messages wait.
  virtual void ProcessMessages() = 0;

  // Version information (version)
  virtual std::uint32_t GetFileVersionInfoSizeA(const std::string& fileName) = 0;
  virtual bool GetFileVersionInfoA(const std::string& fileName, std::uint32_t size,
                                   std::vector<std::uint8_t>& data) = 0;
  virtual bool VerQueryValueA(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                              std::vector<std::uint8_t>& value) = 0;

  // Notification area (shell32)
  virtual bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) = 0;
};

}  // namespace quennavar
