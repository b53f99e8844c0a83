// CListControl: the list view base of the result lists. Double-buffered where
// the system supports it; columns are never narrower than 20 pixels.
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
#include "toolkit/window.h"

class CListControl : public CWindow {
 public:
  static constexpr int kMinColumnWidth = 20;

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void OnNotify(NMHDR* header, LRESULT* result) override;
  void OnAttached() override;

 private:
  // Below OS level 2 (no double buffering): paints the background outside
  // the items itself so that they do not flicker.
  LRESULT PaintWithoutFlicker();
};
