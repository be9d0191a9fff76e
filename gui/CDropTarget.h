#pragma once

#include "gui/platform/PlatformDropTarget.h"

namespace gui {

class CDragContainer;
class CDrawContext;
class CFrame;

// What the frame's window registers as its drop target: turns the platform's drag calls into
// onDragEnter / onDragMove / onDragLeave / onDrop on the frame, at the polled cursor position in
// frame coordinates. One drag at a time is in progress per process.
class CDropTarget : public platform::DropTargetHandler {
 public:
  explicit CDropTarget(CFrame* frame);
  ~CDropTarget() override;

  uint32_t dragEnter(platform::DragData* data) override;
  uint32_t dragOver(uint32_t effect) override;
  void dragLeave() override;
  // The drop is reported back as "none": no view here takes drops, and a move report could make
  // a drag source delete what was dragged.
  uint32_t drop(platform::DragData* data, uint32_t effect) override;

  // The drag currently over a frame window, or null.
  static CDragContainer* getDragInProgress();

 private:
  void endDrag();

  CFrame* frame = nullptr;
};

}  // namespace gui
