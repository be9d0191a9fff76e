#pragma once

#include "gui/CRgbColor.h"
#include "gui/CView.h"

namespace gui {

// A view that owns an ordered list of children (first drawn first, last on top), draws its
// background and its children, and routes events to the child under the point. Children live in
// the container's local coordinates (origin at size.left, size.top).
class CViewContainer : public CView {
 public:
  // One entry of the child list; the container holds one reference on `view`.
  struct ChildNode {
    CView* view = nullptr;
    ChildNode* next = nullptr;
    ChildNode* previous = nullptr;
  };

  // frame may be empty; the container holds a reference on `background` and starts dirty.
  CViewContainer(const CViewRect& size, CFrame* frame, CBitmap* background = nullptr);
  // removeAll(true): children created, added and never touched again die with the container.
  ~CViewContainer() override;

  void draw(CDrawContext* context) override;
  void drawArea(CDrawContext* context, const CViewRect& updateRect) override;
  void onMouseDown(CDrawContext* context, const CViewPoint& where,
                   MouseButtonState buttons) override;
  int32_t onKeyDown(KeyEvent& key) override;
  int32_t onKeyUp(KeyEvent& key) override;
  bool onWheel(CDrawContext* context, const CViewPoint& where, float distance) override;
  bool onWheel(CDrawContext* context, const CViewPoint& where, int32_t axis,
               float distance) override;
  bool onDrop(CDrawContext* context, CDragContainer* drag, const CViewPoint& where) override;
  void onDragEnter(CDrawContext* context, CDragContainer* drag, const CViewPoint& where) override;
  void onDragLeave(CDrawContext* context, CDragContainer* drag, const CViewPoint& where) override;
  void onDragMove(CDrawContext* context, CDragContainer* drag, const CViewPoint& where) override;
  void loseFocus(CDrawContext* context) override;
  void takeFocus(CDrawContext* context) override;
  // Own flag, or a dirty child that lies (partly) inside the container.
  bool isDirty() const override;
  bool hitTest(const CViewPoint& where, MouseButtonState buttons = kPollButtons) const override;
  void setViewSize(const CViewRect& rect) override;
  bool removed(CView* parent) override;
  bool attached(CView* parent) override;
  CViewPoint& frameToLocal(CViewPoint& point) const override;
  CViewPoint& localToFrame(CViewPoint& point) const override;
  // True exactly when message is kMsgCheckIfViewContainer (by identity).
  bool notify(CView* sender, const char* message) override;
  // rect in local coordinates.
  void redrawRect(CDrawContext* context, const CViewRect& rect) override;
  bool isTypeOf(const char* name) const override;
  void update(CDrawContext* context) override;

  // Appends the view (drawn last, offered input first), holding one reference; null is ignored.
  virtual void addView(CView* view);
  virtual void addView(CView* view, const CViewRect& mouseableArea, bool mouseEnabled = true);
  // Drops the container's reference, and the creator's too when withRelease. Clears the frame's
  // focus first when `view` has it, child or not.
  virtual void removeView(CView* view, const bool& withRelease = false);
  virtual void removeAll(const bool& withRelease = true);
  virtual bool isChild(CView* view) const;
  virtual int32_t getViewCount() const;
  // Null when out of range.
  virtual CView* getView(int32_t index) const;
  virtual void setBackgroundColor(const CRgbColor& color);
  virtual CRgbColor getBackgroundColor() const;
  virtual void setBackgroundOffset(const CViewPoint& offset);
  virtual const CViewPoint& getBackgroundOffset() const;
  // rect in local coordinates.
  virtual void drawBackgroundArea(CDrawContext* context, const CViewRect& rect);
  virtual void setUpdateMode(int32_t mode);
  virtual int32_t getUpdateMode() const;
  // Kept for the operation order; nothing calls it and it only stores the flag.
  virtual void setDrawInOffscreen(bool state);
  // Kept for the operation order; answers the child that was last offered a mouse press.
  virtual CView* getCurrentView() const;
  // The top-most child whose hitArea holds `where` (parent coordinates, edges included);
  // with deep, the search goes on inside a container child. Null without a frame.
  virtual CView* findViewAt(const CViewPoint& where, bool deep = false) const;
  // Gives the focus to the next focusable view after oldFocus (the first with none).
  virtual bool moveFocusToNext(CView* oldFocus, bool reverse = false);

 protected:
  // Moves the context's offset and windowOrigin by (dx, dy); the returned pair restores them.
  struct ContextShift {
    CViewPoint offset;
    CViewPoint windowOrigin;
  };
  static ContextShift shiftContext(CDrawContext* context, int32_t dx, int32_t dy);
  static void restoreContext(CDrawContext* context, const ContextShift& shift);
  CViewRect localBounds() const;

  ChildNode* firstChild = nullptr;
  ChildNode* lastChild = nullptr;
  int32_t updateMode = 1;
  CRgbColor backgroundColor{0, 0, 0, 255};
  CViewPoint backgroundOffset;
  CView* dragTarget = nullptr;

 private:
  void releaseChild(CView* view, bool withRelease);
  bool drawInOffscreen = false;
  CView* currentView = nullptr;
};

}  // namespace gui
