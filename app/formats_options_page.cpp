// CFormatsOptionsPage (see formats_options_page.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/formats_options_page.h"

#include "app/edit_extension_handlers_dialog.h"
#include "toolkit/dpi.h"
#include "ui/ui_win.h"

namespace app {
namespace {

// Column widths at 96 DPI.
constexpr int kExtensionWidth = 100;
constexpr int kHandlerWidth = 180;

}  // namespace

void CFormatsOptionsPage::OnInit() {
  SetTextsWithAccessKeys(Handle(), {{IDC_OPT_ADD, IDS_OPT_ADD},
                                    {IDC_OPT_EDIT, IDS_OPT_EDIT},
                                    {IDC_OPT_DELETE, IDS_OPT_DELETE},
                                    {IDC_OPT_RESET, IDS_OPT_RESET}});
  HWND list = GetDlgItem(IDC_OPT_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const int dpi = toolkit::WindowDpi(Handle());
  const std::pair<int, int> columns[] = {{IDS_OPT_COLUMN_EXTENSION, kExtensionWidth},
                                         {IDS_OPT_COLUMN_HANDLER, kHandlerWidth}};
  int index = 0;
  for (const auto& [text_id, width] : columns) {
    std::wstring text = OptionsString(text_id);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text.data();
    column.cx = MulDiv(width, dpi, 96);
    ListView_InsertColumn(list, index++, &column);
  }
}

void CFormatsOptionsPage::Fill() {
  copy_.Fill(settings_.handler_table);
  ShowRows(-1);
}

void CFormatsOptionsPage::Apply() { settings_.handler_table = copy_.Applied(); }

void CFormatsOptionsPage::ShowRows(int selected) {
  HWND list = GetDlgItem(IDC_OPT_LIST);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  int index = 0;
  for (const HandlerRow& row : copy_.Rows()) {
    std::wstring extension = ui::Wide(row.extension);
    std::wstring kind = ui::Wide(HandlerKindText(row.kind));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = extension.data();
    ListView_InsertItem(list, &item);
    ListView_SetItemText(list, index, 1, kind.data());
    ++index;
  }
  if (selected >= 0) {
    ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, selected, FALSE);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  UpdateButtons();
}

int CFormatsOptionsPage::Selected() const {
  return ListView_GetNextItem(GetDlgItem(IDC_OPT_LIST), -1, LVNI_SELECTED);
}

void CFormatsOptionsPage::UpdateButtons() {
  const int row = Selected();
  EnableWindow(GetDlgItem(IDC_OPT_EDIT), row >= 0);
  EnableWindow(GetDlgItem(IDC_OPT_DELETE), copy_.CanDelete(row));
}

void CFormatsOptionsPage::Add() {
  CEditExtensionHandlersDialog dialog(u"", HandlerKind::kIFilter, false);
  if (!dialog.Run(GetParent(Handle()))) return;
  int row = -1;
  if (!copy_.Add(dialog.Extension(), dialog.Kind(), row)) {
    ShowDuplicateWarning(GetParent(Handle()));
    return;
  }
  ShowRows(row);
}

void CFormatsOptionsPage::Edit() {
  const int row = Selected();
  if (row < 0) return;
  const HandlerRow& shown = copy_.Rows()[row];
  CEditExtensionHandlersDialog dialog(shown.extension, shown.kind, true);
  if (!dialog.Run(GetParent(Handle()))) return;
  copy_.SetKind(row, dialog.Kind());
  ShowRows(row);
}

void CFormatsOptionsPage::Delete() {
  const int row = Selected();
  if (!copy_.CanDelete(row)) return;
  if (!AskYesNo(GetParent(Handle()), IDS_OPT_ASK_DELETE, IDS_OPT_CONFIRMATION)) return;
  ShowRows(copy_.Delete(row));
}

void CFormatsOptionsPage::Reset() {
  if (!AskYesNo(GetParent(Handle()), IDS_OPT_ASK_RESET_FORMATS, IDS_OPT_CONFIRMATION)) return;
  // At once: Cancel keeps the defaults.
  settings_.ResetHandlerDefaults();
  Fill();
}

void CFormatsOptionsPage::OnNotify(NMHDR* header, LRESULT*) {
  if (header->idFrom != IDC_OPT_LIST) return;
  if (header->code == LVN_ITEMCHANGED) UpdateButtons();
  if (header->code == NM_DBLCLK && Selected() >= 0) Edit();
}

INT_PTR CFormatsOptionsPage::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: OnInit(); return FALSE;
    case WM_COMMAND:
      if (HIWORD(wparam) != BN_CLICKED) return FALSE;
      switch (LOWORD(wparam)) {
        case IDC_OPT_ADD: Add(); return TRUE;
        case IDC_OPT_EDIT: Edit(); return TRUE;
        case IDC_OPT_DELETE: Delete(); return TRUE;
        case IDC_OPT_RESET: Reset(); return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

}  // namespace app
