#include "gui/platform/raster/RasterObjects.h"

#include "gui/platform/Platform.h"
#include "gui/platform/raster/FreeList.h"
#include "gui/platform/raster/RasterDevice.h"
#include "gui/platform/raster/RasterImage.h"
#include "gui/platform/raster/RasterText.h"

namespace gui {
namespace raster {

using platform::PlatformBrush;
using platform::PlatformFont;
using platform::PlatformImage;
using platform::PlatformPen;

PlatformPen* stockPen() {
  static PlatformPen pen = [] {
    PlatformPen stock;
    stock.stock = true;
    stock.color = 0;  // black
    return stock;
  }();
  return &pen;
}

PlatformBrush* stockBrush() {
  static PlatformBrush brush = [] {
    PlatformBrush stock;
    stock.stock = true;
    stock.color = 0xFFFFFF;  // white
    return stock;
  }();
  return &brush;
}

PlatformFont* stockFont() {
  static PlatformFont font = [] {
    PlatformFont stock;
    stock.stock = true;
    stock.logical.height = -12;
    stock.logical.weight = 700;
    return stock;
  }();
  return &font;
}

PlatformImage* stockImage() {
  static PlatformImage* image = [] {
    PlatformImage* stock = allocateImage(1, 1, true);
    stock->stock = true;
    return stock;
  }();
  return image;
}

namespace {

template <typename T>
void retainObject(T* object) {
  if (object != nullptr) ++object->selections;
}

void freeObject(PlatformPen* pen) { freeList<PlatformPen>().release(pen); }
void freeObject(PlatformBrush* brush) { freeList<PlatformBrush>().release(brush); }
void freeObject(PlatformFont* font) { freeList<PlatformFont>().release(font); }
void freeObject(PlatformImage* image) { freeImage(image); }

template <typename T>
void releaseObject(T* object) {
  if (object == nullptr) return;
  if (--object->selections == 0 && object->deletePending) freeObject(object);
}

template <typename T>
void deleteGraphicObject(T* object) {
  if (object == nullptr || object->stock || object->deletePending) return;
  if (object->selections > 0) {
    object->deletePending = true;
    return;
  }
  freeObject(object);
}

}  // namespace

void retain(PlatformPen* pen) { retainObject(pen); }
void retain(PlatformBrush* brush) { retainObject(brush); }
void retain(PlatformFont* font) { retainObject(font); }
void retain(PlatformImage* image) { retainObject(image); }
void releaseSelection(PlatformPen* pen) { releaseObject(pen); }
void releaseSelection(PlatformBrush* brush) { releaseObject(brush); }
void releaseSelection(PlatformFont* font) { releaseObject(font); }
void releaseSelection(PlatformImage* image) { releaseObject(image); }

}  // namespace raster

namespace platform {

PlatformPen* createPen(int32_t style, int32_t width, PlatformColor color) {
  PlatformPen* pen = raster::freeList<PlatformPen>().acquire();
  pen->style = style;
  pen->width = width;
  pen->color = color & 0xFFFFFF;
  return pen;
}

PlatformBrush* createSolidBrush(PlatformColor color) {
  PlatformBrush* brush = raster::freeList<PlatformBrush>().acquire();
  brush->color = color & 0xFFFFFF;
  return brush;
}

PlatformFont* createFont(const LogicalFont& logical) {
  PlatformFont* font = raster::freeList<PlatformFont>().acquire();
  font->logical = logical;
  font->face = raster::FontCache::instance().faceFor(logical);
  return font;
}

void deleteObject(PlatformPen* pen) { raster::deleteGraphicObject(pen); }
void deleteObject(PlatformBrush* brush) { raster::deleteGraphicObject(brush); }
void deleteObject(PlatformFont* font) { raster::deleteGraphicObject(font); }
void deleteObject(PlatformImage* image) { raster::deleteGraphicObject(image); }

PlatformImage* createImage(int32_t width, int32_t height) {
  PlatformImage* image = raster::allocateImage(width, height, false);
  if (image != nullptr) image->dibSection = true;
  return image;
}

uint8_t* imagePixelRow(PlatformImage* image, int32_t row) {
  if (image == nullptr || !image->dibSection || row < 0 || row >= image->height) return nullptr;
  return image->row(row);
}

PlatformImage* createCompatibleImage(PlatformDevice* reference, int32_t width, int32_t height) {
  // As under GDI, an image compatible with a memory device takes the format of the image selected
  // into it: a new memory device holds a monochrome 1 x 1 image, so its compatible images are
  // monochrome too. Windows and the screen give colour images.
  const PlatformImage* selected =
      reference != nullptr ? static_cast<raster::RasterDevice*>(reference)->target() : nullptr;
  const bool monochrome = selected != nullptr && selected->monochrome;
  return raster::allocateImage(width, height, monochrome);
}

PlatformImage* createMonochromeImage(int32_t width, int32_t height) {
  return raster::allocateImage(width, height, true);
}

bool getImageSize(PlatformImage* image, int32_t& width, int32_t& height) {
  if (image == nullptr) return false;
  width = image->width;
  height = image->height;
  return true;
}

}  // namespace platform
}  // namespace gui
