#include "tests/x11/ScreenImage.h"

#include <X11/Xutil.h>
#include <png.h>

#include <algorithm>

ScreenImage::ScreenImage(int width, int height)
    : imageWidth(width), imageHeight(height), pixels(size_t(width) * height, 0) {}

ScreenImage ScreenImage::capture(Display* display, Window window, int width, int height) {
  XSync(display, False);
  XImage* shown =
      XGetImage(display, window, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (shown == nullptr) return ScreenImage();
  ScreenImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.pixels[size_t(y) * width + x] = uint32_t(XGetPixel(shown, x, y)) & 0xFFFFFF;
    }
  }
  XDestroyImage(shown);
  return image;
}

ScreenImage ScreenImage::load(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return ScreenImage();
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr)) return ScreenImage();
  ScreenImage image(int(png.width), int(png.height));
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    image.pixels[i] = uint32_t(rgb[i * 3]) << 16 | uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
  }
  return image;
}

bool ScreenImage::save(const std::string& path) const {
  if (empty()) return false;
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    rgb[i * 3] = uint8_t(pixels[i] >> 16);
    rgb[i * 3 + 1] = uint8_t(pixels[i] >> 8);
    rgb[i * 3 + 2] = uint8_t(pixels[i]);
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = png_uint_32(imageWidth);
  png.height = png_uint_32(imageHeight);
  png.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

long ScreenImage::countDifferences(const ScreenImage& other, const PixelRect& area,
                                   const std::vector<PixelRect>& ignored) const {
  if (other.imageWidth != imageWidth || other.imageHeight != imageHeight) return -1;
  long count = 0;
  for (int y = std::max(0, area.top); y < std::min(imageHeight, area.bottom); ++y) {
    for (int x = std::max(0, area.left); x < std::min(imageWidth, area.right); ++x) {
      const bool skipped =
          std::any_of(ignored.begin(), ignored.end(),
                      [x, y](const PixelRect& rect) { return rect.contains(x, y); });
      if (!skipped && at(x, y) != other.at(x, y)) ++count;
    }
  }
  return count;
}

long ScreenImage::countDifferences(const ScreenImage& other,
                                   const std::vector<PixelRect>& ignored) const {
  return countDifferences(other, PixelRect{0, 0, imageWidth, imageHeight}, ignored);
}
