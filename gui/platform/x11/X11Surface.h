#pragma once

// What an X11 window shows, for these seam operations on its record:
// - the window devices (getWindowDevice, beginPaint) draw into image(), the raster surface of the
//   window record (32-bit pixels: blue, green, red, alpha bytes);
// - endPaint and releaseWindowDevice show it: stageChanges copies what changed since the last
//   put into the image the server reads (a shared memory segment when the server offers MIT-SHM,
//   plain memory otherwise), stageArea adds an area that the caller draws over (an open text
//   entry), and putStaged sends the changed rectangles (XShmPutImage or XPutImage).
// The server reads a shared image after the request has gone: the next staging first waits for
// the completion event of the last put, which by then has nearly always arrived.

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <memory>
#include <vector>

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
  // Frees both images and detaches the shared segment; the connection must still be open.
  ~X11Surface();
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  // Where the window's devices draw.
  PlatformImage* image() { return &surface; }
  // The image the server is given, for drawing over a staged area.
  PlatformImage* shownImage() { return &shown; }
  bool isShared() const { return shared; }

  // Copies the pixels of `rect` that differ from what the server was given last into the shown
  // image, and remembers the rectangles they lie in.
  void stageChanges(const CViewRect& rect);
  // Copies all of `rect` into the shown image and remembers it.
  void stageArea(const CViewRect& rect);
  // Sends the remembered rectangles of the shown image to the same place in `drawable`.
  void putStaged(Drawable drawable, GC gc);
  // True for the completion event of this surface's puts, which then counts as read.
  bool takeCompletion(const XEvent& event);

 private:
  explicit X11Surface(X11Connection& connection);
  bool makeShared(Visual* visual, int32_t width, int32_t height);
  bool makePlain(Visual* visual, int32_t width, int32_t height);
  void awaitServer();
  void stageColumn(int32_t left, int32_t right, int32_t top, int32_t bottom);
  void remember(const CViewRect& rect);

  X11Connection& connection;
  PlatformImage surface;
  PlatformImage shown;
  std::unique_ptr<uint32_t[]> surfacePixels;
  std::unique_ptr<uint32_t[]> plainShownPixels;
  XImage* xImage = nullptr;
  bool shared = false;
  XShmSegmentInfo segment{};
  int completionType = -1;
  bool putPending = false;
  std::vector<CViewRect> staged;
};

}  // namespace x11
}  // namespace platform
}  // namespace gui
