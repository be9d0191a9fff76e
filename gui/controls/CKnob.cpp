#include "gui/controls/CKnob.h"

#include <cmath>
#include <cstring>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/VirtualKeys.h"
#include "gui/controls/CControlListener.h"
#include "gui/controls/SaturatingCast.h"

namespace gui {

namespace {

// 2 pi as the float that the angle arithmetic uses (6.2831855, just above 2 pi), and the double
// bound of the two normalisation tests; the dead-zone edges depend on both exactly.
constexpr float kTwoPiFloat = 6.2831855f;
constexpr double kTwoPiDouble = 6.283185307179586;
constexpr float kLinearDragPixels = 200.0f;
constexpr int32_t kLinearKnobMode = 2;
constexpr MouseButtonState kModifierButtons = kShift | kControl | kAlt | kCommand;

// Wraps an angle difference into 0..2pi once, the way both branches of valueFromPoint test it.
double wrapOnce(double angle) {
  if (angle < 0.0) return angle + kTwoPiFloat;
  if (angle > kTwoPiDouble) return angle - kTwoPiFloat;
  return angle;
}

}  // namespace

CKnob::CKnob(const CViewRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
             CBitmap* handle, const CViewPoint& bitmapOffset)
    : CControl(size, listener, tag, background),
      bitmapOffset(bitmapOffset),
      handleBitmap(handle),
      radius(static_cast<float>(size.getWidth()) / 2.0f) {
  if (handleBitmap != nullptr) {
    handleBitmap->addReference();
    inset = static_cast<int32_t>(handleBitmap->getWidth() * 0.5 + 2.5);
  }
  rangeAngle = 1.0f;
  updateAngles();
  rangeAngle = -4.712389f;
  updateAngles();
  focusable = true;
}

CKnob::~CKnob() {
  if (handleBitmap != nullptr) handleBitmap->dropReference();
}

void CKnob::updateAngles() {
  halfAngle = (kTwoPiFloat - std::fabs(rangeAngle)) * 0.5f;
  slope = (maxValue - minValue) / rangeAngle;
  intercept = minValue - slope * startAngle;
  setDirty(true);
}

void CKnob::draw(CDrawContext* context) {
  if (context != nullptr) {
    if (background != nullptr) {
      if (transparent) {
        background->drawTransparent(context, size, bitmapOffset);
      } else {
        background->draw(context, size, bitmapOffset);
      }
    }
    drawHandle(context);
  }
  setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
  if (context == nullptr) return;
  CViewPoint point;
  valueToPoint(point);
  if (handleBitmap != nullptr) {
    const int32_t width = handleBitmap->getWidth();
    const int32_t height = handleBitmap->getHeight();
    const int32_t left = addSaturated(addSaturated(size.left, -width / 2), point.x);
    const int32_t top = addSaturated(addSaturated(size.top, -height / 2), point.y);
    const CViewRect where(left, top, addSaturated(left, width), addSaturated(top, height));
    handleBitmap->drawTransparent(context, where, CViewPoint(0, 0));
    return;
  }
  CViewPoint origin(addSaturated(size.left, size.getWidth() / 2 - 1),
                    addSaturated(size.top, size.getHeight() / 2));
  CViewPoint tip(addSaturated(addSaturated(size.left, -1), point.x),
                 addSaturated(size.top, point.y));
  context->setLineColor(handleShadowColor);
  context->moveTo(tip);
  context->lineTo(origin);
  origin.offset(1, -1);
  tip.offset(1, -1);
  context->setLineColor(handleColor);
  context->moveTo(tip);
  context->lineTo(origin);
}

void CKnob::valueToPoint(CViewPoint& point) const {
  // A value that is not a number, or infinite, has no angle: it is shown at the nearer end of
  // the sweep instead of turning into an undefined pixel position.
  float current = loadValue();
  if (std::isnan(current)) current = minValue;
  if (std::isinf(current)) current = current > 0.0f ? maxValue : minValue;
  float alpha = (current - intercept) / slope;
  if (!std::isfinite(alpha)) alpha = startAngle;
  const float reach = radius - static_cast<float>(inset);
  point.x = truncateToInt32(radius + std::cos(static_cast<double>(alpha)) * reach + 0.5);
  point.y = truncateToInt32(radius - std::sin(static_cast<double>(alpha)) * reach + 0.5);
}

float CKnob::valueFromPoint(const CViewPoint& point) const {
  const float pointAngle = static_cast<float>(
      std::atan2(static_cast<double>(radius) - point.y, point.x - static_cast<double>(radius)));
  double alpha = pointAngle;
  if (alpha < 0.0) alpha += kTwoPiFloat;
  const double fromStart = alpha - startAngle;
  if (rangeAngle >= 0.0f) {
    const double wrapped = wrapOnce(fromStart);
    if (wrapped > static_cast<double>(rangeAngle) + halfAngle) return minValue;
    if (wrapped > rangeAngle) return maxValue;
    double angle = fromStart;
    if (fromStart > static_cast<double>(rangeAngle) + halfAngle) {
      angle = fromStart - kTwoPiFloat;
    } else if (fromStart < -static_cast<double>(halfAngle)) {
      angle = fromStart + kTwoPiFloat;
    }
    return static_cast<float>(minValue + static_cast<double>(slope) * angle);
  }
  const double fromEnd = fromStart - rangeAngle;
  const double wrapped = wrapOnce(fromEnd);
  if (wrapped > static_cast<double>(halfAngle) - rangeAngle) return maxValue;
  if (wrapped > -static_cast<double>(rangeAngle)) return minValue;
  double angle = fromEnd;
  if (fromEnd > static_cast<double>(halfAngle) - rangeAngle) {
    angle = fromEnd - kTwoPiFloat;
  } else if (fromEnd < -static_cast<double>(halfAngle)) {
    angle = fromEnd + kTwoPiFloat;
  }
  return static_cast<float>(maxValue + static_cast<double>(slope) * angle);
}

void CKnob::onMouseDown(CDrawContext* context, const CViewPoint& where, MouseButtonState buttons) {
  if (!mouseEnabled) return;
  if (buttons == kPollButtons) buttons = pollMouseButtons();
  if ((buttons & kLeftButton) == 0) return;
  if (listener != nullptr && (buttons & kModifierButtons) != 0 &&
      listener->modifierClick(context, this, buttons) != 0) {
    return;
  }
  if (resetOnControlClick(context, buttons)) return;
  trackMouse(context, where, buttons);
}

bool CKnob::isLinearPress(MouseButtonState buttons) const {
  const int32_t mode = parentFrame != nullptr ? parentFrame->getKnobMode() : 0;
  const bool altHeld = (buttons & kAlt) != 0;
  return mode == kLinearKnobMode ? !altHeld : altHeld;
}

float CKnob::dragSpan(MouseButtonState buttons) const {
  float span = kLinearDragPixels;
  if ((buttons & kShift) != 0) span *= zoomFactor;
  // A zoom factor of 0, a negative or a NaN one would turn every drag into a NaN or an endless
  // value; such a factor counts as no zoom.
  if (!(span > 0.0f) || !std::isfinite(span)) span = kLinearDragPixels;
  return span;
}

void CKnob::trackMouse(CDrawContext* context, CViewPoint where, MouseButtonState buttons) {
  const bool linear = isLinearPress(buttons);
  const float range = maxValue - minValue;
  const float middle = range * 0.5f;
  float old = oldValue;
  float entry = loadValue();
  MouseButtonState lastButtons = buttons;
  const CViewPoint first = where;
  float coef = linear ? range / dragSpan(buttons) : 0.0f;
  if (!linear) old = valueFromPoint(where.offsetBy(-size.left, -size.top));

  beginEdit();
  CViewPoint lastWhere(-1, -1);
  do {
    buttons = pollMouseButtons();
    if (where != lastWhere) {
      lastWhere = where;
      if (linear) {
        // Right and up increase; the sum is formed in 64 bits so that far-away points cannot
        // overflow it.
        const float diff = static_cast<float>(static_cast<int64_t>(where.x) - first.x +
                                              static_cast<int64_t>(first.y) - where.y);
        if (buttons != lastButtons) {
          // Shift pressed or released mid-drag changes the rate without a jump of the value.
          const float newCoef = range / dragSpan(buttons);
          entry += diff * (coef - newCoef);
          coef = newCoef;
          lastButtons = buttons;
        }
        storeValue(entry + diff * coef);
        clampValue();
      } else {
        const float pointed = valueFromPoint(where.offsetBy(-size.left, -size.top));
        // Crossing the dead zone pins the knob at the end it came from.
        if (old - pointed > middle) {
          storeValue(maxValue);
        } else if (pointed - old > middle) {
          storeValue(minValue);
        } else {
          storeValue(pointed);
          old = pointed;
        }
      }
      reportIfDirty(context);
    }
    getMouseLocation(context, where);
    serviceIdle();
  } while ((buttons & kLeftButton) != 0);
  endEdit();
}

int32_t CKnob::onKeyDown(KeyEvent& key) {
  float step = 0.0f;
  switch (key.virt) {
    case kVirtualKeyUp:
    case kVirtualKeyRight:
      step = 1.0f;
      break;
    case kVirtualKeyDown:
    case kVirtualKeyLeft:
      step = -1.0f;
      break;
    default:
      return -1;
  }
  if ((key.modifier & kModifierShift) != 0) step *= 0.1f;
  stepValue(nullptr, step * wheelIncrement);
  return 1;
}

bool CKnob::onWheel(CDrawContext* context, const CViewPoint&, float distance) {
  if (!mouseEnabled) return false;
  const MouseButtonState buttons = pollMouseButtons();
  float delta = distance * wheelIncrement;
  if ((buttons & kShift) != 0) delta *= 0.1f;
  stepValue(context, delta);
  return true;
}

void CKnob::stepValue(CDrawContext* context, float delta) {
  // A step that is not a number would leave the knob without a value; it changes nothing.
  if (std::isnan(delta)) return;
  storeValue(loadValue() + delta);
  clampValue();
  if (isDirty() && listener != nullptr) {
    beginEdit();
    listener->valueChanged(context, this);
    endEdit();
  }
}

bool CKnob::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CKnob") == 0) return true;
  return CControl::isTypeOf(name);
}

void CKnob::setStartAngle(float angle) {
  startAngle = angle;
  updateAngles();
}

float CKnob::getStartAngle() const { return startAngle; }

void CKnob::setRangeAngle(float angle) {
  rangeAngle = angle;
  updateAngles();
}

float CKnob::getRangeAngle() const { return rangeAngle; }
void CKnob::setInset(int32_t newInset) { inset = newInset; }

void CKnob::setHandleShadowColor(const CRgbColor& color) {
  handleShadowColor = color;
  setDirty(true);
}

void CKnob::setHandleColor(const CRgbColor& color) {
  handleColor = color;
  setDirty(true);
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
  if (handleBitmap != nullptr) handleBitmap->dropReference();
  handleBitmap = bitmap;
  if (handleBitmap == nullptr) return;
  handleBitmap->addReference();
  inset = static_cast<int32_t>(handleBitmap->getWidth() * 0.5 + 2.5);
}

void CKnob::setZoomFactor(float factor) { zoomFactor = factor; }
float CKnob::getZoomFactor() const { return zoomFactor; }

}  // namespace gui
