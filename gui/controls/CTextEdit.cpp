#include "gui/controls/CTextEdit.h"

#include <cstring>

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/FontTable.h"
#include "gui/ViewMessages.h"
#include "gui/controls/CControlListener.h"
#include "gui/platform/Platform.h"
#include "gui/platform/PlatformTextEntry.h"

namespace gui {

namespace {

// The entry box takes at most this many characters; the field keeps them with their NUL.
constexpr int32_t kEntryCharacters = CParamDisplay::kTextSize - 1;
constexpr MouseButtonState kModifierKeys = kShift | kControl | kAlt;
const char kLooseFocusMessage[] = "LooseFocus";

// Copies up to kEntryCharacters bytes of source and a NUL: texts longer than the field are cut
// at its size instead of overrunning it.
void copyBounded(char* destination, const char* source) {
  size_t length = 0;
  while (length < static_cast<size_t>(kEntryCharacters) && source[length] != '\0') ++length;
  std::memcpy(destination, source, length);
  destination[length] = '\0';
}

}  // namespace

CTextEdit::CTextEdit(const CViewRect& size, CControlListener* listener, int32_t tag,
                     const char* initialText, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style) {
  this->listener = listener;
  this->tag = tag;
  if (initialText != nullptr) copyBounded(text, initialText);
  focusable = true;
}

CTextEdit::~CTextEdit() {
  // The box belongs to the frame's window but is freed by its opener; the listener is not told.
  closeEntryBox();
}

bool CTextEdit::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CTextEdit") == 0) return true;
  return CParamDisplay::isTypeOf(name);
}

void CTextEdit::setText(const char* newText) {
  if (newText == nullptr) {
    if (text[0] == '\0') return;
    text[0] = '\0';
    setDirty(true);
    return;
  }
  char bounded[kTextSize];
  copyBounded(bounded, newText);
  if (std::strcmp(bounded, text) == 0) return;
  std::memcpy(text, bounded, sizeof(text));
  setDirty(true);
}

void CTextEdit::getText(char* buffer) const {
  if (buffer != nullptr) std::memcpy(buffer, text, std::strlen(text) + 1);
}

void CTextEdit::setTextFilter(TextToText conversion) { textToText = conversion; }

void CTextEdit::setTextFilterWithData(TextToTextWithData conversion, void* data) {
  textToTextWithData = conversion;
  userData = data;
}

void CTextEdit::shownText(char* shown) {
  shown[0] = '\0';
  if (textToTextWithData != nullptr) {
    textToTextWithData(text, shown, userData);
  } else if (textToText != nullptr) {
    textToText(text, shown);
  } else if (hasValueConversion()) {
    // The stored text follows the value, so the box opens with what the field shows.
    formatValue(loadValue(), shown);
    copyBounded(text, shown);
  } else {
    std::memcpy(shown, text, sizeof(text));
  }
  shown[kTextSize - 1] = '\0';
}

void CTextEdit::draw(CDrawContext* context) {
  if (editBox != nullptr) {
    // The box covers the field while the user types.
    setDirty(false);
    return;
  }
  char shown[kTextSize];
  shownText(shown);
  drawText(context, shown, nullptr);
  setDirty(false);
}

void CTextEdit::onMouseDown(CDrawContext* context, const CViewPoint&, MouseButtonState buttons) {
  if (!mouseEnabled) return;
  if (buttons == kPollButtons) buttons = pollMouseButtons();
  if (listener != nullptr && (buttons & kModifierKeys) != 0 &&
      listener->modifierClick(context, this, buttons) != 0) {
    return;
  }
  if ((buttons & kLeftButton) == 0) return;
  // Without a frame there is no window to put the box in.
  if (parentFrame == nullptr || parentFrame->getFocusView() == this) return;
  if ((style & kDoubleClickStyle) != 0 && !isDoubleClick()) return;
  beginEdit();
  gestureOpen = true;
  takeFocus(context);
}

CViewRect CTextEdit::rectInFrame(CDrawContext* context) const {
  CViewRect rect = size;
  for (CView* ancestor = parentView; ancestor != nullptr; ancestor = ancestor->getParentView()) {
    if (!ancestor->notify(const_cast<CTextEdit*>(this), kMsgCheckIfViewContainer)) continue;
    const CViewRect& box = ancestor->getViewSize();
    rect.offset(box.left, box.top);
  }
  if (context != nullptr) rect.offset(context->offset.x, context->offset.y);
  return rect;
}

int32_t CTextEdit::entryFontHeight(const CViewRect& rect) const {
  int32_t height = fontTableEntry(fontId).defaultSize;
  // A font too tall for the field shrinks to fit inside it, one pixel free above and below.
  if (height >= rect.getHeight() - 1) height = rect.getHeight() - 2;
  return height > 0 ? height : 1;
}

void CTextEdit::takeFocus(CDrawContext* context) {
  if (parentFrame == nullptr || editBox != nullptr) return;
  // The value may have changed since the field was last drawn (the host automates it); the box
  // opens with what the field shows for the value now.
  char shown[kTextSize];
  shownText(shown);
  platform::TextEntryRequest request;
  request.rect = rectInFrame(context);
  request.text = text;
  request.alignment = alignment;
  request.fontColor = fontColor.toPlatform();
  request.backColor = backColor.toPlatform();
  request.maxLength = kEntryCharacters;
  // The box draws with the field's own font and background brush; the field deletes both when
  // the box closes.
  editFont = platform::createFont(entryFont(entryFontHeight(request.rect)));
  editBrush = platform::createSolidBrush(request.backColor);
  request.font = editFont;
  request.brush = editBrush;
  editBox = parentFrame->openTextEntry(request, &entryForwarder);
  if (editBox == nullptr) deleteEntryObjects();
}

platform::LogicalFont CTextEdit::entryFont(int32_t height) const {
  platform::LogicalFont logical;
  logical.height = -height;
  logical.weight = 400;
  std::strncpy(logical.faceName, fontTableEntry(fontId).faceName, sizeof(logical.faceName) - 1);
  return logical;
}

void CTextEdit::deleteEntryObjects() {
  platform::deleteObject(editFont);
  platform::deleteObject(editBrush);
  editFont = nullptr;
  editBrush = nullptr;
}

void CTextEdit::endGesture() {
  // Each begin edit is answered by exactly one end edit, however many ways the box closes.
  if (!gestureOpen) return;
  gestureOpen = false;
  endEdit();
}

void CTextEdit::closeEntryBox() {
  if (editBox == nullptr) return;
  platform::PlatformTextEntry* box = editBox;
  editBox = nullptr;
  box->destroy();
  deleteEntryObjects();
}

void CTextEdit::loseFocus(CDrawContext* context) {
  // Clearing the frame's focus runs this again from inside; that inner run takes the text.
  if (parentFrame != nullptr && parentFrame->getFocusView() == this) {
    parentFrame->setFocusView(nullptr);
  }
  if (editBox == nullptr) {
    endGesture();
    return;
  }
  const bool changed = readBackText(context);
  // The gesture ends after the listener has passed the new value on, so that the host sees
  // begin edit, the automation and end edit in that order, as for every other control.
  endGesture();
  if (changed) serviceIdle();
  CView* receiver = parentView != nullptr ? parentView : parentFrame;
  if (receiver != nullptr) receiver->notify(this, kLooseFocusMessage);
}

bool CTextEdit::readBackText(CDrawContext* context) {
  char previous[kTextSize];
  std::memcpy(previous, text, sizeof(text));
  editBox->getText(text, kTextSize);
  text[kTextSize - 1] = '\0';
  closeEntryBox();
  const bool changed = std::strcmp(previous, text) != 0;
  if (!changed || listener == nullptr) return changed;

  CDrawContext* drawContext = context;
  CViewPoint savedOffset;
  if (drawContext != nullptr) {
    drawContext->addReference();
  } else if (parentFrame != nullptr) {
    drawContext = parentFrame->createDrawContext();
    if (drawContext != nullptr) {
      savedOffset = drawContext->offset;
      CViewPoint parentOrigin(0, 0);
      if (parentView != nullptr) parentView->localToFrame(parentOrigin);
      drawContext->offset = parentOrigin;
    }
  }
  listener->valueChanged(drawContext, this);
  if (drawContext != nullptr) {
    if (drawContext != context) drawContext->offset = savedOffset;
    drawContext->dropReference();
  }
  return changed;
}

}  // namespace gui
