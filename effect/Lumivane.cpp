#include "effect/Lumivane.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "editor/AEffEditor.h"
#include "editor/EditorFactory.h"
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

// An index moved on by steps that take it at most to the line's end, which is its start.
inline VstInt32 advance(VstInt32 index, VstInt32 steps, VstInt32 length) {
  index += steps;
  return index == length ? 0 : index;
}

// A goniometer coordinate: the sum or difference limited to -2..2, mapped to 0..1. A NaN sample
// lands in the middle instead of travelling to the editor.
inline float goniometerCoordinate(double value) {
  if (value > 2.0) value = 2.0;
  if (value < -2.0) value = -2.0;
  if (value != value) value = 0.0;
  return static_cast<float>((value + 2.0) * 0.25);
}

// The peak follower's rise: a higher output takes the peak's place. Negative outputs and NaN
// never do. (Written as "greater than": an equal output is the same value.)
inline double raisePeak(double peak, double output) { return output > peak ? output : peak; }

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
  auto newLine1 = std::make_unique<double[]>(static_cast<std::size_t>(newLength1));
  auto newLine2 = std::make_unique<double[]>(static_cast<std::size_t>(newLength2));

  rate = newRate;
  length1 = newLength1;
  expressionLength = newExpressionLength;
  length2 = newLength2;
  line1 = std::move(newLine1);
  line2 = std::move(newLine2);
  write1 = 0;
  write2 = 0;
  peakDecay = std::exp(-1.0 / static_cast<double>(rate));
  parameterGeneration.fetch_add(1, std::memory_order_release);
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

// What the sample loop reads of the parameters and taps, taken together.
struct Lumivane::MixSettings {
  unsigned generation;
  bool readsPreDelayLine;    // a pre-delay of exactly 0 passes the input instead
  bool readsExpressionLine;  // likewise pre-delay and expression both 0
  double crossFeed;          // 1 - wide
  double dry, wet, mix;
  VstInt32 read1, read2;  // read indices for the current write indices
};

Lumivane::MixSettings Lumivane::mixSettings(VstInt32 preDelayWrite,
                                            VstInt32 expressionWrite) const {
  MixSettings settings;
  settings.generation = parameterGeneration.load(std::memory_order_acquire);
  const float preDelayValue = preDelay.load(relaxed);
  const float expressionValue = expression.load(relaxed);
  settings.readsPreDelayLine = preDelayValue != 0.0f;
  settings.readsExpressionLine = preDelayValue + expressionValue != 0.0f;
  settings.crossFeed = 1.0 - static_cast<double>(wide.load(relaxed));
  settings.dry = dry.load(relaxed);
  settings.wet = wet.load(relaxed);
  settings.mix = mix.load(relaxed);
  const TapDistances taps = tapDistances(preDelayValue, expressionValue);
  settings.read1 = readIndex(preDelayWrite, taps.preDelay, length1);
  settings.read2 = readIndex(expressionWrite, taps.expression, length2);
  return settings;
}

template <typename Sample>
void Lumivane::processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
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

  // The block goes through in chunks. After each, the goniometer points of its samples go to
  // the editor, in sample order; keeping those calls out of the sample loop keeps the loop's
  // state in registers. And the peaks are flushed after each chunk: far too short a time for a
  // peak above the floor to decay into subnormal numbers, however long the block.
  double pointsLeft[kFeedChunk];
  double pointsRight[kFeedChunk];
  BlockSums sums;
  for (VstInt32 done = 0, frames = 0; done < sampleFrames; done += frames) {
    frames = sampleFrames - done < kFeedChunk ? sampleFrames - done : kFeedChunk;
    if (feedsEditor) {
      processSamples<Sample, true>(input + done, left + done, right + done, frames, sums,
                                   pointsLeft, pointsRight);
      sendPoints(pointsLeft, pointsRight, frames);
    } else {
      processSamples<Sample, false>(input + done, left + done, right + done, frames, sums, nullptr,
                                    nullptr);
    }
    flushPeaks();
  }
  if (feedsEditor) sendBlockEnd(left, right, sampleFrames, sums);
}

// The per-sample work: both taps read before the input is written (so in-place buffers and a
// zero distance work), the cross-fed mix and the peak followers; for an editor also the block
// sums and the outputs at full precision, for the correlation and the goniometer.
template <typename Sample, bool feedsEditor>
void Lumivane::processSamples(const Sample* input, Sample* left, Sample* right,
                              VstInt32 sampleFrames, BlockSums& sums, double* pointsLeft,
                              double* pointsRight) {
  double* preDelayLine = line1.get();
  double* expressionLine = line2.get();
  VstInt32 preDelayWrite = write1;
  VstInt32 expressionWrite = write2;
  MixSettings settings = mixSettings(preDelayWrite, expressionWrite);
  const double decay = peakDecay;
  double followerLeft = peakLeft;
  double followerRight = peakRight;
  double sumLeft = sums.left;
  double sumRight = sums.right;

  // The samples go in runs in which no index wraps, so the inner loop only counts. A run also
  // ends when a parameter changes (after at least one sample, so a host that changes them
  // without pause cannot stall processing); the next run starts with the new values.
  for (VstInt32 done = 0; done < sampleFrames;) {
    if (parameterGeneration.load(std::memory_order_acquire) != settings.generation)
      settings = mixSettings(preDelayWrite, expressionWrite);
    VstInt32 run =
        std::min({sampleFrames - done, length1 - preDelayWrite, length2 - expressionWrite,
                  length1 - settings.read1, length2 - settings.read2});
    const double* preDelayRead = preDelayLine + settings.read1;
    const double* expressionRead = expressionLine + settings.read2;
    double* preDelayStore = preDelayLine + preDelayWrite;
    double* expressionStore = expressionLine + expressionWrite;

    VstInt32 i = 0;
    for (; i < run; ++i) {
      if (i > 0 && parameterGeneration.load(std::memory_order_acquire) != settings.generation)
        break;
      double x = input[done + i];
      double preDelayed = settings.readsPreDelayLine ? preDelayRead[i] : x;
      double expressed = settings.readsExpressionLine ? expressionRead[i] : x;
      double l = settings.dry * x + settings.wet * (preDelayed + settings.crossFeed * expressed);
      double r = settings.dry * x + settings.wet * (expressed + settings.crossFeed * l);
      double outLeft = settings.mix * l;
      double outRight = settings.mix * r;

      expressionStore[i] = x;
      preDelayStore[i] = x;
      left[done + i] = static_cast<Sample>(outLeft);
      right[done + i] = static_cast<Sample>(outRight);

      followerLeft = raisePeak(followerLeft, outLeft) * decay;
      followerRight = raisePeak(followerRight, outRight) * decay;
      if constexpr (feedsEditor) {
        sumLeft += outLeft;
        sumRight += outRight;
        pointsLeft[done + i] = outLeft;
        pointsRight[done + i] = outRight;
      }
    }
    preDelayWrite = advance(preDelayWrite, i, length1);
    expressionWrite = advance(expressionWrite, i, length2);
    settings.read1 = advance(settings.read1, i, length1);
    settings.read2 = advance(settings.read2, i, length2);
    done += i;
  }

  write1 = preDelayWrite;
  write2 = expressionWrite;
  peakLeft = followerLeft;
  peakRight = followerRight;
  sums.left = sumLeft;
  sums.right = sumRight;
}

// One goniometer point per sample: its horizontal position (tag 12) and the coordinate that plots
// it (tag 13), handed to the editor a run at a time. They go straight to the editor, which is
// all setParameter does with tags above the parameters.
void Lumivane::sendPoints(const double* left, const double* right, VstInt32 sampleFrames) {
  float side[kFeedChunk];
  float mid[kFeedChunk];
  for (VstInt32 i = 0; i < sampleFrames; ++i) {
    side[i] = goniometerCoordinate(left[i] - right[i]);
    mid[i] = goniometerCoordinate(left[i] + right[i]);
  }
  if (editor) editor->setPoints(side, mid, sampleFrames);
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
template <typename Sample>
void Lumivane::sendBlockEnd(const Sample* left, const Sample* right, VstInt32 sampleFrames,
                            const BlockSums& sums) {
  double sxx = 1.0;
  double syy = 1.0;
  double sxy = 1.0;
  if (sampleFrames > 0) {
    double meanLeft = sums.left / sampleFrames;
    double meanRight = sums.right / sampleFrames;
    sxx = syy = sxy = 0.0;
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
      double deviationLeft = static_cast<double>(left[i]) - meanLeft;
      double deviationRight = static_cast<double>(right[i]) - meanRight;
      sxx += deviationLeft * deviationLeft;
      syy += deviationRight * deviationRight;
      sxy += deviationLeft * deviationRight;
    }
  }
  sendFeed(kTagCorrelation, static_cast<float>(correlationTagValue(sxx, syy, sxy)));
  sendFeed(kTagPeakLeft, static_cast<float>(peakLeft));
  sendFeed(kTagPeakRight, static_cast<float>(peakRight));
  sendFeed(kTagShowPoints, 0.0f);
}
