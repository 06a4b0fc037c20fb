// The seam's own types: opaque handles, the records the system fills in or
// reads, and the receiver of a window's messages.
#pragma once

#include <cstdint>
#include <string>

namespace quennavar {

// Opaque handles: the Win32 layer converts them to and from the real types.
enum class Handle : std::uintptr_t { Null = 0 };
enum class Module : std::uintptr_t { Null = 0 };
enum class ProcAddress : std::uintptr_t { Null = 0 };
// The system defines its predefined keys as LONG values widened to a pointer,
// so on 64-bit Windows HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002: a key of
// 0x0000000080000002 would name no key at all there.
enum class HKey : std::uintptr_t {
  Null = 0,
  LocalMachine = static_cast<std::uintptr_t>(std::intptr_t{static_cast<std::int32_t>(0x80000002)})
};
enum class EventSource : std::uintptr_t { Null = 0 };
enum class HWnd : std::uintptr_t { Null = 0 };
enum class HMenu : std::uintptr_t { Null = 0 };
enum class HIcon : std::uintptr_t { Null = 0 };
enum class HBitmap : std::uintptr_t { Null = 0 };
enum class HFont : std::uintptr_t { Null = 0 };
enum class HDc : std::uintptr_t { Null = 0 };
enum class HMonitor : std::uintptr_t { Null = 0 };

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

// MONITORINFO without its size and flags: where the monitor stands on the
// desktop, which may start left of or above the primary one, and the part of
// it that no taskbar covers.
struct MonitorInfo {
  Rect rcMonitor;
  Rect rcWork;
};

// NOTIFYICONDATAA in its original form, which every shell accepts, or with
// NIF_INFO in the form of Windows 2000. Its size differs between the 32- and
// 64-bit systems: the Win32 layer sets it.
struct NotifyIconData {
  HWnd hWnd = HWnd::Null;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  HIcon hIcon = HIcon::Null;
  std::string szTip;  // at most 63 bytes
  // The balloon, with NIF_INFO: Windows 2000's longer record carries it.
  std::string szInfo;       // at most 255 characters
  std::string szInfoTitle;  // at most 63 characters
  std::uint32_t dwInfoFlags = 0;
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

}  // namespace quennavar
