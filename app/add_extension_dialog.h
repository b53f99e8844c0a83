// CAddExtensionDialog: "Add file extension", one extension for the skip
// list; OK only while the field holds one.
// Tested by tests/app/options_gui_test.cpp.
#pragma once
#include <string>

#include "toolkit/window.h"

namespace app {

class CAddExtensionDialog : public CWindow {
 public:
  // True after OK, with Extension() as typed.
  [[nodiscard]] bool Run(HWND owner);
  const std::u16string& Extension() const { return extension_; }

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  bool Acceptable() const;
  std::u16string extension_;
};

}  // namespace app
