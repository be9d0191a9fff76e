#pragma once

// The raster backend's windows. Every window ever made keeps its record until the process ends
// (its surface is freed when it is destroyed), so a handle or a HeadlessWindow pointer held past
// the window's end is answered as "no such window" instead of reaching freed memory, the way
// Win32 treats a stale HWND.

#include <memory>
#include <vector>

#include "gui/CViewRect.h"
#include "gui/platform/PlatformDropTarget.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace raster {
class HeadlessWindow;
class RasterTextEntry;
}  // namespace raster

namespace platform {

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
  int32_t paintCount = 0;
  int32_t forwardedWheel = 0;
  raster::HeadlessWindow* facade = nullptr;
  std::unique_ptr<raster::HeadlessWindow> ownedFacade;  // children: made by the backend
  raster::RasterTextEntry* entry = nullptr;
  DropTargetHandler* dropHandler = nullptr;

  void* handle() { return this; }
  // A new top-level (parent == null) or child window with a surface of its size.
  static WindowRecord* create(WindowRecord* parent, int32_t width, int32_t height,
                              const CViewPoint& origin);
  // The live window behind a handle, or null.
  static WindowRecord* find(void* handle);
  // Every window that still lives, oldest first.
  static std::vector<WindowRecord*> liveWindows();
  // Sends the destroy message, destroys the children, frees the surface.
  void destroy();
  // Adds rect (clipped to the client area) to the region waiting to be painted.
  void invalidate(const CViewRect& rect);
  // Delivers the waiting paint through the window procedure; false when nothing waits.
  bool dispatchPaint();
  // Calls the window procedure of the registered class; false when it asks for the default.
  bool send(WindowMessage& message);
};

// The window procedure of the registered class, or null.
WindowProcedure registeredProcedure();
// The oldest live window with a paint waiting, or null.
WindowRecord* firstWindowWaitingForPaint();
// The default background erase of a paint: the class brush (button face) over rect.
void erasePaintArea(WindowRecord* window, const CViewRect& rect);

}  // namespace platform
}  // namespace gui
