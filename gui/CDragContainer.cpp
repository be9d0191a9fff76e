#include "gui/CDragContainer.h"

#include "gui/platform/PlatformDropTarget.h"

namespace gui {

CDragContainer::CDragContainer(platform::DragData* data) : data(data) {
  if (data == nullptr) return;
  if (data->hasText()) {
    itemCount = 1;
    return;
  }
  const int32_t files = data->getFileCount();
  if (files > 0) itemCount = files;
}

CDragContainer::~CDragContainer() { delete[] itemBuffer; }

}  // namespace gui
