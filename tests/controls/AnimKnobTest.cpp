#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "gui/controls/CAnimKnob.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CViewPoint;
using gui::CViewRect;

constexpr int32_t kStripId = 900;
constexpr int32_t kFrames = 61;
constexpr int32_t kFrameSide = 64;
constexpr uint32_t kUntouched = 0xFF00FF;  // never part of the strip (its red is always 0)

// A strip of 61 frames of 64 x 64 whose every row has its own colour, so that a drawn knob
// tells which rows of the strip it shows.
uint32_t rowColour(int32_t x, int32_t y) {
  return (uint32_t(y / 50 + 2) << 8) | uint32_t(y % 50 + 2 + (x % 2) * 100);
}

class FilmStrip : public FrameFixture {
 protected:
  // The rows the knob draws, as the strip's own draw from `row` would show them.
  bool showsRow(gui::CAnimKnob& knob, int32_t row) {
    Canvas drawn(frame, kFrameSide, kFrameSide, kUntouched);
    Canvas reference(frame, kFrameSide, kFrameSide, kUntouched);
    knob.draw(drawn.context());
    strip->draw(reference.context(), CViewRect(0, 0, kFrameSide, kFrameSide), CViewPoint(0, row));
    for (int32_t y : {0, 1, 31, 63}) {
      for (int32_t x : {0, 1, 63}) {
        if (drawn.at(x, y) != reference.at(x, y)) return false;
      }
    }
    return true;
  }
  bool drawsNothing(gui::CAnimKnob& knob) {
    Canvas drawn(frame, kFrameSide, kFrameSide, kUntouched);
    knob.draw(drawn.context());
    for (int32_t y = 0; y < kFrameSide; y += 7) {
      for (int32_t x = 0; x < kFrameSide; x += 7) {
        if (drawn.at(x, y) != kUntouched) return false;
      }
    }
    return true;
  }

  ResourceImage image{kStripId, kFrameSide, kFrames* kFrameSide, rowColour};
  gui::CBitmap* strip = image.load();
  ~FilmStrip() override { strip->dropReference(); }
};

struct FrameCase {
  const char* name;
  float value;
  bool inverted;
  int32_t row;  // top row of the frame drawn; -1: nothing is drawn
};

class FilmStripFrame : public FilmStrip, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FilmStripFrame, SelectsTheFrameOfTheValue) {
  ASSERT_EQ(strip->getHeight(), kFrames * kFrameSide);
  gui::CAnimKnob knob(CViewRect(0, 0, kFrameSide, kFrameSide), nullptr, 1, kFrames, kFrameSide,
                      strip);
  knob.setInverted(GetParam().inverted);
  knob.setValue(GetParam().value);
  if (GetParam().row < 0) {
    EXPECT_TRUE(drawsNothing(knob));
  } else {
    EXPECT_TRUE(showsRow(knob, GetParam().row));
  }
  EXPECT_FALSE(knob.isDirty()) << "drawing leaves the knob clean";
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Values, FilmStripFrame,
    ::testing::Values(
        FrameCase{"Zero", 0.0f, false, 0}, FrameCase{"Half", 0.5f, false, 1920},
        FrameCase{"One", 1.0f, false, 3840}, FrameCase{"JustBelowOne", 0.999f, false, 3776},
        // 0.7 as a float lies just below 0.7: frame 41, not 42.
        FrameCase{"PointSeven", 0.7f, false, 2624}, FrameCase{"Negative", -0.3f, false, 0},
        FrameCase{"NegativeInverted", -0.3f, true, 0}, FrameCase{"ZeroInverted", 0.0f, true, 3840},
        FrameCase{"OneInverted", 1.0f, true, 0}, FrameCase{"NaNShowsFrameZero", kNaN, false, 0},
        FrameCase{"AboveOneLeavesTheStrip", 1.5f, false, -1},
        FrameCase{"FarAboveOne", 1e30f, false, -1}, FrameCase{"Infinite", kInfinity, false, -1},
        FrameCase{"InfiniteInverted", kInfinity, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilmStrip, UnusableFrameSizesShowFrameZeroInsteadOfLooping) {
  for (int32_t frameHeight : {0, -64}) {
    gui::CAnimKnob knob(CViewRect(0, 0, kFrameSide, kFrameSide), nullptr, 1, kFrames, frameHeight,
                        strip);
    knob.setValue(0.5f);
    EXPECT_TRUE(showsRow(knob, 0)) << frameHeight;
  }
  gui::CAnimKnob noFrames(CViewRect(0, 0, kFrameSide, kFrameSide), nullptr, 1, 0, kFrameSide,
                          strip);
  noFrames.setValue(0.5f);
  EXPECT_TRUE(showsRow(noFrames, 0));
}

TEST_F(FilmStrip, WithoutAStripNothingIsDrawnAndTheKnobIsClean) {
  gui::CAnimKnob knob(CViewRect(0, 0, kFrameSide, kFrameSide), nullptr, 1, kFrames, kFrameSide,
                      nullptr);
  knob.setValue(0.5f);
  EXPECT_TRUE(drawsNothing(knob));
  EXPECT_FALSE(knob.isDirty());
}

TEST(AnimKnobDirty, ChangesBelowAPixelOfHandleMovementDoNotCount) {
  gui::CAnimKnob knob(CViewRect(0, 0, kFrameSide, kFrameSide), nullptr, 1, kFrames, kFrameSide,
                      nullptr);
  knob.setValue(0.5f);
  knob.draw(nullptr);
  ASSERT_FALSE(knob.isDirty());
  knob.setValue(0.5005f);
  EXPECT_FALSE(knob.isDirty()) << "the handle point has not moved";
  knob.setValue(0.6f);
  EXPECT_TRUE(knob.isDirty());
  knob.setValue(0.5005f);
  knob.setDirty(true);
  EXPECT_TRUE(knob.isDirty()) << "once marked dirty every change counts";
}

}  // namespace
}  // namespace controls_test
