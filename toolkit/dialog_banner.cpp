// The dialog banner (see dialog_banner.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp (control gallery).
#include "toolkit/dialog_banner.h"

#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/logic/banner_geometry.h"

namespace {

void DrawBackground(HWND dialog, HDC dc, int height) {
  HBITMAP strip = static_cast<HBITMAP>(LoadImageW(CApplication::Get().Instance(),
                                                  MAKEINTRESOURCEW(kBannerBitmapId), IMAGE_BITMAP,
                                                  0, 0, LR_DEFAULTCOLOR));
  if (!strip) return;
  RECT client{};
  GetClientRect(dialog, &client);
  BITMAP info{};
  GetObjectW(strip, sizeof(info), &info);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, strip);
  // The strip is drawn for 96 DPI; stretched to the banner's height.
  for (int x = 0; x < client.right; ++x) {
    StretchBlt(dc, x, 0, 1, height, memory, 0, 0, 1, info.bmHeight, SRCCOPY);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(strip);
}

}  // namespace

void DrawDialogBanner(HWND dialog, HDC dc, const std::wstring& title, const std::wstring& subtitle,
                      UINT icon_id) {
  HFONT dialog_font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (!dialog_font) dialog_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW lf{};
  GetObjectW(dialog_font, sizeof(lf), &lf);
  HGDIOBJ old_font = SelectObject(dc, dialog_font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int dpi = toolkit::WindowDpi(dialog);
  const toolkit::BannerGeometry g = toolkit::ComputeBannerGeometry(lf.lfHeight, tm.tmHeight, dpi);

  DrawBackground(dialog, dc, g.height);
  // The icon's default size at the window's DPI.
  const int icon_size = toolkit::SystemMetricForDpi(SM_CXICON, dpi);
  if (HICON icon =
          static_cast<HICON>(LoadImageW(CApplication::Get().Instance(), MAKEINTRESOURCEW(icon_id),
                                        IMAGE_ICON, icon_size, icon_size, LR_DEFAULTCOLOR))) {
    DrawIconEx(dc, g.icon_x, g.icon_y, icon, icon_size, icon_size, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
  }

  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_color = SetTextColor(dc, RGB(255, 255, 255));
  LOGFONTW title_lf = lf;
  title_lf.lfHeight = g.title_font_height;
  title_lf.lfWeight = g.title_weight;
  HFONT title_font = CreateFontIndirectW(&title_lf);
  SelectObject(dc, title_font);
  TextOutW(dc, g.title_x, g.title_y, title.c_str(), static_cast<int>(title.size()));
  SelectObject(dc, dialog_font);
  TextOutW(dc, g.subtitle_x, g.subtitle_y, subtitle.c_str(), static_cast<int>(subtitle.size()));

  SetTextColor(dc, old_color);
  SetBkMode(dc, old_mode);
  SelectObject(dc, old_font);
  DeleteObject(title_font);
}
