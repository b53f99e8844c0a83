// CDisplayOptionsPage (see display_options_page.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/display_options_page.h"

#include "app/logic/app_text.h"
#include "app/logic/options_model.h"
#include "ui/ui_win.h"

namespace app {
namespace {

// The largest count has ten digits.
constexpr int kFieldDigits = 10;

}  // namespace

INT_PTR CDisplayOptionsPage::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      SetTextsWithAccessKeys(Handle(), {{IDC_OPT_MAX_MATCHES_LABEL, IDS_OPT_MAX_MATCHES},
                                        {IDC_OPT_PREVIEW_LIMIT_LABEL, IDS_OPT_PREVIEW_LIMIT},
                                        {IDC_OPT_RESET_HISTORY, IDS_OPT_RESET_HISTORY}});
      SendDlgItemMessageW(Handle(), IDC_OPT_MAX_MATCHES, EM_SETLIMITTEXT, kFieldDigits, 0);
      SendDlgItemMessageW(Handle(), IDC_OPT_PREVIEW_LIMIT, EM_SETLIMITTEXT, kFieldDigits, 0);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_OPT_RESET_HISTORY && HIWORD(wparam) == BN_CLICKED) {
        // At once: Cancel does not bring the lists back.
        if (AskYesNo(GetParent(Handle()), IDS_OPT_ASK_RESET_HISTORY, IDS_APP_NAME)) {
          settings_.ClearHistory();
        }
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

void CDisplayOptionsPage::Fill() {
  const DisplayForm form = DisplayFromSettings(settings_);
  SetDlgItemTextW(Handle(), IDC_OPT_MAX_MATCHES, ui::Wide(form.max_number_matches).c_str());
  SetDlgItemTextW(Handle(), IDC_OPT_PREVIEW_LIMIT, ui::Wide(form.limit_file_preview).c_str());
}

void CDisplayOptionsPage::Apply() {
  DisplayForm form;
  form.max_number_matches = ui::Utf16(ui::WindowText(GetDlgItem(IDC_OPT_MAX_MATCHES)));
  form.limit_file_preview = ui::Utf16(ui::WindowText(GetDlgItem(IDC_OPT_PREVIEW_LIMIT)));
  ApplyDisplay(form, settings_);
}

}  // namespace app
