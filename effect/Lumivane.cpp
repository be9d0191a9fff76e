#include "effect/Lumivane.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "editor/AEffEditor.h"
#include "editor/EditorFactory.h"
#include "effect/ProcessingKernels.h"
#include "effect/TextConversions.h"
#include "effect/ValueTag.h"
#include "host/ParameterValue.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

struct ParameterText {
  const char* name;
  const char* label;
  bool percent;  // shown as a percentage, else as the plain value
};

constexpr ParameterText kParameterTexts[Lumivane::kNumParams] = {
    {"PreDelay", "ms", false}, {"Expression", "", true}, {"Wide", "", true},
    {"Dry", "", true},         {"Wet", "", true},        {"Mix", "", true},
};

// The line lengths are the rate times 1 ms and 40 ms truncated, each factor taken as the nearest
// 32-bit float (0.0010000000474974513 and 0.039999999105930328): 44100 Hz gives 44 and 1763
// samples (not 1764). Every delay in samples, and so the sound, follows from these lengths.
const double kPreDelaySeconds = static_cast<double>(0.001f);
const double kExpressionSeconds = static_cast<double>(0.04f);

// Largest peak the feed reports. Infinite input would otherwise hold a follower at infinity for
// good; from here it decays like any other peak.
constexpr double kPeakCeiling = std::numeric_limits<float>::max();

// Copies at most maxChars characters and always terminates.
void copyText(char* destination, const char* source, std::size_t maxChars) {
  std::size_t length = std::strlen(source);
  if (length > maxChars) length = maxChars;
  std::memcpy(destination, source, length);
  destination[length] = '\0';
}

bool isParameter(VstInt32 index) { return index >= 0 && index < Lumivane::kNumParams; }

// Read index of a tap that lies distance samples behind the write index.
inline VstInt32 readIndex(VstInt32 write, VstInt32 distance, VstInt32 length) {
  VstInt32 index = write - distance;
  return index < 0 ? index + length : index;
}

// A ring index moved on by a chunk, which may take it round several times on a short line.
inline VstInt32 advance(VstInt32 index, VstInt32 steps, VstInt32 length) {
  index += steps;
  while (index >= length) index -= length;
  return index;
}

// Room behind the input's history: four times its length and at least a chunk. Moving the history
// to the front then costs a quarter of a sample moved per sample processed.
VstInt32 historyRoom(VstInt32 length) { return std::max(4 * length, Lumivane::kFeedChunk); }

// Whether two sample buffers share memory without starting at the same sample. Such buffers are
// processed one sample at a time: a vector would read samples that the sample order has already
// overwritten. (Identical buffers, in-place processing, are fine for vectors as for samples.)
template <typename Sample>
bool overlapPartly(const Sample* a, const Sample* b, VstInt32 frames) {
  const auto start = reinterpret_cast<std::uintptr_t>(a);
  const auto other = reinterpret_cast<std::uintptr_t>(b);
  const auto bytes = static_cast<std::uintptr_t>(frames) * sizeof(Sample);
  return start != other && start < other + bytes && other < start + bytes;
}

template <typename Sample>
bool buffersAllowVectors(const Sample* input, const Sample* left, const Sample* right,
                         VstInt32 frames) {
  return !overlapPartly(input, left, frames) && !overlapPartly(input, right, frames) &&
         !overlapPartly(left, right, frames);
}

// A vector would read what an earlier lane of the same vector writes when its tap reads fewer
// samples back than the vector is wide.
inline bool vectorsCanRead(bool readsLine, VstInt32 samplesAgo, VstInt32 width) {
  return !readsLine || samplesAgo >= width;
}

// A NaN sum or difference puts its point in the middle instead of travelling to the editor.
void centreUndefinedPoints(float* side, float* mid, VstInt32 count) {
  for (float* coordinates : {side, mid}) {
    for (VstInt32 i = 0; i < count; ++i)
      if (std::isnan(coordinates[i])) coordinates[i] = 0.5f;
  }
}

// AVX vectors hold four samples.
constexpr VstInt32 kWideVectorWidth = 4;

VstInt32 widestVectors() { return hasWideKernels() ? kWideVectorWidth : SampleVectors::kWidth; }

// Correlation of one block mapped to 0..1. Exactly one constant channel leaves it 0/0: the
// channels are then as unrelated as they can be, 0.5. So does a block that overflowed to
// infinity or NaN.
double correlationTagValue(double sxx, double syy, double sxy) {
  if (sxx == 0.0 && syy == 0.0) return 1.0;
  if (sxx == 0.0 || syy == 0.0) return 0.5;
  double r = sxy / (std::sqrt(sxx) * std::sqrt(syy));
  double value = (r + 1.0) * 0.5;
  if (value != value || std::isinf(r)) return 0.5;
  if (value > 1.0) return 1.0;
  if (value < 0.0) return 0.0;
  return value;
}

}  // namespace

Lumivane::Lumivane(audioMasterCallback hostCallback)
    : AudioEffectX(hostCallback, kNumPrograms, kNumParams),
      preDelay(0.0f),
      expression(0.0f),
      wide(0.0f),
      dry(0.0f),
      wet(0.0f),
      mix(0.0f),
      rate(0.0f),
      write1(0),
      length1(0),
      write2(0),
      expressionLength(0),
      length2(0),
      peakLeft(0.0),
      peakRight(0.0),
      peakDecay(0.0),
      decayPowers{},
      vectorWidth(widestVectors()),
      settings{},
      parameterGeneration(0) {
  setProgram(0);
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(kUniqueId);
  canProcessReplacing(true);
  canDoubleReplacing(true);
  resume();
  rate = sampleRate;
  resizeLines(rate);
  settings = mixSettings();
  setEditor(createLumivaneEditor(this));
}

Lumivane::~Lumivane() = default;

void Lumivane::setSampleRate(float newRate) {
  if (!(newRate >= kMinSampleRate && newRate <= kMaxSampleRate)) return;
  resizeLines(newRate);
  AudioEffectX::setSampleRate(newRate);
}

// Builds new, silent lines for the rate; only when both could be had does the effect switch to
// them, so a failed allocation leaves the previous rate and lines intact.
void Lumivane::resizeLines(float newRate) {
  auto newLength1 = static_cast<VstInt32>(static_cast<double>(newRate) * kPreDelaySeconds);
  auto newExpressionLength =
      static_cast<VstInt32>(static_cast<double>(newRate) * kExpressionSeconds);
  VstInt32 newLength2 = newLength1 + newExpressionLength;
  InputHistory newHistory(newLength2, historyRoom(newLength2));

  rate = newRate;
  length1 = newLength1;
  expressionLength = newExpressionLength;
  length2 = newLength2;
  history = std::move(newHistory);
  write1 = 0;
  write2 = 0;
  peakDecay = std::exp(-1.0 / static_cast<double>(rate));
  computeDecayPowers();
  parameterGeneration.fetch_add(1, std::memory_order_release);
}

// Each power is the one below times the decay, rounded, as the sample-by-sample follower
// multiplies: the power of k has a relative error of at most gamma(k - 1).
void Lumivane::computeDecayPowers() {
  double power = 1.0;
  for (VstInt32 k = 1; k <= kFeedChunk; ++k) {
    power *= peakDecay;
    decayPowers[static_cast<std::size_t>(kFeedChunk - k)] = power;
  }
}

// The pre-delay tap lies trunc(preDelay x length1) samples behind, the expression tap
// trunc(preDelay x length1 + expression x expressionLength); the products are exact in double.
// Both come from one pair of values: processing works them out from the PreDelay and Expression
// it reads together with the other parameters, so two host threads setting the two at once can
// never leave taps made of one new value and one stale one.
Lumivane::TapDistances Lumivane::tapDistances(float preDelayValue, float expressionValue) const {
  const double preDelaySamples = static_cast<double>(preDelayValue) * length1;
  const double expressionSamples = static_cast<double>(expressionValue) * expressionLength;
  return TapDistances{static_cast<VstInt32>(preDelaySamples),
                      static_cast<VstInt32>(preDelaySamples + expressionSamples)};
}

void Lumivane::setParameter(VstInt32 index, float value) {
  if (index < 0) return;
  if (index < kNumParams) {
    value = clampParameterValue(value);
    programs[static_cast<std::size_t>(curProgram.load(relaxed))].values[index].store(value,
                                                                                     relaxed);
    std::atomic<float>* members[kNumParams] = {&preDelay, &expression, &wide, &dry, &wet, &mix};
    members[index]->store(value, relaxed);
    parameterGeneration.fetch_add(1, std::memory_order_release);
  }
  forwardToEditor(index, value);
}

void Lumivane::forwardToEditor(VstInt32 index, float value) {
  if (editor) editor->setParameter(index, value);
}

void Lumivane::sendFeed(VstInt32 index, float value) {
  if (editor) editor->setFeedValue(index, value);
}

float Lumivane::getParameter(VstInt32 index) {
  switch (index) {
    case kTagPreDelay:
      return preDelay.load(relaxed);
    case kTagExpression:
      return expression.load(relaxed);
    case kTagWide:
      return wide.load(relaxed);
    case kTagDry:
      return dry.load(relaxed);
    case kTagWet:
      return wet.load(relaxed);
    case kTagMix:
      return mix.load(relaxed);
    default:
      return 0.0f;
  }
}

void Lumivane::setProgram(VstInt32 program) {
  if (program < 0 || program >= kNumPrograms) return;
  curProgram.store(program, relaxed);
  // A copy, since each setParameter writes the value back into this very record.
  float recalled[kNumParams];
  for (VstInt32 i = 0; i < kNumParams; ++i)
    recalled[i] = programs[static_cast<std::size_t>(program)].values[i].load(relaxed);
  for (VstInt32 i = 0; i < kNumParams; ++i) setParameter(i, recalled[i]);
}

void Lumivane::setProgramName(char* name) {
  copyText(programs[static_cast<std::size_t>(curProgram.load(relaxed))].name, name,
           ProgramRecord::kNameSize - 1);
}

void Lumivane::getProgramName(char* name) {
  copyText(name, programs[static_cast<std::size_t>(curProgram.load(relaxed))].name,
           ProgramRecord::kNameSize - 1);
}

void Lumivane::getParamLabel(VstInt32 index, char* label) {
  if (isParameter(index)) std::strcpy(label, kParameterTexts[index].label);
}

void Lumivane::getParamDisplay(VstInt32 index, char* text) {
  if (!isParameter(index)) return;
  float value = getParameter(index);
  if (kParameterTexts[index].percent)
    formatPercent(value, text);
  else
    formatPlain(value, text);
}

void Lumivane::getParamName(VstInt32 index, char* text) {
  if (isParameter(index)) std::strcpy(text, kParameterTexts[index].name);
}

bool Lumivane::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
  if (index < 0 || index >= kNumPrograms) return false;
  copyText(text, programs[static_cast<std::size_t>(index)].name, ProgramRecord::kNameSize - 1);
  return true;
}

bool Lumivane::getEffectName(char* name) {
  std::strcpy(name, "Lumivane");
  return true;
}

bool Lumivane::getVendorString(char* text) {
  std::strcpy(text, "Velmora");
  return true;
}

bool Lumivane::getProductString(char* text) {
  std::strcpy(text, "Lumivane");
  return true;
}

VstInt32 Lumivane::getVendorVersion() { return 2000; }

VstInt32 Lumivane::getPlugCategory() { return kPlugCategSpacializer; }

void Lumivane::limitVectorWidth(VstInt32 samples) {
  const VstInt32 widest = widestVectors();
  vectorWidth = samples >= widest                  ? widest
                : samples >= SampleVectors::kWidth ? SampleVectors::kWidth
                                                   : 1;
}

Lumivane::DelayState Lumivane::delayState() const {
  const TapDistances taps = tapDistances(preDelay.load(relaxed), expression.load(relaxed));
  return DelayState{length1, write1, readIndex(write1, taps.preDelay, length1),  expressionLength,
                    length2, write2, readIndex(write2, taps.expression, length2)};
}

void Lumivane::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  processBlock(inputs, outputs, sampleFrames);
}

void Lumivane::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  processBlock(inputs, outputs, sampleFrames);
}

Lumivane::MixSettings Lumivane::mixSettings() const {
  MixSettings read;
  read.generation = parameterGeneration.load(std::memory_order_acquire);
  const float preDelayValue = preDelay.load(relaxed);
  const float expressionValue = expression.load(relaxed);
  read.readsPreDelayLine = preDelayValue != 0.0f;
  read.readsExpressionLine = preDelayValue + expressionValue != 0.0f;
  read.crossFeed = 1.0 - static_cast<double>(wide.load(relaxed));
  read.dry = dry.load(relaxed);
  read.wet = wet.load(relaxed);
  read.mix = mix.load(relaxed);
  const TapDistances taps = tapDistances(preDelayValue, expressionValue);
  read.preDelaySamplesAgo = taps.preDelay == 0 ? length1 : taps.preDelay;
  read.expressionSamplesAgo = taps.expression == 0 ? length2 : taps.expression;
  return read;
}

template <typename Sample>
void Lumivane::processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
  if (vectorWidth >= kWideVectorWidth)
    processBlockWith<WideKernels>(inputs, outputs, sampleFrames);
  else
    processBlockWith<Kernels>(inputs, outputs, sampleFrames);
}

template <typename KernelSet, typename Sample>
void Lumivane::processBlockWith(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
  // Without an editor that takes the feed (none, or its window is closed) the feed goes nowhere:
  // only the peak followers, which a window opened later shows, are kept up; the block's tags,
  // points and correlation are not worked out at all. The answer holds for the whole block, so
  // an editor sees every block it takes from its start to its end.
  const bool feedsEditor = editor != nullptr && editor->takesDisplayFeed();
  if (feedsEditor) sendFeed(kTagClearPoints, 0.0f);
  // A host that hands over no buffers gets an empty block rather than a crash.
  if (!inputs || !outputs || !inputs[0] || !outputs[0] || !outputs[1]) sampleFrames = 0;
  const Sample* input = sampleFrames > 0 ? inputs[0] : nullptr;
  Sample* left = sampleFrames > 0 ? outputs[0] : nullptr;
  Sample* right = sampleFrames > 0 ? outputs[1] : nullptr;
  const bool vectors = buffersAllowVectors<Sample>(input, left, right, sampleFrames);

  // The block goes through in chunks. After each, the goniometer points of its samples go to
  // the editor, in sample order; keeping those calls out of the sample loop keeps the loop's
  // state in registers. And the peaks are flushed after each chunk: far too short a time for a
  // peak above the floor to decay into subnormal numbers, however long the block.
  ChunkPoints points;
  BlockSums sums;
  for (VstInt32 done = 0, frames = 0; done < sampleFrames; done += frames) {
    frames = sampleFrames - done < kFeedChunk ? sampleFrames - done : kFeedChunk;
    if (feedsEditor) {
      processChunk<KernelSet, Sample, true>(input + done, left + done, right + done, frames,
                                            vectors, sums, &points);
      if (editor) editor->setPoints(points.side, points.mid, frames);
    } else {
      processChunk<KernelSet, Sample, false>(input + done, left + done, right + done, frames,
                                             vectors, sums, nullptr);
    }
    flushPeaks();
  }
  if (feedsEditor) sendBlockEnd<KernelSet>(left, right, sampleFrames, sums);
}

// One chunk of at most kFeedChunk samples, which the input's history takes without wrapping: one
// run, or a run for each part in which the parameters stay the same. The peak followers of the
// chunk are the largest of the peaks decayed over the whole chunk and of every output decayed from
// its sample to the chunk's end: what the per-sample chain of max and decay computes, but without
// a chain from sample to sample.
template <typename KernelSet, typename Sample, bool feedsEditor>
void Lumivane::processChunk(const Sample* input, Sample* left, Sample* right, VstInt32 sampleFrames,
                            bool vectors, BlockSums& sums, ChunkPoints* points) {
  history.makeRoom(sampleFrames);
  const double* decayWeights =
      decayPowers.data() + static_cast<std::ptrdiff_t>(kFeedChunk - sampleFrames);
  ChunkGather gather{{peakLeft * decayWeights[0], peakRight * decayWeights[0]}, {0.0, 0.0}};
  for (VstInt32 done = 0; done < sampleFrames;) {
    if (parameterGeneration.load(std::memory_order_acquire) != settings.generation)
      settings = mixSettings();
    const RunBuffers<Sample> buffers{input + done,
                                     left + done,
                                     right + done,
                                     history.back(settings.preDelaySamplesAgo) + done,
                                     history.back(settings.expressionSamplesAgo) + done,
                                     history.next() + done,
                                     decayWeights + done,
                                     feedsEditor ? points->side + done : nullptr,
                                     feedsEditor ? points->mid + done : nullptr};
    const bool runInVectors =
        vectors && vectorWidth > 1 &&
        vectorsCanRead(settings.readsPreDelayLine, settings.preDelaySamplesAgo, vectorWidth) &&
        vectorsCanRead(settings.readsExpressionLine, settings.expressionSamplesAgo, vectorWidth);
    const RunSettings runSettings{{settings.dry, settings.wet, settings.crossFeed, settings.mix},
                                  &parameterGeneration,
                                  settings.generation};
    done += KernelSet::template processRun<Sample, feedsEditor>(
        settings.readsPreDelayLine, settings.readsExpressionLine, buffers, sampleFrames - done,
        runInVectors, runSettings, gather);
  }
  history.advance(sampleFrames);
  write1 = advance(write1, sampleFrames, length1);
  write2 = advance(write2, sampleFrames, length2);
  peakLeft = gather.peaks.left;
  peakRight = gather.peaks.right;
  if constexpr (feedsEditor) {
    sums.left += gather.sums.left;
    sums.right += gather.sums.right;
    // Only an output that is not finite makes a sum or difference NaN, and then a sum of the
    // chunk is not finite either.
    if (!std::isfinite(gather.sums.left) || !std::isfinite(gather.sums.right))
      centreUndefinedPoints(points->side, points->mid, sampleFrames);
  }
}

// Peaks below the floor become 0; infinite ones (from infinite input) become the largest value
// a tag can carry, from where they decay like any other.
void Lumivane::flushPeaks() {
  for (double* peak : {&peakLeft, &peakRight}) {
    if (*peak < kPeakFloor) *peak = 0.0;
    if (*peak > kPeakCeiling) *peak = kPeakCeiling;
  }
}

// Block end of the feed: the correlation of the outputs as stored (so the float variant
// correlates the float samples), then both peaks, then the goniometer's cue to show its points.
// The sums are taken in vector lanes, in another order than sample by sample, which changes their
// rounding only: over n samples the tag (r + 1) / 2 lies within (4 gamma(n + 6) + pi gamma(n)
// (mL / sL + mR / sR)) / 2 of the sample-by-sample one, with gamma as for the peaks, m a channel's
// mean magnitude and s its deviation about the mean. Sums of squares and products round alike,
// and the rounding of the means moves every deviation a little, which matters as much as the
// signal sits far from its mean. A block with an output that is not finite gives 0.5 either way.
template <typename KernelSet, typename Sample>
void Lumivane::sendBlockEnd(const Sample* left, const Sample* right, VstInt32 sampleFrames,
                            const BlockSums& sums) {
  DeviationSums<double> deviations{1.0, 1.0, 1.0};
  if (sampleFrames > 0) {
    const double meanLeft = sums.left / sampleFrames;
    const double meanRight = sums.right / sampleFrames;
    deviations = KernelSet::deviationSums(left, right, sampleFrames, meanLeft, meanRight);
  }
  sendFeed(kTagCorrelation,
           static_cast<float>(correlationTagValue(deviations.xx, deviations.yy, deviations.xy)));
  sendFeed(kTagPeakLeft, static_cast<float>(peakLeft));
  sendFeed(kTagPeakRight, static_cast<float>(peakRight));
  sendFeed(kTagShowPoints, 0.0f);
}
