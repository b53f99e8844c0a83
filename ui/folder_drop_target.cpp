// CFolderDropTarget and CFolderDropRegistration (see folder_drop_target.h).
// Tested by tests/ui/shell_ops_gui_test.cpp.
#include "ui/folder_drop_target.h"

#include <shellapi.h>

#include <vector>

#include "ui/logic/file_drop.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

FORMATETC DropFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

STDMETHODIMP CFolderDropTarget::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CFolderDropTarget::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) CFolderDropTarget::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

DWORD CFolderDropTarget::Effect(DWORD allowed) const {
  if (!accepts_) return DROPEFFECT_NONE;
  // Only the paths are taken: a link says so; a source that allows no link
  // (a result list allows a copy only) sees a copy, never a move.
  if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  return DROPEFFECT_NONE;
}

STDMETHODIMP CFolderDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  FORMATETC format = DropFormat();
  accepts_ = data && data->QueryGetData(&format) == S_OK;
  *effect = Effect(*effect);
  return S_OK;
}

STDMETHODIMP CFolderDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = Effect(*effect);
  return S_OK;
}

STDMETHODIMP CFolderDropTarget::DragLeave() {
  accepts_ = false;
  return S_OK;
}

STDMETHODIMP CFolderDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  const DWORD allowed = *effect;
  const std::u16string text = PathTextOf(data);
  accepts_ = !text.empty();
  *effect = Effect(allowed);
  accepts_ = false;
  if (!text.empty() && on_drop_) on_drop_(text);
  return S_OK;
}

std::u16string CFolderDropTarget::PathTextOf(IDataObject* data) {
  FORMATETC format = DropFormat();
  STGMEDIUM medium{};
  if (!data || FAILED(data->GetData(&format, &medium))) return {};
  std::vector<DroppedItem> items;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    if (auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
      const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        items.push_back({Utf16(path), folder});
      }
      GlobalUnlock(medium.hGlobal);
    }
  }
  ReleaseStgMedium(&medium);
  return DroppedPathText(items);
}

bool CFolderDropRegistration::Register(HWND window, CFolderDropTarget::Callback on_drop) {
  Revoke();
  auto* target = new CFolderDropTarget(std::move(on_drop));
  const bool registered = SUCCEEDED(RegisterDragDrop(window, target));
  target->Release();  // the registration holds it
  if (registered) window_ = window;
  return registered;
}

void CFolderDropRegistration::Revoke() {
  if (window_) (void)RevokeDragDrop(window_);
  window_ = nullptr;
}

}  // namespace ui
