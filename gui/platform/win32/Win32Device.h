#pragma once

#include "gui/platform/PlatformDevice.h"
#include "gui/platform/win32/Win32Handles.h"

namespace gui {
namespace platform {
namespace win32 {

// A PlatformDevice over a GDI device context: every operation is the one GDI call it names.
// How the context was obtained decides how it is given back (ReleaseDC, EndPaint, DeleteDC).
class Win32Device final : public PlatformDevice {
 public:
  enum class Origin { windowDevice, paint, memory };

  Win32Device(HDC context, Origin origin, HWND window);
  HDC context() const { return dc; }
  Origin origin() const { return from; }
  HWND window() const { return owner; }
  PAINTSTRUCT& paintStruct() { return paint; }

  PlatformPen* getCurrentPen() override;
  PlatformBrush* getCurrentBrush() override;
  PlatformFont* getCurrentFont() override;
  PlatformPen* selectPen(PlatformPen* pen) override;
  PlatformBrush* selectBrush(PlatformBrush* brush) override;
  PlatformFont* selectFont(PlatformFont* font) override;
  PlatformImage* selectImage(PlatformImage* image) override;
  void setBackgroundMode(int32_t mode) override;
  PlatformColor setBackgroundColor(PlatformColor color) override;
  PlatformColor setTextColor(PlatformColor color) override;
  void setRasterMode(int32_t mode) override;
  void selectClipRect(const CViewRect& rect) override;
  void moveTo(int32_t x, int32_t y) override;
  void lineTo(int32_t x, int32_t y) override;
  void fillRect(const CViewRect& rect, PlatformBrush* brush) override;
  void setPixel(int32_t x, int32_t y, PlatformColor color) override;
  PlatformColor getPixel(int32_t x, int32_t y) override;
  void drawText(const char* text, const CViewRect& rect, uint32_t flags) override;
  void bitBlt(int32_t dx, int32_t dy, int32_t width, int32_t height, PlatformDevice* source,
              int32_t sx, int32_t sy, uint32_t rop) override;

 private:
  HDC dc;
  Origin from;
  HWND owner;
  PAINTSTRUCT paint = {};
};

}  // namespace win32
}  // namespace platform
}  // namespace gui
