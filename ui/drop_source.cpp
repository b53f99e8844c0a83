// CDropSource (see drop_source.h). Tested by tests/ui/shell_ops_gui_test.cpp.
#include "ui/drop_source.h"

namespace ui {

STDMETHODIMP CDropSource::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
    *object = static_cast<IDropSource*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDropSource::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) CDropSource::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP CDropSource::QueryContinueDrag(BOOL escape_pressed, DWORD key_state) {
  if (escape_pressed) return DRAGDROP_S_CANCEL;
  if (!(key_state & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

STDMETHODIMP CDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

}  // namespace ui
