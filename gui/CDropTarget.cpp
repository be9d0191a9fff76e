#include "gui/CDropTarget.h"

#include "gui/CDragContainer.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace gui {

namespace {

// The drag currently over a frame window; at most one at a time in the process.
CDragContainer* dragInProgress = nullptr;

// A context of the frame and the polled cursor in frame coordinates, for one drag call.
struct DragPosition {
  explicit DragPosition(CFrame* frame) : context(frame->createDrawContext()) {
    frame->getMouseLocation(context, where);
  }
  ~DragPosition() { context->dropReference(); }
  DragPosition(const DragPosition&) = delete;
  DragPosition& operator=(const DragPosition&) = delete;
  CDrawContext* context;
  CViewPoint where;
};

}  // namespace

CDropTarget::CDropTarget(CFrame* frame) : frame(frame) {}

CDropTarget::~CDropTarget() {
  // A drag still over the window when the target goes is over as well.
  if (dragInProgress != nullptr) endDrag();
}

CDragContainer* CDropTarget::getDragInProgress() { return dragInProgress; }

void CDropTarget::endDrag() {
  dragInProgress->dropReference();
  dragInProgress = nullptr;
}

uint32_t CDropTarget::dragEnter(platform::DragData* data) {
  if (data == nullptr || frame == nullptr) return platform::kDropEffectNone;
  if (dragInProgress != nullptr) endDrag();  // a drag that never left: do not leak it
  dragInProgress = new CDragContainer(data);
  DragPosition position(frame);
  frame->onDragEnter(position.context, dragInProgress, position.where);
  return platform::kDropEffectMove;
}

uint32_t CDropTarget::dragOver(uint32_t effect) {
  if (dragInProgress == nullptr) return effect;
  if (frame == nullptr) return effect;
  DragPosition position(frame);
  frame->onDragMove(position.context, dragInProgress, position.where);
  return platform::kDropEffectMove;
}

void CDropTarget::dragLeave() {
  if (dragInProgress == nullptr) return;
  if (frame != nullptr) {
    DragPosition position(frame);
    frame->onDragLeave(position.context, dragInProgress, position.where);
  }
  endDrag();
}

uint32_t CDropTarget::drop(platform::DragData*, uint32_t effect) {
  if (dragInProgress == nullptr) return effect;
  if (frame != nullptr) {
    DragPosition position(frame);
    frame->onDrop(position.context, dragInProgress, position.where);
  }
  endDrag();
  return platform::kDropEffectNone;
}

}  // namespace gui
