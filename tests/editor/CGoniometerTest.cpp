// The goniometer's grid: where a fed value lands, how out-of-range and broken values are limited,
// that runs of points mark what points fed one by one mark, and what a draw puts on the screen,
// also when it repaints only what changed since the draw before.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <list>
#include <random>
#include <vector>

#include "editor/CGoniometer.h"
#include "editor/HeldReference.h"
#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/PngWriter.h"
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

// Images of any size and look for the goniometer, through the library's resource hook: grids
// whose sides are no multiple of the 8 x 8 tiles its words hold, one too wide for its vector
// arithmetic, and artwork with translucent pixels, which the first draw blends.
class Artwork {
 public:
  ~Artwork() { gui::platform::clearLibraryResourceOverrides(); }

  // The image as resource `id`: pixel (x, y) from `colour`, premultiplied blue, green, red, alpha.
  template <typename Colour>
  void add(std::int32_t id, int width, int height, Colour colour) {
    gui::platform::PlatformImage* image = gui::platform::createImage(width, height);
    for (int y = 0; y < height; ++y) {
      std::uint8_t* row = gui::platform::imagePixelRow(image, y);
      for (int x = 0; x < width; ++x) colour(x, y, row + 4 * x);
    }
    encoded.push_back(gui::raster::encodePng(*image, true));
    gui::platform::deleteObject(image);
    gui::platform::overrideLibraryResource(id, encoded.back().data(), encoded.back().size());
  }

 private:
  std::list<std::vector<std::uint8_t>> encoded;  // the overrides point into these
};

void opaqueStripes(int x, int y, std::uint8_t* pixel) {
  const std::uint8_t shade = static_cast<std::uint8_t>(40 + (x * 7 + y * 3) % 90);
  pixel[0] = shade, pixel[1] = static_cast<std::uint8_t>(shade / 2), pixel[2] = 20, pixel[3] = 255;
}
void translucentStripes(int x, int y, std::uint8_t* pixel) {
  const std::uint8_t alpha = static_cast<std::uint8_t>((x + 2 * y) % 4 * 85);  // 0 to 255
  pixel[0] = alpha / 2, pixel[1] = alpha / 3, pixel[2] = alpha, pixel[3] = alpha;
}

struct GridCase {
  std::int32_t id;
  int width, height;
  void (*colour)(int, int, std::uint8_t*);
};

const GridCase kGrids[] = {
    {kGoniometerImage, 124, 124, nullptr},  // the real artwork
    {901, 13, 21, opaqueStripes},          {902, 20, 136, opaqueStripes},
    {903, 4100, 3, opaqueStripes},  // too wide for the vector arithmetic: every point on its own
    {904, 37, 29, translucentStripes},
};

// Values for points: mostly in 0..1, as the display feed sends them, with exact edges and the
// values that land on a cell's border, and now and then one out of range, which stops a vector.
class PointValues {
 public:
  explicit PointValues(unsigned seed) : random(seed) {}
  float next(int side) {
    const float edges[] = {0.0f, 1.0f, std::nextafter(1.0f, 0.0f), 0.5f};
    const float outside[] = {-0.0f, -0.1f, 1.5f, kNaN, kInfinity, -kInfinity, 3e30f};
    const int kind = static_cast<int>(random() % 40);
    if (kind == 0) return outside[random() % 7];
    if (kind == 1) return edges[random() % 4];
    if (kind == 2) return static_cast<float>(random() % (side + 1)) / static_cast<float>(side);
    return unit(random);
  }

 private:
  std::mt19937 random;
  std::uniform_real_distribution<float> unit{0.0f, 1.0f};
};

void expectSameGrid(CGoniometer& a, CGoniometer& b) {
  ASSERT_EQ(a.countMarked(), b.countMarked());
  for (std::uint32_t y = 0; y < a.getGridHeight(); ++y)
    for (std::uint32_t x = 0; x < a.getGridWidth(); ++x)
      ASSERT_EQ(a.isMarked(x, y), b.isMarked(x, y)) << x << ", " << y;
  EXPECT_EQ(a.getColumn(), b.getColumn());
  EXPECT_EQ(a.getRow(), b.getRow());
}

// Runs of every length around the vector widths, one after another and across clears, at every
// width: the run marks exactly the cells that its points fed one by one mark.
TEST(GoniometerRuns, MarkWhatPointByPointFeedingMarksOnEveryGrid) {
  Artwork artwork;
  for (const GridCase& grid : kGrids)
    if (grid.colour) artwork.add(grid.id, grid.width, grid.height, grid.colour);
  for (int width : {1, 4, 8})
    for (const GridCase& grid : kGrids) {
      SCOPED_TRACE(grid.id);
      SCOPED_TRACE(width);
      HeldReference<gui::CBitmap> image(new gui::CBitmap(grid.id));
      ASSERT_EQ(image->getWidth(), grid.width);
      const gui::CViewRect place(0, 0, grid.width, grid.height);
      HeldReference<CGoniometer> runs(new CGoniometer(place, image.get()));
      runs->limitPointsPerVector(width);
      HeldReference<CGoniometer> points(new CGoniometer(place, image.get()));
      PointValues values(static_cast<unsigned>(grid.id));
      for (int length = 1; length <= 40; ++length) {
        if (length % 13 == 0) {
          runs->clearPoints();
          points->clearPoints();
        }
        std::vector<float> columns, rows;
        for (int i = 0; i < length; ++i) {
          columns.push_back(values.next(grid.width));
          rows.push_back(values.next(grid.height));
          points->setColumn(columns.back());
          points->plotRow(rows.back());
        }
        runs->plotPoints(columns.data(), rows.data(), length);
        ASSERT_NO_FATAL_FAILURE(expectSameGrid(*runs.get(), *points.get())) << "run of " << length;
      }
    }
}

// Draws of the goniometer into a screen, one after another while points come and go, against a
// new goniometer that draws the same cells once: the pixels are the same, on the screen and off
// its place. Both draws see the image as it is before the draw (blended at the first draw).
TEST(GoniometerRedraws, ShowWhatAFullRedrawShows) {
  Artwork artwork;
  for (const GridCase& grid : kGrids) {
    if (grid.width > 200) continue;  // the drawing is the same for every grid shape
    SCOPED_TRACE(grid.id);
    if (grid.colour) artwork.add(grid.id, grid.width, grid.height, grid.colour);
    HeldReference<gui::CBitmap> image(new gui::CBitmap(grid.id));
    const gui::CViewRect place(3, 5, 3 + grid.width, 5 + grid.height);
    HeldReference<CGoniometer> goniometer(new CGoniometer(place, image.get()));
    const gui::CRgbColor screenColour(9, 99, 199, 255);
    gui::COffscreenContext screen(nullptr, grid.width + 8, grid.height + 10, screenColour);
    std::vector<float> columns, rows;  // every point since the last clear
    PointValues values(7);
    std::mt19937 random(23);
    for (int round = 0; round < 40; ++round) {
      if (random() % 4 == 0) {
        goniometer->clearPoints();
        columns.clear();
        rows.clear();
      }
      std::vector<float> runColumns, runRows;
      for (int i = static_cast<int>(random() % 200); i > 0; --i) {
        runColumns.push_back(values.next(grid.width));
        runRows.push_back(values.next(grid.height));
      }
      goniometer->plotPoints(runColumns.data(), runRows.data(),
                             static_cast<int>(runColumns.size()));
      columns.insert(columns.end(), runColumns.begin(), runColumns.end());
      rows.insert(rows.end(), runRows.begin(), runRows.end());

      HeldReference<gui::CBitmap> freshImage(new gui::CBitmap(grid.id));
      freshImage->setAlphaBlended(image->isAlphaBlended());
      HeldReference<CGoniometer> fresh(new CGoniometer(place, freshImage.get()));
      fresh->plotPoints(columns.data(), rows.data(), static_cast<int>(columns.size()));
      gui::COffscreenContext freshScreen(nullptr, grid.width + 8, grid.height + 10, screenColour);
      fresh->draw(&freshScreen);
      goniometer->draw(&screen);

      for (int y = 0; y < grid.height + 10; ++y)
        for (int x = 0; x < grid.width + 8; ++x)
          ASSERT_EQ(screen.getImage()->colorAt(x, y), freshScreen.getImage()->colorAt(x, y))
              << "round " << round << " at " << x << ", " << y;
    }
  }
}
