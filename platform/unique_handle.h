// Ownership of platform handles: one line per handle kind, no manual clean-up.
#pragma once

#include <utility>

#include "platform/platform.h"

namespace quennavar {

// Owns one handle and gives it back through the platform call that releases
// it. A null handle is never released.
template <typename H, auto Close>
class UniqueHandle {
 public:
  explicit UniqueHandle(Platform& os, H handle = H::Null) : FOs(&os), FHandle(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept
      : FOs(other.FOs), FHandle(std::exchange(other.FHandle, H::Null)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      FOs = other.FOs;
      FHandle = std::exchange(other.FHandle, H::Null);
    }
    return *this;
  }
  ~UniqueHandle() { reset(); }

  H get() const { return FHandle; }
  explicit operator bool() const { return FHandle != H::Null; }

  void reset() {
    if (FHandle != H::Null) (FOs->*Close)(std::exchange(FHandle, H::Null));
  }

  // For a call that gives a handle back through its argument: whatever was
  // held is released first, and the new handle is owned from the start.
  H& put() {
    reset();
    return FHandle;
  }

 private:
  Platform* FOs;
  H FHandle;
};

using UniqueKernelHandle = UniqueHandle<Handle, &Platform::CloseHandle>;
using UniqueHKey = UniqueHandle<HKey, &Platform::RegCloseKey>;
using UniqueEventSource = UniqueHandle<EventSource, &Platform::DeregisterEventSource>;
using UniqueMenu = UniqueHandle<HMenu, &Platform::DestroyMenu>;
using UniqueIcon = UniqueHandle<HIcon, &Platform::DestroyIcon>;
using UniqueBitmap =
    UniqueHandle<HBitmap, static_cast<bool (Platform::*)(HBitmap)>(&Platform::DeleteObject)>;
using UniqueFont =
    UniqueHandle<HFont, static_cast<bool (Platform::*)(HFont)>(&Platform::DeleteObject)>;

}  // namespace quennavar
