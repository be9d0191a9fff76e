#pragma once

#include <cstdint>

#include "gui/CViewPoint.h"

namespace gui {

// A rectangle of four signed coordinates in pixels, y growing downwards.
// Drawing and clipping treat it as half-open (the right column and bottom row lie outside);
// hit tests (pointInside) include the right and bottom edges.
struct CViewRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr CViewRect() = default;
  constexpr CViewRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
      : left(left), top(top), right(right), bottom(bottom) {}

  // right - left and bottom - top, saturated to the int32 range (negative for inverted rectangles).
  int32_t getWidth() const;
  int32_t getHeight() const;
  // True when the width or the height is not positive: such a rectangle covers no pixel.
  bool isEmpty() const;

  // The toolkit's intersection: larger left/top, smaller right/bottom, then right = left when
  // right < left and bottom = top when bottom < top (an empty result keeps its top-left corner).
  CViewRect intersect(const CViewRect& other) const;
  // Hit test with edges included: left <= x <= right and top <= y <= bottom.
  bool pointInside(const CViewPoint& point) const;

  // Moves every edge by (dx, dy), saturating; returns *this.
  CViewRect& offset(int32_t dx, int32_t dy);
  // The rectangle moved by (dx, dy).
  CViewRect offsetBy(int32_t dx, int32_t dy) const;
  // The same rectangle with left <= right and top <= bottom.
  CViewRect normalized() const;
  CViewPoint topLeft() const { return CViewPoint(left, top); }

  bool operator==(const CViewRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
  bool operator!=(const CViewRect& other) const { return !(*this == other); }
};

}  // namespace gui
