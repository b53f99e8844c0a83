// CEditExtensionHandlersDialog (see edit_extension_handlers_dialog.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/edit_extension_handlers_dialog.h"

#include "app/logic/options_model.h"
#include "app/options_win.h"
#include "toolkit/application.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

namespace app {
namespace {

constexpr int kRadios[] = {IDC_EXT_IFILTER, IDC_EXT_BUILT_IN, IDC_EXT_PLAIN_TEXT};

}  // namespace

bool CEditExtensionHandlersDialog::Run(HWND owner) {
  return DoModal(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_EDIT_EXTENSION_HANDLER),
                 owner) == IDOK;
}

void CEditExtensionHandlersDialog::OnInit() {
  CenterOnOwner(Handle());
  SetText(OptionsString(IDS_EXT_HANDLER_CAPTION));
  SetTextsWithAccessKeys(Handle(), {{IDC_EXT_LABEL, IDS_EXT_HANDLER_LABEL},
                                    {IDC_EXT_HANDLER_LABEL, IDS_EXT_HANDLER},
                                    {IDC_EXT_IFILTER, IDS_EXT_IFILTER},
                                    {IDC_EXT_BUILT_IN, IDS_EXT_BUILT_IN},
                                    {IDC_EXT_PLAIN_TEXT, IDS_EXT_PLAIN_TEXT}});
  SetDlgItemTextW(Handle(), IDOK, OptionsString(ui::IDS_OK).c_str());
  SetDlgItemTextW(Handle(), IDCANCEL, OptionsString(ui::IDS_ACTION_CANCEL).c_str());
  HWND edit = GetDlgItem(IDC_EXT_EDIT);
  SetWindowTextW(edit, ui::Wide(extension_).c_str());
  if (extension_ == u"*") {
    EnableWindow(edit, FALSE);
  } else if (existing_) {
    // A changed text would show one extension while the entry keeps another.
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
  }
  if (const int radio = RadioOfKind(kind_)) CheckDlgButton(Handle(), radio, BST_CHECKED);
  Update();
}

HandlerKind CEditExtensionHandlersDialog::CheckedKind() const {
  for (int id : kRadios) {
    if (IsDlgButtonChecked(Handle(), id) == BST_CHECKED) return KindOfRadio(id);
  }
  return HandlerKind::kIgnore;
}

void CEditExtensionHandlersDialog::Update() {
  const HandlerDialogState state =
      EvaluateHandlerDialog(ui::Utf16(ui::WindowText(GetDlgItem(IDC_EXT_EDIT))), CheckedKind());
  EnableWindow(GetDlgItem(IDC_EXT_BUILT_IN), state.built_in_enabled);
  if (state.kind != CheckedKind()) CheckDlgButton(Handle(), IDC_EXT_BUILT_IN, BST_UNCHECKED);
  EnableWindow(GetDlgItem(IDOK), state.ok_enabled);
}

void CEditExtensionHandlersDialog::OnOk() {
  const std::u16string typed = ui::Utf16(ui::WindowText(GetDlgItem(IDC_EXT_EDIT)));
  const HandlerDialogState state = EvaluateHandlerDialog(typed, CheckedKind());
  if (!state.ok_enabled) return;
  extension_ = typed;
  kind_ = state.kind;
  EndDialog(Handle(), IDOK);
}

INT_PTR CEditExtensionHandlersDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: OnInit(); return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_EXT_EDIT:
          if (HIWORD(wparam) == EN_CHANGE) Update();
          return TRUE;
        case IDC_EXT_IFILTER:
        case IDC_EXT_BUILT_IN:
        case IDC_EXT_PLAIN_TEXT:
          if (HIWORD(wparam) == BN_CLICKED) Update();
          return TRUE;
        case IDOK: OnOk(); return TRUE;
        case IDCANCEL: EndDialog(Handle(), IDCANCEL); return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

}  // namespace app
