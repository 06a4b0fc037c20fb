// What the Win32 layer's sources share: conversions between the seam's
// opaque handles and the system's, and the libraries loaded at first use.
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

// A function of a system library the program has loaded already (kernel32,
// user32), null where the running Windows lacks it.
template <typename Function>
Function FunctionOf(const char* module, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(module), name)));
}

// The libraries the layer loads at their first use instead of importing
// them: many runs never need them, and loading them would slow every start.
enum class LateLibrary { Shell, CommonControls, Version };

inline BYTE* BufferOf(std::vector<std::uint8_t>* buffer) {
  return buffer && !buffer->empty() ? buffer->data() : nullptr;
}

}  // namespace quennavar::win32
