#pragma once
#include <vector>

#include "editor/AEffEditor.h"

// An editor that remembers every request the effect and its dispatcher make of it, and answers
// editor requests with a chosen truth value. Not for the audio thread of concurrent tests: it
// records into vectors.
class RecordingEditor : public AEffEditor {
 public:
  struct Value {
    VstInt32 index;
    float value;
  };

  explicit RecordingEditor(AudioEffect* effect, bool answer = true, bool* destroyed = nullptr)
      : AEffEditor(effect), answer(answer), destroyed(destroyed) {}
  ~RecordingEditor() override {
    if (destroyed) *destroyed = true;
  }

  bool getRect(ERect** rect) override {
    *rect = &rectangle;
    return answer;
  }
  bool open(void* window) override {
    AEffEditor::open(window);
    return answer;
  }
  void idle() override { ++idles; }
  bool onKeyDown(VstKeyCode& key) override {
    keysDown.push_back(key);
    return answer;
  }
  bool onKeyUp(VstKeyCode& key) override {
    keysUp.push_back(key);
    return answer;
  }
  bool onWheel(float distance) override {
    wheelSteps.push_back(distance);
    return answer;
  }
  bool setKnobMode(VstInt32 mode) override {
    knobModes.push_back(mode);
    return answer;
  }
  void setParameter(VstInt32 index, float value) override { values.push_back({index, value}); }
  bool takesDisplayFeed() const override { return takesFeed; }

  std::vector<VstInt32> indices() const {
    std::vector<VstInt32> result;
    for (const Value& value : values) result.push_back(value.index);
    return result;
  }
  std::vector<float> valuesOf(VstInt32 index) const {
    std::vector<float> result;
    for (const Value& value : values)
      if (value.index == index) result.push_back(value.value);
    return result;
  }

  bool answer;
  bool takesFeed = true;  // false: like an editor whose window is closed
  bool* destroyed;
  ERect rectangle{0, 0, 160, 752};
  int idles = 0;
  std::vector<VstKeyCode> keysDown, keysUp;
  std::vector<float> wheelSteps;
  std::vector<VstInt32> knobModes;
  std::vector<Value> values;
};
