// Anchored layout arithmetic (see anchor_layout.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/anchor_layout.h"

namespace toolkit {
namespace {

// Moves the edges [low, high] along one axis for a change `delta` of the
// client's far edge, by the near/far anchor flags of that axis.
void AnchorAxis(int& low, int& high, bool near_anchor, bool far_anchor, int delta) {
  if (near_anchor && far_anchor) {
    high += delta;
  } else if (far_anchor) {
    low += delta;
    high += delta;
  } else if (!near_anchor) {
    low += delta / 2;
    high += delta / 2;
  }
}

}  // namespace

LayoutRect AnchorChild(const LayoutRect& child, unsigned flags, const LayoutRect& registered_client,
                       const LayoutRect& client) {
  LayoutRect r = child;
  AnchorAxis(r.left, r.right, flags & kAnchorLeft, flags & kAnchorRight,
             client.right - registered_client.right);
  AnchorAxis(r.top, r.bottom, flags & kAnchorTop, flags & kAnchorBottom,
             client.bottom - registered_client.bottom);
  if (flags & kPinTop) r.top = client.top;
  if (flags & kPinLeft) r.left = client.left;
  if (flags & kPinRight) r.right = client.right;
  if (flags & kPinBottom) r.bottom = client.bottom;
  return r;
}

}  // namespace toolkit
