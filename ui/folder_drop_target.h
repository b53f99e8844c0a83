// CFolderDropTarget: takes folders and files dropped from the shell (or from
// a result list) and reports the path text they stand for: a folder itself,
// a file its folder, several joined with ";". Nothing is copied or moved;
// the cursor shows a link where the source allows it.
// CFolderDropRegistration registers one on a window for that window's life.
// Tested by tests/ui/shell_ops_gui_test.cpp; the path text by
// tests/ui/file_drop_test.cpp.
#pragma once
// clang-format off
#include <windows.h>
#include <ole2.h>
// clang-format on

#include <functional>
#include <string>

namespace ui {

class CFolderDropTarget final : public IDropTarget {
 public:
  using Callback = std::function<void(const std::u16string& path_text)>;
  explicit CFolderDropTarget(Callback on_drop) : on_drop_(std::move(on_drop)) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD keys, POINTL at, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

  // The path text of the files a data object carries (CF_HDROP); empty
  // when it carries none.
  static std::u16string PathTextOf(IDataObject* data);

 private:
  ~CFolderDropTarget() = default;
  // The effect shown for a source that allows `allowed`.
  DWORD Effect(DWORD allowed) const;

  LONG refs_ = 1;
  Callback on_drop_;
  bool accepts_ = false;  // the data under the cursor carries files
};

// Registers a CFolderDropTarget on `window` until Revoke or destruction
// (which must come before the window is destroyed). OLE must be initialised
// on the thread.
class CFolderDropRegistration {
 public:
  CFolderDropRegistration() = default;
  CFolderDropRegistration(const CFolderDropRegistration&) = delete;
  CFolderDropRegistration& operator=(const CFolderDropRegistration&) = delete;
  ~CFolderDropRegistration() { Revoke(); }

  [[nodiscard]] bool Register(HWND window, CFolderDropTarget::Callback on_drop);
  void Revoke();

 private:
  HWND window_ = nullptr;
};

}  // namespace ui
