// ButtonMessageBox (see message_box.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/message_box.h"

#include <algorithm>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/dialog_template.h"
#include "toolkit/dpi.h"
#include "toolkit/logic/text_wrap.h"
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
// Posted when the dialog manager shows the box: handled once it is visible.
constexpr UINT kTakeForeground = WM_APP + 1;
// One line of the message, as the text control draws it.
constexpr UINT kLineFormat = DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX | DT_CALCRECT;

std::u16string ToU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
std::wstring ToWide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring LoadTableString(UINT id) {
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(CApplication::Get().Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

const wchar_t* SystemIconName(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kStop: return IDI_HAND;
    case MessageBoxIcon::kQuestion: return IDI_QUESTION;
    case MessageBoxIcon::kExclamation: return IDI_EXCLAMATION;
    case MessageBoxIcon::kInformation: return IDI_ASTERISK;
    default: return nullptr;
  }
}

// The system icon drawn at `size` pixels (not the system size scaled up);
// the caller destroys it.
HICON LoadSystemIcon(MessageBoxIcon kind, int size) {
  const wchar_t* name = SystemIconName(kind);
  if (!name) return nullptr;
  // Common Controls 6 draws the system icons at any size; loaded at run time,
  // since the MinGW import library lacks it.
  using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const auto load_scaled = reinterpret_cast<LoadIconWithScaleDownFn>(reinterpret_cast<void*>(
      GetProcAddress(LoadLibraryW(L"comctl32.dll"), "LoadIconWithScaleDown")));
  HICON icon = nullptr;
  if (load_scaled && SUCCEEDED(load_scaled(nullptr, name, size, size, &icon))) return icon;
  return static_cast<HICON>(CopyImage(LoadIconW(nullptr, name), IMAGE_ICON, size, size, 0));
}

int TextWidth(HDC dc, const std::wstring& text, UINT format) {
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  return r.right - r.left;
}

class CButtonMessageBoxDialog : public CWindow {
 public:
  struct Setup {
    HWND owner = nullptr;
    std::wstring text;
    MessageBoxIcon icon = MessageBoxIcon::kNone;
    std::vector<MessageBoxButton> buttons;
    int default_index = 0;
    int escape_code = 0;
  };

  explicit CButtonMessageBoxDialog(Setup setup) : setup_(std::move(setup)) {}
  ~CButtonMessageBoxDialog() override;

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void OnInitDialog();
  void OnDpiChanged(int dpi, const RECT& suggested);
  // Measures, lays out and sizes the box at `dpi`.
  void ApplyLayout(int dpi);
  toolkit::MessageBoxMetrics Measure(HDC dc, int dpi, std::vector<std::u16string>* lines) const;
  void PlaceChildren(const MessageBoxLayout& layout, const std::vector<std::u16string>& lines);
  SIZE FrameSize(const MessageBoxLayout& layout, int dpi) const;
  void SizeClientTo(const MessageBoxLayout& layout, int dpi);
  void PlaceOnOwnersMonitor();
  RECT OwnersMonitorArea() const;
  bool IsButton(int code) const;

  Setup setup_;
  HFONT font_ = nullptr;
  HICON icon_ = nullptr;
  SIZE frame_{};
};

CButtonMessageBoxDialog::~CButtonMessageBoxDialog() {
  Destroy();
  if (font_) DeleteObject(font_);
  if (icon_) DestroyIcon(icon_);
}

bool CButtonMessageBoxDialog::IsButton(int code) const {
  return std::any_of(setup_.buttons.begin(), setup_.buttons.end(),
                     [code](const MessageBoxButton& b) { return b.code == code; });
}

INT_PTR CButtonMessageBoxDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG: OnInitDialog(); return FALSE;  // the focus is set
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return TRUE;
    case WM_SHOWWINDOW:
      if (wparam) PostMessageW(Handle(), kTakeForeground, 0, 0);
      return FALSE;
    case kTakeForeground:
      // Asked from a worker thread, the box would otherwise stay behind the
      // active window of the interface thread, with a grey caption.
      SetForegroundWindow(Handle());
      // The dialog manager activated it before it was the foreground window;
      // Wine then keeps its caption grey. Draw the frame as what it now is.
      if (GetForegroundWindow() == Handle()) Send(WM_NCACTIVATE, TRUE);
      return TRUE;
    case WM_COMMAND: break;
    default: return FALSE;
  }
  const int id = LOWORD(wparam);
  if (IsButton(id)) {
    EndDialog(Handle(), id);
  } else if (id == IDCANCEL && setup_.escape_code != 0) {
    EndDialog(Handle(), setup_.escape_code);
  }
  return TRUE;
}

void CButtonMessageBoxDialog::OnInitDialog() {
  toolkit::KeepDialogFromRescaling(Handle());
  // Laid out for the monitor it is about to be placed on.
  ApplyLayout(toolkit::WindowDpi(setup_.owner ? setup_.owner : Handle()));
  PlaceOnOwnersMonitor();
  if (setup_.escape_code == 0) {
    EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }
  const int default_code = setup_.buttons[static_cast<size_t>(setup_.default_index)].code;
  Send(DM_SETDEFID, static_cast<WPARAM>(default_code));
  SetFocus(GetDlgItem(default_code));
}

void CButtonMessageBoxDialog::OnDpiChanged(int dpi, const RECT& suggested) {
  ApplyLayout(dpi);
  // Keep the box centred where the system would put it.
  const int x = (suggested.left + suggested.right - frame_.cx) / 2;
  const int y = (suggested.top + suggested.bottom - frame_.cy) / 2;
  SetWindowPos(Handle(), nullptr, x, y, frame_.cx, frame_.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

toolkit::MessageBoxMetrics CButtonMessageBoxDialog::Measure(
    HDC dc, int dpi, std::vector<std::u16string>* lines) const {
  toolkit::MessageBoxMetrics m;
  m.dpi = dpi;
  m.has_icon = icon_ != nullptr;
  m.icon_width = m.icon_height = toolkit::SystemMetricForDpi(SM_CXICON, dpi);
  const RECT monitor = OwnersMonitorArea();
  m.max_text_width =
      toolkit::MaxMessageTextWidth(monitor.right - monitor.left, m.has_icon, m.icon_width, dpi);
  *lines = toolkit::WrapText(ToU16(setup_.text), m.max_text_width, [dc](std::u16string_view s) {
    return TextWidth(dc, std::wstring(s.begin(), s.end()), kLineFormat);
  });
  for (const std::u16string& line : *lines) {
    m.text_width = std::max(m.text_width, TextWidth(dc, ToWide(line), kLineFormat));
  }
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  m.text_height = static_cast<int>(lines->size()) * tm.tmHeight;
  for (const MessageBoxButton& b : setup_.buttons) {
    m.caption_widths.push_back(TextWidth(dc, ToWide(b.caption), DT_SINGLELINE | DT_CALCRECT));
  }
  return m;
}

void CButtonMessageBoxDialog::ApplyLayout(int dpi) {
  HFONT font = CreateFontW(toolkit::FontHeightForDpi(kFontPoints, dpi), 0, 0, 0, FW_NORMAL, FALSE,
                           FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace);
  HICON icon = LoadSystemIcon(setup_.icon, toolkit::SystemMetricForDpi(SM_CXICON, dpi));
  std::swap(icon, icon_);
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, font);
  std::vector<std::u16string> lines;
  const toolkit::MessageBoxMetrics metrics = Measure(dc, dpi, &lines);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);

  for (HWND c = GetWindow(Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (font_) DeleteObject(font_);
  font_ = font;
  const MessageBoxLayout layout = toolkit::LayoutMessageBox(metrics);
  PlaceChildren(layout, lines);
  if (icon) DestroyIcon(icon);  // the previous one, replaced in its control
  SizeClientTo(layout, dpi);
}

void CButtonMessageBoxDialog::SizeClientTo(const MessageBoxLayout& layout, int dpi) {
  frame_ = FrameSize(layout, dpi);
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(Handle(), nullptr, 0, 0, frame_.cx, frame_.cy, flags);
  // Where the frame does not follow the new DPI (Wine keeps the system's),
  // the client area comes out another size: correct by the difference.
  RECT client{};
  GetClientRect(Handle(), &client);
  const int dx = layout.client_width - client.right, dy = layout.client_height - client.bottom;
  if (dx == 0 && dy == 0) return;
  frame_.cx += dx;
  frame_.cy += dy;
  SetWindowPos(Handle(), nullptr, 0, 0, frame_.cx, frame_.cy, flags);
}

void CButtonMessageBoxDialog::PlaceChildren(const MessageBoxLayout& l,
                                            const std::vector<std::u16string>& lines) {
  // The breaks are the box's own (at blanks, then after path separators); the
  // control is wider than every line, so it adds none.
  std::wstring shown;
  for (const std::u16string& line : lines) {
    if (!shown.empty() || &line != &lines.front()) shown += L"\r\n";
    shown += ToWide(line);
  }
  HWND text = GetDlgItem(kTextId);
  SetWindowTextW(text, shown.c_str());
  MoveWindow(text, l.text.left, l.text.top, l.text.Width(), l.text.Height(), TRUE);
  if (icon_) {
    HWND icon = GetDlgItem(kIconId);
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    MoveWindow(icon, l.icon.left, l.icon.top, l.icon.Width(), l.icon.Height(), TRUE);
  }
  for (size_t i = 0; i < setup_.buttons.size(); ++i) {
    const toolkit::LayoutRect& r = l.buttons[i];
    MoveWindow(GetDlgItem(setup_.buttons[i].code), r.left, r.top, r.Width(), r.Height(), TRUE);
  }
}

SIZE CButtonMessageBoxDialog::FrameSize(const MessageBoxLayout& layout, int dpi) const {
  RECT frame{0, 0, layout.client_width, layout.client_height};
  toolkit::AdjustWindowRectForDpi(
      &frame, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)),
      static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)), dpi);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT CButtonMessageBoxDialog::OwnersMonitorArea() const {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(
      MonitorFromWindow(setup_.owner ? setup_.owner : Handle(), MONITOR_DEFAULTTOPRIMARY),
      &monitor);
  return monitor.rcWork;
}

void CButtonMessageBoxDialog::PlaceOnOwnersMonitor() {
  const RECT work = OwnersMonitorArea();
  const int x = work.left + (work.right - work.left - frame_.cx) / 2;
  const int y = work.top + (work.bottom - work.top - frame_.cy) / 2;
  SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CDialogTemplateItem TemplateItem(CDialogTemplateItem::ClassAtom atom, WORD id, DWORD style,
                                 const std::wstring& text) {
  // The dialog lays everything out in pixels on WM_INITDIALOG.
  return CDialogTemplateItem(atom, id, style | WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, ToU16(text));
}

std::vector<std::uint16_t> BuildTemplate(const std::wstring& caption, UINT style,
                                         const CButtonMessageBoxDialog::Setup& s) {
  CDialogTemplateBuilder builder;
  const bool system_modal = (style & toolkit::kMbSystemModal) != 0;
  DWORD dialog_style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOIDLEMSG;
  if (system_modal) dialog_style |= DS_SYSMODAL;
  DWORD ex_style = WS_EX_DLGMODALFRAME;
  if (system_modal || (style & MB_TOPMOST)) ex_style |= WS_EX_TOPMOST;
  builder.SetDialog(dialog_style, ex_style, 0, 0, 100, 50, ToU16(caption));
  builder.SetFont(kFontPoints, ToU16(kFontFace));
  // The icon and the text form a group of their own, so that the arrow keys
  // move between the buttons only.
  if (s.icon != MessageBoxIcon::kNone) {
    builder.AddItem(TemplateItem(CDialogTemplateItem::kStatic, kIconId, SS_ICON | WS_GROUP, L""));
  }
  builder.AddItem(
      TemplateItem(CDialogTemplateItem::kStatic, kTextId, SS_LEFT | SS_NOPREFIX | WS_GROUP, L""));
  for (size_t i = 0; i < s.buttons.size(); ++i) {
    DWORD button_style =
        WS_TABSTOP | (static_cast<int>(i) == s.default_index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    if (i == 0) button_style |= WS_GROUP;
    builder.AddItem(TemplateItem(CDialogTemplateItem::kButton, static_cast<WORD>(s.buttons[i].code),
                                 button_style, ToWide(s.buttons[i].caption)));
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
  setup.text = text;
  setup.icon = toolkit::IconFromStyle(style);
  setup.buttons = toolkit::MessageBoxButtons(style, params ? ToU16(params->custom_buttons) : u"");
  setup.default_index = toolkit::DefaultButtonIndex(style, static_cast<int>(setup.buttons.size()));
  setup.escape_code = toolkit::EscapeButtonCode(setup.buttons);

  const std::vector<std::uint16_t> words = BuildTemplate(title, style, setup);
  CButtonMessageBoxDialog dialog(std::move(setup));
  const INT_PTR result = dialog.DoModalIndirect(
      CApplication::Get().Instance(), reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner);
  return result > 0 ? static_cast<int>(result) : 0;
}

int ButtonMessageBox(HWND owner, UINT text_id, UINT caption_id, UINT style,
                     const ButtonMessageBoxParams* params) {
  return ButtonMessageBox(owner, LoadTableString(text_id), LoadTableString(caption_id), style,
                          params);
}
