#pragma once

// The frame's window inside a host's X11 window, behind these seam operations on its record:
// - createChildWindow: create (its own connection, a child of the host's window, mapped, with its
//   surface);
// - destroyWindow: release (the window, its image and its connection go);
// - getWindowOrigin: getScreenOrigin, and findParentOrigin for the host's window;
// - endPaint: showPainted (the painted rectangle put into the window); releaseWindowDevice:
//   showChanges (what changed on the surface); an open text entry is drawn over either;
// - serveWindow: deliverEvents (exposures, presses of buttons 1 to 3, the wheel as buttons 4 and
//   5, keys for an open text entry, the loss of the keyboard focus, the window's destruction);
//   dispatchPendingPaint: collectPaintRequests;
// - readAsyncInput, getCursorPosition: readInput and getCursorPosition (XQueryPointer);
//   getDoubleClickTime (the multiClickTime resource);
// - createTextEntry and the entry's destroy: textEntryOpened / textEntryClosed (the keyboard
//   focus, XSetInputFocus).
// Everything runs on the thread that created the window, except release, which a host may send
// from another thread once no call of the first is under way.

#include <X11/Xlib.h>

#include <memory>
#include <thread>

#include "gui/platform/raster/NativeWindow.h"

namespace gui {
namespace platform {
namespace x11 {

class X11Connection;
class X11Surface;

class X11Window final : public NativeWindow {
 public:
  // A child of `parent` of width x height, mapped, with its surface; null without a display,
  // for a parent that is no window, for a screen without 24-bit true colour, or after any X
  // error on the way. The window owns itself from then on and goes with release().
  static X11Window* create(Window parent, int32_t width, int32_t height);
  // The record that stands for the window; events are delivered to it from now on.
  void attach(WindowRecord* windowRecord);
  PlatformImage* surfaceImage();

  bool isOwnThread() const override;
  CViewPoint getScreenOrigin() override;
  bool findParentOrigin(void* window, CViewPoint& origin) override;
  void showPainted(const CViewRect& rect) override;
  void showChanges() override;
  void deliverEvents() override;
  void collectPaintRequests() override;
  AsyncInputState readInput() override;
  CViewPoint getCursorPosition() override;
  uint32_t getDoubleClickTime() override;
  void textEntryOpened() override;
  void textEntryClosed(const CViewRect& rect) override;
  void release() override;

 private:
  X11Window(std::unique_ptr<X11Connection> connection, Window parent);
  ~X11Window() override;
  bool build(int32_t width, int32_t height);
  Visual* findVisual(const XWindowAttributes& parentAttributes);
  void readDoubleClickTime();
  bool isUsable() const;
  // Puts what is staged, with an open text entry drawn over it; showEntry puts the entry alone.
  void putWithEntry();
  void showEntry();

  // Deliveries: a window released during one is deleted when the outermost ends.
  void enterDelivery();
  void leaveDelivery();
  bool nextEvent(XEvent& event);
  bool nextPaintRequest(XEvent& event);
  void handle(XEvent& event);
  void expose(const XExposeEvent& event);
  void press(const XButtonEvent& event);
  void pressButton(const XButtonEvent& event);
  void turnWheel(const XButtonEvent& event, int32_t delta);
  void typeKey(XKeyEvent& event);
  void loseFocus(const XFocusChangeEvent& event);
  void windowDestroyed();
  void paintWhatWaits();

  bool queryPointer(CViewPoint& cursor, unsigned int& mask);
  void selectEvents(long extra);
  void giveFocusBack();

  std::unique_ptr<X11Connection> connection;
  Display* display = nullptr;
  const Window parent;
  Window root = None;
  Window window = None;
  Colormap colormap = None;
  GC gc = nullptr;
  std::unique_ptr<X11Surface> surface;
  WindowRecord* record = nullptr;
  const std::thread::id ownThread;
  CViewPoint origin;
  uint32_t doubleClickTime;

  int deliveryDepth = 0;
  bool released = false;
  bool windowGone = false;  // the server destroyed the window (with the host's)

  // The buttons and modifiers of the press or wheel turn being delivered: what the first poll
  // under it reports, even when the button is already up again by then.
  AsyncInputState deliveredInput;
  bool deliveredInputUnread = false;

  bool holdsFocus = false;
  Window focusBefore = None;
  unsigned long focusRequest = 0;  // the request that gave this window the focus
};

}  // namespace x11
}  // namespace platform
}  // namespace gui
