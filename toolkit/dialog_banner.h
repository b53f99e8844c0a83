// The banner across the top of the program's dialogs: a background strip, an
// icon, a bold white title and a white subtitle. Painted on WM_PAINT.
// Tested by tests/toolkit/toolkit_gui_test.cpp (control gallery); its
// geometry by tests/toolkit/toolkit_logic_test.cpp.
#pragma once
#include <windows.h>

#include <string>

// The background strip: bitmap resource 151, one pixel wide, 50 high.
inline constexpr UINT kBannerBitmapId = 151;
// Icons the banners use: the filter dialog's, and the folder and file-name
// list dialogs'.
inline constexpr UINT kBannerFilterIconId = 133;
inline constexpr UINT kBannerListIconId = 129;

// Paints the banner into `dc` with the dialog's font; resources come from the
// application's module.
void DrawDialogBanner(HWND dialog, HDC dc, const std::wstring& title, const std::wstring& subtitle,
                      UINT icon_id);
