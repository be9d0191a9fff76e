#include "gui/controls/CVuMeter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/CBitmap.h"
#include "gui/COffscreenContext.h"
#include "gui/controls/SaturatingCast.h"

namespace gui {

namespace {

const CRgbColor kBufferFill(0, 0, 0, 255);

// The whole number of segments `share` of the bar covers, rounded to the nearest and kept within
// the bar, so that no level can put the cut outside the images.
int32_t wholeSegments(int32_t segments, double share) {
  const double count = segments * share + 0.5;
  if (!(count > 0.0)) return 0;  // also a NaN share (bounds that are not numbers)
  if (count >= segments) return segments;
  return static_cast<int32_t>(count);
}

int32_t cutAt(int32_t part, int32_t segments, int32_t length) {
  return truncateToInt32(static_cast<double>(part) / segments * length);
}

}  // namespace

CVuMeter::CVuMeter(const CViewRect& size, CBitmap* onBitmap, CBitmap* offBitmap,
                   int32_t segmentCount, int32_t style)
    : CControl(size, nullptr, 0, nullptr),
      onBitmap(onBitmap),
      offBitmap(offBitmap),
      segmentCount(segmentCount),
      style(style),
      onRect(size.normalized()),
      offRect(size.normalized()) {
  if (onBitmap != nullptr) onBitmap->addReference();
  if (offBitmap != nullptr) offBitmap->addReference();
}

CVuMeter::~CVuMeter() {
  if (onBitmap != nullptr) onBitmap->dropReference();
  if (offBitmap != nullptr) offBitmap->dropReference();
  // Normally removed() has freed the buffer; a meter drawn but never placed in a container still
  // owns one here.
  freeOffscreen();
}

void CVuMeter::setDirty(bool state) { CView::setDirty(state); }

bool CVuMeter::attached(CView* parent) {
  CControl::attached(parent);
  freeOffscreen();
  if (useOffscreen) makeOffscreen();
  resetRects(useOffscreen);
  return true;
}

// Both parts start as the whole bar, in the buffer's coordinates or in the parent's; the cut
// then moves one edge of each. Starting afresh at every draw keeps a change of the off-screen
// flag from mixing the two coordinate systems.
void CVuMeter::resetRects(bool offscreenTarget) {
  const CViewRect bounds = size.normalized();
  onRect = offscreenTarget ? CViewRect(0, 0, bounds.getWidth(), bounds.getHeight()) : bounds;
  offRect = onRect;
}

bool CVuMeter::removed(CView* parent) {
  freeOffscreen();
  CControl::removed(parent);
  return true;
}

void CVuMeter::makeOffscreen() {
  const CViewRect bounds = size.normalized();
  offscreen =
      new COffscreenContext(parentFrame, bounds.getWidth(), bounds.getHeight(), kBufferFill);
}

void CVuMeter::freeOffscreen() {
  if (offscreen == nullptr) return;
  offscreen->dropReference();
  offscreen = nullptr;
}

bool CVuMeter::isTypeOf(const char* name) const {
  if (name != nullptr && std::strcmp(name, "CVuMeter") == 0) return true;
  return CControl::isTypeOf(name);
}

void CVuMeter::setDecayStep(float step) { decayStep = step; }

float CVuMeter::nextShownLevel() {
  const float target = loadValue();
  float shown = oldValue - decayStep;
  // "Not greater" also catches a NaN shown level or step: the meter then shows the value.
  if (!(shown > target)) shown = target;
  // A negative step would make the shown level climb without end; it stops at the top.
  shown = std::min(shown, maxValue);
  oldValue = shown;
  return shown;
}

void CVuMeter::cutVertical(float level, bool offscreenTarget) {
  const int32_t segments = std::max(segmentCount, 1);
  const int32_t dark =
      wholeSegments(segments, static_cast<double>(getMax()) - static_cast<double>(level));
  int32_t cut = cutAt(dark, segments, onBitmap->getHeight());
  onSource = CViewPoint(0, cut);
  offSource = CViewPoint(0, 0);
  if (!offscreenTarget) cut = addSaturated(cut, size.top);
  offRect.bottom = cut;
  onRect.top = cut;
}

void CVuMeter::cutHorizontal(float level, bool offscreenTarget) {
  const int32_t segments = std::max(segmentCount, 1);
  const int32_t lit = wholeSegments(segments, static_cast<double>(level));
  int32_t cut = cutAt(lit, segments, onBitmap->getWidth());
  offSource = CViewPoint(cut, 0);
  onSource = CViewPoint(0, 0);
  if (!offscreenTarget) cut = addSaturated(cut, size.left);
  offRect.left = cut;
  onRect.right = cut;
}

void CVuMeter::drawPart(CBitmap* bitmap, CDrawContext* target, const CViewRect& rect,
                        const CViewPoint& source) {
  if (transparent) {
    bitmap->drawTransparent(target, rect, source);
  } else {
    bitmap->draw(target, rect, source);
  }
}

void CVuMeter::draw(CDrawContext* context) {
  if (onBitmap == nullptr || context == nullptr) return;
  clampValue();
  const float level = nextShownLevel();

  CDrawContext* target = context;
  const bool offscreenTarget = useOffscreen;
  if (offscreenTarget) {
    if (offscreen == nullptr) makeOffscreen();
    target = offscreen;
  }
  resetRects(offscreenTarget);
  if ((style & kHorizontal) != 0) {
    cutHorizontal(level, offscreenTarget);
  } else {
    cutVertical(level, offscreenTarget);
  }
  if (offBitmap != nullptr) drawPart(offBitmap, target, offRect, offSource);
  drawPart(onBitmap, target, onRect, onSource);
  // Only a buffer drawn just now is copied out: one left from an earlier off-screen mode would
  // cover the direct drawing with stale pixels.
  if (offscreenTarget) offscreen->copyTo(context, size, CViewPoint(0, 0));
  setDirty(false);
}

}  // namespace gui
