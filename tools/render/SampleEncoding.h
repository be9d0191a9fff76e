#pragma once
// What one sample becomes in the output file, for each sample format. Integer formats map full
// scale (1.0) to 2^(bits - 1), the scale libsndfile reads them back with (a 16-bit value k reads as
// k / 32768), so that an integer input rendered at unity gain comes back unchanged. Levels beyond
// full scale are clipped to the format's range and NaN becomes silence. All of it inline, so that
// no sample goes through a function call.
#include <algorithm>
#include <cstdint>

template <typename Sample>
inline float encodeFloat(Sample sample) {
  return static_cast<float>(sample);
}

// The nearest whole number to `value` (halves away from zero), for |value| below 2^31: the
// remainder after truncation is exact, so no rounding of a sum can move a value across a half.
inline std::int32_t nearestWhole(double value) {
  auto whole = static_cast<std::int32_t>(value);
  double rest = value - whole;
  return whole + (rest >= 0.5) - (rest <= -0.5);
}

// `sample` as a signed integer of `Bits` bits, clipped to that range.
template <int Bits, typename Sample>
inline std::int32_t encodeInteger(Sample sample) {
  constexpr double kFullScale = static_cast<double>(std::int32_t{1} << (Bits - 1));
  double value = static_cast<double>(sample) * kFullScale;
  value = value == value ? value : 0.0;  // NaN
  return nearestWhole(std::min(std::max(value, -kFullScale), kFullScale - 1.0));
}

template <typename Sample>
inline std::int16_t encodePcm16(Sample sample) {
  return static_cast<std::int16_t>(encodeInteger<16>(sample));
}

// 24 bits in the top of an int, as libsndfile takes them for a 24-bit file.
template <typename Sample>
inline std::int32_t encodePcm24(Sample sample) {
  return encodeInteger<24>(sample) * 256;
}
