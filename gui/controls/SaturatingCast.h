#pragma once

#include <cmath>
#include <cstdint>

namespace gui {

// A float or double truncated toward zero into int32, with values beyond the range pinned to
// its ends and a NaN giving `fallback`: controls turn values that may come from anywhere (the
// host, the audio feed, a caller's setters) into pixel coordinates, and a plain conversion of an
// out-of-range number is undefined behaviour.
inline int32_t truncateToInt32(double number, int32_t fallback = 0) {
  if (std::isnan(number)) return fallback;
  if (number >= 2147483647.0) return INT32_MAX;
  if (number <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(number);
}

// An int64 sum or product pinned to the int32 range.
inline int32_t saturateToInt32(int64_t number) {
  if (number > INT32_MAX) return INT32_MAX;
  if (number < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(number);
}

}  // namespace gui
