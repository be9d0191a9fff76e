#pragma once

#include <limits>

// Parameter values travel as 32-bit floats in 0..1 on every interface. Hosts and preset files
// still deliver values outside that range, infinities and NaN; every receiver brings them into
// range before using them, NaN counting as 0. A subnormal value counts as 0 too: as a gain it
// would make subnormal samples, which are slow to compute and mean silence anyway.
inline float clampParameterValue(float value) {
  if (!(value >= std::numeric_limits<float>::min())) return 0.0f;  // also NaN, -0 and subnormals
  if (value > 1.0f) return 1.0f;
  return value;
}
