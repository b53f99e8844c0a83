// CFindActionDialog: the action button (Find or Replace, reading "Cancel"
// during a run) and the two Clear buttons, a modeless child dialog (resource
// 202). Its buttons' commands go to the page.
// Tested by tests/ui/ui_gui_test.cpp.
#pragma once
#include "engine/search_params.h"
#include "toolkit/window.h"

namespace ui {

enum ActionMode : int {
  kActionFind = 0,
  kActionReplace = 1,
  kActionCancelFind = 2,
  kActionCancelReplace = 3
};

class CFindActionDialog : public CWindow {
 public:
  ~CFindActionDialog() override;
  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

  [[nodiscard]] bool Create(HWND parent);
  // Find and Replace show their button and caption; the cancel modes only
  // put "Cancel" on the button already shown.
  void SetActionMode(int mode);
  int ActionMode() const { return mode_; }
  // Enables the shown action button.
  void EnableAction(bool enable);
  HWND ShownButton() const;

 private:
  int mode_ = kActionFind;
};

}  // namespace ui
