#pragma once

#include <cstdint>

#include "gui/CReferenceCounter.h"
#include "gui/CRgbColor.h"
#include "gui/CViewPoint.h"
#include "gui/CViewRect.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {

class CFrame;

// How drawRect draws.
enum DrawStyle : int32_t { kDrawStroked = 0, kDrawFilled = 1, kDrawFilledAndStroked = 2 };
// Horizontal text alignment of drawString; any other value behaves as left.
enum TextAlign : int32_t { kLeftText = 0, kCenterText = 1, kRightText = 2 };
// Line styles.
enum : int32_t { kLineSolid = 0, kLineDotted = 1 };
// Draw modes of lines: copy, or, xor; any other value behaves as copy.
enum : int32_t { kCopyMode = 0, kOrMode = 1, kXorMode = 2 };
// Font style bits.
enum : int32_t { kBoldFace = 1, kItalicFace = 2, kUnderlineFace = 4 };

// The one object through which every view draws. It wraps a platform drawing device, carries
// the current attributes and a translation `offset` that containers shift while their children
// draw. Every coordinate handed to it is translated by `offset` before it reaches the device.
// Setters compare with the stored value and skip the device when nothing changes (except
// setFontColor, which always applies), so callers set attributes freely before each primitive.
// A context without a device draws nothing.
class CDrawContext : public CReferenceCounter {
 public:
  // frame, device and window may each be empty. Without a device but with a window, the context
  // obtains the window's device itself and gives it back at destruction.
  CDrawContext(CFrame* frame, platform::PlatformDevice* device, void* window);
  ~CDrawContext() override;

  void setLineColor(const CRgbColor& color);
  void setLineWidth(int32_t width);
  void setLineStyle(int32_t style);
  void setFillColor(const CRgbColor& color);
  void setFontColor(const CRgbColor& color);
  void setDrawMode(int32_t mode);
  // size 0 means the font table's default; an id outside 0..7 is 0.
  void setFont(int32_t fontId, int32_t size = 0, int32_t style = 0);
  void setClipRect(const CViewRect& clip);
  CViewRect getClipRect() const;

  CRgbColor getLineColor() const { return lineColor; }
  CRgbColor getFillColor() const { return fillColor; }
  CRgbColor getFontColor() const { return fontColor; }
  int32_t getLineWidth() const { return lineWidth; }
  int32_t getLineStyle() const { return lineStyle; }
  int32_t getDrawMode() const { return drawMode; }
  int32_t getFontId() const { return fontId; }
  int32_t getFontSize() const { return fontSize; }
  int32_t getFontStyle() const { return fontStyle; }

  void moveTo(const CViewPoint& point);
  // A line from the current position to `point`, end point excluded.
  void lineTo(const CViewPoint& point);
  // kDrawFilled fills [l, r) x [t, b); kDrawStroked outlines the outermost pixels; both for
  // kDrawFilledAndStroked; any other style draws nothing.
  void drawRect(const CViewRect& rect, int32_t style = kDrawStroked);
  // Fills [l + 1, r) x [t + 1, b): the left column and the top row stay untouched.
  void fillRect(const CViewRect& rect);
  // Sets one pixel; alpha is ignored.
  void drawPoint(const CViewPoint& point, const CRgbColor& color);
  // One line of text, vertically centred in the rectangle; left alignment starts one pixel in.
  // An empty or null text draws nothing. A non-zero `opaque` fills the text cell with the fill
  // colour.
  void drawString(const char* text, const CViewRect& rect, int16_t opaque = 0,
                  int32_t align = kCenterText);
  // The cursor's screen position minus windowOrigin; offset is not applied.
  void getMouseLocation(CViewPoint& point);

  platform::PlatformDevice* getDevice() const { return device; }
  void* getWindow() const { return window; }
  CFrame* getFrame() const { return frame; }

  // Screen position of the window's outer top-left corner; containers shift it with offset.
  CViewPoint windowOrigin;
  // Translation added to every drawing coordinate; read and written directly by containers.
  CViewPoint offset;

 protected:
  // Puts the device's own brush, pen and font back (destruction, and before a memory device is
  // deleted).
  void restoreDeviceObjects();
  // Gives a device that the context took over after construction the context's current
  // attributes, saving what it held (used by off-screen contexts for their memory device).
  void adoptDevice(platform::PlatformDevice* newDevice);

  platform::PlatformDevice* device = nullptr;
  void* window = nullptr;
  CFrame* frame = nullptr;
  int32_t fontSize = -1;
  int32_t fontStyle = 0;
  int32_t fontId = 8;  // placeholder: no font yet
  CRgbColor fontColor{0, 0, 0, 0};
  int32_t lineWidth = 0;
  CRgbColor lineColor{0, 0, 0, 0};
  CRgbColor fillColor{0, 0, 0, 0};
  int32_t lineStyle = kLineDotted;
  int32_t drawMode = 3;
  CViewRect clipRect;
  platform::PlatformBrush* brush = nullptr;
  platform::PlatformPen* pen = nullptr;
  platform::PlatformFont* font = nullptr;
  platform::PlatformBrush* savedBrush = nullptr;
  platform::PlatformPen* savedPen = nullptr;
  platform::PlatformFont* savedFont = nullptr;
  int32_t penStyle = platform::kPenSolid;
  platform::PlatformDevice* acquiredDevice = nullptr;

 private:
  void applyPen();
};

}  // namespace gui
