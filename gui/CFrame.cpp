#include "gui/CFrame.h"

#include <cstring>

#include "gui/CDrawContext.h"
#include "gui/CDropTarget.h"
#include "gui/CFrameEditor.h"
#include "gui/COffscreenContext.h"
#include "gui/PlatformState.h"
#include "gui/ReferenceGuard.h"
#include "gui/VirtualKeys.h"
#include "gui/platform/Platform.h"

namespace gui {

namespace {

// Frames that created a window with the frame's window class; the class is registered by the
// first and unregistered by the last.
int32_t windowClassUsers = 0;

}  // namespace

CFrame::CFrame(const CViewRect& size, void* parentWindow, CFrameEditor* editor)
    : CViewContainer(size, nullptr, nullptr), editor(editor), parentWindow(parentWindow) {
  parentFrame = this;
  oleInitialized = platform::initializeOle();
  // A process-lifetime reference to the blending library first, so that the entry points stay
  // valid after this frame frees its own.
  ensureImageOperations();
  imageLibrary = platform::loadImageLibrary();
  loadImageOperations(imageLibrary);
  createNativeWindow(parentWindow);
}

CFrame::~CFrame() {
  setDropActive(false);
  currentContext = nullptr;  // only ever borrowed during an update
  if (oleInitialized) platform::uninitializeOle();
  if (backBuffer != nullptr) backBuffer->dropReference();
  backBuffer = nullptr;
  if (imageLibrary != nullptr) platform::freeImageLibrary(imageLibrary);
  imageLibrary = nullptr;
  destroyNativeWindow();
  // The children go while this is still a frame, so that they may still talk to it.
  removeAll(true);
}

bool CFrame::createNativeWindow(void* parent) {
  if (parent == nullptr) return false;
  if (windowClassUsers == 0) {
    platform::registerWindowClass(&CFrame::frameWindowProc);
    platformState().buttonsSwapped = platform::areMouseButtonsSwapped();
  }
  ++windowClassUsers;
  nativeWindow = platform::createChildWindow(parent, size.getWidth(), size.getHeight());
  if (nativeWindow == nullptr) {
    // No window: the class count stays balanced so that the class can still be unregistered.
    if (--windowClassUsers == 0) platform::unregisterWindowClass();
    return false;
  }
  platform::setWindowUserData(nativeWindow, this);
  setDropActive(true);
  return true;
}

void CFrame::destroyNativeWindow() {
  if (nativeWindow == nullptr) return;
  // Messages produced by the destruction find no frame.
  platform::setWindowUserData(nativeWindow, nullptr);
  platform::destroyWindow(nativeWindow);
  nativeWindow = nullptr;
  if (--windowClassUsers == 0) platform::unregisterWindowClass();
}

CDrawContext* CFrame::createDrawContext() {
  if (currentContext != nullptr) {
    currentContext->addReference();
    return currentContext;
  }
  return new CDrawContext(this, nullptr, nativeWindow);
}

COffscreenContext* CFrame::getBackBuffer() {
  if (backBuffer == nullptr) {
    backBuffer =
        new COffscreenContext(this, size.getWidth(), size.getHeight(), CRgbColor(0, 0, 0, 255));
  }
  return backBuffer;
}

platform::PlatformTextEntry* CFrame::openTextEntry(const platform::TextEntryRequest& request,
                                                   platform::TextEntryListener* listener) {
  if (nativeWindow == nullptr) return nullptr;
  return platform::createTextEntry(nativeWindow, request, listener);
}

void CFrame::draw(CDrawContext* context) {
  awaitingFirstPaint = false;
  CViewContainer::draw(context != nullptr ? context : currentContext);
}

void CFrame::drawArea(CDrawContext* context, const CViewRect& updateRect) {
  awaitingFirstPaint = false;
  CDrawContext* made = nullptr;
  if (context == nullptr) context = made = createDrawContext();
  const CViewRect old = context->getClipRect();
  context->setClipRect(updateRect.intersect(old));
  if (updateRect.getWidth() > 0 && updateRect.getHeight() > 0) {
    CViewContainer::drawArea(context, updateRect);
  }
  context->setClipRect(old);
  if (made != nullptr) made->dropReference();
}

void CFrame::paint(void* window) {
  CViewRect rect;
  platform::PlatformDevice* paintDevice = platform::beginPaint(window, rect);
  COffscreenContext* back = getBackBuffer();
  drawArea(back, rect);
  {
    CDrawContext screen(this, paintDevice, nativeWindow);
    back->copyTo(&screen, rect, CViewPoint(rect.left, rect.top));
  }
  platform::endPaint(window, paintDevice);
}

void CFrame::idle() {
  if (!getOpenFlag() || awaitingFirstPaint || !isDirty()) return;
  CDrawContext* context = createDrawContext();
  update(context);
  context->dropReference();
}

void CFrame::update(CDrawContext* context) {
  if (!getOpenFlag()) return;
  CDrawContext* saved = currentContext;
  COffscreenContext* back = getBackBuffer();
  currentContext = back;
  if (dirty) {
    draw(back);
    setDirty(false);
    back->copyTo(context, size, CViewPoint(0, 0));
  } else {
    updateDirtyChildren(back, context);
  }
  currentContext = saved;
}

// Each dirty child redraws its own rectangle (the background and every child touching it) into
// the back buffer; only those rectangles go to the window, which holds the rest already.
void CFrame::updateDirtyChildren(COffscreenContext* back, CDrawContext* window) {
  const CViewRect old = back->getClipRect();
  for (ChildNode* node = firstChild; node != nullptr; node = node->next) {
    const CViewRect area = node->view->getViewSize().intersect(old);
    const bool redraws = node->view->isDirty();
    back->setClipRect(area);
    node->view->update(back);
    if (redraws) back->copyTo(window, area, CViewPoint(area.left, area.top));
  }
  back->setClipRect(old);
}

void CFrame::onMouseDown(CDrawContext* context, const CViewPoint& where, MouseButtonState buttons) {
  if (context == nullptr) context = currentContext;
  // Every press takes the keyboard focus away first, wherever it lands.
  if (focusView != nullptr) setFocusView(nullptr);
  if (buttons == kPollButtons && context != nullptr) buttons = pollMouseButtons();
  CViewContainer::onMouseDown(context, where, buttons);
}

bool CFrame::onWheel(CDrawContext* context, const CViewPoint& where, float distance) {
  return onWheel(context, where, 1, distance);
}

bool CFrame::onWheel(CDrawContext* context, const CViewPoint& where, int32_t axis, float distance) {
  CView* target = findViewAt(where, false);
  if (target == nullptr) return false;
  if (context != nullptr) return target->onWheel(context, where, axis, distance);
  CDrawContext* made = createDrawContext();
  const bool handled = target->onWheel(made, where, axis, distance);
  made->dropReference();
  return handled;
}

int32_t CFrame::onKeyDown(KeyEvent& key) {
  if (focusView != nullptr) {
    const int32_t result = focusView->onKeyDown(key);
    if (result != -1) return result;
  }
  if (key.virt == kVirtualKeyTab) {
    return moveFocusToNext(focusView, (key.modifier & kModifierShift) != 0) ? 1 : -1;
  }
  return -1;
}

int32_t CFrame::onKeyUp(KeyEvent& key) {
  return focusView != nullptr ? focusView->onKeyUp(key) : -1;
}

void CFrame::setViewSize(const CViewRect& rect) {
  CViewContainer::setViewSize(rect);
  // The back buffer is remade at the new size on next use.
  if (backBuffer != nullptr && currentContext == nullptr) {
    backBuffer->dropReference();
    backBuffer = nullptr;
  }
}

CFrameEditor* CFrame::getEditor() const { return editor; }

bool CFrame::isTypeOf(const char* name) const {
  return name != nullptr && (std::strcmp(name, "CFrame") == 0 || CViewContainer::isTypeOf(name));
}

bool CFrame::moveFocusToNext(CView* oldFocus, bool reverse) {
  if (oldFocus == nullptr) {
    oldFocus = focusView;
    if (oldFocus == nullptr) return CViewContainer::moveFocusToNext(nullptr, reverse);
  }
  if (isChild(oldFocus)) {
    if (CViewContainer::moveFocusToNext(oldFocus, reverse)) return true;
    setFocusView(nullptr);
    return false;
  }
  CView* current = oldFocus;
  CView* parent = oldFocus->getParentView();
  while (parent != nullptr && parent->isTypeOf("CViewContainer")) {
    if (static_cast<CViewContainer*>(parent)->moveFocusToNext(current, reverse)) return true;
    current = parent;
    parent = parent->getParentView();
  }
  return CViewContainer::moveFocusToNext(oldFocus, reverse);
}

void CFrame::serviceIdle() {
  if (editor != nullptr) editor->serviceIdle();
}

uint32_t CFrame::getTicks() const { return editor != nullptr ? platform::getTickCount() : 0; }

int32_t CFrame::getKnobMode() const { return editor != nullptr ? editor->getKnobMode() : 0; }

void CFrame::beginEdit(int32_t tag) {
  if (editor != nullptr) editor->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
  if (editor != nullptr) editor->endEdit(tag);
}

bool CFrame::getCurrentLocation(CViewPoint& where) {
  if (nativeWindow == nullptr) return false;
  const CViewPoint origin = platform::getWindowOrigin(nativeWindow);
  where = platform::getCursorPosition().offsetBy(-origin.x, -origin.y);
  return true;
}

void CFrame::setFocusView(CView* view) {
  CView* old = focusView;
  focusView = view;
  if (view != nullptr && view->wantsFocus()) view->setDirty(true);
  if (old != nullptr) {
    old->loseFocus(nullptr);
    if (old->wantsFocus()) old->setDirty(true);
  }
}

CView* CFrame::getFocusView() const { return focusView; }

bool CFrame::setDropActive(bool active) {
  if (!dropActive && !active) return true;
  if (nativeWindow == nullptr) return false;
  if (dropTarget != nullptr) {
    platform::revokeDropTarget(nativeWindow);
    delete dropTarget;
    dropTarget = nullptr;
  }
  if (active) {
    dropTarget = new CDropTarget(this);
    platform::registerDropTarget(nativeWindow, dropTarget);
  }
  dropActive = active;
  return true;
}

bool CFrame::isDropActive() const { return dropActive; }

void CFrame::setOpenFlag(bool state) { isOpenFlag = state; }

bool CFrame::getOpenFlag() const { return isOpenFlag; }

void CFrame::routeMouseDownMessage(void* window, const platform::WindowMessage& message) {
  CDrawContext context(this, nullptr, window);
  onMouseDown(&context, message.where, kPollButtons);
}

void CFrame::routeWheelMessage(void* window, const platform::WindowMessage& message) {
  CDrawContext context(this, nullptr, window);
  const CViewPoint where = message.where.offsetBy(-context.windowOrigin.x, -context.windowOrigin.y);
  onWheel(&context, where, float(message.wheelDelta) / 120.0f);
}

bool CFrame::frameWindowProc(void* window, platform::WindowMessage& message) {
  auto* frame = static_cast<CFrame*>(platform::getWindowUserData(window));
  if (frame == nullptr) return false;
  // A press may start a control's drag loop, which gives the host idle time, and the host may
  // close the editor there: the frame and its views stay until this message is done.
  ReferenceGuard keep(frame);
  switch (message.kind) {
    case platform::WindowMessageKind::destroy:
      frame->setOpenFlag(false);
      frame->parentWindow = nullptr;
      return false;
    case platform::WindowMessageKind::paint: {
      CViewRect rect;
      if (!platform::getUpdateRect(window, rect)) return false;
      frame->paint(window);
      message.result = 0;
      return true;
    }
    case platform::WindowMessageKind::mouseDown:
      frame->routeMouseDownMessage(window, message);
      message.result = 0;
      return true;
    case platform::WindowMessageKind::mouseWheel:
      frame->routeWheelMessage(window, message);
      return false;  // the default processing hands the wheel on as well
  }
  return false;
}

}  // namespace gui
