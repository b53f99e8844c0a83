// CFlatButton: an owner-drawn icon button used as a toggle or a three-state
// switch; clicks, and the space bar when it has the focus, are posted to its
// notify window as WM_FLATBUTTON_CLICKED. It is a tab stop and draws the
// system focus rectangle; its icon and frame follow the window's DPI.
// Tested by tests/toolkit/toolkit_gui_test.cpp; its states and colours by
// tests/toolkit/toolkit_logic_test.cpp.
#pragma once
#include "toolkit/logic/flat_button_model.h"
#include "toolkit/window.h"

class CFlatButton : public CWindow {
 public:
  ~CFlatButton() override;

  bool IsEnabled() const override { return model_.Enabled(); }
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void OnAttached() override;

  // Where clicks are posted; the parent unless set.
  void SetNotifyWindow(HWND window) { notify_window_ = window; }
  // Loads the main icon, 16 x 16 at 96 DPI, from the application's resources.
  [[nodiscard]] bool SetIcon(UINT resource_id);
  // A second icon makes the button a three-state switch; state 2 shows it.
  [[nodiscard]] bool SetSecondIcon(UINT resource_id);
  void SetToggle(bool toggle) { model_.SetToggle(toggle); }

  // The flag is the button's own: the window stays enabled so that it keeps
  // tracking the mouse; a disabled button draws greyed and ignores clicks.
  void SetEnabled(bool enabled);
  void SetState(int state);
  // The three-state value; 0 while disabled.
  int GetState() const { return model_.Value(); }
  bool GetCheck() const { return model_.Value() != 0; }

  // Draws at `dpi` from now on. Called on WM_DPICHANGED_AFTERPARENT with the
  // window's new DPI; a parent that handles WM_DPICHANGED itself may call it.
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }

 private:
  void Paint(HDC dc);
  void OnMouseMove(LPARAM lparam);
  LRESULT OnKey(UINT msg, WPARAM wparam, LPARAM lparam);
  void Redraw() { InvalidateRect(Handle(), nullptr, FALSE); }
  void NotifyClicked();
  [[nodiscard]] bool LoadIcons();

  HWND notify_window_ = nullptr;
  UINT icon_id_ = 0;
  UINT second_icon_id_ = 0;
  HICON icon_ = nullptr;
  HICON second_icon_ = nullptr;
  int dpi_ = 96;
  toolkit::FlatButtonModel model_;  // state, toggle mode and enabled flag
  bool hover_ = false;
  bool pressed_ = false;
};
