#pragma once
// The lanes of the processing loop and the display feed: SingleSamples holds one sample in a
// double, SampleVectors two consecutive samples in an SSE2 register (WideKernels.cpp adds four in
// an AVX register). All offer the same operations, and every lane of a vector goes through exactly
// the operations that one sample goes through on its own, in the same order: a vector of results
// holds the same bits as the single results. Targets without SSE2 get vectors of one sample.
//
// Everything here is local to each file that includes it (an unnamed namespace), on purpose: the
// AVX file compiles its own copy with AVX instructions, which must never stand in for the copy
// of a file that runs on any SSE2 processor.
#include <cmath>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

struct SingleSamples {
  using Value = double;
  static constexpr int kWidth = 1;

  static Value splat(double value) { return value; }
  template <typename Sample>
  static Value load(const Sample* samples) {
    return static_cast<double>(*samples);
  }
  template <typename Sample>
  static void store(Sample* samples, Value value) {
    *samples = static_cast<Sample>(value);
  }
  // candidate > peak ? candidate : peak, so a NaN candidate never raises the peak.
  static Value raisePeak(Value peak, Value candidate) {
    return candidate > peak ? candidate : peak;
  }
  static double largestLane(Value value) { return value; }
  static double sumOfLanes(Value value) { return value; }
  // The goniometer coordinates of a sample: its difference (side) and sum (mid) limited to -2..2
  // and mapped to 0..1. Computed as float(value + 2) limited to 0..4, times 1/4: limiting commutes
  // with the rounding to float, whose order it keeps, and 0, 4 and the quarter are exact, so this
  // is the same float as (limited value + 2) / 4 rounded. NaN stays NaN here, for the caller to
  // settle.
  static void storeGoniometerPoint(float* side, float* mid, Value left, Value right) {
    *side = limitedCoordinate(static_cast<float>(left - right + 2.0));
    *mid = limitedCoordinate(static_cast<float>(left + right + 2.0));
  }
  static float limitedCoordinate(float shifted) {
    if (4.0f < shifted) shifted = 4.0f;
    if (0.0f > shifted) shifted = 0.0f;
    return shifted * 0.25f;
  }
};

#if defined(__SSE2__)

struct SampleVectors {
  // An SSE2 register of two doubles; unlike __m128d without the may_alias attribute, which a
  // template argument would drop.
  using Value = double __attribute__((vector_size(16)));
  static constexpr int kWidth = 2;

  static Value splat(double value) { return _mm_set1_pd(value); }
  static Value load(const double* samples) { return _mm_loadu_pd(samples); }
  static Value load(const float* samples) {
    // The two floats as one 64-bit load; __m128i may alias any type.
    const __m128i bits = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples));
    return _mm_cvtps_pd(_mm_castsi128_ps(bits));
  }
  static void store(double* samples, Value values) { _mm_storeu_pd(samples, values); }
  // Rounds each lane to float as a scalar conversion does.
  static void store(float* samples, Value values) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(samples), _mm_castps_si128(_mm_cvtpd_ps(values)));
  }
  // MAXPD answers its second operand unless the first is greater: a NaN candidate loses.
  static Value raisePeak(Value peak, Value candidate) { return _mm_max_pd(candidate, peak); }
  static double largestLane(Value values) {
    return SingleSamples::raisePeak(_mm_cvtsd_f64(values),
                                    _mm_cvtsd_f64(_mm_unpackhi_pd(values, values)));
  }
  static double sumOfLanes(Value values) {
    return _mm_cvtsd_f64(values) + _mm_cvtsd_f64(_mm_unpackhi_pd(values, values));
  }
  // Both channels' coordinates in one register of four floats: side in the low half, mid in the
  // high one. MINPS and MAXPS answer their second operand when either is NaN, which keeps NaN.
  static void storeGoniometerPoint(float* side, float* mid, Value left, Value right) {
    const Value two = splat(2.0);
    const __m128 shifted = _mm_movelh_ps(_mm_cvtpd_ps(_mm_add_pd(_mm_sub_pd(left, right), two)),
                                         _mm_cvtpd_ps(_mm_add_pd(_mm_add_pd(left, right), two)));
    const __m128 limited = _mm_max_ps(_mm_setzero_ps(), _mm_min_ps(_mm_set1_ps(4.0f), shifted));
    const __m128 coordinates = _mm_mul_ps(limited, _mm_set1_ps(0.25f));
    _mm_storel_pi(reinterpret_cast<__m64*>(side), coordinates);
    _mm_storeh_pi(reinterpret_cast<__m64*>(mid), coordinates);
  }
};

#else

struct SampleVectors : SingleSamples {};

#endif

}  // namespace
