// The shared pixel cases of drawing contexts and bitmaps, run natively on the raster backend.

#include <gtest/gtest.h>

#include "gui/CBitmap.h"
#include "gui/platform/Platform.h"
#include "tests/gui/PixelCases.h"

namespace {

std::string caseName(const ::testing::TestParamInfo<size_t>& info, bool bitmaps) {
  std::string name = bitmaps ? pixelcases::bitmapValueCases()[info.param].name
                             : pixelcases::pixelCases()[info.param].name;
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class RasterPixelCase : public ::testing::TestWithParam<size_t> {};

TEST_P(RasterPixelCase, MatchesEveryPixel) {
  const pixelcases::PixelCase& pixelCase = pixelcases::pixelCases()[GetParam()];
  const std::vector<std::string> mismatches =
      pixelcases::runPixelCase(pixelCase, pixelcases::seamSurfaceFactory());
  for (const std::string& mismatch : mismatches) ADD_FAILURE() << mismatch;
}

INSTANTIATE_TEST_SUITE_P(Table, RasterPixelCase,
                         ::testing::Range(size_t(0), pixelcases::pixelCases().size()),
                         [](const auto& info) { return caseName(info, false); });

class DecodedPixelValue : public ::testing::TestWithParam<size_t> {};

TEST_P(DecodedPixelValue, IsStoredAsPremultipliedBlueGreenRedAlpha) {
  const pixelcases::BitmapValueCase c = pixelcases::bitmapValueCases()[GetParam()];
  gui::platform::overrideLibraryResource(950, c.png.data(), c.png.size());
  auto* bitmap = new gui::CBitmap(950);
  ASSERT_NE(bitmap->getHandle(), nullptr);
  EXPECT_TRUE(bitmap->isAlphaBlended());
  const uint8_t* row = gui::platform::imagePixelRow(bitmap->getHandle(), c.y);
  ASSERT_NE(row, nullptr);
  const uint8_t* pixel = row + c.x * 4;
  EXPECT_EQ(pixel[0], c.blue);
  EXPECT_EQ(pixel[1], c.green);
  EXPECT_EQ(pixel[2], c.red);
  EXPECT_EQ(pixel[3], c.alpha);
  bitmap->dropReference();
  gui::platform::overrideLibraryResource(950, nullptr, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, DecodedPixelValue,
                         ::testing::Range(size_t(0), pixelcases::bitmapValueCases().size()),
                         [](const auto& info) { return caseName(info, true); });

}  // namespace
