#include "gui/platform/raster/RasterImage.h"

#include <cstring>
#include <new>

#include "gui/platform/raster/RasterObjects.h"

namespace gui {
namespace platform {

uint32_t PlatformImage::argbAt(int32_t x, int32_t y) const {
  if (!contains(x, y)) return 0;
  if (monochrome) return row(y)[x] ? 0xFFFFFFFFu : 0u;
  uint32_t value;
  std::memcpy(&value, row(y) + x * 4, 4);
  return value;
}

PlatformColor PlatformImage::colorAt(int32_t x, int32_t y) const {
  if (!contains(x, y)) return kInvalidColor;
  return raster::colorOfPixel(argbAt(x, y));
}

}  // namespace platform

namespace raster {

namespace {

// Pixel memory is allocated as 32-bit words so that the backend may read whole pixels.
uint8_t* allocatePixels(int64_t bytes) {
  const int64_t words = (bytes + 3) / 4;
  uint32_t* memory = new (std::nothrow) uint32_t[size_t(words)]();
  return reinterpret_cast<uint8_t*>(memory);
}

void freePixels(uint8_t* pixels) { delete[] reinterpret_cast<uint32_t*>(pixels); }

void copyImage(platform::PlatformImage& target, const platform::PlatformImage& source) {
  target = platform::PlatformImage();
  if (source.pixels == nullptr) return;
  const int64_t bytes = int64_t(source.width) * source.height * source.bytesPerPixel();
  target.pixels = allocatePixels(bytes);
  if (target.pixels == nullptr) return;
  target.width = source.width;
  target.height = source.height;
  target.monochrome = source.monochrome;
  std::memcpy(target.pixels, source.pixels, size_t(bytes));
}

}  // namespace

platform::PlatformImage* allocateImage(int32_t width, int32_t height, bool monochrome) {
  if (width <= 0 || height <= 0 || width > kMaximumImageSide || height > kMaximumImageSide) {
    return nullptr;
  }
  if (int64_t(width) * height > kMaximumImagePixels) return nullptr;
  auto* image = new (std::nothrow) platform::PlatformImage();
  if (image == nullptr) return nullptr;
  image->width = width;
  image->height = height;
  image->monochrome = monochrome;
  image->pixels = allocatePixels(int64_t(width) * height * image->bytesPerPixel());
  if (image->pixels == nullptr) {
    delete image;
    return nullptr;
  }
  return image;
}

void freeImage(platform::PlatformImage* image) {
  if (image == nullptr) return;
  freePixels(image->pixels);
  delete image;
}

RasterImageCopy::RasterImageCopy(const platform::PlatformImage& image) { copyImage(copy, image); }

RasterImageCopy::RasterImageCopy(const RasterImageCopy& other) { copyImage(copy, other.copy); }

RasterImageCopy& RasterImageCopy::operator=(const RasterImageCopy& other) {
  if (this != &other) {
    freePixels(copy.pixels);
    copyImage(copy, other.copy);
  }
  return *this;
}

RasterImageCopy::~RasterImageCopy() { freePixels(copy.pixels); }

}  // namespace raster
}  // namespace gui
