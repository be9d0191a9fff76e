#include "gui/CViewPoint.h"

#include <limits>

namespace gui {

int32_t addSaturated(int32_t a, int32_t b) {
  const int64_t sum = int64_t(a) + int64_t(b);
  if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return int32_t(sum);
}

CViewPoint& CViewPoint::offset(int32_t dx, int32_t dy) {
  x = addSaturated(x, dx);
  y = addSaturated(y, dy);
  return *this;
}

CViewPoint CViewPoint::offsetBy(int32_t dx, int32_t dy) const {
  CViewPoint moved(*this);
  return moved.offset(dx, dy);
}

}  // namespace gui
