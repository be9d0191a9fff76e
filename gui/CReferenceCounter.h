#pragma once

#include <cstdint>

namespace gui {

// Base of every shared toolkit object (views, drawing contexts, bitmaps, drag containers).
// The creator holds the first reference; every further holder calls addReference when it takes
// the object and dropReference when it lets go; the last dropReference destroys the object.
// Counts are plain integers: these objects live on the editor's thread only.
// An object made on the stack (a temporary drawing context) is destroyed by its scope and must
// not lose its creator's reference.
class CReferenceCounter {
 public:
  CReferenceCounter() = default;
  CReferenceCounter(const CReferenceCounter&) = delete;
  CReferenceCounter& operator=(const CReferenceCounter&) = delete;

  virtual ~CReferenceCounter() = default;
  // Decrements the count and destroys the object when it reaches 0.
  virtual void dropReference();
  virtual void addReference();

  int32_t getReferenceCount() const { return referenceCount; }

 private:
  int32_t referenceCount = 1;
};

}  // namespace gui
