// CSelectFilterDialog (see select_filter_dialog.h).
// Tested by tests/ui/ui_gui_test.cpp.
#include "ui/select_filter_dialog.h"

#include "storage/app_settings.h"
#include "toolkit/application.h"
#include "toolkit/dialog_banner.h"
#include "ui/logic/control_ids.h"
#include "ui/logic/result_table.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

namespace ui {

INT_PTR CSelectFilterDialog::Run(HWND owner) {
  return DoModal(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_SELECT_FILTER), owner);
}

void CSelectFilterDialog::OnInit() {
  SetWindowTextW(Handle(), LoadUiString(IDS_FILTER_CAPTION).c_str());
  SetControlTexts(Handle(), {{IDC_LABEL_FILTER_VALUE, IDS_FILTER_VALUE},
                             {IDC_LABEL_FILTER_COLUMN, IDS_FILTER_COLUMN},
                             {IDOK, IDS_OK},
                             {IDCANCEL, IDS_ACTION_CANCEL}});
  SetDlgItemTextW(Handle(), IDC_FILTER_VALUE, Wide(text_).c_str());
  HWND combo = GetDlgItem(IDC_FILTER_COLUMN);
  for (int kind :
       {kColumnName, kColumnFolder, kColumnReplaces, kColumnSize, kColumnModified, kColumnType}) {
    if (kind == kColumnReplaces && !has_replaces_) continue;
    const std::wstring caption = Wide(ColumnCaption(kind));
    const auto index =
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), kind);
    if (kind == kind_) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  FillHistory();
  // Centred over the owner (the main window), not the screen.
  HWND owner = GetWindow(Handle(), GW_OWNER);
  RECT o{}, d{};
  if (owner && GetWindowRect(owner, &o) && GetWindowRect(Handle(), &d)) {
    const int x = o.left + ((o.right - o.left) - (d.right - d.left)) / 2;
    const int y = o.top + ((o.bottom - o.top) - (d.bottom - d.top)) / 2;
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int CSelectFilterDialog::SelectedKind() const {
  HWND combo = GetDlgItem(IDC_FILTER_COLUMN);
  const auto index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return -1;
  return static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void CSelectFilterDialog::FillHistory() {
  HWND list = GetDlgItem(IDC_FILTER_HISTORY);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  const int kind = SelectedKind();
  if (kind < 0) return;
  for (const std::u16string& entry : settings_.GetFilterHistory(ColumnCaption(kind))) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
  }
}

void CSelectFilterDialog::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  DrawDialogBanner(Handle(), dc, LoadUiString(IDS_FILTER_CAPTION),
                   LoadUiString(IDS_FILTER_BANNER_LINE), kBannerFilterIconId);
  EndPaint(Handle(), &ps);
}

INT_PTR CSelectFilterDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: OnInit(); return TRUE;
    case WM_PAINT: Paint(); return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          text_ = Utf16(WindowText(GetDlgItem(IDC_FILTER_VALUE)));
          kind_ = SelectedKind();
          EndDialog(Handle(), IDOK);
          return TRUE;
        case IDCANCEL: EndDialog(Handle(), IDCANCEL); return TRUE;
        case IDC_FILTER_HISTORY:
          if (HIWORD(wparam) == LBN_SELCHANGE) {
            HWND list = GetDlgItem(IDC_FILTER_HISTORY);
            const auto index = SendMessageW(list, LB_GETCURSEL, 0, 0);
            if (index != LB_ERR) {
              const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
              std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
              SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(entry.data()));
              entry.resize(static_cast<std::size_t>(length));
              SetDlgItemTextW(Handle(), IDC_FILTER_VALUE, entry.c_str());
            }
          }
          return TRUE;
        case IDC_FILTER_COLUMN:
          if (HIWORD(wparam) == CBN_SELCHANGE) FillHistory();
          return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

}  // namespace ui
