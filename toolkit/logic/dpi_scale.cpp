// DPI scaling of the toolkit's measures (see dpi_scale.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/dpi_scale.h"

#include <algorithm>

namespace toolkit {

namespace {

int MulDivRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

constexpr int kSmallIcon = 16;

}  // namespace

int ScaleForDpi(int value, int dpi) {
  return MulDivRounded(value, dpi > 0 ? dpi : kBaseDpi, kBaseDpi);
}

int FontHeightForDpi(int points, int dpi) {
  return -MulDivRounded(points, dpi > 0 ? dpi : kBaseDpi, 72);
}

int SmallIconSize(int dpi) { return ScaleForDpi(kSmallIcon, dpi); }

int EditButtonWidth(int width, bool has_icon, int dpi) {
  const int scaled = ScaleForDpi(width, dpi);
  return has_icon ? std::max(scaled, SmallIconSize(dpi)) : scaled;
}

}  // namespace toolkit
