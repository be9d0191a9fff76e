#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/controls/CAnimKnob.h"
#include "gui/controls/CKnob.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CAnimKnob;
using gui::CViewPoint;
using gui::CViewRect;

// The editor's knob: 64 x 64, radius 32, inset 0, default angles.
CAnimKnob makeEditorKnob() {
  return CAnimKnob(CViewRect(0, 0, 64, 64), nullptr, 1, 61, 64, nullptr);
}

struct PointCase {
  float value;
  CViewPoint point;
};

class KnobValueToPoint : public ::testing::TestWithParam<PointCase> {};

TEST_P(KnobValueToPoint, PlacesTheHandleOnTheSweep) {
  CAnimKnob knob = makeEditorKnob();
  knob.setValue(GetParam().value);
  CViewPoint point;
  knob.valueToPoint(point);
  EXPECT_EQ(point, GetParam().point);
}

INSTANTIATE_TEST_SUITE_P(Defaults, KnobValueToPoint,
                         ::testing::Values(PointCase{0.0f, CViewPoint(9, 55)},
                                           PointCase{0.5f, CViewPoint(32, 0)},
                                           PointCase{1.0f, CViewPoint(55, 55)}));

struct ValueCase {
  CViewPoint point;
  float value;
  bool exact;
};

class KnobValueFromPoint : public ::testing::TestWithParam<ValueCase> {};

TEST_P(KnobValueFromPoint, ReadsTheAngleOfThePoint) {
  CAnimKnob knob = makeEditorKnob();
  const float value = knob.valueFromPoint(GetParam().point);
  if (GetParam().exact) {
    EXPECT_EQ(value, GetParam().value);
  } else {
    EXPECT_NEAR(value, GetParam().value, 1e-6f);
  }
}

INSTANTIATE_TEST_SUITE_P(Defaults, KnobValueFromPoint,
                         ::testing::Values(ValueCase{CViewPoint(32, 0), 0.5f, false},
                                           ValueCase{CViewPoint(9, 55), 0.0f, false},
                                           ValueCase{CViewPoint(55, 55), 1.0f, false},
                                           ValueCase{CViewPoint(0, 32), 1.0f / 6.0f, false},
                                           ValueCase{CViewPoint(63, 32), 5.0f / 6.0f, false},
                                           // The dead zone below the centre: its left half answers
                                           // the minimum, its right half the maximum.
                                           ValueCase{CViewPoint(28, 63), 0.0f, true},
                                           ValueCase{CViewPoint(36, 63), 1.0f, true},
                                           ValueCase{CViewPoint(12, 60), 0.0f, true},
                                           ValueCase{CViewPoint(52, 60), 1.0f, true}));

TEST(KnobGeometry, DefaultsDeriveSlopeAndDeadZone) {
  CAnimKnob knob = makeEditorKnob();
  EXPECT_FLOAT_EQ(knob.getStartAngle(), 3.9269907f);
  EXPECT_FLOAT_EQ(knob.getRangeAngle(), -4.712389f);
  // Every value maps back to itself through its point, within the pixel grid.
  for (float value = 0.0f; value <= 1.0f; value += 0.125f) {
    knob.setValue(value);
    CViewPoint point;
    knob.valueToPoint(point);
    EXPECT_NEAR(knob.valueFromPoint(point), value, 0.03f) << value;
  }
}

TEST(KnobGeometry, PositiveRangeSweepsCounterClockwise) {
  CAnimKnob knob = makeEditorKnob();
  knob.setStartAngle(0.0f);
  knob.setRangeAngle(3.14159265f);  // right, over the top, to the left
  EXPECT_NEAR(knob.valueFromPoint(CViewPoint(63, 32)), 0.0f, 1e-3f);
  EXPECT_NEAR(knob.valueFromPoint(CViewPoint(32, 0)), 0.5f, 1e-3f);
  EXPECT_NEAR(knob.valueFromPoint(CViewPoint(0, 32)), 1.0f, 1e-2f);
  // Below the centre lies the dead zone: left half next to the end, right half next to start.
  EXPECT_EQ(knob.valueFromPoint(CViewPoint(10, 55)), 1.0f);
  EXPECT_EQ(knob.valueFromPoint(CViewPoint(54, 55)), 0.0f);
}

TEST(KnobGeometry, HandleInsetPullsThePointTowardsTheCentre) {
  gui::CKnob knob(CViewRect(0, 0, 64, 64), nullptr, 1, nullptr, nullptr);
  knob.setValue(0.5f);
  CViewPoint point;
  knob.valueToPoint(point);
  EXPECT_EQ(point, CViewPoint(32, 3)) << "a plain knob starts with inset 3";
  knob.setInset(10);
  knob.valueToPoint(point);
  EXPECT_EQ(point, CViewPoint(32, 10));
}

class KnobUnusableValue : public ::testing::TestWithParam<float> {};

TEST_P(KnobUnusableValue, StillGivesAPointInsideTheKnob) {
  CAnimKnob knob = makeEditorKnob();
  knob.setValue(GetParam());
  CViewPoint point;
  knob.valueToPoint(point);
  EXPECT_GE(point.x, 0);
  EXPECT_LE(point.x, 64);
  EXPECT_GE(point.y, 0);
  EXPECT_LE(point.y, 64);
}

INSTANTIATE_TEST_SUITE_P(Values, KnobUnusableValue,
                         ::testing::Values(std::numeric_limits<float>::quiet_NaN(),
                                           std::numeric_limits<float>::infinity(),
                                           -std::numeric_limits<float>::infinity(), 1e30f, -1e30f,
                                           std::numeric_limits<float>::max()));

// Equal bounds leave no angle for any value (the slope is 0): the handle sits at the start of the
// sweep, where the minimum of a usable knob sits. An absurd inset pushes the point far out along
// that same direction, saturated into int32 rather than converted unchecked (UBSan watches).
TEST(KnobGeometry, EqualBoundsOrAbsurdInsetsGiveNoUndefinedPoint) {
  CAnimKnob knob = makeEditorKnob();
  knob.setMin(0.5f);
  knob.setMax(0.5f);
  knob.setStartAngle(knob.getStartAngle());  // recompute the slope: now 0
  CViewPoint point;
  for (float value : {0.7f, 0.5f, 0.2f}) {
    knob.setValue(value);
    knob.valueToPoint(point);
    EXPECT_EQ(point, CViewPoint(9, 55)) << value;
  }

  knob.setInset(std::numeric_limits<int32_t>::min());
  knob.valueToPoint(point);
  // Lower left, on the diagonal through the centre (32, 32), some 1.5e9 pixels away.
  EXPECT_LT(point.x, -1000000000);
  EXPECT_GT(point.y, 1000000000);
  EXPECT_NEAR(32.0 - point.x, point.y - 32.0, 1e-6 * (point.y - 32.0));
}

TEST(KnobGeometry, TypeNames) {
  CAnimKnob anim = makeEditorKnob();
  gui::CKnob plain(CViewRect(0, 0, 20, 20), nullptr, 0, nullptr, nullptr);
  for (const char* name : {"CKnob", "CControl", "CView"}) {
    EXPECT_TRUE(plain.isTypeOf(name)) << name;
    EXPECT_TRUE(anim.isTypeOf(name)) << name;
  }
  EXPECT_TRUE(anim.isTypeOf("CAnimKnob"));
  EXPECT_FALSE(plain.isTypeOf("CAnimKnob"));
  EXPECT_FALSE(plain.isTypeOf("CViewContainer"));
}

}  // namespace
}  // namespace controls_test

namespace controls_test {
namespace {

class KnobDrawing : public FrameFixture {};

TEST_F(KnobDrawing, HandleLineWithItsShadowPointsAtTheValue) {
  gui::CKnob knob(CViewRect(0, 0, 64, 64), nullptr, 1, nullptr, nullptr);
  knob.setValue(0.5f);  // straight up: handle point (32, 3)
  Canvas canvas(frame, 64, 64);
  knob.draw(canvas.context());
  EXPECT_EQ(canvas.at(31, 10), 0x7F7F7Fu) << "shadow from (31, 3) to the centre";
  EXPECT_EQ(canvas.at(32, 10), 0xFFFFFFu) << "handle one pixel right and up";
  EXPECT_EQ(canvas.at(32, 31), 0x000000u) << "the line stops short of its end point";
  EXPECT_EQ(canvas.at(20, 10), 0x000000u);
  EXPECT_FALSE(knob.isDirty());
}

TEST_F(KnobDrawing, HandleColoursAreSettable) {
  gui::CKnob knob(CViewRect(0, 0, 64, 64), nullptr, 1, nullptr, nullptr);
  knob.setValue(0.5f);
  knob.setDirty(false);
  knob.setHandleColor(gui::CRgbColor(255, 0, 0, 255));
  EXPECT_TRUE(knob.isDirty());
  knob.setHandleShadowColor(gui::CRgbColor(0, 0, 255, 255));
  Canvas canvas(frame, 64, 64);
  knob.draw(canvas.context());
  EXPECT_EQ(canvas.at(31, 10), 0x0000FFu);
  EXPECT_EQ(canvas.at(32, 10), 0xFF0000u);
}

TEST_F(KnobDrawing, HandleBitmapSetsTheInsetFromItsWidth) {
  ResourceImage dot(940, 10, 10, [](int32_t, int32_t) { return 0xFFFF00u; });
  gui::CBitmap* handle = dot.load();
  gui::CKnob knob(CViewRect(0, 0, 64, 64), nullptr, 1, nullptr, nullptr);
  knob.setHandleBitmap(handle);
  handle->dropReference();
  knob.setValue(0.5f);
  CViewPoint point;
  knob.valueToPoint(point);
  EXPECT_EQ(point, CViewPoint(32, 7)) << "inset 10 x 0.5 + 2.5 = 7";
  Canvas canvas(frame, 64, 64);
  knob.draw(canvas.context());
  // Decoded images are premultiplied, so opaque yellow arrives as 0xFEFE00.
  const auto yellow = [](uint32_t rgb) { return (rgb & 0xF0F0F0u) == 0xF0F000u; };
  EXPECT_TRUE(yellow(canvas.at(32, 7))) << "the bitmap is centred on the handle point";
  EXPECT_TRUE(yellow(canvas.at(27, 2)));
  EXPECT_EQ(canvas.at(26, 7), 0x000000u);
  knob.setHandleBitmap(nullptr);
  knob.valueToPoint(point);
  EXPECT_EQ(point, CViewPoint(32, 7)) << "removing the bitmap keeps the inset";
}

}  // namespace
}  // namespace controls_test
