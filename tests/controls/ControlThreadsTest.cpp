#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "gui/controls/CAnimKnob.h"
#include "gui/controls/CTextEdit.h"
#include "gui/controls/CVuMeter.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CViewRect;

// The effect sets control values from the audio and automation threads while the editor thread
// draws and asks isDirty; the value is the only state they share (ThreadSanitizer watches).
class ValuesFromAnotherThread : public FrameFixture {
 protected:
  ResourceImage on{930, 20, 136, [](int32_t, int32_t) { return 0x00C800u; }};
  ResourceImage strip{931, 64, 64 * 61, [](int32_t, int32_t y) { return uint32_t(y) & 0xFFu; }};
};

TEST_F(ValuesFromAnotherThread, DrawingAndSettingNeverShareMoreThanTheValue) {
  gui::CBitmap* onImage = on.load();
  gui::CBitmap* stripImage = strip.load();
  auto* meter = add(new gui::CVuMeter(CViewRect(0, 0, 20, 136), onImage, nullptr, 34, 2));
  auto* knob = add(new gui::CAnimKnob(CViewRect(30, 0, 94, 64), nullptr, 1, 61, 64, stripImage));
  auto* field = add(new gui::CTextEdit(CViewRect(100, 0, 148, 24), nullptr, 7));
  onImage->dropReference();
  stripImage->dropReference();
  field->setValueFormatter(
      [](float value, char* text) { std::snprintf(text, 256, "%.2f", value); });

  std::atomic<bool> running{true};
  std::thread feed([&] {
    float level = 0.0f;
    while (running.load(std::memory_order_relaxed)) {
      level = level > 1.2f ? -0.1f : level + 0.013f;
      meter->setValue(level);
      knob->setValue(level);
      field->setValue(level);
    }
  });
  Canvas canvas(frame, 160, 140);
  for (int pass = 0; pass < 2000; ++pass) {
    for (gui::CControl* control :
         {static_cast<gui::CControl*>(meter), static_cast<gui::CControl*>(knob),
          static_cast<gui::CControl*>(field)}) {
      if (control->isDirty()) control->draw(canvas.context());
    }
  }
  running.store(false, std::memory_order_relaxed);
  feed.join();
  EXPECT_GE(meter->getOldValue(), 0.0f);
  EXPECT_LE(meter->getOldValue(), 1.0f);
}

}  // namespace
}  // namespace controls_test
