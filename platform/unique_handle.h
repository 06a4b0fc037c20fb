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
  UniqueHandle(Platform& os, H handle) : os_(&os), handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept
      : os_(other.os_), handle_(std::exchange(other.handle_, H::Null)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      os_ = other.os_;
      handle_ = std::exchange(other.handle_, H::Null);
    }
    return *this;
  }
  ~UniqueHandle() { reset(); }

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != H::Null; }

  void reset() {
    if (handle_ != H::Null) (os_->*Close)(std::exchange(handle_, H::Null));
  }

 private:
  Platform* os_;
  H handle_;
};

using UniqueKernelHandle = UniqueHandle<Handle, &Platform::CloseHandle>;
using UniqueHKey = UniqueHandle<HKey, &Platform::RegCloseKey>;
using UniqueEventSource = UniqueHandle<EventSource, &Platform::DeregisterEventSource>;
using UniqueWindow = UniqueHandle<HWnd, &Platform::DestroyWindow>;
using UniqueMenu = UniqueHandle<HMenu, &Platform::DestroyMenu>;
using UniqueBitmap =
    UniqueHandle<HBitmap, static_cast<bool (Platform::*)(HBitmap)>(&Platform::DeleteObject)>;
using UniqueFont =
    UniqueHandle<HFont, static_cast<bool (Platform::*)(HFont)>(&Platform::DeleteObject)>;

}  // namespace quennavar
