#pragma once

#include <cstdint>

namespace gui {
namespace platform {

// The data of a drag passing over a window (an OLE IDataObject, as far as it is read here).
class DragData {
 public:
  virtual ~DragData() = default;
  // IDataObject::GetData(CF_TEXT, DVASPECT_CONTENT, TYMED_HGLOBAL) succeeded.
  virtual bool hasText() = 0;
  // IDataObject::GetData(CF_HDROP, ...) then DragQueryFileA(files, 0xFFFFFFFF): the number of
  // files, or -1 when the data offers no file list.
  virtual int32_t getFileCount() = 0;
};

// Drag effects (DROPEFFECT_NONE, DROPEFFECT_MOVE).
enum : uint32_t { kDropEffectNone = 0, kDropEffectMove = 2 };

// What a window registered as a drop target calls while a drag passes over it (the four
// IDropTarget methods; the cursor position the system passes is not used, receivers poll it).
class DropTargetHandler {
 public:
  virtual ~DropTargetHandler() = default;
  // DragEnter: answers the effect to show.
  virtual uint32_t dragEnter(DragData* data) = 0;
  // DragOver: answers the effect to show, or `effect` unchanged.
  virtual uint32_t dragOver(uint32_t effect) = 0;
  // DragLeave.
  virtual void dragLeave() = 0;
  // Drop: answers the effect to report back to the drag source.
  virtual uint32_t drop(DragData* data, uint32_t effect) = 0;
};

}  // namespace platform
}  // namespace gui
