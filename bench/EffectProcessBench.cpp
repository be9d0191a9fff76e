// Time per sample of both process variants for three block sizes, without an editor and with an
// editor that takes the display feed (2 calls per sample, 5 per block).
#include "bench/EffectBenchSupport.h"

namespace {

template <typename Sample, bool withEditor>
void processing(benchmark::State& state) {
  auto frames = static_cast<VstInt32>(state.range(0));
  Lumivane effect(nullptr);
  effect.setEditor(withEditor ? new LastValueEditor(&effect) : nullptr);
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

BENCHMARK_TEMPLATE(processing, float, false)->Name("processReplacing/noEditor")->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK_TEMPLATE(processing, double, false)->Name("processDoubleReplacing/noEditor")->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK_TEMPLATE(processing, float, true)->Name("processReplacing/feed")->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK_TEMPLATE(processing, double, true)->Name("processDoubleReplacing/feed")->Arg(64)->Arg(512)->Arg(4096);

}  // namespace
