// Dialog banner geometry (see banner_geometry.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/banner_geometry.h"

#include <initializer_list>

#include "toolkit/logic/dpi_scale.h"

namespace toolkit {

BannerGeometry ComputeBannerGeometry(int font_height, int text_height, int dpi) {
  BannerGeometry g;
  for (int* measure : {&g.height, &g.icon_x, &g.icon_y, &g.title_x, &g.title_y, &g.subtitle_x}) {
    *measure = ScaleForDpi(*measure, dpi);
  }
  // Scaled in tenths so that the result does not depend on floating-point
  // rounding; truncation toward zero keeps negative heights symmetric.
  g.title_font_height = font_height * 13 / 10;
  g.subtitle_y = g.title_y + text_height * 3 / 2;
  return g;
}

}  // namespace toolkit
