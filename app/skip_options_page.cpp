// CSkipOptionsPage (see skip_options_page.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/skip_options_page.h"

#include "app/add_extension_dialog.h"
#include "ui/ui_win.h"

namespace app {

void CSkipOptionsPage::Fill() {
  CheckDlgButton(Handle(), IDC_OPT_IGNORE_FILES,
                 settings_.ignore_files ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(Handle(), IDC_OPT_NULL_AS_BINARY,
                 settings_.treat_null_as_binary ? BST_CHECKED : BST_UNCHECKED);
  copy_.Fill(settings_.skip_extensions);
  ShowRows(-1);
}

void CSkipOptionsPage::Apply() {
  ApplySkip({IsDlgButtonChecked(Handle(), IDC_OPT_IGNORE_FILES) == BST_CHECKED,
             IsDlgButtonChecked(Handle(), IDC_OPT_NULL_AS_BINARY) == BST_CHECKED},
            copy_, settings_);
}

// The list shows the working copy's rows in its own sorted order (no
// LBS_SORT), so that its positions are the copy's rows.
void CSkipOptionsPage::ShowRows(int selected) {
  HWND list = GetDlgItem(IDC_OPT_LIST);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::u16string& row : copy_.Rows()) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::Wide(row).c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  UpdateEnabled();
}

void CSkipOptionsPage::UpdateEnabled() {
  const bool ignore = IsDlgButtonChecked(Handle(), IDC_OPT_IGNORE_FILES) == BST_CHECKED;
  const bool selected = SendDlgItemMessageW(Handle(), IDC_OPT_LIST, LB_GETCURSEL, 0, 0) >= 0;
  const SkipControls enabled = SkipControlsEnabled(ignore, selected);
  EnableWindow(GetDlgItem(IDC_OPT_LIST), enabled.list);
  EnableWindow(GetDlgItem(IDC_OPT_ADD), enabled.add);
  EnableWindow(GetDlgItem(IDC_OPT_RESET), enabled.reset);
  EnableWindow(GetDlgItem(IDC_OPT_DELETE), enabled.del);
}

void CSkipOptionsPage::Add() {
  CAddExtensionDialog dialog;
  if (!dialog.Run(GetParent(Handle()))) return;
  int row = -1;
  if (!copy_.Add(dialog.Extension(), row)) {
    ShowDuplicateWarning(GetParent(Handle()));
    return;
  }
  ShowRows(row);
}

void CSkipOptionsPage::Delete() {
  const int row = static_cast<int>(SendDlgItemMessageW(Handle(), IDC_OPT_LIST, LB_GETCURSEL, 0, 0));
  if (row < 0) return;
  ShowRows(copy_.Delete(row));
}

void CSkipOptionsPage::Reset() {
  if (!AskYesNo(GetParent(Handle()), IDS_OPT_ASK_RESET_FORMATS, IDS_OPT_CONFIRMATION)) return;
  // At once: Cancel keeps the defaults.
  settings_.ResetSkipDefaults();
  copy_.Fill(settings_.skip_extensions);
  ShowRows(-1);
}

INT_PTR CSkipOptionsPage::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      SetTextsWithAccessKeys(Handle(), {{IDC_OPT_IGNORE_FILES, IDS_OPT_IGNORE_FILES},
                                        {IDC_OPT_ADD, IDS_OPT_ADD},
                                        {IDC_OPT_DELETE, IDS_OPT_DELETE},
                                        {IDC_OPT_RESET, IDS_OPT_RESET},
                                        {IDC_OPT_NULL_AS_BINARY, IDS_OPT_NULL_AS_BINARY}});
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_OPT_LIST:
          if (HIWORD(wparam) == LBN_SELCHANGE) UpdateEnabled();
          return TRUE;
        case IDC_OPT_IGNORE_FILES: UpdateEnabled(); return TRUE;
        case IDC_OPT_ADD: Add(); return TRUE;
        case IDC_OPT_DELETE: Delete(); return TRUE;
        case IDC_OPT_RESET: Reset(); return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

}  // namespace app
