#include <gtest/gtest.h>

#include <limits>

#include "gui/controls/CVuMeter.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CViewRect;

constexpr int32_t kOnId = 910;
constexpr int32_t kOffId = 911;
constexpr int32_t kOnWideId = 912;
constexpr int32_t kOffWideId = 913;
constexpr uint32_t kLit = 0x00C800;
constexpr uint32_t kDark = 0xC80000;
constexpr int32_t kSegments = 34;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

bool isLit(uint32_t rgb) { return ((rgb >> 8) & 0xFF) > 0x80 && (rgb >> 16) < 0x80; }
bool isDark(uint32_t rgb) { return (rgb >> 16) > 0x80 && ((rgb >> 8) & 0xFF) < 0x80; }

// A vertical meter of the editor's kind (20 x 136, 34 segments of 4 pixels) in a frame, drawn
// into a canvas that is read back to find where the lit part begins.
class Meter : public FrameFixture {
 protected:
  gui::CVuMeter* addMeter(const CViewRect& rect, int32_t style = 0, bool withOff = true) {
    gui::CBitmap* on = ((style & 1) ? onWide : onTall).load();
    gui::CBitmap* off = withOff ? ((style & 1) ? offWide : offTall).load() : nullptr;
    gui::CVuMeter* meter = add(new gui::CVuMeter(rect, on, off, kSegments, style));
    on->dropReference();
    if (off != nullptr) off->dropReference();
    return meter;
  }
  // The first row (from the top) of column x that is lit; `bottom` when none is.
  int32_t firstLitRow(const Canvas& canvas, int32_t x, int32_t top, int32_t bottom) {
    for (int32_t y = top; y < bottom; ++y) {
      if (isLit(canvas.at(x, y))) return y;
    }
    return bottom;
  }
  // Draws with the shown level already at the value, so only the cut is looked at.
  int32_t cutFor(float value) {
    gui::CVuMeter* meter = addMeter(CViewRect(0, 0, 20, 136));
    meter->setValue(value);
    meter->setOldValue(value);
    Canvas canvas(frame, 20, 136);
    meter->draw(canvas.context());
    const int32_t cut = firstLitRow(canvas, 10, 0, 136);
    for (int32_t y = 0; y < cut; ++y) EXPECT_TRUE(isDark(canvas.at(10, y))) << y;
    for (int32_t y = cut; y < 136; ++y) EXPECT_TRUE(isLit(canvas.at(10, y))) << y;
    EXPECT_EQ(meter->getOffRect().bottom, cut);
    EXPECT_EQ(meter->getOnRect().top, cut);
    return cut;
  }

  ResourceImage onTall{kOnId, 20, 136, [](int32_t, int32_t) { return kLit; }};
  ResourceImage offTall{kOffId, 20, 136, [](int32_t, int32_t) { return kDark; }};
  ResourceImage onWide{kOnWideId, 136, 20, [](int32_t, int32_t) { return kLit; }};
  ResourceImage offWide{kOffWideId, 136, 20, [](int32_t, int32_t) { return kDark; }};
};

struct CutCase {
  float value;
  int32_t cut;
};

class MeterCut : public Meter, public ::testing::WithParamInterface<CutCase> {};

TEST_P(MeterCut, FallsOnAWholeSegment) { EXPECT_EQ(cutFor(GetParam().value), GetParam().cut); }

INSTANTIATE_TEST_SUITE_P(
    Levels, MeterCut,
    ::testing::Values(CutCase{1.0f, 0}, CutCase{0.0f, 136}, CutCase{0.5f, 68}, CutCase{0.49f, 68},
                      CutCase{0.51f, 68}, CutCase{0.52f, 64},
                      // Out of range and unusable levels are clamped before any conversion.
                      CutCase{1.3f, 0}, CutCase{-0.5f, 136}, CutCase{1e30f, 0},
                      CutCase{kInfinity, 0}, CutCase{-kInfinity, 136}, CutCase{kNaN, 136}));

TEST_F(Meter, CutIsAlwaysAMultipleOfTheSegmentPitch) {
  for (float value = 0.0f; value <= 1.0f; value += 0.013f) {
    EXPECT_EQ(cutFor(value) % 4, 0) << value;
  }
}

TEST_F(Meter, NaNLevelIsStoredAsTheBottom) {
  gui::CVuMeter* meter = addMeter(CViewRect(0, 0, 20, 136));
  meter->setValue(kNaN);
  Canvas canvas(frame, 20, 136);
  for (int i = 0; i < 12; ++i) meter->draw(canvas.context());
  EXPECT_EQ(meter->getValue(), 0.0f);
  EXPECT_EQ(meter->getOldValue(), 0.0f);
  EXPECT_FALSE(meter->isDirty());
}

TEST_F(Meter, FallsFromFullToEmptyOverTenRedraws) {
  gui::CVuMeter* meter = addMeter(CViewRect(0, 0, 20, 136));
  meter->setValue(0.0f);
  Canvas canvas(frame, 20, 136);
  int32_t lastCut = 0;
  for (int redraw = 1; redraw <= 10; ++redraw) {
    ASSERT_TRUE(meter->isDirty()) << "redraw " << redraw;
    meter->draw(canvas.context());
    const int32_t cut = firstLitRow(canvas, 10, 0, 136);
    EXPECT_GT(cut, lastCut) << "redraw " << redraw;
    lastCut = cut;
  }
  EXPECT_EQ(lastCut, 136);
  EXPECT_EQ(meter->getOldValue(), 0.0f);
  EXPECT_FALSE(meter->isDirty()) << "the shown level has reached the value";
}

struct DecayCase {
  float shown;
  float value;
  float next;
};

class MeterDecay : public Meter, public ::testing::WithParamInterface<DecayCase> {};

TEST_P(MeterDecay, RisesAtOnceAndFallsByTheStep) {
  gui::CVuMeter* meter = addMeter(CViewRect(0, 0, 20, 136));
  meter->setOldValue(GetParam().shown);
  meter->setValue(GetParam().value);
  Canvas canvas(frame, 20, 136);
  meter->draw(canvas.context());
  EXPECT_FLOAT_EQ(meter->getOldValue(), GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(Steps, MeterDecay,
                         ::testing::Values(DecayCase{0.95f, 0.2f, 0.85f},
                                           DecayCase{0.95f, 0.9f, 0.9f},
                                           DecayCase{0.2f, 0.7f, 0.7f},
                                           DecayCase{0.05f, 0.0f, 0.0f},
                                           DecayCase{kNaN, 0.4f, 0.4f}));

TEST_F(Meter, DecayStepIsAdjustable) {
  gui::CVuMeter* meter = addMeter(CViewRect(0, 0, 20, 136));
  meter->setDecayStep(0.25f);
  meter->setOldValue(1.0f);
  meter->setValue(0.0f);
  Canvas canvas(frame, 20, 136);
  meter->draw(canvas.context());
  EXPECT_FLOAT_EQ(meter->getOldValue(), 0.75f);
  meter->setDecayStep(-0.5f);
  meter->draw(canvas.context());
  EXPECT_FLOAT_EQ(meter->getOldValue(), 1.0f) << "a negative step cannot lift it past the top";
}

TEST_F(Meter, DrawnStraightIntoTheContextTheCutMovesWithTheControl) {
  gui::CVuMeter* meter = addMeter(CViewRect(30, 10, 50, 146));
  meter->setUseOffscreen(false);
  meter->setValue(0.5f);
  meter->setOldValue(0.5f);
  Canvas canvas(frame, 60, 160, 0x0000FF);
  meter->draw(canvas.context());
  EXPECT_EQ(firstLitRow(canvas, 40, 0, 160), 78);
  EXPECT_TRUE(isDark(canvas.at(40, 10)));
  EXPECT_EQ(canvas.at(40, 5), 0x0000FFu) << "nothing outside the control";
  EXPECT_EQ(canvas.at(40, 150), 0x0000FFu);
  EXPECT_EQ(meter->getOnRect().top, 78);
}

TEST_F(Meter, HorizontalBarIsLitFromTheLeft) {
  gui::CVuMeter* meter = addMeter(CViewRect(0, 0, 136, 20), gui::CVuMeter::kHorizontal);
  meter->setValue(0.25f);
  meter->setOldValue(0.25f);
  Canvas canvas(frame, 136, 20);
  meter->draw(canvas.context());
  // 34 x 0.25 + 0.5 = 9 segments of 4 pixels.
  EXPECT_TRUE(isLit(canvas.at(35, 10)));
  EXPECT_TRUE(isDark(canvas.at(36, 10)));
  EXPECT_EQ(meter->getOnRect().right, 36);
  EXPECT_EQ(meter->getOffRect().left, 36);
}

TEST_F(Meter, WithoutAnOnImageNothingHappens) {
  gui::CVuMeter* meter = add(new gui::CVuMeter(CViewRect(0, 0, 20, 136), nullptr, nullptr, 34));
  meter->setValue(0.5f);
  Canvas canvas(frame, 20, 136, 0x0000FF);
  meter->draw(canvas.context());
  EXPECT_EQ(canvas.at(10, 100), 0x0000FFu);
  EXPECT_EQ(meter->getOldValue(), 1.0f);
  EXPECT_TRUE(meter->isDirty());
}

TEST_F(Meter, WithoutAnOffImageTheDarkPartKeepsTheBuffersBlack) {
  gui::CVuMeter* meter = addMeter(CViewRect(0, 0, 20, 136), 0, false);
  meter->setValue(0.5f);
  meter->setOldValue(0.5f);
  Canvas canvas(frame, 20, 136, 0x0000FF);
  meter->draw(canvas.context());
  EXPECT_EQ(canvas.at(10, 10), 0x000000u);
  EXPECT_TRUE(isLit(canvas.at(10, 100)));
}

TEST_F(Meter, SegmentCountsBelowOneDrawAsASingleSegment) {
  for (int32_t segments : {0, -5}) {
    gui::CBitmap* on = onTall.load();
    auto* meter = add(new gui::CVuMeter(CViewRect(0, 0, 20, 136), on, nullptr, segments));
    on->dropReference();
    meter->setValue(0.7f);
    meter->setOldValue(0.7f);
    Canvas canvas(frame, 20, 136);
    meter->draw(canvas.context());
    EXPECT_EQ(firstLitRow(canvas, 10, 0, 136), 0) << segments;
  }
}

TEST_F(Meter, SetDirtyLeavesTheShownLevelAlone) {
  gui::CVuMeter* meter = addMeter(CViewRect(0, 0, 20, 136));
  meter->setOldValue(0.6f);
  meter->setDirty(true);
  EXPECT_EQ(meter->getOldValue(), 0.6f);
  meter->setDirty(false);
  EXPECT_EQ(meter->getOldValue(), 0.6f);
}

TEST(MeterAlone, TypeNamesAndDefaults) {
  gui::CVuMeter meter(CViewRect(20, 148, 0, 12), nullptr, nullptr, 34, 2);
  EXPECT_TRUE(meter.isTypeOf("CVuMeter"));
  EXPECT_TRUE(meter.isTypeOf("CControl"));
  EXPECT_TRUE(meter.isTypeOf("CView"));
  EXPECT_FALSE(meter.isTypeOf("CKnob"));
  EXPECT_EQ(meter.getTag(), 0);
  EXPECT_EQ(meter.getListener(), nullptr);
  EXPECT_FLOAT_EQ(meter.getDecayStep(), 0.1f);
  EXPECT_EQ(meter.getOnRect(), CViewRect(0, 12, 20, 148)) << "corners put in order";
}

}  // namespace
}  // namespace controls_test
