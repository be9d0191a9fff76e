#pragma once

// One reference on a reference-counted toolkit object (a view, a frame, a bitmap), dropped when the
// holder goes out of scope unless it was handed on with release(). Building the editor window
// allocates at every step; whatever was made before a failing step is let go again this way.
template <typename Object>
class HeldReference {
 public:
  // Takes over the reference the creator holds.
  explicit HeldReference(Object* object) : object(object) {}
  ~HeldReference() {
    if (object) object->dropReference();
  }
  HeldReference(const HeldReference&) = delete;
  HeldReference& operator=(const HeldReference&) = delete;

  Object* get() const { return object; }
  Object* operator->() const { return object; }
  // The reference now belongs to the caller.
  Object* release() {
    Object* released = object;
    object = nullptr;
    return released;
  }

 private:
  Object* object;
};
