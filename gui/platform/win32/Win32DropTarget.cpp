// Drag and drop on Win32:
// - initializeOle / uninitializeOle (OleInitialize / OleUninitialize);
// - registerDropTarget / revokeDropTarget (RegisterDragDrop / RevokeDragDrop) with a
//   reference-counted IDropTarget that hands DragEnter, DragOver, DragLeave and Drop to the
//   toolkit's handler;
// - DragData over an IDataObject: GetData with CF_TEXT and CF_HDROP (DragQueryFileA for the
//   number of files), each medium released with ReleaseStgMedium.

#include "gui/platform/win32/Win32DropTarget.h"

#include <shellapi.h>

#include <vector>

#include "gui/platform/Platform.h"

namespace gui {
namespace platform {

namespace win32 {

namespace {

FORMATETC formatOf(CLIPFORMAT format) {
  FORMATETC request{};
  request.cfFormat = format;
  request.ptd = nullptr;
  request.dwAspect = DVASPECT_CONTENT;
  request.lindex = -1;
  request.tymed = TYMED_HGLOBAL;
  return request;
}

// The drop targets this layer registered, by window, each with the reference it keeps until the
// window is revoked.
struct Registration {
  HWND window;
  Win32DropTarget* target;
};

std::vector<Registration>& registrations() {
  static std::vector<Registration> list;
  return list;
}

}  // namespace

// --- DataObjectReader ---------------------------------------------------------------------------

DataObjectReader::~DataObjectReader() { release(); }

void DataObjectReader::hold(IDataObject* data) {
  if (data != nullptr) data->AddRef();
  release();
  object = data;
}

void DataObjectReader::release() {
  if (object != nullptr) object->Release();
  object = nullptr;
}

bool DataObjectReader::hasText() {
  if (object == nullptr) return false;
  FORMATETC request = formatOf(CF_TEXT);
  STGMEDIUM medium{};
  if (FAILED(object->GetData(&request, &medium))) return false;
  ReleaseStgMedium(&medium);
  return true;
}

int32_t DataObjectReader::getFileCount() {
  if (object == nullptr) return -1;
  FORMATETC request = formatOf(CF_HDROP);
  STGMEDIUM medium{};
  if (FAILED(object->GetData(&request, &medium))) return -1;
  const UINT count = DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0);
  ReleaseStgMedium(&medium);
  return int32_t(count);
}

// --- Win32DropTarget ----------------------------------------------------------------------------

Win32DropTarget::Win32DropTarget(DropTargetHandler* handler) : handler(handler) {}

Win32DropTarget::~Win32DropTarget() = default;

void Win32DropTarget::detach() {
  handler = nullptr;
  dragged.release();
}

HRESULT STDMETHODCALLTYPE Win32DropTarget::QueryInterface(REFIID id, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE Win32DropTarget::AddRef() {
  return ULONG(InterlockedIncrement(&references));
}

ULONG STDMETHODCALLTYPE Win32DropTarget::Release() {
  const LONG remaining = InterlockedDecrement(&references);
  if (remaining <= 0) {
    delete this;
    return 0;
  }
  return ULONG(remaining);
}

HRESULT STDMETHODCALLTYPE Win32DropTarget::DragEnter(IDataObject* data, DWORD, POINTL,
                                                     DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  return guarded<HRESULT>(E_UNEXPECTED, [&] {
    if (handler == nullptr || data == nullptr) {
      *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    dragged.hold(data);
    *effect = handler->dragEnter(&dragged);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE Win32DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  return guarded<HRESULT>(E_UNEXPECTED, [&] {
    *effect = handler != nullptr ? handler->dragOver(*effect) : DROPEFFECT_NONE;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE Win32DropTarget::DragLeave() {
  return guarded<HRESULT>(E_UNEXPECTED, [&] {
    if (handler != nullptr) handler->dragLeave();
    dragged.release();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE Win32DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  return guarded<HRESULT>(E_UNEXPECTED, [&] {
    if (handler != nullptr) {
      *effect = handler->drop(dragged.holds() ? &dragged : nullptr, *effect);
    } else {
      *effect = DROPEFFECT_NONE;
    }
    (void)data;
    dragged.release();
    return S_OK;
  });
}

}  // namespace win32

bool initializeOle() { return SUCCEEDED(OleInitialize(nullptr)); }

void uninitializeOle() { OleUninitialize(); }

bool registerDropTarget(void* window, DropTargetHandler* handler) {
  HWND handle = win32::toWindow(window);
  if (handle == nullptr || handler == nullptr || !IsWindow(handle)) return false;
  revokeDropTarget(window);
  auto* target = new win32::Win32DropTarget(handler);
  if (FAILED(RegisterDragDrop(handle, target))) {
    target->detach();
    target->Release();
    return false;
  }
  win32::registrations().push_back({handle, target});
  return true;
}

void revokeDropTarget(void* window) {
  HWND handle = win32::toWindow(window);
  auto& list = win32::registrations();
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->window != handle) continue;
    win32::Win32DropTarget* target = it->target;
    list.erase(it);
    target->detach();
    RevokeDragDrop(handle);
    // OLE may still hold the object (a drag in progress); it goes with the last reference.
    target->Release();
    return;
  }
}

}  // namespace platform
}  // namespace gui
