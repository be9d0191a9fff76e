#include "gui/controls/CAnimKnob.h"

#include <cstring>

namespace gui {

CAnimKnob::CAnimKnob(const CViewRect& size, CControlListener* listener, int32_t tag,
                     int32_t frameCount, int32_t frameHeight, CBitmap* background,
                     const CViewPoint& bitmapOffset)
    : CKnob(size, listener, tag, background, nullptr, bitmapOffset),
      frameCount(frameCount),
      frameHeight(frameHeight) {
  inset = 0;
}
CAnimKnob::~CAnimKnob() = default;
void CAnimKnob::draw(CDrawContext*) {}
bool CAnimKnob::isDirty() const { return CKnob::isDirty(); }
bool CAnimKnob::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CAnimKnob") == 0) return true;
  return CKnob::isTypeOf(name);
}
CViewPoint CAnimKnob::frameSource() const { return CViewPoint(); }

}  // namespace gui
