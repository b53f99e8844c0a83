// History drop-down menus (see history_menu.h).
// Tested by tests/ui/ui_gui_test.cpp.
#include "ui/history_menu.h"

#include "ui/logic/list_fields.h"
#include "ui/ui_win.h"

namespace ui {

HMENU BuildHistoryMenu(const std::vector<std::u16string>& entries) {
  HMENU menu = CreatePopupMenu();
  UINT command = 1;
  for (const std::u16string& entry : entries) {
    AppendMenuW(menu, MF_STRING, command++, Wide(HistoryMenuText(entry)).c_str());
  }
  return menu;
}

bool ShowHistoryMenu(HWND owner, HWND edit, const std::vector<std::u16string>& entries) {
  if (entries.empty()) return false;
  HMENU menu = BuildHistoryMenu(entries);
  POINT at{};
  GetCursorPos(&at);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RIGHTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
  DestroyMenu(menu);
  if (chosen == 0 || chosen > entries.size()) return false;
  SetWindowTextW(edit, Wide(entries[chosen - 1]).c_str());
  return true;
}

}  // namespace ui
