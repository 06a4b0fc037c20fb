// The real platform: each method forwards to the Win32 function of its name.
#pragma once

#include <array>

#include "platform/platform.h"
#include "platform/system_libraries.h"

namespace quennavar::win32 {
enum class LateLibrary;

// The loader's calls as kernel32 has them; those older systems lack are
// looked up, and answer false where they are missing.
class Kernel32Loader final : public LibraryLoader {
 public:
  bool SetDefaultDllDirectories(std::uint32_t directoryFlags) override;
  bool SetDllDirectoryA(const std::string& pathName) override;
  std::string GetSystemDirectoryA() override;
  Module LoadLibraryExA(const std::string& fileName, std::uint32_t flags) override;
};

}  // namespace quennavar::win32

namespace quennavar {

class Win32Platform : public Platform {
 public:
  Win32Platform() = default;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;
  // After every window: frees the libraries loaded at first use.
  ~Win32Platform() override;

  std::string GetCommandLineA() override;
  std::string GetModuleFileNameA() override;
  Handle GetCurrentProcess() override;
  std::uint32_t GetLastError() override;
  std::string FormatMessageA(std::uint32_t messageId) override;
  bool CloseHandle(Handle handle) override;
  bool GetVersionExA(OsVersionInfo& info) override;
  void Sleep(std::uint32_t milliseconds) override;
  void GetLocalTime(SystemTime& time) override;
  std::string GetLocaleInfoA(LocaleItem item) override;
  std::string CharLowerBuffA(std::string text) override;
  std::size_t FirstCharacterSize(const std::string& text) override;
  std::string GetTimeFormatA(std::uint32_t flags, const SystemTime& time) override;
  Module LoadSystemLibrary(const std::string& fileName) override;
  Module GetModuleHandleA(const std::string& moduleName) override;
  ProcAddress GetProcAddress(Module module, const std::string& procName) override;
  bool CallPowerQuery(ProcAddress query) override;
  bool CallSetSuspendState(ProcAddress setSuspendState, bool hibernate, bool forceCritical,
                           bool disableWakeEvent) override;
  bool OpenProcessToken(Handle process, std::uint32_t desiredAccess, Handle& token) override;
  bool GetTokenInformation(Handle token, int informationClass,
                           std::vector<std::uint8_t>* information, std::uint32_t informationLength,
                           std::uint32_t& returnLength) override;
  bool LookupPrivilegeValueA(const std::string& systemName, const std::string& name,
                             Luid& luid) override;
  bool AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                             const TokenPrivileges& newState, std::uint32_t bufferLength,
                             std::vector<std::uint8_t>* previousState,
                             std::uint32_t& returnLength) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
  bool LockWorkStation() override;
  Handle CreateWaitableTimerA(bool manualReset, const std::string& timerName) override;
  bool SetWaitableTimer(Handle timer, std::int64_t dueTime, std::int32_t period,
                        bool resume) override;
  std::int32_t RegCreateKeyExA(HKey key, const std::string& subKey, std::uint32_t samDesired,
                               HKey& result) override;
  std::int32_t RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                              const std::string& data) override;
  std::int32_t RegCloseKey(HKey key) override;
  EventSource RegisterEventSourceA(const std::string& uncServerName,
                                   const std::string& sourceName) override;
  bool ReportEventA(EventSource eventLog, std::uint16_t type, std::uint16_t category,
                    std::uint32_t eventId, const std::vector<std::string>& strings) override;
  bool DeregisterEventSource(EventSource eventLog) override;
  int MessageBoxA(HWnd owner, const std::string& text, const std::string& caption,
                  std::uint32_t type) override;
  Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                     std::uint32_t shareMode, std::uint32_t creationDisposition) override;
  std::uint32_t GetDriveTypeA(const std::string& rootPathName) override;
  std::string GetPrivateProfileStringA(const std::string& appName, const std::string& keyName,
                                       const std::string& defaultValue, std::uint32_t size,
                                       const std::string& fileName) override;
  bool WritePrivateProfileStringA(const std::string& appName, const std::string& keyName,
                                  const std::string& value, const std::string& fileName) override;
  HWnd CreateWindowExA(std::uint32_t exStyle, const std::string& windowName, std::uint32_t style,
                       int x, int y, int width, int height, HWnd owner,
                       WindowHandler& handler) override;
  bool DestroyWindow(HWnd window) override;
  bool ShowWindow(HWnd window, int command) override;
  std::intptr_t DefWindowProcA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
  bool PostMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  void PostQuitMessage(int exitCode) override;
  int RunMessageLoop() override;
  std::uint32_t RegisterWindowMessageA(const std::string& name) override;
  bool ChangeWindowMessageFilterEx(HWnd window, std::uint32_t message,
                                   std::uint32_t action) override;
  bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) override;
  int GetSystemMetrics(int index) override;
  HWnd FindWindowA(const std::string& className) override;
  HMonitor MonitorFromWindow(HWnd window, std::uint32_t flags) override;
  bool GetMonitorInfoA(HMonitor monitor, MonitorInfo& info) override;
  int GetDeviceCaps(int index) override;
  bool GetWindowRect(HWnd window, Rect& rect) override;
  bool AdjustWindowRectEx(Rect& rect, std::uint32_t style, bool menu,
                          std::uint32_t exStyle) override;
  bool SetWindowPos(HWnd window, HWnd insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override;
  bool SetForegroundWindow(HWnd window) override;
  bool GetCursorPos(Point& point) override;
  HIcon LoadImageA(const std::string& name, int width, int height) override;
  bool DestroyIcon(HIcon icon) override;
  HBitmap LoadBitmapA(const std::string& name, int width, int height) override;
  bool DeleteObject(HBitmap bitmap) override;
  HMenu CreatePopupMenu() override;
  bool SetMenuInfo(HMenu menu, std::uint32_t style) override;
  bool AppendMenuA(HMenu menu, std::uint32_t flags, std::uintptr_t id,
                   const std::string& text) override;
  bool SetMenuItemBitmap(HMenu menu, std::uint32_t id, HBitmap bitmap) override;
  std::uint32_t CheckMenuItem(HMenu menu, std::uint32_t id, std::uint32_t check) override;
  bool EnableMenuItem(HMenu menu, std::uint32_t id, std::uint32_t enable) override;
  bool TrackPopupMenu(HMenu menu, std::uint32_t flags, int x, int y, HWnd owner) override;
  bool DestroyMenu(HMenu menu) override;
  bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;
  void InitCommonControlsEx(std::uint32_t classes) override;
  HWnd CreateWindowExA(std::uint32_t exStyle, const std::string& className,
                       const std::string& windowName, std::uint32_t style, int x, int y, int width,
                       int height, HWnd parent, std::uint32_t id) override;
  std::intptr_t SendMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
  bool EnableWindow(HWnd window, bool enable) override;
  bool SetWindowTextA(HWnd window, const std::string& text) override;
  bool DateTimeSetSystemTime(HWnd picker, const SystemTime& time) override;
  bool DateTimeGetSystemTime(HWnd picker, SystemTime& time) override;
  bool DateTimeSetFormat(HWnd picker, const std::string& format) override;
  bool AddTool(HWnd tooltip, HWnd owner, HWnd tool, const std::string& text) override;
  HFont CreateFontA(int height, int weight, const std::string& faceName) override;
  bool DeleteObject(HFont font) override;
  std::uint32_t SetTextColor(HDc dc, std::uint32_t color) override;
  int SetBkMode(HDc dc, int mode) override;
  std::intptr_t GetSysColorBrush(int index) override;
  std::uintptr_t SetTimer(HWnd window, std::uintptr_t id, std::uint32_t elapse) override;
  bool KillTimer(HWnd window, std::uintptr_t id) override;
  bool SetLayeredWindowAttributes(HWnd window, std::uint32_t key, std::uint8_t alpha,
                                  std::uint32_t flags) override;
  bool RedrawWindow(HWnd window, std::uint32_t flags) override;
  void ProcessMessages() override;
  std::uint32_t GetFileVersionInfoSizeA(const std::string& fileName) override;
  bool GetFileVersionInfoA(const std::string& fileName, std::uint32_t size,
                           std::vector<std::uint8_t>& data) override;
  bool VerQueryValueA(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                      std::vector<std::uint8_t>& value) override;

 private:
  // A function of a library loaded at its first use, null where either is
  // missing. Each library is loaded once, however often it is used, and
  // freed once, by the destructor.
  void* LateFunction(win32::LateLibrary library, const char* name);
  template <typename Function>
  Function LateFunction(win32::LateLibrary library, const char* name) {
    return reinterpret_cast<Function>(LateFunction(library, name));
  }

  // First: the library search is narrowed before anything else is done.
  win32::Kernel32Loader FLoader;
  SystemLibraries FLibraries{FLoader};
  HWnd FDialog = HWnd::Null;              // the window whose controls Tab moves between
  std::array<void*, 3> FLateLibraries{};  // by LateLibrary; null until loaded
};

}  // namespace quennavar
