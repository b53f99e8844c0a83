// CRichEditControl (see rich_edit_control.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/rich_edit_control.h"

#include "toolkit/messages.h"

namespace {

// The menu's texts, the ones the user sees.
constexpr const wchar_t* kCutText = L"Cu&t";
constexpr const wchar_t* kCopyText = L"&Copy";
constexpr const wchar_t* kPasteText = L"&Paste";
constexpr const wchar_t* kDeleteText = L"&Delete";
constexpr const wchar_t* kSelectAllText = L"&Select All";

constexpr UINT kUtf16CodePage = 1200;

UINT Grayed(bool grayed) { return grayed ? MF_GRAYED : MF_ENABLED; }

}  // namespace

bool CRichEditControl::LoadRichEditLibrary() {
  static const HMODULE module = LoadLibraryW(L"riched20.dll");
  return module != nullptr;
}

int CRichEditControl::TextLength() const {
  GETTEXTLENGTHEX request{GTL_DEFAULT, kUtf16CodePage};
  const LRESULT length = Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request));
  if (length == static_cast<LRESULT>(E_INVALIDARG) || length < 0) return 0;
  return static_cast<int>(length);
}

void CRichEditControl::ReplaceSelection(const std::wstring& text) {
  SETTEXTEX how{ST_SELECTION, kUtf16CodePage};
  Send(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
}

void CRichEditControl::AppendText(const std::wstring& text) {
  const int end = TextLength();
  CHARRANGE at{end, end};
  Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
  ReplaceSelection(text);
}

void CRichEditControl::InsertText(int position, const std::wstring& text) {
  CHARRANGE at{position, position};
  Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
  ReplaceSelection(text);
}

void CRichEditControl::SetCharFormat(int start, int end, CHARFORMAT2W format) {
  CHARRANGE saved{};
  Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
  CHARRANGE range{start, end};
  Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  format.cbSize = sizeof(format);
  Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
}

void CRichEditControl::SetTextColor(int start, int end, COLORREF color) {
  CHARFORMAT2W f{};
  f.dwMask = CFM_COLOR;
  f.crTextColor = color;
  SetCharFormat(start, end, f);
}

void CRichEditControl::SetBackColor(int start, int end, COLORREF color) {
  CHARFORMAT2W f{};
  f.dwMask = CFM_BACKCOLOR;
  f.crBackColor = color;
  SetCharFormat(start, end, f);
}

void CRichEditControl::SetStrikeOut(int start, int end, bool on) {
  CHARFORMAT2W f{};
  f.dwMask = CFM_STRIKEOUT;
  f.dwEffects = on ? CFE_STRIKEOUT : 0;
  SetCharFormat(start, end, f);
}

void CRichEditControl::SetLink(int start, int end, bool on) {
  CHARFORMAT2W f{};
  f.dwMask = CFM_LINK;
  f.dwEffects = on ? CFE_LINK : 0;
  SetCharFormat(start, end, f);
}

LRESULT CRichEditControl::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CONTEXTMENU) {
    ShowContextMenu(lparam);
    return 0;
  }
  if (msg == WM_LBUTTONDBLCLK) PostMessageW(GetParent(Handle()), WM_PREVIEW_GOTO, wparam, lparam);
  return DefaultProc(msg, wparam, lparam);
}

HMENU CRichEditControl::BuildContextMenu() const {
  const bool read_only = (GetWindowLongPtrW(Handle(), GWL_STYLE) & ES_READONLY) != 0;
  CHARRANGE selection{};
  Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  const bool empty = selection.cpMin == selection.cpMax;
  const bool no_text = !IsClipboardFormatAvailable(CF_TEXT);
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING | Grayed(read_only), kCut, kCutText);
  AppendMenuW(menu, MF_STRING | Grayed(empty), kCopy, kCopyText);
  AppendMenuW(menu, MF_STRING | Grayed(read_only || no_text), kPaste, kPasteText);
  AppendMenuW(menu, MF_STRING | Grayed(read_only), kDelete, kDeleteText);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kSelectAll, kSelectAllText);
  return menu;
}

void CRichEditControl::RunMenuCommand(UINT command) {
  switch (command) {
    case kCut: Send(WM_CUT); break;
    case kCopy: Send(WM_COPY); break;
    case kPaste: Send(WM_PASTE); break;
    case kDelete: Send(WM_CLEAR); break;
    case kSelectAll: Send(EM_SETSEL, 0, -1); break;
    default: break;
  }
}

void CRichEditControl::ShowContextMenu(LPARAM lparam) {
  POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  // (-1, -1) is a request from the keyboard: open at the caret.
  if (lparam == -1) {
    CHARRANGE selection{};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    POINTL caret{};
    Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&caret), selection.cpMax);
    at = {caret.x, caret.y};
    ClientToScreen(Handle(), &at);
  }
  HMENU menu = BuildContextMenu();
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x,
                     at.y, 0, Handle(), nullptr));
  DestroyMenu(menu);
  RunMenuCommand(command);
}
