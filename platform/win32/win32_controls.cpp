// The settings window's controls, painting, window timers and the program
// file's version information.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <cstddef>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_platform.h"

namespace quennavar {
using namespace win32;

static_assert(sizeof(NotifyHeader) == sizeof(NMHDR) &&
              offsetof(NotifyHeader, idFrom) == offsetof(NMHDR, idFrom) &&
              offsetof(NotifyHeader, code) == offsetof(NMHDR, code));

// Called once, when the settings window is built. The library's start-up sets
// up visual styles and the display driver: imported, it cost a switch like
// /lock a third of its start.
void Win32Platform::InitCommonControlsEx(std::uint32_t classes) {
  INITCOMMONCONTROLSEX record{sizeof record, classes};
  auto init = LateFunction<decltype(&::InitCommonControlsEx)>(LateLibrary::CommonControls,
                                                              "InitCommonControlsEx");
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

bool Win32Platform::DateTimeSetFormat(HWnd picker, const std::string& format) {
  return ::SendMessageA(ToWin32<HWND>(picker), DTM_SETFORMATA, 0,
                        reinterpret_cast<LPARAM>(format.c_str())) != 0;
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

// The version library, like the common controls, only for the settings
// window: a switch never needs it.
std::uint32_t Win32Platform::GetFileVersionInfoSizeA(const std::string& fileName) {
  DWORD handle = 0;
  auto size = LateFunction<decltype(&::GetFileVersionInfoSizeA)>(LateLibrary::Version,
                                                                 "GetFileVersionInfoSizeA");
  return size ? size(fileName.c_str(), &handle) : 0;
}

bool Win32Platform::GetFileVersionInfoA(const std::string& fileName, std::uint32_t size,
                                        std::vector<std::uint8_t>& data) {
  data.assign(size, 0);
  auto read =
      LateFunction<decltype(&::GetFileVersionInfoA)>(LateLibrary::Version, "GetFileVersionInfoA");
  return read && read(fileName.c_str(), 0, size, data.data());
}

bool Win32Platform::VerQueryValueA(const std::vector<std::uint8_t>& block,
                                   const std::string& subBlock, std::vector<std::uint8_t>& value) {
  void* found = nullptr;
  UINT length = 0;
  auto query = LateFunction<decltype(&::VerQueryValueA)>(LateLibrary::Version, "VerQueryValueA");
  if (!query || !query(block.data(), subBlock.c_str(), &found, &length) || !found) return false;
  // Strings count characters with their terminating zero; values count bytes.
  auto* bytes = static_cast<const std::uint8_t*>(found);
  value.assign(bytes, bytes + length);
  return true;
}

}  // namespace quennavar
