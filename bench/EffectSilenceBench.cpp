// The cost of processing after 30 minutes of silence against the cost with signal. The peak
// followers decay through every sample of silence; this shows they never reach the slow
// subnormal numbers.
#include "bench/EffectBenchSupport.h"

namespace {

constexpr VstInt32 kFrames = 512;
constexpr long kHalfHourOfSamples = 44100L * 60 * 30;

// A loud block sets both peaks, then half an hour of silence goes through the effect.
void playHalfHourOfSilence(Lumivane& effect) {
  std::vector<float> loud(kFrames, 1.0f), silence(kFrames, 0.0f), left(kFrames), right(kFrames);
  float* inputs[] = {loud.data()};
  float* outputs[] = {left.data(), right.data()};
  for (int i = 0; i < 4; ++i) effect.processReplacing(inputs, outputs, kFrames);
  inputs[0] = silence.data();
  for (long played = 0; played < kHalfHourOfSamples; played += kFrames)
    effect.processReplacing(inputs, outputs, kFrames);
}

template <bool afterSilence, bool withEditor>
void processingAfter(benchmark::State& state) {
  Lumivane effect(nullptr);
  effect.setEditor(nullptr);
  std::vector<float> input =
      afterSilence ? std::vector<float>(kFrames, 0.0f) : musicalSignal<float>(kFrames);
  if (afterSilence) playHalfHourOfSilence(effect);
  if (withEditor) effect.setEditor(new LastValueEditor(&effect));
  std::vector<float> left(kFrames), right(kFrames);
  float* inputs[] = {input.data()};
  float* outputs[] = {left.data(), right.data()};
  for (auto _ : state) {
    effect.processReplacing(inputs, outputs, kFrames);
    benchmark::DoNotOptimize(left.data());
  }
  state.counters["peak_left"] = effect.getPeakLeft();
  reportPerSample(state, kFrames);
}

BENCHMARK_TEMPLATE(processingAfter, false, false)->Name("signal/noEditor");
BENCHMARK_TEMPLATE(processingAfter, true, false)->Name("silenceAfter30min/noEditor");
BENCHMARK_TEMPLATE(processingAfter, false, true)->Name("signal/feed");
BENCHMARK_TEMPLATE(processingAfter, true, true)->Name("silenceAfter30min/feed");

}  // namespace
