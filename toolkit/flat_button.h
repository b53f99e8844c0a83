// CFlatButton: an owner-drawn icon button used as a toggle or a three-state
// switch; clicks are posted to its notify window as WM_FLATBUTTON_CLICKED.
// Tested by tests/toolkit/toolkit_gui_test.cpp; its states by
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
  // Loads the main icon, 16 x 16, from the application's resources.
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

 private:
  void Paint(HDC dc);
  void OnMouseMove(LPARAM lparam);
  void Redraw() { InvalidateRect(Handle(), nullptr, FALSE); }
  void NotifyClicked();

  HWND notify_window_ = nullptr;
  HICON icon_ = nullptr;
  HICON second_icon_ = nullptr;
  toolkit::FlatButtonModel model_;  // state, toggle mode and enabled flag
  bool hover_ = false;
  bool pressed_ = false;
};
