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

void FlatButtonModel::OnSpaceDown() {
  if (enabled_) space_held_ = true;
}

bool FlatButtonModel::OnSpaceUp() {
  if (!space_held_) return false;
  space_held_ = false;
  return OnClick();
}

namespace {

constexpr unsigned kGrey = 0x808080u, kWhite = 0xFFFFFFu;
// Below this difference of luma from the face, white does not show.
constexpr int kMinContrast = 40;

int Channel(unsigned color, int shift) { return static_cast<int>((color >> shift) & 0xFFu); }

int Luma(unsigned color) {
  return (299 * Channel(color, 0) + 587 * Channel(color, 8) + 114 * Channel(color, 16)) / 1000;
}

// Two thirds of `a` and one third of `b`, channel by channel.
unsigned Blend(unsigned a, unsigned b) {
  unsigned out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    out |= static_cast<unsigned>((2 * Channel(a, shift) + Channel(b, shift)) / 3) << shift;
  }
  return out;
}

}  // namespace

FlatButtonLook ChooseFlatButtonLook(bool enabled, bool hover, bool pressed, int state,
                                    unsigned face) {
  FlatButtonLook look;
  look.fill = face;
  look.frame = enabled && (hover || pressed || state != 0);
  if (!look.frame) return look;
  const bool sunken = pressed || state != 0;
  if (Luma(kWhite) - Luma(face) < kMinContrast) {
    look.top_left = look.bottom_right = kGrey;
    if (sunken) look.fill = Blend(face, kGrey);
    return look;
  }
  look.top_left = sunken ? kGrey : kWhite;
  look.bottom_right = sunken ? kWhite : kGrey;
  return look;
}

}  // namespace toolkit
