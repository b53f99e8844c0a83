// The DPI a window is drawn at, and the DPI-dependent system values the
// controls need. The per-monitor functions of Windows 10 are loaded at run
// time; where they are missing the system DPI stands in for every window.
// Tested by tests/toolkit/toolkit_gui_test.cpp; the arithmetic by
// tests/toolkit/toolkit_logic_test.cpp (logic/dpi_scale.h).
#pragma once
#include <windows.h>

namespace toolkit {

// GetDpiForWindow where it exists and answers, else the system DPI.
int WindowDpi(HWND window);
// LOGPIXELSY of the screen: the DPI of a process that is not per-monitor
// aware, and of every window where the per-monitor functions are missing.
int SystemDpi();
// GetSystemMetricsForDpi, or the system value scaled from the system DPI.
int SystemMetricForDpi(int index, int dpi);
// The system's message font (the one of message boxes) at `dpi`; the caller
// deletes it.
HFONT CreateMessageFontForDpi(int dpi);
// AdjustWindowRectExForDpi, or AdjustWindowRectEx where it is missing.
void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD ex_style, int dpi);
// A dialog that lays itself out again on WM_DPICHANGED must keep Windows
// from rescaling its font and controls as well (SetDialogDpiChangeBehavior,
// where it exists).
void KeepDialogFromRescaling(HWND dialog);

// Makes the functions above ignore the per-monitor functions, so that tests
// run the system-DPI path on a system that has them.
void UsePerMonitorDpiForTesting(bool use);

}  // namespace toolkit
