#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/platform/raster/RasterClock.h"
#include "gui/platform/raster/RasterInput.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CViewRect;
using ::testing::_;
using ::testing::InSequence;
using ::testing::Return;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(ControlBase, NewControlHasTheDefaultsAndIsDirty) {
  PlainControl control(CViewRect(0, 0, 10, 10));
  EXPECT_EQ(control.getValue(), 0.0f);
  EXPECT_EQ(control.getMin(), 0.0f);
  EXPECT_EQ(control.getMax(), 1.0f);
  EXPECT_EQ(control.getDefaultValue(), 0.5f);
  EXPECT_EQ(control.getWheelIncrement(), 0.1f);
  EXPECT_EQ(control.getOldValue(), 1.0f);
  EXPECT_TRUE(control.getMouseEnabled());
  EXPECT_FALSE(control.getTransparency());
  EXPECT_EQ(control.getDoubleClickDelay(), 500);  // the system's setting
  EXPECT_TRUE(control.isDirty());
}

TEST(ControlBase, DoubleClickDelayFollowsTheSystemWithinLimits) {
  struct Case {
    uint32_t system;
    int32_t delay;
  };
  const Case cases[] = {{200, 250}, {250, 250}, {400, 400},
                        {900, 900}, {0, 250},   {0xFFFFFFFFu, 10000}};
  for (const Case& c : cases) {
    gui::raster::RasterInput::setDoubleClickTimeSetting(c.system);
    PlainControl control(CViewRect(0, 0, 10, 10));
    EXPECT_EQ(control.getDoubleClickDelay(), c.delay) << c.system;
  }
  gui::raster::RasterInput::reset();
}

TEST(ControlBase, DirtyFollowsTheValueLastDrawn) {
  PlainControl control(CViewRect(0, 0, 10, 10));
  control.setValue(0.3f);
  control.setDirty(false);
  EXPECT_EQ(control.getOldValue(), 0.3f);
  EXPECT_FALSE(control.isDirty());
  control.setValue(0.4f);
  EXPECT_TRUE(control.isDirty());
  control.setValue(0.3f);
  EXPECT_FALSE(control.isDirty()) << "back at the value drawn last";
}

TEST(ControlBase, SetDirtyTrueMakesOldValueDifferFromEveryValue) {
  PlainControl control(CViewRect(0, 0, 10, 10));
  control.setValue(0.25f);
  control.setDirty(true);
  EXPECT_EQ(control.getOldValue(), -1.0f);
  control.setValue(-1.0f);
  control.setDirty(true);
  EXPECT_EQ(control.getOldValue(), 0.0f);
  EXPECT_TRUE(control.isDirty());
}

TEST(ControlBase, NaNOnEitherSideCountsAsChanged) {
  PlainControl control(CViewRect(0, 0, 10, 10));
  control.setDirty(false);
  control.setValue(kNaN);
  EXPECT_TRUE(control.isDirty());
  control.setValue(0.0f);
  control.setOldValue(kNaN);
  EXPECT_TRUE(control.isDirty());
}

TEST(ControlBase, SettersStoreOnly) {
  PlainControl control(CViewRect(0, 0, 10, 10));
  control.setDirty(false);
  control.setValue(0.0f);
  control.setDirty(false);
  control.setMax(0.5f);
  control.setMin(0.2f);
  EXPECT_EQ(control.getValue(), 0.0f) << "bounds do not move the value";
  control.setValue(7.0f);
  EXPECT_EQ(control.getValue(), 7.0f) << "setValue does not clamp";
}

struct ClampCase {
  float value;
  float expected;
};

class ClampValue : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampValue, KeepsTheValueWithinItsBounds) {
  PlainControl control(CViewRect(0, 0, 10, 10));
  control.setValue(GetParam().value);
  control.clampValue();
  EXPECT_EQ(control.getValue(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ClampValue,
    ::testing::Values(ClampCase{1.5f, 1.0f}, ClampCase{-0.2f, 0.0f}, ClampCase{0.4f, 0.4f},
                      ClampCase{std::numeric_limits<float>::infinity(), 1.0f},
                      ClampCase{-std::numeric_limits<float>::infinity(), 0.0f},
                      // Not a number has no place in the range: it becomes the lower bound.
                      ClampCase{kNaN, 0.0f}));

TEST(ControlBase, TypeNamesAreTheControlsAndTheViews) {
  PlainControl control(CViewRect(0, 0, 10, 10));
  EXPECT_TRUE(control.isTypeOf("CControl"));
  EXPECT_TRUE(control.isTypeOf("CView"));
  EXPECT_FALSE(control.isTypeOf("CKnob"));
  EXPECT_FALSE(control.isTypeOf("ccontrol"));
  EXPECT_FALSE(control.isTypeOf(nullptr));
}

TEST(ControlBase, CopyBackOffsetTakesTheTopLeftCorner) {
  PlainControl control(CViewRect(12, 34, 50, 60));
  control.copyBackOffset();
  EXPECT_EQ(control.getBackOffset(), gui::CViewPoint(12, 34));
}

TEST(ControlBase, WithoutAFrameGesturesAndClicksAreHarmless) {
  MockListener listener;
  PlainControl control(CViewRect(0, 0, 10, 10), &listener, 3);
  control.beginEdit();
  control.endEdit();
  control.serviceIdle();
  EXPECT_FALSE(control.isDoubleClick());
  EXPECT_FALSE(control.isDoubleClick());
}

class ControlInFrame : public FrameFixture {
 protected:
  ::testing::StrictMock<MockListener> listener;
  PlainControl* control = add(new PlainControl(CViewRect(10, 10, 40, 40), &listener, 4));
};

TEST_F(ControlInFrame, ControlClickResetsToTheDefaultAsOneReportedGesture) {
  control->setValue(0.8f);
  control->setDirty(false);
  {
    InSequence order;
    EXPECT_CALL(editor, beginEdit(4));
    EXPECT_CALL(listener, valueChanged(_, control)).WillOnce([](auto, gui::CControl* c) {
      EXPECT_EQ(c->getValue(), 0.5f);
    });
    EXPECT_CALL(editor, endEdit(4));
  }
  EXPECT_TRUE(control->resetOnControlClick(nullptr, gui::kLeftButton | gui::kControl));
  EXPECT_EQ(frame->getFocusView(), control);
}

TEST_F(ControlInFrame, OnlyLeftPlusControlExactlyIsAReset) {
  control->setValue(0.8f);
  EXPECT_CALL(editor, beginEdit(_)).Times(0);
  for (gui::MouseButtonState buttons : std::initializer_list<gui::MouseButtonState>{
           gui::kControl, gui::kLeftButton | gui::kControl | gui::kShift, gui::kLeftButton,
           gui::kRightButton | gui::kControl, gui::kLeftButton | gui::kControl | gui::kAlt}) {
    EXPECT_FALSE(control->resetOnControlClick(nullptr, buttons)) << buttons;
  }
  EXPECT_EQ(control->getValue(), 0.8f);
}

TEST_F(ControlInFrame, ResetToTheValueAlreadyDrawnReportsNothing) {
  control->setValue(0.5f);
  control->setDirty(false);
  EXPECT_CALL(editor, beginEdit(4));
  EXPECT_CALL(editor, endEdit(4));
  EXPECT_TRUE(control->resetOnControlClick(nullptr, gui::kLeftButton | gui::kControl));
}

TEST_F(ControlInFrame, DoubleClickIsTwoClicksWithinTheDelay) {
  // Clicks 100 ms apart: the second completes a pair, the third starts a new one.
  const bool expected[] = {false, true, false, true};
  for (bool answer : expected) {
    EXPECT_EQ(control->isDoubleClick(), answer);
    gui::raster::RasterClock::advance(100);
  }
}

TEST_F(ControlInFrame, ClicksFurtherApartThanTheDelayAreSingle) {
  EXPECT_FALSE(control->isDoubleClick());
  gui::raster::RasterClock::advance(uint32_t(control->getDoubleClickDelay()));
  EXPECT_FALSE(control->isDoubleClick());
  gui::raster::RasterClock::advance(uint32_t(control->getDoubleClickDelay()) - 1);
  EXPECT_TRUE(control->isDoubleClick());
}

TEST_F(ControlInFrame, ServiceIdleReachesTheEditor) {
  EXPECT_CALL(editor, serviceIdle());
  control->serviceIdle();
}

}  // namespace
}  // namespace controls_test
