// CDropSource: the drag source of a result list's files; the drag ends with
// the left button's release and is canceled by Escape.
// Tested by tests/ui/shell_ops_gui_test.cpp.
#pragma once
// clang-format off
#include <windows.h>
#include <ole2.h>
// clang-format on

namespace ui {

class CDropSource final : public IDropSource {
 public:
  CDropSource() = default;

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP QueryContinueDrag(BOOL escape_pressed, DWORD key_state) override;
  STDMETHODIMP GiveFeedback(DWORD effect) override;

 private:
  ~CDropSource() = default;

  LONG refs_ = 1;
};

}  // namespace ui
