#pragma once

#include <cstdint>

#include "gui/CViewPoint.h"
#include "gui/controls/CControl.h"

namespace gui {

// One frame of a vertical film strip (the view's background), chosen by the value:
// frame round((frameCount - 1) * value), frame 0 for a value of 0 or below or not a number.
// It has no mouse handling of its own.
class CMovieBitmap : public CControl {
 public:
  // Frames as high as the rectangle; as many as fit in the background.
  CMovieBitmap(const CViewRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
               const CViewPoint& offset = CViewPoint(0, 0));
  CMovieBitmap(const CViewRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
               int32_t frameHeight, CBitmap* background,
               const CViewPoint& offset = CViewPoint(0, 0));
  ~CMovieBitmap() override;

  // A value above 1 is stored as 1 first.
  void draw(CDrawContext* context) override;
  // "CMovieBitmap", "CControl" and "CView".
  bool isTypeOf(const char* name) const override;

  int32_t getFrameCount() const { return frameCount; }
  int32_t getFrameHeight() const { return frameHeight; }
  // The source point of the frame the current value selects.
  CViewPoint frameSource() const;

 protected:
  CViewPoint offset;
  int32_t frameCount = 0;
  int32_t frameHeight = 0;
};

}  // namespace gui
