// The anchored layout of dialog children: each registered child keeps its
// distance to the client edges its anchor flags name (toolkit::AnchorFlags)
// when the dialog is resized.
// Tested by tests/toolkit/toolkit_gui_test.cpp; the arithmetic by
// tests/toolkit/toolkit_logic_test.cpp.
#pragma once
#include <windows.h>

#include <vector>

#include "toolkit/logic/anchor_layout.h"

class CAnchoredLayout {
 public:
  void SetParent(HWND parent) { parent_ = parent; }
  // Registers a child with its current rectangle in client coordinates.
  void Add(HWND child, unsigned flags);
  void Add(int child_id, unsigned flags) { Add(GetDlgItem(parent_, child_id), flags); }
  // Moves the children for the parent's current client size (on WM_SIZE),
  // repainting them.
  void Update();
  void Clear() { entries_.clear(); }

 private:
  struct Entry {
    HWND child;
    unsigned flags;
    toolkit::LayoutRect rect;    // when registered
    toolkit::LayoutRect client;  // the parent's client area then
  };

  toolkit::LayoutRect ClientRect() const;

  HWND parent_ = nullptr;
  std::vector<Entry> entries_;
  toolkit::LayoutRect last_client_;
};
