#pragma once

// The image an X11 window shows, which is also the raster surface its window record's devices
// draw into (32-bit pixels: blue, green, red, alpha bytes), for these seam operations:
// - endPaint and releaseWindowDevice: put (XShmPutImage into the window from a shared memory
//   segment when the server offers MIT-SHM, otherwise XPutImage);
// - beginPaint and getWindowDevice: awaitServer (XSync while the server may still read a shared
//   image, so that no drawing changes what it is reading).

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <memory>

#include "gui/CViewRect.h"
#include "gui/platform/raster/RasterImage.h"

namespace gui {
namespace platform {
namespace x11 {

class X11Connection;

class X11Surface {
 public:
  // A surface of width x height for windows of `visual` (24-bit true colour, red in bits 16 to
  // 23, green 8 to 15, blue 0 to 7); null for another visual or without memory.
  static std::unique_ptr<X11Surface> create(X11Connection& connection, Visual* visual,
                                            int32_t width, int32_t height);
  // Frees the image and detaches the shared segment; the connection must still be open.
  ~X11Surface();
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  PlatformImage* image() { return &surface; }
  bool isShared() const { return shared; }
  // Sends `rect` of the image to the same place in `drawable`.
  void put(Drawable drawable, GC gc, const CViewRect& rect);
  // Returns once the server has read every image put so far.
  void awaitServer();

 private:
  explicit X11Surface(X11Connection& connection);
  bool makeShared(Visual* visual, int32_t width, int32_t height);
  bool makePlain(Visual* visual, int32_t width, int32_t height);

  X11Connection& connection;
  PlatformImage surface;
  XImage* xImage = nullptr;
  bool shared = false;
  XShmSegmentInfo segment{};
  std::unique_ptr<uint32_t[]> plainPixels;
  bool putPending = false;
};

}  // namespace x11
}  // namespace platform
}  // namespace gui
