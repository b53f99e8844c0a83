// The history drop-down of a criteria edit: a popup menu of the field's
// history, newest first, opened at the mouse; the chosen entry replaces the
// edit's text.
// Tested by tests/ui/ui_gui_test.cpp.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ui {

// The menu of `entries` (commands 1, 2, ...); the caller destroys it.
HMENU BuildHistoryMenu(const std::vector<std::u16string>& entries);
// Shows the menu at the mouse position; on a choice sets `edit`'s text to the
// whole entry and returns true.
bool ShowHistoryMenu(HWND owner, HWND edit, const std::vector<std::u16string>& entries);

}  // namespace ui
