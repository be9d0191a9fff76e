#include "gui/controls/CControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/CFrame.h"
#include "gui/controls/CControlListener.h"
#include "gui/platform/Platform.h"

namespace gui {

namespace {

// The floor keeps very short system settings usable.
constexpr uint32_t kShortestDoubleClickDelay = 250;
// Far longer than anyone waits between two clicks; keeps an absurd setting inside int32.
constexpr uint32_t kLongestDoubleClickDelay = 10000;

int32_t doubleClickDelayOfTheSystem() {
  return static_cast<int32_t>(
      std::min(std::max(platform::getDoubleClickTime(), kShortestDoubleClickDelay),
               kLongestDoubleClickDelay));
}

}  // namespace

CControl::CControl(const CViewRect& size, CControlListener* listener, int32_t tag,
                   CBitmap* background)
    : CView(size), listener(listener), tag(tag), doubleClickDelay(doubleClickDelayOfTheSystem()) {
  mouseEnabled = true;
  transparent = false;
  setBackground(background);
  // Taking the background marks the view dirty through setDirty, which moved oldValue; a new
  // control starts with oldValue 1 again, which differs from its value 0 and so keeps it dirty
  // until it is drawn (the goniometer, whose setDirty leaves oldValue alone, stays dirty for good).
  oldValue = 1.0f;
}

CControl::~CControl() = default;

bool CControl::isDirty() const {
  // != is true when either side is a NaN, which is what a redraw needs.
  if (loadValue() != oldValue) return true;
  return CView::isDirty();
}

void CControl::setDirty(bool state) {
  CView::setDirty(state);
  if (state) {
    oldValue = loadValue() == -1.0f ? 0.0f : -1.0f;
  } else {
    oldValue = loadValue();
  }
}

bool CControl::isTypeOf(const char* name) const {
  if (name == nullptr) return false;
  return std::strcmp(name, "CControl") == 0 || std::strcmp(name, "CView") == 0;
}

void CControl::serviceIdle() {
  if (parentFrame != nullptr) parentFrame->serviceIdle();
}

void CControl::setValue(float newValue) { storeValue(newValue); }
float CControl::getValue() const { return loadValue(); }
void CControl::setMin(float newMin) { minValue = newMin; }
float CControl::getMin() const { return minValue; }
void CControl::setMax(float newMax) { maxValue = newMax; }
float CControl::getMax() const { return maxValue; }
void CControl::setOldValue(float newOldValue) { oldValue = newOldValue; }
float CControl::getOldValue() const { return oldValue; }
void CControl::setDefaultValue(float newDefault) { defaultValue = newDefault; }
float CControl::getDefaultValue() const { return defaultValue; }
void CControl::setTag(int32_t newTag) { tag = newTag; }
int32_t CControl::getTag() const { return tag; }

// A control only receives input while it belongs to a frame; a caller that asks before that (or
// after a removal) gets no gesture instead of a crash.
void CControl::beginEdit() {
  if (parentFrame == nullptr) return;
  parentFrame->setFocusView(this);
  parentFrame->beginEdit(tag);
}

void CControl::endEdit() {
  if (parentFrame != nullptr) parentFrame->endEdit(tag);
}

void CControl::setBackOffset(const CViewPoint& offset) { backOffset = offset; }
void CControl::copyBackOffset() { backOffset = size.topLeft(); }
void CControl::setWheelIncrement(float increment) { wheelIncrement = increment; }
float CControl::getWheelIncrement() const { return wheelIncrement; }

void CControl::clampValue() {
  const float current = loadValue();
  // A value that is not a number has no place between the bounds; every user of a clamped value
  // (a host parameter, a pixel position) needs a number, so it becomes the lower bound.
  if (std::isnan(current)) {
    storeValue(minValue);
  } else if (current > maxValue) {
    storeValue(maxValue);
  } else if (current < minValue) {
    storeValue(minValue);
  }
}

bool CControl::resetOnControlClick(CDrawContext* context, MouseButtonState buttons) {
  if (buttons != (kLeftButton | kControl)) return false;
  beginEdit();
  storeValue(getDefaultValue());
  reportIfDirty(context);
  endEdit();
  return true;
}

bool CControl::isDoubleClick() {
  if (parentFrame == nullptr) return false;
  // The tick count is kept as a signed 32-bit number; the sum is formed in 64 bits so that a
  // tick count near the top of the range cannot overflow.
  const int32_t now = static_cast<int32_t>(parentFrame->getTicks());
  if (lastClickTicks > 0 &&
      static_cast<int64_t>(now) < static_cast<int64_t>(lastClickTicks) + doubleClickDelay) {
    lastClickTicks = 0;
    return true;
  }
  lastClickTicks = now;
  return false;
}

void CControl::reportIfDirty(CDrawContext* context) {
  if (isDirty() && listener != nullptr) listener->valueChanged(context, this);
}

}  // namespace gui
