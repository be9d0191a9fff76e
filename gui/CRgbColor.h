#pragma once

#include <cstdint>

namespace gui {

// A colour of four bytes. It reaches the platform as red + green*256 + blue*65536 (toPlatform);
// alpha only counts where bitmaps are blended.
struct CRgbColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 255;

  constexpr CRgbColor() = default;
  constexpr CRgbColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255)
      : red(red), green(green), blue(blue), alpha(alpha) {}

  // The platform's 24-bit colour value; alpha is dropped.
  constexpr uint32_t toPlatform() const {
    return uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
  }

  // All four bytes take part, as the drawing context's attribute cache requires.
  constexpr bool operator==(const CRgbColor& other) const {
    return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
  }
  constexpr bool operator!=(const CRgbColor& other) const { return !(*this == other); }
};

}  // namespace gui
