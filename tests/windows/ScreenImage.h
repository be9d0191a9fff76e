#pragma once

// What a window shows, read back as a host would see it: the client area copied with BitBlt into
// a 32-bit image, pixels as 0xRRGGBB. Saved to and loaded from PNG files (RGB), and compared
// pixel by pixel with another picture.

#include <windows.h>

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

  // The window's client area as it is on screen now.
  static ScreenImage capture(HWND window);
  // An RGB or RGBA PNG file; an empty image when it cannot be read.
  static ScreenImage load(const std::string& path);
  bool save(const std::string& path) const;

  int width() const { return imageWidth; }
  int height() const { return imageHeight; }
  bool empty() const { return pixels.empty(); }
  uint32_t at(int x, int y) const { return pixels[size_t(y) * imageWidth + x]; }
  void set(int x, int y, uint32_t rgb) { pixels[size_t(y) * imageWidth + x] = rgb; }

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
