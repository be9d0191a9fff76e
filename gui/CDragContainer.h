#pragma once

#include <cstdint>

#include "gui/CReferenceCounter.h"

namespace gui {
namespace platform {
class DragData;
}

// The data of a drag in progress as the views see it: how many items it offers (1 for text, the
// number of files for a file list, 0 otherwise). Handing out the items is not needed here.
class CDragContainer : public CReferenceCounter {
 public:
  // data may be null (0 items); it is not owned and must outlive the container.
  explicit CDragContainer(platform::DragData* data);
  ~CDragContainer() override;

  int32_t getCount() const { return itemCount; }
  platform::DragData* getData() const { return data; }

 private:
  platform::DragData* data = nullptr;
  int32_t itemCount = 0;
  [[maybe_unused]] int32_t enumerationIndex = 0;  // item enumeration is not used here
  char* itemBuffer = nullptr;
};

}  // namespace gui
