// CRenameTabDialog: "Rename page", prefilled with the tab's name; OK only
// while the name is not empty.
#pragma once
#include <string>

#include "toolkit/window.h"

class CRenameTabDialog : public CWindow {
 public:
  explicit CRenameTabDialog(std::wstring name) : name_(std::move(name)) {}
  // True with the entered name when the user chose OK.
  [[nodiscard]] bool Run(HWND owner);
  const std::wstring& Name() const { return name_; }

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  std::wstring name_;
};
