#include "gui/CViewRect.h"

#include <algorithm>
#include <limits>

namespace gui {

namespace {

int32_t saturatedDifference(int32_t high, int32_t low) {
  const int64_t difference = int64_t(high) - int64_t(low);
  return int32_t(std::clamp<int64_t>(difference, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t CViewRect::getWidth() const { return saturatedDifference(right, left); }

int32_t CViewRect::getHeight() const { return saturatedDifference(bottom, top); }

bool CViewRect::isEmpty() const { return right <= left || bottom <= top; }

CViewRect CViewRect::intersect(const CViewRect& other) const {
  CViewRect result(std::max(left, other.left), std::max(top, other.top),
                   std::min(right, other.right), std::min(bottom, other.bottom));
  if (result.right < result.left) result.right = result.left;
  if (result.bottom < result.top) result.bottom = result.top;
  return result;
}

bool CViewRect::pointInside(const CViewPoint& point) const {
  return left <= point.x && point.x <= right && top <= point.y && point.y <= bottom;
}

CViewRect& CViewRect::offset(int32_t dx, int32_t dy) {
  left = addSaturated(left, dx);
  right = addSaturated(right, dx);
  top = addSaturated(top, dy);
  bottom = addSaturated(bottom, dy);
  return *this;
}

CViewRect CViewRect::offsetBy(int32_t dx, int32_t dy) const {
  CViewRect moved(*this);
  return moved.offset(dx, dy);
}

CViewRect CViewRect::normalized() const {
  return CViewRect(std::min(left, right), std::min(top, bottom), std::max(left, right),
                   std::max(top, bottom));
}

}  // namespace gui
