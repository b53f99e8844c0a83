// The control gallery (see control_gallery.h).
#include "control_gallery.h"

#include <iterator>

#include "res/toolkit_test_resources.h"
#include "toolkit/dialog_banner.h"
#include "toolkit/dpi.h"
#include "toolkit/logic/anchor_layout.h"
#include "toolkit/logic/dpi_scale.h"
#include "toolkit/themed_border.h"

namespace {

constexpr const wchar_t* kClassName = L"VarnelControlGallery";
using namespace toolkit;

}  // namespace

CControlGallery::~CControlGallery() {
  Destroy();
  if (font_) DeleteObject(font_);
}

int CControlGallery::Scale(int value) const { return toolkit::ScaleForDpi(value, dpi_); }

bool CControlGallery::Create(bool quit_on_close) {
  quit_on_close_ = quit_on_close;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  if (!CRichEditControl::LoadRichEditLibrary()) return false;
  if (!RegisterWindowClass(kClassName, 0, GetSysColorBrush(COLOR_BTNFACE))) return false;
  if (!CWindow::Create(0, kClassName, L"Varnel control gallery",
                       WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 780, 560, nullptr)) {
    return false;
  }
  dpi_ = toolkit::WindowDpi(Handle());
  font_ = toolkit::CreateMessageFontForDpi(dpi_);
  SetWindowPos(Handle(), nullptr, 0, 0, Scale(780), Scale(560), SWP_NOMOVE | SWP_NOZORDER);
  CreateControls();
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
  return true;
}

HWND CControlGallery::AddChild(const wchar_t* class_name, const wchar_t* text, DWORD style, int x,
                               int y, int width, int height, DWORD ex_style) {
  HWND child = CreateWindowExW(ex_style, class_name, text, WS_CHILD | WS_VISIBLE | style, Scale(x),
                               Scale(y), Scale(width), Scale(height), Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return child;
}

void CControlGallery::CreateControls() {
  layout_.SetParent(Handle());
  tabs_.Attach(AddChild(WC_TABCONTROLW, L"tab1", WS_CLIPSIBLINGS, 10, 60, 360, 26));
  const wchar_t* names[] = {L"Search 1", L"Sources", L"Old results"};
  for (int i = 0; i < 3; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(names[i]);
    item.lParam = i + 1;
    tabs_.Send(TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  layout_.Add(tabs_.Handle(), kAnchorLeft | kAnchorTop);

  group_.Attach(AddChild(L"BUTTON", L"Criteria", BS_GROUPBOX, 10, 94, 360, 122));
  layout_.Add(group_.Handle(), kAnchorLeft | kAnchorTop);
  CreateFlatButtons();
  replace_edit_.Attach(
      AddChild(WC_EDITW, L"replacement text", ES_AUTOHSCROLL, 22, 148, 336, 22, WS_EX_CLIENTEDGE));
  replace_edit_.AddButton(2013, IDI_FLAT_MAIN, IDI_FLAT_SECOND, 16, L"History");
  replace_edit_.AddButton(2014, IDI_FLAT_SECOND, 0, 14, L"Clear");
  layout_.Add(replace_edit_.Handle(), kAnchorLeft | kAnchorTop);
  date_.Attach(AddChild(DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT, 22, 180, 150, 22));
  layout_.Add(date_.Handle(), kAnchorLeft | kAnchorTop);

  list_.Attach(AddChild(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS, 10, 226, 360, 240,
                        WS_EX_CLIENTEDGE));
  FillList();
  layout_.Add(list_.Handle(), kAnchorLeft | kAnchorTop | kAnchorBottom);

  preview_.Attach(AddChild(L"RichEdit20W", L"", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 385, 60,
                           375, 290, WS_EX_CLIENTEDGE));
  (void)CThemedBorder::Apply(preview_.Handle());
  FillPreview();
  layout_.Add(preview_.Handle(), kAnchorLeft | kAnchorRight | kAnchorTop | kAnchorBottom);

  file_view_.Attach(AddChild(WC_EDITW, L"The file view is a plain edit control.\r\nSecond line.",
                             ES_MULTILINE | ES_READONLY | WS_VSCROLL, 385, 360, 375, 80,
                             WS_EX_CLIENTEDGE));
  layout_.Add(file_view_.Handle(), kAnchorLeft | kAnchorRight | kAnchorBottom);
  (void)link_.Attach(AddChild(WC_STATICW, L"Varnel home page", 0, 385, 450, 200, 18),
                     L"https://varnel.invalid/");
  layout_.Add(link_.Handle(), kAnchorLeft | kAnchorBottom);
}

void CControlGallery::CreateFlatButtons() {
  CFlatButton* buttons[] = {&toggle_, &three_state_, &disabled_};
  for (int i = 0; i < 3; ++i) {
    buttons[i]->Attach(AddChild(L"BUTTON", L"", BS_OWNERDRAW, 22 + 30 * i, 114, 24, 24));
    (void)buttons[i]->SetIcon(IDI_FLAT_MAIN);
    layout_.Add(buttons[i]->Handle(), kAnchorLeft | kAnchorTop);
  }
  (void)three_state_.SetSecondIcon(IDI_FLAT_SECOND);
  three_state_.SetState(2);
  toggle_.SetState(1);
  disabled_.SetState(1);
  disabled_.SetEnabled(false);
  if (tips_.Create(Handle())) {
    for (CFlatButton* b : buttons) (void)tips_.AddTool(b->Handle(), Handle(), true);
  }
}

void CControlGallery::FillList() {
  const wchar_t* columns[] = {L"Name", L"Folder", L"Size"};
  const int widths[] = {110, 170, 60};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i]);
    column.cx = Scale(widths[i]);
    list_.Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  const wchar_t* rows[][3] = {{L"readme.txt", L"C:\\work", L"1 KB"},
                              {L"notes.md", L"C:\\work\\docs", L"4 KB"},
                              {L"report.pdf", L"D:\\archive", L"120 KB"}};
  for (int r = 0; r < 3; ++r) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(rows[r][0]);
    list_.Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int c = 1; c < 3; ++c) {
      item.iSubItem = c;
      item.pszText = const_cast<wchar_t*>(rows[r][c]);
      list_.Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
    }
  }
}

void CControlGallery::FillPreview() {
  enum Effect { kPlain, kLineNumber, kMatch, kReplaced, kLink };
  const struct {
    const wchar_t* text;
    Effect effect;
  } pieces[] = {{L"12:", kLineNumber},       {L" the quick ", kPlain}, {L"brown", kMatch},
                {L" fox jumps\r\n", kPlain}, {L"40:", kLineNumber},    {L" over the ", kPlain},
                {L"lazy", kReplaced},        {L"idle", kMatch},        {L" dog, see ", kPlain},
                {L"the file", kLink}};
  // Text appended after an effect takes on the effect, so the effects come
  // after all the text.
  int starts[std::size(pieces) + 1] = {};
  for (size_t i = 0; i < std::size(pieces); ++i) {
    starts[i] = preview_.TextLength();
    preview_.AppendText(pieces[i].text);
  }
  starts[std::size(pieces)] = preview_.TextLength();
  for (size_t i = 0; i < std::size(pieces); ++i) {
    const int start = starts[i], end = starts[i + 1];
    switch (pieces[i].effect) {
      case kLineNumber: preview_.SetTextColor(start, end, RGB(0, 0, 255)); break;
      case kMatch: preview_.SetBackColor(start, end, RGB(255, 255, 0)); break;
      case kReplaced: preview_.SetStrikeOut(start, end, true); break;
      case kLink: preview_.SetLink(start, end, true); break;
      case kPlain: break;
    }
  }
}

LRESULT CControlGallery::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      DrawDialogBanner(Handle(), dc, L"Control Gallery", L"Every control of the toolkit",
                       kBannerListIconId);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);  // the banner's font
    case WM_SIZE: layout_.Update(); break;
    case WM_DESTROY:
      if (quit_on_close_) PostQuitMessage(0);
      break;
    default: break;
  }
  return DefaultProc(msg, wparam, lparam);
}

void CControlGallery::OnNotify(NMHDR* header, LRESULT*) {
  if (header->code != TTN_GETDISPINFOW) return;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  const HWND tool = reinterpret_cast<HWND>(info->lParam);
  info->lpszText = const_cast<wchar_t*>(tool == toggle_.Handle()        ? L"Case sensitive"
                                        : tool == three_state_.Handle() ? L"Hidden files"
                                                                        : L"Read-only files");
}
