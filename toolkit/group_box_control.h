// CGroupBoxControl: a group box that fills its area without painting over the
// controls inside it.
// Tested by tests/toolkit/toolkit_gui_test.cpp (control gallery).
#pragma once
#include "toolkit/window.h"

class CGroupBoxControl : public CWindow {
 public:
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void Paint();
};
