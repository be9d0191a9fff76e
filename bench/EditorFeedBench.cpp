// The whole processReplacing per sample with the Lumivane editor open in its headless window, so
// the display feed goes through the real receiver, feed gate and goniometer; next to it the same
// effect with its editor closed, which drops the feed at the gate.
#include <memory>

#include "bench/EffectBenchSupport.h"
#include "editor/HeadlessEditorSession.h"

namespace {

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

template <typename Sample, bool editorOpen>
void processingWithEditor(benchmark::State& state) {
  Lumivane effect(benchHost);
  std::unique_ptr<HeadlessEditorSession> session;
  if (editorOpen) session = HeadlessEditorSession::open(effect.getEffectRecord());
  if (editorOpen && !session) state.SkipWithError("the editor did not open");
  measureProcessing<Sample>(state, effect);
}

BENCHMARK_TEMPLATE(processingWithEditor, float, true)
    ->Name("processReplacing/editorOpen")
    ->Arg(64)
    ->Arg(512)
    ->Arg(4096);
BENCHMARK_TEMPLATE(processingWithEditor, float, false)
    ->Name("processReplacing/editorClosed")
    ->Arg(64)
    ->Arg(512)
    ->Arg(4096);
BENCHMARK_TEMPLATE(processingWithEditor, double, true)
    ->Name("processDoubleReplacing/editorOpen")
    ->Arg(512);

}  // namespace
