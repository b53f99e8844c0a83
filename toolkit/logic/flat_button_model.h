// The state machine of the flat icon button: its value (0, 1, 2), how clicks
// and the space bar advance it, what a disabled button reads as, and the
// colours of its frame.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once

namespace toolkit {

class FlatButtonModel {
 public:
  // A button with a second icon is a three-state switch (0, 1, 2); one
  // without is a toggle (0, 1). Outside toggle mode clicks only notify.
  void SetToggle(bool toggle) { toggle_ = toggle; }
  void SetHasSecondIcon(bool has_second) { has_second_icon_ = has_second; }
  // Disabling also forgets a space bar held down.
  void SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) space_held_ = false;
  }
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
  // Space pressed and released: a click from the keyboard. Repeats of the
  // key while it is held do nothing. True when the release must be reported.
  void OnSpaceDown();
  [[nodiscard]] bool OnSpaceUp();
  bool SpaceHeld() const { return space_held_; }
  void CancelSpace() { space_held_ = false; }

 private:
  int Next(int state) const;

  int state_ = 0;
  bool toggle_ = true;
  bool has_second_icon_ = false;
  bool enabled_ = true;
  bool space_held_ = false;
};

// Colours as COLORREF values (0x00BBGGRR).
struct FlatButtonLook {
  bool frame = false;  // draw a one-pixel (at 96 DPI) frame
  unsigned fill = 0;
  unsigned top_left = 0;
  unsigned bottom_right = 0;
};

// How the button draws on a face of colour `face`: a frame while enabled and
// hovered, pressed or on; sunken (grey top and left, white bottom and right)
// when pressed or on, raised (the reverse) otherwise. On a light face the
// white edges would vanish, so the frame is grey all round and a pressed or
// on button is filled a shade darker than the face instead.
FlatButtonLook ChooseFlatButtonLook(bool enabled, bool hover, bool pressed, int state,
                                    unsigned face);

}  // namespace toolkit
