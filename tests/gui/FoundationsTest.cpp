// Rectangle and point rules, reference counting, mouse-button polling and the raster input script.

#include <gtest/gtest.h>

#include <climits>

#include "gui/CReferenceCounter.h"
#include "gui/CViewRect.h"
#include "gui/FontTable.h"
#include "gui/MouseButtonState.h"
#include "gui/PlatformState.h"
#include "gui/platform/raster/RasterInput.h"

using gui::CViewPoint;
using gui::CViewRect;
using gui::raster::InputState;
using gui::raster::RasterInput;

namespace {

struct IntersectionCase {
  CViewRect a, b, expected;
};

TEST(RectIntersection, FollowsTheToolkitRule) {
  const IntersectionCase cases[] = {
      {{10, 10, 20, 20}, {30, 30, 40, 40}, {30, 30, 30, 30}},  // disjoint: larger corner, empty
      {{0, 0, 100, 100}, {50, -10, 150, 60}, {50, 0, 100, 60}},
      {{0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10}},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 10, 10}},  // touching: zero width
      {{5, 5, 6, 6}, {0, 0, 100, 100}, {5, 5, 6, 6}},
      {{0, 40, 10, 50}, {0, 0, 10, 10}, {0, 40, 10, 40}},  // empty keeps left/top
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.a.intersect(c.b), c.expected) << c.a.left << "," << c.a.top;
  }
}

TEST(RectHitTest, IncludesTheRightAndBottomEdges) {
  const CViewRect rect(10, 10, 20, 20);
  EXPECT_TRUE(rect.pointInside({20, 20}));
  EXPECT_TRUE(rect.pointInside({10, 10}));
  EXPECT_FALSE(rect.pointInside({21, 15}));
  EXPECT_FALSE(rect.pointInside({9, 15}));
  EXPECT_FALSE(rect.pointInside({15, 21}));
}

TEST(RectArithmetic, SaturatesInsteadOfOverflowing) {
  const CViewRect huge(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(huge.getWidth(), INT_MAX);
  EXPECT_EQ(huge.offsetBy(10, 10).right, INT_MAX);
  EXPECT_EQ(huge.offsetBy(-10, -10).left, INT_MIN);
  EXPECT_TRUE(CViewRect(5, 5, 4, 9).isEmpty());
  EXPECT_EQ(CViewRect(5, 9, 1, 2).normalized(), CViewRect(1, 2, 5, 9));
}

class Counted : public gui::CReferenceCounter {
 public:
  explicit Counted(int* destroyed) : destroyed(destroyed) {}
  ~Counted() override { ++*destroyed; }
  int* destroyed;
};

TEST(ReferenceCounting, TheLastDropDestroys) {
  int destroyed = 0;
  auto* object = new Counted(&destroyed);
  EXPECT_EQ(object->getReferenceCount(), 1);
  object->addReference();
  object->dropReference();
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(object->getReferenceCount(), 1);
  object->dropReference();
  EXPECT_EQ(destroyed, 1);
}

struct PollCase {
  gui::MouseButtonState physical;
  bool swapped;
  gui::MouseButtonState expected;
};

class PollMouseButtons : public ::testing::TestWithParam<PollCase> {
 protected:
  void TearDown() override {
    RasterInput::reset();
    gui::platformState().buttonsSwapped = false;
  }
};

TEST_P(PollMouseButtons, MapsPhysicalButtonsAndModifiers) {
  const PollCase& c = GetParam();
  gui::platformState().buttonsSwapped = c.swapped;
  RasterInput::setButtons(c.physical);
  EXPECT_EQ(gui::pollMouseButtons(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PollMouseButtons,
    ::testing::Values(PollCase{0, false, 0}, PollCase{gui::kLeftButton, false, gui::kLeftButton},
                      PollCase{gui::kLeftButton, true, gui::kRightButton},
                      PollCase{gui::kRightButton, true, gui::kLeftButton},
                      PollCase{gui::kMiddleButton, true, gui::kMiddleButton},
                      PollCase{gui::kLeftButton | gui::kShift | gui::kControl | gui::kAlt, false,
                               1 | 8 | 16 | 32},
                      PollCase{gui::kShift, true, gui::kShift}));

TEST(InputScript, EachPollMovesToTheNextStepAndTheLastStays) {
  RasterInput::reset();
  RasterInput::setState({{1, 1}, gui::kLeftButton});
  RasterInput::queue({{{10, 10}, gui::kLeftButton}, {{20, 5}, gui::kLeftButton}, {{20, 5}, 0}});
  EXPECT_EQ(RasterInput::getState().cursor, CViewPoint(1, 1));  // reading the cursor does not move
  EXPECT_EQ(gui::pollMouseButtons(), gui::kLeftButton);
  EXPECT_EQ(RasterInput::getState().cursor, CViewPoint(10, 10));
  EXPECT_EQ(gui::pollMouseButtons(), gui::kLeftButton);
  EXPECT_EQ(RasterInput::getState().cursor, CViewPoint(20, 5));
  EXPECT_EQ(gui::pollMouseButtons(), 0);
  EXPECT_EQ(gui::pollMouseButtons(), 0);
  EXPECT_EQ(RasterInput::queuedSteps(), 0u);
  EXPECT_EQ(RasterInput::getState().cursor, CViewPoint(20, 5));
  RasterInput::reset();
}

TEST(FontTable, HasEightEntriesAndFallsBackToTheFirst) {
  EXPECT_STREQ(gui::fontTableEntry(7).faceName, "Symbol");
  EXPECT_EQ(gui::fontTableEntry(7).defaultSize, 13);
  EXPECT_EQ(gui::fontTableEntry(4).defaultSize, 11);
  EXPECT_EQ(gui::fontTableEntry(8).defaultSize, 12);
  EXPECT_EQ(gui::fontTableEntry(-1).defaultSize, 12);
}

}  // namespace
