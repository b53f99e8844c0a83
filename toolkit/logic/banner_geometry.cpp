// Dialog banner geometry (see banner_geometry.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/banner_geometry.h"

namespace toolkit {

BannerGeometry ComputeBannerGeometry(int font_height, int text_height) {
  BannerGeometry g;
  // Scaled in tenths so that the result does not depend on floating-point
  // rounding; truncation toward zero keeps negative heights symmetric.
  g.title_font_height = font_height * 13 / 10;
  g.subtitle_y = g.title_y + text_height * 3 / 2;
  return g;
}

}  // namespace toolkit
