// Drawing contexts: construction state, the attribute cache, fonts, clipping, text placement,
// off-screen images, and contexts without a device.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/COffscreenContext.h"
#include "gui/platform/Platform.h"
#include "gui/platform/raster/RasterImage.h"
#include "gui/platform/raster/RasterInput.h"
#include "gui/platform/raster/RasterObjects.h"
#include "tests/gui/CountingDevice.h"
#include "tests/gui/PixelCases.h"
#include "tests/gui/PngEncoder.h"

using gui::CDrawContext;
using gui::COffscreenContext;
using gui::CRgbColor;
using gui::CViewPoint;
using gui::CViewRect;
using gui::platform::PlatformColor;

namespace {

const CRgbColor kWhite(255, 255, 255, 255);
const CRgbColor kBlack(0, 0, 0, 255);
constexpr PlatformColor kBackground = pixelcases::kBackground;

// A raster surface seen through a counting device.
class CountedSurface : public ::testing::Test {
 protected:
  CountedSurface()
      : surface(pixelcases::seamSurfaceFactory()(120, 40, kBackground)),
        device(surface->device()) {}

  // The columns and rows that differ from the background inside `area`.
  CViewRect paintedBounds(const CViewRect& area) {
    CViewRect bounds(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (surface->pixel(x, y) == kBackground) continue;
        bounds = CViewRect(std::min(bounds.left, x), std::min(bounds.top, y),
                           std::max(bounds.right, x + 1), std::max(bounds.bottom, y + 1));
      }
    }
    return bounds;
  }

  std::unique_ptr<pixelcases::TestSurface> surface;
  CountingDevice device;
};

TEST_F(CountedSurface, StartsWithTheDefaultAttributes) {
  CDrawContext context(nullptr, &device, nullptr);
  EXPECT_EQ(context.getLineColor(), kWhite);
  EXPECT_EQ(context.getFillColor(), kBlack);
  EXPECT_EQ(context.getFontColor(), kWhite);
  EXPECT_EQ(context.getFontId(), 0);
  EXPECT_EQ(context.getFontSize(), 12);
  EXPECT_EQ(context.getFontStyle(), 0);
  EXPECT_EQ(context.getLineWidth(), 1);
  EXPECT_EQ(context.getLineStyle(), gui::kLineSolid);
  EXPECT_EQ(context.getDrawMode(), gui::kCopyMode);
  EXPECT_EQ(device.lastBackgroundMode, gui::platform::kBackgroundTransparent);
  EXPECT_EQ(context.getClipRect(), CViewRect(0, 0, 1000, 1000));  // no frame
  EXPECT_EQ(device.count("selectClipRect"), 0);                   // stored, not applied
  // Every constructor setter reached the device once.
  EXPECT_EQ(device.count("selectPen"), 3);
  EXPECT_EQ(device.count("selectBrush"), 1);
  EXPECT_EQ(device.count("selectFont"), 1);
  EXPECT_EQ(device.count("setRasterMode"), 1);
}

TEST_F(CountedSurface, SettersGivenTheStoredValueDoNotReachTheDevice) {
  CDrawContext context(nullptr, &device, nullptr);
  device.reset();
  context.setLineColor(kWhite);
  context.setLineWidth(1);
  context.setLineStyle(gui::kLineSolid);
  context.setFillColor(kBlack);
  context.setDrawMode(gui::kCopyMode);
  context.setFont(0, 0, 0);
  context.setFont(0, 12, 0);
  context.setFont(9, 0, 0);  // out of range: the same as font 0
  context.setClipRect(CViewRect(1, 2, 3, 4));
  device.reset();
  context.setClipRect(CViewRect(1, 2, 3, 4));
  EXPECT_EQ(device.total(), 0);
}

TEST_F(CountedSurface, AColourDifferingOnlyInAlphaIsANewValue) {
  CDrawContext context(nullptr, &device, nullptr);
  device.reset();
  context.setFillColor(CRgbColor(0, 0, 0, 254));
  EXPECT_EQ(device.count("selectBrush"), 1);
  EXPECT_EQ(device.count("setBackgroundColor"), 1);
}

TEST_F(CountedSurface, EachChangedSetterSelectsOneNewObject) {
  CDrawContext context(nullptr, &device, nullptr);
  device.reset();
  context.setLineColor(CRgbColor(1, 2, 3));
  context.setLineWidth(3);
  context.setLineStyle(gui::kLineDotted);
  EXPECT_EQ(device.count("selectPen"), 3);
  context.setFillColor(CRgbColor(9, 9, 9));
  EXPECT_EQ(device.count("selectBrush"), 1);
  context.setFont(3, 0, gui::kItalicFace);
  EXPECT_EQ(device.count("selectFont"), 1);
  context.setDrawMode(gui::kXorMode);
  EXPECT_EQ(device.count("setRasterMode"), 1);
}

TEST_F(CountedSurface, TheFontColourAlwaysReachesTheDevice) {
  CDrawContext context(nullptr, &device, nullptr);
  device.reset();
  context.setFontColor(kWhite);
  context.setFontColor(kWhite);
  EXPECT_EQ(device.count("setTextColor"), 2);
}

TEST_F(CountedSurface, FontRequestsFollowTheTable) {
  CDrawContext context(nullptr, &device, nullptr);
  context.setFont(7, 0, 0);
  EXPECT_EQ(context.getFontId(), 7);
  EXPECT_EQ(context.getFontSize(), 13);
  context.setFont(3, 0, gui::kBoldFace);
  EXPECT_EQ(context.getFontSize(), 12);
  EXPECT_EQ(context.getFontStyle(), gui::kBoldFace);
  context.setFont(3, 0, 0);
  device.reset();
  context.setFont(3, 12, 0);  // the default size given explicitly: nothing new
  EXPECT_EQ(device.count("selectFont"), 0);
  context.setFont(12, 0, 0);
  EXPECT_EQ(context.getFontId(), 0);
}

TEST_F(CountedSurface, FontsCarryFaceWeightAndFamilyToThePlatform) {
  CDrawContext context(nullptr, &device, nullptr);
  auto logical = [&] { return device.getCurrentFont()->logical; };
  EXPECT_EQ(logical().weight, 700);  // font 0 is always bold
  EXPECT_EQ(logical().height, -12);
  EXPECT_STREQ(logical().faceName, "Arial");
  context.setFont(7, 0, 0);
  EXPECT_STREQ(logical().faceName, "Symbol");
  EXPECT_EQ(logical().pitchAndFamily, 0x50);
  context.setFont(2, 20, gui::kItalicFace | gui::kUnderlineFace);
  EXPECT_EQ(logical().height, -20);
  EXPECT_EQ(logical().weight, 400);
  EXPECT_TRUE(logical().italic);
  EXPECT_TRUE(logical().underline);
  EXPECT_EQ(logical().pitchAndFamily, 0x22);
}

TEST_F(CountedSurface, ClipIsStoredTranslatedAndReportedUntranslated) {
  CDrawContext context(nullptr, &device, nullptr);
  context.offset = CViewPoint(5, 7);
  context.setClipRect(CViewRect(0, 0, 10, 10));
  EXPECT_EQ(device.lastClip, CViewRect(5, 7, 15, 17));
  EXPECT_EQ(context.getClipRect(), CViewRect(0, 0, 10, 10));
  context.offset = CViewPoint(0, 0);
  EXPECT_EQ(context.getClipRect(), CViewRect(5, 7, 15, 17));
}

TEST_F(CountedSurface, DestructionPutsTheDeviceObjectsBack) {
  gui::platform::PlatformPen* pen = device.getCurrentPen();
  gui::platform::PlatformBrush* brush = device.getCurrentBrush();
  gui::platform::PlatformFont* font = device.getCurrentFont();
  {
    CDrawContext context(nullptr, &device, nullptr);
    context.setLineColor(CRgbColor(1, 1, 1));
    EXPECT_NE(device.getCurrentPen(), pen);
  }
  EXPECT_EQ(device.getCurrentPen(), pen);
  EXPECT_EQ(device.getCurrentBrush(), brush);
  EXPECT_EQ(device.getCurrentFont(), font);
}

struct AlignmentCase {
  int32_t align;
  uint32_t flag;
  int32_t left;
};

TEST_F(CountedSurface, TextAlignmentFlagsAndTheOnePixelInset) {
  const AlignmentCase cases[] = {{gui::kLeftText, gui::platform::kTextLeft, 1},
                                 {gui::kCenterText, gui::platform::kTextCenter, 0},
                                 {gui::kRightText, gui::platform::kTextRight, 0},
                                 {5, gui::platform::kTextLeft, 1}};
  CDrawContext context(nullptr, &device, nullptr);
  for (const AlignmentCase& c : cases) {
    context.drawString("Ab", CViewRect(0, 0, 50, 12), 0, c.align);
    EXPECT_EQ(device.lastTextRect, CViewRect(c.left, 0, 50, 12)) << c.align;
    EXPECT_EQ(device.lastTextFlags & 0x3u, c.flag);
    EXPECT_EQ(device.lastTextFlags & ~0x3u, gui::platform::kTextSingleLine |
                                                gui::platform::kTextVerticalCenter |
                                                gui::platform::kTextNoPrefix);
  }
}

TEST_F(CountedSurface, EmptyTextDrawsNothing) {
  CDrawContext context(nullptr, &device, nullptr);
  device.reset();
  context.drawString("", CViewRect(0, 0, 50, 12));
  context.drawString(nullptr, CViewRect(0, 0, 50, 12));
  EXPECT_EQ(device.total(), 0);
}

TEST_F(CountedSurface, OpaqueTextFillsItsCellAndReturnsToTransparent) {
  CDrawContext context(nullptr, &device, nullptr);
  context.setFillColor(CRgbColor(0, 0, 200));
  context.drawString("x", CViewRect(20, 0, 60, 30), 1, gui::kCenterText);
  EXPECT_EQ(device.lastBackgroundMode, gui::platform::kBackgroundTransparent);
  const CViewRect cell = paintedBounds(CViewRect(0, 0, 120, 40));
  // The cell is the text's width and the font's height, centred both ways in the rectangle.
  EXPECT_EQ(surface->pixel(cell.left, cell.top), gui::platform::makeColor(0, 0, 200));
  EXPECT_NEAR((cell.left + cell.right) / 2.0, 40.0, 1.0);
  EXPECT_NEAR((cell.top + cell.bottom) / 2.0, 15.0, 1.0);
}

TEST_F(CountedSurface, TextLandsWhereTheAlignmentSays) {
  CDrawContext context(nullptr, &device, nullptr);
  context.setFont(3);
  context.drawString("MM", CViewRect(0, 0, 50, 20), 0, gui::kLeftText);
  const CViewRect left = paintedBounds(CViewRect(0, 0, 50, 20));
  ASSERT_LT(left.left, left.right) << "no text drawn (is fontconfig finding a face?)";
  EXPECT_GE(left.left, 1);
  EXPECT_LE(left.left, 3);
  context.drawString("MM", CViewRect(60, 0, 120, 20), 0, gui::kRightText);
  const CViewRect right = paintedBounds(CViewRect(60, 0, 120, 20));
  EXPECT_LE(right.right, 120);
  EXPECT_GE(right.right, 117);
  // Vertically centred: the glyphs sit around the middle of the 20-pixel rectangle.
  EXPECT_NEAR((left.top + left.bottom) / 2.0, 10.0, 2.5);
}

TEST_F(CountedSurface, TextIsClippedToItsRectangle) {
  CDrawContext context(nullptr, &device, nullptr);
  context.setFont(1);
  context.drawString("WWWWWWWW", CViewRect(10, 10, 30, 20), 0, gui::kLeftText);
  const CViewRect painted = paintedBounds(CViewRect(0, 0, 120, 40));
  EXPECT_GE(painted.left, 10);
  EXPECT_LE(painted.right, 30);
  EXPECT_GE(painted.top, 10);
  EXPECT_LE(painted.bottom, 20);
}

TEST_F(CountedSurface, EveryFontOfTheTableFindsAFaceAndDraws) {
  CDrawContext context(nullptr, &device, nullptr);
  for (int32_t id = 0; id < 8; ++id) {
    context.setFont(id, 0, id == 3 ? gui::kItalicFace : 0);
    context.setFillColor(CRgbColor(48, 32, 16));
    context.drawRect(CViewRect(0, 0, 120, 40), gui::kDrawFilled);  // back to the background
    context.drawString("abc", CViewRect(0, 0, 120, 40), 0, gui::kLeftText);
    const CViewRect painted = paintedBounds(CViewRect(0, 0, 120, 40));
    EXPECT_LT(painted.left, painted.right) << "font " << id;
  }
}

TEST_F(CountedSurface, ADottedPenDrawsThreeOnThreeOff) {
  CDrawContext context(nullptr, &device, nullptr);
  context.setLineStyle(gui::kLineDotted);
  context.moveTo(CViewPoint(0, 5));
  context.lineTo(CViewPoint(12, 5));
  std::string pattern;
  for (int x = 0; x < 13; ++x) pattern += surface->pixel(x, 5) == kBackground ? '.' : '#';
  EXPECT_EQ(pattern, "###...###....");
}

TEST_F(CountedSurface, AWidePenCoversItsWidth) {
  CDrawContext context(nullptr, &device, nullptr);
  context.setLineWidth(5);
  context.moveTo(CViewPoint(10, 20));
  context.lineTo(CViewPoint(40, 20));
  EXPECT_NE(surface->pixel(25, 18), kBackground);
  EXPECT_NE(surface->pixel(25, 22), kBackground);
  EXPECT_EQ(surface->pixel(25, 24), kBackground);
}

TEST(DrawContextWithoutDevice, DrawsNothingAndStillReportsTheMouse) {
  CDrawContext context(nullptr, nullptr, nullptr);
  context.setLineColor(CRgbColor(1, 2, 3));
  context.setFillColor(CRgbColor(1, 2, 3));
  context.setFont(4, 0, 0);
  context.setClipRect(CViewRect(0, 0, 5, 5));
  context.moveTo(CViewPoint(0, 0));
  context.lineTo(CViewPoint(10, 10));
  context.drawRect(CViewRect(0, 0, 10, 10), gui::kDrawFilledAndStroked);
  context.fillRect(CViewRect(0, 0, 10, 10));
  context.drawPoint(CViewPoint(1, 1), CRgbColor(1, 1, 1));
  context.drawString("text", CViewRect(0, 0, 10, 10));
  EXPECT_EQ(context.getLineColor(), CRgbColor(1, 2, 3));
  gui::raster::RasterInput::setCursor(CViewPoint(33, 44));
  context.offset = CViewPoint(100, 100);  // not applied to the mouse
  CViewPoint where;
  context.getMouseLocation(where);
  EXPECT_EQ(where, CViewPoint(33, 44));
  context.windowOrigin = CViewPoint(30, 40);
  context.getMouseLocation(where);
  EXPECT_EQ(where, CViewPoint(3, 4));
  gui::raster::RasterInput::reset();
}

TEST(DrawContextAbsurdCoordinates, DrawNothingOutsideAndDoNotHang) {
  auto surface = pixelcases::seamSurfaceFactory()(10, 10, kBackground);
  CDrawContext context(nullptr, surface->device(), nullptr);
  context.offset = CViewPoint(INT_MAX - 5, INT_MIN + 5);
  context.fillRect(CViewRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  context.moveTo(CViewPoint(INT_MIN, 0));
  context.lineTo(CViewPoint(INT_MAX, 0));
  context.offset = CViewPoint(0, 0);
  context.moveTo(CViewPoint(-2000000000, 3));
  context.lineTo(CViewPoint(2000000000, 3));
  // The saturated fill covers [-5, max) x [min + 1, 4): rows 0 to 3, in black.
  EXPECT_EQ(surface->pixel(0, 0), 0u);
  EXPECT_EQ(surface->pixel(9, 3), gui::platform::makeColor(255, 255, 255));  // the line
  EXPECT_EQ(surface->pixel(0, 8), kBackground);
}

// --- Off-screen contexts ---------------------------------------------------------------------

int registerSolidPng(int id, CRgbColor color, int width, int height) {
  static std::vector<uint8_t> storage[8];
  std::vector<uint8_t>& bytes = storage[id % 8];
  bytes = testpng::solid(width, height, {color.red, color.green, color.blue, 255},
                         testpng::ColorType::rgb);
  gui::platform::overrideLibraryResource(id, bytes.data(), bytes.size());
  return id;
}

TEST(OffscreenContext, FromABitmapHoldsACopyOfIt) {
  auto* bitmap = new gui::CBitmap(registerSolidPng(960, CRgbColor(0, 101, 0), 124, 124));
  {
    COffscreenContext image(nullptr, bitmap, false);
    EXPECT_EQ(image.getWidth(), 124);
    EXPECT_EQ(image.getHeight(), 124);
    EXPECT_EQ(image.getDevice()->getPixel(5, 5), gui::platform::makeColor(0, 100, 0));
    image.drawPoint(CViewPoint(5, 5), CRgbColor(255, 0, 0));
    EXPECT_EQ(image.getDevice()->getPixel(5, 5), gui::platform::makeColor(255, 0, 0));
  }
  EXPECT_EQ(gui::platform::imagePixelRow(bitmap->getHandle(), 5)[5 * 4 + 2], 0);  // untouched
  bitmap->dropReference();
}

TEST(OffscreenContext, DrawingInTheBitmapChangesTheBitmap) {
  auto* bitmap = new gui::CBitmap(registerSolidPng(961, CRgbColor(0, 101, 0), 8, 8));
  {
    COffscreenContext image(nullptr, bitmap, true);
    image.drawPoint(CViewPoint(2, 3), CRgbColor(255, 0, 0));
  }
  const uint8_t* pixel = gui::platform::imagePixelRow(bitmap->getHandle(), 3) + 2 * 4;
  EXPECT_EQ(pixel[2], 255);
  EXPECT_EQ(pixel[1], 0);
  bitmap->dropReference();
}

// As under GDI: an image compatible with a new memory device (which holds a monochrome 1 x 1
// image) is monochrome; one compatible with the screen, or with a memory device holding a colour
// image, is in colour. Off-screen contexts therefore take their images from a colour reference.
TEST(OffscreenContext, ACompatibleImageTakesItsReferencesFormat) {
  gui::platform::PlatformDevice* memory = gui::platform::createCompatibleDevice(nullptr);
  gui::platform::PlatformImage* fromNewMemory = gui::platform::createCompatibleImage(memory, 4, 4);
  gui::platform::PlatformImage* fromScreen = gui::platform::createCompatibleImage(nullptr, 4, 4);
  EXPECT_TRUE(fromNewMemory->monochrome);
  EXPECT_FALSE(fromScreen->monochrome);
  gui::platform::PlatformImage* stock = memory->selectImage(fromScreen);
  gui::platform::PlatformImage* fromColourMemory =
      gui::platform::createCompatibleImage(memory, 4, 4);
  EXPECT_FALSE(fromColourMemory->monochrome);
  memory->selectImage(stock);
  for (auto* image : {fromNewMemory, fromScreen, fromColourMemory})
    gui::platform::deleteObject(image);
  gui::platform::deleteDevice(memory);
  COffscreenContext offscreen(nullptr, nullptr, false);
  EXPECT_FALSE(offscreen.getImage()->monochrome);
}

TEST(OffscreenContext, WithoutABitmapIsTwentyPixelsOfBlack) {
  COffscreenContext image(nullptr, nullptr, false);
  EXPECT_EQ(image.getWidth(), 20);
  EXPECT_EQ(image.getHeight(), 20);
  // fillRect leaves the left column and top row to the image's initial black as well.
  EXPECT_EQ(image.getDevice()->getPixel(19, 19), 0u);
}

TEST(OffscreenContext, TheSizeConstructorFillsEveryPixelWithTheColour) {
  COffscreenContext image(nullptr, 30, 10, CRgbColor(10, 20, 30));
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 30; ++x) {
      ASSERT_EQ(image.getDevice()->getPixel(x, y), gui::platform::makeColor(10, 20, 30));
    }
  }
}

TEST(OffscreenContext, ItsDeviceTakesTheContextAttributesAtOnce) {
  // The back buffer's requests for black (the stored fill colour) and for font 0 (the stored
  // font) must reach its memory device although the setters skip them as unchanged.
  COffscreenContext image(nullptr, 60, 20, kBlack);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) image.drawPoint(CViewPoint(x, y), kWhite);
  }
  image.setFillColor(kBlack);
  image.setFont(0, 0, 0);
  image.setFontColor(CRgbColor(255, 0, 0));
  image.drawString("Hi", CViewRect(0, 0, 60, 20), 1, gui::kCenterText);
  int black = 0;
  int red = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) {
      const PlatformColor pixel = image.getDevice()->getPixel(x, y);
      black += pixel == 0 ? 1 : 0;
      red += gui::platform::redOf(pixel) > 128 && gui::platform::greenOf(pixel) < 64 ? 1 : 0;
    }
  }
  EXPECT_GT(black, 10);  // the opaque cell in the adopted background colour
  EXPECT_GT(red, 5);     // glyphs of the adopted font
}

TEST(OffscreenContext, AFailedImageLeavesASizeZeroSurface) {
  auto target = pixelcases::seamSurfaceFactory()(10, 10, kBackground);
  CDrawContext screen(nullptr, target->device(), nullptr);
  for (const CViewPoint size : {CViewPoint(100000, 100000), CViewPoint(-5, 10), CViewPoint(0, 0)}) {
    COffscreenContext image(nullptr, size.x, size.y, CRgbColor(1, 2, 3));
    EXPECT_EQ(image.getWidth(), 0);
    EXPECT_EQ(image.getHeight(), 0);
    EXPECT_EQ(image.getImage(), nullptr);
    image.fillRect(CViewRect(0, 0, 5, 5));
    image.copyTo(&screen, CViewRect(0, 0, 10, 10));
    image.copyFrom(&screen, CViewRect(0, 0, 10, 10));
  }
  EXPECT_EQ(target->pixel(5, 5), kBackground);
}

TEST(OffscreenContext, CopyToAtTheTargetOffset) {
  auto target = pixelcases::seamSurfaceFactory()(330, 150, kBackground);
  CDrawContext screen(nullptr, target->device(), nullptr);
  screen.offset = CViewPoint(200, 20);
  COffscreenContext image(nullptr, 124, 124, CRgbColor(0, 255, 0));
  image.copyTo(&screen, CViewRect(0, 0, 124, 124), CViewPoint(0, 0));
  const PlatformColor green = gui::platform::makeColor(0, 255, 0);
  EXPECT_EQ(target->pixel(200, 20), green);
  EXPECT_EQ(target->pixel(323, 143), green);
  EXPECT_EQ(target->pixel(199, 20), kBackground);
  EXPECT_EQ(target->pixel(324, 143), kBackground);
  EXPECT_EQ(target->pixel(200, 144), kBackground);
  EXPECT_EQ(target->pixel(200, 19), kBackground);
}

TEST(OffscreenContext, CopiesWithNegativeSizesOrNoTargetDoNothing) {
  auto target = pixelcases::seamSurfaceFactory()(20, 20, kBackground);
  CDrawContext screen(nullptr, target->device(), nullptr);
  COffscreenContext image(nullptr, 10, 10, CRgbColor(0, 255, 0));
  image.copyTo(&screen, CViewRect(10, 10, 0, 0));
  image.copyTo(nullptr, CViewRect(0, 0, 10, 10));
  CDrawContext empty(nullptr, nullptr, nullptr);
  image.copyTo(&empty, CViewRect(0, 0, 10, 10));
  image.copyFrom(&empty, CViewRect(0, 0, 10, 10));
  EXPECT_EQ(target->pixel(5, 5), kBackground);
}

}  // namespace
