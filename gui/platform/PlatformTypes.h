#pragma once

// Plain types of the platform seam: colours, opaque object handles, the constants that travel
// through it, and the records the native window hands to the frame. See Platform.h for the seam
// as a whole.

#include <cstddef>
#include <cstdint>

#include "gui/CViewPoint.h"
#include "gui/CViewRect.h"

namespace gui {
namespace platform {

// A colour as the platform takes it: red + green*256 + blue*65536 (a COLORREF).
using PlatformColor = uint32_t;
// What GetPixel answers for a point outside the surface or the clip (CLR_INVALID).
constexpr PlatformColor kInvalidColor = 0xFFFFFFFFu;

constexpr uint8_t redOf(PlatformColor color) { return uint8_t(color); }
constexpr uint8_t greenOf(PlatformColor color) { return uint8_t(color >> 8); }
constexpr uint8_t blueOf(PlatformColor color) { return uint8_t(color >> 16); }
constexpr PlatformColor makeColor(uint8_t red, uint8_t green, uint8_t blue) {
  return PlatformColor(red) | (PlatformColor(green) << 8) | (PlatformColor(blue) << 16);
}

// Opaque graphic objects, created by the free functions of Platform.h and deleted with
// deleteObject. Each backend defines them (HPEN, HBRUSH, HFONT, HBITMAP on Win32).
struct PlatformPen;
struct PlatformBrush;
struct PlatformFont;
struct PlatformImage;
// The image-blending system library while loaded (the HMODULE of "msimg32.dll").
struct ImageLibrary;

class PlatformDevice;

// Pen styles (CreatePenIndirect).
enum : int32_t { kPenSolid = 0, kPenDot = 2 };
// Background modes (SetBkMode).
enum : int32_t { kBackgroundTransparent = 1, kBackgroundOpaque = 2 };
// Raster modes of lines (SetROP2).
enum : int32_t { kRopNotXorPen = 10, kRopCopyPen = 13, kRopMergePen = 15 };
// Text flags (DrawTextA).
enum : uint32_t {
  kTextLeft = 0x0,
  kTextCenter = 0x1,
  kTextRight = 0x2,
  kTextVerticalCenter = 0x4,
  kTextSingleLine = 0x20,
  kTextNoPrefix = 0x800,
};
// Raster operations of block copies (BitBlt).
enum : uint32_t { kSourceCopy = 0x00CC0020, kSourceAnd = 0x008800C6, kSourceInvert = 0x00660046 };

// A logical font record (LOGFONTA), reduced to the fields this system sets.
struct LogicalFont {
  int32_t height = 0;    // negative: character height in pixels
  int32_t weight = 400;  // 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  uint8_t charSet = 0;
  uint8_t outputPrecision = 1;  // OUT_STRING_PRECIS
  uint8_t clipPrecision = 2;    // CLIP_STROKE_PRECIS
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0x22;  // VARIABLE_PITCH | FF_SWISS; 0x50 decorative
  char faceName[32] = {};
};

// The blend of AlphaBlend (BLENDFUNCTION).
struct BlendFunction {
  uint8_t operation = 0;  // AC_SRC_OVER
  uint8_t flags = 0;
  uint8_t constantAlpha = 255;
  uint8_t alphaFormat = 0;  // 0, or kSourceAlpha for per-pixel premultiplied alpha
};
constexpr uint8_t kSourceAlpha = 1;  // AC_SRC_ALPHA

// Entry points found in the image-blending library (AlphaBlend, TransparentBlt). Both take
// destination and source rectangles as x, y, width, height and answer false when they refuse
// (AlphaBlend refuses a source rectangle that leaves the source image).
using AlphaBlendOperation = bool (*)(PlatformDevice* destination, int32_t dx, int32_t dy,
                                     int32_t dw, int32_t dh, PlatformDevice* source, int32_t sx,
                                     int32_t sy, int32_t sw, int32_t sh, BlendFunction blend);
using TransparentBltOperation = bool (*)(PlatformDevice* destination, int32_t dx, int32_t dy,
                                         int32_t dw, int32_t dh, PlatformDevice* source, int32_t sx,
                                         int32_t sy, int32_t sw, int32_t sh,
                                         PlatformColor transparent);

// The operating-system version record (OSVERSIONINFOEXA, the fields read here).
struct OsVersion {
  uint32_t size = 156;
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t platformId = 0;  // above 1: NT family
};

// Read-only bytes of one of the library's own resources; data is null when there is none.
struct ResourceBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

// The physical buttons and modifier keys, each as GetAsyncKeyState reports it (down = negative).
struct AsyncInputState {
  bool leftButton = false;    // VK_LBUTTON (1)
  bool rightButton = false;   // VK_RBUTTON (2)
  bool middleButton = false;  // VK_MBUTTON (4)
  bool shift = false;         // VK_SHIFT (0x10)
  bool control = false;       // VK_CONTROL (0x11)
  bool alt = false;           // VK_MENU (0x12)
};

// What the native window hands to the frame's window procedure (one Win32 message each).
enum class WindowMessageKind {
  destroy,     // WM_DESTROY
  paint,       // WM_PAINT: the procedure asks getUpdateRect / beginPaint / endPaint itself
  mouseDown,   // WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN: where = client position
  mouseWheel,  // WM_MOUSEWHEEL: where = screen position, wheelDelta = signed high word of wParam
};

struct WindowMessage {
  WindowMessageKind kind = WindowMessageKind::destroy;
  CViewPoint where;        // mouseDown: client coordinates; mouseWheel: screen coordinates
  int32_t wheelDelta = 0;  // mouseWheel: 120 per notch, signed
  intptr_t result = 0;     // out: the message result
};

// The window procedure of a window class: answers true when the message is consumed, false
// when the platform must also apply its default processing (DefWindowProcA).
using WindowProcedure = bool (*)(void* window, WindowMessage& message);

}  // namespace platform
}  // namespace gui
