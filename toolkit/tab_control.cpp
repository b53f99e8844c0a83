// CTabControl (see tab_control.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/tab_control.h"

#include <windowsx.h>

#include <iterator>

#include "toolkit/messages.h"

namespace {

// Where index `i` ends up when the item at `from` moves to `to`.
int MovedIndex(int i, int from, int to) {
  if (i == from) return to;
  if (from < to && i > from && i <= to) return i - 1;
  if (to < from && i >= to && i < from) return i + 1;
  return i;
}

}  // namespace

int CTabControl::TabAt(POINT client_point) const {
  TCHITTESTINFO hit{client_point, 0};
  return static_cast<int>(Send(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

bool CTabControl::MoveTab(int from, int to) {
  const int count = TabCount();
  if (from < 0 || from >= count || to < 0 || to >= count) return false;
  if (from == to) return true;
  wchar_t text[260] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  if (!Send(TCM_GETITEMW, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&item))) return false;
  const int selected = static_cast<int>(Send(TCM_GETCURSEL));
  Send(TCM_DELETEITEM, static_cast<WPARAM>(from));
  if (Send(TCM_INSERTITEMW, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(&item)) < 0) {
    return false;
  }
  if (selected >= 0) Send(TCM_SETCURSEL, static_cast<WPARAM>(MovedIndex(selected, from, to)));
  return true;
}

LRESULT CTabControl::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintBuffered(); return 0;
    case WM_LBUTTONDOWN: {
      const LRESULT result = DefaultProc(msg, wparam, lparam);
      OnLeftButtonDown(lparam);
      return result;
    }
    case WM_LBUTTONUP:
      if (drag_index_ >= 0) ReleaseCapture();  // WM_CAPTURECHANGED finishes the drag
      break;
    case WM_CAPTURECHANGED:
      if (drag_index_ >= 0) EndDrag();
      break;
    case WM_MBUTTONUP: {
      const int index = TabAt({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      if (index >= 0 && TabCount() >= 2) {
        PostMessageW(GetParent(Handle()), WM_TAB_MIDDLECLICK, static_cast<WPARAM>(index), 0);
      }
      break;
    }
    default: break;
  }
  return DefaultProc(msg, wparam, lparam);
}

void CTabControl::PaintBuffered() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  RECT client{};
  GetClientRect(Handle(), &client);
  if (client.right <= 0 || client.bottom <= 0) {
    EndPaint(Handle(), &ps);
    return;
  }
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
  FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
  // The tab control paints into the device context passed in wParam.
  DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EndPaint(Handle(), &ps);
}

void CTabControl::OnLeftButtonDown(LPARAM lparam) {
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  POINT screen = point;
  ClientToScreen(Handle(), &screen);
  // DragDetect runs its own loop until the mouse leaves the drag rectangle
  // (a drag) or the button is released (a click).
  if (!DragDetect(Handle(), screen)) return;
  drag_index_ = TabAt(point);
  if (drag_index_ < 0) return;
  if (drag_cursor_) SetCursor(drag_cursor_);
  SetCapture(Handle());
}

void CTabControl::EndDrag() {
  const int from = drag_index_;
  drag_index_ = -1;
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(Handle(), &point);
  const int to = TabAt(point);
  if (to >= 0 && to != from && MoveTab(from, to)) {
    InvalidateRect(Handle(), nullptr, TRUE);
    PostMessageW(GetParent(Handle()), WM_TAB_MOVED, static_cast<WPARAM>(from), to);
  }
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}
