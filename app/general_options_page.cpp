// CGeneralOptionsPage (see general_options_page.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/general_options_page.h"

#include "app/logic/options_model.h"

namespace app {

INT_PTR CGeneralOptionsPage::DialogProc(UINT msg, WPARAM, LPARAM) {
  if (msg != WM_INITDIALOG) return FALSE;
  SetTextsWithAccessKeys(Handle(), {{IDC_OPT_AUTORUN, IDS_OPT_AUTORUN},
                                    {IDC_OPT_DONT_SAVE_UNNAMED, IDS_OPT_DONT_SAVE_UNNAMED},
                                    {IDC_OPT_CONTEXT_VERB, IDS_OPT_CONTEXT_VERB}});
  return FALSE;
}

void CGeneralOptionsPage::Fill() {
  const GeneralForm form = GeneralFromSettings(settings_, shell_);
  CheckDlgButton(Handle(), IDC_OPT_AUTORUN, form.start_at_logon ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(Handle(), IDC_OPT_DONT_SAVE_UNNAMED,
                 form.dont_save_unnamed_tabs ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(Handle(), IDC_OPT_CONTEXT_VERB, form.context_verb ? BST_CHECKED : BST_UNCHECKED);
}

void CGeneralOptionsPage::Apply() {
  auto checked = [this](int id) { return IsDlgButtonChecked(Handle(), id) == BST_CHECKED; };
  const GeneralForm form{checked(IDC_OPT_AUTORUN), checked(IDC_OPT_DONT_SAVE_UNNAMED),
                         checked(IDC_OPT_CONTEXT_VERB)};
  ApplyGeneral(form, settings_, registry_, ProgramPath(), shell_);
  Fill();
}

}  // namespace app
