// The editor thread's work in a host's X11 window (run under Xvfb, or any X display): one idle
// that redraws three falling meters and the goniometer with a full block's trace and puts the
// window on screen, to set against editorIdleWithFallingMeters of EditorIdleBench (the headless
// window: the copy to the server is the difference); and one idle with nothing to draw, which the
// editor pays on every host idle (it reads the window's connection and finds nothing).
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "editor/CGoniometer.h"
#include "editor/LumivaneEditor.h"
#include "effect/Lumivane.h"
#include "gui/controls/CVuMeter.h"

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

// The host's connection, open for the whole program: a server resets itself when its last
// client leaves, and refuses connections while it does.
Display* hostDisplay() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}

// The host's top-level window on the host's own connection, mapped, with the editor open in it.
class X11EditorHost {
 public:
  explicit X11EditorHost(Lumivane& effect) : effect(effect), display(hostDisplay()) {
    if (display == nullptr) return;
    const int screen = DefaultScreen(display);
    window = XCreateSimpleWindow(display, RootWindow(display, screen), 40, 60, 752, 160, 0, 0, 0);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    do {
      XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    opened = idle(effEditOpen, reinterpret_cast<void*>(uintptr_t(window))) == 1;
    for (int i = 0; i < 40; ++i) idle(effEditIdle);  // painted, and the meters settled
  }
  ~X11EditorHost() {
    if (opened) idle(effEditClose);
    if (display == nullptr) return;
    XDestroyWindow(display, window);
    XSync(display, False);
  }
  bool isOpen() const { return opened; }
  VstIntPtr idle(VstInt32 opcode = effEditIdle, void* ptr = nullptr) {
    return effect.dispatcher(opcode, 0, 0, ptr, 0.0f);
  }

 private:
  Lumivane& effect;
  Display* display;
  Window window = None;
  bool opened = false;
};

void editorIdleWithFallingMetersX11(benchmark::State& state) {
  Lumivane effect(benchHost);
  X11EditorHost host(effect);
  if (!host.isOpen()) return state.SkipWithError("no X display, or the editor did not open");
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
    host.idle();
  }
  state.counters["goniometer_points"] = controls.goniometer->countMarked();
}

void editorIdleWithNothingToDrawX11(benchmark::State& state) {
  Lumivane effect(benchHost);
  X11EditorHost host(effect);
  if (!host.isOpen()) return state.SkipWithError("no X display, or the editor did not open");
  // The goniometer's control base counts it as dirty for good (CGoniometer.h); cleared here the
  // way the base would clear it, the editor has nothing at all to draw.
  gui::CControl* goniometer =
      static_cast<LumivaneEditor*>(effect.getEditor())->getControls()->goniometer;
  goniometer->gui::CControl::setDirty(false);
  host.idle();
  for (auto _ : state) host.idle();
}

BENCHMARK(editorIdleWithFallingMetersX11)->Unit(benchmark::kMicrosecond);
BENCHMARK(editorIdleWithNothingToDrawX11)->Unit(benchmark::kMicrosecond);

}  // namespace
