#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/CViewPoint.h"
#include "gui/CViewRect.h"
#include "gui/KeyEvent.h"
#include "gui/MouseButtonState.h"
#include "gui/platform/PlatformTypes.h"
#include "gui/platform/raster/RasterImage.h"

namespace gui {
namespace platform {
class DragData;
class PlatformTextEntry;
struct WindowRecord;
}  // namespace platform

namespace raster {

// One step of a scripted mouse gesture, in the client coordinates of the window it is given to.
struct InputStep {
  CViewPoint where;
  MouseButtonState buttons = kLeftButton;  // physical buttons and modifiers held at this step
};

// A window of the raster backend, standing in for a native one. A test (or the command-line
// host) makes a top-level HeadlessWindow to play the host's window and passes handle() to the
// frame as its parent; the frame's own window is then a child, reached with getChild(). A child
// window takes paint requests with a rectangle, presses at a client position, wheel turns and
// keys, and shows what is on screen as an image. A new child asks for its first paint, which is
// delivered by dispatchPaint (or by platform::dispatchPendingPaint, as the editor's serviceIdle
// does).
class HeadlessWindow {
 public:
  HeadlessWindow(int32_t width, int32_t height, const CViewPoint& screenOrigin = CViewPoint());
  // Destroys the window and its children (each child's procedure gets the destroy message).
  ~HeadlessWindow();
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  // The handle to pass as a parent window; a frame's child window's own handle for a child.
  void* handle() const;
  // The headless window behind a handle; null for anything that is not a live headless window.
  static HeadlessWindow* fromHandle(void* handle);
  // The most recently created child that still exists (the frame's window), or null.
  HeadlessWindow* getChild() const;
  // False once destroyed (by destroy(), by the frame, or with its parent).
  bool isAlive() const;

  int32_t getWidth() const;
  int32_t getHeight() const;
  CViewPoint getScreenOrigin() const;
  CViewPoint clientToScreen(const CViewPoint& where) const;

  // Paint requests: InvalidateRect; the rectangle waiting to be painted; delivery of the
  // waiting paint (false when nothing waits); request and delivery at once.
  void invalidate(const CViewRect& rect);
  bool hasPendingPaint() const;
  CViewRect getUpdateRect() const;
  bool dispatchPaint();
  void paint(const CViewRect& rect);
  // Number of paint messages delivered so far.
  int32_t getPaintCount() const;

  // A press of `buttons` (kLeftButton, kRightButton or kMiddleButton, plus modifiers) at a
  // client position: the input state holds it pressed there, then the window procedure gets the
  // button-down message. With a text entry open, a press inside it stays with the entry and a
  // press elsewhere first takes the entry's focus away.
  void press(const CViewPoint& where, MouseButtonState buttons = kLeftButton);
  // A scripted gesture: queues every step, then presses at path[0] (see RasterInput for how the
  // polling consumes the steps). Usually the last step releases the buttons.
  void drag(const std::vector<InputStep>& path);
  // Wheel turns at a client position (the cursor moves there): `delta` 120 per notch.
  // Answers whether the message went on to the default processing (always, as on Win32).
  bool wheel(const CViewPoint& where, int32_t delta);
  // A key while this window has the keyboard focus: only an open text entry takes keys (1);
  // otherwise -1, and the key is for the host, which sends it through the editor to the frame.
  int32_t keyDown(const KeyEvent& key);
  int32_t keyUp(const KeyEvent& key);
  // Types each character of text into the open text entry (character set, virt 0).
  void typeText(const char* text);

  // A drag from another application passing over the window: the registered drop target's
  // calls, answering the effect it reports (kDropEffectNone without a drop target).
  uint32_t dragEnter(platform::DragData* data);
  uint32_t dragOver();
  void dragLeave();
  uint32_t drop(platform::DragData* data);
  bool isDropTargetRegistered() const;

  // What is on screen: the client area with an open text entry drawn over it.
  RasterImageCopy screenshot() const;
  bool savePng(const char* path) const;
  // The pixel on screen as a platform colour (kInvalidColor outside).
  platform::PlatformColor screenColorAt(int32_t x, int32_t y) const;

  // The open text entry of this window, or null.
  platform::PlatformTextEntry* getTextEntry() const;

  // The host destroys this window (and with it its children).
  void destroy();
  // How many wheel messages reached this window through a child's default processing.
  int32_t getForwardedWheelCount() const;

  // Used by the backend: the object standing for a child window it made.
  static std::unique_ptr<HeadlessWindow> makeFacade(platform::WindowRecord* record);

 private:
  explicit HeadlessWindow(platform::WindowRecord* record);
  platform::WindowRecord* record;
  bool ownsRecord;
};

}  // namespace raster
}  // namespace gui
