// CButtonedEdit: an edit control with small buttons at its right end, in the
// non-client area. A click posts WM_COMMAND with the button's command id to
// the parent; each button has a tooltip. Widths and icons follow the
// window's DPI.
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
#include <string>
#include <vector>

#include "toolkit/tooltip_control.h"
#include "toolkit/window.h"

class CButtonedEdit : public CWindow {
 public:
  ~CButtonedEdit() override;

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void OnReflectedNotify(NMHDR* header, LRESULT* result) override;
  void OnAttached() override;

  // Adds a button; icons are 16 x 16 resources at 96 DPI (0: none; the hot
  // icon is shown while the mouse is over the button); `width` is 14 or 16
  // pixels at 96 DPI, widened to the icon's size where it is narrower.
  void AddButton(UINT command, UINT icon_id, UINT hot_icon_id, int width, std::wstring tooltip);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  // The button's rectangle in screen coordinates.
  RECT ButtonScreenRect(int index) const;

  // Lays the buttons out at `dpi` from now on. Called on
  // WM_DPICHANGED_AFTERPARENT with the window's new DPI; a parent that
  // handles WM_DPICHANGED itself may call it.
  void SetDpi(int dpi);

 private:
  struct Button {
    UINT command = 0;
    UINT icon_id = 0;
    UINT hot_icon_id = 0;
    int width = 16;  // at 96 DPI, as asked for
    std::wstring tooltip;
    HICON icon = nullptr;
    HICON hot_icon = nullptr;
    bool pressed = false;
  };

  int ButtonWidth(const Button& b) const;
  int TotalWidth() const;
  void LoadIcons(Button& b) const;
  void RecalcFrame();
  // The button under a point in screen coordinates, or -1.
  int ButtonAt(POINT screen) const;
  RECT ButtonWindowRect(int index) const;
  void PaintButtons();
  void RedrawFrame();
  LRESULT OnNcButtonDown(UINT msg, WPARAM wparam, LPARAM lparam);
  void OnButtonUp(LPARAM lparam);
  void OnNcMouseMove(LPARAM lparam);

  std::vector<Button> buttons_;
  CToolTipControl tooltip_;
  int pressed_ = -1;
  int hot_ = -1;
  int dpi_ = 96;
};
