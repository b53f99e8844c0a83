// The main window's menus, built from the string table so that each text
// exists once: the main menu, the tab strip's menu, and menu texts with an
// access key and a shortcut.
#pragma once
// <windows.h> comes first.
// clang-format off
#include <windows.h>
// clang-format on

#include <string>

// The text of string `id` with `key` (its first occurrence, either case)
// marked as the access key, and `shortcut` after a tab when given.
std::wstring MenuText(UINT id, wchar_t key, const wchar_t* shortcut = nullptr);
HMENU BuildMainMenu();
HMENU BuildTabMenu();
