#pragma once

#include "gui/CReferenceCounter.h"

namespace gui {

// Keeps a reference-counted toolkit object alive for a scope in which the toolkit works inside
// it. Whatever the toolkit calls out to (the host, through the editor's begin and end of edits,
// automation and idle time) may close the editor and drop the frame; a frame or view held this
// way is destroyed only once the press, drag, key or typed entry running in it has returned.
class ReferenceGuard {
 public:
  explicit ReferenceGuard(CReferenceCounter* object) : object(object) {
    if (object != nullptr) object->addReference();
  }
  ~ReferenceGuard() {
    if (object != nullptr) object->dropReference();
  }
  ReferenceGuard(const ReferenceGuard&) = delete;
  ReferenceGuard& operator=(const ReferenceGuard&) = delete;

 private:
  CReferenceCounter* object;
};

}  // namespace gui
