#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "effect/InputHistory.h"
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

  // Processing takes several samples at once in vectors: 4 on processors with AVX, else 2. Tests
  // and benchmarks may ask for narrower ones, down to 1 (one sample at a time); every width gives
  // the same outputs. Not while processing.
  void limitVectorWidth(VstInt32 samples);
  VstInt32 getVectorWidth() const { return vectorWidth; }

  // What the delay lines look like now, with the taps as read indices: for tests and tools.
  struct DelayState {
    VstInt32 length1, write1, tap1;
    VstInt32 expressionLength, length2, write2, tap2;
  };
  DelayState delayState() const;
  const ProgramRecord& program(VstInt32 index) const { return programs[index]; }
  // The peak followers: per sample peak = max(peak, output) x decay, taken for a whole chunk at
  // once as the largest output times its decay to the chunk's end (the decay's powers made by
  // repeated multiplication). Over n samples this differs from the chain sample by sample by
  // rounding only, at most gamma(2n) times the larger of the two, gamma(k) = k u / (1 - k u) with
  // u = 2^-53: each output meets the decay up to n times on either side, every product rounded.
  // (Where one of them reaches the floor, kPeakFloor, and becomes 0, both are near the floor.)
  // The peaks are the same whichever vector width processes and whether an editor is fed.
  double getPeakLeft() const { return peakLeft; }
  double getPeakRight() const { return peakRight; }

 private:
  // What the sample loop reads of the parameters and taps, taken together.
  struct MixSettings {
    unsigned generation;              // the change count they were read at
    bool readsPreDelayLine;           // a pre-delay of exactly 0 passes the input instead
    bool readsExpressionLine;         // likewise pre-delay and expression both 0
    double dry, wet, crossFeed, mix;  // crossFeed is 1 - wide
    // How many samples ago each tap's sample went in: 1 to the line's length (a distance of 0
    // reads the whole line back).
    VstInt32 preDelaySamplesAgo, expressionSamplesAgo;
  };
  struct BlockSums {
    double left = 0.0;
    double right = 0.0;
  };
  // The goniometer coordinates of one chunk's samples, handed to the editor after the chunk.
  struct ChunkPoints {
    float side[kFeedChunk];
    float mid[kFeedChunk];
  };

  template <typename Sample>
  void processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);
  // KernelSet: the SSE2 or the AVX kernels of ProcessingKernels.h.
  template <typename KernelSet, typename Sample>
  void processBlockWith(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);
  template <typename KernelSet, typename Sample, bool feedsEditor>
  void processChunk(const Sample* input, Sample* left, Sample* right, VstInt32 sampleFrames,
                    bool vectors, BlockSums& sums, ChunkPoints* points);
  template <typename KernelSet, typename Sample>
  void sendBlockEnd(const Sample* left, const Sample* right, VstInt32 sampleFrames,
                    const BlockSums& sums);
  MixSettings mixSettings() const;
  void flushPeaks();
  void computeDecayPowers();
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
  // The pre-delay line (line 1) and the expression line (line 2): their lengths, their write
  // indices as indices of a ring of that length, and their samples, the input's history.
  VstInt32 write1;
  VstInt32 length1;
  VstInt32 write2;
  VstInt32 expressionLength;
  VstInt32 length2;
  InputHistory history;
  double peakLeft, peakRight;
  double peakDecay;  // exp(-1 / rate): the peaks fall to 1/e in one second
  // decayPowers[k] is peakDecay to the power kFeedChunk - k, each power the one before times
  // peakDecay: a chunk of n samples weighs its sample j with decayPowers[kFeedChunk - n + j].
  std::array<double, kFeedChunk> decayPowers;
  VstInt32 vectorWidth;  // samples per vector: 1, 2 or 4
  // The parameters as processing last read them, kept from block to block until the change count
  // moves on (audio thread).
  MixSettings settings;
  // Counts the changes of parameters and lines. Processing reads the parameters once and again
  // only after this has moved on, so every change still counts from the next sample while the
  // sample loop stays free of needless loads. Release and acquire order make the new values
  // visible together with the count.
  std::atomic<unsigned> parameterGeneration;
};
