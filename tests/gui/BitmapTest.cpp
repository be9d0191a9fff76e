// Bitmaps: loading PNG resources (good, foreign, corrupt, truncated, absurd), disposal, and the
// drawing paths that the pixel table does not cover.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/COffscreenContext.h"
#include "gui/PlatformState.h"
#include "gui/platform/Platform.h"
#include "tests/gui/PixelCases.h"
#include "tests/gui/PngEncoder.h"

using gui::CBitmap;
using gui::CDrawContext;
using gui::CViewPoint;
using gui::CViewRect;
using gui::platform::makeColor;

namespace {

constexpr int kId = 970;

class BitmapLoading : public ::testing::Test {
 protected:
  ~BitmapLoading() override { gui::platform::clearLibraryResourceOverrides(); }

  CBitmap* load(std::vector<uint8_t> bytes) {
    png = std::move(bytes);
    gui::platform::overrideLibraryResource(kId, png.data(), png.size());
    bitmaps.emplace_back(new CBitmap(kId), [](CBitmap* b) { b->dropReference(); });
    return bitmaps.back().get();
  }

  static const uint8_t* pixel(CBitmap* bitmap, int x, int y) {
    return gui::platform::imagePixelRow(bitmap->getHandle(), y) + x * 4;
  }

  std::vector<uint8_t> png;
  std::vector<std::unique_ptr<CBitmap, void (*)(CBitmap*)>> bitmaps;
};

std::vector<uint8_t> gradient(int width, int height, testpng::ColorType type) {
  testpng::PngRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.colorType = type;
  recipe.pixel = [](int x, int y) {
    return testpng::Rgba{uint8_t(x * 3), uint8_t(y), uint8_t(x + y), uint8_t(255 - y)};
  };
  return testpng::encode(recipe);
}

TEST_F(BitmapLoading, AKnobStripLoadsWithItsSize) {
  CBitmap* strip = load(gradient(64, 3904, testpng::ColorType::rgba));
  EXPECT_EQ(strip->getWidth(), 64);
  EXPECT_EQ(strip->getHeight(), 3904);
  EXPECT_TRUE(strip->isAlphaBlended());
  EXPECT_EQ(strip->getResourceId(), kId);
  // The last row of the image is the last row handed out (the image stands upright).
  EXPECT_EQ(pixel(strip, 0, 3903)[3], uint8_t(255 - 3903 % 256));
}

TEST_F(BitmapLoading, AMissingResourceGivesAnEmptyBitmap) {
  auto* bitmap = new CBitmap(4242);
  EXPECT_EQ(bitmap->getWidth(), 0);
  EXPECT_EQ(bitmap->getHeight(), 0);
  EXPECT_EQ(bitmap->getHandle(), nullptr);
  EXPECT_FALSE(bitmap->loadFromResource(4242));
  EXPECT_EQ(bitmap->getTransparentColor(), gui::CRgbColor(255, 255, 255, 0));
  bitmap->dropReference();
}

TEST_F(BitmapLoading, DataThatIsNotAPngGivesSizeZeroWithoutFailing) {
  const char text[] = "this is not a PNG file at all, just some words";
  CBitmap* bitmap = load(std::vector<uint8_t>(text, text + sizeof(text)));
  EXPECT_EQ(bitmap->getWidth(), 0);
  EXPECT_EQ(bitmap->getHandle(), nullptr);
  EXPECT_TRUE(bitmap->isAlphaBlended());
  EXPECT_TRUE(bitmap->loadFromResource(kId));  // a PNG resource that fails still answers true
}

TEST_F(BitmapLoading, ATruncatedPngKeepsTheRowsReadSoFarPremultiplied) {
  testpng::PngRecipe recipe;
  recipe.width = 64;
  recipe.height = 256;
  recipe.pixel = [](int x, int y) {
    // Noise, so that the compressed data grows with the rows.
    const unsigned v = unsigned(x * 7919 + y * 104729) * 2654435761u;
    return testpng::Rgba{uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24), 128};
  };
  std::vector<uint8_t> whole = testpng::encode(recipe);
  whole.resize(whole.size() / 2);
  CBitmap* bitmap = load(whole);
  ASSERT_EQ(bitmap->getWidth(), 64);
  ASSERT_NE(bitmap->getHandle(), nullptr);
  // The first rows are there and premultiplied (no channel above alpha); the last is empty.
  const uint8_t* first = pixel(bitmap, 3, 0);
  EXPECT_EQ(first[3], 128);
  EXPECT_LE(first[0], 128);
  EXPECT_LE(first[1], 128);
  EXPECT_LE(first[2], 128);
  const uint8_t* last = pixel(bitmap, 3, 255);
  EXPECT_EQ(last[0] | last[1] | last[2] | last[3], 0);
}

TEST_F(BitmapLoading, CorruptDataNeverCrashes) {
  const std::vector<uint8_t> good = gradient(16, 16, testpng::ColorType::rgb);
  for (size_t at = 8; at < good.size(); at += 7) {
    std::vector<uint8_t> bad = good;
    bad[at] ^= 0x5A;
    CBitmap* bitmap = load(bad);
    EXPECT_LE(bitmap->getWidth(), 16);
  }
  for (size_t length = 0; length < good.size(); length += 5) {
    load(std::vector<uint8_t>(good.begin(), good.begin() + long(length)));
  }
}

TEST_F(BitmapLoading, AnAbsurdHeaderGivesSizeZero) {
  std::vector<uint8_t> bytes = gradient(2, 2, testpng::ColorType::rgb);
  // IHDR width at offset 16: 100000, with the chunk's CRC left wrong on purpose too.
  const uint8_t huge[4] = {0x00, 0x01, 0x86, 0xA0};
  std::memcpy(bytes.data() + 16, huge, 4);
  CBitmap* bitmap = load(bytes);
  EXPECT_EQ(bitmap->getWidth(), 0);
  EXPECT_EQ(bitmap->getHeight(), 0);
}

TEST_F(BitmapLoading, DisposeEmptiesTheBitmapAndReloadingWorks) {
  CBitmap* bitmap = load(gradient(8, 4, testpng::ColorType::rgb));
  bitmap->setAlphaBlended(false);
  bitmap->dispose();
  EXPECT_EQ(bitmap->getWidth(), 0);
  EXPECT_EQ(bitmap->getHeight(), 0);
  EXPECT_TRUE(bitmap->isAlphaBlended());
  auto surface = pixelcases::seamSurfaceFactory()(10, 10, pixelcases::kBackground);
  CDrawContext context(nullptr, surface->device(), nullptr);
  bitmap->draw(&context, CViewRect(0, 0, 8, 4));
  bitmap->drawTransparent(&context, CViewRect(0, 0, 8, 4));
  bitmap->drawAlphaBlend(&context, CViewRect(0, 0, 8, 4), CViewPoint(), 255);
  EXPECT_EQ(surface->pixel(1, 1), pixelcases::kBackground);
  EXPECT_TRUE(bitmap->loadFromResource(kId));
  EXPECT_EQ(bitmap->getWidth(), 8);
  EXPECT_FALSE(bitmap->loadFromPath("/tmp/anything.png"));
  EXPECT_EQ(bitmap->getWidth(), 0);
}

// Afterwards the bitmap is as an untouched one loaded from the same bytes: the same settings, size
// and pixels, and it draws the same picture in every way.
TEST_F(BitmapLoading, DrawingWithoutAContextOrDeviceDoesNothing) {
  const std::vector<uint8_t> bytes = gradient(8, 4, testpng::ColorType::rgba);
  CBitmap* bitmap = load(bytes);
  CBitmap* untouched = load(bytes);
  CDrawContext noDevice(nullptr, nullptr, nullptr);
  for (bool blended : {true, false}) {
    bitmap->setAlphaBlended(blended);
    bitmap->draw(nullptr, CViewRect(0, 0, 8, 4));
    bitmap->draw(&noDevice, CViewRect(0, 0, 8, 4));
    bitmap->drawTransparent(nullptr, CViewRect(0, 0, 8, 4));
    bitmap->drawTransparent(&noDevice, CViewRect(0, 0, 8, 4));
    bitmap->drawAlphaBlend(nullptr, CViewRect(0, 0, 8, 4), CViewPoint(), 128);
    bitmap->drawAlphaBlend(&noDevice, CViewRect(0, 0, 8, 4), CViewPoint(), 128);
    EXPECT_EQ(bitmap->isAlphaBlended(), blended);
    EXPECT_EQ(bitmap->getTransparentColor(), untouched->getTransparentColor());
  }

  ASSERT_EQ(bitmap->getWidth(), 8);
  ASSERT_EQ(bitmap->getHeight(), 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      ASSERT_EQ(std::memcmp(pixel(bitmap, x, y), pixel(untouched, x, y), 4), 0) << x << ", " << y;
    }
  }
  using Drawing = void (*)(CBitmap*, CDrawContext*);
  const Drawing drawings[] = {
      [](CBitmap* b, CDrawContext* c) { b->draw(c, CViewRect(0, 0, 8, 4)); },
      [](CBitmap* b, CDrawContext* c) { b->drawTransparent(c, CViewRect(0, 0, 8, 4)); },
      [](CBitmap* b, CDrawContext* c) {
        b->drawAlphaBlend(c, CViewRect(0, 0, 8, 4), CViewPoint(), 128);
      },
  };
  for (bool blended : {true, false}) {
    bitmap->setAlphaBlended(blended);
    untouched->setAlphaBlended(blended);
    for (std::size_t d = 0; d < std::size(drawings); ++d) {
      SCOPED_TRACE(::testing::Message() << "blended " << blended << ", drawing " << d);
      auto drawn = pixelcases::seamSurfaceFactory()(8, 4, pixelcases::kBackground);
      auto expected = pixelcases::seamSurfaceFactory()(8, 4, pixelcases::kBackground);
      CDrawContext drawnContext(nullptr, drawn->device(), nullptr);
      CDrawContext expectedContext(nullptr, expected->device(), nullptr);
      drawings[d](bitmap, &drawnContext);
      drawings[d](untouched, &expectedContext);
      EXPECT_NE(drawn->pixel(7, 3), pixelcases::kBackground);
      for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x)
          ASSERT_EQ(drawn->pixel(x, y), expected->pixel(x, y)) << x << ", " << y;
      }
    }
  }
}

struct SizeCase {
  CViewRect destination;
  CViewPoint source;
};

TEST_F(BitmapLoading, NegativeSizesAndFarSourcesDrawNothing) {
  CBitmap* bitmap = load(testpng::solid(4, 4, {255, 0, 0, 255}, testpng::ColorType::rgb));
  const SizeCase cases[] = {{{5, 5, 1, 1}, {0, 0}},
                            {{5, 5, 9, 9}, {100, 100}},
                            {{5, 5, 9, 9}, {-4, 0}},
                            {{5, 5, 9, 9}, {0, INT32_MIN}}};
  for (bool blended : {true, false}) {
    bitmap->setAlphaBlended(blended);
    for (const SizeCase& c : cases) {
      auto surface = pixelcases::seamSurfaceFactory()(12, 12, pixelcases::kBackground);
      CDrawContext context(nullptr, surface->device(), nullptr);
      bitmap->draw(&context, c.destination, c.source);
      bitmap->drawTransparent(&context, c.destination, c.source);
      for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) ASSERT_EQ(surface->pixel(x, y), pixelcases::kBackground);
      }
    }
  }
}

TEST_F(BitmapLoading, TheWindows98BlendPathGivesTheSameResult) {
  CBitmap* bitmap = load(testpng::solid(4, 4, {200, 100, 50, 128}));
  auto draw = [&] {
    auto surface = pixelcases::seamSurfaceFactory()(8, 8, pixelcases::kBackground);
    CDrawContext context(nullptr, surface->device(), nullptr);
    bitmap->draw(&context, CViewRect(2, 2, 6, 6));
    return surface->pixel(3, 3);
  };
  gui::ensureImageOperations();
  const auto normal = draw();
  gui::platform::OsVersion saved = gui::platformState().osVersion;
  gui::platformState().osVersion = {156, 4, 10, 1};
  EXPECT_EQ(draw(), normal);
  gui::platformState().osVersion = saved;
  EXPECT_NE(normal, pixelcases::kBackground);
}

TEST_F(BitmapLoading, BitmapsDrawnBeforeAnyFrameStillBlend) {
  gui::platformState().alphaBlend = nullptr;
  gui::platformState().transparentBlt = nullptr;
  CBitmap* bitmap = load(testpng::solid(4, 4, {0, 255, 0, 255}));
  auto surface = pixelcases::seamSurfaceFactory()(8, 8, pixelcases::kBackground);
  CDrawContext context(nullptr, surface->device(), nullptr);
  bitmap->draw(&context, CViewRect(0, 0, 4, 4));
  EXPECT_EQ(surface->pixel(1, 1), makeColor(0, 254, 0));
  EXPECT_NE(gui::platformState().alphaBlend, nullptr);
}

TEST_F(BitmapLoading, AnOffscreenDrawingIntoTheBitmapBlocksNothingElse) {
  // While an off-screen context draws straight into a bitmap, drawing that bitmap elsewhere
  // finds it busy and draws nothing rather than reading an image that is being written.
  CBitmap* bitmap = load(testpng::solid(4, 4, {0, 255, 0, 255}));
  auto surface = pixelcases::seamSurfaceFactory()(8, 8, pixelcases::kBackground);
  CDrawContext context(nullptr, surface->device(), nullptr);
  {
    gui::COffscreenContext inside(&context, bitmap, true);
    bitmap->draw(&context, CViewRect(0, 0, 4, 4));
    EXPECT_EQ(surface->pixel(1, 1), pixelcases::kBackground);
  }
  bitmap->draw(&context, CViewRect(0, 0, 4, 4));
  EXPECT_EQ(surface->pixel(1, 1), makeColor(0, 254, 0));
}

}  // namespace
