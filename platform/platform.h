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

namespace quennavar {

// Opaque handles: the Win32 layer converts them to and from the real types.
enum class Handle : std::uintptr_t { Null = 0 };
enum class Module : std::uintptr_t { Null = 0 };
enum class ProcAddress : std::uintptr_t { Null = 0 };
enum class HKey : std::uintptr_t { Null = 0, LocalMachine = 0x80000002 };
enum class EventSource : std::uintptr_t { Null = 0 };
enum class HWnd : std::uintptr_t { Null = 0 };
enum class HMenu : std::uintptr_t { Null = 0 };
enum class HIcon : std::uintptr_t { Null = 0 };
enum class HBitmap : std::uintptr_t { Null = 0 };
enum class HFont : std::uintptr_t { Null = 0 };
enum class HDc : std::uintptr_t { Null = 0 };

struct OsVersionInfo {
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
};

struct Luid {
  std::uint32_t LowPart = 0;
  std::int32_t HighPart = 0;
};

// TOKEN_PRIVILEGES with room for exactly one entry: 16 bytes on Windows.
struct TokenPrivileges {
  std::uint32_t PrivilegeCount = 0;
  Luid Privilege;
  std::uint32_t Attributes = 0;
};

struct SystemTime {
  std::uint16_t wYear = 0;
  std::uint16_t wMonth = 0;
  std::uint16_t wDayOfWeek = 0;
  std::uint16_t wDay = 0;
  std::uint16_t wHour = 0;
  std::uint16_t wMinute = 0;
  std::uint16_t wSecond = 0;
  std::uint16_t wMilliseconds = 0;
};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// NOTIFYICONDATAA in its original 88-byte form, which every shell accepts.
struct NotifyIconData {
  std::uint32_t cbSize = 0;
  HWnd hWnd = HWnd::Null;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  HIcon hIcon = HIcon::Null;
  std::string szTip;  // at most 63 characters
};

// NMHDR: the header of a WM_NOTIFY message, which lParam points to.
struct NotifyHeader {
  HWnd hwndFrom = HWnd::Null;
  std::uintptr_t idFrom = 0;
  std::int32_t code = 0;
};

// Receives the messages of a window the platform created for the logic.
class WindowHandler {
 public:
  virtual std::intptr_t WindowProc(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) = 0;

 protected:
  ~WindowHandler() = default;
};

// Win32 values the logic passes through the seam.
inline constexpr std::uint32_t kVerPlatformWin32Windows = 1;
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;
inline constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
inline constexpr std::uint32_t kTokenQuery = 0x08;
inline constexpr int kTokenPrivilegesClass = 3;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kSePrivilegeEnabled = 2;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kMbIconStop = 0x10;
inline constexpr std::uint32_t kMbOk = 0x00;

inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmNcCreate = 0x0081;
inline constexpr std::uint32_t kWmNcDestroy = 0x0082;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmQueryEndSession = 0x0011;
inline constexpr std::uint32_t kWmSettingChange = 0x001A;
inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmUser = 0x0400;

inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSmCxScreen = 0;
inline constexpr int kSmCyScreen = 1;
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoZOrder = 0x0004;
inline constexpr std::uint32_t kSwpNoActivate = 0x0010;

inline constexpr std::uint32_t kMfString = 0x0000;
inline constexpr std::uint32_t kMfGrayed = 0x0001;
inline constexpr std::uint32_t kMfSeparator = 0x0800;
inline constexpr std::uint32_t kMfByCommand = 0x0000;
inline constexpr std::uint32_t kMfEnabled = 0x0000;
inline constexpr std::uint32_t kMfUnchecked = 0x0000;
inline constexpr std::uint32_t kMfChecked = 0x0008;
inline constexpr std::uint32_t kMnsCheckOrBmp = 0x04000000;
inline constexpr std::uint32_t kTpmLeftAlign = 0x0000;
inline constexpr std::uint32_t kTpmRightButton = 0x0002;

inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::uint32_t kNotifyIconDataV1Size = 88;

inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsExLayered = 0x00080000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;

inline constexpr std::uint32_t kWmShowWindow = 0x0018;
inline constexpr std::uint32_t kWmSetFont = 0x0030;
inline constexpr std::uint32_t kWmNotify = 0x004E;
inline constexpr std::uint32_t kWmCtlColorStatic = 0x0138;
inline constexpr std::uint32_t kBmGetCheck = 0x00F0;
inline constexpr std::uint32_t kBmSetCheck = 0x00F1;
inline constexpr std::uint32_t kBstChecked = 1;
inline constexpr std::uint32_t kBnClicked = 0;
inline constexpr std::int32_t kDtnDateTimeChange = -759;
inline constexpr std::uint32_t kLwaAlpha = 0x2;
inline constexpr std::uint32_t kRdwInvalidate = 0x0001;
inline constexpr std::uint32_t kRdwErase = 0x0004;
inline constexpr std::uint32_t kRdwAllChildren = 0x0080;
inline constexpr std::uint32_t kRdwUpdateNow = 0x0100;
inline constexpr int kTransparent = 1;
inline constexpr int kColorBtnFace = 15;
inline constexpr int kFwNormal = 400;
inline constexpr int kFwBold = 700;

// LCTYPE values of the regional settings the program reads.
enum class LocaleItem : std::uint32_t {
  SDate = 0x1D,
  STime = 0x1E,
  SShortDate = 0x1F,
  ITime = 0x23,
  ITLZero = 0x25,
  S1159 = 0x28,
  S2359 = 0x29,
  ITimeMarkPosn = 0x1005,
  SDecimal = 0x0E,
  SDayName1 = 0x2A,  // Monday; the next six follow in order
  SAbbrevDayName1 = 0x31,
  SMonthName1 = 0x38,  // January; the next eleven follow in order
  SAbbrevMonthName1 = 0x44,
};

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
  virtual void GetLocalTime(SystemTime& time) = 0;

  // Regional settings and text (kernel32, user32)
  virtual std::string GetLocaleInfoA(LocaleItem item) = 0;  // user default; "" where unset
  virtual std::string CharLowerBuffA(std::string text) = 0;

  // Run-time linking (kernel32). The power-management entries have no import
  // library on older systems, so they are only ever reached through here.
  virtual Module LoadLibraryA(const std::string& fileName) = 0;
  virtual Module GetModuleHandleA(const std::string& moduleName) = 0;
  virtual ProcAddress GetProcAddress(Module module, const std::string& procName) = 0;
  // BOOLEAN WINAPI IsPwrSuspendAllowed(void) and IsPwrHibernateAllowed(void)
  virtual bool CallPowerQuery(ProcAddress query) = 0;
  // BOOLEAN WINAPI SetSuspendState(BOOLEAN, BOOLEAN, BOOLEAN)
  virtual bool CallSetSuspendState(ProcAddress setSuspendState, bool hibernate, bool forceCritical,
                                   bool disableWakeEvent) = 0;

  // Privileges (advapi32)
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
  virtual int GetSystemMetrics(int index) = 0;
  virtual bool GetWindowRect(HWnd window, Rect& rect) = 0;
  virtual bool AdjustWindowRectEx(Rect& rect, std::uint32_t style, bool menu,
                                  std::uint32_t exStyle) = 0;
  virtual bool SetWindowPos(HWnd window, HWnd insertAfter, int x, int y, int cx, int cy,
                            std::uint32_t flags) = 0;
  virtual bool SetForegroundWindow(HWnd window) = 0;
  virtual bool GetCursorPos(Point& point) = 0;

  // Resources of the program's own file (user32, gdi32)
  virtual HIcon LoadIconA(const std::string& name) = 0;
  virtual HBitmap LoadBitmapA(const std::string& name) = 0;
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
  // DTM_SETSYSTEMTIME and DTM_GETSYSTEMTIME of a date-time picker
  virtual bool DateTimeSetSystemTime(HWnd picker, const SystemTime& time) = 0;
  virtual bool DateTimeGetSystemTime(HWnd picker, SystemTime& time) = 0;
  // TTM_ADDTOOLA: the tooltip shows the text while the mouse rests on the tool.
  virtual bool AddTool(HWnd tooltip, HWnd owner, HWnd tool, const std::string& text) = 0;
  virtual HIcon LoadImageA(const std::string& name, int width, int height) = 0;  // an icon
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
