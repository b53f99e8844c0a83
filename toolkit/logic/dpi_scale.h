// Measures of the toolkit at a given DPI: every size the controls and the
// message box use is given at 96 DPI and scaled here, so that a window laid
// out at 144 or 192 DPI keeps its proportions.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once

namespace toolkit {

inline constexpr int kBaseDpi = 96;

// `value` (pixels at 96 DPI) at `dpi`, rounded half away from zero. A DPI of
// 0 or less (an API that could not answer) counts as 96.
int ScaleForDpi(int value, int dpi);

// The LOGFONT height (negative: character height) of a font of `points`.
int FontHeightForDpi(int points, int dpi);

// Edge of the small icons that the flat and edit buttons draw.
int SmallIconSize(int dpi);

// Width of an edit button asked for as `width` pixels at 96 DPI: scaled, and
// never narrower than the icon it draws (a 14-pixel button with a 16-pixel
// icon would paint over its neighbours).
int EditButtonWidth(int width, bool has_icon, int dpi);

}  // namespace toolkit
