// CHyperLink (see hyperlink.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/hyperlink.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "toolkit/fault_guard.h"

namespace {

// The link object, on the static control.
constexpr const wchar_t* kObjectProperty = L"VarnelHyperLinkObject";
// The parent's previous window procedure, on the parent.
constexpr const wchar_t* kParentProcProperty = L"VarnelHyperLinkParentProc";

constexpr COLORREF kLinkColor = RGB(0, 0, 255);
constexpr COLORREF kVisitedColor = RGB(128, 0, 128);

// Shared by all links; created with the first, the font deleted with the last.
HFONT g_underlined_font = nullptr;
HCURSOR g_hand_cursor = nullptr;
int g_link_count = 0;

HFONT CreateUnderlinedCopy(HFONT font) {
  LOGFONTW lf{};
  GetObjectW(font ? font : GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfUnderline = TRUE;
  return CreateFontIndirectW(&lf);
}

}  // namespace

CHyperLink::~CHyperLink() { Detach(); }

bool CHyperLink::Attach(HWND static_control, std::wstring target) {
  if (!static_control) return false;
  Detach();
  hwnd_ = static_control;
  target_ = std::move(target);
  SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | SS_NOTIFY);
  normal_font_ = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  if (g_link_count++ == 0) {
    g_underlined_font = CreateUnderlinedCopy(normal_font_);
    g_hand_cursor = LoadCursorW(nullptr, IDC_HAND);
  }
  SubclassParent(GetParent(hwnd_));
  SetPropW(hwnd_, kObjectProperty, this);
  previous_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkProc)));
  return true;
}

void CHyperLink::Detach() {
  if (!hwnd_) return;
  if (hovering_) {
    hovering_ = false;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(normal_font_), FALSE);
  }
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_proc_));
  RemovePropW(hwnd_, kObjectProperty);
  hwnd_ = nullptr;
  previous_proc_ = nullptr;
  if (--g_link_count == 0) {
    DeleteObject(g_underlined_font);
    g_underlined_font = nullptr;
  }
}

void CHyperLink::SubclassParent(HWND parent) {
  if (!parent || GetPropW(parent, kParentProcProperty)) return;
  const LONG_PTR previous =
      SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ParentProc));
  SetPropW(parent, kParentProcProperty, reinterpret_cast<HANDLE>(previous));
}

void CHyperLink::UnsubclassParent(HWND parent) {
  const auto previous = reinterpret_cast<LONG_PTR>(RemovePropW(parent, kParentProcProperty));
  if (previous) SetWindowLongPtrW(parent, GWLP_WNDPROC, previous);
}

LRESULT CALLBACK CHyperLink::ParentProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return RunGuarded([&]() -> LRESULT {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kParentProcProperty));
    if (msg == WM_CTLCOLORSTATIC) {
      const auto* link =
          static_cast<CHyperLink*>(GetPropW(reinterpret_cast<HWND>(lparam), kObjectProperty));
      if (link) {
        const LRESULT brush = CallWindowProcW(previous, hwnd, msg, wparam, lparam);
        SetTextColor(reinterpret_cast<HDC>(wparam), link->visited_ ? kVisitedColor : kLinkColor);
        return brush;
      }
    }
    if (msg == WM_NCDESTROY) UnsubclassParent(hwnd);
    return CallWindowProcW(previous, hwnd, msg, wparam, lparam);
  });
}

LRESULT CALLBACK CHyperLink::LinkProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return RunGuarded([&]() -> LRESULT {
    auto* link = static_cast<CHyperLink*>(GetPropW(hwnd, kObjectProperty));
    if (!link) return DefWindowProcW(hwnd, msg, wparam, lparam);
    return link->HandleMessage(msg, wparam, lparam);
  });
}

LRESULT CHyperLink::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  const HWND hwnd = hwnd_;
  switch (msg) {
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      ScreenToClient(hwnd, &p);
      if (!OverText(MAKELPARAM(p.x, p.y))) return HTTRANSPARENT;
      break;
    }
    case WM_MOUSEMOVE:
      if (OverText(lparam)) {
        if (!hovering_) StartHover();
      } else if (hovering_) {
        ReleaseCapture();
      }
      break;
    case WM_CAPTURECHANGED:
      if (hovering_) EndHover();
      break;
    case WM_SETCURSOR: SetCursor(g_hand_cursor); return TRUE;
    case WM_LBUTTONDOWN: pressed_ = OverText(lparam); break;
    case WM_LBUTTONUP:
      if (pressed_ && OverText(lparam)) (void)Open();
      pressed_ = false;
      break;
    case WM_WINDOWPOSCHANGED:
      // Moved by a layout during a live resize, the control would keep the
      // pixels copied from where it was, blank if they were not yet drawn.
      if ((reinterpret_cast<const WINDOWPOS*>(lparam)->flags & (SWP_NOMOVE | SWP_NOSIZE)) !=
          (SWP_NOMOVE | SWP_NOSIZE)) {
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      break;
    case WM_KEYUP:
      if (wparam == VK_SPACE) (void)Open();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_ = msg == WM_SETFOCUS;
      focused_ ? OnHover() : OnLeave();
      Repaint();
      break;
    case WM_PAINT: {
      const LRESULT result = CallWindowProcW(previous_proc_, hwnd, msg, wparam, lparam);
      if (focused_) DrawFocus();
      return result;
    }
    case WM_NCDESTROY: {
      const WNDPROC previous = previous_proc_;
      Detach();
      return CallWindowProcW(previous, hwnd, msg, wparam, lparam);
    }
    default: break;
  }
  return CallWindowProcW(previous_proc_, hwnd, msg, wparam, lparam);
}

void CHyperLink::StartHover() {
  hovering_ = true;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(g_underlined_font), TRUE);
  SetCapture(hwnd_);
  OnHover();
}

void CHyperLink::EndHover() {
  hovering_ = false;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(normal_font_), FALSE);
  Repaint();
  OnLeave();
}

void CHyperLink::Repaint() {
  InvalidateRect(hwnd_, nullptr, TRUE);
  const HWND parent = GetParent(hwnd_);
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  InvalidateRect(parent, &r, TRUE);
}

RECT CHyperLink::TextRect() const {
  const int length = GetWindowTextLengthW(hwnd_);
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  GetWindowTextW(hwnd_, text.data(), length + 1);
  RECT client{};
  GetClientRect(hwnd_, &client);
  RECT r = client;
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.data(), length, &r,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  // The measure starts at the left; the static aligns it by its style.
  const LONG width = std::min(r.right - r.left, client.right);
  const LONG spare = client.right - width;
  const LONG_PTR align = style & SS_TYPEMASK;
  const LONG left = align == SS_CENTER ? spare / 2 : align == SS_RIGHT ? spare : 0;
  return {left, 0, left + width, std::min(r.bottom - r.top, client.bottom)};
}

bool CHyperLink::OverText(LPARAM client_point) const {
  const RECT r = TextRect();
  return PtInRect(&r, {GET_X_LPARAM(client_point), GET_Y_LPARAM(client_point)}) != FALSE;
}

void CHyperLink::DrawFocus() {
  const RECT r = TextRect();
  HDC dc = GetDC(hwnd_);
  DrawFocusRect(dc, &r);
  ReleaseDC(hwnd_, dc);
}

bool CHyperLink::Open() {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = GetParent(hwnd_);
  info.lpVerb = L"open";
  info.lpFile = target_.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return false;
  SetVisited(true);
  return true;
}

void CHyperLink::SetVisited(bool visited) {
  visited_ = visited;
  if (hwnd_) Repaint();
}
