// CListControl (see list_control.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/list_control.h"

#include "toolkit/application.h"

namespace {

// Posted to the list itself when a column was refused a width below the
// minimum, so that the column ends at the minimum rather than where the last
// accepted drag step left it. wParam: the column.
const UINT kSetMinimumWidthMessage = RegisterWindowMessageW(L"VarnelListMinimumColumnWidth");

}  // namespace

void CListControl::OnAttached() {
  if (CApplication::Get().OsLevel() >= 2) {
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
  }
}

void CListControl::OnNotify(NMHDR* header, LRESULT* result) {
  // The header is the list's own child: its notifications come here.
  if (header->code != HDN_ITEMCHANGINGW && header->code != HDN_ITEMCHANGINGA) return;
  const auto* change = reinterpret_cast<NMHEADERW*>(header);
  if (!change->pitem || !(change->pitem->mask & HDI_WIDTH)) return;
  if (change->pitem->cxy >= kMinColumnWidth) return;
  *result = TRUE;
  PostMessageW(Handle(), kSetMinimumWidthMessage, static_cast<WPARAM>(change->iItem), 0);
}

LRESULT CListControl::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kSetMinimumWidthMessage) {
    const int column = static_cast<int>(wparam);
    if (Send(LVM_GETCOLUMNWIDTH, column) > kMinColumnWidth) {
      Send(LVM_SETCOLUMNWIDTH, column, kMinColumnWidth);
    }
    return 0;
  }
  if (CApplication::Get().OsLevel() < 2) {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) return PaintWithoutFlicker();
  }
  return DefaultProc(msg, wparam, lparam);
}

LRESULT CListControl::PaintWithoutFlicker() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  RECT clip{};
  GetClipBox(dc, &clip);
  const int saved = SaveDC(dc);
  const int count = static_cast<int>(Send(LVM_GETITEMCOUNT));
  if (count > 0) {
    RECT first{LVIR_BOUNDS, 0, 0, 0}, last{LVIR_BOUNDS, 0, 0, 0};
    Send(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    Send(LVM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
    RECT items{};
    UnionRect(&items, &first, &last);
    ExcludeClipRect(dc, items.left, items.top, items.right, items.bottom);
  }
  FillRect(dc, &clip, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RestoreDC(dc, saved);
  DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  EndPaint(Handle(), &ps);
  return 0;
}
