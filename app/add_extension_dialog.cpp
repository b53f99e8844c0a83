// CAddExtensionDialog (see add_extension_dialog.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/add_extension_dialog.h"

#include "app/logic/options_model.h"
#include "app/options_win.h"
#include "toolkit/application.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

namespace app {

bool CAddExtensionDialog::Run(HWND owner) {
  return DoModal(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_ADD_EXTENSION), owner) ==
         IDOK;
}

bool CAddExtensionDialog::Acceptable() const {
  return !NormalizeExtension(ui::Utf16(ui::WindowText(GetDlgItem(IDC_EXT_EDIT)))).empty();
}

INT_PTR CAddExtensionDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetText(OptionsString(IDS_EXT_ADD_CAPTION));
      SetTextsWithAccessKeys(Handle(), {{IDC_EXT_LABEL, IDS_EXT_ADD_LABEL}});
      SetDlgItemTextW(Handle(), IDOK, OptionsString(ui::IDS_OK).c_str());
      SetDlgItemTextW(Handle(), IDCANCEL, OptionsString(ui::IDS_ACTION_CANCEL).c_str());
      CenterOnOwner(Handle());
      EnableWindow(GetDlgItem(IDOK), FALSE);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_EXT_EDIT:
          if (HIWORD(wparam) == EN_CHANGE) EnableWindow(GetDlgItem(IDOK), Acceptable());
          return TRUE;
        case IDOK:
          if (!Acceptable()) return TRUE;
          extension_ = ui::Utf16(ui::WindowText(GetDlgItem(IDC_EXT_EDIT)));
          EndDialog(Handle(), IDOK);
          return TRUE;
        case IDCANCEL: EndDialog(Handle(), IDCANCEL); return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

}  // namespace app
