// Geometry of the banner painted across the top of the program's dialogs:
// where the icon, title and subtitle go and how large the title font is.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once

namespace toolkit {

struct BannerGeometry {
  int height = 50;  // the background strip, drawn one pixel column at a time
  int icon_x = 10;
  int icon_y = 10;
  int title_x = 50;
  int title_y = 8;
  int title_font_height = 0;  // a LOGFONT height: negative means character height
  int title_weight = 700;
  int subtitle_x = 52;
  int subtitle_y = 0;
};

// `font_height` is the dialog font's LOGFONT height, `text_height` its
// measured text height (tmHeight) in pixels. The title font is 1.3 times as
// high as the dialog font; the subtitle starts 1.5 text heights below y 8.
// The fixed measures above are at 96 DPI and scaled to `dpi`.
BannerGeometry ComputeBannerGeometry(int font_height, int text_height, int dpi = 96);

}  // namespace toolkit
