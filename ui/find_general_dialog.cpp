// CFindGeneralDialog (see find_general_dialog.h).
// Tested by tests/ui/ui_gui_test.cpp.
#include "ui/find_general_dialog.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "platform/fs.h"
#include "storage/app_settings.h"
#include "toolkit/application.h"
#include "toolkit/messages.h"
#include "ui/find_advanced_dialog.h"
#include "ui/history_menu.h"
#include "ui/list_pair_dialog.h"
#include "ui/logic/control_ids.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

using namespace toolkit;

}  // namespace

CFindGeneralDialog::~CFindGeneralDialog() { Destroy(); }

bool CFindGeneralDialog::Create(HWND parent, ICriteriaHost* host, const FileFindParamsIn* initial) {
  host_ = host;
  if (!CreateModeless(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_FIND_GENERAL), parent)) {
    return false;
  }
  InitControls(initial);
  return true;
}

void CFindGeneralDialog::InitToggle(int id, UINT icon, UINT second_icon, UINT tip,
                                    UINT second_tip) {
  Toggle& t = toggles_[id];
  t.icon = icon;
  t.second_icon = second_icon;
  t.tip = tip;
  t.second_tip = second_tip;
  t.button.Attach(GetDlgItem(id));
  (void)t.button.SetIcon(icon);
  if (second_icon) (void)t.button.SetSecondIcon(second_icon);
  (void)tips_.AddTool(t.button.Handle(), Handle(), true);
}

void CFindGeneralDialog::InitControls(const FileFindParamsIn* initial) {
  filling_ = true;
  (void)tips_.Create(Handle());
  SetControlTexts(Handle(), {{IDC_GROUP_GENERAL, IDS_GROUP_GENERAL}});
  path_.Attach(GetDlgItem(IDC_PATH));
  names_.Attach(GetDlgItem(IDC_FILE_NAMES));
  text_.Attach(GetDlgItem(IDC_TEXT));
  path_.AddButton(IDM_BROWSE_FOLDERS, IDI_BROWSE_FOLDERS, 0, 16,
                  LoadUiString(IDS_TIP_BROWSE_MULTIPLE));
  path_.AddButton(IDM_BROWSE_FOLDER, IDI_BROWSE_FOLDER, 0, 16, LoadUiString(IDS_TIP_BROWSE_FOLDER));
  path_.AddButton(IDM_HISTORY_PATH, IDI_HISTORY, 0, 14, LoadUiString(IDS_TIP_HISTORY));
  names_.AddButton(IDM_SELECT_FILE_NAMES, IDI_SELECT_NAMES, 0, 16,
                   LoadUiString(IDS_TIP_SELECT_NAMES));
  names_.AddButton(IDM_HISTORY_FILE_NAME, IDI_HISTORY, 0, 14, LoadUiString(IDS_TIP_HISTORY));
  text_.AddButton(IDM_HISTORY_TEXT, IDI_HISTORY, 0, 14, LoadUiString(IDS_TIP_HISTORY));
  SetCueText(path_.Handle(), IDS_CUE_PATH);
  SetCueText(names_.Handle(), IDS_CUE_FILE_NAMES);
  SetCueText(text_.Handle(), IDS_CUE_TEXT);
  // Auto-completion is a convenience: without it the edit still works.
  (void)SHAutoComplete(path_.Handle(), SHACF_FILESYSTEM | SHACF_FILESYS_DIRS);

  InitToggle(IDC_SUBFOLDERS, IDI_SUBFOLDERS, 0, IDS_TIP_SUBFOLDERS, 0);
  InitToggle(IDC_CASE, IDI_CASE, 0, IDS_TIP_CASE, 0);
  InitToggle(IDC_WHOLE_WORDS, IDI_WHOLE_WORDS, 0, IDS_TIP_WHOLE_WORDS, 0);
  InitToggle(IDC_REGEXP, IDI_REGEXP, 0, IDS_TIP_REGEXP, 0);
  InitToggle(IDC_HEX, IDI_HEX, 0, IDS_TIP_HEX, 0);
  InitToggle(IDC_HIDDEN, IDI_HIDDEN, IDI_HIDDEN_NOT, IDS_TIP_HIDDEN_ONLY, IDS_TIP_HIDDEN_NOT);
  InitToggle(IDC_READ_ONLY, IDI_READ_ONLY, IDI_READ_ONLY_NOT, IDS_TIP_READ_ONLY_ONLY,
             IDS_TIP_READ_ONLY_NOT);
  InitToggle(IDC_FOLDERS, IDI_FOLDERS, IDI_FOLDERS_NOT, IDS_TIP_FOLDERS_ONLY, IDS_TIP_FOLDERS_NOT);
  arrow_.Attach(GetDlgItem(IDC_ADVANCED_ARROW));
  arrow_.SetToggle(false);
  (void)arrow_.SetIcon(IDI_ARROW_PLAIN);
  arrow_icon_ = IDI_ARROW_PLAIN;
  InitLayout();
  filling_ = false;
  WriteForm(initial ? GeneralFromRecord(*initial) : GeneralForm{});
}

void CFindGeneralDialog::InitLayout() {
  layout_.SetParent(Handle());
  layout_.Add(IDC_GROUP_GENERAL, kAnchorLeft | kAnchorRight | kAnchorTop);
  for (int id : {IDC_PATH, IDC_FILE_NAMES, IDC_TEXT}) {
    layout_.Add(id, kAnchorLeft | kAnchorRight | kAnchorTop);
  }
  for (const auto& [id, toggle] : toggles_) layout_.Add(id, kAnchorRight | kAnchorTop);
  layout_.Add(IDC_ADVANCED_ARROW, kAnchorRight | kAnchorTop);
}

GeneralForm CFindGeneralDialog::ReadForm() const {
  GeneralForm f;
  f.path = Utf16(WindowText(GetDlgItem(IDC_PATH)));
  f.file_name = Utf16(WindowText(GetDlgItem(IDC_FILE_NAMES)));
  f.text = Utf16(WindowText(GetDlgItem(IDC_TEXT)));
  // A disabled button reads as 0; the rules only look at what buttons read.
  auto state = [this](int id) { return toggles_.at(id).button.GetState(); };
  f.subfolders = state(IDC_SUBFOLDERS);
  f.case_sensitive = state(IDC_CASE);
  f.whole_words = state(IDC_WHOLE_WORDS);
  f.reg_exp = state(IDC_REGEXP);
  f.hex = state(IDC_HEX);
  f.hidden = state(IDC_HIDDEN);
  f.read_only = state(IDC_READ_ONLY);
  f.folder = state(IDC_FOLDERS);
  return f;
}

void CFindGeneralDialog::SetEditText(int id, const std::u16string& text) {
  SetDlgItemTextW(Handle(), id, Wide(text).c_str());
}

void CFindGeneralDialog::WriteForm(const GeneralForm& f) {
  filling_ = true;
  SetEditText(IDC_PATH, f.path);
  SetEditText(IDC_FILE_NAMES, f.file_name);
  SetEditText(IDC_TEXT, f.text);
  const std::pair<int, int> states[] = {{IDC_SUBFOLDERS, f.subfolders},
                                        {IDC_CASE, f.case_sensitive},
                                        {IDC_WHOLE_WORDS, f.whole_words},
                                        {IDC_REGEXP, f.reg_exp},
                                        {IDC_HEX, f.hex},
                                        {IDC_HIDDEN, f.hidden},
                                        {IDC_READ_ONLY, f.read_only},
                                        {IDC_FOLDERS, f.folder}};
  // A disabled button keeps the state it is given and reads it once enabled.
  for (const auto& [id, state] : states) toggles_.at(id).button.SetState(state);
  filling_ = false;
  UpdateDependencies();
}

void CFindGeneralDialog::ApplyEnabled(const EnabledControls& enabled) {
  for (int id : GeneralInputs()) {
    const bool on = enabled.count(id) != 0;
    auto toggle = toggles_.find(id);
    if (toggle != toggles_.end()) {
      toggle->second.button.SetEnabled(on);
    } else {
      EnableWindow(GetDlgItem(id), on ? TRUE : FALSE);
    }
  }
  arrow_.SetEnabled(!running_);
}

void CFindGeneralDialog::UpdateDependencies() {
  if (!Handle()) return;
  CriteriaForm form;
  const bool running = running_ || (advanced_ && advanced_->Running());
  // The buttons read 0 while disabled, so a button that the last pass
  // enabled may only now show what it holds: repeat until nothing changes.
  for (int pass = 0; pass < 4; ++pass) {
    form.general = ReadForm();
    if (advanced_) form.advanced = advanced_->ReadForm();
    const EnabledControls enabled = ui::UpdateDependencies(form, running);
    const bool changed = enabled != enabled_ || pass == 0;
    enabled_ = enabled;
    ApplyEnabled(enabled_);
    if (advanced_) advanced_->ApplyEnabled(enabled_);
    if (!changed) break;
  }
  if (advanced_) UpdateArrow(IsWindowVisible(advanced_->Handle()) != FALSE);
}

void CFindGeneralDialog::UpdateArrow(bool advanced_visible) {
  ShowWindow(arrow_.Handle(), advanced_visible ? SW_HIDE : SW_SHOWNA);
  if (advanced_visible || !advanced_) return;
  CriteriaForm form;
  form.general = ReadForm();
  form.advanced = advanced_->ReadForm();
  const int icon = ArrowIconId(form, enabled_);
  if (icon != arrow_icon_ && arrow_.SetIcon(static_cast<UINT>(icon))) arrow_icon_ = icon;
}

bool CFindGeneralDialog::CollectGeneral(FileFindParamsIn& record, bool silent) {
  GeneralForm form = ReadForm();
  const std::u16string typed = form.path;
  CollectError error;
  const bool ok = ui::CollectGeneral(
      form, enabled_, !silent, [](std::u16string_view p) { return platform::PathExists(p); },
      record, error);
  if (form.path != typed) {
    filling_ = true;
    SetEditText(IDC_PATH, form.path);
    filling_ = false;
    UpdateDependencies();  // a path of blanks alone is now empty
  }
  if (!ok && !silent) {
    ShowCriteriaWarning(GetParent(Handle()), error.message);
    SetFocus(GetDlgItem(error.focus_id));
  }
  return ok;
}

void CFindGeneralDialog::ClearGeneral() { WriteForm(ClearedGeneral()); }

void CFindGeneralDialog::SetRunning(bool running) {
  running_ = running;
  UpdateDependencies();
}

void CFindGeneralDialog::FocusPath() { SetFocus(GetDlgItem(IDC_PATH)); }

bool CFindGeneralDialog::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_KEYDOWN || msg->wParam != VK_RETURN || !host_) return false;
  if (msg->hwnd != Handle() && !IsChild(Handle(), msg->hwnd)) return false;
  host_->RunAction();
  return true;
}

void CFindGeneralDialog::OnNotify(NMHDR* header, LRESULT*) {
  if (header->code != TTN_GETDISPINFOW) return;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  auto toggle = toggles_.find(GetDlgCtrlID(reinterpret_cast<HWND>(info->lParam)));
  if (toggle == toggles_.end()) return;
  Toggle& t = toggle->second;
  // A three-state button names the condition it sets in its second state
  // while it shows that state.
  const bool second = t.second_tip && t.button.GetState() == 2;
  t.shown_tip = LoadUiString(second ? t.second_tip : t.tip);
  info->lpszText = const_cast<wchar_t*>(t.shown_tip.c_str());
}

void CFindGeneralDialog::OnToggleClicked() {
  UpdateDependencies();
  if (host_) host_->OnCriteriaChanged();
}

void CFindGeneralDialog::OnCommand(WORD id, WORD code) {
  switch (id) {
    case IDC_PATH:
    case IDC_FILE_NAMES:
    case IDC_TEXT:
      if (code == EN_CHANGE && !filling_) OnToggleClicked();
      return;
    case IDM_BROWSE_FOLDER: BrowseFolder(); return;
    case IDM_BROWSE_FOLDERS: BrowseFolders(); return;
    case IDM_SELECT_FILE_NAMES: SelectFileNames(); return;
    case IDM_HISTORY_PATH: ShowHistory(kHistoryPath, IDC_PATH); return;
    case IDM_HISTORY_FILE_NAME: ShowHistory(kHistoryFileName, IDC_FILE_NAMES); return;
    case IDM_HISTORY_TEXT: ShowHistory(kHistoryText, IDC_TEXT); return;
    default: return;
  }
}

void CFindGeneralDialog::BrowseFolder() {
  const std::wstring chosen = BrowseForFolder(Handle(), WindowText(GetDlgItem(IDC_PATH)));
  if (chosen.empty()) return;
  HWND edit = GetDlgItem(IDC_PATH);
  SetWindowTextW(edit, chosen.c_str());
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, chosen.size(), static_cast<LPARAM>(chosen.size()));
}

void CFindGeneralDialog::BrowseFolders() {
  CSelectFoldersDialog dialog(Utf16(WindowText(GetDlgItem(IDC_PATH))));
  if (dialog.Run(Handle()) == 1) SetEditText(IDC_PATH, dialog.Field());
}

void CFindGeneralDialog::SelectFileNames() {
  CSelectFileNamesDialog dialog(Utf16(WindowText(GetDlgItem(IDC_FILE_NAMES))));
  if (dialog.Run(Handle()) == 1) SetEditText(IDC_FILE_NAMES, dialog.Field());
}

void CFindGeneralDialog::ShowHistory(int field, int edit_id) {
  if (!host_) return;
  (void)ShowHistoryMenu(Handle(), GetDlgItem(edit_id), host_->Settings().GetFindHistory(field));
}

INT_PTR CFindGeneralDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: return FALSE;  // the page sets the focus
    case WM_SIZE: layout_.Update(); return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wparam), HIWORD(wparam)); return TRUE;
    case WM_FLATBUTTON_CLICKED:
      if (reinterpret_cast<HWND>(wparam) == arrow_.Handle()) {
        if (host_) PostMessageW(host_->MainWindow(), WM_COMMAND, IDM_VIEW_ADVANCED, 0);
      } else {
        OnToggleClicked();
      }
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace ui
