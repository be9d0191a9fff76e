#pragma once

#include <cstdint>

#include "gui/CViewContainer.h"
#include "gui/platform/PlatformTypes.h"

namespace gui {

class CDrawContext;
class CDropTarget;
class CFrameEditor;
class COffscreenContext;

namespace platform {
class PlatformTextEntry;
class TextEntryListener;
struct TextEntryRequest;
}  // namespace platform

// The root of the view tree, bound to its own child window inside the host's window. It keeps a
// back buffer of its size into which every view draws, copies it to the window on paint requests
// and after each idle redraw, turns presses and wheel turns from the window into calls on the
// tree, receives keys and idle calls from the editor, and holds the keyboard focus.
// Frame coordinates are the native window's client coordinates (size starts at 0, 0).
class CFrame : public CViewContainer {
 public:
  // Creates the native window inside parentWindow (none without a parent); editor may be empty.
  CFrame(const CViewRect& size, void* parentWindow, CFrameEditor* editor);
  ~CFrame() override;

  void draw(CDrawContext* context) override;
  void drawArea(CDrawContext* context, const CViewRect& updateRect) override;
  void onMouseDown(CDrawContext* context, const CViewPoint& where,
                   MouseButtonState buttons) override;
  int32_t onKeyDown(KeyEvent& key) override;
  int32_t onKeyUp(KeyEvent& key) override;
  bool onWheel(CDrawContext* context, const CViewPoint& where, float distance) override;
  bool onWheel(CDrawContext* context, const CViewPoint& where, int32_t axis,
               float distance) override;
  void setViewSize(const CViewRect& rect) override;
  CFrameEditor* getEditor() const override;
  bool isTypeOf(const char* name) const override;
  void update(CDrawContext* context) override;
  bool moveFocusToNext(CView* oldFocus, bool reverse = false) override;

  // Redraws dirty views into the back buffer and copies it to the window; nothing before the
  // window's first paint or after it was destroyed.
  virtual void idle();
  // The editor's serviceIdle, if there is an editor.
  virtual void serviceIdle();
  // Milliseconds since system start with an editor; 0 without one.
  virtual uint32_t getTicks() const;
  // The editor's knob mode; 0 (circular) without an editor.
  virtual int32_t getKnobMode() const;
  virtual void beginEdit(int32_t tag);
  virtual void endEdit(int32_t tag);
  // The cursor in frame coordinates; false without a native window.
  virtual bool getCurrentLocation(CViewPoint& where);
  // The old focus view gets loseFocus after focusView names its successor; both are marked
  // dirty when they want the focus.
  virtual void setFocusView(CView* view);
  virtual CView* getFocusView() const;
  // Registers (true) or revokes (false) the window as a drop target.
  virtual bool setDropActive(bool active);
  virtual bool isDropActive() const;
  virtual void setOpenFlag(bool state);
  virtual bool getOpenFlag() const;

  // A context for drawing now, with one reference for the caller: the back buffer during an
  // update, otherwise a new context on the window.
  CDrawContext* createDrawContext();
  // The back buffer, made on first use with the frame's size; no reference for the caller.
  COffscreenContext* getBackBuffer();
  // The frame's own native window, and the host's window that contains it (null once gone).
  void* getNativeWindow() const { return nativeWindow; }
  void* getParentWindow() const { return parentWindow; }
  // A one-line text entry box over the frame's window (rect in frame coordinates); null without
  // a window. The caller destroys it (PlatformTextEntry::destroy).
  platform::PlatformTextEntry* openTextEntry(const platform::TextEntryRequest& request,
                                             platform::TextEntryListener* listener);

  // The window procedure of the frame's window class (paint, presses, wheel, destroy, and on
  // the raster backend keys). False: the platform applies its default processing too.
  static bool frameWindowProc(void* window, platform::WindowMessage& message);

 private:
  bool createNativeWindow(void* parent);
  void destroyNativeWindow();
  void paint(void* window);
  void updateDirtyChildren(COffscreenContext* back, CDrawContext* window);
  void routeWheelMessage(void* window, const platform::WindowMessage& message);
  void routeMouseDownMessage(void* window, const platform::WindowMessage& message);

  CFrameEditor* editor = nullptr;
  void* parentWindow = nullptr;
  CView* focusView = nullptr;
  bool awaitingFirstPaint = true;
  bool isOpenFlag = true;
  bool dropActive = false;
  // This frame's OleInitialize succeeded and is paired in the destructor (same thread).
  bool oleInitialized = false;
  void* nativeWindow = nullptr;
  platform::ImageLibrary* imageLibrary = nullptr;
  CDropTarget* dropTarget = nullptr;
  COffscreenContext* backBuffer = nullptr;
  CDrawContext* currentContext = nullptr;
};

}  // namespace gui
