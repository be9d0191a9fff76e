// The editor thread's work through GDI, the same two cases as EditorIdleBench on the raster
// backend and with the same set-up: one idle that redraws three falling meters and the goniometer
// with a full block's trace, and a full paint of the editor's window. The editor opens as the
// child of a real top-level window; the idle is effEditIdle (the back buffer redrawn and the frame
// copied to the window with GDI), the full paint is InvalidateRect + UpdateWindow of the editor's
// window (a synchronous WM_PAINT). Windows only; under Wine the ratio to EditorIdleBench's figures
// is the cost of GDI against the raster backend.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cmath>
#include <vector>

#include "editor/CGoniometer.h"
#include "editor/LumivaneEditor.h"
#include "effect/Lumivane.h"
#include "gui/controls/CVuMeter.h"

namespace {

const char kHostClassName[] = "LumivaneBenchHost";
// Where the host window sits on the screen: not at the origin, as on a real desktop.
constexpr int kHostLeft = 120;
constexpr int kHostTop = 80;

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

// One block of a wide stereo signal through the effect, leaving 512 points in the goniometer.
void feedBlock(Lumivane& effect) {
  std::vector<float> input(512), left(512), right(512);
  for (std::size_t i = 0; i < input.size(); ++i) {
    input[i] = 0.6f * std::sin(0.021f * static_cast<float>(i));
  }
  float* inputs[] = {input.data()};
  float* outputs[] = {left.data(), right.data()};
  for (int block = 0; block < 4; ++block) effect.processReplacing(inputs, outputs, 512);
}

void dispatchWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void registerHostClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = kHostClassName;
  registered = RegisterClassA(&windowClass) != 0;
}

// The host's top-level window with the effect's editor open in it, its first paint delivered.
class OpenEditor {
 public:
  explicit OpenEditor(Lumivane& effect) : effect(effect) {
    ERect* rect = nullptr;
    if (effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f) == 0 || rect == nullptr) return;
    registerHostClass();
    host = CreateWindowExA(0, kHostClassName, "Lumivane bench host", WS_POPUP | WS_VISIBLE,
                           kHostLeft, kHostTop, rect->right - rect->left, rect->bottom - rect->top,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (host == nullptr) return;
    dispatchWaitingMessages();
    opened = effect.dispatcher(effEditOpen, 0, 0, host, 0.0f) == 1;
    if (!opened) return;
    editor = GetWindow(host, GW_CHILD);
    UpdateWindow(editor);
    dispatchWaitingMessages();
  }
  ~OpenEditor() {
    if (opened) effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    if (host != nullptr) DestroyWindow(host);
    dispatchWaitingMessages();
  }
  OpenEditor(const OpenEditor&) = delete;
  OpenEditor& operator=(const OpenEditor&) = delete;

  bool isOpen() const { return opened && editor != nullptr; }
  HWND editorWindow() const { return editor; }

 private:
  Lumivane& effect;
  HWND host = nullptr;
  HWND editor = nullptr;
  bool opened = false;
};

// Delivers a paint the system has pending, as the raster session does before each idle.
void dispatchPendingPaint() {
  MSG message;
  if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

void editorIdleWithFallingMeters(benchmark::State& state) {
  Lumivane effect(benchHost);
  OpenEditor window(effect);
  if (!window.isOpen()) return state.SkipWithError("the editor did not open");
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
    dispatchPendingPaint();
    effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    GdiFlush();
  }
  state.counters["goniometer_points"] = controls.goniometer->countMarked();
}

void editorFullRepaint(benchmark::State& state) {
  Lumivane effect(benchHost);
  OpenEditor window(effect);
  if (!window.isOpen()) return state.SkipWithError("the editor did not open");
  feedBlock(effect);
  HWND editor = window.editorWindow();
  for (auto _ : state) {
    InvalidateRect(editor, nullptr, FALSE);
    UpdateWindow(editor);
    GdiFlush();
  }
}

BENCHMARK(editorIdleWithFallingMeters)->Unit(benchmark::kMicrosecond);
BENCHMARK(editorFullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
