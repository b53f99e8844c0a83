// CFindAdvancedDialog (see find_advanced_dialog.h).
// Tested by tests/ui/ui_gui_test.cpp.
#include "ui/find_advanced_dialog.h"

#include "storage/app_settings.h"
#include "toolkit/application.h"
#include "toolkit/messages.h"
#include "ui/find_general_dialog.h"
#include "ui/history_menu.h"
#include "ui/logic/control_ids.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

// How much of the extra width each row's stretching controls take: the size
// row a third, the date row two thirds, the replace row all of it. Narrower
// than its template, every row gives up the whole difference, so that none
// runs past the group box.
struct RowShare {
  int id;
  double start, end;                // shares that move the left and right edges
  double shrink_start, shrink_end;  // the same below the template's width
};
constexpr RowShare kShares[] = {
    {IDC_SIZE_MIN, 0.0, 0.165, 0.0, 0.5},        {IDC_SIZE_MAX, 0.165, 0.33, 0.5, 1.0},
    {IDC_SIZE_UNIT, 0.33, 0.33, 1.0, 1.0},       {IDC_DATE_FROM, 0.0, 0.33, 0.0, 0.5},
    {IDC_DATE_TO, 0.33, 0.66, 0.5, 1.0},         {IDC_DATE_KIND, 0.66, 0.66, 1.0, 1.0},
    {IDC_REPLACE_TEXT, 0.0, 1.0, 0.0, 1.0},      {IDC_BACKUP, 1.0, 1.0, 1.0, 1.0},
    {IDC_REPLACE_READ_ONLY, 1.0, 1.0, 1.0, 1.0}, {IDC_ADVANCED_ARROW, 1.0, 1.0, 1.0, 1.0},
    {IDC_GROUP_ADVANCED, 0.0, 1.0, 0.0, 1.0},
};

}  // namespace

CFindAdvancedDialog::~CFindAdvancedDialog() { Destroy(); }

bool CFindAdvancedDialog::Create(HWND parent, ICriteriaHost* host,
                                 const FileFindParamsIn* initial) {
  host_ = host;
  if (!CreateModeless(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_FIND_ADVANCED),
                      parent)) {
    return false;
  }
  InitControls(initial);
  return true;
}

void CFindAdvancedDialog::InitCombo(int id, std::initializer_list<UINT> texts) {
  HWND combo = GetDlgItem(id);
  for (UINT text : texts) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadUiString(text).c_str()));
  }
}

void CFindAdvancedDialog::InitControls(const FileFindParamsIn* initial) {
  filling_ = true;
  (void)tips_.Create(Handle());
  SetControlTexts(Handle(), {{IDC_GROUP_ADVANCED, IDS_GROUP_ADVANCED},
                             {IDC_SIZE_CHECK, IDS_SIZE_BETWEEN},
                             {IDC_DATE_CHECK, IDS_DATE_BETWEEN},
                             {IDC_REPLACE_CHECK, IDS_REPLACE_CHECK}});
  SetCueText(GetDlgItem(IDC_SIZE_MIN), IDS_CUE_MINIMUM);
  SetCueText(GetDlgItem(IDC_SIZE_MAX), IDS_CUE_MAXIMUM);
  InitCombo(IDC_SIZE_UNIT, {IDS_UNIT_B, IDS_UNIT_KB, IDS_UNIT_MB, IDS_UNIT_GB});
  InitCombo(IDC_DATE_KIND, {IDS_DATE_CREATED, IDS_DATE_MODIFIED, IDS_DATE_ACCESSED});
  date_from_.Attach(GetDlgItem(IDC_DATE_FROM));
  date_to_.Attach(GetDlgItem(IDC_DATE_TO));
  replace_.Attach(GetDlgItem(IDC_REPLACE_TEXT));
  replace_.AddButton(IDM_HISTORY_REPLACE, IDI_HISTORY, 0, 14, LoadUiString(IDS_TIP_HISTORY));
  // The replacement is used whole: no limit below the edit's largest.
  SendMessageW(replace_.Handle(), EM_SETLIMITTEXT, 0, 0);
  backup_.Attach(GetDlgItem(IDC_BACKUP));
  (void)backup_.SetIcon(IDI_BACKUP);
  read_only_rule_.Attach(GetDlgItem(IDC_REPLACE_READ_ONLY));
  (void)read_only_rule_.SetIcon(IDI_REPLACE_READ_ONLY);
  (void)read_only_rule_.SetSecondIcon(IDI_SKIP_READ_ONLY);
  arrow_.Attach(GetDlgItem(IDC_ADVANCED_ARROW));
  arrow_.SetToggle(false);
  (void)arrow_.SetIcon(IDI_ARROW_PLAIN);
  for (CFlatButton* b : {&backup_, &read_only_rule_}) {
    (void)tips_.AddTool(b->Handle(), Handle(), true);
  }
  RECT client{};
  GetClientRect(Handle(), &client);
  template_width_ = client.right;
  for (const RowShare& share : kShares) {
    RECT r{};
    GetWindowRect(GetDlgItem(share.id), &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    placed_.push_back({share.id, r});
  }
  filling_ = false;
  WriteForm(initial ? AdvancedFromRecord(*initial) : AdvancedForm{});
}

CalendarDate CFindAdvancedDialog::ReadDate(HWND picker) {
  SYSTEMTIME st{};
  if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) {
    return {};
  }
  return {st.wYear, st.wMonth, st.wDay, true};
}

void CFindAdvancedDialog::WriteDate(HWND picker, const CalendarDate& date) {
  SYSTEMTIME st{};
  if (date.valid) {
    st.wYear = static_cast<WORD>(date.year);
    st.wMonth = static_cast<WORD>(date.month);
    st.wDay = static_cast<WORD>(date.day);
  } else {
    // Pickers without a date of the record show today's.
    GetSystemTime(&st);
  }
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

AdvancedForm CFindAdvancedDialog::ReadForm() const {
  AdvancedForm f;
  auto checked = [this](int id) { return IsDlgButtonChecked(Handle(), id) == BST_CHECKED; };
  f.size_checked = checked(IDC_SIZE_CHECK);
  f.size_min = Utf16(WindowText(GetDlgItem(IDC_SIZE_MIN)));
  f.size_max = Utf16(WindowText(GetDlgItem(IDC_SIZE_MAX)));
  f.size_unit = static_cast<int>(SendMessageW(GetDlgItem(IDC_SIZE_UNIT), CB_GETCURSEL, 0, 0));
  f.date_checked = checked(IDC_DATE_CHECK);
  f.date_from = ReadDate(GetDlgItem(IDC_DATE_FROM));
  f.date_to = ReadDate(GetDlgItem(IDC_DATE_TO));
  f.date_kind = static_cast<int>(SendMessageW(GetDlgItem(IDC_DATE_KIND), CB_GETCURSEL, 0, 0));
  f.replace_checked = checked(IDC_REPLACE_CHECK);
  f.replace_text = Utf16(WindowText(GetDlgItem(IDC_REPLACE_TEXT)));
  f.backup = backup_.GetState();
  f.read_only_rule = read_only_rule_.GetState();
  return f;
}

void CFindAdvancedDialog::WriteForm(const AdvancedForm& f) {
  filling_ = true;
  CheckDlgButton(Handle(), IDC_SIZE_CHECK, f.size_checked ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextW(Handle(), IDC_SIZE_MIN, Wide(f.size_min).c_str());
  SetDlgItemTextW(Handle(), IDC_SIZE_MAX, Wide(f.size_max).c_str());
  SendMessageW(GetDlgItem(IDC_SIZE_UNIT), CB_SETCURSEL, static_cast<WPARAM>(f.size_unit), 0);
  CheckDlgButton(Handle(), IDC_DATE_CHECK, f.date_checked ? BST_CHECKED : BST_UNCHECKED);
  WriteDate(GetDlgItem(IDC_DATE_FROM), f.date_from);
  WriteDate(GetDlgItem(IDC_DATE_TO), f.date_to);
  SendMessageW(GetDlgItem(IDC_DATE_KIND), CB_SETCURSEL, static_cast<WPARAM>(f.date_kind), 0);
  CheckDlgButton(Handle(), IDC_REPLACE_CHECK, f.replace_checked ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextW(Handle(), IDC_REPLACE_TEXT, Wide(f.replace_text).c_str());
  backup_.SetState(f.backup);
  read_only_rule_.SetState(f.read_only_rule);
  filling_ = false;
  if (general_) general_->UpdateDependencies();
}

void CFindAdvancedDialog::ApplyEnabled(const EnabledControls& enabled) {
  for (int id : AdvancedInputs()) {
    const bool on = enabled.count(id) != 0;
    if (id == IDC_BACKUP) {
      backup_.SetEnabled(on);
    } else if (id == IDC_REPLACE_READ_ONLY) {
      read_only_rule_.SetEnabled(on);
    } else {
      EnableWindow(GetDlgItem(id), on ? TRUE : FALSE);
    }
  }
  arrow_.SetEnabled(!running_ && !(general_ && general_->Running()));
}

bool CFindAdvancedDialog::CollectAdvanced(FileFindParamsIn& record, bool silent) {
  const EnabledControls enabled =
      general_ ? general_->Enabled() : ui::UpdateDependencies(CriteriaForm{{}, ReadForm()}, false);
  CollectError error;
  const bool ok = ui::CollectAdvanced(ReadForm(), enabled, !silent, record, error);
  if (!ok && !silent) {
    ShowCriteriaWarning(GetParent(Handle()), error.message);
    SetFocus(GetDlgItem(error.focus_id));
  }
  return ok;
}

void CFindAdvancedDialog::ClearAdvanced() {
  SYSTEMTIME now{};
  GetSystemTime(&now);
  WriteForm(ClearedAdvanced({now.wYear, now.wMonth, now.wDay, true}));
}

void CFindAdvancedDialog::SetRunning(bool running) {
  running_ = running;
  if (general_) general_->UpdateDependencies();
}

void CFindAdvancedDialog::Changed() {
  if (filling_) return;
  if (general_) general_->UpdateDependencies();
  if (host_) host_->OnCriteriaChanged();
}

void CFindAdvancedDialog::OnCommand(WORD id, WORD code) {
  switch (id) {
    case IDC_SIZE_CHECK:
    case IDC_DATE_CHECK:
    case IDC_REPLACE_CHECK:
      if (code == BN_CLICKED) Changed();
      return;
    case IDC_REPLACE_TEXT:
      if (code == EN_CHANGE) Changed();
      return;
    case IDM_HISTORY_REPLACE:
      if (host_) {
        (void)ShowHistoryMenu(Handle(), replace_.Handle(),
                              host_->Settings().GetFindHistory(kHistoryReplace));
      }
      return;
    default: return;
  }
}

void CFindAdvancedDialog::Layout() {
  RECT client{};
  GetClientRect(Handle(), &client);
  const int extra = client.right - template_width_;
  for (const Placed& p : placed_) {
    for (const RowShare& share : kShares) {
      if (share.id != p.id) continue;
      const bool shrink = extra < 0;
      const int left =
          p.rect.left + static_cast<int>(extra * (shrink ? share.shrink_start : share.start));
      const int right =
          p.rect.right + static_cast<int>(extra * (shrink ? share.shrink_end : share.end));
      MoveWindow(GetDlgItem(p.id), left, p.rect.top, right - left, p.rect.bottom - p.rect.top,
                 TRUE);
    }
  }
}

bool CFindAdvancedDialog::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_KEYDOWN || msg->wParam != VK_RETURN || !host_) return false;
  if (msg->hwnd != Handle() && !IsChild(Handle(), msg->hwnd)) return false;
  host_->RunAction();
  return true;
}

void CFindAdvancedDialog::OnNotify(NMHDR* header, LRESULT*) {
  if (header->code != TTN_GETDISPINFOW) return;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  const HWND tool = reinterpret_cast<HWND>(info->lParam);
  UINT tip = 0;
  if (tool == backup_.Handle()) tip = IDS_TIP_BACKUP;
  if (tool == read_only_rule_.Handle()) {
    tip = read_only_rule_.GetState() == 2 ? IDS_TIP_SKIP_READ_ONLY : IDS_TIP_REPLACE_READ_ONLY;
  }
  if (!tip) return;
  shown_tip_ = LoadUiString(tip);
  info->lpszText = const_cast<wchar_t*>(shown_tip_.c_str());
}

INT_PTR CFindAdvancedDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: return FALSE;
    case WM_SIZE:
      if (template_width_ > 0) Layout();
      return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wparam), HIWORD(wparam)); return TRUE;
    case WM_FLATBUTTON_CLICKED:
      if (reinterpret_cast<HWND>(wparam) == arrow_.Handle()) {
        if (host_) PostMessageW(host_->MainWindow(), WM_COMMAND, IDM_VIEW_ADVANCED, 0);
      } else {
        Changed();
      }
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace ui
