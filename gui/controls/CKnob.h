#pragma once

#include <cstdint>

#include "gui/CRgbColor.h"
#include "gui/CViewPoint.h"
#include "gui/controls/CControl.h"

namespace gui {

// A rotary control. Its value maps linearly onto an angle of the circle inscribed in its
// rectangle; the mouse turns it by following the pointer's angle (circular) or by straight
// dragging (linear, 200 pixels for the whole range, zoomFactor times more with Shift), the arrow
// keys and the wheel step it by wheelIncrement (a tenth of that with Shift), and Control-click
// resets it to its default. Angles are radians, counter-clockwise from the positive x axis with
// y pointing up; points are relative to the knob's top-left corner.
class CKnob : public CControl {
 public:
  // background and handle may be empty; the knob holds a reference on each.
  CKnob(const CViewRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
        CBitmap* handle, const CViewPoint& bitmapOffset = CViewPoint(0, 0));
  ~CKnob() override;

  // The background from bitmapOffset, then the handle; clean afterwards.
  void draw(CDrawContext* context) override;
  // The whole drag gesture runs inside this call until the left button is released.
  void onMouseDown(CDrawContext* context, const CViewPoint& where,
                   MouseButtonState buttons) override;
  // Arrow keys step the value (answer 1); any other key answers -1.
  int32_t onKeyDown(KeyEvent& key) override;
  using CControl::onWheel;
  bool onWheel(CDrawContext* context, const CViewPoint& where, float distance) override;
  // "CKnob", "CControl" and "CView".
  bool isTypeOf(const char* name) const override;

  // A handle bitmap centred on the handle point, or a line with its shadow from the centre.
  virtual void drawHandle(CDrawContext* context);
  virtual void setStartAngle(float angle);
  virtual float getStartAngle() const;
  virtual void setRangeAngle(float angle);
  virtual float getRangeAngle() const;
  // The handle point of the current value, inset from the rim.
  virtual void valueToPoint(CViewPoint& point) const;
  // The value whose angle points at `point`; the dead zone outside the sweep answers the nearer
  // bound (split at its middle).
  virtual float valueFromPoint(const CViewPoint& point) const;
  virtual void setInset(int32_t newInset);
  virtual void setHandleShadowColor(const CRgbColor& color);
  virtual void setHandleColor(const CRgbColor& color);
  // Replaces the handle bitmap; a new one also sets the inset from its width.
  virtual void setHandleBitmap(CBitmap* bitmap);
  virtual void setZoomFactor(float factor);
  virtual float getZoomFactor() const;

 protected:
  // Derives halfAngle, slope and intercept from the angles and bounds; marks the knob dirty.
  void updateAngles();

  CViewPoint bitmapOffset;
  CRgbColor handleColor{255, 255, 255, 255};
  CRgbColor handleShadowColor{127, 127, 127, 255};
  CBitmap* handleBitmap = nullptr;
  int32_t inset = 3;
  float startAngle = 3.9269907f;
  float rangeAngle = -4.712389f;
  float halfAngle = 0.0f;
  float slope = 0.0f;
  float intercept = 0.0f;
  float radius = 0.0f;
  float zoomFactor = 1.5f;

 private:
  bool isLinearPress(MouseButtonState buttons) const;
  float dragSpan(MouseButtonState buttons) const;
  void trackMouse(CDrawContext* context, CViewPoint where, MouseButtonState buttons);
  // value += delta, clamped, reported as a gesture of its own when it changed something.
  void stepValue(CDrawContext* context, float delta);
};

}  // namespace gui
