// The X11 window half's way in from the raster backend's window operations:
// - createChildWindow for a parent that is a host's X11 window id: a new X11Window (its own
//   connection) and the window record that stands for it.
// The rest of the seam reaches the window through its record (X11Window.h).

#include "gui/platform/raster/NativeWindow.h"
#include "gui/platform/raster/WindowRecord.h"
#include "gui/platform/x11/X11Window.h"

namespace gui {
namespace platform {
namespace native {

namespace {

// X resource ids have 29 bits; a value beyond them (a pointer of the other window half, or a
// stale one) names no X window, and no connection is opened for it.
constexpr uintptr_t kResourceIdBits = 0x1FFFFFFF;

bool couldBeWindowId(void* handle) {
  const uintptr_t id = reinterpret_cast<uintptr_t>(handle);
  return id != 0 && (id & ~kResourceIdBits) == 0;
}

}  // namespace

WindowRecord* createChildWindow(void* parent, int32_t width, int32_t height) {
  if (!couldBeWindowId(parent)) return nullptr;
  x11::X11Window* window =
      x11::X11Window::create(Window(reinterpret_cast<uintptr_t>(parent)), width, height);
  if (window == nullptr) return nullptr;
  WindowRecord* record = WindowRecord::createNative(window, window->surfaceImage());
  window->attach(record);
  return record;
}

}  // namespace native
}  // namespace platform
}  // namespace gui
