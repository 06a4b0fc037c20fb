// What the tests expect of the recording fake with its default script: the
// Windows versions they switch it to, the transcript lines many of them
// share, and the matchers they read those lines with.
#pragma once

#include <gmock/gmock.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace quennavar::testing {

// Named once here, so that no test file repeats them.
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

inline constexpr OsVersionInfo kWindows95{4, 0, 950, kVerPlatformWin32Windows};
inline constexpr OsVersionInfo kWindows98{4, 10, 1998, kVerPlatformWin32Windows};
inline constexpr OsVersionInfo kWindowsNt4{4, 0, 1381, kVerPlatformWin32Nt};
inline constexpr OsVersionInfo kWindowsXp{5, 1, 2600, kVerPlatformWin32Nt};
inline constexpr OsVersionInfo kWin32s{3, 10, 0, 0};

// The fake's clock, as the journal words it.
inline const std::string kNow = "12/7/2026 11:30:00 PM";

// A journal record: type 0 is success, 1 an error.
inline std::string Record(int type, int id, const std::string& text = kNow) {
  return "ReportEventA(type=" + std::to_string(type) + ", id=" + std::to_string(id) + ", \"" +
         text + "\")";
}

inline std::string Exit(std::uint32_t flags) {
  return "ExitWindowsEx(" + std::to_string(flags) + ", 0x7FFFFFFF)";
}

inline std::string Timer(const std::string& dueTime, const std::string& timer = "timer") {
  return "SetWaitableTimer(" + timer + ", " + dueTime + ", 0, NULL, NULL, TRUE)";
}

inline const std::string kCreateTimer =
    "CreateWaitableTimerA(NULL, FALSE, \"ShutDownNTWaitableTimer\")";
inline const std::string kSuspend = "SetSuspendState(FALSE, FALSE, FALSE)";
inline const std::string kHibernate = "SetSuspendState(TRUE, FALSE, FALSE)";

// Names each instance of a table-driven test after its row.
inline constexpr auto kRowName = [](const auto& info) { return std::string(info.param.name); };

}  // namespace quennavar::testing
