// The tray menu, top to bottom: command id, caption and the picture beside
// it (a bitmap resource of the program file, 16 x 16 pixels at 96 DPI; none
// for plain items).
#pragma once

#include <cstdint>
#include <utility>

namespace quennavar {

enum TrayCommand : std::uint32_t {
  miLogoff = 101,
  miLock,
  miReboot,
  miPoweroff,
  miShutdown,
  miSuspend,
  miHibernate,
  N1,
  miForceterminate,
  N2,
  miShow,
  miExit,
};

inline constexpr int kMenuPictureSize = 16;
// The sizes each picture is drawn at, as resources of its name and a suffix.
inline constexpr std::pair<int, const char*> kMenuPictureSizes[] = {
    {16, ""}, {20, "_20"}, {24, "_24"}, {32, "_32"}};

struct TrayMenuItem {
  TrayCommand id;
  const char* caption;  // null: a separator
  const char* bitmap;
};

inline constexpr TrayMenuItem kTrayMenu[] = {
    {miLogoff, "Logoff", "BMP_LOGOFF"},
    {miLock, "Lock", "BMP_LOCK"},
    {miReboot, "Reboot", "BMP_REBOOT"},
    {miPoweroff, "Poweroff", "BMP_POWEROFF"},
    {miShutdown, "Shutdown", "BMP_SHUTDOWN"},
    {miSuspend, "Suspend", "BMP_SUSPEND"},
    {miHibernate, "Hibernate", "BMP_HIBERNATE"},
    {N1, nullptr, nullptr},
    {miForceterminate, "Force terminate", nullptr},
    {N2, nullptr, nullptr},
    {miShow, "Show settings", nullptr},
    {miExit, "Exit", nullptr},
};

}  // namespace quennavar
