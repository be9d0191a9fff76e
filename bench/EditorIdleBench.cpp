// The editor thread's work: one idle that redraws three falling meters and the goniometer with a
// full block's trace, and a full paint of the editor window (its first, and any later one).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "editor/CGoniometer.h"
#include "editor/HeadlessEditorSession.h"
#include "editor/LumivaneEditor.h"
#include "effect/Lumivane.h"
#include "gui/controls/CVuMeter.h"
#include "gui/platform/raster/HeadlessWindow.h"

namespace {

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

// One block of a wide stereo signal through the effect, leaving 512 points in the goniometer.
void feedBlock(Lumivane& effect) {
  std::vector<float> input(512), left(512), right(512);
  for (std::size_t i = 0; i < input.size(); ++i)
    input[i] = 0.6f * std::sin(0.021f * static_cast<float>(i));
  float* inputs[] = {input.data()};
  float* outputs[] = {left.data(), right.data()};
  for (int block = 0; block < 4; ++block) effect.processReplacing(inputs, outputs, 512);
}

void editorIdleWithFallingMeters(benchmark::State& state) {
  Lumivane effect(benchHost);
  auto session = HeadlessEditorSession::open(effect.getEffectRecord());
  if (!session) return state.SkipWithError("the editor did not open");
  feedBlock(effect);
  const EditorControls& controls = *static_cast<LumivaneEditor*>(effect.getEditor())->getControls();
  gui::CVuMeter* meters[] = {controls.leftPeakMeter, controls.rightPeakMeter,
                             controls.correlationMeter};
  for (auto _ : state) {
    state.PauseTiming();
    // Each meter shows full and falls a step at this idle.
    for (gui::CVuMeter* meter : meters) {
      meter->setValue(0.2f);
      meter->setOldValue(1.0f);
    }
    state.ResumeTiming();
    session->idle(1);
  }
  state.counters["goniometer_points"] = controls.goniometer->countMarked();
}

void editorFirstPaint(benchmark::State& state) {
  Lumivane effect(benchHost);
  for (auto _ : state) {
    state.PauseTiming();
    gui::raster::HeadlessWindow hostWindow(752, 160);
    effect.dispatcher(effEditOpen, 0, 0, hostWindow.handle(), 0.0f);
    gui::raster::HeadlessWindow* window = hostWindow.getChild();
    state.ResumeTiming();
    window->dispatchPaint();
    state.PauseTiming();
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    state.ResumeTiming();
  }
}

void editorFullRepaint(benchmark::State& state) {
  Lumivane effect(benchHost);
  auto session = HeadlessEditorSession::open(effect.getEffectRecord());
  if (!session) return state.SkipWithError("the editor did not open");
  feedBlock(effect);
  gui::raster::HeadlessWindow* window = session->editorWindow();
  for (auto _ : state) window->paint(gui::CViewRect(0, 0, 752, 160));
}

BENCHMARK(editorIdleWithFallingMeters)->Unit(benchmark::kMicrosecond);
BENCHMARK(editorFirstPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(editorFullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
