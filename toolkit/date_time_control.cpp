// CDateTimeControl (see date_time_control.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp (control gallery).
#include "toolkit/date_time_control.h"

LRESULT CDateTimeControl::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return DefaultProc(msg, wparam, lparam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  RECT clip{};
  GetClipBox(dc, &clip);
  FillRect(dc, &clip, GetSysColorBrush(IsWindowEnabled(Handle()) ? COLOR_WINDOW : COLOR_BTNFACE));
  // The date picker paints into the device context passed in wParam.
  DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  EndPaint(Handle(), &ps);
  return 0;
}
