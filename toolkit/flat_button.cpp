// CFlatButton (see flat_button.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/flat_button.h"

#include <windowsx.h>

#include "toolkit/application.h"
#include "toolkit/messages.h"

namespace {

constexpr int kIconSize = 16;

HICON LoadSmallIcon(UINT resource_id) {
  return static_cast<HICON>(LoadImageW(CApplication::Get().Instance(),
                                       MAKEINTRESOURCEW(resource_id), IMAGE_ICON, kIconSize,
                                       kIconSize, LR_DEFAULTCOLOR));
}

void DrawFrame(HDC dc, const RECT& r, bool sunken) {
  const COLORREF grey = RGB(128, 128, 128), white = RGB(255, 255, 255);
  HPEN top_left = CreatePen(PS_SOLID, 1, sunken ? grey : white);
  HPEN bottom_right = CreatePen(PS_SOLID, 1, sunken ? white : grey);
  HGDIOBJ old = SelectObject(dc, top_left);
  MoveToEx(dc, r.left, r.bottom - 1, nullptr);
  LineTo(dc, r.left, r.top);
  LineTo(dc, r.right - 1, r.top);
  SelectObject(dc, bottom_right);
  LineTo(dc, r.right - 1, r.bottom - 1);
  LineTo(dc, r.left, r.bottom - 1);
  SelectObject(dc, old);
  DeleteObject(top_left);
  DeleteObject(bottom_right);
}

}  // namespace

CFlatButton::~CFlatButton() {
  Destroy();
  if (icon_) DestroyIcon(icon_);
  if (second_icon_) DestroyIcon(second_icon_);
}

void CFlatButton::OnAttached() {
  if (!notify_window_) notify_window_ = GetParent(Handle());
}

bool CFlatButton::SetIcon(UINT resource_id) {
  HICON icon = LoadSmallIcon(resource_id);
  if (!icon) return false;
  if (icon_) DestroyIcon(icon_);
  icon_ = icon;
  Redraw();
  return true;
}

bool CFlatButton::SetSecondIcon(UINT resource_id) {
  HICON icon = LoadSmallIcon(resource_id);
  if (!icon) return false;
  if (second_icon_) DestroyIcon(second_icon_);
  second_icon_ = icon;
  model_.SetHasSecondIcon(true);
  Redraw();
  return true;
}

void CFlatButton::SetEnabled(bool enabled) {
  model_.SetEnabled(enabled);
  if (!enabled) pressed_ = false;
  Redraw();
}

void CFlatButton::SetState(int state) {
  model_.SetState(state);
  Redraw();
}

void CFlatButton::NotifyClicked() {
  PostMessageW(notify_window_, WM_FLATBUTTON_CLICKED, reinterpret_cast<WPARAM>(Handle()), 0);
}

LRESULT CFlatButton::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  // Mouse input is handled here and not passed on: the button class would
  // capture the mouse itself and send BN_CLICKED besides the flat click.
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      Paint(dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_MOUSEMOVE: OnMouseMove(lparam); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != Handle()) {
        hover_ = pressed_ = false;
        Redraw();
      }
      return 0;
    case WM_LBUTTONDOWN:
      if (model_.Enabled()) {
        pressed_ = true;
        if (GetCapture() != Handle()) SetCapture(Handle());
        hover_ = true;
        Redraw();
      }
      return 0;
    case WM_LBUTTONUP: {
      if (!pressed_) return 0;
      pressed_ = false;
      RECT client{};
      GetClientRect(Handle(), &client);
      if (PtInRect(&client, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}) && model_.OnClick()) {
        NotifyClicked();
      }
      Redraw();
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      if (model_.OnDoubleClick()) NotifyClicked();
      Redraw();
      return 0;
    case BM_GETCHECK: return model_.Value();
    case BM_SETCHECK: SetState(static_cast<int>(wparam)); return 0;
    default: return DefaultProc(msg, wparam, lparam);
  }
}

void CFlatButton::OnMouseMove(LPARAM lparam) {
  RECT client{};
  GetClientRect(Handle(), &client);
  const bool inside = PtInRect(&client, {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
  if (inside && !hover_) {
    hover_ = true;
    SetCapture(Handle());
    Redraw();
  } else if (!inside && hover_) {
    ReleaseCapture();  // WM_CAPTURECHANGED clears hover and pressed
  }
}

void CFlatButton::Paint(HDC dc) {
  RECT r{};
  GetClientRect(Handle(), &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const int state = model_.State();
  if (model_.Enabled() && (hover_ || state != 0)) DrawFrame(dc, r, pressed_ || state != 0);
  HICON icon = (state == 2 && second_icon_) ? second_icon_ : icon_;
  if (!icon) return;
  const int x = (r.right - kIconSize) / 2, y = (r.bottom - kIconSize) / 2;
  const UINT flags = DST_ICON | (model_.Enabled() ? DSS_NORMAL : DSS_DISABLED);
  DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, kIconSize, kIconSize,
             flags);
}
