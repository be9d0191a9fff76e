// Lumivane's kernels in AVX vectors of four samples. This file alone is compiled for AVX, and its
// kernels run only on processors that have it (hasWideKernels); the rest of the library runs on
// any SSE2 processor. The lanes and kernel templates it includes are local to each file (unnamed
// namespaces), so the AVX copies compiled here never stand in for the others.
#include "effect/KernelData.h"
#include "effect/ProcessingKernels.h"

#if defined(__AVX__)

#include <immintrin.h>

namespace {

struct WideSampleVectors {
  using Value = double __attribute__((vector_size(32)));
  static constexpr int kWidth = 4;

  static Value splat(double value) { return _mm256_set1_pd(value); }
  static Value load(const double* samples) { return _mm256_loadu_pd(samples); }
  static Value load(const float* samples) { return _mm256_cvtps_pd(_mm_loadu_ps(samples)); }
  static void store(double* samples, Value values) { _mm256_storeu_pd(samples, values); }
  static void store(float* samples, Value values) {
    _mm_storeu_ps(samples, _mm256_cvtpd_ps(values));
  }
  static Value raisePeak(Value peak, Value candidate) { return _mm256_max_pd(candidate, peak); }
  static double largestLane(Value values) {
    return SampleVectors::largestLane(
        SampleVectors::raisePeak(_mm256_castpd256_pd128(values), _mm256_extractf128_pd(values, 1)));
  }
  static double sumOfLanes(Value values) {
    return SampleVectors::sumOfLanes(
        _mm_add_pd(_mm256_castpd256_pd128(values), _mm256_extractf128_pd(values, 1)));
  }
  static void storeGoniometerPoint(float* side, float* mid, Value left, Value right) {
    const Value two = splat(2.0);
    const __m256 shifted =
        _mm256_set_m128(_mm256_cvtpd_ps(_mm256_add_pd(_mm256_add_pd(left, right), two)),
                        _mm256_cvtpd_ps(_mm256_add_pd(_mm256_sub_pd(left, right), two)));
    const __m256 limited =
        _mm256_max_ps(_mm256_setzero_ps(), _mm256_min_ps(_mm256_set1_ps(4.0f), shifted));
    const __m256 coordinates = _mm256_mul_ps(limited, _mm256_set1_ps(0.25f));
    _mm_storeu_ps(side, _mm256_castps256_ps128(coordinates));
    _mm_storeu_ps(mid, _mm256_extractf128_ps(coordinates, 1));
  }
};

}  // namespace

bool hasWideKernels() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
}

#else

// Compiled without AVX (another processor): never chosen, the SSE2 lanes stand in.
using WideSampleVectors = SampleVectors;

bool hasWideKernels() { return false; }

#endif

template <typename Sample, bool feedsEditor>
VstInt32 WideKernels::processRun(bool preDelayLine, bool expressionLine,
                                 const RunBuffers<Sample>& b, VstInt32 run, bool vectors,
                                 const RunSettings& settings, ChunkGather& gather) {
  return processRunReading<WideSampleVectors, Sample, feedsEditor>(preDelayLine, expressionLine, b,
                                                                   run, vectors, settings, gather);
}

template <typename Sample>
DeviationSums<double> WideKernels::deviationSums(const Sample* left, const Sample* right,
                                                 VstInt32 count, double meanLeft,
                                                 double meanRight) {
  return deviationSumsIn<WideSampleVectors>(left, right, count, meanLeft, meanRight);
}

template VstInt32 WideKernels::processRun<float, false>(bool, bool, const RunBuffers<float>&,
                                                        VstInt32, bool, const RunSettings&,
                                                        ChunkGather&);
template VstInt32 WideKernels::processRun<float, true>(bool, bool, const RunBuffers<float>&,
                                                       VstInt32, bool, const RunSettings&,
                                                       ChunkGather&);
template VstInt32 WideKernels::processRun<double, false>(bool, bool, const RunBuffers<double>&,
                                                         VstInt32, bool, const RunSettings&,
                                                         ChunkGather&);
template VstInt32 WideKernels::processRun<double, true>(bool, bool, const RunBuffers<double>&,
                                                        VstInt32, bool, const RunSettings&,
                                                        ChunkGather&);
template DeviationSums<double> WideKernels::deviationSums<float>(const float*, const float*,
                                                                 VstInt32, double, double);
template DeviationSums<double> WideKernels::deviationSums<double>(const double*, const double*,
                                                                  VstInt32, double, double);
