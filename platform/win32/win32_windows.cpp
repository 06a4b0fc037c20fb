// Windows, the message loop, menus and the notification area.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstring>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"

namespace quennavar {
using namespace win32;
namespace {

// The original layout, which every shell accepts, and Windows 2000's, which
// adds the balloon: 88 and 488 bytes on 32-bit Windows, 104 and 504 on 64-bit.
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104));
static_assert(NOTIFYICONDATAA_V2_SIZE == (sizeof(void*) == 4 ? 488 : 504));
constexpr UINT kBalloonTimeout = 10'000;  // ms; the least the shell allows

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

bool Win32Platform::ChangeWindowMessageFilterEx(HWnd window, std::uint32_t message,
                                                std::uint32_t action) {
  auto allow = FunctionOf<BOOL(WINAPI*)(HWND, UINT, DWORD, void*)>("user32.dll",
                                                                   "ChangeWindowMessageFilterEx");
  return allow && allow(ToWin32<HWND>(window), message, action, nullptr);
}

bool Win32Platform::ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) {
  auto add = FunctionOf<BOOL(WINAPI*)(UINT, DWORD)>("user32.dll", "ChangeWindowMessageFilter");
  return add && add(message, flag);
}

int Win32Platform::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

HWnd Win32Platform::FindWindowA(const std::string& className) {
  return FromWin32<HWnd>(::FindWindowA(className.c_str(), nullptr));
}

HMonitor Win32Platform::MonitorFromWindow(HWnd window, std::uint32_t flags) {
  return FromWin32<HMonitor>(::MonitorFromWindow(ToWin32<HWND>(window), flags));
}

bool Win32Platform::GetMonitorInfoA(HMonitor monitor, MonitorInfo& info) {
  MONITORINFO m{};
  m.cbSize = sizeof m;
  if (!::GetMonitorInfoA(ToWin32<HMONITOR>(monitor), &m)) return false;
  info.rcMonitor = {m.rcMonitor.left, m.rcMonitor.top, m.rcMonitor.right, m.rcMonitor.bottom};
  info.rcWork = {m.rcWork.left, m.rcWork.top, m.rcWork.right, m.rcWork.bottom};
  return true;
}

int Win32Platform::GetDeviceCaps(int index) {
  HDC screen = ::GetDC(nullptr);
  int value = ::GetDeviceCaps(screen, index);
  ::ReleaseDC(nullptr, screen);
  return value;
}

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

HIcon Win32Platform::LoadImageA(const std::string& name, int width, int height) {
  return FromWin32<HIcon>(
      ::LoadImageA(::GetModuleHandleA(nullptr), name.c_str(), IMAGE_ICON, width, height, 0));
}

bool Win32Platform::DestroyIcon(HIcon icon) { return ::DestroyIcon(ToWin32<HICON>(icon)); }

HBitmap Win32Platform::LoadBitmapA(const std::string& name, int width, int height) {
  return FromWin32<HBitmap>(
      ::LoadImageA(::GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, width, height, 0));
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
  record.cbSize = data.uFlags & NIF_INFO ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = ToWin32<HWND>(data.hWnd);
  record.uID = data.uID;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = ToWin32<HICON>(data.hIcon);
  std::strncpy(record.szTip, data.szTip.c_str(), 63);  // the original record's 64 bytes
  std::strncpy(record.szInfo, data.szInfo.c_str(), sizeof record.szInfo - 1);
  std::strncpy(record.szInfoTitle, data.szInfoTitle.c_str(), sizeof record.szInfoTitle - 1);
  record.uTimeout = kBalloonTimeout;
  record.dwInfoFlags = data.dwInfoFlags;
  // The shell and the two libraries it brings are not needed by a switch.
  auto notify =
      LateFunction<decltype(&::Shell_NotifyIconA)>(LateLibrary::Shell, "Shell_NotifyIconA");
  return notify && notify(message, &record);
}

}  // namespace quennavar
