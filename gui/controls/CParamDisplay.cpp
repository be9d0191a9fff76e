#include "gui/controls/CParamDisplay.h"

#include <cstdio>
#include <cstring>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace gui {

CParamDisplay::CParamDisplay(const CViewRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, 0, background), style(style) {
  if ((style & kNoDrawStyle) != 0) CControl::setDirty(false);
}

CParamDisplay::~CParamDisplay() = default;

bool CParamDisplay::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CParamDisplay") == 0) return true;
  return CControl::isTypeOf(name);
}

void CParamDisplay::setFont(int32_t newFontId) {
  if (newFontId != fontId) setDirty(true);
  fontId = newFontId;
}

void CParamDisplay::setFontColor(const CRgbColor& color) {
  if (color != fontColor) setDirty(true);
  fontColor = color;
}

void CParamDisplay::setBackColor(const CRgbColor& color) {
  if (color != backColor) setDirty(true);
  backColor = color;
}

void CParamDisplay::setFrameColor(const CRgbColor& color) {
  if (color != frameColor) setDirty(true);
  frameColor = color;
}

void CParamDisplay::setShadowColor(const CRgbColor& color) {
  if (color != shadowColor) setDirty(true);
  shadowColor = color;
}

void CParamDisplay::setTextAlignment(int32_t newAlignment) {
  if (newAlignment != alignment) setDirty(true);
  alignment = newAlignment;
}

void CParamDisplay::setValueFormatter(ValueToText conversion) { valueToText = conversion; }

void CParamDisplay::setValueFormatterWithData(ValueToTextWithData conversion, void* data) {
  valueToTextWithData = conversion;
  userData = data;
}

void CParamDisplay::setIndexedFormatter(IndexedValueToText conversion) {
  indexedValueToText = conversion;
}

void CParamDisplay::setStyle(int32_t newStyle) {
  if (newStyle != style) setDirty(true);
  style = newStyle;
}

void CParamDisplay::setTextStyle(int32_t face) {
  if (face != textFace) setDirty(true);
  textFace = face;
}

void CParamDisplay::setTextTransparent(bool state) { textTransparent = state; }

bool CParamDisplay::hasValueConversion() const {
  return valueToTextWithData != nullptr || valueToText != nullptr;
}

void CParamDisplay::formatValue(float number, char* text) const {
  text[0] = '\0';
  if (valueToTextWithData != nullptr) {
    valueToTextWithData(number, text, userData);
  } else if (valueToText != nullptr) {
    valueToText(number, text);
  } else {
    std::snprintf(text, kTextSize, "%2.2f", static_cast<double>(number));
  }
  // A conversion that forgets the terminator must not make the drawing read past the buffer.
  text[kTextSize - 1] = '\0';
}

void CParamDisplay::draw(CDrawContext* context) {
  char text[kTextSize];
  formatValue(loadValue(), text);
  drawText(context, text, nullptr);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text, CBitmap* bitmap) {
  setDirty(false);
  if ((style & kNoDrawStyle) != 0 || context == nullptr) return;
  drawBackground(context, bitmap);
  drawBorder(context);
  drawLabel(context, text);
}

void CParamDisplay::drawBackground(CDrawContext* context, CBitmap* bitmap) {
  CBitmap* image = bitmap != nullptr ? bitmap : background;
  if (image != nullptr) {
    if (transparent) {
      image->drawTransparent(context, size, backOffset);
    } else {
      image->draw(context, size, backOffset);
    }
    return;
  }
  if (transparent) return;
  context->setFillColor(backColor);
  context->fillRect(size);
  if ((style & (kNoFrame | kSunkenFrame | kRaisedFrame)) == 0) {
    context->setLineColor(frameColor);
    context->drawRect(size, kDrawStroked);
  }
}

void CParamDisplay::drawBorder(CDrawContext* context) {
  if ((style & (kSunkenFrame | kRaisedFrame)) == 0) return;
  const bool sunken = (style & kSunkenFrame) != 0;
  const CViewPoint bottomLeft(size.left, addSaturated(size.bottom, -1));
  const CViewPoint topLeft(size.left, addSaturated(size.top, 1));
  const CViewPoint topRight(addSaturated(size.right, -1), addSaturated(size.top, 1));
  const CViewPoint bottomRight(addSaturated(size.right, -1), addSaturated(size.bottom, -1));
  context->setLineWidth(1);
  context->setLineColor(sunken ? backColor : frameColor);
  context->moveTo(bottomLeft);
  context->lineTo(topLeft);
  context->lineTo(topRight);
  context->setLineColor(sunken ? frameColor : backColor);
  context->moveTo(topRight);
  context->lineTo(bottomRight);
  context->lineTo(bottomLeft);
}

void CParamDisplay::drawLabel(CDrawContext* context, const char* text) {
  if ((style & kNoTextStyle) != 0 || text == nullptr || text[0] == '\0') return;
  const CViewRect oldClip = context->getClipRect();
  context->setClipRect(size.intersect(oldClip));
  context->setFont(fontId, 0, textFace);
  const int16_t opaque = textTransparent ? 0 : 1;
  if ((style & kShadowText) != 0) {
    context->setFontColor(shadowColor);
    context->drawString(text, size.offsetBy(1, 1), opaque, alignment);
  }
  context->setFontColor(fontColor);
  context->drawString(text, size, opaque, alignment);
  context->setClipRect(oldClip);
}

}  // namespace gui
