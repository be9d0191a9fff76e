#pragma once

#include <cstdint>

#include "gui/CViewPoint.h"
#include "gui/controls/CKnob.h"

namespace gui {

// A knob shown as one frame of a vertical film strip (the view's background): frame
// floor(value * (frameCount - 1)), from the top of the strip, or from the bottom when inverted.
// It behaves as CKnob in every other way, except that a change that does not move the handle
// point by a whole pixel does not make it dirty (and so is not reported) until something else
// marks it dirty.
class CAnimKnob : public CKnob {
 public:
  // The strip is held through the view's background reference; no handle bitmap, inset 0.
  CAnimKnob(const CViewRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
            int32_t frameHeight, CBitmap* background,
            const CViewPoint& bitmapOffset = CViewPoint(0, 0));
  ~CAnimKnob() override;

  void draw(CDrawContext* context) override;
  bool isDirty() const override;
  // "CAnimKnob", "CKnob", "CControl" and "CView".
  bool isTypeOf(const char* name) const override;

  void setInverted(bool state) { inverted = state; }
  bool isInverted() const { return inverted; }
  int32_t getFrameCount() const { return frameCount; }
  int32_t getFrameHeight() const { return frameHeight; }

 protected:
  // The strip's source point for the current value (top row of the frame to show).
  CViewPoint frameSource() const;

  int32_t frameCount = 0;
  int32_t frameHeight = 0;
  bool inverted = false;
  CViewPoint lastDrawnPoint;
};

}  // namespace gui
