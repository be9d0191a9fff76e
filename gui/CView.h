#pragma once

#include <cstdint>

#include "gui/CReferenceCounter.h"
#include "gui/CViewPoint.h"
#include "gui/CViewRect.h"
#include "gui/KeyEvent.h"
#include "gui/MouseButtonState.h"
#include "gui/ViewMessages.h"

namespace gui {

class CBitmap;
class CDragContainer;
class CDrawContext;
class CFrame;
class CFrameEditor;

// A rectangle of the editor that can draw itself, receive mouse, wheel, key, focus and drag
// events and be marked for redraw. `size` is in the coordinates of the parent container.
class CView : public CReferenceCounter {
 public:
  explicit CView(const CViewRect& size);
  ~CView() override;

  // Draws the background bitmap (transparent copy when `transparent`) into size, then clean.
  virtual void draw(CDrawContext* context);
  // Partial redraw; updateRect is in parent coordinates. The base draws everything.
  virtual void drawArea(CDrawContext* context, const CViewRect& updateRect);
  // Overlap with touching edges counted.
  virtual bool touchesRect(const CViewRect& rect) const;
  virtual void onMouseDown(CDrawContext* context, const CViewPoint& where,
                           MouseButtonState buttons);
  // Drops the old bitmap, holds a reference on the new one, marks dirty.
  virtual void setBackground(CBitmap* bitmap);
  virtual CBitmap* getBackground() const;
  // -1 when not handled.
  virtual int32_t onKeyDown(KeyEvent& key);
  virtual int32_t onKeyUp(KeyEvent& key);
  // distance in wheel notches; false when not handled.
  virtual bool onWheel(CDrawContext* context, const CViewPoint& where, float distance);
  // Drops the axis and calls the three-argument form.
  virtual bool onWheel(CDrawContext* context, const CViewPoint& where, int32_t axis,
                       float distance);
  virtual bool onDrop(CDrawContext* context, CDragContainer* drag, const CViewPoint& where);
  virtual void onDragEnter(CDrawContext* context, CDragContainer* drag, const CViewPoint& where);
  virtual void onDragLeave(CDrawContext* context, CDragContainer* drag, const CViewPoint& where);
  virtual void onDragMove(CDrawContext* context, CDragContainer* drag, const CViewPoint& where);
  virtual void loseFocus(CDrawContext* context);
  virtual void takeFocus(CDrawContext* context);
  virtual bool isDirty() const;
  virtual void setDirty(bool state = true);
  virtual void setMouseEnabled(bool enabled = true);
  virtual bool getMouseEnabled() const;
  virtual void setHitArea(const CViewRect& area);
  virtual CViewRect& getHitArea(CViewRect& area) const;
  // where inside hitArea, edges included; buttons are not looked at.
  virtual bool hitTest(const CViewPoint& where, MouseButtonState buttons = kPollButtons) const;
  virtual void setTransparency(bool state);
  virtual bool getTransparency() const;
  // Stores size and marks dirty; hitArea is not changed.
  virtual void setViewSize(const CViewRect& rect);
  virtual CViewRect& getViewSize(CViewRect& rect) const;
  // Called by a container when the view leaves / joins it; true.
  virtual bool removed(CView* parent);
  virtual bool attached(CView* parent);
  // The cursor in the coordinates this view's size is expressed in.
  virtual void getMouseLocation(CDrawContext* context, CViewPoint& point);
  // Hand the point to the parent containers (a plain view does not move it itself).
  virtual CViewPoint& frameToLocal(CViewPoint& point) const;
  virtual CViewPoint& localToFrame(CViewPoint& point) const;
  // The editor of parentFrame; null without a frame.
  virtual CFrameEditor* getEditor() const;
  // False for a plain view; containers answer true to kMsgCheckIfViewContainer.
  virtual bool notify(CView* sender, const char* message);
  // Redraws rect (parent coordinates) at once through the parent container or the frame.
  virtual void redrawRect(CDrawContext* context, const CViewRect& rect);
  virtual bool wantsFocus() const;
  virtual void setWantsFocus(bool state);
  // True exactly for "CView" (and each subclass's own and base names).
  virtual bool isTypeOf(const char* name) const;
  // If dirty: redrawRect(size), then clean.
  virtual void update(CDrawContext* context);

  // Set by the container that adds the view; removal does not clear them.
  CFrame* getParentFrame() const { return parentFrame; }
  CView* getParentView() const { return parentView; }
  void setParentFrame(CFrame* frame) { parentFrame = frame; }
  void setParentView(CView* view) { parentView = view; }
  const CViewRect& getViewSize() const { return size; }

 protected:
  CViewRect size;
  CViewRect hitArea;
  CFrame* parentFrame = nullptr;
  CView* parentView = nullptr;
  bool dirty = false;
  bool mouseEnabled = true;
  bool transparent = false;
  bool focusable = false;
  CBitmap* background = nullptr;
};

}  // namespace gui
