#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/controls/CMovieBitmap.h"
#include "tests/controls/ControlTestSupport.h"

namespace controls_test {
namespace {

using gui::CMovieBitmap;
using gui::CViewPoint;
using gui::CViewRect;

struct MovieCase {
  float value;
  int32_t sourceY;
  float storedAfterDraw;
};

class MovieFrame : public ::testing::TestWithParam<MovieCase> {};

TEST_P(MovieFrame, RoundsToTheNearestFrame) {
  CMovieBitmap movie(CViewRect(0, 0, 20, 20), nullptr, 0, 5, 20, nullptr, CViewPoint(0, 0));
  movie.setValue(GetParam().value);
  movie.draw(nullptr);
  EXPECT_EQ(movie.frameSource().y, GetParam().sourceY);
  if (std::isnan(GetParam().storedAfterDraw)) {
    EXPECT_TRUE(std::isnan(movie.getValue())) << "drawing does not clamp below 1";
  } else {
    EXPECT_EQ(movie.getValue(), GetParam().storedAfterDraw);
    EXPECT_FALSE(movie.isDirty());
  }
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Values, MovieFrame,
                         ::testing::Values(MovieCase{0.0f, 0, 0.0f}, MovieCase{0.5f, 40, 0.5f},
                                           MovieCase{1.0f, 80, 1.0f}, MovieCase{0.3f, 20, 0.3f},
                                           MovieCase{1.7f, 80, 1.0f}, MovieCase{-0.2f, 0, -0.2f},
                                           MovieCase{kNaN, 0, kNaN},
                                           MovieCase{std::numeric_limits<float>::infinity(), 80,
                                                     1.0f}));

TEST(MovieBitmapShape, OffsetMovesEveryFrame) {
  CMovieBitmap movie(CViewRect(0, 0, 20, 20), nullptr, 0, 5, 20, nullptr, CViewPoint(3, 7));
  movie.setValue(0.5f);
  EXPECT_EQ(movie.frameSource(), CViewPoint(3, 47));
}

class MovieInFrame : public FrameFixture {
 protected:
  ResourceImage overlay{
      920, 144, 144, [](int32_t x, int32_t y) { return uint32_t((x + 2) << 8) | uint32_t(y + 2); }};
};

TEST_F(MovieInFrame, ShortFormTakesOneFramePerRectangleHeight) {
  gui::CBitmap* image = overlay.load();
  CMovieBitmap single(CViewRect(304, 8, 448, 152), nullptr, 0, image);
  CMovieBitmap halves(CViewRect(0, 0, 144, 72), nullptr, 0, image);
  image->dropReference();
  EXPECT_EQ(single.getFrameCount(), 1);
  EXPECT_EQ(single.getFrameHeight(), 144);
  EXPECT_EQ(halves.getFrameCount(), 2);
  for (float value : {0.0f, 0.4f, 1.0f}) {
    single.setValue(value);
    EXPECT_EQ(single.frameSource().y, 0) << "a single frame whatever the value";
  }
  halves.setValue(1.0f);
  EXPECT_EQ(halves.frameSource().y, 72);
}

TEST_F(MovieInFrame, DrawsTheSelectedFrame) {
  gui::CBitmap* image = overlay.load();
  CMovieBitmap halves(CViewRect(0, 0, 144, 72), nullptr, 0, image);
  halves.setValue(1.0f);
  Canvas drawn(frame, 144, 72);
  Canvas reference(frame, 144, 72);
  halves.draw(drawn.context());
  image->draw(reference.context(), CViewRect(0, 0, 144, 72), CViewPoint(0, 72));
  image->dropReference();
  for (int32_t y : {0, 35, 71}) {
    for (int32_t x : {0, 100, 143}) EXPECT_EQ(drawn.at(x, y), reference.at(x, y)) << x << "," << y;
  }
}

TEST(MovieBitmapShape, DegenerateShortFormHasNoFrames) {
  CMovieBitmap flat(CViewRect(0, 10, 20, 10), nullptr, 0, nullptr);  // no height, no image
  EXPECT_EQ(flat.getFrameCount(), 0);
  flat.setValue(0.7f);
  flat.draw(nullptr);
  EXPECT_EQ(flat.frameSource().y, 0);
}

TEST(MovieBitmapShape, TypeNames) {
  CMovieBitmap movie(CViewRect(0, 0, 20, 20), nullptr, 0, 1, 20, nullptr);
  EXPECT_TRUE(movie.isTypeOf("CMovieBitmap"));
  EXPECT_TRUE(movie.isTypeOf("CControl"));
  EXPECT_TRUE(movie.isTypeOf("CView"));
  EXPECT_FALSE(movie.isTypeOf("CAnimKnob"));
}

}  // namespace
}  // namespace controls_test
