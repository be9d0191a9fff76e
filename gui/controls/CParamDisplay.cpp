#include "gui/controls/CParamDisplay.h"

#include <cstring>

namespace gui {

CParamDisplay::CParamDisplay(const CViewRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, 0, background), style(style) {}
CParamDisplay::~CParamDisplay() = default;
void CParamDisplay::draw(CDrawContext*) {}
bool CParamDisplay::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CParamDisplay") == 0) return true;
  return CControl::isTypeOf(name);
}
void CParamDisplay::setFont(int32_t id) { fontId = id; }
void CParamDisplay::setFontColor(const CRgbColor& color) { fontColor = color; }
void CParamDisplay::setBackColor(const CRgbColor& color) { backColor = color; }
void CParamDisplay::setFrameColor(const CRgbColor& color) { frameColor = color; }
void CParamDisplay::setShadowColor(const CRgbColor& color) { shadowColor = color; }
void CParamDisplay::setTextAlignment(int32_t newAlignment) { alignment = newAlignment; }
void CParamDisplay::setValueFormatter(ValueToText conversion) { valueToText = conversion; }
void CParamDisplay::setValueFormatterWithData(ValueToTextWithData conversion, void* data) {
  valueToTextWithData = conversion;
  userData = data;
}
void CParamDisplay::setIndexedFormatter(IndexedValueToText conversion) {
  indexedValueToText = conversion;
}
void CParamDisplay::setStyle(int32_t newStyle) { style = newStyle; }
void CParamDisplay::setTextStyle(int32_t face) { textFace = face; }
void CParamDisplay::setTextTransparent(bool state) { textTransparent = state; }
void CParamDisplay::drawText(CDrawContext*, const char*, CBitmap*) {}
void CParamDisplay::formatValue(float, char* text) const { text[0] = 0; }
bool CParamDisplay::hasValueConversion() const { return false; }
void CParamDisplay::drawBackground(CDrawContext*, CBitmap*) {}
void CParamDisplay::drawBorder(CDrawContext*) {}
void CParamDisplay::drawLabel(CDrawContext*, const char*) {}

}  // namespace gui
