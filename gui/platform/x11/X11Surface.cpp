// The X11 window's two images (see X11Surface.h):
// - getWindowDevice / beginPaint: the surface the devices draw into;
// - endPaint / releaseWindowDevice: the image the server is given, with what changed between the
//   two sent (XShmPutImage from a shared segment, XShmAttach / XShmDetach; or XPutImage).

#include "gui/platform/x11/X11Surface.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>

#include "gui/platform/x11/X11Connection.h"
#include "gui/platform/x11/X11ErrorTrap.h"

namespace gui {
namespace platform {
namespace x11 {

namespace {

constexpr int kDepth = 24;
constexpr int kBitsPerPixel = 32;
// Changes are looked for in columns this wide: a few rectangles per put, each close around what
// changed (a meter, the goniometer), instead of one that spans all of them.
constexpr int32_t kColumnWidth = 64;
// Rectangles of one put before they would need more memory.
constexpr size_t kStagedRectangles = 64;

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
// significant byte first.
bool hasRasterLayout(const XImage* image, int32_t width) {
  return image->bits_per_pixel == kBitsPerPixel && image->bytes_per_line == width * 4;
}

void describe(PlatformImage& image, int32_t width, int32_t height, void* pixels) {
  image.width = width;
  image.height = height;
  image.pixels = static_cast<uint8_t*>(pixels);
}

struct CompletionOf {
  int type;
  ShmSeg segment;
};

Bool isCompletionOf(Display*, XEvent* event, XPointer argument) {
  const auto* wanted = reinterpret_cast<const CompletionOf*>(argument);
  return event->type == wanted->type &&
                 reinterpret_cast<const XShmCompletionEvent*>(event)->shmseg == wanted->segment
             ? True
             : False;
}

}  // namespace

std::unique_ptr<X11Surface> X11Surface::create(X11Connection& connection, Visual* visual,
                                               int32_t width, int32_t height) {
  if (!isDirectRgb(visual) || !isReasonableSize(width, height)) return nullptr;
  std::unique_ptr<X11Surface> surface(new X11Surface(connection));
  surface->surfacePixels.reset(new (std::nothrow) uint32_t[size_t(width) * height]);
  if (!surface->surfacePixels) return nullptr;
  if (!surface->makeShared(visual, width, height) && !surface->makePlain(visual, width, height)) {
    return nullptr;
  }
  describe(surface->surface, width, height, surface->surfacePixels.get());
  describe(surface->shown, width, height, surface->xImage->data);
  std::memset(surface->shown.pixels, 0, size_t(width) * height * 4);
  surface->staged.reserve(kStagedRectangles);
  return surface;
}

X11Surface::X11Surface(X11Connection& connection) : connection(connection) {}

bool X11Surface::makeShared(Visual* visual, int32_t width, int32_t height) {
  Display* display = connection.display();
  X11ErrorTrap trap;
  // The server reads the segment as it is: only in its own byte order, and only where it can
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
  completionType = XShmGetEventBase(display) + ShmCompletion;
  return true;
}

bool X11Surface::makePlain(Visual* visual, int32_t width, int32_t height) {
  plainShownPixels.reset(new (std::nothrow) uint32_t[size_t(width) * height]);
  if (!plainShownPixels) return false;
  X11ErrorTrap trap;
  XImage* image = XCreateImage(connection.display(), visual, kDepth, ZPixmap, 0,
                               reinterpret_cast<char*>(plainShownPixels.get()), width, height,
                               kBitsPerPixel, 0);
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

// --- Staging --------------------------------------------------------------------------------

void X11Surface::stageChanges(const CViewRect& rect) {
  const CViewRect area = rect.intersect(CViewRect(0, 0, surface.width, surface.height));
  if (area.isEmpty()) return;
  awaitServer();
  for (int32_t left = area.left; left < area.right;) {
    const int32_t right = std::min(area.right, (left / kColumnWidth + 1) * kColumnWidth);
    stageColumn(left, right, area.top, area.bottom);
    left = right;
  }
}

// Rows whose part of the column changed are copied; each run of them becomes a rectangle.
void X11Surface::stageColumn(int32_t left, int32_t right, int32_t top, int32_t bottom) {
  const size_t bytes = size_t(right - left) * 4;
  int32_t runTop = -1;
  for (int32_t y = top; y < bottom; ++y) {
    const uint8_t* from = surface.row(y) + left * 4;
    uint8_t* to = shown.row(y) + left * 4;
    if (std::memcmp(from, to, bytes) != 0) {
      std::memcpy(to, from, bytes);
      if (runTop < 0) runTop = y;
    } else if (runTop >= 0) {
      remember(CViewRect(left, runTop, right, y));
      runTop = -1;
    }
  }
  if (runTop >= 0) remember(CViewRect(left, runTop, right, bottom));
}

void X11Surface::stageArea(const CViewRect& rect) {
  const CViewRect area = rect.intersect(CViewRect(0, 0, surface.width, surface.height));
  if (area.isEmpty()) return;
  awaitServer();
  const size_t bytes = size_t(area.getWidth()) * 4;
  for (int32_t y = area.top; y < area.bottom; ++y) {
    std::memcpy(shown.row(y) + area.left * 4, surface.row(y) + area.left * 4, bytes);
  }
  staged.push_back(area);
}

// A rectangle that continues the one of the column to its left over the same rows joins it.
void X11Surface::remember(const CViewRect& rect) {
  for (CViewRect& box : staged) {
    if (box.right == rect.left && box.top == rect.top && box.bottom == rect.bottom) {
      box.right = rect.right;
      return;
    }
  }
  staged.push_back(rect);
}

// --- Putting --------------------------------------------------------------------------------

void X11Surface::putStaged(Drawable drawable, GC gc) {
  if (staged.empty()) return;
  if (connection.isBroken()) {
    staged.clear();
    return;
  }
  X11ErrorTrap trap;
  Display* display = connection.display();
  for (size_t i = 0; i < staged.size(); ++i) {
    const CViewRect& box = staged[i];
    const unsigned width = unsigned(box.getWidth());
    const unsigned height = unsigned(box.getHeight());
    if (shared) {
      // The requests are handled in order: the last one's completion covers them all.
      const Bool last = i + 1 == staged.size() ? True : False;
      XShmPutImage(display, drawable, gc, xImage, box.left, box.top, box.left, box.top, width,
                   height, last);
    } else {
      XPutImage(display, drawable, gc, xImage, box.left, box.top, box.left, box.top, width, height);
    }
  }
  putPending = shared;
  staged.clear();
  XFlush(display);
}

bool X11Surface::takeCompletion(const XEvent& event) {
  CompletionOf wanted{completionType, segment.shmseg};
  if (!shared ||
      !isCompletionOf(nullptr, const_cast<XEvent*>(&event), reinterpret_cast<XPointer>(&wanted))) {
    return false;
  }
  putPending = false;
  return true;
}

// Before the shared image changes, the server must have read it: its completion event is
// nearly always waiting already; otherwise a round trip brings it.
void X11Surface::awaitServer() {
  if (!putPending) return;
  putPending = false;
  if (connection.isBroken()) return;
  X11ErrorTrap trap;
  Display* display = connection.display();
  CompletionOf wanted{completionType, segment.shmseg};
  XEvent event;
  if (XCheckIfEvent(display, &event, isCompletionOf, reinterpret_cast<XPointer>(&wanted))) return;
  XSync(display, False);
  XCheckIfEvent(display, &event, isCompletionOf, reinterpret_cast<XPointer>(&wanted));
}

}  // namespace x11
}  // namespace platform
}  // namespace gui
