// ButtonMessageBox (see message_box.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/message_box.h"

#include <algorithm>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/dialog_template.h"
#include "toolkit/window.h"

namespace {

using toolkit::MessageBoxButton;
using toolkit::MessageBoxIcon;
using toolkit::MessageBoxLayout;

constexpr const wchar_t* kFontFace = L"Microsoft Sans Serif";
constexpr int kFontPoints = 8;
constexpr const wchar_t* kEmptyCaption = L"Error";
constexpr WORD kTextId = 0xFFFF;
constexpr WORD kIconId = 20;  // clear of the button codes 1-11 and 23-26
// Word breaking that also breaks a word longer than a line (a path has no
// blanks to break at), the way the text static draws it with SS_EDITCONTROL.
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

std::u16string ToU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

std::wstring LoadTableString(UINT id) {
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(CApplication::Get().Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

HICON SystemIcon(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kStop: return LoadIconW(nullptr, IDI_HAND);
    case MessageBoxIcon::kQuestion: return LoadIconW(nullptr, IDI_QUESTION);
    case MessageBoxIcon::kExclamation: return LoadIconW(nullptr, IDI_EXCLAMATION);
    case MessageBoxIcon::kInformation: return LoadIconW(nullptr, IDI_ASTERISK);
    default: return nullptr;
  }
}

HFONT CreateMessageFont() {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(kFontPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, kFontFace);
}

struct Measured {
  SIZE text{};
  SIZE base_units{};  // dialog base units of the font, for the template
};

Measured Measure(HFONT font, const std::wstring& text, int max_width) {
  Measured m;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, max_width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat | DT_CALCRECT);
  m.text = {std::min<LONG>(r.right - r.left, max_width), r.bottom - r.top};
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE alphabet{};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
  m.base_units = {std::max<LONG>((alphabet.cx / 26 + 1) / 2, 1), std::max<LONG>(tm.tmHeight, 1)};
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return m;
}

class CButtonMessageBoxDialog : public CWindow {
 public:
  struct Setup {
    HFONT font = nullptr;
    HICON icon = nullptr;
    HWND owner = nullptr;
    UINT style = 0;
    std::vector<MessageBoxButton> buttons;
    MessageBoxLayout layout;
    int default_index = 0;
    int escape_code = 0;
  };

  explicit CButtonMessageBoxDialog(Setup setup) : setup_(std::move(setup)) {}

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void OnInitDialog();
  void PlaceWindow();
  bool IsButton(int code) const;

  Setup setup_;
};

bool CButtonMessageBoxDialog::IsButton(int code) const {
  return std::any_of(setup_.buttons.begin(), setup_.buttons.end(),
                     [code](const MessageBoxButton& b) { return b.code == code; });
}

INT_PTR CButtonMessageBoxDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  if (msg == WM_INITDIALOG) {
    OnInitDialog();
    return FALSE;  // the focus is set
  }
  if (msg != WM_COMMAND) return FALSE;
  const int id = LOWORD(wparam);
  if (IsButton(id)) {
    EndDialog(Handle(), id);
  } else if (id == IDCANCEL && setup_.escape_code != 0) {
    EndDialog(Handle(), setup_.escape_code);
  }
  return TRUE;
}

void CButtonMessageBoxDialog::OnInitDialog() {
  const MessageBoxLayout& l = setup_.layout;
  HWND text = GetDlgItem(kTextId);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(setup_.font), FALSE);
  MoveWindow(text, l.text.left, l.text.top, l.text.Width(), l.text.Height(), FALSE);
  if (setup_.icon) {
    HWND icon = GetDlgItem(kIconId);
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(setup_.icon), 0);
    MoveWindow(icon, l.icon.left, l.icon.top, l.icon.Width(), l.icon.Height(), FALSE);
  }
  for (size_t i = 0; i < setup_.buttons.size(); ++i) {
    const toolkit::LayoutRect& r = l.buttons[i];
    MoveWindow(GetDlgItem(setup_.buttons[i].code), r.left, r.top, r.Width(), r.Height(), FALSE);
  }
  PlaceWindow();
  if (setup_.escape_code == 0) {
    EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }
  const int default_code = setup_.buttons[static_cast<size_t>(setup_.default_index)].code;
  Send(DM_SETDEFID, static_cast<WPARAM>(default_code));
  SetFocus(GetDlgItem(default_code));
  if (setup_.style & MB_SETFOREGROUND) SetForegroundWindow(Handle());
}

void CButtonMessageBoxDialog::PlaceWindow() {
  RECT frame{0, 0, setup_.layout.client_width, setup_.layout.client_height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(
      MonitorFromWindow(setup_.owner ? setup_.owner : Handle(), MONITOR_DEFAULTTOPRIMARY),
      &monitor);
  const RECT& work = monitor.rcWork;
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;
  SetWindowPos(Handle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

short ToDluX(int pixels, const Measured& m) {
  return static_cast<short>(MulDiv(pixels, 4, m.base_units.cx));
}
short ToDluY(int pixels, const Measured& m) {
  return static_cast<short>(MulDiv(pixels, 8, m.base_units.cy));
}

CDialogTemplateItem TemplateItem(CDialogTemplateItem::ClassAtom atom, WORD id, DWORD style,
                                 const toolkit::LayoutRect& r, const Measured& m,
                                 const std::wstring& text) {
  // The dialog places everything in pixels on WM_INITDIALOG; the dialog-unit
  // rectangles only keep the template self-consistent.
  return CDialogTemplateItem(atom, id, style | WS_CHILD | WS_VISIBLE, ToDluX(r.left, m),
                             ToDluY(r.top, m), ToDluX(r.Width(), m), ToDluY(r.Height(), m),
                             ToU16(text));
}

std::vector<std::uint16_t> BuildTemplate(const std::wstring& text, const std::wstring& caption,
                                         UINT style, const CButtonMessageBoxDialog::Setup& s,
                                         const Measured& m) {
  CDialogTemplateBuilder builder;
  const bool system_modal = (style & toolkit::kMbSystemModal) != 0;
  DWORD dialog_style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOIDLEMSG;
  if (system_modal) dialog_style |= DS_SYSMODAL;
  DWORD ex_style = WS_EX_DLGMODALFRAME;
  if (system_modal || (style & MB_TOPMOST)) ex_style |= WS_EX_TOPMOST;
  const MessageBoxLayout& l = s.layout;
  builder.SetDialog(dialog_style, ex_style, 0, 0, ToDluX(l.client_width, m),
                    ToDluY(l.client_height, m), ToU16(caption));
  builder.SetFont(kFontPoints, ToU16(kFontFace));
  if (s.icon)
    builder.AddItem(TemplateItem(CDialogTemplateItem::kStatic, kIconId, SS_ICON, l.icon, m, L""));
  builder.AddItem(TemplateItem(CDialogTemplateItem::kStatic, kTextId,
                               SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, l.text, m, text));
  for (size_t i = 0; i < s.buttons.size(); ++i) {
    DWORD button_style =
        WS_TABSTOP | (static_cast<int>(i) == s.default_index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    if (i == 0) button_style |= WS_GROUP;
    const std::u16string& caption16 = s.buttons[i].caption;
    builder.AddItem(TemplateItem(CDialogTemplateItem::kButton, static_cast<WORD>(s.buttons[i].code),
                                 button_style, l.buttons[i], m,
                                 std::wstring(caption16.begin(), caption16.end())));
  }
  return builder.Build();
}

}  // namespace

int ButtonMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style,
                     const ButtonMessageBoxParams* params) {
  const std::wstring title = caption.empty() ? kEmptyCaption : caption;
  if (!owner) {
    if (HWND active = GetActiveWindow()) owner = GetLastActivePopup(active);
  }
  if (toolkit::UsesSystemMessageBox(style)) {
    return MessageBoxW(owner, text.c_str(), title.c_str(), style);
  }
  if (!(style & toolkit::kMbNoSound)) MessageBeep(style & toolkit::kMbIconMask);

  CButtonMessageBoxDialog::Setup setup;
  setup.owner = owner;
  setup.style = style;
  setup.font = CreateMessageFont();
  const MessageBoxIcon icon_kind = toolkit::IconFromStyle(style);
  setup.icon = SystemIcon(icon_kind);
  const int icon_width = GetSystemMetrics(SM_CXICON);
  const int max_width = toolkit::MaxMessageTextWidth(GetSystemMetrics(SM_CXSCREEN),
                                                     setup.icon != nullptr, icon_width);
  const Measured measured = Measure(setup.font, text, max_width);
  setup.buttons = toolkit::MessageBoxButtons(style, params ? ToU16(params->custom_buttons) : u"");
  setup.default_index = toolkit::DefaultButtonIndex(style, static_cast<int>(setup.buttons.size()));
  setup.escape_code = toolkit::EscapeButtonCode(setup.buttons);

  toolkit::MessageBoxMetrics metrics;
  metrics.text_width = measured.text.cx;
  metrics.text_height = measured.text.cy;
  metrics.has_icon = setup.icon != nullptr;
  metrics.icon_width = icon_width;
  metrics.icon_height = GetSystemMetrics(SM_CYICON);
  metrics.button_count = static_cast<int>(setup.buttons.size());
  setup.layout = toolkit::LayoutMessageBox(metrics);

  const std::vector<std::uint16_t> words = BuildTemplate(text, title, style, setup, measured);
  HFONT font = setup.font;
  CButtonMessageBoxDialog dialog(std::move(setup));
  const INT_PTR result = dialog.DoModalIndirect(
      CApplication::Get().Instance(), reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner);
  DeleteObject(font);
  return result > 0 ? static_cast<int>(result) : 0;
}

int ButtonMessageBox(HWND owner, UINT text_id, UINT caption_id, UINT style,
                     const ButtonMessageBoxParams* params) {
  return ButtonMessageBox(owner, LoadTableString(text_id), LoadTableString(caption_id), style,
                          params);
}
