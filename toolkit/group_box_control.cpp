// CGroupBoxControl (see group_box_control.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp (control gallery).
#include "toolkit/group_box_control.h"

LRESULT CGroupBoxControl::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_PAINT) {
    Paint();
    return 0;
  }
  return DefaultProc(msg, wparam, lparam);
}

void CGroupBoxControl::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  RECT box{};
  GetClientRect(Handle(), &box);
  // The siblings inside the box are left out of the clip region for the fill
  // and for the frame and caption that the button class draws next.
  const HWND parent = GetParent(Handle());
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (child == Handle() || !IsWindowVisible(child)) continue;
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    RECT overlap{};
    if (IntersectRect(&overlap, &r, &box)) {
      ExcludeClipRect(dc, overlap.left, overlap.top, overlap.right, overlap.bottom);
    }
  }
  FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
  DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  EndPaint(Handle(), &ps);
}
