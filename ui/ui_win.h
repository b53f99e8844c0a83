// Helpers the search page's Win32 views share: text across the boundary
// between the portable logic (char16_t) and the API (wchar_t), string-table
// texts, and the warning box of a refused criterion.
// Tested by tests/ui/ui_gui_test.cpp.
#pragma once
// <windows.h> comes first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>
#include <string_view>
#include <utility>

namespace ui {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is 16 bits");

inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}
inline std::u16string Utf16(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

// A text of the application's string table; empty when missing.
std::wstring LoadUiString(UINT id);
// Sets control texts from the string table: {control id, string id}.
void SetControlTexts(HWND dialog, std::initializer_list<std::pair<int, UINT>> texts);
std::wstring WindowText(HWND window);
void SetCueText(HWND edit, UINT string_id);
// A refused criterion: a warning box captioned with the product name.
void ShowCriteriaWarning(HWND owner, std::u16string_view message);
// Runs the folder browser (file-system folders only) owned by `owner`,
// preselecting `start` when not empty; empty when nothing was chosen.
std::wstring BrowseForFolder(HWND owner, const std::wstring& start);

}  // namespace ui
