#include "gui/controls/CMovieBitmap.h"

#include <cmath>
#include <cstring>

#include "gui/CBitmap.h"
#include "gui/controls/SaturatingCast.h"

namespace gui {

namespace {

// The short form derives the frame count from the strip; a rectangle without height or a
// missing strip gives no frames instead of a division by zero or a null access.
int32_t framesInStrip(const CBitmap* strip, int32_t frameHeight) {
  if (strip == nullptr || frameHeight <= 0) return 0;
  return strip->getHeight() / frameHeight;
}

}  // namespace

CMovieBitmap::CMovieBitmap(const CViewRect& size, CControlListener* listener, int32_t tag,
                           CBitmap* background, const CViewPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      frameCount(framesInStrip(background, size.getHeight())),
      frameHeight(size.getHeight()) {}

CMovieBitmap::CMovieBitmap(const CViewRect& size, CControlListener* listener, int32_t tag,
                           int32_t frameCount, int32_t frameHeight, CBitmap* background,
                           const CViewPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      frameCount(frameCount),
      frameHeight(frameHeight) {}

CMovieBitmap::~CMovieBitmap() = default;

CViewPoint CMovieBitmap::frameSource() const {
  CViewPoint source = offset;
  float current = loadValue();
  if (current > 1.0f) current = 1.0f;
  if (current > 0.0f) {
    // current lies in (0, 1] here, so the frame index is a small finite number.
    const int64_t frame =
        static_cast<int64_t>((static_cast<double>(frameCount) - 1.0) * current + 0.5);
    source.offset(0, saturateToInt32(static_cast<int64_t>(frameHeight) * frame));
  }
  return source;
}

void CMovieBitmap::draw(CDrawContext* context) {
  if (loadValue() > 1.0f) storeValue(1.0f);
  const CViewPoint source = frameSource();
  if (background != nullptr && context != nullptr) {
    if (transparent) {
      background->drawTransparent(context, size, source);
    } else {
      background->draw(context, size, source);
    }
  }
  CControl::setDirty(false);
}

bool CMovieBitmap::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CMovieBitmap") == 0) return true;
  return CControl::isTypeOf(name);
}

}  // namespace gui
