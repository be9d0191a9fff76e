// A frame's idle when nothing is dirty: the editor pays this on every host idle.

#include <benchmark/benchmark.h>

#include "gui/CFrame.h"
#include "gui/platform/raster/HeadlessWindow.h"

namespace {

void frameIdleWithNothingDirty(benchmark::State& state) {
  gui::raster::HeadlessWindow host(752, 160);
  auto* frame = new gui::CFrame(gui::CViewRect(0, 0, 752, 160), host.handle(), nullptr);
  for (int i = 0; i < 20; ++i) {
    const int32_t left = (i % 10) * 74;
    const int32_t top = (i / 10) * 80;
    frame->addView(new gui::CView(gui::CViewRect(left, top, left + 64, top + 64)));
  }
  host.getChild()->dispatchPaint();
  for (auto _ : state) {
    frame->idle();
  }
  benchmark::DoNotOptimize(frame->isDirty());
  delete frame;
}
BENCHMARK(frameIdleWithNothingDirty);

}  // namespace
