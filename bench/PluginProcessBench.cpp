// Time per sample of both process functions of a plug-in library loaded as a host loads it
// (dlopen or LoadLibraryA, then VSTPluginMain), with the editor closed, on blocks of noise. The
// same loop runs natively against lumivane.so and under Wine against Lumivane.dll, so that the two
// libraries' figures compare directly. LUMIVANE_BENCH_PLUGIN names another library to load.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/VstInterface.h"
#include "tests/support/LoadedLibrary.h"

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr VstInt32 kLargestBlock = 4096;
// Busy settings: every delay line, gain and the mix take part.
constexpr float kParameters[] = {0.4f, 0.6f, 0.7f, 0.2f, 0.8f, 0.9f};

std::string pluginPath() {
  const char* chosen = std::getenv("LUMIVANE_BENCH_PLUGIN");
  return chosen != nullptr && chosen[0] != '\0' ? chosen : LUMIVANE_PLUGIN_PATH;
}

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

using EntryPoint = AEffect*(VSTCALLBACK*)(audioMasterCallback);

// One effect of the library, opened and resumed as a host does before it processes.
class HostedEffect {
 public:
  explicit HostedEffect(const LoadedLibrary& library) {
    auto entry = reinterpret_cast<EntryPoint>(library.symbol("VSTPluginMain"));
    if (entry != nullptr) effect = entry(benchHost);
    if (effect == nullptr) return;
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, kSampleRate);
    dispatch(effSetBlockSize, kLargestBlock);
    for (VstInt32 i = 0; i < 6 && i < effect->numParams; ++i) {
      effect->setParameter(effect, i, kParameters[i]);
    }
    dispatch(effMainsChanged, 1);
  }
  ~HostedEffect() {
    if (effect == nullptr) return;
    dispatch(effMainsChanged, 0);
    dispatch(effClose);
  }
  HostedEffect(const HostedEffect&) = delete;
  HostedEffect& operator=(const HostedEffect&) = delete;

  AEffect* get() const { return effect; }

 private:
  void dispatch(VstInt32 opcode, VstIntPtr value = 0, float opt = 0.0f) {
    effect->dispatcher(effect, opcode, 0, value, nullptr, opt);
  }
  AEffect* effect = nullptr;
};

// White noise from a fixed seed, identical on every platform, in -0.5..0.5.
template <typename Sample>
std::vector<Sample> noise(std::size_t frames) {
  std::vector<Sample> samples(frames);
  std::uint32_t state = 0x12345678u;
  for (Sample& sample : samples) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    sample = static_cast<Sample>(static_cast<double>(state) / 4294967296.0 - 0.5);
  }
  return samples;
}

// Calls the record's process function for the sample type; false when the effect has none.
bool processBlock(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  if (effect->processReplacing == nullptr) return false;
  effect->processReplacing(effect, inputs, outputs, frames);
  return true;
}
bool processBlock(AEffect* effect, double** inputs, double** outputs, VstInt32 frames) {
  if ((effect->flags & effFlagsCanDoubleReplacing) == 0) return false;
  if (effect->processDoubleReplacing == nullptr) return false;
  effect->processDoubleReplacing(effect, inputs, outputs, frames);
  return true;
}

// Reports the time per sample next to the time per block.
void reportPerSample(benchmark::State& state, std::int64_t framesPerIteration) {
  const auto frames = static_cast<double>(state.iterations() * framesPerIteration);
  state.SetItemsProcessed(state.iterations() * framesPerIteration);
  state.counters["per_sample"] =
      benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Processes blocks of state.range(0) samples of noise, mono in and stereo out, for as long as the
// benchmark asks.
template <typename Sample>
void processing(benchmark::State& state) {
  LoadedLibrary library(pluginPath());
  if (!library.isLoaded()) return state.SkipWithError(("cannot load " + pluginPath()).c_str());
  HostedEffect hosted(library);
  AEffect* effect = hosted.get();
  if (effect == nullptr) return state.SkipWithError("VSTPluginMain gave no effect");
  const auto frames = static_cast<VstInt32>(state.range(0));
  std::vector<Sample> input = noise<Sample>(static_cast<std::size_t>(frames));
  std::vector<Sample> left(input.size()), right(input.size());
  Sample* inputs[] = {input.data(), input.data()};
  Sample* outputs[] = {left.data(), right.data()};
  if (!processBlock(effect, inputs, outputs, frames)) {
    return state.SkipWithError("the effect has no such process function");
  }
  for (auto _ : state) {
    processBlock(effect, inputs, outputs, frames);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
    benchmark::ClobberMemory();
  }
  reportPerSample(state, frames);
}

BENCHMARK_TEMPLATE(processing, float)->Name("processReplacing")->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK_TEMPLATE(processing, double)
    ->Name("processDoubleReplacing")
    ->Arg(64)
    ->Arg(512)
    ->Arg(4096);

}  // namespace

// Google Benchmark's own main, with the library under test named in the report's context.
int main(int argc, char** argv) {
  benchmark::AddCustomContext("plugin", pluginPath());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
