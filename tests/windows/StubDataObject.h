#pragma once

// An OLE data object for the tests, living on the stack: GetData hands out, in an HGLOBAL medium,
// the bytes that contents() gives for a format, and every format asked for is noted. Nothing else
// is implemented.

#include <ole2.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>

class StubDataObject : public IDataObject {
 public:
  virtual ~StubDataObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
      *object = static_cast<IDataObject*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // The object lives as long as its test: counting would change nothing.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    requestedFormats.insert(format->cfFormat);
    const std::optional<std::string> bytes = contents(format->cfFormat);
    if (!bytes || (format->tymed & TYMED_HGLOBAL) == 0) return DV_E_FORMATETC;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes->size());
    std::memcpy(GlobalLock(memory), bytes->data(), bytes->size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format != nullptr && contents(format->cfFormat) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out != nullptr) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

  std::set<CLIPFORMAT> requestedFormats;

 protected:
  // The medium's bytes for `format`, or nothing when the object does not offer it.
  virtual std::optional<std::string> contents(CLIPFORMAT format) = 0;
};

// Plain text, as CF_TEXT.
class TextDataObject final : public StubDataObject {
 public:
  explicit TextDataObject(std::string text) : text(std::move(text)) {}

 protected:
  std::optional<std::string> contents(CLIPFORMAT format) override {
    if (format != CF_TEXT) return std::nullopt;
    return text + '\0';
  }

 private:
  std::string text;
};
