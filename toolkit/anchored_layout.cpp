// Anchored layout of dialog children (see anchored_layout.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/anchored_layout.h"

toolkit::LayoutRect CAnchoredLayout::ClientRect() const {
  RECT r{};
  GetClientRect(parent_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void CAnchoredLayout::Add(HWND child, unsigned flags) {
  if (!child) return;
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
  last_client_ = ClientRect();
  entries_.push_back({child, flags, {r.left, r.top, r.right, r.bottom}, last_client_});
}

void CAnchoredLayout::Update() {
  const toolkit::LayoutRect client = ClientRect();
  if (client == last_client_) return;
  last_client_ = client;
  for (const Entry& e : entries_) {
    const toolkit::LayoutRect r = toolkit::AnchorChild(e.rect, e.flags, e.client, client);
    MoveWindow(e.child, r.left, r.top, r.Width(), r.Height(), TRUE);
  }
}
