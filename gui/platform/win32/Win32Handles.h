#pragma once

// What the Win32 files share and nothing else includes:
// - the casts between the seam's opaque handles and the Win32 handles they stand for
//   (PlatformPen = HPEN, PlatformBrush = HBRUSH, PlatformFont = HFONT, PlatformImage = HBITMAP,
//   ImageLibrary = HMODULE, windows = HWND); the seam never dereferences them;
// - the module instance the window class, the child windows and the resources belong to;
// - the HDC behind a PlatformDevice (Win32Device.h);
// - the guard that keeps C++ exceptions inside the callbacks Windows calls.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace platform {
namespace win32 {

inline HWND toWindow(void* window) { return static_cast<HWND>(window); }
inline void* fromWindow(HWND window) { return window; }

inline HPEN toHandle(PlatformPen* pen) { return reinterpret_cast<HPEN>(pen); }
inline HBRUSH toHandle(PlatformBrush* brush) { return reinterpret_cast<HBRUSH>(brush); }
inline HFONT toHandle(PlatformFont* font) { return reinterpret_cast<HFONT>(font); }
inline HBITMAP toHandle(PlatformImage* image) { return reinterpret_cast<HBITMAP>(image); }
inline HMODULE toHandle(ImageLibrary* library) { return reinterpret_cast<HMODULE>(library); }

inline PlatformPen* toPen(HGDIOBJ pen) { return reinterpret_cast<PlatformPen*>(pen); }
inline PlatformBrush* toBrush(HGDIOBJ brush) { return reinterpret_cast<PlatformBrush*>(brush); }
inline PlatformFont* toFont(HGDIOBJ font) { return reinterpret_cast<PlatformFont*>(font); }
inline PlatformImage* toImage(HGDIOBJ image) { return reinterpret_cast<PlatformImage*>(image); }
inline ImageLibrary* toLibrary(HMODULE library) { return reinterpret_cast<ImageLibrary*>(library); }

inline RECT toRect(const CViewRect& rect) {
  return RECT{rect.left, rect.top, rect.right, rect.bottom};
}
inline CViewRect fromRect(const RECT& rect) {
  return CViewRect(rect.left, rect.top, rect.right, rect.bottom);
}

// The device context of a device made by this layer; null for null.
HDC deviceContextOf(PlatformDevice* device);

// The module that holds the toolkit: the handle the library recorded at load, or, in a program
// that links the toolkit directly, the module this code lives in.
HINSTANCE moduleInstance();

// Runs a callback's body and keeps any C++ exception from leaving it: Windows' own frames lie
// between a window procedure or COM method and its caller, and no exception may cross them.
template <typename Result, typename Body>
Result guarded(Result fallback, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace win32
}  // namespace platform
}  // namespace gui
