// The folder and file-name list dialogs (see list_pair_dialog.h).
// Tested by tests/ui/ui_gui_test.cpp.
#include "ui/list_pair_dialog.h"

#include "toolkit/application.h"
#include "toolkit/dialog_banner.h"
#include "ui/logic/control_ids.h"
#include "ui/logic/list_fields.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

namespace ui {

INT_PTR CListPairDialog::Run(HWND owner) {
  const int resource = kind_ == Kind::kFolders ? IDD_SELECT_FOLDERS : IDD_SELECT_FILE_NAMES;
  return DoModal(CApplication::Get().Instance(), MAKEINTRESOURCEW(resource), owner);
}

void CListPairDialog::OnInit() {
  const bool folders = kind_ == Kind::kFolders;
  SetWindowTextW(Handle(), LoadUiString(folders ? IDS_FOLDERS_CAPTION : IDS_NAMES_CAPTION).c_str());
  SetControlTexts(Handle(), {{IDC_LABEL_INCLUDE, folders ? IDS_FOLDERS_INCLUDE : IDS_NAMES_INCLUDE},
                             {IDC_LABEL_EXCLUDE, folders ? IDS_FOLDERS_EXCLUDE : IDS_NAMES_EXCLUDE},
                             {IDC_BROWSE_INCLUDE, IDS_BROWSE},
                             {IDC_BROWSE_EXCLUDE, IDS_BROWSE},
                             {IDOK, IDS_OK},
                             {IDCANCEL, IDS_ACTION_CANCEL}});
  const FieldLists lists = folders ? SplitFolderField(field_) : SplitFileNameField(field_);
  SetDlgItemTextW(Handle(), IDC_LIST_INCLUDE, Wide(LinesToEditText(lists.include)).c_str());
  SetDlgItemTextW(Handle(), IDC_LIST_EXCLUDE, Wide(LinesToEditText(lists.exclude)).c_str());
}

void CListPairDialog::OnOk() {
  const auto include = EditTextToLines(Utf16(WindowText(GetDlgItem(IDC_LIST_INCLUDE))));
  const auto exclude = EditTextToLines(Utf16(WindowText(GetDlgItem(IDC_LIST_EXCLUDE))));
  field_ = kind_ == Kind::kFolders ? JoinFolderLines(include, exclude)
                                   : JoinFileNameLines(include, exclude);
  EndDialog(Handle(), 1);
}

void CListPairDialog::Browse(int edit_id) {
  const std::wstring chosen = BrowseForFolder(Handle(), {});
  if (chosen.empty()) return;
  // Inserted at the caret, replacing nothing.
  HWND edit = GetDlgItem(edit_id);
  DWORD start = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessageW(edit, EM_SETSEL, start, start);
  const std::wstring line = chosen + L"\r\n";
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
}

void CListPairDialog::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  const bool folders = kind_ == Kind::kFolders;
  DrawDialogBanner(Handle(), dc, LoadUiString(folders ? IDS_FOLDERS_BANNER : IDS_NAMES_BANNER),
                   LoadUiString(folders ? IDS_FOLDERS_BANNER_LINE : IDS_NAMES_BANNER_LINE),
                   kBannerListIconId);
  EndPaint(Handle(), &ps);
}

INT_PTR CListPairDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: OnInit(); return TRUE;
    case WM_PAINT: Paint(); return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK: OnOk(); return TRUE;
        case IDCANCEL: EndDialog(Handle(), 2); return TRUE;
        case IDC_BROWSE_INCLUDE: Browse(IDC_LIST_INCLUDE); return TRUE;
        case IDC_BROWSE_EXCLUDE: Browse(IDC_LIST_EXCLUDE); return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

}  // namespace ui
