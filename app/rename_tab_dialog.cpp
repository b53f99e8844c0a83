// The Rename page dialog (see rename_tab_dialog.h).
#include "app/rename_tab_dialog.h"

#include "app/logic/app_text.h"
#include "app/resources/resource.h"
#include "toolkit/application.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

bool CRenameTabDialog::Run(HWND owner) {
  return DoModal(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_RENAME_TAB), owner) == IDOK;
}

INT_PTR CRenameTabDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      SetText(ui::LoadUiString(app::IDS_APP_RENAME_CAPTION));
      ui::SetControlTexts(Handle(), {{IDC_RENAME_LABEL, app::IDS_APP_RENAME_LABEL},
                                     {IDOK, ui::IDS_OK},
                                     {IDCANCEL, ui::IDS_ACTION_CANCEL}});
      SetDlgItemTextW(Handle(), IDC_RENAME_EDIT, name_.c_str());
      SendDlgItemMessageW(Handle(), IDC_RENAME_EDIT, EM_SETSEL, 0, -1);
      EnableWindow(GetDlgItem(IDOK), !name_.empty());
      return TRUE;  // the focus goes to the first tab stop, the name
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_RENAME_EDIT:
          if (HIWORD(wparam) == EN_CHANGE) {
            EnableWindow(GetDlgItem(IDOK),
                         GetWindowTextLengthW(GetDlgItem(IDC_RENAME_EDIT)) > 0);
          }
          return TRUE;
        case IDOK:
          name_ = ui::WindowText(GetDlgItem(IDC_RENAME_EDIT));
          if (name_.empty()) return TRUE;
          EndDialog(Handle(), IDOK);
          return TRUE;
        case IDCANCEL: EndDialog(Handle(), IDCANCEL); return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}
