// CButtonedEdit (see buttoned_edit.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/buttoned_edit.h"

#include <windowsx.h>

#include <algorithm>

#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/logic/dpi_scale.h"

namespace {

HICON LoadButtonIcon(UINT id, int size) {
  if (id == 0) return nullptr;
  return static_cast<HICON>(LoadImageW(CApplication::Get().Instance(), MAKEINTRESOURCEW(id),
                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void FreeIcons(HICON& icon, HICON& hot_icon) {
  if (icon) DestroyIcon(icon);
  if (hot_icon) DestroyIcon(hot_icon);
  icon = hot_icon = nullptr;
}

}  // namespace

CButtonedEdit::~CButtonedEdit() {
  Destroy();
  for (Button& b : buttons_) FreeIcons(b.icon, b.hot_icon);
}

void CButtonedEdit::OnAttached() {
  dpi_ = toolkit::WindowDpi(Handle());
  if (tooltip_.Create(Handle())) {
    // Not subclassing: the buttons lie outside the client area, whose mouse
    // messages are all a subclassing tooltip would see; moves over the
    // buttons are relayed instead.
    (void)tooltip_.AddTool(Handle(), GetParent(Handle()), false);
  }
}

void CButtonedEdit::AddButton(UINT command, UINT icon_id, UINT hot_icon_id, int width,
                              std::wstring tooltip) {
  Button button{command, icon_id, hot_icon_id, width, std::move(tooltip)};
  LoadIcons(button);
  buttons_.push_back(std::move(button));
  RecalcFrame();
}

void CButtonedEdit::LoadIcons(Button& b) const {
  const int size = toolkit::SmallIconSize(dpi_);
  b.icon = LoadButtonIcon(b.icon_id, size);
  b.hot_icon = LoadButtonIcon(b.hot_icon_id, size);
}

void CButtonedEdit::SetDpi(int dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  for (Button& b : buttons_) {
    FreeIcons(b.icon, b.hot_icon);
    LoadIcons(b);
  }
  RecalcFrame();
}

void CButtonedEdit::RecalcFrame() {
  // Let WM_NCCALCSIZE reserve the buttons' width again.
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CButtonedEdit::ButtonWidth(const Button& b) const {
  return toolkit::EditButtonWidth(b.width, b.icon_id != 0, dpi_);
}

int CButtonedEdit::TotalWidth() const {
  int total = 0;
  for (const Button& b : buttons_) total += ButtonWidth(b);
  return total;
}

RECT CButtonedEdit::ButtonWindowRect(int index) const {
  // The buttons sit right of the client area, as high as it.
  RECT client{};
  GetClientRect(Handle(), &client);
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  RECT window{};
  GetWindowRect(Handle(), &window);
  OffsetRect(&client, -window.left, -window.top);
  int left = client.right;
  for (int i = 0; i < index; ++i) left += ButtonWidth(buttons_[static_cast<size_t>(i)]);
  return {left, client.top, left + ButtonWidth(buttons_[static_cast<size_t>(index)]),
          client.bottom};
}

RECT CButtonedEdit::ButtonScreenRect(int index) const {
  RECT r = ButtonWindowRect(index);
  RECT window{};
  GetWindowRect(Handle(), &window);
  OffsetRect(&r, window.left, window.top);
  return r;
}

int CButtonedEdit::ButtonAt(POINT screen) const {
  for (int i = 0; i < ButtonCount(); ++i) {
    const RECT r = ButtonScreenRect(i);
    if (PtInRect(&r, screen)) return i;
  }
  return -1;
}

void CButtonedEdit::RedrawFrame() {
  RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void CButtonedEdit::PaintButtons() {
  HDC dc = GetWindowDC(Handle());
  const HBRUSH background =
      GetSysColorBrush(IsWindowEnabled(Handle()) ? COLOR_WINDOW : COLOR_BTNFACE);
  const int size = toolkit::SmallIconSize(dpi_);
  for (int i = 0; i < ButtonCount(); ++i) {
    const Button& b = buttons_[static_cast<size_t>(i)];
    RECT r = ButtonWindowRect(i);
    // An icon taller than a short edit stays within its own button.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    FillRect(dc, &r, background);
    HICON icon = (i == hot_ && b.hot_icon) ? b.hot_icon : b.icon;
    if (icon) {
      const int x = r.left + (r.right - r.left - size) / 2;
      const int y = r.top + (r.bottom - r.top - size) / 2;
      DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
    }
    if (b.pressed) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    RestoreDC(dc, saved);
  }
  ReleaseDC(Handle(), dc);
}

LRESULT CButtonedEdit::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_NCCALCSIZE: {
      const LRESULT result = DefaultProc(msg, wparam, lparam);
      // Both forms of lParam start with the client rectangle to adjust.
      RECT* client = reinterpret_cast<RECT*>(lparam);
      client->right = std::max(client->left, client->right - TotalWidth());
      return result;
    }
    case WM_NCPAINT: {
      const LRESULT result = DefaultProc(msg, wparam, lparam);
      PaintButtons();
      return result;
    }
    case WM_NCHITTEST:
      if (ButtonAt({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}) >= 0) return HTBORDER;
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return OnNcButtonDown(msg, wparam, lparam);
    case WM_LBUTTONUP:
      if (pressed_ >= 0) {
        OnButtonUp(lparam);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (pressed_ >= 0 && reinterpret_cast<HWND>(lparam) != Handle()) {
        buttons_[static_cast<size_t>(pressed_)].pressed = false;
        pressed_ = -1;
        RedrawFrame();
      }
      break;
    case WM_NCMOUSEMOVE: OnNcMouseMove(lparam); break;
    case WM_DPICHANGED_AFTERPARENT: SetDpi(toolkit::WindowDpi(Handle())); break;
    case WM_NCMOUSELEAVE:
      if (hot_ >= 0) {
        hot_ = -1;
        RedrawFrame();
      }
      break;
    default: break;
  }
  return DefaultProc(msg, wparam, lparam);
}

LRESULT CButtonedEdit::OnNcButtonDown(UINT msg, WPARAM wparam, LPARAM lparam) {
  const int index = ButtonAt({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
  if (index < 0) return DefaultProc(msg, wparam, lparam);
  pressed_ = index;
  buttons_[static_cast<size_t>(index)].pressed = true;
  SetCapture(Handle());
  RedrawFrame();
  return 0;
}

void CButtonedEdit::OnButtonUp(LPARAM lparam) {
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  ClientToScreen(Handle(), &point);
  const int index = pressed_;
  buttons_[static_cast<size_t>(index)].pressed = false;
  pressed_ = -1;
  if (GetCapture() == Handle()) ReleaseCapture();
  RedrawFrame();
  if (ButtonAt(point) == index) {
    PostMessageW(GetParent(Handle()), WM_COMMAND,
                 MAKEWPARAM(buttons_[static_cast<size_t>(index)].command, 0), 0);
  }
}

void CButtonedEdit::OnNcMouseMove(LPARAM lparam) {
  POINT screen{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  const int index = ButtonAt(screen);
  if (index != hot_) {
    hot_ = index;
    RedrawFrame();
    // Re-activating hides the tip of the previous button so that the next
    // one asks for its own text.
    tooltip_.Activate(false);
    tooltip_.Activate(true);
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, Handle(), 0};
    TrackMouseEvent(&track);
  }
  POINT client = screen;
  ScreenToClient(Handle(), &client);
  MSG relay{Handle(),
            WM_MOUSEMOVE,
            0,
            MAKELPARAM(client.x, client.y),
            static_cast<DWORD>(GetMessageTime()),
            screen};
  tooltip_.RelayEvent(relay);
}

void CButtonedEdit::OnReflectedNotify(NMHDR* header, LRESULT*) {
  if (header->code != TTN_GETDISPINFOW) return;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  POINT cursor{};
  GetCursorPos(&cursor);
  const int index = ButtonAt(cursor);
  // An empty text shows no tip (the pointer is over the text, not a button).
  info->lpszText = index >= 0
                       ? const_cast<wchar_t*>(buttons_[static_cast<size_t>(index)].tooltip.c_str())
                       : const_cast<wchar_t*>(L"");
}
