#include "editor/HeadlessEditorSession.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "editor/EffectRecordProbe.h"
#include "gui/KeyEvent.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/platform/raster/RasterInput.h"
#include "host/VstInterface.h"

using gui::CViewPoint;
using gui::raster::HeadlessWindow;
using gui::raster::InputStep;
using gui::raster::RasterInput;

namespace {

// Where the stand-in host window sits on the raster backend's screen. Not at the origin, so that
// every path from screen to window coordinates is taken as it would be on a real desktop.
const CViewPoint kScreenOrigin(120, 80);

constexpr std::int32_t kDragStepPixels = 4;
constexpr std::int32_t kMaxDragSteps = 512;
constexpr std::int32_t kMaxIdles = 100000;
constexpr float kWheelDeltaPerNotch = 120.0f;
constexpr float kMaxNotches = 273.0f;  // 273 x 120 still fits the message's signed 16 bits

constexpr gui::MouseButtonState kButtonBits =
    gui::kLeftButton | gui::kMiddleButton | gui::kRightButton;

bool isOurEffectWithEditor(AEffect* effect) {
  return EffectRecordProbe::isFromThisLibrary(effect) && (effect->flags & effFlagsHasEditor) != 0;
}

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, void* ptr = nullptr) {
  return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
}

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt) {
  return effect->dispatcher(effect, opcode, index, value, nullptr, opt);
}

}  // namespace

std::unique_ptr<HeadlessEditorSession> HeadlessEditorSession::open(AEffect* effect) {
  if (!isOurEffectWithEditor(effect)) return nullptr;
  ERect* rect = nullptr;
  if (dispatch(effect, effEditGetRect, &rect) == 0 || !rect) return nullptr;
  const std::int32_t width = rect->right - rect->left;
  const std::int32_t height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  auto hostWindow = std::make_unique<HeadlessWindow>(width, height, kScreenOrigin);
  if (dispatch(effect, effEditOpen, hostWindow->handle()) == 0) return nullptr;
  return std::unique_ptr<HeadlessEditorSession>(
      new HeadlessEditorSession(effect, std::move(hostWindow)));
}

// A new window is painted as soon as the system gets to it, before the host's next idle.
HeadlessEditorSession::HeadlessEditorSession(AEffect* effect,
                                             std::unique_ptr<HeadlessWindow> hostWindow)
    : effect(effect), hostWindow(std::move(hostWindow)), opened(true) {
  if (HeadlessWindow* window = editorWindow()) window->dispatchPaint();
}

HeadlessEditorSession::~HeadlessEditorSession() { close(); }

bool HeadlessEditorSession::isOpen() const { return opened && editorWindow(); }

HeadlessWindow* HeadlessEditorSession::editorWindow() const {
  if (!opened) return nullptr;
  HeadlessWindow* window = hostWindow->getChild();
  return window && window->isAlive() ? window : nullptr;
}

bool HeadlessEditorSession::idle(std::int32_t count) {
  if (!isOpen() || count < 0 || count > kMaxIdles) return false;
  for (std::int32_t i = 0; i < count; ++i) {
    if (HeadlessWindow* window = editorWindow()) window->dispatchPaint();
    dispatch(effect, effEditIdle);
  }
  return true;
}

bool HeadlessEditorSession::press(std::int32_t x, std::int32_t y, gui::MouseButtonState buttons) {
  return drag(x, y, x, y, buttons);
}

// The steps are queued before the press, so a control that tracks the mouse in a loop of its own
// finds them there; whatever it left unconsumed is dropped afterwards and the buttons are up.
bool HeadlessEditorSession::drag(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                 gui::MouseButtonState buttons) {
  HeadlessWindow* window = editorWindow();
  if (!window || (buttons & kButtonBits) == 0) return false;
  const std::int64_t dx = static_cast<std::int64_t>(x2) - x1;
  const std::int64_t dy = static_cast<std::int64_t>(y2) - y1;
  const std::int64_t distance = std::max(std::llabs(dx), std::llabs(dy));
  const std::int64_t steps = std::min<std::int64_t>(kMaxDragSteps, distance / kDragStepPixels + 1);
  std::vector<InputStep> path;
  for (std::int64_t i = 0; i <= steps; ++i) {
    const CViewPoint where(static_cast<std::int32_t>(x1 + dx * i / steps),
                           static_cast<std::int32_t>(y1 + dy * i / steps));
    path.push_back({where, buttons});
  }
  path.push_back({CViewPoint(x2, y2), buttons & ~kButtonBits});
  window->drag(path);
  RasterInput::clearQueue();
  RasterInput::setButtons(0);
  return true;
}

bool HeadlessEditorSession::wheel(std::int32_t x, std::int32_t y, float notches) {
  HeadlessWindow* window = editorWindow();
  if (!window || !(std::fabs(notches) <= kMaxNotches)) return false;
  window->wheel(CViewPoint(x, y),
                static_cast<std::int32_t>(std::lround(notches * kWheelDeltaPerNotch)));
  return true;
}

bool HeadlessEditorSession::key(const VstKeyCode& key) {
  HeadlessWindow* window = editorWindow();
  if (!window) return false;
  // An open text entry has the keyboard focus and takes the key; otherwise the key is the host's,
  // which hands it to the editor (effEditKeyDown: character in index, virtual key in value,
  // modifiers in opt).
  const gui::KeyEvent toolkitKey{key.character, key.virt, key.modifier};
  if (window->keyDown(toolkitKey) < 0) {
    dispatch(effect, effEditKeyDown, key.character, key.virt, key.modifier);
  }
  // The key-down may have closed the editor's window (a host reacting to it); the release then
  // goes nowhere.
  if (!(window = editorWindow())) return true;
  if (window->keyUp(toolkitKey) < 0) {
    dispatch(effect, effEditKeyUp, key.character, key.virt, key.modifier);
  }
  return true;
}

bool HeadlessEditorSession::type(const char* text) {
  HeadlessWindow* window = editorWindow();
  if (!window || !text) return false;
  window->typeText(text);
  return true;
}

bool HeadlessEditorSession::snapshot(const char* path) const {
  HeadlessWindow* window = editorWindow();
  return window && path && window->savePng(path);
}

void HeadlessEditorSession::close() {
  if (!opened) return;
  opened = false;
  dispatch(effect, effEditClose);
}
