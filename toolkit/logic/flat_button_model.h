// The state machine of the flat icon button: its value (0, 1, 2), how clicks
// advance it, and what a disabled button reads as.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once

namespace toolkit {

class FlatButtonModel {
 public:
  // A button with a second icon is a three-state switch (0, 1, 2); one
  // without is a toggle (0, 1). Outside toggle mode clicks only notify.
  void SetToggle(bool toggle) { toggle_ = toggle; }
  void SetHasSecondIcon(bool has_second) { has_second_icon_ = has_second; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }

  // Sets the value, folded into the range the button can show.
  void SetState(int state);
  // The value as drawn, also while disabled.
  int State() const { return state_; }
  // The value callers read: 0 while the button is disabled.
  int Value() const { return enabled_ ? state_ : 0; }

  // A left-button release after a press on the button. True when the click
  // must be reported to the notify window.
  [[nodiscard]] bool OnClick();
  // A left-button double click. True when it must be reported.
  [[nodiscard]] bool OnDoubleClick();

 private:
  int Next(int state) const;

  int state_ = 0;
  bool toggle_ = true;
  bool has_second_icon_ = false;
  bool enabled_ = true;
};

}  // namespace toolkit
