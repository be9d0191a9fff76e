#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "gui/controls/CAnimKnob.h"
#include "gui/platform/raster/RasterInput.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CViewPoint;
using gui::CViewRect;
using ::testing::_;
using ::testing::AnyNumber;
using ::testing::Expectation;
using ::testing::InSequence;
using ::testing::Return;

constexpr int32_t kTag = 6;

// The editor's knob, placed at (100, 50) in a frame, with a listener that records each reported
// value and marks the knob dirty again, as the effect editor does.
class KnobDrag : public FrameFixture {
 protected:
  KnobDrag() {
    ON_CALL(listener, valueChanged(_, _)).WillByDefault([this](auto, gui::CControl* control) {
      reported.push_back(control->getValue());
      control->setDirty(true);
    });
  }

  // A point given relative to the knob's top-left corner, in the window.
  static CViewPoint at(int32_t x, int32_t y) { return CViewPoint(100 + x, 50 + y); }
  void useLinearMode() { ON_CALL(editor, getKnobMode()).WillByDefault(Return(2)); }

  ::testing::NiceMock<MockListener> listener;
  gui::CAnimKnob* knob =
      add(new gui::CAnimKnob(CViewRect(100, 50, 164, 114), &listener, kTag, 61, 64, nullptr));
  std::vector<float> reported;
};

struct LinearCase {
  const char* name;
  std::vector<CViewPoint> moves;  // relative to the press point
  gui::MouseButtonState modifiers;
  float expected;
};

class KnobLinearDrag : public KnobDrag, public ::testing::WithParamInterface<LinearCase> {};

TEST_P(KnobLinearDrag, MovesByDistanceRightAndUp) {
  useLinearMode();
  const CViewPoint press = at(30, 30);
  std::vector<CViewPoint> path{press};
  for (const CViewPoint& move : GetParam().moves) path.push_back(press.offsetBy(move.x, move.y));
  dragLeft(path, GetParam().modifiers);
  EXPECT_NEAR(knob->getValue(), GetParam().expected, 1e-5f);
  ASSERT_FALSE(reported.empty());
  EXPECT_NEAR(reported.back(), GetParam().expected, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, KnobLinearDrag,
    ::testing::Values(LinearCase{"TwoHundredRightIsTheWholeRange", {{100, 0}, {200, 0}}, 0, 1.0f},
                      LinearCase{"TwoHundredUpIsTheWholeRange", {{0, -200}}, 0, 1.0f},
                      LinearCase{"DiagonalAddsBothAxes", {{50, -50}}, 0, 0.5f},
                      LinearCase{"ShiftNeedsThreeHundred", {{150, 0}}, gui::kShift, 0.5f},
                      LinearCase{"ShiftWholeRange", {{300, 0}}, gui::kShift, 1.0f},
                      LinearCase{"StopsAtTheTop", {{250, -400}}, 0, 1.0f},
                      LinearCase{"StopsAtTheBottom", {{100, 0}, {-300, 0}}, 0, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KnobDrag, LinearDragIsOneGestureForTheKnobsTag) {
  useLinearMode();
  {
    InSequence order;
    EXPECT_CALL(editor, beginEdit(kTag));
    EXPECT_CALL(listener, valueChanged(_, knob)).Times(::testing::AtLeast(1));
    EXPECT_CALL(editor, endEdit(kTag));
  }
  dragLeft({at(30, 30), at(80, 30)});
  EXPECT_NEAR(knob->getValue(), 0.25f, 1e-5f);
}

TEST_F(KnobDrag, ShiftPressedMidDragChangesTheRateWithoutAJump) {
  useLinearMode();
  const CViewPoint press = at(30, 30);
  std::vector<gui::raster::InputStep> path{{press, gui::kLeftButton},
                                           {press.offsetBy(100, 0), gui::kLeftButton},
                                           {press.offsetBy(100, 0), gui::kLeftButton | gui::kShift},
                                           {press.offsetBy(130, 0), gui::kLeftButton | gui::kShift},
                                           {press.offsetBy(130, 0), gui::kShift}};
  window().drag(path);
  for (float value : reported) EXPECT_LE(value, 0.6f + 1e-5f) << "no jump";
  EXPECT_NEAR(knob->getValue(), 0.6f, 1e-5f) << "0.5 after 100 pixels, +30 at a third the rate";
}

TEST_F(KnobDrag, CircularDragFollowsThePointersAngle) {
  dragLeft({at(32, 0), at(63, 32)});
  ASSERT_GE(reported.size(), 2u);
  EXPECT_NEAR(reported.front(), 0.5f, 1e-5f) << "the first pass jumps to the pointer";
  EXPECT_NEAR(knob->getValue(), 5.0f / 6.0f, 1e-5f);
}

TEST_F(KnobDrag, CircularDragAcrossTheDeadZoneStaysPinnedAtTheEnd) {
  knob->setValue(0.9f);
  const CViewPoint top(40, 1);
  dragLeft({at(60, 41), at(36, 63), at(28, 63), at(3, 41), at(top.x, top.y)});
  ASSERT_GE(reported.size(), 4u);
  for (size_t i = 1; i + 1 < reported.size(); ++i) {
    EXPECT_GE(reported[i], 0.9f) << "pass " << i << " must not jump to the other end";
  }
  EXPECT_NEAR(knob->getValue(), knob->valueFromPoint(top), 1e-6f)
      << "back within half the range of the last accepted value";
}

TEST_F(KnobDrag, AltMakesACircularPressLinear) {
  knob->setValue(0.2f);
  dragLeft({at(32, 0), at(32, 0)}, gui::kAlt);
  EXPECT_NEAR(knob->getValue(), 0.2f, 1e-6f) << "a linear press without movement changes nothing";
}

TEST_F(KnobDrag, AltMakesALinearModePressCircular) {
  useLinearMode();
  knob->setValue(0.2f);
  dragLeft({at(32, 0), at(32, 0)}, gui::kAlt);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5f);
}

TEST_F(KnobDrag, ControlClickResetsToTheDefaultOnce) {
  knob->setValue(0.8f);
  {
    InSequence order;
    EXPECT_CALL(editor, beginEdit(kTag));
    EXPECT_CALL(listener, valueChanged(_, knob));
    EXPECT_CALL(editor, endEdit(kTag));
  }
  dragLeft({at(32, 32)}, gui::kControl);
  EXPECT_EQ(knob->getValue(), 0.5f);
}

TEST_F(KnobDrag, PressesThatAreNotAGestureChangeNothing) {
  EXPECT_CALL(editor, beginEdit(_)).Times(0);
  EXPECT_CALL(listener, valueChanged(_, _)).Times(0);
  knob->setValue(0.3f);

  window().press(at(32, 0), gui::kRightButton);
  window().press(at(32, 0), gui::kMiddleButton);

  ON_CALL(listener, modifierClick(_, knob, _)).WillByDefault(Return(1));
  EXPECT_CALL(listener, modifierClick(_, knob, gui::kLeftButton | gui::kShift));
  dragLeft({at(32, 0)}, gui::kShift);

  knob->setMouseEnabled(false);
  dragLeft({at(32, 0)});
  EXPECT_EQ(knob->getValue(), 0.3f);
}

TEST_F(KnobDrag, ModifierClickAnsweredWithZeroLetsThePressThrough) {
  EXPECT_CALL(listener, modifierClick(_, knob, gui::kLeftButton | gui::kShift)).WillOnce(Return(0));
  dragLeft({at(32, 0), at(32, 0)}, gui::kShift);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5f);
}

TEST_F(KnobDrag, EveryPassOfTheDragServesTheEditor) {
  EXPECT_CALL(editor, serviceIdle()).Times(::testing::AtLeast(3));
  dragLeft({at(32, 0), at(40, 2), at(50, 5)});
}

TEST_F(KnobDrag, ZeroZoomFactorFallsBackToThePlainRate) {
  useLinearMode();
  knob->setZoomFactor(0.0f);
  dragLeft({at(30, 30), at(130, 30)}, gui::kShift);
  EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5f) << "no NaN or endless value from a zero span";
}

}  // namespace
}  // namespace controls_test
