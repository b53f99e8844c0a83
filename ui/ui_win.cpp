// Shared helpers of the search page's views (see ui_win.h).
// Tested by tests/ui/ui_gui_test.cpp.
#include "ui/ui_win.h"

#include <shlobj.h>

#include <vector>

#include "toolkit/application.h"
#include "ui/logic/ui_text.h"

namespace ui {

namespace {

int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

}  // namespace

// Runs the folder browser owned by `owner`, preselecting `start` when not
// empty; empty when nothing was chosen. Shared with the folder list dialog.
std::wstring BrowseForFolder(HWND owner, const std::wstring& start) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  if (!start.empty()) {
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());
  }
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return {};
  wchar_t path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  return ok ? path : std::wstring();
}

std::wstring LoadUiString(UINT id) {
  // With a zero buffer size LoadStringW hands out a read-only pointer to the
  // resource text itself, which is not zero-terminated.
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(CApplication::Get().Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

void SetControlTexts(HWND dialog, std::initializer_list<std::pair<int, UINT>> texts) {
  for (const auto& [control, string_id] : texts) {
    SetDlgItemTextW(dialog, control, LoadUiString(string_id).c_str());
  }
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int copied = GetWindowTextW(window, buffer.data(), length + 1);
  return std::wstring(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void SetCueText(HWND edit, UINT string_id) {
  const std::wstring cue = LoadUiString(string_id);
  SendMessageW(edit, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(cue.c_str()));
}

void ShowCriteriaWarning(HWND owner, std::u16string_view message) {
  MessageBoxW(owner, Wide(message).c_str(), LoadUiString(IDS_UI_CAPTION).c_str(),
              MB_OK | MB_ICONWARNING);
}

}  // namespace ui
