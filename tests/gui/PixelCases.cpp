#include "tests/gui/PixelCases.h"

#include <cstdio>
#include <map>

#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"
#include "gui/PlatformState.h"
#include "tests/gui/PngEncoder.h"

namespace pixelcases {

using gui::CBitmap;
using gui::CDrawContext;
using gui::COffscreenContext;
using gui::CRgbColor;
using gui::CViewPoint;
using gui::CViewRect;
using gui::platform::makeColor;

namespace {

const CRgbColor kFill(200, 10, 20);
const CRgbColor kLine(10, 200, 30);
const CRgbColor kOther(60, 70, 230);

PlatformColor color(const CRgbColor& c) { return c.toPlatform(); }

class SeamSurface : public TestSurface {
 public:
  SeamSurface(int width, int height, PlatformColor background) : width(width), height(height) {
    surfaceDevice = gui::platform::createCompatibleDevice(nullptr);
    // Compatible with the screen: a new memory device would give a monochrome image.
    image = gui::platform::createCompatibleImage(nullptr, width, height);
    previous = surfaceDevice->selectImage(image);
    gui::platform::PlatformBrush* brush = gui::platform::createSolidBrush(background);
    surfaceDevice->fillRect(CViewRect(0, 0, width, height), brush);
    gui::platform::deleteObject(brush);
  }
  ~SeamSurface() override {
    surfaceDevice->selectImage(previous);
    gui::platform::deleteDevice(surfaceDevice);
    gui::platform::deleteObject(image);
  }
  gui::platform::PlatformDevice* device() override { return surfaceDevice; }
  PlatformColor pixel(int x, int y) override {
    surfaceDevice->selectClipRect(CViewRect(0, 0, width, height));
    return surfaceDevice->getPixel(x, y);
  }

 private:
  int width;
  int height;
  gui::platform::PlatformDevice* surfaceDevice = nullptr;
  gui::platform::PlatformImage* image = nullptr;
  gui::platform::PlatformImage* previous = nullptr;
};

// PNG bytes registered as library resources for the bitmap cases (ids from 900).
int registerPng(int id, std::vector<uint8_t> bytes) {
  static std::map<int, std::vector<uint8_t>> storage;
  storage[id] = std::move(bytes);
  gui::platform::overrideLibraryResource(id, storage[id].data(), storage[id].size());
  return id;
}

// A bitmap of a registered PNG, alive for one case.
struct TestBitmap {
  explicit TestBitmap(int id) : bitmap(new CBitmap(id)) {}
  ~TestBitmap() { bitmap->dropReference(); }
  CBitmap* operator->() const { return bitmap; }
  CBitmap* get() const { return bitmap; }
  CBitmap* bitmap;
};

int opaqueBitmap() {
  return registerPng(900, testpng::solid(4, 4, {200, 100, 50, 255}, testpng::ColorType::rgb));
}

int halfTransparentBitmap() { return registerPng(901, testpng::solid(4, 4, {200, 100, 50, 128})); }

// A film strip of three 4 x 4 frames: red, green, blue.
int filmStrip() {
  testpng::PngRecipe recipe;
  recipe.width = 4;
  recipe.height = 12;
  recipe.colorType = testpng::ColorType::rgb;
  recipe.pixel = [](int, int y) {
    const testpng::Rgba frames[3] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    return frames[y / 4];
  };
  return registerPng(902, testpng::encode(recipe));
}

// Left half white (stored 254, 254, 254), right half blue (stored 0, 0, 254).
int keyedBitmap() {
  testpng::PngRecipe recipe;
  recipe.width = 4;
  recipe.height = 4;
  recipe.colorType = testpng::ColorType::rgb;
  recipe.pixel = [](int x, int) {
    return x < 2 ? testpng::Rgba{255, 255, 255, 255} : testpng::Rgba{0, 0, 255, 255};
  };
  return registerPng(903, testpng::encode(recipe));
}

// Source-over of a premultiplied pixel onto the background, with constant alpha 255.
PlatformColor blendOverBackground(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  auto channel = [alpha](uint8_t source, uint8_t destination) {
    return uint8_t(source + (destination * (255 - alpha) + 127) / 255);
  };
  return makeColor(channel(red, gui::platform::redOf(kBackground)),
                   channel(green, gui::platform::greenOf(kBackground)),
                   channel(blue, gui::platform::blueOf(kBackground)));
}

// An opaque image as the platform's own bitmaps are: no alpha byte. (GDI's colour-to-mask copy
// compares all four bytes of a 32-bit pixel, so a decoded PNG, whose opaque pixels carry alpha
// 255, would key nothing through the mask.)
void clearAlphaBytes(CBitmap* bitmap) {
  for (int32_t row = 0; row < bitmap->getHeight(); ++row) {
    uint8_t* pixel = gui::platform::imagePixelRow(bitmap->getHandle(), row);
    for (int32_t x = 0; pixel != nullptr && x < bitmap->getWidth(); ++x) pixel[x * 4 + 3] = 0;
  }
}

void drawTransparentKeyed(CDrawContext& context, bool useTransparentBlt) {
  gui::ensureImageOperations();
  gui::PlatformState& state = gui::platformState();
  const auto saved = state.transparentBlt;
  if (!useTransparentBlt) state.transparentBlt = nullptr;
  TestBitmap bitmap(keyedBitmap());
  bitmap->setAlphaBlended(false);
  clearAlphaBytes(bitmap.get());
  bitmap->setTransparentColor(CRgbColor(254, 254, 254, 0));
  bitmap->drawTransparent(&context, CViewRect(10, 10, 14, 14), CViewPoint(0, 0));
  state.transparentBlt = saved;
}

std::vector<PixelCase> makeCases() {
  std::vector<PixelCase> cases;
  cases.push_back({"fillRect leaves the left column and the top row",
                   [](CDrawContext& c) {
                     c.setFillColor(kFill);
                     c.fillRect(CViewRect(10, 10, 20, 20));
                   },
                   [](Expected& e) { e.rect(11, 11, 20, 20, color(kFill)); }});
  cases.push_back({"drawRect filled covers the whole half-open rectangle",
                   [](CDrawContext& c) {
                     c.setFillColor(kFill);
                     c.drawRect(CViewRect(10, 10, 20, 20), gui::kDrawFilled);
                   },
                   [](Expected& e) { e.rect(10, 10, 20, 20, color(kFill)); }});
  cases.push_back({"drawRect outline covers exactly the outermost pixels",
                   [](CDrawContext& c) {
                     c.setLineColor(kLine);
                     c.drawRect(CViewRect(10, 10, 20, 20), gui::kDrawStroked);
                   },
                   [](Expected& e) {
                     e.rect(10, 10, 20, 11, color(kLine));
                     e.rect(10, 19, 20, 20, color(kLine));
                     e.rect(10, 10, 11, 20, color(kLine));
                     e.rect(19, 10, 20, 20, color(kLine));
                   }});
  cases.push_back({"drawRect fill and outline: outline over the fill",
                   [](CDrawContext& c) {
                     c.setFillColor(kFill);
                     c.setLineColor(kLine);
                     c.drawRect(CViewRect(5, 5, 9, 8), gui::kDrawFilledAndStroked);
                   },
                   [](Expected& e) {
                     e.rect(5, 5, 9, 8, color(kLine));
                     e.rect(6, 6, 8, 7, color(kFill));
                   }});
  cases.push_back({"a horizontal line leaves out its end point",
                   [](CDrawContext& c) {
                     c.setLineColor(kLine);
                     c.moveTo(CViewPoint(2, 5));
                     c.lineTo(CViewPoint(12, 5));
                   },
                   [](Expected& e) { e.rect(2, 5, 12, 6, color(kLine)); }});
  cases.push_back({"a line drawn right to left leaves out its end point",
                   [](CDrawContext& c) {
                     c.setLineColor(kLine);
                     c.moveTo(CViewPoint(12, 7));
                     c.lineTo(CViewPoint(2, 7));
                   },
                   [](Expected& e) { e.rect(3, 7, 13, 8, color(kLine)); }});
  cases.push_back({"a vertical line leaves out its end point",
                   [](CDrawContext& c) {
                     c.setLineColor(kLine);
                     c.moveTo(CViewPoint(5, 2));
                     c.lineTo(CViewPoint(5, 12));
                   },
                   [](Expected& e) { e.rect(5, 2, 6, 12, color(kLine)); }});
  cases.push_back({"a diagonal line covers one pixel per step without its end",
                   [](CDrawContext& c) {
                     c.setLineColor(kLine);
                     c.moveTo(CViewPoint(2, 2));
                     c.lineTo(CViewPoint(8, 8));
                   },
                   [](Expected& e) {
                     for (int i = 2; i < 8; ++i) e.pixel(i, i, color(kLine));
                   }});
  cases.push_back({"joined lines cover each corner once",
                   [](CDrawContext& c) {
                     c.setLineColor(kLine);
                     c.moveTo(CViewPoint(3, 3));
                     c.lineTo(CViewPoint(9, 3));
                     c.lineTo(CViewPoint(9, 9));
                   },
                   [](Expected& e) {
                     e.rect(3, 3, 9, 4, color(kLine));
                     e.rect(9, 3, 10, 9, color(kLine));
                   }});
  cases.push_back({"a point goes to its position plus the offset",
                   [](CDrawContext& c) {
                     c.offset = CViewPoint(5, 7);
                     c.drawPoint(CViewPoint(0, 0), kOther);
                     c.drawPoint(CViewPoint(3, 1), kOther);
                   },
                   [](Expected& e) {
                     e.pixel(5, 7, color(kOther));
                     e.pixel(8, 8, color(kOther));
                   }});
  cases.push_back({"the clip rectangle is translated by the offset",
                   [](CDrawContext& c) {
                     c.offset = CViewPoint(5, 7);
                     c.setClipRect(CViewRect(0, 0, 10, 10));
                     c.setFillColor(kFill);
                     c.fillRect(CViewRect(-5, -5, 50, 50));
                   },
                   [](Expected& e) { e.rect(5, 7, 15, 17, color(kFill)); }});
  cases.push_back({"lines are clipped like fills",
                   [](CDrawContext& c) {
                     c.setClipRect(CViewRect(4, 0, 8, 30));
                     c.setLineColor(kLine);
                     c.moveTo(CViewPoint(0, 3));
                     c.lineTo(CViewPoint(20, 3));
                   },
                   [](Expected& e) { e.rect(4, 3, 8, 4, color(kLine)); }});
  cases.push_back({"drawing partly outside the surface draws what lies inside",
                   [](CDrawContext& c) {
                     c.setFillColor(kFill);
                     c.fillRect(CViewRect(30, 20, 60, 60));
                     c.drawRect(CViewRect(-5, -5, 5, 5), gui::kDrawFilled);
                     c.setLineColor(kLine);
                     c.moveTo(CViewPoint(-10, 15));
                     c.lineTo(CViewPoint(3, 15));
                   },
                   [](Expected& e) {
                     e.rect(31, 21, 40, 30, color(kFill));
                     e.rect(0, 0, 5, 5, color(kFill));
                     e.rect(0, 15, 3, 16, color(kLine));
                   }});
  cases.push_back({"drawing wholly outside the surface draws nothing",
                   [](CDrawContext& c) {
                     c.setFillColor(kFill);
                     c.fillRect(CViewRect(50, 50, 60, 60));
                     c.drawRect(CViewRect(-20, -20, -10, -10), gui::kDrawFilledAndStroked);
                     c.drawPoint(CViewPoint(-1, -1), kOther);
                     c.drawPoint(CViewPoint(kWidth, kHeight), kOther);
                     c.setLineColor(kLine);
                     c.moveTo(CViewPoint(-5, -5));
                     c.lineTo(CViewPoint(-5, 50));
                   },
                   [](Expected&) {}});
  cases.push_back({"an inverted rectangle draws nothing",
                   [](CDrawContext& c) {
                     c.setFillColor(kFill);
                     c.setLineColor(kLine);
                     c.fillRect(CViewRect(20, 20, 10, 10));
                     c.drawRect(CViewRect(20, 20, 10, 10), gui::kDrawFilledAndStroked);
                     c.drawRect(CViewRect(5, 5, 5, 15), gui::kDrawFilledAndStroked);
                   },
                   [](Expected&) {}});
  cases.push_back(
      {"xor mode inverts the exclusive or of pen and destination",
       [](CDrawContext& c) {
         c.setLineColor(kLine);
         c.setDrawMode(gui::kXorMode);
         c.moveTo(CViewPoint(1, 1));
         c.lineTo(CViewPoint(6, 1));
       },
       [](Expected& e) { e.rect(1, 1, 6, 2, ~(kBackground ^ color(kLine)) & 0xFFFFFF); }});
  cases.push_back({"or mode merges pen and destination",
                   [](CDrawContext& c) {
                     c.setLineColor(kLine);
                     c.setDrawMode(gui::kOrMode);
                     c.moveTo(CViewPoint(1, 1));
                     c.lineTo(CViewPoint(6, 1));
                   },
                   [](Expected& e) { e.rect(1, 1, 6, 2, kBackground | color(kLine)); }});
  cases.push_back({"copyTo puts the block at the destination plus the target's offset",
                   [](CDrawContext& c) {
                     COffscreenContext image(nullptr, 6, 4, kFill);
                     image.drawPoint(CViewPoint(1, 2), kOther);
                     c.offset = CViewPoint(3, 2);
                     image.copyTo(&c, CViewRect(1, 1, 7, 5), CViewPoint(0, 0));
                   },
                   [](Expected& e) {
                     e.rect(4, 3, 10, 7, color(kFill));
                     e.pixel(5, 5, color(kOther));
                   }});
  cases.push_back({"copyTo takes the block from the source point, not translated",
                   [](CDrawContext& c) {
                     COffscreenContext image(nullptr, 6, 4, kFill);
                     image.drawPoint(CViewPoint(4, 3), kOther);
                     image.offset = CViewPoint(100, 100);
                     image.copyTo(&c, CViewRect(10, 10, 12, 11), CViewPoint(3, 3));
                   },
                   [](Expected& e) {
                     e.pixel(10, 10, color(kFill));
                     e.pixel(11, 10, color(kOther));
                   }});
  cases.push_back({"copyFrom reads the source rectangle plus the source's offset",
                   [](CDrawContext& c) {
                     c.drawPoint(CViewPoint(6, 4), kOther);
                     c.offset = CViewPoint(2, 1);
                     COffscreenContext image(nullptr, 5, 5, kFill);
                     image.copyFrom(&c, CViewRect(3, 2, 5, 4), CViewPoint(1, 1));
                     c.offset = CViewPoint(0, 0);
                     image.copyTo(&c, CViewRect(20, 20, 25, 25), CViewPoint(0, 0));
                   },
                   [](Expected& e) {
                     e.pixel(6, 4, color(kOther));
                     e.rect(20, 20, 25, 25, color(kFill));
                     e.rect(21, 21, 23, 23, kBackground);
                     e.pixel(22, 22, color(kOther));
                   }});
  cases.push_back({"an opaque image blended at 255 copies its stored pixels (v - 1)",
                   [](CDrawContext& c) {
                     TestBitmap bitmap(opaqueBitmap());
                     bitmap->draw(&c, CViewRect(5, 5, 9, 9), CViewPoint(0, 0));
                   },
                   [](Expected& e) { e.rect(5, 5, 9, 9, makeColor(199, 99, 49)); }});
  cases.push_back({"a blend with alpha 0 leaves the destination unchanged",
                   [](CDrawContext& c) {
                     TestBitmap bitmap(opaqueBitmap());
                     bitmap->drawAlphaBlend(&c, CViewRect(5, 5, 9, 9), CViewPoint(0, 0), 0);
                   },
                   [](Expected&) {}});
  cases.push_back({"a half-transparent pixel is blended source-over",
                   [](CDrawContext& c) {
                     TestBitmap bitmap(halfTransparentBitmap());
                     bitmap->draw(&c, CViewRect(5, 5, 9, 9), CViewPoint(0, 0));
                   },
                   [](Expected& e) { e.rect(5, 5, 9, 9, blendOverBackground(100, 50, 25, 128)); }});
  cases.push_back({"a film strip draws the frame at the source point",
                   [](CDrawContext& c) {
                     TestBitmap strip(filmStrip());
                     strip->draw(&c, CViewRect(10, 10, 14, 14), CViewPoint(0, 4));
                   },
                   [](Expected& e) { e.rect(10, 10, 14, 14, makeColor(0, 254, 0)); }});
  cases.push_back({"a bitmap lands at its rectangle plus the context's offset",
                   [](CDrawContext& c) {
                     TestBitmap strip(filmStrip());
                     c.offset = CViewPoint(3, 4);
                     strip->draw(&c, CViewRect(0, 0, 4, 4), CViewPoint(0, 8));
                   },
                   [](Expected& e) { e.rect(3, 4, 7, 8, makeColor(0, 0, 254)); }});
  cases.push_back({"a blend whose source block leaves the image draws nothing",
                   [](CDrawContext& c) {
                     TestBitmap strip(filmStrip());
                     strip->draw(&c, CViewRect(10, 10, 14, 14), CViewPoint(0, 10));
                   },
                   [](Expected&) {}});
  cases.push_back({"an opaque copy from a source point partly outside copies what lies inside",
                   [](CDrawContext& c) {
                     TestBitmap bitmap(opaqueBitmap());
                     bitmap->setAlphaBlended(false);
                     bitmap->draw(&c, CViewRect(10, 10, 14, 14), CViewPoint(2, 2));
                     bitmap->draw(&c, CViewRect(20, 10, 24, 14), CViewPoint(-3, 0));
                   },
                   [](Expected& e) {
                     e.rect(10, 10, 12, 12, makeColor(199, 99, 49));
                     e.rect(23, 10, 24, 14, makeColor(199, 99, 49));
                   }});
  cases.push_back({"drawTransparent with TransparentBlt leaves out the key colour",
                   [](CDrawContext& c) { drawTransparentKeyed(c, true); },
                   [](Expected& e) { e.rect(12, 10, 14, 14, makeColor(0, 0, 254)); }});
  cases.push_back({"drawTransparent through the mask leaves out the key colour",
                   [](CDrawContext& c) { drawTransparentKeyed(c, false); },
                   [](Expected& e) { e.rect(12, 10, 14, 14, makeColor(0, 0, 254)); }});
  return cases;
}

}  // namespace

DeviceFactory seamSurfaceFactory() {
  return [](int width, int height, PlatformColor background) -> std::unique_ptr<TestSurface> {
    return std::make_unique<SeamSurface>(width, height, background);
  };
}

Expected::Expected(int width, int height, PlatformColor background)
    : width_(width), height_(height), pixels(size_t(width) * height, background) {}

void Expected::rect(int left, int top, int right, int bottom, PlatformColor value) {
  for (int y = std::max(0, top); y < std::min(height_, bottom); ++y) {
    for (int x = std::max(0, left); x < std::min(width_, right); ++x) pixel(x, y, value);
  }
}

void Expected::pixel(int x, int y, PlatformColor value) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels[size_t(y) * width_ + x] = value;
}

PlatformColor Expected::at(int x, int y) const { return pixels[size_t(y) * width_ + x]; }

const std::vector<PixelCase>& pixelCases() {
  static const std::vector<PixelCase> cases = makeCases();
  return cases;
}

std::vector<std::string> runPixelCase(const PixelCase& pixelCase, const DeviceFactory& factory) {
  std::unique_ptr<TestSurface> surface = factory(kWidth, kHeight, kBackground);
  {
    CDrawContext context(nullptr, surface->device(), nullptr);
    pixelCase.draw(context);
  }
  Expected expected(kWidth, kHeight, kBackground);
  pixelCase.expect(expected);
  std::vector<std::string> mismatches;
  int count = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const PlatformColor actual = surface->pixel(x, y);
      if (actual == expected.at(x, y)) continue;
      if (++count <= 8) {
        char line[96];
        std::snprintf(line, sizeof(line), "(%d, %d): expected %06X, got %06X", x, y,
                      unsigned(expected.at(x, y)), unsigned(actual));
        mismatches.push_back(line);
      }
    }
  }
  if (count > 8) mismatches.push_back(std::to_string(count) + " pixels differ in all");
  return mismatches;
}

std::vector<BitmapValueCase> bitmapValueCases() {
  using testpng::ColorType;
  using testpng::PngRecipe;
  using testpng::Rgba;
  std::vector<BitmapValueCase> cases;
  cases.push_back({"an opaque RGBA pixel keeps v - 1 in each channel",
                   testpng::solid(2, 2, {200, 100, 50, 255}), 1, 1, 49, 99, 199, 255});
  cases.push_back({"a half-transparent pixel is premultiplied with a shift of 8",
                   testpng::solid(2, 2, {200, 100, 50, 128}), 0, 0, 25, 50, 100, 128});
  cases.push_back({"a fully transparent pixel reads back as four zero bytes",
                   testpng::solid(2, 2, {200, 100, 50, 0}), 0, 1, 0, 0, 0, 0});
  cases.push_back({"an RGB pixel without tRNS gets alpha 255",
                   testpng::solid(2, 2, {255, 1, 128, 0}, ColorType::rgb), 1, 0, 127, 0, 254, 255});
  PngRecipe grey;
  grey.width = 2;
  grey.height = 2;
  grey.colorType = ColorType::grey;
  grey.pixel = [](int, int) { return Rgba{100, 0, 0, 255}; };
  cases.push_back(
      {"a grey pixel becomes three equal channels", testpng::encode(grey), 0, 0, 99, 99, 99, 255});
  PngRecipe greyAlpha = grey;
  greyAlpha.colorType = ColorType::greyAlpha;
  greyAlpha.pixel = [](int, int) { return Rgba{200, 0, 0, 64}; };
  cases.push_back({"a grey pixel with alpha is premultiplied", testpng::encode(greyAlpha), 1, 1, 50,
                   50, 50, 64});
  PngRecipe lowGrey = grey;
  lowGrey.bitDepth = 2;
  lowGrey.pixel = [](int x, int) { return Rgba{uint8_t(x == 0 ? 0x40 : 0xC0), 0, 0, 255}; };
  cases.push_back(
      {"a 2-bit grey pixel is widened to 8 bits", testpng::encode(lowGrey), 0, 0, 84, 84, 84, 255});
  PngRecipe wide;
  wide.width = 2;
  wide.height = 2;
  wide.bitDepth = 16;
  wide.pixel = [](int, int) { return Rgba{200, 100, 50, 255}; };
  cases.push_back(
      {"a 16-bit pixel keeps its high byte", testpng::encode(wide), 0, 0, 49, 99, 199, 255});
  PngRecipe palette;
  palette.width = 2;
  palette.height = 1;
  palette.colorType = ColorType::palette;
  palette.palette = {{10, 20, 30, 255}, {200, 100, 50, 255}};
  palette.pixel = [](int x, int) { return Rgba{uint8_t(x), 0, 0, 255}; };
  cases.push_back({"a palette pixel takes its palette colour", testpng::encode(palette), 1, 0, 49,
                   99, 199, 255});
  PngRecipe paletteAlpha = palette;
  paletteAlpha.paletteAlpha = {255, 128};
  cases.push_back({"a palette with tRNS gives the pixel its alpha", testpng::encode(paletteAlpha),
                   1, 0, 25, 50, 100, 128});
  PngRecipe keyed;
  keyed.width = 2;
  keyed.height = 1;
  keyed.colorType = ColorType::rgb;
  keyed.rgbTransparent = true;
  keyed.rgbTransparentValue = {1, 2, 3, 255};
  keyed.pixel = [](int x, int) { return x == 0 ? Rgba{1, 2, 3, 255} : Rgba{4, 5, 6, 255}; };
  cases.push_back({"an RGB pixel matching the tRNS colour becomes transparent",
                   testpng::encode(keyed), 0, 0, 0, 0, 0, 0});
  PngRecipe interlaced;
  interlaced.width = 9;
  interlaced.height = 9;
  interlaced.interlaced = true;
  interlaced.pixel = [](int x, int y) { return Rgba{uint8_t(x * 20), uint8_t(y * 20), 7, 255}; };
  cases.push_back({"an interlaced image is assembled from all its passes",
                   testpng::encode(interlaced), 5, 6, 6, 119, 99, 255});
  return cases;
}

}  // namespace pixelcases
