#include "system/privilege.h"

#include <vector>

#include "platform/unique_handle.h"
#include "system/version.h"

namespace quennavar {

static_assert(sizeof(TokenPrivileges) == 16, "one privilege entry, as the system lays it out");

bool EnableShutdownPrivilege(Platform& os) {
  if (!IsWindowsNT(os)) return IsWindows9x(os);

  UniqueKernelHandle token(os);
  if (!os.OpenProcessToken(os.GetCurrentProcess(), kTokenAdjustPrivileges | kTokenQuery,
                           token.put()))
    return false;

  // The probe proves the token can be queried: it must fail for want of a buffer.
  std::uint32_t needed = 0;
  if (os.GetTokenInformation(token.get(), kTokenPrivilegesClass, nullptr, 0, needed) ||
      os.GetLastError() != kErrorInsufficientBuffer)
    return false;

  TokenPrivileges shutdown{.PrivilegeCount = 1, .Privilege = {}, .Attributes = kSePrivilegeEnabled};
  if (!os.LookupPrivilegeValueA("", "SeShutdownPrivilege", shutdown.Privilege)) return false;

  std::uint32_t returnLength = 0;
  if (!os.AdjustTokenPrivileges(token.get(), false, shutdown, sizeof shutdown, nullptr,
                                returnLength))
    return false;
  std::vector<std::uint8_t> previousState(returnLength);
  return os.AdjustTokenPrivileges(token.get(), false, shutdown, returnLength, &previousState,
                                  returnLength);
}

}  // namespace quennavar
