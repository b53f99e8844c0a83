// Where a dialog child goes when the dialog's client area changes size: the
// arithmetic of the anchored layout, free of any window.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once

namespace toolkit {

struct LayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const LayoutRect&) const = default;
};

// Anchor flags of a child. Left and right together stretch the child with the
// client's width, right alone makes it follow the right edge, neither keeps it
// centred, left alone leaves it in place; top and bottom likewise vertically.
// The pin flags then set one edge to the client's edge.
enum AnchorFlags : unsigned {
  kAnchorTop = 0x1,
  kAnchorLeft = 0x2,
  kAnchorRight = 0x4,
  kAnchorBottom = 0x8,
  kPinTop = 0x100,
  kPinLeft = 0x200,
  kPinRight = 0x400,
  kPinBottom = 0x800,
};

// The rectangle of a child registered at `child` while the client area was
// `registered_client`, now that the client area is `client`. Computed from
// the registration state rather than step by step from the previous size:
// halving an odd change in each of many small live-resize steps would
// otherwise let centred children drift away from the centre.
LayoutRect AnchorChild(const LayoutRect& child, unsigned flags, const LayoutRect& registered_client,
                       const LayoutRect& client);

}  // namespace toolkit
