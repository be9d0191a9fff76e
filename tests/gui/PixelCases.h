#pragma once

// The pixel cases of the drawing contexts and bitmaps, as one table that runs against any
// backend: a case draws through the platform-free toolkit (CDrawContext, COffscreenContext,
// CBitmap) onto a surface that a factory makes, and every pixel of the surface is compared with
// what the case expects. The raster backend runs it natively; the Win32 backend runs the same
// table under Wine with its own factory (or with seamSurfaceFactory, which uses only the seam).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/CDrawContext.h"
#include "gui/platform/Platform.h"

namespace pixelcases {

using gui::platform::PlatformColor;

constexpr int kWidth = 40;
constexpr int kHeight = 30;
constexpr PlatformColor kBackground = gui::platform::makeColor(48, 32, 16);

// A surface of a backend: a drawing device whose pixels can be read back.
class TestSurface {
 public:
  virtual ~TestSurface() = default;
  virtual gui::platform::PlatformDevice* device() = 0;
  // The pixel at (x, y) as the platform colour, whatever clip the drawing left selected.
  virtual PlatformColor pixel(int x, int y) = 0;
};

// Makes a width x height surface filled with `background`.
using DeviceFactory =
    std::function<std::unique_ptr<TestSurface>(int width, int height, PlatformColor background)>;

// A factory that uses nothing but the seam (a memory device with a compatible image).
DeviceFactory seamSurfaceFactory();

// The colours a case expects, pixel by pixel.
class Expected {
 public:
  Expected(int width, int height, PlatformColor background);
  void rect(int left, int top, int right, int bottom, PlatformColor color);  // half-open
  void pixel(int x, int y, PlatformColor color);
  PlatformColor at(int x, int y) const;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  std::vector<PlatformColor> pixels;
};

struct PixelCase {
  const char* name;
  std::function<void(gui::CDrawContext& context)> draw;
  std::function<void(Expected& expected)> expect;
};

const std::vector<PixelCase>& pixelCases();

// Draws the case on a fresh surface and answers the mismatching pixels (at most a few, then a
// count); empty when the surface is exactly as expected.
std::vector<std::string> runPixelCase(const PixelCase& pixelCase, const DeviceFactory& factory);

// Decoded pixel values: a PNG pixel in, the stored blue, green, red, alpha bytes out.
struct BitmapValueCase {
  const char* name;
  std::vector<uint8_t> png;
  int x, y;
  uint8_t blue, green, red, alpha;
};

std::vector<BitmapValueCase> bitmapValueCases();

}  // namespace pixelcases
