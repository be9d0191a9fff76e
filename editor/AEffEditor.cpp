#include "editor/AEffEditor.h"

#include "effect/ValueTag.h"

AEffEditor::AEffEditor(AudioEffect* effect) : effect(effect), systemWindow(nullptr) {}

AEffEditor::~AEffEditor() = default;

AudioEffect* AEffEditor::getEffect() { return effect; }

bool AEffEditor::getRect(ERect** rect) {
  if (rect) *rect = nullptr;
  return false;
}

bool AEffEditor::open(void* window) {
  systemWindow = window;
  return false;
}

void AEffEditor::close() { systemWindow = nullptr; }

bool AEffEditor::isOpen() { return systemWindow != nullptr; }

void AEffEditor::idle() {}

bool AEffEditor::onKeyDown(VstKeyCode&) { return false; }

bool AEffEditor::onKeyUp(VstKeyCode&) { return false; }

bool AEffEditor::onWheel(float) { return false; }

bool AEffEditor::setKnobMode(VstInt32) { return false; }

void AEffEditor::setParameter(VstInt32, float) {}

void AEffEditor::setPoints(const float* side, const float* mid, VstInt32 count) {
  for (VstInt32 i = 0; i < count; ++i) {
    setParameter(kTagPointSide, side[i]);
    setParameter(kTagPointMid, mid[i]);
  }
}

bool AEffEditor::takesDisplayFeed() const { return true; }

void AEffEditor::setFeedValue(VstInt32 index, float value) { setParameter(index, value); }
