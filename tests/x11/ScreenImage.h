#pragma once

// What a window shows, read back as a host would see it: XGetImage of the window, pixels as
// 0xRRGGBB (the window and its children, as they are on screen). Loaded from and saved to PNG
// files (RGB), and compared pixel by pixel with another picture.

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct PixelRect {
  int left, top, right, bottom;  // half-open
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

class ScreenImage {
 public:
  ScreenImage() = default;
  ScreenImage(int width, int height);

  // The top-left width x height of the window as it is on screen now.
  static ScreenImage capture(Display* display, Window window, int width, int height);
  // An RGB or RGBA PNG file; an empty image when it cannot be read.
  static ScreenImage load(const std::string& path);
  bool save(const std::string& path) const;

  int width() const { return imageWidth; }
  int height() const { return imageHeight; }
  bool empty() const { return pixels.empty(); }
  uint32_t at(int x, int y) const { return pixels[size_t(y) * imageWidth + x]; }

  // Pixels that differ inside `area`, leaving out the rectangles in `ignored`; -1 when the images
  // differ in size.
  long countDifferences(const ScreenImage& other, const PixelRect& area,
                        const std::vector<PixelRect>& ignored = {}) const;
  // The same over the whole image.
  long countDifferences(const ScreenImage& other, const std::vector<PixelRect>& ignored = {}) const;

 private:
  int imageWidth = 0;
  int imageHeight = 0;
  std::vector<uint32_t> pixels;
};
