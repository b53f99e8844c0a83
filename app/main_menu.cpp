// The main window's menus (see main_menu.h).
#include "app/main_menu.h"

#include <cwctype>

#include "app/logic/app_text.h"
#include "ui/logic/control_ids.h"
#include "ui/ui_win.h"

namespace {

struct Item {
  UINT command;  // 0: a separator
  UINT text;
  wchar_t key;
  const wchar_t* shortcut;
};

HMENU Popup(std::initializer_list<Item> items) {
  HMENU menu = CreatePopupMenu();
  for (const Item& item : items) {
    if (item.command == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING, item.command,
                  MenuText(item.text, item.key, item.shortcut).c_str());
    }
  }
  return menu;
}

void AddPopup(HMENU bar, UINT text, wchar_t key, HMENU popup) {
  AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
              MenuText(text, key).c_str());
}

}  // namespace

std::wstring MenuText(UINT id, wchar_t key, const wchar_t* shortcut) {
  std::wstring text = ui::LoadUiString(id);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::towlower(text[i]) == std::towlower(key)) {
      text.insert(i, 1, L'&');
      break;
    }
  }
  if (shortcut) text += std::wstring(L"\t") + shortcut;
  return text;
}

HMENU BuildMainMenu() {
  HMENU bar = CreateMenu();
  AddPopup(bar, app::IDS_MENU_FILE, L'F', Popup({{IDM_FILE_EXIT, app::IDS_MENU_EXIT, L'x', nullptr}}));
  AddPopup(bar, app::IDS_MENU_EDIT, L'E',
           Popup({{IDM_CUT, app::IDS_MENU_CUT, L't', L"Ctrl+X"},
                  {IDM_COPY, app::IDS_MENU_COPY, L'C', L"Ctrl+C"},
                  {IDM_DELETE, app::IDS_MENU_DELETE, L'D', L"Del"},
                  {0, 0, 0, nullptr},
                  {IDM_SELECT_ALL, app::IDS_MENU_SELECT_ALL, L'A', L"Ctrl+A"},
                  {IDM_COPY_FILE_NAME, app::IDS_MENU_COPY_FILE_NAME, L'N', nullptr}}));
  AddPopup(bar, app::IDS_MENU_VIEW, L'V',
           Popup({{IDM_VIEW_ADVANCED, app::IDS_MENU_ADVANCED, L'A', nullptr},
                  {IDM_VIEW_FILTER_BAR, app::IDS_MENU_FILTER_BAR, L'F', nullptr}}));
  AddPopup(bar, app::IDS_MENU_PAGES, L'P',
           Popup({{IDM_PAGES_NEW, app::IDS_MENU_NEW_PAGE, L'N', L"Ctrl+F"},
                  {IDM_PAGES_DUPLICATE, app::IDS_MENU_DUPLICATE_PAGE, L'D', nullptr},
                  {IDM_PAGES_CLOSE, app::IDS_MENU_CLOSE_PAGE, L'C', L"Shift+Esc"},
                  {0, 0, 0, nullptr},
                  {IDM_PAGES_NEXT, app::IDS_MENU_NEXT_PAGE, L'x', L"Ctrl+Tab"},
                  {IDM_PAGES_PREVIOUS, app::IDS_MENU_PREVIOUS_PAGE, L'P', L"Ctrl+Shift+Tab"}}));
  AddPopup(bar, app::IDS_MENU_TOOLS, L'T',
           Popup({{IDM_TOOLS_OPTIONS, app::IDS_MENU_OPTIONS, L'O', nullptr}}));
  AddPopup(bar, app::IDS_MENU_HELP, L'H',
           Popup({{IDM_HELP_TOPICS, app::IDS_MENU_HELP_TOPICS, L'H', L"F1"},
                  {0, 0, 0, nullptr},
                  {IDM_HELP_ABOUT, app::IDS_MENU_ABOUT, L'A', nullptr}}));
  return bar;
}

HMENU BuildTabMenu() {
  return Popup({{IDM_TAB_CLOSE, app::IDS_MENU_TAB_CLOSE, L'C', nullptr},
                {IDM_TAB_CLOSE_OTHERS, app::IDS_MENU_TAB_CLOSE_OTHERS, L'O', nullptr},
                {IDM_TAB_RENAME, app::IDS_MENU_TAB_RENAME, L'R', nullptr},
                {IDM_TAB_DUPLICATE, app::IDS_MENU_TAB_DUPLICATE, L'D', nullptr},
                {0, 0, 0, nullptr},
                {IDM_TAB_NEW, app::IDS_MENU_NEW_PAGE, L'N', nullptr}});
}
