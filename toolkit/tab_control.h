// CTabControl: the main window's page tabs. Double-buffered painting, tabs
// reordered by dragging, and a middle click that asks the parent to close a
// tab (WM_TAB_MIDDLECLICK) when more than one is open.
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
#include "toolkit/window.h"

class CTabControl : public CWindow {
 public:
  // The cursor shown while a tab is dragged; none keeps the current one.
  void SetDragCursor(HCURSOR cursor) { drag_cursor_ = cursor; }
  int TabCount() const { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
  // The tab at a point in client coordinates, or -1.
  int TabAt(POINT client_point) const;
  // Moves tab `from` to index `to` with its text, image and application
  // value; the selection stays on the tab it was on.
  [[nodiscard]] bool MoveTab(int from, int to);

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void PaintBuffered();
  void OnLeftButtonDown(LPARAM lparam);
  void EndDrag();

  HCURSOR drag_cursor_ = nullptr;
  int drag_index_ = -1;
};
