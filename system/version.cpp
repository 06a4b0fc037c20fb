#include "system/version.h"

namespace quennavar {
namespace {

OsVersionInfo QueryVersion(Platform& os) {
  OsVersionInfo version;
  os.GetVersionExA(version);
  return version;
}

bool IsNt(const OsVersionInfo& v) { return v.dwPlatformId == kVerPlatformWin32Nt; }

bool Is9x(const OsVersionInfo& v) {
  return v.dwPlatformId == kVerPlatformWin32Windows && v.dwMajorVersion >= 4;
}

}  // namespace

bool IsWindowsXP(Platform& os) {
  OsVersionInfo v = QueryVersion(os);
  return IsNt(v) && v.dwMajorVersion == 5 && v.dwMinorVersion == 1;
}

bool IsWindows2000(Platform& os) {
  OsVersionInfo v = QueryVersion(os);
  return IsNt(v) && v.dwMajorVersion == 5 && v.dwMinorVersion == 0;
}

bool IsWindowsNT(Platform& os) { return IsNt(QueryVersion(os)); }

bool IsWindows9x(Platform& os) { return Is9x(QueryVersion(os)); }

bool HasNotificationArea(Platform& os) { return QueryVersion(os).dwMajorVersion >= 4; }

bool HasBalloons(Platform& os) { return QueryVersion(os).dwMajorVersion >= 5; }

bool HasPowerLibrary(Platform& os) {
  OsVersionInfo v = QueryVersion(os);
  return Is9x(v) || (IsNt(v) && v.dwMajorVersion >= 5);
}

}  // namespace quennavar
