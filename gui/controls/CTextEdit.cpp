#include "gui/controls/CTextEdit.h"

#include <cstring>

namespace gui {

CTextEdit::CTextEdit(const CViewRect& size, CControlListener* listener, int32_t tag,
                     const char* text, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style) {
  this->listener = listener;
  this->tag = tag;
  setText(text);
  focusable = true;
}
CTextEdit::~CTextEdit() = default;
void CTextEdit::draw(CDrawContext*) {}
void CTextEdit::onMouseDown(CDrawContext*, const CViewPoint&, MouseButtonState) {}
void CTextEdit::loseFocus(CDrawContext*) {}
void CTextEdit::takeFocus(CDrawContext*) {}
bool CTextEdit::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CTextEdit") == 0) return true;
  return CParamDisplay::isTypeOf(name);
}
void CTextEdit::setText(const char*) {}
void CTextEdit::getText(char* buffer) const {
  if (buffer != nullptr) std::memcpy(buffer, text, sizeof(text));
}
void CTextEdit::setTextFilter(TextToText conversion) { textToText = conversion; }
void CTextEdit::setTextFilterWithData(TextToTextWithData conversion, void* data) {
  textToTextWithData = conversion;
  userData = data;
}
void CTextEdit::shownText(char* shown) { shown[0] = 0; }
bool CTextEdit::readBackText(CDrawContext*) { return false; }
CViewRect CTextEdit::rectInFrame(CDrawContext*) const { return size; }
int32_t CTextEdit::entryFontHeight(const CViewRect&) const { return 12; }
void CTextEdit::closeEntryBox() {}
void CTextEdit::endGesture() {}

}  // namespace gui
