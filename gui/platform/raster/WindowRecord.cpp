#include "gui/platform/raster/WindowRecord.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "gui/platform/Platform.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/platform/raster/NativeWindow.h"
#include "gui/platform/raster/RasterImage.h"
#include "gui/platform/raster/RasterObjects.h"
#include "gui/platform/raster/RasterTextEntry.h"

namespace gui {
namespace platform {

namespace {

// The class background (COLOR_BTNFACE) that the default erase paints.
constexpr PlatformColor kButtonFace = 0xF0F0F0;

struct Registry {
  std::mutex mutex;
  std::vector<std::unique_ptr<WindowRecord>> all;
  std::vector<WindowRecord*> live;
};

Registry& registry() {
  static Registry instance;
  return instance;
}

void fillSurface(PlatformImage* surface, const CViewRect& rect, PlatformColor color) {
  if (surface == nullptr) return;
  const CViewRect area = rect.intersect(CViewRect(0, 0, surface->width, surface->height));
  const uint32_t value = raster::opaquePixel(color);
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x)
      std::memcpy(surface->row(y) + x * 4, &value, 4);
  }
}

CViewRect unionOf(const CViewRect& a, const CViewRect& b) {
  return CViewRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                   std::max(a.bottom, b.bottom));
}

}  // namespace

void erasePaintArea(WindowRecord* window, const CViewRect& rect) {
  fillSurface(window->surface, rect, kButtonFace);
}

namespace {

// Makes the record known: from here on its handle finds it. Everything a reader on another
// thread may look at (the native window, the parent) is set before.
WindowRecord* publish(std::unique_ptr<WindowRecord> record) {
  WindowRecord* window = record.get();
  Registry& instance = registry();
  std::lock_guard<std::mutex> lock(instance.mutex);
  instance.all.push_back(std::move(record));
  instance.live.push_back(window);
  if (window->parent != nullptr) window->parent->children.push_back(window);
  return window;
}

}  // namespace

WindowRecord* WindowRecord::create(WindowRecord* parent, int32_t width, int32_t height,
                                   const CViewPoint& origin) {
  auto record = std::make_unique<WindowRecord>();
  record->parent = parent;
  record->width = std::max(0, width);
  record->height = std::max(0, height);
  record->origin = origin;
  record->surface = raster::allocateImage(record->width, record->height, false);
  fillSurface(record->surface, CViewRect(0, 0, record->width, record->height), kButtonFace);
  return publish(std::move(record));
}

WindowRecord* WindowRecord::createNative(NativeWindow* native, PlatformImage* surface) {
  auto record = std::make_unique<WindowRecord>();
  record->native = native;
  record->surface = surface;
  record->width = surface->width;
  record->height = surface->height;
  record->origin = native->getScreenOrigin();
  fillSurface(record->surface, CViewRect(0, 0, record->width, record->height), kButtonFace);
  return publish(std::move(record));
}

bool WindowRecord::servesCallingThread() const {
  return native == nullptr || native->isOwnThread();
}

WindowRecord* WindowRecord::find(void* handle) {
  if (handle == nullptr) return nullptr;
  Registry& instance = registry();
  std::lock_guard<std::mutex> lock(instance.mutex);
  for (WindowRecord* window : instance.live) {
    if (window == handle) return window;
  }
  return nullptr;
}

std::vector<WindowRecord*> WindowRecord::liveWindows() {
  Registry& instance = registry();
  std::lock_guard<std::mutex> lock(instance.mutex);
  return instance.live;
}

size_t WindowRecord::nativeWindowsOfThisThread(WindowRecord** windows, size_t capacity) {
  Registry& instance = registry();
  std::lock_guard<std::mutex> lock(instance.mutex);
  size_t count = 0;
  for (WindowRecord* window : instance.live) {
    if (count == capacity) break;
    if (window->native != nullptr && window->native->isOwnThread()) windows[count++] = window;
  }
  return count;
}

WindowRecord* firstWindowWaitingForPaint() {
  Registry& instance = registry();
  std::lock_guard<std::mutex> lock(instance.mutex);
  for (WindowRecord* window : instance.live) {
    if (window->servesCallingThread() && window->pendingPaint) return window;
  }
  return nullptr;
}

bool WindowRecord::send(WindowMessage& message) {
  WindowProcedure procedure = registeredProcedure();
  // Top-level headless windows stand for the host's windows and have no procedure of ours.
  const bool frameWindow = parent != nullptr || native != nullptr;
  if (procedure == nullptr || !frameWindow || !alive) return false;
  return procedure(handle(), message);
}

void WindowRecord::press(const CViewPoint& where) {
  if (!alive) return;
  if (raster::RasterTextEntry* open = entry) {
    if (open->contains(where)) {
      open->handlePress(where);
      return;
    }
    open->loseFocus();
  }
  WindowMessage message;
  message.kind = WindowMessageKind::mouseDown;
  message.where = where;
  send(message);
}

bool WindowRecord::key(const KeyEvent& key) {
  if (!alive || entry == nullptr) return false;
  entry->handleKey(key);
  return true;
}

void WindowRecord::destroy() {
  if (!alive) return;
  WindowMessage message;
  message.kind = WindowMessageKind::destroy;
  send(message);
  for (WindowRecord* child : std::vector<WindowRecord*>(children)) child->destroy();
  if (entry != nullptr) entry->windowGone();
  alive = false;
  pendingPaint = false;
  dropHandler = nullptr;
  if (native == nullptr) raster::freeImage(surface);
  surface = nullptr;
  {
    Registry& instance = registry();
    std::lock_guard<std::mutex> lock(instance.mutex);
    instance.live.erase(std::remove(instance.live.begin(), instance.live.end(), this),
                        instance.live.end());
    if (parent != nullptr) {
      auto& siblings = parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
  }
  // The native window frees the surface it owns, its window and its connection.
  if (NativeWindow* shown = native) {
    native = nullptr;
    shown->release();
  }
}

void WindowRecord::invalidate(const CViewRect& rect) {
  if (!alive) return;
  const CViewRect area = rect.normalized().intersect(CViewRect(0, 0, width, height));
  if (area.isEmpty()) return;
  updateRect = pendingPaint ? unionOf(updateRect, area) : area;
  pendingPaint = true;
}

bool WindowRecord::dispatchPaint() {
  if (!alive || !pendingPaint) return false;
  ++paintCount;
  WindowMessage message;
  message.kind = WindowMessageKind::paint;
  if (!send(message) && alive && pendingPaint) {
    // The default processing: erase and validate.
    CViewRect rect;
    PlatformDevice* device = beginPaint(handle(), rect);
    endPaint(handle(), device);
  }
  return true;
}

}  // namespace platform
}  // namespace gui
