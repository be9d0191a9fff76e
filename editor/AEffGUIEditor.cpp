#include "editor/AEffGUIEditor.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/ReferenceGuard.h"
#include "gui/platform/Platform.h"
#include "host/AudioEffectX.h"

namespace platform = gui::platform;

namespace {

// Tick counts wrap every 49.7 days. Comparing through the signed difference keeps the pacing right
// across the wrap; a plain unsigned comparison would see a next idle time just below the wrap as
// far in the future and stop all idle work during drags until the count came round again.
bool isBefore(std::uint32_t time, std::uint32_t reference) {
  return static_cast<std::int32_t>(time - reference) < 0;
}

}  // namespace

std::atomic<VstInt32> AEffGUIEditor::knobMode{0};

AEffGUIEditor::AEffGUIEditor(AudioEffectX* effect)
    : AEffEditor(effect),
      rectangle{0, 0, 0, 0},
      nextIdleTime(platform::getTickCount()),
      inHostIdle(false),
      frame(nullptr) {
  if (effect) effect->setEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() = default;

bool AEffGUIEditor::open(void* window) {
  AEffEditor::open(window);
  if (!oleInitialized) oleInitialized = platform::initializeOle();
  return false;
}

void AEffGUIEditor::close() {
  if (oleInitialized) platform::uninitializeOle();
  oleInitialized = false;
  AEffEditor::close();
}

AudioEffectX* AEffGUIEditor::effectX() const {
  // The constructor only accepts an AudioEffectX, so the stored effect always is one.
  return static_cast<AudioEffectX*>(effect);
}

bool AEffGUIEditor::getRect(ERect** rect) {
  if (!rect) return false;
  *rect = &rectangle;
  return true;
}

// The host's calls into the open editor hold the frame for their length: what they set off may
// call the host back (automation, the begin and end of an edit), and a host may close the editor
// from there; the frame then goes once the call is done.

void AEffGUIEditor::idle() {
  if (inHostIdle || !frame) return;
  gui::CFrame* current = frame;
  gui::ReferenceGuard keep(current);
  // Only the thread that owns the window may draw into it. Where the editor reads its window's
  // events itself (X11) they come first, and what they set off may close the editor.
  if (!platform::serveWindow(current->getNativeWindow()) || frame != current) return;
  current->idle();
}

namespace {

// The toolkit's key event carries the host's key record field for field: the virtual key and
// modifier numbers are the same in both.
gui::KeyEvent toolkitKey(const VstKeyCode& keyCode) {
  gui::KeyEvent key;
  key.character = keyCode.character;
  key.virt = keyCode.virt;
  key.modifier = keyCode.modifier;
  return key;
}

}  // namespace

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
  if (!frame) return false;
  gui::ReferenceGuard keep(frame);
  gui::KeyEvent key = toolkitKey(keyCode);
  return frame->onKeyDown(key) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
  if (!frame) return false;
  gui::ReferenceGuard keep(frame);
  gui::KeyEvent key = toolkitKey(keyCode);
  return frame->onKeyUp(key) == 1;
}

bool AEffGUIEditor::onWheel(float distance) {
  if (!frame) return false;
  gui::ReferenceGuard keep(frame);
  // A context without a surface on the host's window only serves to turn the cursor position
  // into frame coordinates (the frame's window sits at the top-left corner of the host's).
  gui::CDrawContext context(frame, nullptr, systemWindow);
  gui::CViewPoint where;
  context.getMouseLocation(where);
  return frame->onWheel(&context, where, distance);
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  knobMode.store(mode, std::memory_order_relaxed);
  return true;
}

std::int32_t AEffGUIEditor::getKnobMode() const { return knobMode.load(std::memory_order_relaxed); }

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::beginEdit(VstInt32 index) {
  if (effect) effectX()->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index) {
  if (effect) effectX()->endEdit(index);
}

void AEffGUIEditor::serviceIdle() {
  std::uint32_t now = platform::getTickCount();
  if (isBefore(now, nextIdleTime)) {
    platform::sleepMilliseconds(kEarlySleep);
    now += kEarlySleep;
    if (isBefore(now, nextIdleTime - kEarlyAllowance)) return;
  }
  idle();
  platform::dispatchPendingPaint();
  nextIdleTime = now + kIdleInterval;
  // An idle the host makes from inside its idle time must not redraw in the middle of this one.
  inHostIdle = true;
  if (effect) effect->masterIdle();
  inHostIdle = false;
}
