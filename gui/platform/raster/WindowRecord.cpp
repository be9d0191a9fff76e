#include "gui/platform/raster/WindowRecord.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "gui/platform/Platform.h"
#include "gui/platform/raster/HeadlessWindow.h"
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

WindowRecord* WindowRecord::create(WindowRecord* parent, int32_t width, int32_t height,
                                   const CViewPoint& origin) {
  auto record = std::make_unique<WindowRecord>();
  record->parent = parent;
  record->width = std::max(0, width);
  record->height = std::max(0, height);
  record->origin = origin;
  record->surface = raster::allocateImage(record->width, record->height, false);
  fillSurface(record->surface, CViewRect(0, 0, record->width, record->height), kButtonFace);
  WindowRecord* window = record.get();
  Registry& instance = registry();
  std::lock_guard<std::mutex> lock(instance.mutex);
  instance.all.push_back(std::move(record));
  instance.live.push_back(window);
  if (parent != nullptr) parent->children.push_back(window);
  return window;
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

WindowRecord* firstWindowWaitingForPaint() {
  Registry& instance = registry();
  std::lock_guard<std::mutex> lock(instance.mutex);
  for (WindowRecord* window : instance.live) {
    if (window->pendingPaint) return window;
  }
  return nullptr;
}

bool WindowRecord::send(WindowMessage& message) {
  WindowProcedure procedure = registeredProcedure();
  if (procedure == nullptr || parent == nullptr || !alive) return false;
  return procedure(handle(), message);
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
  raster::freeImage(surface);
  surface = nullptr;
  Registry& instance = registry();
  std::lock_guard<std::mutex> lock(instance.mutex);
  instance.live.erase(std::remove(instance.live.begin(), instance.live.end(), this),
                      instance.live.end());
  if (parent != nullptr) {
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
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
