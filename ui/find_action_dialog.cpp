// CFindActionDialog (see find_action_dialog.h).
// Tested by tests/ui/ui_gui_test.cpp.
#include "ui/find_action_dialog.h"

#include "toolkit/application.h"
#include "ui/logic/control_ids.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

namespace ui {

CFindActionDialog::~CFindActionDialog() { Destroy(); }

bool CFindActionDialog::Create(HWND parent) {
  if (!CreateModeless(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_FIND_ACTION), parent)) {
    return false;
  }
  SetControlTexts(Handle(), {{IDC_FIND, IDS_ACTION_FIND},
                             {IDC_REPLACE, IDS_ACTION_REPLACE},
                             {IDC_CLEAR_CRITERIA, IDS_CLEAR_CRITERIA},
                             {IDC_CLEAR_RESULTS, IDS_CLEAR_RESULTS}});
  SetActionMode(kActionFind);
  return true;
}

HWND CFindActionDialog::ShownButton() const {
  return GetDlgItem(mode_ == kActionReplace || mode_ == kActionCancelReplace ? IDC_REPLACE
                                                                             : IDC_FIND);
}

void CFindActionDialog::SetActionMode(int mode) {
  mode_ = mode;
  if (mode == kActionFind || mode == kActionReplace) {
    const bool replace = mode == kActionReplace;
    SetControlTexts(Handle(), {{IDC_FIND, IDS_ACTION_FIND}, {IDC_REPLACE, IDS_ACTION_REPLACE}});
    ShowWindow(GetDlgItem(IDC_FIND), replace ? SW_HIDE : SW_SHOWNA);
    ShowWindow(GetDlgItem(IDC_REPLACE), replace ? SW_SHOWNA : SW_HIDE);
    return;
  }
  SetWindowTextW(ShownButton(), LoadUiString(IDS_ACTION_CANCEL).c_str());
}

void CFindActionDialog::EnableAction(bool enable) {
  EnableWindow(ShownButton(), enable ? TRUE : FALSE);
}

INT_PTR CFindActionDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG: return FALSE;
    case WM_COMMAND:
      // The page decides what the buttons do.
      if (HIWORD(wparam) == BN_CLICKED) {
        SendMessageW(GetParent(Handle()), WM_COMMAND, wparam, lparam);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace ui
