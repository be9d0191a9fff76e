#include "gui/controls/CVuMeter.h"

#include <cstring>

namespace gui {

CVuMeter::CVuMeter(const CViewRect& size, CBitmap* onBitmap, CBitmap* offBitmap,
                   int32_t segmentCount, int32_t style)
    : CControl(size, nullptr, 0, nullptr),
      onBitmap(onBitmap),
      offBitmap(offBitmap),
      segmentCount(segmentCount),
      style(style) {}
CVuMeter::~CVuMeter() = default;
void CVuMeter::draw(CDrawContext*) {}
void CVuMeter::setDirty(bool state) { dirty = state; }
bool CVuMeter::removed(CView* parent) { return CControl::removed(parent); }
bool CVuMeter::attached(CView* parent) { return CControl::attached(parent); }
bool CVuMeter::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CVuMeter") == 0) return true;
  return CControl::isTypeOf(name);
}
void CVuMeter::setDecayStep(float step) { decayStep = step; }
void CVuMeter::makeOffscreen() {}
void CVuMeter::freeOffscreen() {}
float CVuMeter::nextShownLevel() { return 0.0f; }
void CVuMeter::cutVertical(float, bool) {}
void CVuMeter::cutHorizontal(float, bool) {}
void CVuMeter::drawPart(CBitmap*, CDrawContext*, const CViewRect&, const CViewPoint&) {}

}  // namespace gui
