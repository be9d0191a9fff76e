#include "gui/platform/raster/RasterDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gui/platform/raster/FreeList.h"
#include "gui/platform/raster/RasterImage.h"
#include "gui/platform/raster/RasterObjects.h"
#include "gui/platform/raster/RasterText.h"
#include "gui/platform/raster/WindowRecord.h"

namespace gui {
namespace raster {

using platform::PlatformBrush;
using platform::PlatformColor;
using platform::PlatformFont;
using platform::PlatformImage;
using platform::PlatformPen;

namespace {

uint32_t loadPixel(const PlatformImage* image, int32_t x, int32_t y) {
  uint32_t value;
  std::memcpy(&value, image->row(y) + x * 4, 4);
  return value;
}

void storePixel(PlatformImage* image, int32_t x, int32_t y, uint32_t value) {
  std::memcpy(image->row(y) + x * 4, &value, 4);
}

// A raster mode applied to the colour bytes; the result is opaque.
uint32_t combineRaster(uint32_t destination, uint32_t pen, int32_t mode) {
  switch (mode) {
    case platform::kRopMergePen:
      return 0xFF000000u | ((destination | pen) & 0xFFFFFFu);
    case platform::kRopNotXorPen:
      return 0xFF000000u | (~(destination ^ pen) & 0xFFFFFFu);
    default:
      return 0xFF000000u | (pen & 0xFFFFFFu);
  }
}

// The dash pattern of a dotted cosmetic pen: three pixels on, three off.
bool dashOn(int32_t position) { return (position % 6) < 3; }

bool sourceBlockInside(const PlatformImage* image, int32_t sx, int32_t sy, int32_t width,
                       int32_t height) {
  return sx >= 0 && sy >= 0 && int64_t(sx) + width <= image->width &&
         int64_t(sy) + height <= image->height;
}

RasterDevice* rasterOf(platform::PlatformDevice* device) {
  return static_cast<RasterDevice*>(device);
}

// (x + 127) / 255 for every x up to 255 x 255, without a division.
inline uint32_t divideBy255(uint32_t x) {
  const uint32_t rounded = x + 128;
  return (rounded + (rounded >> 8)) >> 8;
}

uint8_t blendChannel(uint32_t source, uint32_t destination, uint32_t alpha) {
  return uint8_t(divideBy255(source * alpha + destination * (255 - alpha)));
}

// Source-over with premultiplied source pixels scaled by the constant alpha.
uint32_t blendPremultiplied(uint32_t destination, uint32_t source, uint32_t constantAlpha) {
  if (constantAlpha == 255) {
    // The common cases of artwork: opaque pixels replace, empty ones leave the destination.
    if ((source >> 24) == 255) return source;
    if (source == 0) return destination;
  }
  uint32_t result = 0;
  const uint32_t sourceAlpha = divideBy255((source >> 24) * constantAlpha);
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t s = divideBy255(((source >> shift) & 0xFF) * constantAlpha);
    const uint32_t d = (destination >> shift) & 0xFF;
    const uint32_t value = std::min<uint32_t>(255, s + divideBy255(d * (255 - sourceAlpha)));
    result |= value << shift;
  }
  return result;
}

bool isOpaque(const uint8_t* pixel) { return pixel[3] == 255; }
bool isEmpty(const uint8_t* pixel) {
  uint32_t value;
  std::memcpy(&value, pixel, 4);
  return value == 0;
}

// Source-over of one row of premultiplied pixels at full constant alpha: runs of opaque pixels
// are copied whole and runs of empty ones skipped, so artwork costs little more than a copy.
void blendOpaqueArtworkRow(uint8_t* to, const uint8_t* from, int32_t count) {
  int32_t i = 0;
  while (i < count) {
    int32_t end = i;
    if (isOpaque(from + i * 4)) {
      while (end < count && isOpaque(from + end * 4)) ++end;
      std::memcpy(to + i * 4, from + i * 4, size_t(end - i) * 4);
    } else if (isEmpty(from + i * 4)) {
      while (end < count && isEmpty(from + end * 4)) ++end;
    } else {
      uint32_t current, pixel;
      std::memcpy(&current, to + i * 4, 4);
      std::memcpy(&pixel, from + i * 4, 4);
      const uint32_t value = blendPremultiplied(current, pixel, 255);
      std::memcpy(to + i * 4, &value, 4);
      end = i + 1;
    }
    i = end;
  }
}

uint32_t blendConstant(uint32_t destination, uint32_t source, uint32_t constantAlpha) {
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    result |= uint32_t(blendChannel((source >> shift) & 0xFF, (destination >> shift) & 0xFF,
                                    constantAlpha))
              << shift;
  }
  return result;
}

uint32_t applyRop(uint32_t current, uint32_t value, uint32_t rop) {
  return rop == platform::kSourceCopy  ? value
         : rop == platform::kSourceAnd ? (current & value)
                                       : (current ^ value);
}

// BitBlt of one row into a monochrome image: a colour pixel becomes 1 where it equals the
// source's background colour.
void copyRowToMask(uint8_t* to, const PlatformImage* from, int32_t fromX, int32_t fromY,
                   int32_t count, PlatformColor background, uint32_t rop) {
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t bit =
        from->monochrome ? from->row(fromY)[fromX + i]
                         : uint8_t(colorOfPixel(loadPixel(from, fromX + i, fromY)) == background);
    to[i] = uint8_t(applyRop(to[i], bit, rop));
  }
}

// BitBlt of one row of a monochrome image into a colour one: 1 paints `one`, 0 paints `zero`.
void copyMaskRow(uint8_t* to, const uint8_t* from, int32_t count, uint32_t one, uint32_t zero,
                 uint32_t rop) {
  for (int32_t i = 0; i < count; ++i) {
    uint32_t current;
    std::memcpy(&current, to + i * 4, 4);
    const uint32_t value = applyRop(current, from[i] ? one : zero, rop);
    std::memcpy(to + i * 4, &value, 4);
  }
}

// BitBlt of one colour row with SRCAND or SRCINVERT.
void combineColourRow(uint8_t* to, const uint8_t* from, int32_t count, uint32_t rop) {
  for (int32_t i = 0; i < count; ++i) {
    uint32_t current, value;
    std::memcpy(&current, to + i * 4, 4);
    std::memcpy(&value, from + i * 4, 4);
    const uint32_t result = applyRop(current, value, rop);
    std::memcpy(to + i * 4, &result, 4);
  }
}

// SelectObject of a pen, brush, font or image: the new object is held, the previous one handed
// back.
template <typename Object>
Object* swapSelection(Object*& slot, Object* next) {
  if (next == nullptr) return nullptr;
  Object* previous = slot;
  retain(next);
  slot = next;
  releaseSelection(previous);
  return previous;
}

}  // namespace

RasterDevice::RasterDevice(Kind kind, platform::WindowRecord* window)
    : kind(kind), window(window) {}

RasterDevice::~RasterDevice() = default;

PlatformPen* RasterDevice::selectPen(PlatformPen* newPen) { return swapSelection(pen, newPen); }

PlatformBrush* RasterDevice::selectBrush(PlatformBrush* newBrush) {
  return swapSelection(brush, newBrush);
}

PlatformFont* RasterDevice::selectFont(PlatformFont* newFont) {
  return swapSelection(font, newFont);
}

PlatformImage* RasterDevice::selectImage(PlatformImage* newImage) {
  // Like GDI: only memory devices take bitmaps, and a bitmap lives in one device at a time.
  if (kind != Kind::memory || newImage == nullptr || newImage->deletePending) return nullptr;
  if (newImage->selections > 0 && !newImage->stock && newImage != image) return nullptr;
  return swapSelection(image, newImage);
}

PlatformColor RasterDevice::setBackgroundColor(PlatformColor color) {
  const PlatformColor previous = backgroundColor;
  backgroundColor = color & 0xFFFFFF;
  return previous;
}

PlatformColor RasterDevice::setTextColor(PlatformColor color) {
  const PlatformColor previous = textColor;
  textColor = color & 0xFFFFFF;
  return previous;
}

void RasterDevice::selectClipRect(const CViewRect& rect) {
  hasClip = true;
  clip = rect.normalized();
}

void RasterDevice::setPaintLimit(const CViewRect& limit) {
  hasPaintLimit = true;
  paintLimit = limit;
}

PlatformImage* RasterDevice::target() const {
  switch (kind) {
    case Kind::memory:
      return image;
    case Kind::window:
      return window != nullptr && window->alive ? window->surface : nullptr;
    default:
      return nullptr;
  }
}

CViewRect RasterDevice::drawableBounds() const {
  const PlatformImage* surface = target();
  if (surface == nullptr) return CViewRect();
  CViewRect bounds(0, 0, surface->width, surface->height);
  if (hasClip) bounds = bounds.intersect(clip);
  if (hasPaintLimit) bounds = bounds.intersect(paintLimit);
  return bounds;
}

void RasterDevice::moveTo(int32_t x, int32_t y) {
  positionX = x;
  positionY = y;
  dashPosition = 0;
}

void RasterDevice::plot(int32_t x, int32_t y, uint32_t penPixel, const CViewRect& bounds) {
  if (x < bounds.left || x >= bounds.right || y < bounds.top || y >= bounds.bottom) return;
  PlatformImage* surface = target();
  if (surface->monochrome) {
    surface->row(y)[x] = (penPixel & 0xFFFFFF) != 0;
    return;
  }
  storePixel(surface, x, y, combineRaster(loadPixel(surface, x, y), penPixel, rasterMode));
}

void RasterDevice::drawThinLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                const CViewRect& bounds) {
  const int64_t adx = std::llabs(int64_t(x1) - x0);
  const int64_t ady = std::llabs(int64_t(y1) - y0);
  const int64_t stepX = x1 >= x0 ? 1 : -1;
  const int64_t stepY = y1 >= y0 ? 1 : -1;
  const int64_t steps = std::max(adx, ady);
  const uint32_t penPixel = opaquePixel(pen->color);
  const uint32_t gapPixel = opaquePixel(backgroundColor);
  const bool dotted = pen->style == platform::kPenDot;
  // The minor coordinate is rounded half up from the start; the end point is left out.
  auto roundedShare = [](int64_t part, int64_t whole) { return (2 * part + whole) / (2 * whole); };
  // Only the steps whose major coordinate falls inside the bounds can draw anything: an absurd
  // line costs no more than one across the surface.
  const bool xMajor = adx >= ady;
  const int64_t start = xMajor ? x0 : y0;
  const int64_t step = xMajor ? stepX : stepY;
  const int64_t low = xMajor ? bounds.left : bounds.top;
  const int64_t high = xMajor ? bounds.right : bounds.bottom;
  int64_t first = step > 0 ? low - start : start - high + 1;
  int64_t last = step > 0 ? high - start : start - low + 1;
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, steps);
  dashPosition += int32_t(first > 0 ? first % 6 : 0);
  for (int64_t i = first; i < last; ++i) {
    const int64_t px = adx >= ady ? x0 + stepX * i : x0 + stepX * roundedShare(i * adx, ady);
    const int64_t py = adx >= ady ? y0 + stepY * roundedShare(i * ady, adx) : y0 + stepY * i;
    const bool inRange = px >= INT32_MIN && px <= INT32_MAX && py >= INT32_MIN && py <= INT32_MAX;
    if (inRange && (!dotted || dashOn(dashPosition))) {
      plot(int32_t(px), int32_t(py), penPixel, bounds);
    } else if (inRange && backgroundMode == platform::kBackgroundOpaque) {
      plot(int32_t(px), int32_t(py), gapPixel, bounds);
    }
    ++dashPosition;
  }
  if (last < steps) dashPosition += int32_t((steps - std::max(last, first)) % 6);
  dashPosition %= 6;
}

void RasterDevice::drawWideLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                const CViewRect& bounds) {
  // A geometric pen: every pixel whose centre lies within half the width of the segment
  // (round ends).
  const double radius = pen->width / 2.0;
  const CViewRect box(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
  const int32_t reach = int32_t(std::ceil(radius));
  const CViewRect area =
      CViewRect(addSaturated(box.left, -reach), addSaturated(box.top, -reach),
                addSaturated(box.right, reach + 1), addSaturated(box.bottom, reach + 1))
          .intersect(bounds);
  const double vx = double(x1) - x0;
  const double vy = double(y1) - y0;
  const double lengthSquared = vx * vx + vy * vy;
  const uint32_t penPixel = opaquePixel(pen->color);
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x) {
      double t = lengthSquared > 0 ? ((x - x0) * vx + (y - y0) * vy) / lengthSquared : 0.0;
      t = std::clamp(t, 0.0, 1.0);
      const double ex = x - (x0 + t * vx);
      const double ey = y - (y0 + t * vy);
      if (ex * ex + ey * ey < radius * radius) plot(x, y, penPixel, bounds);
    }
  }
}

void RasterDevice::lineTo(int32_t x, int32_t y) {
  const CViewRect bounds = drawableBounds();
  if (!bounds.isEmpty() && pen != nullptr) {
    if (pen->width > 1) {
      drawWideLine(positionX, positionY, x, y, bounds);
    } else {
      drawThinLine(positionX, positionY, x, y, bounds);
    }
  }
  positionX = x;
  positionY = y;
}

void RasterDevice::fillRect(const CViewRect& rect, PlatformBrush* fillBrush) {
  if (fillBrush == nullptr) return;
  const CViewRect area = rect.intersect(drawableBounds());
  if (area.isEmpty()) return;
  PlatformImage* surface = target();
  if (surface->monochrome) {
    const uint8_t bit = (fillBrush->color & 0xFFFFFF) != 0;
    for (int32_t y = area.top; y < area.bottom; ++y) {
      std::memset(surface->row(y) + area.left, bit, size_t(area.right - area.left));
    }
    return;
  }
  const uint32_t value = opaquePixel(fillBrush->color);
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x) storePixel(surface, x, y, value);
  }
}

void RasterDevice::setPixel(int32_t x, int32_t y, PlatformColor color) {
  const CViewRect bounds = drawableBounds();
  if (x < bounds.left || x >= bounds.right || y < bounds.top || y >= bounds.bottom) return;
  PlatformImage* surface = target();
  if (surface->monochrome) {
    const int brightness =
        platform::redOf(color) + platform::greenOf(color) + platform::blueOf(color);
    surface->row(y)[x] = brightness >= 384;
    return;
  }
  storePixel(surface, x, y, opaquePixel(color));
}

PlatformColor RasterDevice::getPixel(int32_t x, int32_t y) {
  const CViewRect bounds = drawableBounds();
  if (x < bounds.left || x >= bounds.right || y < bounds.top || y >= bounds.bottom) {
    return platform::kInvalidColor;
  }
  return target()->colorAt(x, y);
}

void RasterDevice::drawText(const char* text, const CViewRect& rect, uint32_t flags) {
  if (font == nullptr || font->face == nullptr || text == nullptr) return;
  PlatformImage* surface = target();
  if (surface == nullptr || surface->monochrome) return;
  TextTarget textTarget;
  textTarget.image = surface;
  textTarget.bounds = drawableBounds();
  textTarget.textColor = textColor;
  textTarget.backgroundColor = backgroundColor;
  textTarget.opaque = backgroundMode == platform::kBackgroundOpaque;
  drawTextLine(textTarget, font->face, font->logical.underline, text, rect, flags);
}

void RasterDevice::bitBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                          platform::PlatformDevice* source, int32_t sx, int32_t sy, uint32_t rop) {
  if (source == nullptr || width <= 0 || height <= 0) return;
  if (rop != platform::kSourceCopy && rop != platform::kSourceAnd &&
      rop != platform::kSourceInvert) {
    return;
  }
  RasterDevice* from = rasterOf(source);
  PlatformImage* sourceImage = from->target();
  PlatformImage* destinationImage = target();
  if (sourceImage == nullptr || destinationImage == nullptr) return;
  // Pixels come only from inside the source image and go only inside the destination bounds.
  CViewRect area = CViewRect(dx, dy, addSaturated(dx, width), addSaturated(dy, height))
                       .intersect(drawableBounds());
  const int32_t shiftX = sx - dx;
  const int32_t shiftY = sy - dy;
  area = area.intersect(
      CViewRect(0, 0, sourceImage->width, sourceImage->height).offsetBy(-shiftX, -shiftY));
  if (area.isEmpty()) return;
  const int32_t count = area.getWidth();
  for (int32_t y = area.top; y < area.bottom; ++y) {
    const int32_t fromY = y + shiftY;
    const int32_t fromX = area.left + shiftX;
    if (destinationImage->monochrome) {
      copyRowToMask(destinationImage->row(y) + area.left, sourceImage, fromX, fromY, count,
                    from->backgroundColor, rop);
    } else if (sourceImage->monochrome) {
      copyMaskRow(destinationImage->row(y) + area.left * 4, sourceImage->row(fromY) + fromX, count,
                  opaquePixel(backgroundColor), opaquePixel(textColor), rop);
    } else if (rop == platform::kSourceCopy) {
      // The common copy of colour images: whole rows at once (the same image may be both ends).
      std::memmove(destinationImage->row(y) + area.left * 4, sourceImage->row(fromY) + fromX * 4,
                   size_t(count) * 4);
    } else {
      combineColourRow(destinationImage->row(y) + area.left * 4,
                       sourceImage->row(fromY) + fromX * 4, count, rop);
    }
  }
}

void RasterDevice::releaseObjects() {
  releaseSelection(pen);
  releaseSelection(brush);
  releaseSelection(font);
  releaseSelection(image);
  pen = nullptr;
  brush = nullptr;
  font = nullptr;
  image = nullptr;
}

namespace {

// The common part of AlphaBlend and TransparentBlt: both refuse scaling, empty blocks and a
// source block that leaves the source image.
bool prepareBlock(platform::PlatformDevice* destination, int32_t dw, int32_t dh,
                  platform::PlatformDevice* source, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                  PlatformImage*& to, PlatformImage*& from) {
  if (destination == nullptr || source == nullptr) return false;
  if (dw <= 0 || dh <= 0 || dw != sw || dh != sh) return false;
  to = rasterOf(destination)->target();
  from = rasterOf(source)->target();
  if (to == nullptr || from == nullptr || to->monochrome || from->monochrome) return false;
  return sourceBlockInside(from, sx, sy, sw, sh);
}

template <typename Combine>
void combineBlock(RasterDevice* destination, PlatformImage* to, int32_t dx, int32_t dy,
                  int32_t width, int32_t height, PlatformImage* from, int32_t sx, int32_t sy,
                  Combine combine) {
  const CViewRect area = CViewRect(dx, dy, addSaturated(dx, width), addSaturated(dy, height))
                             .intersect(destination->drawableBounds());
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x) {
      const uint32_t source = loadPixel(from, sx + (x - dx), sy + (y - dy));
      uint32_t value;
      if (combine(loadPixel(to, x, y), source, value)) storePixel(to, x, y, value);
    }
  }
}

}  // namespace

bool alphaBlend(platform::PlatformDevice* destination, int32_t dx, int32_t dy, int32_t dw,
                int32_t dh, platform::PlatformDevice* source, int32_t sx, int32_t sy, int32_t sw,
                int32_t sh, platform::BlendFunction blend) {
  PlatformImage* to = nullptr;
  PlatformImage* from = nullptr;
  if (!prepareBlock(destination, dw, dh, source, sx, sy, sw, sh, to, from)) return false;
  const uint32_t alpha = blend.constantAlpha;
  const bool perPixel = (blend.alphaFormat & platform::kSourceAlpha) != 0;
  if (perPixel && alpha == 255) {
    const CViewRect area = CViewRect(dx, dy, addSaturated(dx, dw), addSaturated(dy, dh))
                               .intersect(rasterOf(destination)->drawableBounds());
    for (int32_t y = area.top; y < area.bottom; ++y) {
      blendOpaqueArtworkRow(to->row(y) + area.left * 4,
                            from->row(sy + (y - dy)) + (sx + (area.left - dx)) * 4,
                            area.getWidth());
    }
    return true;
  }
  combineBlock(rasterOf(destination), to, dx, dy, dw, dh, from, sx, sy,
               [&](uint32_t current, uint32_t pixel, uint32_t& result) {
                 result = perPixel ? blendPremultiplied(current, pixel, alpha)
                                   : blendConstant(current, pixel, alpha);
                 return true;
               });
  return true;
}

bool transparentBlt(platform::PlatformDevice* destination, int32_t dx, int32_t dy, int32_t dw,
                    int32_t dh, platform::PlatformDevice* source, int32_t sx, int32_t sy,
                    int32_t sw, int32_t sh, PlatformColor transparent) {
  PlatformImage* to = nullptr;
  PlatformImage* from = nullptr;
  if (!prepareBlock(destination, dw, dh, source, sx, sy, sw, sh, to, from)) return false;
  const PlatformColor key = transparent & 0xFFFFFF;
  combineBlock(rasterOf(destination), to, dx, dy, dw, dh, from, sx, sy,
               [&](uint32_t, uint32_t pixel, uint32_t& result) {
                 result = pixel;
                 return colorOfPixel(pixel) != key;
               });
  return true;
}

RasterDevice* acquireDevice(RasterDevice::Kind kind, platform::WindowRecord* window) {
  RasterDevice* device = freeList<RasterDevice>().acquire(kind, window);
  device->selectPen(stockPen());
  device->selectBrush(stockBrush());
  device->selectFont(stockFont());
  if (kind == RasterDevice::Kind::memory) device->selectImage(stockImage());
  return device;
}

void recycleDevice(RasterDevice* device) {
  if (device == nullptr) return;
  device->releaseObjects();
  freeList<RasterDevice>().release(device);
}

}  // namespace raster
}  // namespace gui
