// CDataObject and CEnumFormatEtc (see data_object.h).
// Tested by tests/ui/shell_ops_gui_test.cpp.
#include "ui/data_object.h"

#include <shlobj.h>

#include <cstring>

namespace ui {

UINT PerformedDropEffectFormat() {
  static const UINT format = RegisterClipboardFormatW(CFSTR_PERFORMEDDROPEFFECT);
  return format;
}

CDataObject::CDataObject(const FORMATETC& format, const std::vector<std::uint8_t>& data,
                         IPasteListener* listener, std::uint32_t object_number)
    : format_(format), size_(data.size()), listener_(listener), number_(object_number) {
  format_.ptd = nullptr;  // no target device is kept
  data_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, size_);
  if (void* bytes = data_ ? GlobalLock(data_) : nullptr) {
    std::memcpy(bytes, data.data(), size_);
    GlobalUnlock(data_);
  }
}

CDataObject::~CDataObject() {
  if (data_) GlobalFree(data_);
}

STDMETHODIMP CDataObject::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDataObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) CDataObject::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

bool CDataObject::Matches(const FORMATETC& format) const {
  return format.cfFormat == format_.cfFormat && format.dwAspect == format_.dwAspect &&
         (format.tymed & format_.tymed) != 0;
}

STDMETHODIMP CDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  if (!Matches(*format) || !data_) return DV_E_FORMATETC;
  // A copy the caller frees (ReleaseStgMedium, no release object).
  HGLOBAL copy = GlobalAlloc(GMEM_FIXED, size_);
  if (!copy) return E_OUTOFMEMORY;
  std::memcpy(copy, GlobalLock(data_), size_);
  GlobalUnlock(data_);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = copy;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

STDMETHODIMP CDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

STDMETHODIMP CDataObject::QueryGetData(FORMATETC* format) {
  return format && format->cfFormat == format_.cfFormat ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP CDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
  if (!format || !medium || format->cfFormat != PerformedDropEffectFormat()) return E_NOTIMPL;
  DWORD effect = DROPEFFECT_NONE;
  if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal &&
      GlobalSize(medium->hGlobal) >= sizeof(DWORD)) {
    if (const void* value = GlobalLock(medium->hGlobal)) {
      std::memcpy(&effect, value, sizeof effect);
      GlobalUnlock(medium->hGlobal);
    }
  }
  // Accepting the value makes the medium ours when the caller hands it over.
  if (release) ReleaseStgMedium(medium);
  if (listener_) listener_->OnPastePerformed(number_, effect);
  return S_OK;
}

STDMETHODIMP CDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (!formats) return E_POINTER;
  *formats = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  *formats = new CEnumFormatEtc({format_});
  return S_OK;
}

STDMETHODIMP CDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
  return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP CDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
STDMETHODIMP CDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

// ---- CEnumFormatEtc ----

STDMETHODIMP CEnumFormatEtc::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumFORMATETC)) {
    *object = static_cast<IEnumFORMATETC*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CEnumFormatEtc::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) CEnumFormatEtc::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP CEnumFormatEtc::Next(ULONG count, FORMATETC* out, ULONG* fetched) {
  if (!out || (count > 1 && !fetched)) return E_INVALIDARG;
  ULONG given = 0;
  while (given < count && next_ < formats_.size()) out[given++] = formats_[next_++];
  if (fetched) *fetched = given;
  return given == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumFormatEtc::Skip(ULONG count) {
  const ULONG left = static_cast<ULONG>(formats_.size()) - next_;
  next_ += count < left ? count : left;
  return count <= left ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumFormatEtc::Reset() {
  next_ = 0;
  return S_OK;
}

STDMETHODIMP CEnumFormatEtc::Clone(IEnumFORMATETC** copy) {
  if (!copy) return E_POINTER;
  *copy = new CEnumFormatEtc(formats_, next_);
  return S_OK;
}

}  // namespace ui
