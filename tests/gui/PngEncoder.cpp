#include "tests/gui/PngEncoder.h"

#include <png.h>

#include <stdexcept>

namespace testpng {

namespace {

void append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flush(png_structp) {}

int pngColorType(ColorType type) {
  switch (type) {
    case ColorType::grey:
      return PNG_COLOR_TYPE_GRAY;
    case ColorType::greyAlpha:
      return PNG_COLOR_TYPE_GRAY_ALPHA;
    case ColorType::rgb:
      return PNG_COLOR_TYPE_RGB;
    case ColorType::rgba:
      return PNG_COLOR_TYPE_RGB_ALPHA;
    case ColorType::palette:
      return PNG_COLOR_TYPE_PALETTE;
  }
  return PNG_COLOR_TYPE_RGB_ALPHA;
}

// Appends one sample of `depth` bits (8-bit value scaled) to a packed row.
void putSample(std::vector<uint8_t>& row, int& bit, int depth, unsigned value8) {
  if (depth == 16) {
    row.push_back(uint8_t(value8));
    row.push_back(uint8_t(value8));  // 0xVV -> 0xVVVV
    return;
  }
  if (depth == 8) {
    row.push_back(uint8_t(value8));
    return;
  }
  const unsigned value = value8 >> (8 - depth);
  if (bit % 8 == 0) row.push_back(0);
  row.back() |= uint8_t(value << (8 - depth - bit % 8));
  bit += depth;
}

std::vector<uint8_t> makeRow(const PngRecipe& recipe, int y) {
  std::vector<uint8_t> row;
  int bit = 0;
  for (int x = 0; x < recipe.width; ++x) {
    const Rgba p = recipe.pixel(x, y);
    switch (recipe.colorType) {
      case ColorType::grey:
        putSample(row, bit, recipe.bitDepth, p.red);
        break;
      case ColorType::greyAlpha:
        putSample(row, bit, recipe.bitDepth, p.red);
        putSample(row, bit, recipe.bitDepth, p.alpha);
        break;
      case ColorType::rgb:
        putSample(row, bit, recipe.bitDepth, p.red);
        putSample(row, bit, recipe.bitDepth, p.green);
        putSample(row, bit, recipe.bitDepth, p.blue);
        break;
      case ColorType::rgba:
        putSample(row, bit, recipe.bitDepth, p.red);
        putSample(row, bit, recipe.bitDepth, p.green);
        putSample(row, bit, recipe.bitDepth, p.blue);
        putSample(row, bit, recipe.bitDepth, p.alpha);
        break;
      case ColorType::palette: {
        // Indices are stored directly in `red`, not scaled.
        const unsigned index = p.red;
        if (recipe.bitDepth == 8) {
          row.push_back(uint8_t(index));
        } else {
          if (bit % 8 == 0) row.push_back(0);
          row.back() |= uint8_t(index << (8 - recipe.bitDepth - bit % 8));
          bit += recipe.bitDepth;
        }
        break;
      }
    }
  }
  return row;
}

}  // namespace

std::vector<uint8_t> encode(const PngRecipe& recipe) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("test PNG encoding failed");
  }
  png_set_write_fn(png, &out, append, flush);
  png_set_IHDR(png, info, png_uint_32(recipe.width), png_uint_32(recipe.height), recipe.bitDepth,
               pngColorType(recipe.colorType),
               recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (const Rgba& entry : recipe.palette) palette.push_back({entry.red, entry.green, entry.blue});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  if (!recipe.paletteAlpha.empty()) {
    png_set_tRNS(png, info, recipe.paletteAlpha.data(), int(recipe.paletteAlpha.size()), nullptr);
  }
  png_color_16 transparent{};
  if (recipe.greyTransparent) {
    transparent.gray = recipe.greyTransparentValue;
    png_set_tRNS(png, info, nullptr, 0, &transparent);
  }
  if (recipe.rgbTransparent) {
    const int scale = recipe.bitDepth == 16 ? 257 : 1;
    transparent.red = uint16_t(recipe.rgbTransparentValue.red * scale);
    transparent.green = uint16_t(recipe.rgbTransparentValue.green * scale);
    transparent.blue = uint16_t(recipe.rgbTransparentValue.blue * scale);
    png_set_tRNS(png, info, nullptr, 0, &transparent);
  }
  png_write_info(png, info);
  std::vector<std::vector<uint8_t>> rows;
  std::vector<png_bytep> pointers;
  for (int y = 0; y < recipe.height; ++y) rows.push_back(makeRow(recipe, y));
  for (auto& row : rows) pointers.push_back(row.data());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> solid(int width, int height, Rgba color, ColorType type) {
  PngRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.colorType = type;
  recipe.pixel = [color](int, int) { return color; };
  return encode(recipe);
}

}  // namespace testpng
