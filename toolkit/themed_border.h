// The themed edit border for controls that draw no visual-style border of
// their own (the preview's rich edit). The visual-style functions are loaded
// from UxTheme.dll on first use; without them, or under a classic appearance,
// the control keeps its ordinary border.
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
#include <windows.h>

#include <optional>

class CThemedBorder {
 public:
  // True when UxTheme.dll provides every function the border needs.
  static bool Available();
  // True when the functions are available and a theme is active.
  static bool ThemeActive();
  // Gives the control the themed border from now on (once per control);
  // false when the functions are missing.
  static bool Apply(HWND control);
  // Whether the control's classic border is currently replaced.
  static bool Replaced(HWND control);
  // Makes the border logic see a theme as active or not, whatever the
  // system says (nullopt: ask the system); for tests of both appearances.
  static void SetThemeActiveForTesting(std::optional<bool> active);
};
