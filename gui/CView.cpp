#include "gui/CView.h"

#include <cstring>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace gui {

CView::CView(const CViewRect& size) : size(size), hitArea(size) {}

CView::~CView() {
  if (background != nullptr) background->dropReference();
}

void CView::draw(CDrawContext* context) {
  if (background != nullptr) {
    if (transparent) {
      background->drawTransparent(context, size, CViewPoint(0, 0));
    } else {
      background->draw(context, size, CViewPoint(0, 0));
    }
  }
  setDirty(false);
}

void CView::drawArea(CDrawContext* context, const CViewRect&) { draw(context); }

bool CView::touchesRect(const CViewRect& rect) const {
  return rect.right >= size.left && rect.left <= size.right && rect.bottom >= size.top &&
         rect.top <= size.bottom;
}

void CView::onMouseDown(CDrawContext*, const CViewPoint&, MouseButtonState) {}

void CView::setBackground(CBitmap* bitmap) {
  if (background != nullptr) background->dropReference();
  background = bitmap;
  if (background != nullptr) background->addReference();
  setDirty(true);
}

CBitmap* CView::getBackground() const { return background; }

int32_t CView::onKeyDown(KeyEvent&) { return -1; }

int32_t CView::onKeyUp(KeyEvent&) { return -1; }

bool CView::onWheel(CDrawContext*, const CViewPoint&, float) { return false; }

bool CView::onWheel(CDrawContext* context, const CViewPoint& where, int32_t, float distance) {
  return onWheel(context, where, distance);
}

bool CView::onDrop(CDrawContext*, CDragContainer*, const CViewPoint&) { return false; }

void CView::onDragEnter(CDrawContext*, CDragContainer*, const CViewPoint&) {}

void CView::onDragLeave(CDrawContext*, CDragContainer*, const CViewPoint&) {}

void CView::onDragMove(CDrawContext*, CDragContainer*, const CViewPoint&) {}

void CView::loseFocus(CDrawContext*) {}

void CView::takeFocus(CDrawContext*) {}

bool CView::isDirty() const { return dirty; }

void CView::setDirty(bool state) { dirty = state; }

void CView::setMouseEnabled(bool enabled) { mouseEnabled = enabled; }

bool CView::getMouseEnabled() const { return mouseEnabled; }

void CView::setHitArea(const CViewRect& area) { hitArea = area; }

CViewRect& CView::getHitArea(CViewRect& area) const {
  area = hitArea;
  return area;
}

bool CView::hitTest(const CViewPoint& where, MouseButtonState) const {
  return hitArea.pointInside(where);
}

void CView::setTransparency(bool state) { transparent = state; }

bool CView::getTransparency() const { return transparent; }

void CView::setViewSize(const CViewRect& rect) {
  size = rect;
  setDirty(true);
}

CViewRect& CView::getViewSize(CViewRect& rect) const {
  rect = size;
  return rect;
}

bool CView::removed(CView*) { return true; }

bool CView::attached(CView*) { return true; }

void CView::getMouseLocation(CDrawContext* context, CViewPoint& point) {
  if (context == nullptr) return;
  if (parentView != nullptr && parentView->notify(this, kMsgCheckIfViewContainer)) {
    const CViewRect& parentSize = parentView->getViewSize();
    const CViewPoint savedOffset = context->offset;
    const CViewPoint savedOrigin = context->windowOrigin;
    context->offset.offset(parentSize.left, parentSize.top);
    context->windowOrigin.offset(parentSize.left, parentSize.top);
    parentView->getMouseLocation(context, point);
    context->offset = savedOffset;
    context->windowOrigin = savedOrigin;
    return;
  }
  context->getMouseLocation(point);
}

CViewPoint& CView::frameToLocal(CViewPoint& point) const {
  if (parentView != nullptr && parentView->isTypeOf("CViewContainer")) {
    return parentView->frameToLocal(point);
  }
  return point;
}

CViewPoint& CView::localToFrame(CViewPoint& point) const {
  if (parentView != nullptr && parentView->isTypeOf("CViewContainer")) {
    return parentView->localToFrame(point);
  }
  return point;
}

CFrameEditor* CView::getEditor() const {
  return parentFrame != nullptr ? parentFrame->getEditor() : nullptr;
}

bool CView::notify(CView*, const char*) { return false; }

void CView::redrawRect(CDrawContext* context, const CViewRect& rect) {
  if (parentView != nullptr) {
    parentView->redrawRect(context, rect);
  } else if (parentFrame != nullptr) {
    parentFrame->drawArea(context, rect);
  }
}

bool CView::wantsFocus() const { return focusable; }

void CView::setWantsFocus(bool state) { focusable = state; }

bool CView::isTypeOf(const char* name) const {
  return name != nullptr && std::strcmp(name, "CView") == 0;
}

void CView::update(CDrawContext* context) {
  if (isDirty()) {
    redrawRect(context, size);
    setDirty(false);
  }
}

}  // namespace gui
