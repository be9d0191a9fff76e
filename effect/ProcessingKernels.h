#pragma once
// The sample loop of Lumivane's processing and the sums of its display feed, written once for lanes
// of one sample (SingleSamples) and of vectors of samples (SampleVectors here, WideSampleVectors in
// WideKernels.cpp). A lane always does the operations that the effect's law gives one sample, in
// the same order, so the outputs do not depend on which lanes computed them.
//
// Like the lanes, everything here is local to each file that includes it (an unnamed namespace):
// the AVX file compiles its own copy with AVX instructions.
#include <cstdint>

#include "effect/KernelData.h"
#include "effect/SampleVectors.h"
#include "host/VstInterface.h"

namespace {

template <typename Value>
struct StereoOutput {
  Value left, right;
};

// The cross-fed law: left from the input and both taps, right from the input, the expression tap
// and the finished left, both times mix.
template <typename Value>
inline StereoOutput<Value> mixSample(const MixCoefficients<Value>& c, Value x, Value preDelayed,
                                     Value expressed) {
  const Value l = c.dry * x + c.wet * (preDelayed + c.crossFeed * expressed);
  const Value r = c.dry * x + c.wet * (expressed + c.crossFeed * l);
  return {c.mix * l, c.mix * r};
}

// One sample, or one vector of samples, at offset i of the run: both taps are read before the
// input is written (so a tap that lies a whole line behind reads the oldest sample), then the
// outputs are stored and gathered for the feed.
template <typename Lanes, typename Sample, bool feedsEditor, bool readsPreDelayLine,
          bool readsExpressionLine>
inline void processStep(const RunBuffers<Sample>& b, VstInt32 i,
                        const MixCoefficients<typename Lanes::Value>& c,
                        ChannelPair<typename Lanes::Value>& peaks,
                        ChannelPair<typename Lanes::Value>& sums) {
  using Value = typename Lanes::Value;
  const Value x = Lanes::load(b.input + i);
  Value preDelayed = x;
  Value expressed = x;
  if constexpr (readsPreDelayLine) preDelayed = Lanes::load(b.preDelayRead + i);
  if constexpr (readsExpressionLine) expressed = Lanes::load(b.expressionRead + i);
  const StereoOutput<Value> out = mixSample(c, x, preDelayed, expressed);

  Lanes::store(b.historyStore + i, x);
  Lanes::store(b.left + i, out.left);
  Lanes::store(b.right + i, out.right);

  const Value weight = Lanes::load(b.decayWeights + i);
  peaks.left = Lanes::raisePeak(peaks.left, out.left * weight);
  peaks.right = Lanes::raisePeak(peaks.right, out.right * weight);
  if constexpr (feedsEditor) {
    sums.left = sums.left + out.left;
    sums.right = sums.right + out.right;
    Lanes::storeGoniometerPoint(b.side + i, b.mid + i, out.left, out.right);
  }
}

// Whether a parameter changed since the settings were read.
inline bool parametersChanged(const RunSettings& settings) {
  return settings.generation->load(std::memory_order_acquire) != settings.readAt;
}

// Steps of Lanes from offset i while a whole step fits into the run, then folds the lanes into the
// gathered values: peaks by their largest, sums by adding. Stops early, after at least one step,
// when a parameter changes. Answers where it stopped. Buffers and settings come by value and the
// lanes are locals, all of which stay in registers; behind a reference the compiler would load
// and store them around every store to a sample buffer, which might alias them.
template <typename Lanes, typename Sample, bool feedsEditor, bool readsPreDelayLine,
          bool readsExpressionLine>
inline VstInt32 stepRun(const RunBuffers<Sample> b, VstInt32 i, VstInt32 run,
                        const RunSettings settings, ChunkGather& gather) {
  using Value = typename Lanes::Value;
  const MixCoefficients<Value> c = {
      Lanes::splat(settings.coefficients.dry), Lanes::splat(settings.coefficients.wet),
      Lanes::splat(settings.coefficients.crossFeed), Lanes::splat(settings.coefficients.mix)};
  const Value zero = Lanes::splat(0.0);
  ChannelPair<Value> peaks{zero, zero};
  ChannelPair<Value> sums{zero, zero};
  for (; i + Lanes::kWidth <= run; i += Lanes::kWidth) {
    if (i > 0 && parametersChanged(settings)) break;
    processStep<Lanes, Sample, feedsEditor, readsPreDelayLine, readsExpressionLine>(b, i, c, peaks,
                                                                                    sums);
  }
  gather.peaks.left = SingleSamples::raisePeak(gather.peaks.left, Lanes::largestLane(peaks.left));
  gather.peaks.right =
      SingleSamples::raisePeak(gather.peaks.right, Lanes::largestLane(peaks.right));
  if constexpr (feedsEditor) {
    gather.sums.left += Lanes::sumOfLanes(sums.left);
    gather.sums.right += Lanes::sumOfLanes(sums.right);
  }
  return i;
}

// Processes up to `run` samples: in vectors of Vectors while `vectors` allows (the taps lie far
// enough behind for no vector to read what it writes itself), the rest one by one. Answers the
// number of samples done.
template <typename Vectors, typename Sample, bool feedsEditor, bool readsPreDelayLine,
          bool readsExpressionLine>
inline VstInt32 processRun(const RunBuffers<Sample>& b, VstInt32 run, bool vectors,
                           const RunSettings& settings, ChunkGather& gather) {
  VstInt32 i = 0;
  if (vectors) {
    i = stepRun<Vectors, Sample, feedsEditor, readsPreDelayLine, readsExpressionLine>(
        b, i, run, settings, gather);
  }
  return stepRun<SingleSamples, Sample, feedsEditor, readsPreDelayLine, readsExpressionLine>(
      b, i, run, settings, gather);
}

// processRun for the lines that the parameters read, chosen at run time.
template <typename Vectors, typename Sample, bool feedsEditor>
inline VstInt32 processRunReading(bool preDelayLine, bool expressionLine,
                                  const RunBuffers<Sample>& b, VstInt32 run, bool vectors,
                                  const RunSettings& settings, ChunkGather& gather) {
  if (preDelayLine && expressionLine)
    return processRun<Vectors, Sample, feedsEditor, true, true>(b, run, vectors, settings, gather);
  if (preDelayLine)
    return processRun<Vectors, Sample, feedsEditor, true, false>(b, run, vectors, settings, gather);
  if (expressionLine)
    return processRun<Vectors, Sample, feedsEditor, false, true>(b, run, vectors, settings, gather);
  return processRun<Vectors, Sample, feedsEditor, false, false>(b, run, vectors, settings, gather);
}

template <typename Lanes, typename Sample>
inline void addDeviations(const Sample* left, const Sample* right, VstInt32 i,
                          typename Lanes::Value meanLeft, typename Lanes::Value meanRight,
                          DeviationSums<typename Lanes::Value>& sums) {
  using Value = typename Lanes::Value;
  const Value deviationLeft = Lanes::load(left + i) - meanLeft;
  const Value deviationRight = Lanes::load(right + i) - meanRight;
  sums.xx = sums.xx + deviationLeft * deviationLeft;
  sums.yy = sums.yy + deviationRight * deviationRight;
  sums.xy = sums.xy + deviationLeft * deviationRight;
}

// The deviation sums over the stored outputs, in vector lanes: two vectors a turn into two sets of
// sums, which keeps two additions to each sum under way. The partial sums are added at the end, so
// the result differs from a sample-by-sample sum by rounding only.
template <typename Vectors, typename Sample>
inline DeviationSums<double> deviationSumsIn(const Sample* left, const Sample* right,
                                             VstInt32 count, double meanLeft, double meanRight) {
  using Vector = typename Vectors::Value;
  constexpr VstInt32 kWidth = Vectors::kWidth;
  const Vector zero = Vectors::splat(0.0);
  DeviationSums<Vector> even{zero, zero, zero};
  DeviationSums<Vector> odd{zero, zero, zero};
  const Vector vectorMeanLeft = Vectors::splat(meanLeft);
  const Vector vectorMeanRight = Vectors::splat(meanRight);
  VstInt32 i = 0;
  for (; i + 2 * kWidth <= count; i += 2 * kWidth) {
    addDeviations<Vectors>(left, right, i, vectorMeanLeft, vectorMeanRight, even);
    addDeviations<Vectors>(left, right, i + kWidth, vectorMeanLeft, vectorMeanRight, odd);
  }
  for (; i + kWidth <= count; i += kWidth)
    addDeviations<Vectors>(left, right, i, vectorMeanLeft, vectorMeanRight, even);
  DeviationSums<double> single{0.0, 0.0, 0.0};
  for (; i < count; ++i) addDeviations<SingleSamples>(left, right, i, meanLeft, meanRight, single);
  return {Vectors::sumOfLanes(even.xx + odd.xx) + single.xx,
          Vectors::sumOfLanes(even.yy + odd.yy) + single.yy,
          Vectors::sumOfLanes(even.xy + odd.xy) + single.xy};
}

// The kernels in SSE2 vectors, for any processor.
struct Kernels {
  template <typename Sample, bool feedsEditor>
  static VstInt32 processRun(bool preDelayLine, bool expressionLine, const RunBuffers<Sample>& b,
                             VstInt32 run, bool vectors, const RunSettings& settings,
                             ChunkGather& gather) {
    return processRunReading<SampleVectors, Sample, feedsEditor>(preDelayLine, expressionLine, b,
                                                                 run, vectors, settings, gather);
  }
  template <typename Sample>
  static DeviationSums<double> deviationSums(const Sample* left, const Sample* right,
                                             VstInt32 count, double meanLeft, double meanRight) {
    return deviationSumsIn<SampleVectors>(left, right, count, meanLeft, meanRight);
  }
};

}  // namespace
