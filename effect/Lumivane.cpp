#include "effect/Lumivane.h"

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

// The line lengths come from the rate times 1 ms and 40 ms, both taken at single precision as
// hosts have always computed them: 44100 Hz gives 44 and 1763 samples (not 1764).
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

// A goniometer coordinate: the sum or difference limited to -2..2, mapped to 0..1. A NaN sample
// lands in the middle instead of travelling to the editor.
inline float goniometerCoordinate(double value) {
  if (value > 2.0) value = 2.0;
  if (value < -2.0) value = -2.0;
  if (value != value) value = 0.0;
  return static_cast<float>((value + 2.0) * 0.25);
}

// Follows the highest output, decaying by the given factor per sample, and drops to zero below
// the floor so that silence never leaves subnormal numbers behind.
inline double followPeak(double peak, double output, double decay) {
  if (output >= peak) peak = output;
  peak *= decay;
  return peak < Lumivane::kPeakFloor ? 0.0 : peak;
}

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
      tap1(0),
      length1(0),
      write2(0),
      tap2(0),
      expressionLength(0),
      length2(0),
      peakLeft(0.0),
      peakRight(0.0),
      peakDecay(0.0) {
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
  auto newExpressionLength = static_cast<VstInt32>(static_cast<double>(newRate) * kExpressionSeconds);
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
  moveTaps();
}

// The pre-delay tap lies trunc(preDelay x length1) samples behind, the expression tap
// trunc(preDelay x length1 + expression x expressionLength); the products are exact in double.
void Lumivane::moveTaps() {
  double preDelaySamples = static_cast<double>(preDelay.load(relaxed)) * length1;
  double expressionSamples = static_cast<double>(expression.load(relaxed)) * expressionLength;
  tap1.store(static_cast<VstInt32>(preDelaySamples), relaxed);
  tap2.store(static_cast<VstInt32>(preDelaySamples + expressionSamples), relaxed);
}

void Lumivane::setParameter(VstInt32 index, float value) {
  if (index < 0) return;
  if (index < kNumParams) {
    value = clampParameterValue(value);
    programs[static_cast<std::size_t>(curProgram)].values[index] = value;
    std::atomic<float>* members[kNumParams] = {&preDelay, &expression, &wide, &dry, &wet, &mix};
    members[index]->store(value, relaxed);
    if (index == kTagPreDelay || index == kTagExpression) moveTaps();
  }
  forwardToEditor(index, value);
}

void Lumivane::forwardToEditor(VstInt32 index, float value) {
  if (editor) editor->setParameter(index, value);
}

float Lumivane::getParameter(VstInt32 index) {
  switch (index) {
    case kTagPreDelay: return preDelay.load(relaxed);
    case kTagExpression: return expression.load(relaxed);
    case kTagWide: return wide.load(relaxed);
    case kTagDry: return dry.load(relaxed);
    case kTagWet: return wet.load(relaxed);
    case kTagMix: return mix.load(relaxed);
    default: return 0.0f;
  }
}

void Lumivane::setProgram(VstInt32 program) {
  if (program < 0 || program >= kNumPrograms) return;
  curProgram = program;
  // A copy, since each setParameter writes the value back into this very record.
  ProgramRecord recalled = programs[static_cast<std::size_t>(program)];
  for (VstInt32 i = 0; i < kNumParams; ++i) setParameter(i, recalled.values[i]);
}

void Lumivane::setProgramName(char* name) {
  copyText(programs[static_cast<std::size_t>(curProgram)].name, name, ProgramRecord::kNameSize - 1);
}

void Lumivane::getProgramName(char* name) {
  copyText(name, programs[static_cast<std::size_t>(curProgram)].name, ProgramRecord::kNameSize - 1);
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
  return DelayState{length1,          write1,  readIndex(write1, tap1.load(relaxed), length1),
                    expressionLength, length2, write2,
                    readIndex(write2, tap2.load(relaxed), length2)};
}

void Lumivane::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  processBlock(inputs, outputs, sampleFrames);
}

void Lumivane::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  processBlock(inputs, outputs, sampleFrames);
}

template <typename Sample>
void Lumivane::processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
  setParameter(kTagClearPoints, 0.0f);
  // A host that hands over no buffers gets an empty block rather than a crash.
  if (!inputs || !outputs || !inputs[0] || !outputs[0] || !outputs[1]) sampleFrames = 0;
  const Sample* input = sampleFrames > 0 ? inputs[0] : nullptr;
  Sample* left = sampleFrames > 0 ? outputs[0] : nullptr;
  Sample* right = sampleFrames > 0 ? outputs[1] : nullptr;

  double* preDelayLine = line1.get();
  double* expressionLine = line2.get();
  VstInt32 preDelayWrite = write1;
  VstInt32 expressionWrite = write2;
  double followerLeft = peakLeft;
  double followerRight = peakRight;
  double sumLeft = 0.0;
  double sumRight = 0.0;

  for (VstInt32 i = 0; i < sampleFrames; ++i) {
    // Parameters are read per sample: a change from another thread counts from the next sample.
    double preDelayValue = preDelay.load(relaxed);
    double expressionValue = expression.load(relaxed);
    double crossFeed = 1.0 - static_cast<double>(wide.load(relaxed));
    double dryGain = dry.load(relaxed);
    double wetGain = wet.load(relaxed);
    double outputGain = mix.load(relaxed);

    double x = input[i];
    double preDelayed =
        preDelayValue != 0.0 ? preDelayLine[readIndex(preDelayWrite, tap1.load(relaxed), length1)] : x;
    double expressed = preDelayValue + expressionValue != 0.0
                           ? expressionLine[readIndex(expressionWrite, tap2.load(relaxed), length2)]
                           : x;
    double l = dryGain * x + wetGain * (preDelayed + crossFeed * expressed);
    double r = dryGain * x + wetGain * (expressed + crossFeed * l);
    double outLeft = outputGain * l;
    double outRight = outputGain * r;

    // Both reads are done before the writes, so in-place buffers and zero distances work.
    expressionLine[expressionWrite] = x;
    preDelayLine[preDelayWrite] = x;
    left[i] = static_cast<Sample>(outLeft);
    right[i] = static_cast<Sample>(outRight);
    if (++preDelayWrite == length1) preDelayWrite = 0;
    if (++expressionWrite == length2) expressionWrite = 0;

    followerLeft = followPeak(followerLeft, outLeft, peakDecay);
    followerRight = followPeak(followerRight, outRight, peakDecay);
    sumLeft += outLeft;
    sumRight += outRight;
    setParameter(kTagPointSide, goniometerCoordinate(outLeft - outRight));
    setParameter(kTagPointMid, goniometerCoordinate(outLeft + outRight));
  }

  write1 = preDelayWrite;
  write2 = expressionWrite;
  peakLeft = followerLeft > kPeakCeiling ? kPeakCeiling : followerLeft;
  peakRight = followerRight > kPeakCeiling ? kPeakCeiling : followerRight;
  sendBlockEnd(left, right, sampleFrames, sumLeft, sumRight);
}

// Block end of the feed: the correlation of the outputs as stored (so the float variant
// correlates the float samples), then both peaks, then the goniometer's cue to show its points.
template <typename Sample>
void Lumivane::sendBlockEnd(const Sample* left, const Sample* right, VstInt32 sampleFrames, double sumLeft,
                            double sumRight) {
  double sxx = 1.0;
  double syy = 1.0;
  double sxy = 1.0;
  if (sampleFrames > 0) {
    double meanLeft = sumLeft / sampleFrames;
    double meanRight = sumRight / sampleFrames;
    sxx = syy = sxy = 0.0;
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
      double deviationLeft = static_cast<double>(left[i]) - meanLeft;
      double deviationRight = static_cast<double>(right[i]) - meanRight;
      sxx += deviationLeft * deviationLeft;
      syy += deviationRight * deviationRight;
      sxy += deviationLeft * deviationRight;
    }
  }
  setParameter(kTagCorrelation, static_cast<float>(correlationTagValue(sxx, syy, sxy)));
  setParameter(kTagPeakLeft, static_cast<float>(peakLeft));
  setParameter(kTagPeakRight, static_cast<float>(peakRight));
  setParameter(kTagShowPoints, 0.0f);
}
