// The raster backend's side of the platform seam: time, input, windows, devices, resources, the
// blending "library", text entries and drop targets, all in memory.

#include <cstring>

#include "gui/platform/Platform.h"
#include "gui/platform/ResourceOverrides.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/platform/raster/RasterClock.h"
#include "gui/platform/raster/RasterDevice.h"
#include "gui/platform/raster/RasterInput.h"
#include "gui/platform/raster/RasterObjects.h"
#include "gui/platform/raster/RasterTextEntry.h"
#include "gui/platform/raster/WindowRecord.h"
#include "resources/EmbeddedResources.h"

namespace gui {
namespace platform {

namespace {

struct ClassRecord {
  WindowProcedure procedure = nullptr;
};

ClassRecord& windowClass() {
  static ClassRecord record;
  return record;
}

raster::RasterDevice* rasterOf(PlatformDevice* device) {
  return static_cast<raster::RasterDevice*>(device);
}

}  // namespace

WindowProcedure registeredProcedure() { return windowClass().procedure; }

// --- Time -----------------------------------------------------------------------------------

uint32_t getTickCount() { return raster::RasterClock::now(); }

void sleepMilliseconds(uint32_t milliseconds) { raster::RasterClock::sleep(milliseconds); }

// --- Input ----------------------------------------------------------------------------------

AsyncInputState readAsyncInput() {
  const raster::InputState state = raster::RasterInput::consumeStep();
  AsyncInputState input;
  input.leftButton = (state.buttons & kLeftButton) != 0;
  input.rightButton = (state.buttons & kRightButton) != 0;
  input.middleButton = (state.buttons & kMiddleButton) != 0;
  input.shift = (state.buttons & kShift) != 0;
  input.control = (state.buttons & kControl) != 0;
  input.alt = (state.buttons & kAlt) != 0;
  return input;
}

CViewPoint getCursorPosition() { return raster::RasterInput::getState().cursor; }

bool areMouseButtonsSwapped() { return raster::RasterInput::getButtonsSwappedSetting(); }

uint32_t getDoubleClickTime() { return raster::RasterInput::getDoubleClickTimeSetting(); }

// --- Windows --------------------------------------------------------------------------------

bool registerWindowClass(WindowProcedure procedure) {
  if (procedure == nullptr || windowClass().procedure != nullptr) return false;
  windowClass().procedure = procedure;
  return true;
}

void unregisterWindowClass() { windowClass().procedure = nullptr; }

void* createChildWindow(void* parent, int32_t width, int32_t height) {
  WindowRecord* parentWindow = WindowRecord::find(parent);
  if (parentWindow == nullptr || windowClass().procedure == nullptr) return nullptr;
  WindowRecord* window = WindowRecord::create(parentWindow, width, height, parentWindow->origin);
  window->ownedFacade = raster::HeadlessWindow::makeFacade(window);
  window->facade = window->ownedFacade.get();
  window->invalidate(CViewRect(0, 0, window->width, window->height));
  return window->handle();
}

void destroyWindow(void* window) {
  if (WindowRecord* record = WindowRecord::find(window)) record->destroy();
}

void setWindowUserData(void* window, void* data) {
  if (WindowRecord* record = WindowRecord::find(window)) record->userData = data;
}

void* getWindowUserData(void* window) {
  WindowRecord* record = WindowRecord::find(window);
  return record != nullptr ? record->userData : nullptr;
}

CViewPoint getWindowOrigin(void* window) {
  WindowRecord* record = WindowRecord::find(window);
  return record != nullptr ? record->origin : CViewPoint();
}

bool getUpdateRect(void* window, CViewRect& rect) {
  WindowRecord* record = WindowRecord::find(window);
  if (record == nullptr || !record->pendingPaint) return false;
  rect = record->updateRect;
  return true;
}

PlatformDevice* beginPaint(void* window, CViewRect& rect) {
  WindowRecord* record = WindowRecord::find(window);
  if (record == nullptr) return nullptr;
  rect = record->pendingPaint ? record->updateRect : CViewRect();
  record->pendingPaint = false;
  erasePaintArea(record, rect);
  raster::RasterDevice* device = raster::acquireDevice(raster::RasterDevice::Kind::window, record);
  device->setPaintLimit(rect);
  return device;
}

void endPaint(void*, PlatformDevice* device) { raster::recycleDevice(rasterOf(device)); }

void invalidateRect(void* window, const CViewRect& rect) {
  if (WindowRecord* record = WindowRecord::find(window)) record->invalidate(rect);
}

bool dispatchPendingPaint() {
  WindowRecord* window = firstWindowWaitingForPaint();
  return window != nullptr && window->dispatchPaint();
}

// --- Devices --------------------------------------------------------------------------------

PlatformDevice* getWindowDevice(void* window) {
  if (window == nullptr) return raster::acquireDevice(raster::RasterDevice::Kind::screen, nullptr);
  WindowRecord* record = WindowRecord::find(window);
  if (record == nullptr) return nullptr;
  return raster::acquireDevice(raster::RasterDevice::Kind::window, record);
}

void releaseWindowDevice(void*, PlatformDevice* device) { raster::recycleDevice(rasterOf(device)); }

PlatformDevice* createCompatibleDevice(PlatformDevice*) {
  return raster::acquireDevice(raster::RasterDevice::Kind::memory, nullptr);
}

void deleteDevice(PlatformDevice* device) { raster::recycleDevice(rasterOf(device)); }

// --- Library resources ----------------------------------------------------------------------

ResourceBytes findLibraryResource(int32_t id) {
  ResourceBytes bytes;
  if (findResourceOverride(id, bytes)) return bytes;
  if (const resources::EmbeddedResource* embedded = resources::findEmbeddedResource(id & 0xFFFF)) {
    bytes.data = embedded->data;
    bytes.size = embedded->size;
  }
  return bytes;
}

PlatformImage* loadBitmapResource(int32_t) { return nullptr; }

// --- The image-blending library ---------------------------------------------------------------

ImageLibrary* loadImageLibrary() {
  static ImageLibrary library;
  ++library.loads;
  return &library;
}

void freeImageLibrary(ImageLibrary* library) {
  if (library != nullptr && library->loads > 0) --library->loads;
}

AlphaBlendOperation findAlphaBlend(ImageLibrary* library) {
  return library != nullptr ? &raster::alphaBlend : nullptr;
}

TransparentBltOperation findTransparentBlt(ImageLibrary* library) {
  return library != nullptr ? &raster::transparentBlt : nullptr;
}

bool getOsVersion(OsVersion& version) {
  if (version.size != 156) return false;
  version.majorVersion = 10;
  version.minorVersion = 0;
  version.platformId = 2;  // the NT family
  return true;
}

// --- Text entry -----------------------------------------------------------------------------

PlatformTextEntry* createTextEntry(void* window, const TextEntryRequest& request,
                                   TextEntryListener* listener) {
  WindowRecord* record = WindowRecord::find(window);
  if (record == nullptr) return nullptr;
  if (record->entry != nullptr) record->entry->loseFocus();  // the focus moves to the new box
  auto* entry = new raster::RasterTextEntry(record, request, listener);
  record->entry = entry;
  return entry;
}

// --- Drag and drop --------------------------------------------------------------------------

bool initializeOle() { return false; }

void uninitializeOle() {}

bool registerDropTarget(void* window, DropTargetHandler* handler) {
  WindowRecord* record = WindowRecord::find(window);
  if (record == nullptr || handler == nullptr) return false;
  record->dropHandler = handler;
  return true;
}

void revokeDropTarget(void* window) {
  if (WindowRecord* record = WindowRecord::find(window)) record->dropHandler = nullptr;
}

}  // namespace platform
}  // namespace gui
