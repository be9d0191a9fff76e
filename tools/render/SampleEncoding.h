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

// `sample` as a signed integer of `Bits` bits, clipped to that range, rounded to the nearest
// whole number (halves to even, as IEEE arithmetic rounds): adding and taking away 1.5 * 2^52
// leaves no bits below the units, exactly for any value below 2^51. The arithmetic has no branch,
// so that the loops that call it become vector instructions.
template <int Bits, typename Sample>
inline std::int32_t encodeInteger(Sample sample) {
  constexpr double kFullScale = static_cast<double>(std::int32_t{1} << (Bits - 1));
  constexpr double kRounder = 6755399441055744.0;
  double value = static_cast<double>(sample) * kFullScale;
  value = value == value ? value : 0.0;  // NaN
  value = std::min(std::max(value, -kFullScale), kFullScale - 1.0);
  return static_cast<std::int32_t>((value + kRounder) - kRounder);
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
