// CDateTimeControl: a date picker painted without flicker, its background in
// the window colour when enabled and the button face colour when disabled.
// Tested by tests/toolkit/toolkit_gui_test.cpp (control gallery).
#pragma once
#include "toolkit/window.h"

class CDateTimeControl : public CWindow {
 public:
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
};
