#include "gui/controls/CAnimKnob.h"

#include <cstring>

#include "gui/CBitmap.h"
#include "gui/controls/SaturatingCast.h"

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

CViewPoint CAnimKnob::frameSource() const {
  CViewPoint source(0, 0);
  const float current = loadValue();
  // A NaN fails this test and shows frame 0; so does a negative value, inverted or not.
  if (!(current >= 0.0f)) return source;
  // A strip without positive frame heights has no frames to step through.
  if (frameHeight <= 0) return source;
  const float position = inverted ? 1.0f - current : current;
  const int64_t span = (static_cast<int64_t>(frameCount) - 1) * frameHeight;
  if (span < 0) return source;
  // Exact in double for every strip that fits in memory; beyond the int32 range the point is
  // pinned, which lies outside the strip just as the exact one would.
  const int32_t row = truncateToInt32(static_cast<double>(position) * static_cast<double>(span));
  if (row < 0) return source;
  // The top row of the frame that holds `row`; a row at or beyond the top of the last frame is
  // used as it is (value 1 shows the last frame, values above 1 point past the strip).
  const int64_t lastFrameTop = (span / frameHeight) * frameHeight;
  source.y = row < lastFrameTop ? (row / frameHeight) * frameHeight : row;
  return source;
}

void CAnimKnob::draw(CDrawContext* context) {
  const CViewPoint source = frameSource();
  // A source block that leaves the strip draws nothing (the blend refuses it on every platform;
  // a plain copy would read outside the image).
  const bool insideStrip =
      background != nullptr &&
      static_cast<int64_t>(source.y) + size.getHeight() <= background->getHeight();
  if (context != nullptr && insideStrip) {
    if (transparent) {
      background->drawTransparent(context, size, source);
    } else {
      background->draw(context, size, source);
    }
  }
  valueToPoint(lastDrawnPoint);
  setDirty(false);
}

bool CAnimKnob::isDirty() const {
  if (!dirty) {
    CViewPoint point;
    valueToPoint(point);
    if (point == lastDrawnPoint) return false;
  }
  return CKnob::isDirty();
}

bool CAnimKnob::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CAnimKnob") == 0) return true;
  return CKnob::isTypeOf(name);
}

}  // namespace gui
