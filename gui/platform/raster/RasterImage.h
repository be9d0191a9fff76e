#pragma once

#include <cstdint>

#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace platform {

// The raster backend's platform image: a 32-bit image (blue, green, red, alpha bytes per pixel,
// rows top-down in memory) or a monochrome mask (one byte of 0 or 1 per pixel). Drawing
// primitives write opaque pixels (alpha 255); block copies and blends carry alpha as they go.
struct PlatformImage {
  int32_t width = 0;
  int32_t height = 0;
  bool monochrome = false;
  bool dibSection = false;     // made by createImage: its rows are handed out by imagePixelRow
  uint8_t* pixels = nullptr;   // owned; width * bytesPerPixel() bytes per row
  int32_t selections = 0;      // memory devices holding the image
  bool deletePending = false;  // deleted while selected: freed when the last device lets go
  bool stock = false;          // the 1 x 1 image of a new memory device; never freed
  int32_t bytesPerPixel() const { return monochrome ? 1 : 4; }
  uint8_t* row(int32_t y) const {
    return pixels + static_cast<intptr_t>(y) * width * bytesPerPixel();
  }
  // The pixel as 0xAARRGGBB (monochrome: 0 or 0xFFFFFFFF).
  uint32_t argbAt(int32_t x, int32_t y) const;
  // The pixel as the platform colour (red + green*256 + blue*65536), alpha dropped.
  PlatformColor colorAt(int32_t x, int32_t y) const;
  bool contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

}  // namespace platform

namespace raster {

// Limits on one image: a request beyond them fails like an allocation failure (size 0), so that
// a corrupt header or an absurd size never asks for gigabytes.
constexpr int32_t kMaximumImageSide = 16384;
constexpr int64_t kMaximumImagePixels = int64_t(1) << 24;

// A copy of an image that the caller owns (screenshots of headless windows).
class RasterImageCopy {
 public:
  RasterImageCopy() = default;
  explicit RasterImageCopy(const platform::PlatformImage& image);
  RasterImageCopy(const RasterImageCopy& other);
  RasterImageCopy& operator=(const RasterImageCopy& other);
  ~RasterImageCopy();
  const platform::PlatformImage& image() const { return copy; }
  platform::PlatformImage& image() { return copy; }
  int32_t getWidth() const { return copy.width; }
  int32_t getHeight() const { return copy.height; }
  platform::PlatformColor colorAt(int32_t x, int32_t y) const { return copy.colorAt(x, y); }

 private:
  platform::PlatformImage copy;
};

}  // namespace raster
}  // namespace gui
