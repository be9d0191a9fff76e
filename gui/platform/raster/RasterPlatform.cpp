// The raster backend's window half, over its window records:
// - time: getTickCount, sleepMilliseconds (RasterClock);
// - input: readAsyncInput, getCursorPosition, areMouseButtonsSwapped, getDoubleClickTime, from
//   the raster input state or from the native window that holds the input (setInputWindow);
// - windows: registerWindowClass / unregisterWindowClass, createChildWindow (a headless child of
//   a headless window, or a native child of a host's window), destroyWindow, setWindowUserData /
//   getWindowUserData, getWindowOrigin;
// - painting: getUpdateRect, beginPaint / endPaint, invalidateRect, dispatchPendingPaint,
//   serveWindow;
// - window devices: getWindowDevice / releaseWindowDevice;
// - text entries (RasterTextEntry) and drop targets (headless windows only); OLE is a no-op.
// A record shown by a native window (NativeWindow.h) takes part in each operation on its handle:
// it shows what was drawn, brings its events in and answers for its input.

#include "gui/platform/PlatformWindowing.h"
#include "gui/platform/raster/HeadlessWindow.h"
#include "gui/platform/raster/NativeWindow.h"
#include "gui/platform/raster/RasterClock.h"
#include "gui/platform/raster/RasterDevice.h"
#include "gui/platform/raster/RasterInput.h"
#include "gui/platform/raster/RasterTextEntry.h"
#include "gui/platform/raster/WindowRecord.h"

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

// The window whose input came last on this thread (see setInputWindow). Kept as a handle: the
// window may be gone by the time it is asked, and then the raster input state answers.
thread_local WindowRecord* inputWindow = nullptr;

NativeWindow* nativeInputWindow() {
  WindowRecord* record = WindowRecord::find(inputWindow);
  return record != nullptr ? record->native : nullptr;
}

// Native windows of the calling thread looked at by one call; more editors than this on one
// thread take their exposures at their own next idle instead.
constexpr size_t kNativeWindowsPerThread = 16;

CViewRect clientArea(const WindowRecord* record) {
  return CViewRect(0, 0, record->width, record->height);
}

WindowRecord* createHeadlessChild(WindowRecord* parent, int32_t width, int32_t height) {
  WindowRecord* window = WindowRecord::create(parent, width, height, parent->origin);
  window->ownedFacade = raster::HeadlessWindow::makeFacade(window);
  window->facade = window->ownedFacade.get();
  return window;
}

}  // namespace

WindowProcedure registeredProcedure() { return windowClass().procedure; }

void setInputWindow(WindowRecord* window) { inputWindow = window; }

// --- Time -----------------------------------------------------------------------------------

uint32_t getTickCount() { return raster::RasterClock::now(); }

void sleepMilliseconds(uint32_t milliseconds) { raster::RasterClock::sleep(milliseconds); }

// --- Input ----------------------------------------------------------------------------------

AsyncInputState readAsyncInput() {
  if (NativeWindow* native = nativeInputWindow()) return native->readInput();
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

CViewPoint getCursorPosition() {
  if (NativeWindow* native = nativeInputWindow()) return native->getCursorPosition();
  return raster::RasterInput::getState().cursor;
}

bool areMouseButtonsSwapped() {
  // A native window system applies its button mapping before it reports the buttons.
  if (nativeInputWindow() != nullptr) return false;
  return raster::RasterInput::getButtonsSwappedSetting();
}

uint32_t getDoubleClickTime() {
  if (NativeWindow* native = nativeInputWindow()) return native->getDoubleClickTime();
  return raster::RasterInput::getDoubleClickTimeSetting();
}

// --- Windows --------------------------------------------------------------------------------

bool registerWindowClass(WindowProcedure procedure) {
  if (procedure == nullptr || windowClass().procedure != nullptr) return false;
  windowClass().procedure = procedure;
  return true;
}

void unregisterWindowClass() { windowClass().procedure = nullptr; }

void* createChildWindow(void* parent, int32_t width, int32_t height) {
  if (parent == nullptr || windowClass().procedure == nullptr) return nullptr;
  WindowRecord* window = nullptr;
  if (WindowRecord* parentWindow = WindowRecord::find(parent)) {
    // A frame window inside a frame window is nothing this system makes.
    if (parentWindow->native != nullptr) return nullptr;
    window = createHeadlessChild(parentWindow, width, height);
  } else {
    window = native::createChildWindow(parent, width, height);
    if (window == nullptr) return nullptr;
    setInputWindow(window);
  }
  window->invalidate(clientArea(window));
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
  if (WindowRecord* record = WindowRecord::find(window)) {
    return record->native != nullptr ? record->native->getScreenOrigin() : record->origin;
  }
  // A host's window that holds one of this thread's native windows.
  WindowRecord* natives[kNativeWindowsPerThread];
  const size_t count = WindowRecord::nativeWindowsOfThisThread(natives, kNativeWindowsPerThread);
  CViewPoint origin;
  for (size_t i = 0; i < count; ++i) {
    if (natives[i]->native->findParentOrigin(window, origin)) return origin;
  }
  return CViewPoint();
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
  record->paintingRect = rect;
  erasePaintArea(record, rect);
  raster::RasterDevice* device = raster::acquireDevice(raster::RasterDevice::Kind::window, record);
  device->setPaintLimit(rect);
  return device;
}

void endPaint(void* window, PlatformDevice* device) {
  raster::recycleDevice(rasterOf(device));
  WindowRecord* record = WindowRecord::find(window);
  if (record != nullptr && record->native != nullptr) {
    record->native->showPainted(record->paintingRect);
  }
}

void invalidateRect(void* window, const CViewRect& rect) {
  if (WindowRecord* record = WindowRecord::find(window)) record->invalidate(rect);
}

bool dispatchPendingPaint() {
  WindowRecord* natives[kNativeWindowsPerThread];
  const size_t count = WindowRecord::nativeWindowsOfThisThread(natives, kNativeWindowsPerThread);
  for (size_t i = 0; i < count; ++i) natives[i]->native->collectPaintRequests();
  WindowRecord* window = firstWindowWaitingForPaint();
  return window != nullptr && window->dispatchPaint();
}

bool serveWindow(void* window) {
  WindowRecord* record = WindowRecord::find(window);
  // A window that is gone has nothing to deliver; its frame knows it is closed.
  if (record == nullptr || record->native == nullptr) return true;
  if (!record->native->isOwnThread()) return false;
  record->native->deliverEvents();
  return true;
}

// --- Window devices -------------------------------------------------------------------------

PlatformDevice* getWindowDevice(void* window) {
  if (window == nullptr) return raster::acquireDevice(raster::RasterDevice::Kind::screen, nullptr);
  WindowRecord* record = WindowRecord::find(window);
  if (record == nullptr) return nullptr;
  return raster::acquireDevice(raster::RasterDevice::Kind::window, record);
}

void releaseWindowDevice(void* window, PlatformDevice* device) {
  raster::recycleDevice(rasterOf(device));
  WindowRecord* record = WindowRecord::find(window);
  if (record != nullptr && record->native != nullptr) record->native->showChanges();
}

// --- Text entry -----------------------------------------------------------------------------

PlatformTextEntry* createTextEntry(void* window, const TextEntryRequest& request,
                                   TextEntryListener* listener) {
  WindowRecord* record = WindowRecord::find(window);
  if (record == nullptr) return nullptr;
  if (record->entry != nullptr) record->entry->loseFocus();  // the focus moves to the new box
  auto* entry = new raster::RasterTextEntry(record, request, listener);
  record->entry = entry;
  if (record->native != nullptr) record->native->textEntryOpened();
  return entry;
}

// --- Drag and drop --------------------------------------------------------------------------

bool initializeOle() { return false; }

void uninitializeOle() {}

bool registerDropTarget(void* window, DropTargetHandler* handler) {
  WindowRecord* record = WindowRecord::find(window);
  // Native windows take no drops: their window system's drag protocol is not spoken here.
  if (record == nullptr || record->native != nullptr || handler == nullptr) return false;
  record->dropHandler = handler;
  return true;
}

void revokeDropTarget(void* window) {
  if (WindowRecord* record = WindowRecord::find(window)) record->dropHandler = nullptr;
}

}  // namespace platform
}  // namespace gui
