#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "effect/ProgramRecord.h"
#include "host/AudioEffectX.h"

// The stereo widener: the first input channel goes through a 1 ms pre-delay line and a 41 ms
// expression line, and a cross-fed mix of direct and delayed signal makes the left and right
// outputs. While processing it feeds its editor with peaks, correlation and goniometer points.
//
// Threads: hosts set parameters and switch programs from any thread while the audio thread
// processes. The parameter values, the current program and the programs' values are atomics read
// and written with relaxed order, the parameters published to processing by a change count;
// processing works out both taps from the PreDelay and Expression it reads. Everything else that
// processing touches belongs to the audio thread. The sample rate changes only while the host
// does not process, as the plug-in interface demands.
class Lumivane final : public AudioEffectX {
 public:
  static constexpr VstInt32 kNumPrograms = 16;
  static constexpr VstInt32 kNumParams = 6;
  static constexpr VstInt32 kUniqueId = 0x3E51A7C2;
  // Rates outside this range are refused and the previous rate kept: below it a line would hold
  // no sample, above it a host is sending nonsense and the lines would grow without bound.
  static constexpr float kMinSampleRate = 8000.0f;
  static constexpr float kMaxSampleRate = 768000.0f;
  // Peak followers below this are zero. Far under anything a meter shows, far above the
  // subnormal numbers that an endless decay would otherwise reach and that are slow to compute.
  static constexpr double kPeakFloor = 1e-15;
  // Samples processed between two hand-overs of goniometer points and two peak flushes.
  static constexpr VstInt32 kFeedChunk = 256;

  explicit Lumivane(audioMasterCallback hostCallback);
  ~Lumivane() override;

  void setSampleRate(float sampleRate) override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void setProgram(VstInt32 program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  void getParamLabel(VstInt32 index, char* label) override;
  void getParamDisplay(VstInt32 index, char* text) override;
  void getParamName(VstInt32 index, char* text) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override;
  VstInt32 getPlugCategory() override;

  // What the delay lines look like now, with the taps as read indices: for tests and tools.
  struct DelayState {
    VstInt32 length1, write1, tap1;
    VstInt32 expressionLength, length2, write2, tap2;
  };
  DelayState delayState() const;
  const ProgramRecord& program(VstInt32 index) const { return programs[index]; }
  double getPeakLeft() const { return peakLeft; }
  double getPeakRight() const { return peakRight; }

 private:
  struct MixSettings;
  struct BlockSums {
    double left = 0.0;
    double right = 0.0;
  };

  template <typename Sample>
  void processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);
  template <typename Sample, bool feedsEditor>
  void processSamples(const Sample* input, Sample* left, Sample* right, VstInt32 sampleFrames,
                      BlockSums& sums, double* pointsLeft, double* pointsRight);
  void sendPoints(const double* left, const double* right, VstInt32 sampleFrames);
  template <typename Sample>
  void sendBlockEnd(const Sample* left, const Sample* right, VstInt32 sampleFrames,
                    const BlockSums& sums);
  MixSettings mixSettings(VstInt32 preDelayWrite, VstInt32 expressionWrite) const;
  void flushPeaks();
  void resizeLines(float newRate);
  // How far behind their write indices the two taps lie for a pair of parameter values (0 and
  // the full line length both mean one full line ago).
  struct TapDistances {
    VstInt32 preDelay, expression;
  };
  TapDistances tapDistances(float preDelayValue, float expressionValue) const;
  void forwardToEditor(VstInt32 index, float value);
  // The display feed of processing, on the audio thread (the editor's setFeedValue).
  void sendFeed(VstInt32 index, float value);

  std::array<ProgramRecord, kNumPrograms> programs;
  std::atomic<float> preDelay, expression, wide, dry, wet, mix;
  float rate;
  std::unique_ptr<double[]> line1;
  VstInt32 write1;
  VstInt32 length1;
  std::unique_ptr<double[]> line2;
  VstInt32 write2;
  VstInt32 expressionLength;
  VstInt32 length2;
  double peakLeft, peakRight;
  double peakDecay;  // exp(-1 / rate): the peaks fall to 1/e in one second
  // Counts the changes of parameters and lines. Processing reads the parameters once and again
  // only after this has moved on, so every change still counts from the next sample while the
  // sample loop stays free of needless loads. Release and acquire order make the new values
  // visible together with the count.
  std::atomic<unsigned> parameterGeneration;
};
