#pragma once

// Makes PNG files in memory for the tests: any colour type and bit depth the decoder meets,
// with palettes, tRNS chunks and interlacing, so each test builds exactly the image it needs.

#include <cstdint>
#include <functional>
#include <vector>

namespace testpng {

struct Rgba {
  uint8_t red = 0, green = 0, blue = 0, alpha = 255;
};

enum class ColorType { grey, greyAlpha, rgb, rgba, palette };

struct PngRecipe {
  int width = 1;
  int height = 1;
  ColorType colorType = ColorType::rgba;
  int bitDepth = 8;
  bool interlaced = false;
  // The pixel at (x, y); for palette images only the index (red) is used.
  std::function<Rgba(int x, int y)> pixel = [](int, int) { return Rgba(); };
  std::vector<Rgba> palette;          // palette images
  std::vector<uint8_t> paletteAlpha;  // tRNS of a palette image
  bool greyTransparent = false;       // tRNS of a grey image: greyTransparentValue
  uint16_t greyTransparentValue = 0;
  bool rgbTransparent = false;  // tRNS of an RGB image
  Rgba rgbTransparentValue;
};

std::vector<uint8_t> encode(const PngRecipe& recipe);

// A width x height image of one colour.
std::vector<uint8_t> solid(int width, int height, Rgba color, ColorType type = ColorType::rgba);

}  // namespace testpng
