// The X11 window's image (see X11Surface.h): endPaint and releaseWindowDevice put it on screen,
// beginPaint and getWindowDevice wait until the server has read it.

#include "gui/platform/x11/X11Surface.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include "gui/platform/x11/X11Connection.h"
#include "gui/platform/x11/X11ErrorTrap.h"

namespace gui {
namespace platform {
namespace x11 {

namespace {

constexpr int kDepth = 24;
constexpr int kBitsPerPixel = 32;

bool isDirectRgb(const Visual* visual) {
  return visual != nullptr && visual->red_mask == 0xFF0000 && visual->green_mask == 0x00FF00 &&
         visual->blue_mask == 0x0000FF;
}

bool isReasonableSize(int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= raster::kMaximumImageSide &&
         height <= raster::kMaximumImageSide &&
         int64_t(width) * height <= raster::kMaximumImagePixels;
}

// The raster pixels (blue, green, red, alpha in memory) as X sees them: 32 bits per pixel, least
// significant byte first, whatever order the server itself uses.
bool hasRasterLayout(const XImage* image, int32_t width) {
  return image->bits_per_pixel == kBitsPerPixel && image->bytes_per_line == width * 4;
}

}  // namespace

std::unique_ptr<X11Surface> X11Surface::create(X11Connection& connection, Visual* visual,
                                               int32_t width, int32_t height) {
  if (!isDirectRgb(visual) || !isReasonableSize(width, height)) return nullptr;
  std::unique_ptr<X11Surface> surface(new X11Surface(connection));
  if (surface->makeShared(visual, width, height) || surface->makePlain(visual, width, height)) {
    surface->surface.width = width;
    surface->surface.height = height;
    surface->surface.pixels = reinterpret_cast<uint8_t*>(surface->xImage->data);
    return surface;
  }
  return nullptr;
}

X11Surface::X11Surface(X11Connection& connection) : connection(connection) {}

bool X11Surface::makeShared(Visual* visual, int32_t width, int32_t height) {
  Display* display = connection.display();
  X11ErrorTrap trap;
  // The server reads the segment as it is: only for its own byte order, and only where it can
  // reach this machine's memory (a local server; a remote one refuses the attach).
  if (!XShmQueryExtension(display) || ImageByteOrder(display) != LSBFirst) return false;
  XImage* image =
      XShmCreateImage(display, visual, kDepth, ZPixmap, nullptr, &segment, width, height);
  if (image == nullptr) return false;
  if (!hasRasterLayout(image, width)) {
    XDestroyImage(image);
    return false;
  }
  segment.shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * height, IPC_CREAT | 0600);
  if (segment.shmid < 0) {
    XDestroyImage(image);
    return false;
  }
  void* memory = shmat(segment.shmid, nullptr, 0);
  const bool mapped = memory != reinterpret_cast<void*>(-1);
  segment.shmaddr = image->data = mapped ? static_cast<char*>(memory) : nullptr;
  segment.readOnly = False;
  const unsigned long errors = connection.errorCount();
  const bool attached =
      mapped && XShmAttach(display, &segment) && connection.syncWithoutErrorsSince(errors);
  // Marked for removal at once: the segment goes when both sides have let go of it, even if the
  // process ends without detaching.
  shmctl(segment.shmid, IPC_RMID, nullptr);
  if (!attached) {
    if (mapped) shmdt(memory);
    XDestroyImage(image);
    return false;
  }
  xImage = image;
  shared = true;
  return true;
}

bool X11Surface::makePlain(Visual* visual, int32_t width, int32_t height) {
  plainPixels.reset(new (std::nothrow) uint32_t[size_t(width) * height]);
  if (!plainPixels) return false;
  X11ErrorTrap trap;
  XImage* image =
      XCreateImage(connection.display(), visual, kDepth, ZPixmap, 0,
                   reinterpret_cast<char*>(plainPixels.get()), width, height, kBitsPerPixel, 0);
  if (image == nullptr) return false;
  image->byte_order = LSBFirst;  // Xlib reorders the bytes for a server that wants otherwise
  if (!hasRasterLayout(image, width)) {
    image->data = nullptr;  // the pixels are not the image's to free
    XDestroyImage(image);
    return false;
  }
  xImage = image;
  return true;
}

X11Surface::~X11Surface() {
  X11ErrorTrap trap;
  if (shared) {
    if (!connection.isBroken()) {
      XShmDetach(connection.display(), &segment);
      XSync(connection.display(), False);
    }
    shmdt(segment.shmaddr);
  } else if (xImage != nullptr) {
    xImage->data = nullptr;
  }
  if (xImage != nullptr) XDestroyImage(xImage);
}

void X11Surface::put(Drawable drawable, GC gc, const CViewRect& rect) {
  if (connection.isBroken() || rect.isEmpty()) return;
  X11ErrorTrap trap;
  Display* display = connection.display();
  const unsigned width = unsigned(rect.getWidth());
  const unsigned height = unsigned(rect.getHeight());
  if (shared) {
    XShmPutImage(display, drawable, gc, xImage, rect.left, rect.top, rect.left, rect.top, width,
                 height, False);
    putPending = true;
  } else {
    XPutImage(display, drawable, gc, xImage, rect.left, rect.top, rect.left, rect.top, width,
              height);
  }
  XFlush(display);
}

void X11Surface::awaitServer() {
  if (!putPending) return;
  putPending = false;
  if (connection.isBroken()) return;
  X11ErrorTrap trap;
  XSync(connection.display(), False);
}

}  // namespace x11
}  // namespace platform
}  // namespace gui
