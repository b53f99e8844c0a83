// The two modal list dialogs of the criteria fields: CSelectFoldersDialog
// (resource 218, folders to include and exclude, with folder browsers) and
// CSelectFileNamesDialog (219, file-name masks). Both show one item per line
// and join the lines back into the field on OK.
// Tested by tests/ui/ui_gui_test.cpp; the joins by tests/ui/ui_logic_test.cpp.
#pragma once
#include <string>

#include "toolkit/window.h"

namespace ui {

class CListPairDialog : public CWindow {
 public:
  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

  // Shows the dialog owned by `owner`: 1 after OK (Field() is the joined
  // field), 2 after Cancel.
  INT_PTR Run(HWND owner);
  const std::u16string& Field() const { return field_; }

 protected:
  enum class Kind { kFolders, kFileNames };
  CListPairDialog(Kind kind, std::u16string field) : kind_(kind), field_(std::move(field)) {}

 private:
  void OnInit();
  void OnOk();
  void Browse(int edit_id);
  void Paint();

  Kind kind_;
  std::u16string field_;
};

class CSelectFoldersDialog : public CListPairDialog {
 public:
  explicit CSelectFoldersDialog(std::u16string field)
      : CListPairDialog(Kind::kFolders, std::move(field)) {}
};

class CSelectFileNamesDialog : public CListPairDialog {
 public:
  explicit CSelectFileNamesDialog(std::u16string field)
      : CListPairDialog(Kind::kFileNames, std::move(field)) {}
};

}  // namespace ui
