// CMatchPreview (see preview_view.h).
// Tested by tests/ui/preview_gui_test.cpp; its rules by
// tests/ui/preview_logic_test.cpp.
#include "ui/preview_view.h"

#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/fs.h"
#include "toolkit/application.h"
#include "ui/logic/page_text.h"
#include "ui/page_ids.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

// The match view's own timer, while the preview engine runs; far from the
// small ids the rich edit uses for itself.
constexpr UINT_PTR kPollTimer = 0x5650;
constexpr UINT kPollMs = 50;
// A view of more lines is replaced by a new control rather than emptied.
constexpr std::size_t kRenewAboveLines = 300;

struct RtfSource {
  const std::string* rtf;
  std::size_t done;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto* source = reinterpret_cast<RtfSource*>(cookie);
  const std::size_t left = source->rtf->size() - source->done;
  const std::size_t n = std::min(left, static_cast<std::size_t>(std::max(size, LONG{0})));
  std::memcpy(buffer, source->rtf->data() + source->done, n);
  source->done += n;
  *read = static_cast<LONG>(n);
  return 0;
}

HWND MakeChild(HWND parent, DWORD ex_style, const wchar_t* class_name, DWORD style, int id) {
  return CreateWindowExW(ex_style, class_name, L"", WS_CHILD | style, 0, 0, 10, 10, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         CApplication::Get().Instance(), nullptr);
}

void PlaceWindow(HWND window, const Box& box) {
  SetWindowPos(window, nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int ToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX));
}

}  // namespace

// ---- The controls ----

LRESULT CMatchView::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_TIMER && wparam == kPollTimer) {
    owner_.OnPollTimer();
    return 0;
  }
  return CRichEditControl::WindowProc(msg, wparam, lparam);
}

void CMatchView::OnReflectedNotify(NMHDR* header, LRESULT* result) {
  (void)result;
  if (header->code != EN_LINK) return;
  const auto* link = reinterpret_cast<const ENLINK*>(header);
  if (link->msg == WM_LBUTTONDOWN) owner_.ShowAll();
}

void CPreviewTab::OnReflectedNotify(NMHDR* header, LRESULT* result) {
  (void)result;
  if (header->code == TCN_SELCHANGE) owner_.SelectTab(static_cast<int>(Send(TCM_GETCURSEL)));
}

// ---- Making ----

CMatchPreview::CMatchPreview() : match_view_(*this), tab_(*this) {}

CMatchPreview::~CMatchPreview() {
  StopPolling();
  match_view_.Destroy();
  file_view_.Destroy();
  tab_.Destroy();
  if (file_font_) DeleteObject(file_font_);
}

bool CMatchPreview::Create(HWND parent, AppSettings& settings, CPreviewRunner& runner) {
  settings_ = &settings;
  runner_ = &runner;
  if (!CRichEditControl::LoadRichEditLibrary()) return false;
  parent_ = parent;
  HWND matches = MakeMatchView(true);
  HWND file = MakeChild(
      parent, WS_EX_CLIENTEDGE, L"EDIT",
      WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
      IDC_FILE_VIEW);
  HWND tab = MakeChild(parent, 0, WC_TABCONTROLW, WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                       IDC_PREVIEW_TAB);
  if (!matches || !file || !tab) {
    for (HWND made : {matches, file, tab}) {
      if (made) DestroyWindow(made);
    }
    return false;
  }
  match_view_.Attach(matches, true);
  SetUpMatchView();
  file_view_.Attach(file, true);
  tab_.Attach(tab, true);
  // The edit holds 32767 characters unless told otherwise.
  file_view_.Send(EM_SETLIMITTEXT, 0, 0);

  // Courier New at 10 points for the page's scale.
  const int dpi = static_cast<int>(GetDpiForWindow(parent));
  file_font_ = CreateFontW(-MulDiv(10, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
  if (file_font_) file_view_.Send(WM_SETFONT, reinterpret_cast<WPARAM>(file_font_), FALSE);

  tab_.Send(WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SetWindowTextW(tab, L"Tab");
  int index = 0;
  for (UINT text_id : {IDS_PREVIEW_MATCHES, IDS_PREVIEW_FILE}) {
    std::wstring text = LoadUiString(text_id);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    tab_.Send(TCM_INSERTITEMW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
  }
  return true;
}

HWND CMatchPreview::MakeMatchView(bool visible) const {
  return MakeChild(parent_, WS_EX_CLIENTEDGE, L"RichEdit20W",
                   (visible ? WS_VISIBLE : 0) | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                       ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                   IDC_MATCH_VIEW);
}

void CMatchPreview::SetUpMatchView() {
  // The rich edit holds 32767 characters unless told otherwise; 10,000
  // matches need far more.
  match_view_.Send(EM_EXLIMITTEXT, 0, INT_MAX);
  match_view_.Send(EM_SETEVENTMASK, 0, ENM_LINK);
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_FACE | CFM_BOLD;
  format.dwEffects = CFE_BOLD;
  wcscpy_s(format.szFaceName, L"MS Shell Dlg");
  match_view_.Send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

// Wine's rich edit takes time that grows with the square of the paragraphs
// to delete a long text, seconds for a few thousand lines; a new control
// costs a few milliseconds. Keeps place, visibility and focus.
void CMatchPreview::RenewMatchView() {
  HWND old = match_view_.Handle();
  RECT frame{};
  GetWindowRect(old, &frame);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&frame), 2);
  const bool visible = IsWindowVisible(old) != FALSE;
  const bool focused = GetFocus() == old;
  HWND fresh = MakeMatchView(visible);
  if (!fresh) return;
  match_view_.Destroy();
  match_view_.Attach(fresh, true);
  SetUpMatchView();
  SetWindowPos(fresh, nullptr, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (focused) SetFocus(fresh);
  if (polling_) polling_ = SetTimer(fresh, kPollTimer, kPollMs, nullptr) != 0;
}

void CMatchPreview::Place(const Box& tab, const Box& views) {
  PlaceWindow(tab_.Handle(), tab);
  PlaceWindow(match_view_.Handle(), views);
  PlaceWindow(file_view_.Handle(), views);
  // The views sit on the tab control: above it in z-order.
  SetWindowPos(tab_.Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- Requests and reports ----

void CMatchPreview::Request(const FileResult& record, const FileFindParamsIn& params) {
  StopPolling();
  params_ = params;
  if (params.text.empty()) {
    ShowMessage(u"");
    return;
  }
  if (CurrentTab() != kMatchesTab) SelectTab(kMatchesTab);
  ShowMessage(PageText(IDS_STATUS_PREPARING));
  record_path_ = record.folder;
  if (!record_path_.empty() && record_path_.back() != platform::kPathSeparator) {
    record_path_ += platform::kPathSeparator;
  }
  record_path_ += record.file_name;
  show_all_ = false;
  if (params.replace) {
    // The file was rewritten since: the list the replace made is the one
    // that fits it.
    ShowMatches({record_path_, false, true}, record.matches);
    return;
  }
  StartEngine(false);
}

void CMatchPreview::StartEngine(bool show_all) {
  FileFindParamsIn record = params_;
  record.path = record_path_;
  record.single_file = true;
  record.converted_text = false;
  const std::int32_t limit = settings_->max_number_matches;
  record.max_matches = show_all || limit <= 0 ? 0 : static_cast<std::uint32_t>(limit);
  record.skip_null_files = settings_->treat_null_as_binary;
  show_all_ = show_all;
  runner_->SetHandlerSettings(settings_->HandlerSnapshot());
  runner_->Start(record);
  polling_ = SetTimer(match_view_.Handle(), kPollTimer, kPollMs, nullptr) != 0;
}

void CMatchPreview::Clear() {
  StopPolling();
  if (runner_) runner_->Stop();
  ShowMessage(u"");
  file_source_ = FileViewSource{};
  file_view_filled_ = false;
  if (file_view_.Handle()) SetWindowTextW(file_view_.Handle(), L"");
}

void CMatchPreview::StopPolling() {
  if (polling_ && match_view_.Handle()) KillTimer(match_view_.Handle(), kPollTimer);
  polling_ = false;
}

void CMatchPreview::OnPollTimer() {
  switch (runner_->Poll()) {
    case CPreviewRunner::Progress::kRunning: return;
    case CPreviewRunner::Progress::kNothing:
      // No handler took the file (or its handler dropped it): no report
      // will come, and "Preparing..." would stand for ever.
      StopPolling();
      ShowMessage(PreviewText(IDS_PREVIEW_NONE));
      return;
    case CPreviewRunner::Progress::kReported:  // it comes through the page's queue
    case CPreviewRunner::Progress::kIdle: StopPolling(); return;
  }
}

void CMatchPreview::OnMatchesReady(std::u16string searched_path,
                                   std::unique_ptr<MatchList> matches) {
  if (!matches) return;
  FileViewSource source = runner_->ReportedSource();
  source.path = std::move(searched_path);
  ShowMatches(source, std::move(*matches));
}

PreviewOptions CMatchPreview::Options() const {
  return PreviewOptionsFor(params_, settings_ ? settings_->max_number_matches : 0, show_all_);
}

void CMatchPreview::ShowMatches(const FileViewSource& source, MatchList list) {
  file_view_filled_ = false;
  file_source_ = source;
  matches_ = std::move(list);
  document_ = RenderMatches(matches_, Options());
  StreamIn(document_);
  // The limit is the selected file's, also when the text shown is a
  // converter's output.
  if (FileTooLargeForPreview(record_path_, settings_->limit_file_preview)) {
    SetWindowTextW(file_view_.Handle(), Wide(PreviewText(IDS_PREVIEW_TOO_LARGE)).c_str());
    file_view_filled_ = true;
  }
}

void CMatchPreview::ShowMessage(std::u16string_view text) {
  matches_.clear();
  document_ = PreviewDocument{};
  PreviewDocument message;
  message.text = text;
  StreamIn(message);
}

// The whole content in one stream, with the window's drawing held off:
// selection changes and format calls per match cost time that grows with
// the square of the matches on a growing control.
void CMatchPreview::StreamIn(const PreviewDocument& document) {
  const std::string rtf = PreviewRtf(document);
  if (lines_in_view_ > kRenewAboveLines) RenewMatchView();
  lines_in_view_ = document.line_starts.size();
  match_view_.Send(WM_SETREDRAW, FALSE);
  RtfSource source{&rtf, 0};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadRtf;
  match_view_.Send(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  for (const StyledRange& range : document.ranges) {
    if (range.style == PreviewStyle::kLink) {
      match_view_.SetLink(range.start, range.start + range.length, true);
    }
  }
  match_view_.Send(EM_SETSEL, 0, 0);
  match_view_.Send(WM_SETREDRAW, TRUE);
  InvalidateRect(match_view_.Handle(), nullptr, TRUE);
}

// ---- Tabs, the file view, the way to a match ----

int CMatchPreview::CurrentTab() const {
  return tab_.Send(TCM_GETCURSEL) == kFileTab ? kFileTab : kMatchesTab;
}

void CMatchPreview::SelectTab(int index) {
  if (tab_.Send(TCM_GETCURSEL) != index) tab_.Send(TCM_SETCURSEL, static_cast<WPARAM>(index));
  ShowTab(index);
}

void CMatchPreview::ShowTab(int index) {
  const bool file = index == kFileTab;
  if (file && !file_view_filled_) LoadFileView();
  ShowWindow(file_view_.Handle(), file ? SW_SHOW : SW_HIDE);
  ShowWindow(match_view_.Handle(), file ? SW_HIDE : SW_SHOW);
  SetFocus(file ? file_view_.Handle() : match_view_.Handle());
}

void CMatchPreview::LoadFileView() {
  if (file_source_.path.empty()) return;
  std::u16string text;
  if (!LoadFileViewText(file_source_, text)) {
    // Another file's text must not stand under this file's name.
    SetWindowTextW(file_view_.Handle(), L"");
    return;
  }
  SetWindowTextW(file_view_.Handle(), reinterpret_cast<const wchar_t*>(text.c_str()));
  file_view_filled_ = true;
}

void CMatchPreview::ShowAll() {
  if (params_.replace || record_path_.empty()) return;
  StopPolling();
  ShowMessage(PageText(IDS_STATUS_PREPARING));
  StartEngine(true);
}

void CMatchPreview::GoToMatch() {
  CHARRANGE caret{};
  match_view_.Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  const std::int32_t line = LineAtPosition(document_, caret.cpMin);
  const std::optional<FileSelection> match = MatchAtLine(document_, matches_, line, Options());
  if (!match) return;
  SelectTab(kFileTab);
  file_view_.Send(EM_SETSEL, static_cast<WPARAM>(ToInt(match->start)),
                  static_cast<LPARAM>(ToInt(match->start + match->length)));
  file_view_.Send(EM_SCROLLCARET);
}

bool CMatchPreview::PreTranslateMessage(const MSG* msg) {
  if (msg->message != WM_KEYDOWN || msg->hwnd != match_view_.Handle()) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if ((msg->wParam == VK_INSERT && shift) || (msg->wParam == 'C' && ctrl)) {
    match_view_.Send(WM_COPY);
  }
  return false;
}

}  // namespace ui
