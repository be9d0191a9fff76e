#pragma once

#include <cstdint>

namespace gui {

// A point in pixels, y growing downwards. Translations saturate instead of wrapping so that an
// absurd coordinate handed in by a caller can never turn into undefined arithmetic.
struct CViewPoint {
  int32_t x = 0;
  int32_t y = 0;

  constexpr CViewPoint() = default;
  constexpr CViewPoint(int32_t x, int32_t y) : x(x), y(y) {}

  // Moves the point by (dx, dy), saturating at the int32 limits; returns *this.
  CViewPoint& offset(int32_t dx, int32_t dy);
  // The point moved by (dx, dy).
  CViewPoint offsetBy(int32_t dx, int32_t dy) const;

  bool operator==(const CViewPoint& other) const { return x == other.x && y == other.y; }
  bool operator!=(const CViewPoint& other) const { return !(*this == other); }
};

// a + b saturated to the int32 range.
int32_t addSaturated(int32_t a, int32_t b);

}  // namespace gui
