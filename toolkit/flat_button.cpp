// CFlatButton (see flat_button.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/flat_button.h"

#include <windowsx.h>

#include <cstdint>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/logic/dpi_scale.h"
#include "toolkit/messages.h"

namespace {

// A disabled button's icon: its own shape in grey at less than half its
// opacity. DrawState's disabled look turns an icon with an alpha channel
// into a grey block, since it draws through the icon's mask.
void DrawDisabledIcon(HDC dc, HICON icon, int x, int y, int size) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;  // top-down rows
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
  HDC screen = GetDC(nullptr);
  const bool read = info.hbmColor &&
                    GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format,
                              DIB_RGB_COLORS) == size;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  void* bits = nullptr;
  HBITMAP bitmap =
      read ? CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  ReleaseDC(nullptr, screen);
  if (!bitmap) return;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint32_t p = pixels[i];
    const std::uint32_t alpha = (p >> 24) * 2 / 5;
    const std::uint32_t grey = (((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
    const std::uint32_t shade = grey * alpha / 255;  // AlphaBlend takes premultiplied colour
    out[i] = (alpha << 24) | (shade << 16) | (shade << 8) | shade;
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc, x, y, size, size, memory, 0, 0, size, size, blend);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
}

HICON LoadSmallIcon(UINT resource_id, int size) {
  if (resource_id == 0) return nullptr;
  return static_cast<HICON>(LoadImageW(CApplication::Get().Instance(),
                                       MAKEINTRESOURCEW(resource_id), IMAGE_ICON, size, size,
                                       LR_DEFAULTCOLOR));
}

void FillStrip(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
  const RECT r{left, top, right, bottom};
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// A frame `width` pixels thick: the top and left in one colour, the bottom
// and right in the other.
void DrawFrame(HDC dc, const RECT& r, int width, COLORREF top_left, COLORREF bottom_right) {
  FillStrip(dc, r.left, r.top, r.right, r.top + width, top_left);
  FillStrip(dc, r.left, r.top, r.left + width, r.bottom, top_left);
  FillStrip(dc, r.left, r.bottom - width, r.right, r.bottom, bottom_right);
  FillStrip(dc, r.right - width, r.top + width, r.right, r.bottom, bottom_right);
}

}  // namespace

CFlatButton::~CFlatButton() {
  Destroy();
  if (icon_) DestroyIcon(icon_);
  if (second_icon_) DestroyIcon(second_icon_);
}

void CFlatButton::OnAttached() {
  if (!notify_window_) notify_window_ = GetParent(Handle());
  // Reachable with Tab like any other button.
  SetWindowLongPtrW(Handle(), GWL_STYLE, GetWindowLongPtrW(Handle(), GWL_STYLE) | WS_TABSTOP);
  dpi_ = toolkit::WindowDpi(Handle());
}

bool CFlatButton::LoadIcons() {
  const int size = toolkit::SmallIconSize(dpi_);
  HICON icon = LoadSmallIcon(icon_id_, size);
  HICON second = LoadSmallIcon(second_icon_id_, size);
  const bool loaded = (icon || !icon_id_) && (second || !second_icon_id_);
  if (icon_) DestroyIcon(icon_);
  if (second_icon_) DestroyIcon(second_icon_);
  icon_ = icon;
  second_icon_ = second;
  Redraw();
  return loaded;
}

bool CFlatButton::SetIcon(UINT resource_id) {
  icon_id_ = resource_id;
  return LoadIcons();
}

bool CFlatButton::SetSecondIcon(UINT resource_id) {
  second_icon_id_ = resource_id;
  model_.SetHasSecondIcon(true);
  return LoadIcons();
}

void CFlatButton::SetDpi(int dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  (void)LoadIcons();  // a missing icon was missing at the first load already
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
  // Mouse and key input is handled here and not passed on: the button class
  // would capture the mouse itself and send BN_CLICKED besides the flat click.
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      Paint(dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    // Not a push button to the dialog manager, which would otherwise make it
    // the default button and overwrite its owner-drawn style.
    case WM_GETDLGCODE: return DLGC_BUTTON;
    case WM_KEYDOWN:
    case WM_KEYUP: return OnKey(msg, wparam, lparam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      model_.CancelSpace();
      Redraw();
      return 0;
    case WM_UPDATEUISTATE: {
      const LRESULT result = DefaultProc(msg, wparam, lparam);
      Redraw();
      return result;
    }
    case WM_DPICHANGED_AFTERPARENT: SetDpi(toolkit::WindowDpi(Handle())); return 0;
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

LRESULT CFlatButton::OnKey(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (wparam != VK_SPACE) return DefaultProc(msg, wparam, lparam);
  if (msg == WM_KEYDOWN) {
    // Bit 30: the key was already down (auto-repeat).
    if (!(lparam & (1 << 30))) model_.OnSpaceDown();
  } else if (model_.OnSpaceUp()) {
    NotifyClicked();
  }
  Redraw();
  return 0;
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
  const int state = model_.State();
  const toolkit::FlatButtonLook look = toolkit::ChooseFlatButtonLook(
      model_.Enabled(), hover_, pressed_ || model_.SpaceHeld(), state, GetSysColor(COLOR_BTNFACE));
  FillStrip(dc, r.left, r.top, r.right, r.bottom, look.fill);
  const int frame = toolkit::ScaleForDpi(1, dpi_);
  if (look.frame) DrawFrame(dc, r, frame, look.top_left, look.bottom_right);
  HICON icon = (state == 2 && second_icon_) ? second_icon_ : icon_;
  if (icon) {
    const int size = toolkit::SmallIconSize(dpi_);
    const int x = (r.right - size) / 2, y = (r.bottom - size) / 2;
    if (model_.Enabled()) {
      DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
    } else {
      DrawDisabledIcon(dc, icon, x, y, size);
    }
  }
  // Hidden until the keyboard is used in the window, as everywhere else.
  const bool focus_hidden = Send(WM_QUERYUISTATE) & UISF_HIDEFOCUS;
  if (GetFocus() == Handle() && !focus_hidden) {
    InflateRect(&r, -(frame + 1), -(frame + 1));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, look.fill);
    DrawFocusRect(dc, &r);
  }
}
