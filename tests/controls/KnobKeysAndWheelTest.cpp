#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/VirtualKeys.h"
#include "gui/controls/CKnob.h"
#include "gui/platform/raster/RasterInput.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CViewPoint;
using gui::CViewRect;
using ::testing::_;
using ::testing::InSequence;

constexpr int32_t kTag = 3;

class KnobKeys : public FrameFixture {
 protected:
  KnobKeys() {
    // Keys reach the knob as the frame's focus view, the way the host sends them.
    frame->setFocusView(knob);
    knob->setValue(0.5f);
    knob->setDirty(false);
  }
  int32_t sendKey(uint8_t virt, uint8_t modifier = 0) {
    gui::KeyEvent key = virtualKey(virt, modifier);
    return frame->onKeyDown(key);
  }

  ::testing::NiceMock<MockListener> listener;
  gui::CKnob* knob =
      add(new gui::CKnob(CViewRect(100, 50, 164, 114), &listener, kTag, nullptr, nullptr));
};

struct KeyCase {
  uint8_t virt;
  uint8_t modifier;
  float expected;
};

class KnobArrowKey : public KnobKeys, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KnobArrowKey, StepsByTheWheelIncrement) {
  {
    InSequence order;
    EXPECT_CALL(editor, beginEdit(kTag));
    EXPECT_CALL(listener, valueChanged(nullptr, knob));
    EXPECT_CALL(editor, endEdit(kTag));
  }
  EXPECT_EQ(sendKey(GetParam().virt, GetParam().modifier), 1);
  EXPECT_NEAR(knob->getValue(), GetParam().expected, 1e-6f);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KnobArrowKey,
    ::testing::Values(KeyCase{gui::kVirtualKeyUp, 0, 0.6f}, KeyCase{gui::kVirtualKeyRight, 0, 0.6f},
                      KeyCase{gui::kVirtualKeyDown, 0, 0.4f},
                      KeyCase{gui::kVirtualKeyLeft, 0, 0.4f},
                      KeyCase{gui::kVirtualKeyUp, gui::kModifierShift, 0.51f},
                      KeyCase{gui::kVirtualKeyLeft, gui::kModifierShift, 0.49f}));

TEST_F(KnobKeys, OtherKeysAreNotHandled) {
  EXPECT_CALL(listener, valueChanged(_, _)).Times(0);
  for (uint8_t virt : std::initializer_list<uint8_t>{gui::kVirtualKeyReturn, gui::kVirtualKeyEscape,
                                                     gui::kVirtualKeySpace, gui::kVirtualKeyHome,
                                                     uint8_t(0), uint8_t(200)}) {
    gui::KeyEvent key = virtualKey(virt);
    EXPECT_EQ(knob->onKeyDown(key), -1) << int(virt);
  }
  EXPECT_EQ(knob->getValue(), 0.5f);
}

TEST_F(KnobKeys, KeyAtTheEndOfTheRangeReportsNothing) {
  knob->setValue(1.0f);
  knob->setDirty(false);
  EXPECT_CALL(editor, beginEdit(_)).Times(0);
  EXPECT_CALL(listener, valueChanged(_, _)).Times(0);
  EXPECT_EQ(sendKey(gui::kVirtualKeyUp), 1);
  EXPECT_EQ(knob->getValue(), 1.0f);
}

TEST_F(KnobKeys, WheelNotchesStepTheValue) {
  EXPECT_CALL(listener, valueChanged(_, knob)).Times(2);
  window().wheel(CViewPoint(130, 80), 120);
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6f);
  knob->setDirty(false);
  window().wheel(CViewPoint(130, 80), -240);
  EXPECT_NEAR(knob->getValue(), 0.4f, 1e-6f);
}

TEST_F(KnobKeys, WheelWithShiftTakesATenthOfTheStep) {
  gui::raster::RasterInput::setButtons(gui::kShift);
  window().wheel(CViewPoint(130, 80), 120);
  EXPECT_NEAR(knob->getValue(), 0.51f, 1e-6f);
}

TEST_F(KnobKeys, WheelOnADisabledKnobIsNotHandled) {
  knob->setMouseEnabled(false);
  EXPECT_FALSE(knob->onWheel(nullptr, CViewPoint(130, 80), 1.0f));
  EXPECT_EQ(knob->getValue(), 0.5f);
}

TEST_F(KnobKeys, WheelDistanceThatIsNotANumberChangesNothing) {
  EXPECT_CALL(listener, valueChanged(_, _)).Times(1);  // the endless turn only
  EXPECT_TRUE(knob->onWheel(nullptr, CViewPoint(130, 80), std::numeric_limits<float>::quiet_NaN()));
  EXPECT_EQ(knob->getValue(), 0.5f);
  EXPECT_TRUE(knob->onWheel(nullptr, CViewPoint(130, 80), std::numeric_limits<float>::infinity()));
  EXPECT_EQ(knob->getValue(), 1.0f) << "an endless turn stops at the end";
}

TEST_F(KnobKeys, WheelOutsideEveryViewIsNotTakenByTheKnob) {
  EXPECT_CALL(listener, valueChanged(_, _)).Times(0);
  window().wheel(CViewPoint(10, 10), 120);
  EXPECT_EQ(knob->getValue(), 0.5f);
}

}  // namespace
}  // namespace controls_test
