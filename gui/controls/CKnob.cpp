#include "gui/controls/CKnob.h"

#include <cstring>

namespace gui {

CKnob::CKnob(const CViewRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
             CBitmap* handle, const CViewPoint& bitmapOffset)
    : CControl(size, listener, tag, background), bitmapOffset(bitmapOffset), handleBitmap(handle) {}
CKnob::~CKnob() = default;
void CKnob::draw(CDrawContext*) {}
void CKnob::onMouseDown(CDrawContext*, const CViewPoint&, MouseButtonState) {}
int32_t CKnob::onKeyDown(VstKeyCode&) { return -1; }
bool CKnob::onWheel(CDrawContext*, const CViewPoint&, float) { return false; }
bool CKnob::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CKnob") == 0) return true;
  return CControl::isTypeOf(name);
}
void CKnob::drawHandle(CDrawContext*) {}
void CKnob::setStartAngle(float angle) { startAngle = angle; }
float CKnob::getStartAngle() const { return startAngle; }
void CKnob::setRangeAngle(float angle) { rangeAngle = angle; }
float CKnob::getRangeAngle() const { return rangeAngle; }
void CKnob::valueToPoint(CViewPoint&) const {}
float CKnob::valueFromPoint(const CViewPoint&) const { return 0.0f; }
void CKnob::setInset(int32_t newInset) { inset = newInset; }
void CKnob::setHandleShadowColor(const CRgbColor& color) { handleShadowColor = color; }
void CKnob::setHandleColor(const CRgbColor& color) { handleColor = color; }
void CKnob::setHandleBitmap(CBitmap* bitmap) { handleBitmap = bitmap; }
void CKnob::setZoomFactor(float factor) { zoomFactor = factor; }
float CKnob::getZoomFactor() const { return zoomFactor; }
void CKnob::updateAngles() {}
bool CKnob::isLinearPress(MouseButtonState) const { return false; }
float CKnob::dragSpan(MouseButtonState) const { return 200.0f; }
void CKnob::trackMouse(CDrawContext*, CViewPoint, MouseButtonState) {}
void CKnob::stepValue(CDrawContext*, float) {}

}  // namespace gui
