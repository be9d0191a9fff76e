// The goniometer's grid: where a fed value lands, how out-of-range and broken values are limited,
// and what a draw puts on the screen.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "editor/CGoniometer.h"
#include "editor/HeldReference.h"
#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"
#include "gui/platform/raster/RasterImage.h"

namespace {

constexpr int kGoniometerImage = 136;  // 124 x 124, plain dark green
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
const gui::CViewRect kPlace(0, 0, 124, 124);

class Goniometer : public ::testing::Test {
 protected:
  Goniometer()
      : image(new gui::CBitmap(kGoniometerImage)),
        goniometer(new CGoniometer(kPlace, image.get())) {}

  HeldReference<gui::CBitmap> image;
  HeldReference<CGoniometer> goniometer;
};

TEST_F(Goniometer, GridHasTheSizeOfItsImageAndStartsEmpty) {
  EXPECT_EQ(goniometer->getGridWidth(), 124u);
  EXPECT_EQ(goniometer->getGridHeight(), 124u);
  EXPECT_EQ(goniometer->countMarked(), 0u);
  EXPECT_TRUE(goniometer->isTypeOf("CGoniometer"));
  EXPECT_TRUE(goniometer->isTypeOf("CControl"));
  EXPECT_TRUE(goniometer->isTypeOf("CView"));
  EXPECT_FALSE(goniometer->isTypeOf("CVuMeter"));
}

struct Placement {
  float value;
  std::uint32_t stored;  // what setColumn keeps
  std::uint32_t cell;    // where plotRow puts it
};

// width x value truncated toward zero with the low 32 bits kept, then limited to the grid.
const Placement kPlacements[] = {
    {0.0f, 0, 0},
    {0.5f, 62, 62},
    {0.999f, 123, 123},
    {1.0f, 124, 123},
    {-0.1f, 4294967284u, 123},  // -12.4 truncates to -12, which wraps
    {-0.001f, 0, 0},            // -0.124 truncates to 0
    {37.0f, 4588, 123},
    {kInfinity, 0xFFFFFFFFu, 123},
    {-kInfinity, 0xFFFFFFFFu, 123},
    {kNaN, 0xFFFFFFFFu, 123},
    {3e30f, 0xFFFFFFFFu, 123},
};

TEST_F(Goniometer, ColumnAndRowLandWhereTheValueSays) {
  for (const Placement& placement : kPlacements) {
    SCOPED_TRACE(placement.value);
    goniometer->clearPoints();
    goniometer->setColumn(placement.value);
    EXPECT_EQ(goniometer->getColumn(), placement.stored);
    goniometer->plotRow(placement.value);
    EXPECT_EQ(goniometer->getColumn(), placement.cell);
    EXPECT_EQ(goniometer->getRow(), placement.cell);
    EXPECT_TRUE(goniometer->isMarked(placement.cell, placement.cell));
    EXPECT_EQ(goniometer->countMarked(), 1u);
  }
}

TEST_F(Goniometer, ARunOfPointsMarksWhatPointByPointFeedingMarks) {
  std::vector<float> columns, rows;
  for (const Placement& a : kPlacements)
    for (const Placement& b : kPlacements) {
      columns.push_back(a.value);
      rows.push_back(b.value);
    }
  HeldReference<CGoniometer> pointByPoint(new CGoniometer(kPlace, image.get()));
  for (std::size_t i = 0; i < columns.size(); ++i) {
    pointByPoint->setColumn(columns[i]);
    pointByPoint->plotRow(rows[i]);
  }
  goniometer->plotPoints(columns.data(), rows.data(), static_cast<int>(columns.size()));

  EXPECT_EQ(goniometer->countMarked(), pointByPoint->countMarked());
  for (std::uint32_t y = 0; y < 124; ++y)
    for (std::uint32_t x = 0; x < 124; ++x)
      ASSERT_EQ(goniometer->isMarked(x, y), pointByPoint->isMarked(x, y));
  EXPECT_EQ(goniometer->getColumn(), pointByPoint->getColumn());
  EXPECT_EQ(goniometer->getRow(), pointByPoint->getRow());
}

TEST_F(Goniometer, RowsCountFromTheTop) {
  goniometer->setColumn(0.25f);
  goniometer->plotRow(0.0f);
  goniometer->plotRow(0.999f);
  // Two rows after one column: two cells in the same column.
  EXPECT_TRUE(goniometer->isMarked(31, 0));
  EXPECT_TRUE(goniometer->isMarked(31, 123));
  EXPECT_EQ(goniometer->countMarked(), 2u);
}

TEST_F(Goniometer, ClearingForgetsEveryPoint) {
  for (int i = 0; i < 500; ++i) {
    goniometer->setColumn(static_cast<float>(i % 124) / 124.0f);
    goniometer->plotRow(static_cast<float>((i * 7) % 124) / 124.0f);
  }
  EXPECT_GT(goniometer->countMarked(), 100u);
  goniometer->clearPoints();
  EXPECT_EQ(goniometer->countMarked(), 0u);
}

TEST_F(Goniometer, AlwaysAsksForARedraw) {
  // The value stays 0 while its own setDirty never touches oldValue: every frame idle redraws it.
  EXPECT_TRUE(goniometer->isDirty());
  goniometer->setDirty(false);
  EXPECT_TRUE(goniometer->isDirty());
  EXPECT_NE(goniometer->getOldValue(), goniometer->getValue());
}

TEST(GoniometerWithoutImage, MarksNothingAndDrawsNothing) {
  HeldReference<gui::CBitmap> missing(new gui::CBitmap(999));
  HeldReference<CGoniometer> goniometer(new CGoniometer(kPlace, missing.get()));
  EXPECT_EQ(goniometer->getGridWidth(), 0u);
  EXPECT_EQ(goniometer->getGridHeight(), 0u);
  for (float value : {0.0f, 0.5f, 1.0f, -1.0f, kNaN}) {
    goniometer->setColumn(value);
    goniometer->plotRow(value);
  }
  EXPECT_EQ(goniometer->countMarked(), 0u);
  EXPECT_FALSE(goniometer->isMarked(0, 0));
  HeldReference<CGoniometer> withoutBitmap(new CGoniometer(kPlace, nullptr));
  withoutBitmap->setColumn(0.5f);
  withoutBitmap->plotRow(0.5f);
  EXPECT_EQ(withoutBitmap->countMarked(), 0u);

  // The screen keeps its own colour everywhere, also where the points would have gone.
  gui::COffscreenContext screen(nullptr, 124, 124, gui::CRgbColor(9, 9, 9, 255));
  goniometer->draw(&screen);
  withoutBitmap->draw(&screen);
  for (int y = 0; y < 124; ++y)
    for (int x = 0; x < 124; ++x)
      ASSERT_EQ(screen.getImage()->colorAt(x, y), gui::platform::makeColor(9, 9, 9))
          << x << ", " << y;
}

// Draws the goniometer at (10, 20) of a black screen and answers the screen's pixels.
class GoniometerDrawing : public Goniometer {
 protected:
  GoniometerDrawing() : screen(nullptr, 160, 160, gui::CRgbColor(0, 0, 0, 255)) {
    goniometer->setViewSize(gui::CViewRect(10, 20, 134, 144));
  }
  gui::platform::PlatformColor pixel(int x, int y) const {
    return screen.getImage()->colorAt(x, y);
  }
  gui::platform::PlatformColor backgroundPixel(int x, int y) {
    gui::COffscreenContext copy(&screen, image.get(), false);
    return copy.getImage()->colorAt(x, y);
  }

  gui::COffscreenContext screen;
};

TEST_F(GoniometerDrawing, MarkedCellsArePureGreenOverTheBackground) {
  const gui::platform::PlatformColor background = backgroundPixel(5, 5);
  ASSERT_NE(background, gui::platform::makeColor(0, 255, 0));
  goniometer->setColumn(0.5f);
  goniometer->plotRow(0.25f);
  goniometer->draw(&screen);
  EXPECT_EQ(pixel(10 + 62, 20 + 31), gui::platform::makeColor(0, 255, 0));
  EXPECT_EQ(pixel(10 + 63, 20 + 31), background);
  EXPECT_EQ(pixel(10, 20), background);
  EXPECT_EQ(pixel(133, 143), background);
  // Nothing outside its place.
  EXPECT_EQ(pixel(9, 20), gui::platform::makeColor(0, 0, 0));
  EXPECT_EQ(pixel(134, 143), gui::platform::makeColor(0, 0, 0));
  EXPECT_EQ(pixel(133, 144), gui::platform::makeColor(0, 0, 0));
}

TEST_F(GoniometerDrawing, ADrawLeavesNoTraceInTheImageOrTheGrid) {
  goniometer->setColumn(0.1f);
  goniometer->plotRow(0.1f);
  goniometer->draw(&screen);
  EXPECT_EQ(goniometer->countMarked(), 1u);
  goniometer->clearPoints();
  goniometer->draw(&screen);
  EXPECT_EQ(pixel(10 + 12, 20 + 12), backgroundPixel(12, 12));
}

TEST_F(GoniometerDrawing, OutOfRangeValuesStayInsideTheGoniometer) {
  for (float value : {kNaN, kInfinity, -kInfinity, -5.0f, 5.0f, 1.0f}) {
    goniometer->setColumn(value);
    goniometer->plotRow(value);
  }
  goniometer->draw(&screen);
  EXPECT_EQ(pixel(10 + 123, 20 + 123), gui::platform::makeColor(0, 255, 0));
  for (int x = 0; x < 160; ++x) EXPECT_EQ(pixel(x, 144), gui::platform::makeColor(0, 0, 0));
  for (int y = 0; y < 160; ++y) EXPECT_EQ(pixel(134, y), gui::platform::makeColor(0, 0, 0));
}

}  // namespace
