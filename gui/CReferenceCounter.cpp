#include "gui/CReferenceCounter.h"

namespace gui {

void CReferenceCounter::dropReference() {
  if (--referenceCount == 0) delete this;
}

void CReferenceCounter::addReference() { ++referenceCount; }

}  // namespace gui
