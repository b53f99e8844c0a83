// CToolTipControl: a topmost "tooltips_class32" window whose tools ask for
// their text by callback (TTN_GETDISPINFOW, reflected to the tool's control).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
#include "toolkit/window.h"

class CToolTipControl : public CWindow {
 public:
  [[nodiscard]] bool Create(HWND owner);
  // Adds `tool` as a tool whose text is asked of `notify_window` (the window
  // that receives TTN_GETDISPINFOW); the tool's application value names
  // `tool`, so the shared procedures reflect the request to its object.
  // `subclass` lets the tooltip watch the tool's mouse messages itself;
  // otherwise the tool relays them (RelayEvent).
  [[nodiscard]] bool AddTool(HWND tool, HWND notify_window, bool subclass);
  void Activate(bool active);
  void RelayEvent(const MSG& msg);
};
