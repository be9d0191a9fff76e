#pragma once

// The raster backend's windows. Every window ever made keeps its record until the process ends
// (its surface is freed when it is destroyed), so a handle or a HeadlessWindow pointer held past
// the window's end is answered as "no such window" instead of reaching freed memory, the way
// Win32 treats a stale HWND. A record is headless, or shown by a native window (NativeWindow.h),
// which then owns the surface and belongs to one thread: the operations that look across windows
// (the oldest waiting paint) leave another thread's native windows alone.

#include <memory>
#include <vector>

#include "gui/CViewRect.h"
#include "gui/KeyEvent.h"
#include "gui/platform/PlatformDropTarget.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace raster {
class HeadlessWindow;
class RasterTextEntry;
}  // namespace raster

namespace platform {

class NativeWindow;

struct WindowRecord {
  WindowRecord* parent = nullptr;
  std::vector<WindowRecord*> children;
  int32_t width = 0;
  int32_t height = 0;
  CViewPoint origin;  // outer top-left corner, screen coordinates
  PlatformImage* surface = nullptr;
  bool alive = true;
  void* userData = nullptr;
  bool pendingPaint = false;
  CViewRect updateRect;
  CViewRect paintingRect;  // between beginPaint and endPaint: the rectangle being painted
  int32_t paintCount = 0;
  int32_t forwardedWheel = 0;
  raster::HeadlessWindow* facade = nullptr;
  std::unique_ptr<raster::HeadlessWindow> ownedFacade;  // children: made by the backend
  raster::RasterTextEntry* entry = nullptr;
  DropTargetHandler* dropHandler = nullptr;
  NativeWindow* native = nullptr;  // null for a headless window; released with the record

  void* handle() { return this; }
  // A new top-level (parent == null) or child window with a surface of its size.
  static WindowRecord* create(WindowRecord* parent, int32_t width, int32_t height,
                              const CViewPoint& origin);
  // A new record of a native window, which owns the surface (an image of width x height).
  static WindowRecord* createNative(NativeWindow* native, PlatformImage* surface);
  // The live window behind a handle, or null.
  static WindowRecord* find(void* handle);
  // Every window that still lives, oldest first.
  static std::vector<WindowRecord*> liveWindows();
  // The live native windows of the calling thread, oldest first, at most `capacity` of them;
  // answers how many were written to `windows`.
  static size_t nativeWindowsOfThisThread(WindowRecord** windows, size_t capacity);
  // A headless window, or a native one on its own thread.
  bool servesCallingThread() const;
  // Sends the destroy message, destroys the children, frees the surface.
  void destroy();
  // Adds rect (clipped to the client area) to the region waiting to be painted.
  void invalidate(const CViewRect& rect);
  // Delivers the waiting paint through the window procedure; false when nothing waits.
  bool dispatchPaint();
  // Calls the window procedure of the registered class; false when it asks for the default.
  bool send(WindowMessage& message);
  // A press at a client position, the input state already holding it: an open text entry takes
  // a press inside it; a press elsewhere first takes the entry's focus away, then goes to the
  // window procedure as the button-down message.
  void press(const CViewPoint& where);
  // A key while the window has the keyboard focus: only an open text entry takes keys (true).
  bool key(const KeyEvent& key);
};

// The window procedure of the registered class, or null.
WindowProcedure registeredProcedure();
// The oldest live window with a paint waiting that the calling thread may serve, or null.
WindowRecord* firstWindowWaitingForPaint();
// The default background erase of a paint: the class brush (button face) over rect.
void erasePaintArea(WindowRecord* window, const CViewRect& rect);

}  // namespace platform
}  // namespace gui
