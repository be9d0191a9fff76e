#pragma once

#include "gui/platform/PlatformDevice.h"

namespace gui {
namespace platform {
struct WindowRecord;
}

namespace raster {

// The raster backend's drawing device. It targets a window's client surface, an image selected
// into it (a memory device) or nothing (the screen device, which draws nowhere), and reproduces
// GDI's pixel coverage: half-open fills, lines without their end point, clipping to the clip
// rectangle and to the target. Primitives write opaque pixels.
class RasterDevice final : public platform::PlatformDevice {
 public:
  enum class Kind { screen, window, memory };

  RasterDevice() = default;
  RasterDevice(Kind kind, platform::WindowRecord* window);
  RasterDevice& operator=(RasterDevice&& other) = default;
  ~RasterDevice() override;

  platform::PlatformPen* getCurrentPen() override { return pen; }
  platform::PlatformBrush* getCurrentBrush() override { return brush; }
  platform::PlatformFont* getCurrentFont() override { return font; }
  platform::PlatformPen* selectPen(platform::PlatformPen* newPen) override;
  platform::PlatformBrush* selectBrush(platform::PlatformBrush* newBrush) override;
  platform::PlatformFont* selectFont(platform::PlatformFont* newFont) override;
  platform::PlatformImage* selectImage(platform::PlatformImage* image) override;
  void setBackgroundMode(int32_t mode) override { backgroundMode = mode; }
  platform::PlatformColor setBackgroundColor(platform::PlatformColor color) override;
  platform::PlatformColor setTextColor(platform::PlatformColor color) override;
  void setRasterMode(int32_t mode) override { rasterMode = mode; }
  void selectClipRect(const CViewRect& rect) override;
  void moveTo(int32_t x, int32_t y) override;
  void lineTo(int32_t x, int32_t y) override;
  void fillRect(const CViewRect& rect, platform::PlatformBrush* fillBrush) override;
  void setPixel(int32_t x, int32_t y, platform::PlatformColor color) override;
  platform::PlatformColor getPixel(int32_t x, int32_t y) override;
  void drawText(const char* text, const CViewRect& rect, uint32_t flags) override;
  void bitBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
              platform::PlatformDevice* source, int32_t sx, int32_t sy, uint32_t rop) override;

  // The image drawn into, or null.
  platform::PlatformImage* target() const;
  // The target clipped to the clip rectangle (device coordinates).
  CViewRect drawableBounds() const;
  // Limits drawing to a rectangle on top of the clip (BeginPaint's update region).
  void setPaintLimit(const CViewRect& limit);
  // Lets go of every selected object (DeleteDC / ReleaseDC).
  void releaseObjects();

  platform::PlatformColor getBackgroundColor() const { return backgroundColor; }
  platform::PlatformColor getTextColor() const { return textColor; }
  int32_t getBackgroundMode() const { return backgroundMode; }

  RasterDevice* nextFree = nullptr;

 private:
  void plot(int32_t x, int32_t y, uint32_t penPixel, const CViewRect& bounds);
  void drawThinLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, const CViewRect& bounds);
  void drawWideLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, const CViewRect& bounds);

  Kind kind = Kind::screen;
  platform::WindowRecord* window = nullptr;
  platform::PlatformImage* image = nullptr;
  platform::PlatformPen* pen = nullptr;
  platform::PlatformBrush* brush = nullptr;
  platform::PlatformFont* font = nullptr;
  int32_t backgroundMode = platform::kBackgroundOpaque;
  platform::PlatformColor backgroundColor = 0xFFFFFF;
  platform::PlatformColor textColor = 0;
  int32_t rasterMode = platform::kRopCopyPen;
  bool hasClip = false;
  CViewRect clip;
  bool hasPaintLimit = false;
  CViewRect paintLimit;
  int32_t positionX = 0;
  int32_t positionY = 0;
  int32_t dashPosition = 0;
};

// The two blending operations of the raster "image library".
bool alphaBlend(platform::PlatformDevice* destination, int32_t dx, int32_t dy, int32_t dw,
                int32_t dh, platform::PlatformDevice* source, int32_t sx, int32_t sy, int32_t sw,
                int32_t sh, platform::BlendFunction blend);
bool transparentBlt(platform::PlatformDevice* destination, int32_t dx, int32_t dy, int32_t dw,
                    int32_t dh, platform::PlatformDevice* source, int32_t sx, int32_t sy,
                    int32_t sw, int32_t sh, platform::PlatformColor transparent);

// A device from the recycled pool, with the platform's defaults selected.
RasterDevice* acquireDevice(RasterDevice::Kind kind, platform::WindowRecord* window);
void recycleDevice(RasterDevice* device);

}  // namespace raster
}  // namespace gui
