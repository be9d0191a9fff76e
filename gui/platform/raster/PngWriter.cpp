#include "gui/platform/raster/PngWriter.h"

#include <png.h>

#include <cstdio>

namespace gui {
namespace raster {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* output = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  output->insert(output->end(), data, data + length);
}

void flushNothing(png_structp) {}

// A row of the image as 8-bit RGB or RGBA (colours un-premultiplied).
void convertRow(const platform::PlatformImage& image, int32_t y, bool withAlpha,
                std::vector<uint8_t>& row) {
  const int channels = withAlpha ? 4 : 3;
  for (int32_t x = 0; x < image.width; ++x) {
    const uint32_t argb = image.argbAt(x, y);
    uint32_t red = (argb >> 16) & 0xFF, green = (argb >> 8) & 0xFF, blue = argb & 0xFF;
    const uint32_t alpha = argb >> 24;
    if (withAlpha && alpha != 0 && alpha != 255) {
      red = std::min<uint32_t>(255, (red * 255 + alpha / 2) / alpha);
      green = std::min<uint32_t>(255, (green * 255 + alpha / 2) / alpha);
      blue = std::min<uint32_t>(255, (blue * 255 + alpha / 2) / alpha);
    }
    uint8_t* pixel = row.data() + x * channels;
    pixel[0] = uint8_t(red);
    pixel[1] = uint8_t(green);
    pixel[2] = uint8_t(blue);
    if (withAlpha) pixel[3] = uint8_t(alpha);
  }
}

bool encodeInto(const platform::PlatformImage& image, bool withAlpha,
                std::vector<uint8_t>& output) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<uint8_t> row(size_t(image.width) * (withAlpha ? 4 : 3));
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &output, appendBytes, flushNothing);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < image.height; ++y) {
    convertRow(image, y, withAlpha, row);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<uint8_t> encodePng(const platform::PlatformImage& image, bool withAlpha) {
  std::vector<uint8_t> output;
  if (image.pixels == nullptr || image.width <= 0 || image.height <= 0) return output;
  if (!encodeInto(image, withAlpha, output)) output.clear();
  return output;
}

bool writePng(const char* path, const platform::PlatformImage& image, bool withAlpha) {
  if (path == nullptr) return false;
  const std::vector<uint8_t> bytes = encodePng(image, withAlpha);
  if (bytes.empty()) return false;
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace raster
}  // namespace gui
