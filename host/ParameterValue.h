#pragma once

// Parameter values travel as 32-bit floats in 0..1 on every interface. Hosts and preset files
// still deliver values outside that range, infinities and NaN; every receiver brings them into
// range before using them, NaN counting as 0.
inline float clampParameterValue(float value) {
  if (!(value > 0.0f)) return 0.0f;  // also NaN and -0
  if (value > 1.0f) return 1.0f;
  return value;
}
