#pragma once

// Recycles backend objects so that steady drawing (pens, brushes, fonts and temporary memory
// devices come and go with every attribute change and every bitmap draw) allocates nothing once
// the first pass has run. One list per thread: the toolkit runs on its editor thread, and a
// thread's leftovers are freed when it ends.

#include <utility>

namespace gui {
namespace raster {

// T must have a member `T* nextFree`.
template <typename T>
class FreeList {
 public:
  FreeList() = default;
  FreeList(const FreeList&) = delete;
  FreeList& operator=(const FreeList&) = delete;
  ~FreeList() {
    while (head != nullptr) {
      T* next = head->nextFree;
      delete head;
      head = next;
    }
  }

  // A recycled object reset to T(args...), or a new one. The first request puts a batch aside,
  // so that the usual number of objects alive at once never needs the allocator again.
  template <typename... Arguments>
  T* acquire(Arguments&&... arguments) {
    if (head == nullptr && !primed) {
      primed = true;
      for (int i = 0; i < kBatch; ++i) release(new T());
    }
    if (head == nullptr) return new T(std::forward<Arguments>(arguments)...);
    T* object = head;
    head = object->nextFree;
    *object = T(std::forward<Arguments>(arguments)...);
    return object;
  }

  void release(T* object) {
    object->nextFree = head;
    head = object;
  }

 private:
  static constexpr int kBatch = 16;
  T* head = nullptr;
  bool primed = false;
};

template <typename T>
FreeList<T>& freeList() {
  static thread_local FreeList<T> list;
  return list;
}

}  // namespace raster
}  // namespace gui
