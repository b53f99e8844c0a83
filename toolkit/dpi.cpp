// Window DPI and DPI-dependent system values (see dpi.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/dpi.h"

#include "toolkit/logic/dpi_scale.h"

namespace toolkit {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS,
                                                   DIALOG_DPI_CHANGE_BEHAVIORS);

bool g_use_per_monitor = true;

template <typename Fn>
Fn User32Function(const char* name) {
  // user32 is loaded in every process that has windows.
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

void UsePerMonitorDpiForTesting(bool use) { g_use_per_monitor = use; }

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
  static const auto get_dpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  // 0 for an invalid window, or a window of a process that is not aware.
  if (g_use_per_monitor && get_dpi && window) {
    if (const UINT dpi = get_dpi(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  static const auto metric = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (g_use_per_monitor && metric) return metric(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

HFONT CreateMessageFontForDpi(int dpi) {
  static const auto parameters =
      User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (g_use_per_monitor && parameters &&
      parameters(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
    return CreateFontIndirectW(&metrics.lfMessageFont);
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &metrics.lfMessageFont);
  }
  // The system values are at the system DPI.
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD ex_style, int dpi) {
  static const auto adjust = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  if (g_use_per_monitor && adjust && adjust(rect, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    return;
  }
  AdjustWindowRectEx(rect, style, FALSE, ex_style);
}

void KeepDialogFromRescaling(HWND dialog) {
  // Missing before Windows 10 1703, and in Wine.
  static const auto set_behavior =
      User32Function<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
  if (set_behavior) set_behavior(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

}  // namespace toolkit
