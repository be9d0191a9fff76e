// The frame's window inside a host's X11 window:
// - createChildWindow / destroyWindow: create / release (XCreateWindow, XDestroyWindow);
// - getWindowOrigin: getScreenOrigin, findParentOrigin (XTranslateCoordinates);
// - endPaint / releaseWindowDevice: showPainted / showChanges (through X11Surface);
// - serveWindow / dispatchPendingPaint: deliverEvents / collectPaintRequests (XPending,
//   XNextEvent, XCheckIfEvent);
// - readAsyncInput, getCursorPosition (XQueryPointer), getDoubleClickTime (XGetDefault);
// - createTextEntry and the entry's destroy: textEntryOpened / textEntryClosed (XSetInputFocus).

#include "gui/platform/x11/X11Window.h"

#include <X11/Xutil.h>

#include <cstdlib>

#include "gui/platform/raster/RasterTextEntry.h"
#include "gui/platform/raster/WindowRecord.h"
#include "gui/platform/x11/X11Connection.h"
#include "gui/platform/x11/X11ErrorTrap.h"
#include "gui/platform/x11/X11Keys.h"
#include "gui/platform/x11/X11Surface.h"

namespace gui {
namespace platform {
namespace x11 {

namespace {

// Exposures, presses and releases, the window's own end and the keyboard focus; key presses are
// added only while a text entry is open, so that keys otherwise reach the host's window.
constexpr long kEventMask =
    ExposureMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask | FocusChangeMask;
constexpr int kDepth = 24;
constexpr int32_t kWheelNotch = 120;
// The double-click time when the resources name none, as on most desktops.
constexpr uint32_t kDefaultDoubleClickTime = 400;
constexpr long kLongestDoubleClickTime = 10000;

AsyncInputState inputOf(unsigned int state) {
  AsyncInputState input;
  input.leftButton = (state & Button1Mask) != 0;
  input.middleButton = (state & Button2Mask) != 0;
  input.rightButton = (state & Button3Mask) != 0;
  input.shift = (state & ShiftMask) != 0;
  input.control = (state & ControlMask) != 0;
  input.alt = (state & Mod1Mask) != 0;
  return input;
}

unsigned int buttonMaskOf(unsigned int button) {
  switch (button) {
    case Button1:
      return Button1Mask;
    case Button2:
      return Button2Mask;
    default:
      return Button3Mask;
  }
}

// What a delivery nested in a control's own loop takes: paint requests and the window's end.
Bool isPaintRequestOrEnd(Display*, XEvent* event, XPointer) {
  return event->type == Expose || event->type == DestroyNotify ? True : False;
}

// Serial numbers wrap; an event is older than a request when it precedes it in that order.
bool isBefore(unsigned long serial, unsigned long request) {
  return static_cast<long>(serial - request) < 0;
}

}  // namespace

// --- Creation and destruction ---------------------------------------------------------------

X11Window* X11Window::create(Window parent, int32_t width, int32_t height) {
  std::unique_ptr<X11Connection> connection = X11Connection::open();
  if (!connection) return nullptr;
  auto* window = new X11Window(std::move(connection), parent);
  if (!window->build(width, height)) {
    delete window;
    return nullptr;
  }
  return window;
}

X11Window::X11Window(std::unique_ptr<X11Connection> connection, Window parent)
    : connection(std::move(connection)),
      display(this->connection->display()),
      parent(parent),
      ownThread(std::this_thread::get_id()),
      doubleClickTime(kDefaultDoubleClickTime) {}

bool X11Window::build(int32_t width, int32_t height) {
  X11ErrorTrap trap;
  const unsigned long errors = connection->errorCount();
  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(display, parent, &parentAttributes)) return false;
  root = parentAttributes.root;
  Visual* visual = findVisual(parentAttributes);
  if (visual == nullptr) return false;
  surface = X11Surface::create(*connection, visual, width, height);
  if (!surface) return false;
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;  // the surface covers every pixel: no erase by the server
  attributes.border_pixel = 0;
  attributes.colormap = colormap;
  attributes.event_mask = kEventMask;
  window = XCreateWindow(display, parent, 0, 0, unsigned(width), unsigned(height), 0, kDepth,
                         InputOutput, visual,
                         CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &attributes);
  XGCValues values{};
  values.graphics_exposures = False;
  gc = XCreateGC(display, window, GCGraphicsExposures, &values);
  XMapWindow(display, window);
  if (!connection->syncWithoutErrorsSince(errors)) return false;
  Window child = None;
  int x = 0;
  int y = 0;
  if (XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child)) origin = CViewPoint(x, y);
  readDoubleClickTime();
  return connection->syncWithoutErrorsSince(errors);
}

// The raster surface's pixels are 24-bit true colour with red, green and blue in the bytes of a
// 32-bit word; the host's window may have another visual, so the child brings its own colormap.
Visual* X11Window::findVisual(const XWindowAttributes& parentAttributes) {
  XVisualInfo info{};
  const int screen = XScreenNumberOfScreen(parentAttributes.screen);
  if (!XMatchVisualInfo(display, screen, kDepth, TrueColor, &info)) return nullptr;
  colormap = XCreateColormap(display, root, info.visual, AllocNone);
  return info.visual;
}

void X11Window::readDoubleClickTime() {
  const char* value = XGetDefault(display, "lumivane", "multiClickTime");
  if (value == nullptr) return;
  const long milliseconds = std::strtol(value, nullptr, 10);
  if (milliseconds > 0 && milliseconds <= kLongestDoubleClickTime) {
    doubleClickTime = uint32_t(milliseconds);
  }
}

X11Window::~X11Window() {
  X11ErrorTrap trap;
  // A broken connection takes no more requests; what Xlib holds on this side is freed all the
  // same.
  if (!connection->isBroken()) {
    if (holdsFocus) giveFocusBack();
    // A window the server destroyed with the host's is not touched again.
    if (window != None && !windowGone) XDestroyWindow(display, window);
    if (colormap != None) XFreeColormap(display, colormap);
  }
  surface.reset();
  if (gc != nullptr) XFreeGC(display, gc);
  connection.reset();
}

void X11Window::attach(WindowRecord* windowRecord) { record = windowRecord; }

PlatformImage* X11Window::surfaceImage() { return surface->image(); }

void X11Window::release() {
  released = true;
  if (deliveryDepth == 0) delete this;
}

bool X11Window::isOwnThread() const { return std::this_thread::get_id() == ownThread; }

bool X11Window::isUsable() const {
  return !released && !windowGone && record != nullptr && !connection->isBroken();
}

// --- Where the window is ----------------------------------------------------------------------

// Kept from the window's creation and from every press and wheel turn, which carry both the
// window's and the screen's coordinates: no request to the server on each drawing context.
CViewPoint X11Window::getScreenOrigin() { return origin; }

bool X11Window::findParentOrigin(void* host, CViewPoint& result) {
  if (reinterpret_cast<uintptr_t>(host) != parent || connection->isBroken()) return false;
  X11ErrorTrap trap;
  Window child = None;
  int x = 0;
  int y = 0;
  if (!XTranslateCoordinates(display, parent, root, 0, 0, &x, &y, &child)) return false;
  result = CViewPoint(x, y);
  return true;
}

// --- Showing the surface ------------------------------------------------------------------------

void X11Window::showPainted(const CViewRect& rect) {
  if (!isUsable()) return;
  surface->stageArea(rect);
  putWithEntry();
}

void X11Window::showChanges() {
  if (!isUsable()) return;
  surface->stageChanges(CViewRect(0, 0, record->width, record->height));
  putWithEntry();
}

void X11Window::showEntry() {
  if (isUsable()) putWithEntry();
}

void X11Window::putWithEntry() {
  if (raster::RasterTextEntry* entry = record->entry) {
    // The box lies over the surface, as a child window would.
    surface->stageArea(entry->getRect());
    entry->render(*surface->shownImage());
  }
  surface->putStaged(window, gc);
}

// --- Event delivery -----------------------------------------------------------------------------

void X11Window::enterDelivery() { ++deliveryDepth; }

void X11Window::leaveDelivery() {
  if (--deliveryDepth == 0 && released) delete this;
}

void X11Window::deliverEvents() {
  if (!isUsable()) return;
  enterDelivery();
  const bool outermost = deliveryDepth == 1;
  XEvent event;
  while (!released && (outermost ? nextEvent(event) : nextPaintRequest(event))) handle(event);
  paintWhatWaits();
  leaveDelivery();
}

void X11Window::collectPaintRequests() {
  if (!isUsable()) return;
  enterDelivery();
  XEvent event;
  while (!released && nextPaintRequest(event)) handle(event);
  leaveDelivery();
}

bool X11Window::nextEvent(XEvent& event) {
  if (connection->isBroken()) return false;
  X11ErrorTrap trap;
  if (XPending(display) == 0) return false;
  XNextEvent(display, &event);
  return true;
}

bool X11Window::nextPaintRequest(XEvent& event) {
  if (connection->isBroken()) return false;
  X11ErrorTrap trap;
  return XCheckIfEvent(display, &event, isPaintRequestOrEnd, nullptr) == True;
}

void X11Window::handle(XEvent& event) {
  if (surface->takeCompletion(event)) return;
  switch (event.type) {
    case Expose:
      expose(event.xexpose);
      break;
    case ButtonPress:
      press(event.xbutton);
      break;
    case KeyPress:
      typeKey(event.xkey);
      break;
    case FocusOut:
      loseFocus(event.xfocus);
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window) windowDestroyed();
      break;
    default:
      // Releases (a drag polls the pointer instead), key releases, mapping, focus gained.
      break;
  }
}

void X11Window::expose(const XExposeEvent& event) {
  record->invalidate(CViewRect(event.x, event.y, event.x + event.width, event.y + event.height));
}

void X11Window::press(const XButtonEvent& event) {
  origin = CViewPoint(event.x_root - event.x, event.y_root - event.y);
  switch (event.button) {
    case Button1:
    case Button2:
    case Button3:
      pressButton(event);
      break;
    case Button4:
      turnWheel(event, kWheelNotch);
      break;
    case Button5:
      turnWheel(event, -kWheelNotch);
      break;
    default:
      // Buttons 6 and 7, the horizontal wheel: no view takes it, as on Win32.
      break;
  }
}

void X11Window::pressButton(const XButtonEvent& event) {
  setInputWindow(record);
  deliveredInput = inputOf(event.state | buttonMaskOf(event.button));
  deliveredInputUnread = true;
  record->press(CViewPoint(event.x, event.y));
  deliveredInputUnread = false;
  // A press inside an open entry moved its caret.
  if (!released && record->entry != nullptr) showEntry();
}

void X11Window::turnWheel(const XButtonEvent& event, int32_t delta) {
  setInputWindow(record);
  deliveredInput = inputOf(event.state);
  deliveredInputUnread = true;
  WindowMessage message;
  message.kind = WindowMessageKind::mouseWheel;
  message.where = CViewPoint(event.x_root, event.y_root);
  message.wheelDelta = delta;
  record->send(message);
  deliveredInputUnread = false;
}

void X11Window::typeKey(XKeyEvent& event) {
  if (record->entry == nullptr) return;
  KeyEvent key;
  {
    X11ErrorTrap trap;
    if (!keyEventOf(event, key)) return;
  }
  record->key(key);
  if (!released && record->entry != nullptr) showEntry();
}

void X11Window::loseFocus(const XFocusChangeEvent& event) {
  if (event.window != window || event.mode == NotifyGrab || event.mode == NotifyUngrab) return;
  if (event.detail == NotifyInferior || event.detail == NotifyPointer) return;
  // A change the server made before this window last took the focus is over already (an entry
  // closed and the next one opened before the events were read).
  if (isBefore(event.serial, focusRequest)) return;
  holdsFocus = false;
  if (raster::RasterTextEntry* entry = record->entry) entry->loseFocus();
}

void X11Window::windowDestroyed() {
  windowGone = true;
  holdsFocus = false;
  record->destroy();  // the frame hears of it; the record releases this window
}

void X11Window::paintWhatWaits() {
  if (!released && record->alive && record->pendingPaint) record->dispatchPaint();
}

// --- Input polling ------------------------------------------------------------------------------

bool X11Window::queryPointer(CViewPoint& cursor, unsigned int& mask) {
  if (connection->isBroken()) return false;
  X11ErrorTrap trap;
  Window rootReturn = None;
  Window child = None;
  int rootX = 0;
  int rootY = 0;
  int x = 0;
  int y = 0;
  mask = 0;
  XQueryPointer(display, root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask);
  cursor = CViewPoint(rootX, rootY);
  return true;
}

AsyncInputState X11Window::readInput() {
  if (deliveredInputUnread) {
    deliveredInputUnread = false;
    return deliveredInput;
  }
  CViewPoint cursor;
  unsigned int mask = 0;
  return queryPointer(cursor, mask) ? inputOf(mask) : AsyncInputState();
}

CViewPoint X11Window::getCursorPosition() {
  CViewPoint cursor = origin;
  unsigned int mask = 0;
  queryPointer(cursor, mask);
  return cursor;
}

uint32_t X11Window::getDoubleClickTime() { return doubleClickTime; }

// --- Keyboard focus of a text entry -------------------------------------------------------------

void X11Window::selectEvents(long extra) { XSelectInput(display, window, kEventMask | extra); }

void X11Window::textEntryOpened() {
  if (!isUsable()) return;
  {
    X11ErrorTrap trap;
    if (!holdsFocus) {
      int revert = 0;
      XGetInputFocus(display, &focusBefore, &revert);
    }
    selectEvents(KeyPressMask);
    focusRequest = NextRequest(display);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    holdsFocus = true;
  }
  showEntry();
}

void X11Window::textEntryClosed(const CViewRect& rect) {
  if (!isUsable()) return;
  {
    X11ErrorTrap trap;
    selectEvents(0);
    if (holdsFocus) giveFocusBack();
  }
  // What the box covered is painted again, as when an EDIT child window goes.
  record->invalidate(rect);
}

// Back to the window that had the focus before the entry opened, unless the focus has moved on.
void X11Window::giveFocusBack() {
  holdsFocus = false;
  Window current = None;
  int revert = 0;
  XGetInputFocus(display, &current, &revert);
  if (current != window) return;
  if (focusBefore == None || focusBefore == PointerRoot || focusBefore == window) {
    XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
  } else {
    XSetInputFocus(display, focusBefore, RevertToParent, CurrentTime);
  }
  XFlush(display);
}

}  // namespace x11
}  // namespace platform
}  // namespace gui
