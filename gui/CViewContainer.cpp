#include "gui/CViewContainer.h"

#include <cstring>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace gui {

namespace {

CViewPoint toLocal(const CViewPoint& where, const CViewRect& size) {
  return where.offsetBy(-size.left, -size.top);
}

bool hasArea(const CViewRect& rect) { return rect.getWidth() > 0 && rect.getHeight() > 0; }

}  // namespace

CViewContainer::CViewContainer(const CViewRect& size, CFrame* frame, CBitmap* background)
    : CView(size) {
  parentFrame = frame;
  setBackground(background);
}

CViewContainer::~CViewContainer() { removeAll(true); }

CViewContainer::ContextShift CViewContainer::shiftContext(CDrawContext* context, int32_t dx,
                                                          int32_t dy) {
  ContextShift saved;
  if (context == nullptr) return saved;
  saved.offset = context->offset;
  saved.windowOrigin = context->windowOrigin;
  context->offset.offset(dx, dy);
  context->windowOrigin.offset(dx, dy);
  return saved;
}

void CViewContainer::restoreContext(CDrawContext* context, const ContextShift& shift) {
  if (context == nullptr) return;
  context->offset = shift.offset;
  context->windowOrigin = shift.windowOrigin;
}

CViewRect CViewContainer::localBounds() const {
  return CViewRect(0, 0, size.getWidth(), size.getHeight());
}

void CViewContainer::draw(CDrawContext* context) {
  if (context == nullptr) {
    setDirty(false);
    return;
  }
  const ContextShift shift = shiftContext(context, size.left, size.top);
  const CViewRect bounds = localBounds();
  const CViewRect old = context->getClipRect();
  context->setClipRect(bounds.intersect(old));
  if (background != nullptr) {
    if (transparent) {
      background->drawTransparent(context, bounds, backgroundOffset);
    } else {
      background->draw(context, bounds, backgroundOffset);
    }
  } else if (!transparent) {
    context->setFillColor(backgroundColor);
    context->fillRect(bounds);
  }
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) {
    context->setClipRect(node->view->getViewSize().intersect(old));
    node->view->draw(context);
  }
  context->setClipRect(old);
  restoreContext(context, shift);
  setDirty(false);
}

void CViewContainer::drawArea(CDrawContext* context, const CViewRect& updateRect) {
  if (context == nullptr) {
    setDirty(false);
    return;
  }
  const ContextShift shift = shiftContext(context, size.left, size.top);
  const CViewRect area = updateRect.intersect(size).offsetBy(-size.left, -size.top);
  const CViewRect old = context->getClipRect();
  const CViewRect clip = area.intersect(old);
  context->setClipRect(clip);
  drawBackgroundArea(context, area);
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) {
    CView* child = node->view;
    if (!child->touchesRect(area)) continue;
    const CViewRect childClip = child->getViewSize().intersect(clip);
    if (childClip.getWidth() == 0 || childClip.getHeight() == 0) continue;
    context->setClipRect(childClip);
    const bool wasDirty = child->isDirty();
    child->drawArea(context, area);
    // A dirty child that could be drawn only in part stays dirty, to be drawn whole later.
    if (wasDirty && childClip != child->getViewSize()) child->setDirty(true);
  }
  context->setClipRect(old);
  restoreContext(context, shift);
  setDirty(false);
}

void CViewContainer::drawBackgroundArea(CDrawContext* context, const CViewRect& rect) {
  if (context == nullptr) return;
  if (background != nullptr) {
    const CViewRect old = context->getClipRect();
    context->setClipRect(rect.intersect(old));
    const CViewRect whole(0, 0, background->getWidth(), background->getHeight());
    if (transparent) {
      background->drawTransparent(context, whole, backgroundOffset);
    } else {
      background->draw(context, whole, backgroundOffset);
    }
    context->setClipRect(old);
  } else if (!transparent) {
    context->setFillColor(backgroundColor);
    context->fillRect(rect);
  }
}

void CViewContainer::redrawRect(CDrawContext* context, const CViewRect& rect) {
  const CViewRect area = rect.offsetBy(size.left, size.top);
  if (transparent) {
    if (parentView != nullptr) {
      parentView->redrawRect(context, area);
    } else if (parentFrame != nullptr && parentFrame != static_cast<CView*>(this)) {
      parentFrame->drawArea(context, area);
    }
    return;
  }
  if (parentView != nullptr) {
    CViewPoint origin(0, 0);
    parentView->localToFrame(origin);
    const ContextShift shift = shiftContext(context, origin.x, origin.y);
    drawArea(context, area);
    restoreContext(context, shift);
    return;
  }
  drawArea(context, area);
}

bool CViewContainer::isDirty() const {
  if (dirty) return true;
  const CViewRect bounds = localBounds();
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) {
    if (node->view->isDirty() && hasArea(node->view->getViewSize().intersect(bounds))) {
      return true;
    }
  }
  return false;
}

void CViewContainer::update(CDrawContext* context) {
  const CViewRect bounds = localBounds();
  if (updateMode == 0) {
    if (isDirty()) {
      redrawRect(context, bounds);
      setDirty(false);
    }
    return;
  }
  if (updateMode != 1) return;
  if (dirty) {
    redrawRect(context, bounds);
    setDirty(false);
    return;
  }
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) {
    CView* child = node->view;
    if (!child->isDirty() || !child->touchesRect(bounds)) continue;
    if (child->notify(this, kMsgCheckIfViewContainer)) {
      child->update(context);
    } else {
      child->redrawRect(context, child->getViewSize().intersect(bounds));
    }
  }
  setDirty(false);
}

void CViewContainer::onMouseDown(CDrawContext* context, const CViewPoint& where,
                                 MouseButtonState buttons) {
  const CViewPoint local = toLocal(where, size);
  if (buttons == kPollButtons && context != nullptr) buttons = pollMouseButtons();
  for (ChildNode* node = lastChild; node != nullptr; node = node->previous) {
    CView* child = node->view;
    if (child->getMouseEnabled() && child->hitTest(local, buttons)) {
      currentView = child;
      child->onMouseDown(context, local, buttons);
      return;
    }
  }
}

int32_t CViewContainer::onKeyDown(KeyEvent& key) {
  for (ChildNode* node = lastChild; node != nullptr; node = node->previous) {
    const int32_t result = node->view->onKeyDown(key);
    if (result != -1) return result;
  }
  return -1;
}

int32_t CViewContainer::onKeyUp(KeyEvent& key) {
  for (ChildNode* node = lastChild; node != nullptr; node = node->previous) {
    const int32_t result = node->view->onKeyUp(key);
    if (result != -1) return result;
  }
  return -1;
}

bool CViewContainer::onWheel(CDrawContext* context, const CViewPoint& where, float distance) {
  return onWheel(context, where, 1, distance);
}

bool CViewContainer::onWheel(CDrawContext* context, const CViewPoint& where, int32_t axis,
                             float distance) {
  CView* target = findViewAt(where, false);
  if (target == nullptr) return false;
  const ContextShift shift = shiftContext(context, size.left, size.top);
  const bool handled = target->onWheel(context, toLocal(where, size), axis, distance);
  restoreContext(context, shift);
  return handled;
}

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, const CViewPoint& where) {
  if (parentFrame == nullptr) return false;
  const ContextShift shift = shiftContext(context, size.left, size.top);
  const CViewPoint local = toLocal(where, size);
  CView* view = findViewAt(where, false);
  if (view != dragTarget) {
    if (dragTarget != nullptr) dragTarget->onDragLeave(context, drag, local);
    dragTarget = view;
  }
  bool result = false;
  if (view != nullptr) {
    result = view->onDrop(context, drag, local);
    view->onDragLeave(context, drag, local);
  }
  dragTarget = nullptr;
  restoreContext(context, shift);
  return result;
}

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag,
                                 const CViewPoint& where) {
  if (parentFrame == nullptr) return;
  const ContextShift shift = shiftContext(context, size.left, size.top);
  const CViewPoint local = toLocal(where, size);
  CView* view = findViewAt(where, false);
  if (dragTarget != nullptr) dragTarget->onDragLeave(context, drag, local);
  dragTarget = view;
  if (view != nullptr) view->onDragEnter(context, drag, local);
  restoreContext(context, shift);
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag,
                                 const CViewPoint& where) {
  if (parentFrame == nullptr) return;
  const ContextShift shift = shiftContext(context, size.left, size.top);
  if (dragTarget != nullptr) dragTarget->onDragLeave(context, drag, toLocal(where, size));
  dragTarget = nullptr;
  restoreContext(context, shift);
}

void CViewContainer::onDragMove(CDrawContext* context, CDragContainer* drag,
                                const CViewPoint& where) {
  if (parentFrame == nullptr) return;
  const ContextShift shift = shiftContext(context, size.left, size.top);
  const CViewPoint local = toLocal(where, size);
  CView* view = findViewAt(where, false);
  if (view == dragTarget) {
    if (view != nullptr) view->onDragMove(context, drag, local);
  } else {
    if (dragTarget != nullptr) dragTarget->onDragLeave(context, drag, local);
    if (view != nullptr) view->onDragEnter(context, drag, local);
    dragTarget = view;
  }
  restoreContext(context, shift);
}

void CViewContainer::loseFocus(CDrawContext* context) {
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) {
    node->view->loseFocus(context);
  }
}

void CViewContainer::takeFocus(CDrawContext* context) {
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) {
    node->view->takeFocus(context);
  }
}

bool CViewContainer::hitTest(const CViewPoint& where, MouseButtonState buttons) const {
  return CView::hitTest(where, buttons);
}

void CViewContainer::setViewSize(const CViewRect& rect) { CView::setViewSize(rect); }

bool CViewContainer::removed(CView*) { return true; }

bool CViewContainer::attached(CView*) { return true; }

CViewPoint& CViewContainer::frameToLocal(CViewPoint& point) const {
  point.offset(-size.left, -size.top);
  if (parentView != nullptr && parentView->isTypeOf("CViewContainer")) {
    return parentView->frameToLocal(point);
  }
  return point;
}

CViewPoint& CViewContainer::localToFrame(CViewPoint& point) const {
  point.offset(size.left, size.top);
  if (parentView != nullptr && parentView->isTypeOf("CViewContainer")) {
    return parentView->localToFrame(point);
  }
  return point;
}

bool CViewContainer::notify(CView*, const char* message) {
  return message == kMsgCheckIfViewContainer;
}

bool CViewContainer::isTypeOf(const char* name) const {
  return name != nullptr && (std::strcmp(name, "CViewContainer") == 0 || CView::isTypeOf(name));
}

void CViewContainer::addView(CView* view) {
  if (view == nullptr) return;
  auto* node = new ChildNode;
  node->view = view;
  view->addReference();
  view->setParentFrame(parentFrame);
  view->setParentView(this);
  node->previous = lastChild;
  if (lastChild != nullptr) {
    lastChild->next = node;
  } else {
    firstChild = node;
  }
  lastChild = node;
  view->attached(this);
  view->setDirty(true);
}

void CViewContainer::addView(CView* view, const CViewRect& mouseableArea, bool enabled) {
  if (view == nullptr) return;
  view->setMouseEnabled(enabled);
  view->setHitArea(mouseableArea);
  addView(view);
}

void CViewContainer::releaseChild(CView* view, bool withRelease) {
  if (dragTarget == view) dragTarget = nullptr;
  if (currentView == view) currentView = nullptr;
  view->removed(this);
  if (withRelease) view->dropReference();
  view->dropReference();
}

void CViewContainer::removeView(CView* view, const bool& withRelease) {
  if (parentFrame != nullptr && view != nullptr && parentFrame->getFocusView() == view) {
    parentFrame->setFocusView(nullptr);
  }
  ChildNode* node = firstChild;
  while (node != nullptr && node->view != view) node = node->next;
  if (node == nullptr) return;
  // Unlinked first, so that whatever the view does while it goes sees a consistent list.
  (node->previous != nullptr ? node->previous->next : firstChild) = node->next;
  (node->next != nullptr ? node->next->previous : lastChild) = node->previous;
  const bool release = withRelease;
  delete node;
  releaseChild(view, release);
}

void CViewContainer::removeAll(const bool& withRelease) {
  const bool release = withRelease;
  ChildNode* node = firstChild;
  firstChild = nullptr;
  lastChild = nullptr;
  while (node != nullptr) {
    ChildNode* next = node->next;
    CView* view = node->view;
    delete node;
    releaseChild(view, release);
    node = next;
  }
}

bool CViewContainer::isChild(CView* view) const {
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) {
    if (node->view == view) return true;
  }
  return false;
}

int32_t CViewContainer::getViewCount() const {
  int32_t count = 0;
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) ++count;
  return count;
}

CView* CViewContainer::getView(int32_t index) const {
  if (index < 0) return nullptr;
  for (ChildNode* node = firstChild; node != nullptr; node = node->next, --index) {
    if (index == 0) return node->view;
  }
  return nullptr;
}

void CViewContainer::setBackgroundColor(const CRgbColor& color) {
  backgroundColor = color;
  setDirty(true);
}

CRgbColor CViewContainer::getBackgroundColor() const { return backgroundColor; }

void CViewContainer::setBackgroundOffset(const CViewPoint& offset) { backgroundOffset = offset; }

const CViewPoint& CViewContainer::getBackgroundOffset() const { return backgroundOffset; }

void CViewContainer::setUpdateMode(int32_t mode) { updateMode = mode; }

int32_t CViewContainer::getUpdateMode() const { return updateMode; }

void CViewContainer::setDrawInOffscreen(bool state) { drawInOffscreen = state; }

CView* CViewContainer::getCurrentView() const { return currentView; }

CView* CViewContainer::findViewAt(const CViewPoint& where, bool deep) const {
  if (parentFrame == nullptr) return nullptr;
  const CViewPoint local = toLocal(where, size);
  for (ChildNode* node = lastChild; node != nullptr; node = node->previous) {
    CView* child = node->view;
    CViewRect area;
    if (!child->getHitArea(area).pointInside(local)) continue;
    if (deep && child->isTypeOf("CViewContainer")) {
      return static_cast<CViewContainer*>(child)->findViewAt(local, true);
    }
    return child;
  }
  return nullptr;
}

bool CViewContainer::moveFocusToNext(CView* oldFocus, bool reverse) {
  if (parentFrame == nullptr) return false;
  bool passed = false;
  for (ChildNode* node = reverse ? lastChild : firstChild; node != nullptr;
       node = reverse ? node->previous : node->next) {
    CView* child = node->view;
    if (oldFocus == nullptr || passed) {
      if (child->wantsFocus()) {
        parentFrame->setFocusView(child);
        return true;
      }
      if (child->isTypeOf("CViewContainer") &&
          static_cast<CViewContainer*>(child)->moveFocusToNext(nullptr, reverse)) {
        return true;
      }
    } else {
      passed = child == oldFocus;
    }
  }
  return false;
}

}  // namespace gui
