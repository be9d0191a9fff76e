#pragma once

// The raster backend's graphic objects. A pen, brush or font deleted while a device still holds
// it is freed when the last device lets it go (GDI keeps such objects alive the same way), so a
// deletion in the wrong order can never leave a device pointing at freed memory.

#include <cstdint>

#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace raster {
struct FontFace;
}

namespace platform {

struct RasterObject {
  int32_t selections = 0;      // devices holding the object
  bool deletePending = false;  // deleted while selected
  bool stock = false;          // never deleted
};

struct PlatformPen : RasterObject {
  int32_t style = kPenSolid;
  int32_t width = 1;
  PlatformColor color = 0;
  PlatformPen* nextFree = nullptr;
};

struct PlatformBrush : RasterObject {
  PlatformColor color = 0xFFFFFF;
  PlatformBrush* nextFree = nullptr;
};

struct PlatformFont : RasterObject {
  LogicalFont logical;
  raster::FontFace* face = nullptr;  // shared, owned by the font cache; null: no face found
  PlatformFont* nextFree = nullptr;
};

struct ImageLibrary {
  int32_t loads = 0;
};

}  // namespace platform

namespace raster {

platform::PlatformPen* stockPen();
platform::PlatformBrush* stockBrush();
platform::PlatformFont* stockFont();
platform::PlatformImage* stockImage();

// Selection bookkeeping: a device calls these when it takes or lets go of an object.
void retain(platform::PlatformPen* pen);
void retain(platform::PlatformBrush* brush);
void retain(platform::PlatformFont* font);
void retain(platform::PlatformImage* image);
void releaseSelection(platform::PlatformPen* pen);
void releaseSelection(platform::PlatformBrush* brush);
void releaseSelection(platform::PlatformFont* font);
void releaseSelection(platform::PlatformImage* image);

// Image memory; null (and nothing allocated) beyond the size limits or without memory.
platform::PlatformImage* allocateImage(int32_t width, int32_t height, bool monochrome);
void freeImage(platform::PlatformImage* image);

// A colour as an opaque 32-bit pixel (0xAARRGGBB with alpha 255).
inline uint32_t opaquePixel(platform::PlatformColor color) {
  return 0xFF000000u | (uint32_t(platform::redOf(color)) << 16) |
         (uint32_t(platform::greenOf(color)) << 8) | uint32_t(platform::blueOf(color));
}
inline platform::PlatformColor colorOfPixel(uint32_t argb) {
  return platform::makeColor(uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb));
}

}  // namespace raster
}  // namespace gui
