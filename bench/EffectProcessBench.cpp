// Time per sample of both process variants for three block sizes, without an editor and with an
// editor that takes the display feed (2 calls per sample, 5 per block).
#include "bench/EffectBenchSupport.h"

namespace {

template <typename Sample, bool withEditor>
void processing(benchmark::State& state) {
  Lumivane effect(nullptr);
  effect.setEditor(withEditor ? new LastValueEditor(&effect) : nullptr);
  measureProcessing<Sample>(state, effect);
}

BENCHMARK_TEMPLATE(processing, float, false)
    ->Name("processReplacing/noEditor")
    ->Arg(64)
    ->Arg(512)
    ->Arg(4096);
BENCHMARK_TEMPLATE(processing, double, false)
    ->Name("processDoubleReplacing/noEditor")
    ->Arg(64)
    ->Arg(512)
    ->Arg(4096);
BENCHMARK_TEMPLATE(processing, float, true)
    ->Name("processReplacing/feed")
    ->Arg(64)
    ->Arg(512)
    ->Arg(4096);
BENCHMARK_TEMPLATE(processing, double, true)
    ->Name("processDoubleReplacing/feed")
    ->Arg(64)
    ->Arg(512)
    ->Arg(4096);

}  // namespace
