#include "platform/win32/win32_platform.h"

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
// after windows.h too
#include <commctrl.h>

#include <cstddef>
#include <cstring>

namespace quennavar {
namespace {

template <typename Win32Handle, typename OpaqueHandle>
Win32Handle ToWin32(OpaqueHandle handle) {
  return reinterpret_cast<Win32Handle>(static_cast<std::uintptr_t>(handle));
}

template <typename OpaqueHandle, typename Pointer>
OpaqueHandle FromWin32(Pointer* pointer) {
  return static_cast<OpaqueHandle>(reinterpret_cast<std::uintptr_t>(pointer));
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// A function of a system library that is loaded at its first use, and stays
// loaded, instead of imported: for libraries many runs never need, whose
// loading would slow every start. Loading it again later only finds it.
template <typename Function>
Function LoadedOnFirstUse(const char* library, const char* name) {
  HMODULE module = ::LoadLibraryA(library);
  return module
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
             : nullptr;
}

BYTE* BufferOf(std::vector<std::uint8_t>* buffer) {
  return buffer && !buffer->empty() ? buffer->data() : nullptr;
}

static_assert(sizeof(TokenPrivileges) == sizeof(TOKEN_PRIVILEGES));
static_assert(NOTIFYICONDATAA_V1_SIZE == kNotifyIconDataV1Size);
static_assert(sizeof(NotifyHeader) == sizeof(NMHDR) &&
              offsetof(NotifyHeader, code) == offsetof(NMHDR, code));

constexpr char kWindowClass[] = "QuennavarWindow";

// Hands each message to the handler given at creation, kept in the window
// from its first message to its last, so that nothing reaches the handler
// once the window is gone.
LRESULT CALLBACK HandlerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* handler = reinterpret_cast<WindowHandler*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!handler) return ::DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = handler->WindowProc(FromWin32<HWnd>(window), message, wParam, lParam);
  if (message == WM_NCDESTROY) ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return result;
}

// False where the class cannot be registered, with the reason in GetLastError.
bool RegisterWindowClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = HandlerWindowProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.hIcon = ::LoadIconA(windowClass.hInstance, "MAINICON");
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  registered = ::RegisterClassA(&windowClass) != 0;
  return registered;
}

}  // namespace

std::string Win32Platform::GetCommandLineA() { return ::GetCommandLineA(); }

std::string Win32Platform::FormatMessageA(std::uint32_t messageId) {
  char text[512];
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, messageId, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
  return std::string(text, length);
}

std::string Win32Platform::GetModuleFileNameA() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: XP does not even say so
  }
}

Handle Win32Platform::GetCurrentProcess() { return FromWin32<Handle>(::GetCurrentProcess()); }

std::uint32_t Win32Platform::GetLastError() { return ::GetLastError(); }

bool Win32Platform::CloseHandle(Handle handle) { return ::CloseHandle(ToWin32<HANDLE>(handle)); }

bool Win32Platform::GetVersionExA(OsVersionInfo& info) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148: the original record, not the Ex one
  BOOL ok = ::GetVersionExA(&version);
  info = {version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
          version.dwPlatformId};
  return ok;
}

void Win32Platform::GetLocalTime(SystemTime& time) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  time = {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
          now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

std::string Win32Platform::GetLocaleInfoA(LocaleItem item) {
  char value[256];
  int length =
      ::GetLocaleInfoA(LOCALE_USER_DEFAULT, static_cast<LCTYPE>(item), value, sizeof value);
  return length > 0 ? std::string(value, length - 1) : std::string();
}

std::string Win32Platform::CharLowerBuffA(std::string text) {
  ::CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

Module Win32Platform::LoadLibraryA(const std::string& fileName) {
  return FromWin32<Module>(::LoadLibraryA(fileName.c_str()));
}

Module Win32Platform::GetModuleHandleA(const std::string& moduleName) {
  return FromWin32<Module>(::GetModuleHandleA(moduleName.c_str()));
}

ProcAddress Win32Platform::GetProcAddress(Module module, const std::string& procName) {
  return static_cast<ProcAddress>(reinterpret_cast<std::uintptr_t>(
      ::GetProcAddress(ToWin32<HMODULE>(module), procName.c_str())));
}

bool Win32Platform::CallPowerQuery(ProcAddress query) {
  using PowerQuery = BOOLEAN(WINAPI*)();
  return ToWin32<PowerQuery>(query)() != 0;
}

bool Win32Platform::CallSetSuspendState(ProcAddress setSuspendState, bool hibernate,
                                        bool forceCritical, bool disableWakeEvent) {
  using SetSuspendStateProc = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
  return ToWin32<SetSuspendStateProc>(setSuspendState)(hibernate, forceCritical,
                                                       disableWakeEvent) != 0;
}

bool Win32Platform::OpenProcessToken(Handle process, std::uint32_t desiredAccess, Handle& token) {
  HANDLE opened = nullptr;
  BOOL ok = ::OpenProcessToken(ToWin32<HANDLE>(process), desiredAccess, &opened);
  token = FromWin32<Handle>(opened);
  return ok;
}

bool Win32Platform::GetTokenInformation(Handle token, int informationClass,
                                        std::vector<std::uint8_t>* information,
                                        std::uint32_t informationLength,
                                        std::uint32_t& returnLength) {
  DWORD length = 0;
  BOOL ok = ::GetTokenInformation(ToWin32<HANDLE>(token),
                                  static_cast<TOKEN_INFORMATION_CLASS>(informationClass),
                                  BufferOf(information), informationLength, &length);
  returnLength = length;
  return ok;
}

bool Win32Platform::LookupPrivilegeValueA(const std::string& systemName, const std::string& name,
                                          Luid& luid) {
  LUID value{};
  BOOL ok = ::LookupPrivilegeValueA(OrNull(systemName), name.c_str(), &value);
  luid = {value.LowPart, value.HighPart};
  return ok;
}

bool Win32Platform::AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                                          const TokenPrivileges& newState,
                                          std::uint32_t bufferLength,
                                          std::vector<std::uint8_t>* previousState,
                                          std::uint32_t& returnLength) {
  TOKEN_PRIVILEGES state{};
  state.PrivilegeCount = newState.PrivilegeCount;
  state.Privileges[0].Luid = {newState.Privilege.LowPart, newState.Privilege.HighPart};
  state.Privileges[0].Attributes = newState.Attributes;
  DWORD length = returnLength;
  BOOL ok = ::AdjustTokenPrivileges(
      ToWin32<HANDLE>(token), disableAllPrivileges, &state, bufferLength,
      reinterpret_cast<TOKEN_PRIVILEGES*>(BufferOf(previousState)), &length);
  returnLength = length;
  return ok;
}

bool Win32Platform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  return ::ExitWindowsEx(flags, reason);
}

bool Win32Platform::LockWorkStation() { return ::LockWorkStation(); }

Handle Win32Platform::CreateWaitableTimerA(bool manualReset, const std::string& timerName) {
  return FromWin32<Handle>(::CreateWaitableTimerA(nullptr, manualReset, OrNull(timerName)));
}

bool Win32Platform::SetWaitableTimer(Handle timer, std::int64_t dueTime, std::int32_t period,
                                     bool resume) {
  LARGE_INTEGER due;
  due.QuadPart = dueTime;
  return ::SetWaitableTimer(ToWin32<HANDLE>(timer), &due, period, nullptr, nullptr, resume);
}

std::int32_t Win32Platform::RegCreateKeyExA(HKey key, const std::string& subKey,
                                            std::uint32_t samDesired, HKey& result) {
  HKEY opened = nullptr;
  LONG status = ::RegCreateKeyExA(ToWin32<HKEY>(key), subKey.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, samDesired, nullptr, &opened, nullptr);
  result = FromWin32<HKey>(opened);
  return status;
}

std::int32_t Win32Platform::RegSetValueExA(HKey key, const std::string& valueName,
                                           std::uint32_t type, const std::string& data) {
  // String values are stored with their terminating zero.
  return ::RegSetValueExA(ToWin32<HKEY>(key), valueName.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
}

std::int32_t Win32Platform::RegCloseKey(HKey key) { return ::RegCloseKey(ToWin32<HKEY>(key)); }

EventSource Win32Platform::RegisterEventSourceA(const std::string& uncServerName,
                                                const std::string& sourceName) {
  return FromWin32<EventSource>(::RegisterEventSourceA(OrNull(uncServerName), sourceName.c_str()));
}

bool Win32Platform::ReportEventA(EventSource eventLog, std::uint16_t type, std::uint16_t category,
                                 std::uint32_t eventId, const std::vector<std::string>& strings) {
  std::vector<const char*> texts;
  for (const std::string& text : strings) texts.push_back(text.c_str());
  return ::ReportEventA(ToWin32<HANDLE>(eventLog), type, category, eventId, nullptr,
                        static_cast<WORD>(texts.size()), 0, texts.data(), nullptr);
}

bool Win32Platform::DeregisterEventSource(EventSource eventLog) {
  return ::DeregisterEventSource(ToWin32<HANDLE>(eventLog));
}

int Win32Platform::MessageBoxA(HWnd owner, const std::string& text, const std::string& caption,
                               std::uint32_t type) {
  return ::MessageBoxA(ToWin32<HWND>(owner), text.c_str(), caption.c_str(), type);
}

std::string Win32Platform::GetPrivateProfileStringA(const std::string& appName,
                                                    const std::string& keyName,
                                                    const std::string& defaultValue,
                                                    std::uint32_t size,
                                                    const std::string& fileName) {
  std::string value(size, '\0');
  DWORD length = ::GetPrivateProfileStringA(appName.c_str(), keyName.c_str(), defaultValue.c_str(),
                                            value.data(), size, fileName.c_str());
  value.resize(length);
  return value;
}

bool Win32Platform::WritePrivateProfileStringA(const std::string& appName,
                                               const std::string& keyName, const std::string& value,
                                               const std::string& fileName) {
  return ::WritePrivateProfileStringA(appName.c_str(), keyName.c_str(), value.c_str(),
                                      fileName.c_str());
}

HWnd Win32Platform::CreateWindowExA(std::uint32_t exStyle, const std::string& windowName,
                                    std::uint32_t style, int x, int y, int width, int height,
                                    HWnd owner, WindowHandler& handler) {
  if (!RegisterWindowClass()) return HWnd::Null;
  return FromWin32<HWnd>(::CreateWindowExA(exStyle, kWindowClass, windowName.c_str(), style, x, y,
                                           width, height, ToWin32<HWND>(owner), nullptr,
                                           ::GetModuleHandleA(nullptr), &handler));
}

bool Win32Platform::DestroyWindow(HWnd window) { return ::DestroyWindow(ToWin32<HWND>(window)); }

bool Win32Platform::ShowWindow(HWnd window, int command) {
  return ::ShowWindow(ToWin32<HWND>(window), command);
}

std::intptr_t Win32Platform::DefWindowProcA(HWnd window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  return ::DefWindowProcA(ToWin32<HWND>(window), message, wParam, lParam);
}

bool Win32Platform::PostMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  return ::PostMessageA(ToWin32<HWND>(window), message, wParam, lParam);
}

void Win32Platform::PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

int Win32Platform::RunMessageLoop() {
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (FDialog != HWnd::Null && ::IsDialogMessageA(ToWin32<HWND>(FDialog), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

void Win32Platform::ProcessMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop to see
      return;
    }
    if (FDialog != HWnd::Null && ::IsDialogMessageA(ToWin32<HWND>(FDialog), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

std::uint32_t Win32Platform::RegisterWindowMessageA(const std::string& name) {
  return ::RegisterWindowMessageA(name.c_str());
}

int Win32Platform::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

bool Win32Platform::GetWindowRect(HWnd window, Rect& rect) {
  RECT r{};
  BOOL ok = ::GetWindowRect(ToWin32<HWND>(window), &r);
  rect = {r.left, r.top, r.right, r.bottom};
  return ok;
}

bool Win32Platform::AdjustWindowRectEx(Rect& rect, std::uint32_t style, bool menu,
                                       std::uint32_t exStyle) {
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  BOOL ok = ::AdjustWindowRectEx(&r, style, menu, exStyle);
  rect = {r.left, r.top, r.right, r.bottom};
  return ok;
}

bool Win32Platform::SetWindowPos(HWnd window, HWnd insertAfter, int x, int y, int cx, int cy,
                                 std::uint32_t flags) {
  return ::SetWindowPos(ToWin32<HWND>(window), ToWin32<HWND>(insertAfter), x, y, cx, cy, flags);
}

bool Win32Platform::SetForegroundWindow(HWnd window) {
  return ::SetForegroundWindow(ToWin32<HWND>(window));
}

bool Win32Platform::GetCursorPos(Point& point) {
  POINT p{};
  BOOL ok = ::GetCursorPos(&p);
  point = {p.x, p.y};
  return ok;
}

HIcon Win32Platform::LoadIconA(const std::string& name) {
  return FromWin32<HIcon>(::LoadIconA(::GetModuleHandleA(nullptr), name.c_str()));
}

HBitmap Win32Platform::LoadBitmapA(const std::string& name) {
  return FromWin32<HBitmap>(::LoadBitmapA(::GetModuleHandleA(nullptr), name.c_str()));
}

bool Win32Platform::DeleteObject(HBitmap bitmap) {
  return ::DeleteObject(ToWin32<HBITMAP>(bitmap));
}

HMenu Win32Platform::CreatePopupMenu() { return FromWin32<HMenu>(::CreatePopupMenu()); }

bool Win32Platform::SetMenuInfo(HMenu menu, std::uint32_t style) {
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_STYLE;
  info.dwStyle = style;
  return ::SetMenuInfo(ToWin32<HMENU>(menu), &info);
}

bool Win32Platform::AppendMenuA(HMenu menu, std::uint32_t flags, std::uintptr_t id,
                                const std::string& text) {
  return ::AppendMenuA(ToWin32<HMENU>(menu), flags, id,
                       flags & MF_SEPARATOR ? nullptr : text.c_str());
}

bool Win32Platform::SetMenuItemBitmap(HMenu menu, std::uint32_t id, HBitmap bitmap) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP;
  info.hbmpItem = ToWin32<HBITMAP>(bitmap);
  return ::SetMenuItemInfoA(ToWin32<HMENU>(menu), id, FALSE, &info);
}

std::uint32_t Win32Platform::CheckMenuItem(HMenu menu, std::uint32_t id, std::uint32_t check) {
  return ::CheckMenuItem(ToWin32<HMENU>(menu), id, check);
}

bool Win32Platform::EnableMenuItem(HMenu menu, std::uint32_t id, std::uint32_t enable) {
  return ::EnableMenuItem(ToWin32<HMENU>(menu), id, enable) != -1;
}

bool Win32Platform::TrackPopupMenu(HMenu menu, std::uint32_t flags, int x, int y, HWnd owner) {
  return ::TrackPopupMenu(ToWin32<HMENU>(menu), flags, x, y, 0, ToWin32<HWND>(owner), nullptr);
}

bool Win32Platform::DestroyMenu(HMenu menu) { return ::DestroyMenu(ToWin32<HMENU>(menu)); }

bool Win32Platform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  NOTIFYICONDATAA record{};
  record.cbSize = data.cbSize;
  record.hWnd = ToWin32<HWND>(data.hWnd);
  record.uID = data.uID;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = ToWin32<HICON>(data.hIcon);
  std::strncpy(record.szTip, data.szTip.c_str(), 63);
  // The shell and the two libraries it brings are not needed by a switch.
  auto notify =
      LoadedOnFirstUse<decltype(&::Shell_NotifyIconA)>("shell32.dll", "Shell_NotifyIconA");
  return notify && notify(message, &record);
}

// Called once, when the settings window is built. The library's start-up sets
// up visual styles and the display driver: imported, it cost a switch like
// /lock a third of its start.
void Win32Platform::InitCommonControlsEx(std::uint32_t classes) {
  INITCOMMONCONTROLSEX record{sizeof record, classes};
  auto init =
      LoadedOnFirstUse<decltype(&::InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
  if (init) init(&record);
}

HWnd Win32Platform::CreateWindowExA(std::uint32_t exStyle, const std::string& className,
                                    const std::string& windowName, std::uint32_t style, int x,
                                    int y, int width, int height, HWnd parent, std::uint32_t id) {
  HWND window = ::CreateWindowExA(exStyle, className.c_str(), windowName.c_str(), style, x, y,
                                  width, height, ToWin32<HWND>(parent),
                                  reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)),
                                  ::GetModuleHandleA(nullptr), nullptr);
  // Tab and the arrow keys move between the controls of this window.
  if (window && (style & WS_TABSTOP)) FDialog = parent;
  return FromWin32<HWnd>(window);
}

std::intptr_t Win32Platform::SendMessageA(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
  return ::SendMessageA(ToWin32<HWND>(window), message, wParam, lParam);
}

bool Win32Platform::EnableWindow(HWnd window, bool enable) {
  return ::EnableWindow(ToWin32<HWND>(window), enable);
}

bool Win32Platform::SetWindowTextA(HWnd window, const std::string& text) {
  return ::SetWindowTextA(ToWin32<HWND>(window), text.c_str());
}

bool Win32Platform::DateTimeSetSystemTime(HWnd picker, const SystemTime& time) {
  SYSTEMTIME value{time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
                   time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
  return DateTime_SetSystemtime(ToWin32<HWND>(picker), GDT_VALID, &value);
}

bool Win32Platform::DateTimeGetSystemTime(HWnd picker, SystemTime& time) {
  SYSTEMTIME value{};
  bool ok = DateTime_GetSystemtime(ToWin32<HWND>(picker), &value) == GDT_VALID;
  time = {value.wYear, value.wMonth,  value.wDayOfWeek, value.wDay,
          value.wHour, value.wMinute, value.wSecond,    value.wMilliseconds};
  return ok;
}

bool Win32Platform::AddTool(HWnd tooltip, HWnd owner, HWnd tool, const std::string& text) {
  TOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = ToWin32<HWND>(owner);
  info.uId = static_cast<UINT_PTR>(reinterpret_cast<std::uintptr_t>(ToWin32<HWND>(tool)));
  info.lpszText = const_cast<char*>(text.c_str());  // copied by the control
  return ::SendMessageA(ToWin32<HWND>(tooltip), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) !=
         0;
}

HIcon Win32Platform::LoadImageA(const std::string& name, int width, int height) {
  return FromWin32<HIcon>(
      ::LoadImageA(::GetModuleHandleA(nullptr), name.c_str(), IMAGE_ICON, width, height, 0));
}

HFont Win32Platform::CreateFontA(int height, int weight, const std::string& faceName) {
  return FromWin32<HFont>(::CreateFontA(
      height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName.c_str()));
}

bool Win32Platform::DeleteObject(HFont font) { return ::DeleteObject(ToWin32<HFONT>(font)); }

std::uint32_t Win32Platform::SetTextColor(HDc dc, std::uint32_t color) {
  return ::SetTextColor(ToWin32<HDC>(dc), color);
}

int Win32Platform::SetBkMode(HDc dc, int mode) { return ::SetBkMode(ToWin32<HDC>(dc), mode); }

std::intptr_t Win32Platform::GetSysColorBrush(int index) {
  return reinterpret_cast<std::intptr_t>(::GetSysColorBrush(index));
}

std::uintptr_t Win32Platform::SetTimer(HWnd window, std::uintptr_t id, std::uint32_t elapse) {
  return ::SetTimer(ToWin32<HWND>(window), id, elapse, nullptr);
}

bool Win32Platform::KillTimer(HWnd window, std::uintptr_t id) {
  return ::KillTimer(ToWin32<HWND>(window), id);
}

bool Win32Platform::SetLayeredWindowAttributes(HWnd window, std::uint32_t key, std::uint8_t alpha,
                                               std::uint32_t flags) {
  return ::SetLayeredWindowAttributes(ToWin32<HWND>(window), key, alpha, flags);
}

bool Win32Platform::RedrawWindow(HWnd window, std::uint32_t flags) {
  return ::RedrawWindow(ToWin32<HWND>(window), nullptr, nullptr, flags);
}

std::uint32_t Win32Platform::GetFileVersionInfoSizeA(const std::string& fileName) {
  DWORD handle = 0;
  return ::GetFileVersionInfoSizeA(fileName.c_str(), &handle);
}

bool Win32Platform::GetFileVersionInfoA(const std::string& fileName, std::uint32_t size,
                                        std::vector<std::uint8_t>& data) {
  data.assign(size, 0);
  return ::GetFileVersionInfoA(fileName.c_str(), 0, size, data.data());
}

bool Win32Platform::VerQueryValueA(const std::vector<std::uint8_t>& block,
                                   const std::string& subBlock, std::vector<std::uint8_t>& value) {
  void* found = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), subBlock.c_str(), &found, &length) || !found) return false;
  // Strings count characters with their terminating zero; values count bytes.
  auto* bytes = static_cast<const std::uint8_t*>(found);
  value.assign(bytes, bytes + length);
  return true;
}

}  // namespace quennavar
