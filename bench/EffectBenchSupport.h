#pragma once
// Shared set-up of the effect benchmarks: an editor that takes the feed as cheaply as an editor
// can, and input signals.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "editor/AEffEditor.h"
#include "effect/Lumivane.h"

// Keeps only the last value of the feed, so what is measured is the effect's side of it: a run of
// goniometer points arrives in one call, as at a real editor, and leaves its last point.
class LastValueEditor : public AEffEditor {
 public:
  using AEffEditor::AEffEditor;
  void setParameter(VstInt32 index, float value) override {
    lastIndex = index;
    lastValue = value;
  }
  void setPoints(const float* side, const float* mid, VstInt32 count) override {
    if (count <= 0) return;
    lastIndex = 13;  // the point's plotting coordinate
    lastValue = mid[count - 1] + side[count - 1];
  }
  VstInt32 lastIndex = 0;
  float lastValue = 0.0f;
};

// A few partials that keep every output busy.
template <typename Sample>
std::vector<Sample> musicalSignal(std::size_t frames) {
  std::vector<Sample> samples(frames);
  for (std::size_t i = 0; i < frames; ++i) {
    double t = static_cast<double>(i) / 44100.0;
    samples[i] = static_cast<Sample>(0.4 * std::sin(2 * M_PI * 220 * t) +
                                     0.2 * std::sin(2 * M_PI * 331 * t) +
                                     0.1 * std::sin(2 * M_PI * 1234 * t));
  }
  return samples;
}

// Calls the variant that matches the sample type.
inline void processBlock(Lumivane& effect, float** inputs, float** outputs, VstInt32 frames) {
  effect.processReplacing(inputs, outputs, frames);
}
inline void processBlock(Lumivane& effect, double** inputs, double** outputs, VstInt32 frames) {
  effect.processDoubleReplacing(inputs, outputs, frames);
}

// Reports the time per sample next to the time per block.
inline void reportPerSample(benchmark::State& state, std::int64_t framesPerIteration) {
  state.SetItemsProcessed(state.iterations() * framesPerIteration);
  state.counters["per_sample"] =
      benchmark::Counter(static_cast<double>(state.iterations() * framesPerIteration),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Processes blocks of state.range(0) samples of a musical signal, with busy settings, for as long
// as the benchmark asks, and reports the time per sample.
template <typename Sample>
void measureProcessing(benchmark::State& state, Lumivane& effect) {
  auto frames = static_cast<VstInt32>(state.range(0));
  const float parameters[6] = {0.4f, 0.6f, 0.7f, 0.2f, 0.8f, 0.9f};
  for (VstInt32 i = 0; i < 6; ++i) effect.setParameter(i, parameters[i]);
  std::vector<Sample> input = musicalSignal<Sample>(static_cast<std::size_t>(frames));
  std::vector<Sample> left(input.size()), right(input.size());
  Sample* inputs[] = {input.data()};
  Sample* outputs[] = {left.data(), right.data()};
  for (auto _ : state) {
    processBlock(effect, inputs, outputs, frames);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
  }
  reportPerSample(state, frames);
}
