// Flat button state machine (see flat_button_model.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/flat_button_model.h"

namespace toolkit {

void FlatButtonModel::SetState(int state) {
  const int states = has_second_icon_ ? 3 : 2;
  state_ = (state < 0 || state >= states) ? 0 : state;
}

int FlatButtonModel::Next(int state) const {
  if (state == 0) return 1;
  if (state == 1 && has_second_icon_) return 2;
  return 0;
}

bool FlatButtonModel::OnClick() {
  if (!enabled_) return false;
  if (toggle_) state_ = Next(state_);
  return true;
}

bool FlatButtonModel::OnDoubleClick() {
  if (!enabled_) return false;
  // The first click of the pair has already advanced the state; the double
  // click adds one step only on a three-state button.
  if (toggle_ && has_second_icon_) state_ = (state_ + 1) % 3;
  return true;
}

}  // namespace toolkit
