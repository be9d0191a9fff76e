#pragma once

#include <cstdint>

#include "gui/CViewRect.h"
#include "gui/controls/CControl.h"

namespace gui {

class CBitmap;
class COffscreenContext;

// A level between 0 and 1 shown as a bar of LED segments: the lit part of the "on" image next to
// the dark part of the "off" image, cut at a whole segment. A rising level shows at once; a
// falling one sinks by the decay step per redraw (oldValue holds the level shown, so the meter
// stays dirty until it has reached its value). It has no listener and tag 0.
class CVuMeter : public CControl {
 public:
  // style bit 0 (kHorizontal) set: horizontal bar, lit on the left; otherwise vertical, lit at
  // the bottom. The meter holds a reference on each bitmap given; offBitmap may be empty.
  CVuMeter(const CViewRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int32_t segmentCount,
           int32_t style = 0);
  ~CVuMeter() override;

  enum : int32_t { kHorizontal = 1 };

  void draw(CDrawContext* context) override;
  // Stores the dirty flag only: oldValue is the level shown and must not be touched here.
  void setDirty(bool state = true) override;
  // Frees the private buffer.
  bool removed(CView* parent) override;
  // Builds the private buffer of the meter's size (when drawing off-screen).
  bool attached(CView* parent) override;
  // "CVuMeter", "CControl" and "CView".
  bool isTypeOf(const char* name) const override;

  // How far the shown level may fall per redraw.
  virtual void setDecayStep(float step);

  float getDecayStep() const { return decayStep; }
  // Where the last draw put the lit and the dark part (buffer coordinates when off-screen).
  const CViewRect& getOnRect() const { return onRect; }
  const CViewRect& getOffRect() const { return offRect; }
  void setUseOffscreen(bool state) { useOffscreen = state; }
  bool getUseOffscreen() const { return useOffscreen; }

 private:
  void makeOffscreen();
  void freeOffscreen();
  void resetRects(bool offscreenTarget);
  float nextShownLevel();
  void cutVertical(float level, bool offscreen);
  void cutHorizontal(float level, bool offscreen);
  void drawPart(CBitmap* bitmap, CDrawContext* target, const CViewRect& rect,
                const CViewPoint& source);

  CBitmap* onBitmap = nullptr;
  CBitmap* offBitmap = nullptr;
  COffscreenContext* offscreen = nullptr;
  int32_t segmentCount = 0;
  int32_t style = 0;
  float decayStep = 0.1f;
  bool useOffscreen = true;
  CViewRect onRect;
  CViewRect offRect;
  CViewPoint onSource;
  CViewPoint offSource;
};

}  // namespace gui
