// Pixels at the screen's DPI. The program declares itself aware of the
// system's DPI: what it draws is laid out in pixels at 96 DPI and scaled
// once, at start-up, by the DPI the screen had then. It is not aware of each
// monitor's: on a monitor of another scale the system stretches its windows,
// as it does for every program of this kind.
#pragma once

#include "platform/platform.h"

namespace quennavar {

inline constexpr int kDesignDpi = 96;

class TDpiScale {
 public:
  // A DPI the screen cannot have (the system could not say) counts as 96.
  explicit TDpiScale(int dpi) : FDpi(dpi > 0 ? dpi : kDesignDpi) {}

  // MulDiv(pixels, dpi, 96): rounded to the nearest, a half away from zero.
  int operator()(int pixels) const { return MulDiv(pixels, FDpi, kDesignDpi); }
  // A font's height in pixels for its size in points, negative: the
  // character's height, without the room above it.
  int FontHeight(int points) const { return -MulDiv(points, FDpi, 72); }

 private:
  static int MulDiv(int number, int numerator, int denominator) {
    long long product = static_cast<long long>(number) * numerator;
    long long half = denominator / 2;
    return static_cast<int>((product < 0 ? product - half : product + half) / denominator);
  }

  int FDpi;
};

// Read once, at start-up: the scale the system gives this program for its life.
inline TDpiScale ScreenScale(Platform& os) { return TDpiScale(os.GetDeviceCaps(kLogPixelsY)); }

}  // namespace quennavar
