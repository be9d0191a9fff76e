#pragma once

// A window of the raster backend that a real window system shows, and what the raster backend's
// window operations ask of the window half behind it (gui/platform/x11 on Linux).
//
// Every window of the raster backend is a WindowRecord: its surface (which window devices draw
// into), its user data, its waiting paint, its text entry. A headless record is the whole window.
// A native record also has a NativeWindow, which shows the surface on screen, brings the
// system's events to the record and answers the input polls while it holds the pointer. The
// operations on a handle in RasterPlatform.cpp go to the native window of the record when there
// is one; RasterDevice draws into the surface either way.

#include <cstdint>

#include "gui/CViewPoint.h"
#include "gui/CViewRect.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {
namespace platform {

struct WindowRecord;

class NativeWindow {
 public:
  virtual ~NativeWindow() = default;

  // True on the thread that created the window; no other thread may use it.
  virtual bool isOwnThread() const = 0;
  // GetWindowRect: the window's top-left corner on the screen.
  virtual CViewPoint getScreenOrigin() = 0;
  // GetWindowRect of `window` when it is this window's parent (a host's window, which the record
  // does not know); false otherwise.
  virtual bool findParentOrigin(void* window, CViewPoint& origin) = 0;

  // endPaint: puts `rect` of the surface on screen, all of it (the window system may have lost
  // what it showed there), with an open text entry over it.
  virtual void showPainted(const CViewRect& rect) = 0;
  // releaseWindowDevice: puts what changed on the surface on screen, with an open text entry
  // over it.
  virtual void showChanges() = 0;

  // Delivers the window's waiting events to the record's procedure, then its waiting paint.
  // Inside a delivery (a control's own loop under a press) only paint requests and the window's
  // end are taken; presses, wheel turns and keys wait for the outer delivery.
  virtual void deliverEvents() = 0;
  // Takes the window's paint requests only (the drag loop's dispatchPendingPaint).
  virtual void collectPaintRequests() = 0;

  // GetAsyncKeyState, GetCursorPos, GetDoubleClickTime while this window holds the input.
  virtual AsyncInputState readInput() = 0;
  virtual CViewPoint getCursorPosition() = 0;
  virtual uint32_t getDoubleClickTime() = 0;

  // The record's text entry opened (it takes the keyboard focus), or closed: the focus goes back
  // and what the box covered, `rect`, is painted again.
  virtual void textEntryOpened() = 0;
  virtual void textEntryClosed(const CViewRect& rect) = 0;

  // The record is gone: the window, its image and its connection go too, once any delivery of
  // this window still on the stack has returned. Nothing may call the object afterwards.
  virtual void release() = 0;
};

// The native window half built into this library; its absence (WithoutNativeWindows.cpp) leaves
// the raster backend with its headless windows only.
namespace native {
// A child of `parent` (a host's window of the native system) for the frame: a new live record
// of width x height with its native window, or null.
WindowRecord* createChildWindow(void* parent, int32_t width, int32_t height);
}  // namespace native

// The window whose press, wheel turn or creation came last on the calling thread: its window
// half answers the input operations that name no window (readAsyncInput, getCursorPosition,
// areMouseButtonsSwapped, getDoubleClickTime). A headless window or null: the raster input state.
void setInputWindow(WindowRecord* window);

}  // namespace platform
}  // namespace gui
