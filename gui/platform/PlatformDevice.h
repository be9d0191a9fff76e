#pragma once

#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace platform {

// A drawing device: what a Win32 device context (HDC) is to GDI. It draws into whatever it
// targets (a window's client area, or the image selected into a memory device), through the pen,
// brush, font and colours selected into it, limited to its clip rectangle and to the target.
// Each operation below names the GDI call it stands for; coordinates are device coordinates.
//
// Obtaining and giving back devices: getWindowDevice / releaseWindowDevice (GetDC / ReleaseDC),
// beginPaint / endPaint, createCompatibleDevice / deleteDevice (CreateCompatibleDC / DeleteDC),
// all in Platform.h.
class PlatformDevice {
 public:
  virtual ~PlatformDevice() = default;

  // GetCurrentObject(OBJ_PEN / OBJ_BRUSH / OBJ_FONT).
  virtual PlatformPen* getCurrentPen() = 0;
  virtual PlatformBrush* getCurrentBrush() = 0;
  virtual PlatformFont* getCurrentFont() = 0;
  // SelectObject: makes the object current and returns the previous one (null on failure).
  virtual PlatformPen* selectPen(PlatformPen* pen) = 0;
  virtual PlatformBrush* selectBrush(PlatformBrush* brush) = 0;
  virtual PlatformFont* selectFont(PlatformFont* font) = 0;
  // SelectObject of a bitmap into a memory device; returns the previous image, or null when the
  // image cannot be selected (then nothing changes).
  virtual PlatformImage* selectImage(PlatformImage* image) = 0;

  // SetBkMode (kBackgroundTransparent / kBackgroundOpaque).
  virtual void setBackgroundMode(int32_t mode) = 0;
  // SetBkColor, SetTextColor: return the previous colour.
  virtual PlatformColor setBackgroundColor(PlatformColor color) = 0;
  virtual PlatformColor setTextColor(PlatformColor color) = 0;
  // SetROP2: the raster mode of lines (kRopCopyPen, kRopMergePen, kRopNotXorPen).
  virtual void setRasterMode(int32_t mode) = 0;
  // CreateRectRgn + SelectClipRgn + DeleteObject(region): clip to the rectangle, right and
  // bottom exclusive.
  virtual void selectClipRect(const CViewRect& rect) = 0;

  // MoveToEx: the current position.
  virtual void moveTo(int32_t x, int32_t y) = 0;
  // LineTo: a line from the current position to (x, y) with the current pen and raster mode,
  // end point excluded; (x, y) becomes the current position.
  virtual void lineTo(int32_t x, int32_t y) = 0;
  // FillRect: fills [left, right) x [top, bottom) with the brush.
  virtual void fillRect(const CViewRect& rect, PlatformBrush* brush) = 0;
  // SetPixel, GetPixel (kInvalidColor outside the target or the clip).
  virtual void setPixel(int32_t x, int32_t y, PlatformColor color) = 0;
  virtual PlatformColor getPixel(int32_t x, int32_t y) = 0;
  // DrawTextA with nCount -1: one line of the current font in the text colour, the cell
  // background in the background colour when the background mode is opaque; flags are the
  // kText* values. Text is clipped to the rectangle.
  virtual void drawText(const char* text, const CViewRect& rect, uint32_t flags) = 0;

  // BitBlt: a width x height block from source at (sx, sy) to (dx, dy) with a raster operation
  // (kSourceCopy, kSourceInvert, kSourceAnd). Copying from a colour image to a monochrome one
  // gives 1 where a pixel equals the source's background colour (GDI compares all four bytes of
  // a 32-bit image, so only pixels without an alpha byte can match); copying a monochrome image
  // to a colour one paints 1 in this device's background colour and 0 in its text colour.
  virtual void bitBlt(int32_t dx, int32_t dy, int32_t width, int32_t height, PlatformDevice* source,
                      int32_t sx, int32_t sy, uint32_t rop) = 0;
};

}  // namespace platform
}  // namespace gui
