#pragma once

#include <ole2.h>

#include "gui/platform/PlatformDropTarget.h"
#include "gui/platform/win32/Win32Handles.h"

namespace gui {
namespace platform {
namespace win32 {

// The dragged data as the toolkit reads it: an OLE data object asked for CF_TEXT and CF_HDROP.
// Holds a reference to the data object while a drag lasts.
class DataObjectReader final : public DragData {
 public:
  DataObjectReader() = default;
  ~DataObjectReader() override;
  DataObjectReader(const DataObjectReader&) = delete;
  DataObjectReader& operator=(const DataObjectReader&) = delete;

  void hold(IDataObject* data);
  void release();
  bool holds() const { return object != nullptr; }

  bool hasText() override;
  int32_t getFileCount() override;

 private:
  IDataObject* object = nullptr;
};

// The COM object that OLE calls while a drag passes over a window (IDropTarget). OLE holds
// references of its own: registration takes one, a drag in progress may take more, and the object
// lives until the last is released, which can be after RevokeDragDrop. The toolkit's handler is
// detached at revocation, so a late call reaches nothing.
class Win32DropTarget final : public IDropTarget {
 public:
  explicit Win32DropTarget(DropTargetHandler* handler);
  Win32DropTarget(const Win32DropTarget&) = delete;
  Win32DropTarget& operator=(const Win32DropTarget&) = delete;

  void detach();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL where,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL where, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL where,
                                 DWORD* effect) override;

 private:
  virtual ~Win32DropTarget();

  LONG references = 1;
  DropTargetHandler* handler;
  DataObjectReader dragged;
};

}  // namespace win32
}  // namespace platform
}  // namespace gui
