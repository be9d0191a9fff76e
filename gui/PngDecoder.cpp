#include "gui/PngDecoder.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "gui/platform/Platform.h"

namespace gui {

namespace {

// The largest side libpng accepts before it reports an error; larger images would not be made.
constexpr png_uint_32 kLargestSide = 16384;

struct MemoryReader {
  const uint8_t* data = nullptr;
  size_t position = 0;
  size_t size = 0;
  bool exhausted = false;
};

// Lives in the caller's frame, so what the decoder writes survives libpng's longjmp.
struct DecodeState {
  MemoryReader reader;
  DecodedPng result;
  bool premultiplied = false;
};

// Data that ends early: the bytes that exist are handed over with zeros after them (so that
// the rows they hold can still be decoded, and never leftovers of an earlier read), and the next
// request ends the decoding with an error.
void readFromMemory(png_structp png, png_bytep target, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->exhausted) png_error(png, "read past the end of the image data");
  const size_t available = std::min<size_t>(length, reader->size - reader->position);
  if (available > 0) std::memcpy(target, reader->data + reader->position, available);
  if (available < length) {
    std::memset(target + available, 0, length - available);
    reader->exhausted = true;
  }
  reader->position += available;
}

// The system writes no log: libpng's messages are dropped, its errors only end the decoding.
void silentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void silentWarning(png_structp, png_const_charp) {}

void premultiply(DecodeState* state) {
  if (state->premultiplied || state->result.image == nullptr) return;
  state->premultiplied = true;
  for (int32_t row = 0; row < state->result.height; ++row) {
    uint8_t* pixel = platform::imagePixelRow(state->result.image, row);
    if (pixel == nullptr) continue;
    for (int32_t x = 0; x < state->result.width; ++x, pixel += 4) {
      const uint32_t alpha = pixel[3];
      if (alpha == 0) {
        pixel[0] = pixel[1] = pixel[2] = 0;
        continue;
      }
      pixel[0] = uint8_t((pixel[0] * alpha) >> 8);
      pixel[1] = uint8_t((pixel[1] * alpha) >> 8);
      pixel[2] = uint8_t((pixel[2] * alpha) >> 8);
    }
  }
}

void requestTransformations(png_structp png, png_infop info, int bitDepth, int colorType) {
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
    if (bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  }
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
  } else {
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  if (bitDepth == 16) {
    png_set_swap(png);
    png_set_strip_16(png);
  }
  png_set_bgr(png);
}

// Everything libpng may jump out of happens here; no C++ object with a destructor lives in it.
void decodeInto(DecodeState* state) {
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, silentError, silentWarning);
  if (png == nullptr) return;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return;
  }
  if (setjmp(png_jmpbuf(png))) {
    premultiply(state);
    png_destroy_read_struct(&png, &info, nullptr);
    return;
  }
  png_set_user_limits(png, kLargestSide, kLargestSide);
  png_set_read_fn(png, &state->reader, readFromMemory);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  state->result.image = platform::createImage(int32_t(width), int32_t(height));
  if (state->result.image == nullptr) {
    png_destroy_read_struct(&png, &info, nullptr);
    return;
  }
  state->result.width = int32_t(width);
  state->result.height = int32_t(height);
  requestTransformations(png, info, bitDepth, colorType);
  // Interlaced images are read pass by pass into the same rows.
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != png_size_t(width) * 4) png_error(png, "unexpected row size");
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 row = 0; row < height; ++row) {
      png_bytep target = platform::imagePixelRow(state->result.image, int32_t(row));
      png_read_rows(png, &target, nullptr, 1);
    }
  }
  png_read_end(png, nullptr);
  state->result.complete = true;
  premultiply(state);
  png_destroy_read_struct(&png, &info, nullptr);
}

}  // namespace

DecodedPng decodePng(const platform::ResourceBytes& bytes) {
  DecodeState state;
  state.reader.data = bytes.data;
  state.reader.size = bytes.data != nullptr ? bytes.size : 0;
  decodeInto(&state);
  return state.result;
}

}  // namespace gui
