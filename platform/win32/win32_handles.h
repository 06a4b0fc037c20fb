// What the Win32 layer's sources share: conversions between the seam's
// opaque handles and the system's, and libraries loaded at first use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quennavar::win32 {

template <typename Win32Handle, typename OpaqueHandle>
Win32Handle ToWin32(OpaqueHandle handle) {
  return reinterpret_cast<Win32Handle>(static_cast<std::uintptr_t>(handle));
}

template <typename OpaqueHandle, typename Pointer>
OpaqueHandle FromWin32(Pointer* pointer) {
  return static_cast<OpaqueHandle>(reinterpret_cast<std::uintptr_t>(pointer));
}

inline const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// A function of a system library that is loaded at its first use, and stays
// loaded, instead of imported: for libraries many runs never need, whose
// loading would slow every start. Later uses find it loaded, without
// counting one more reference to it each time. Null where it is missing.
FARPROC LoadedOnFirstUse(const char* library, const char* name);

template <typename Function>
Function LoadedOnFirstUse(const char* library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(LoadedOnFirstUse(library, name)));
}

inline BYTE* BufferOf(std::vector<std::uint8_t>* buffer) {
  return buffer && !buffer->empty() ? buffer->data() : nullptr;
}

}  // namespace quennavar::win32
