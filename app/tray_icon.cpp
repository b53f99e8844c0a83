// The notification-area icon (see tray_icon.h).
#include "app/tray_icon.h"

#include <shellapi.h>

#include <cwchar>

namespace {

constexpr UINT kIconId = 1;

NOTIFYICONDATAW IconData(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = kIconId;
  return data;
}

// Copies at most the field's size less one, always terminated.
template <std::size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text) {
  std::wcsncpy(field, text.c_str(), N - 1);
  field[N - 1] = L'\0';
}

}  // namespace

bool CTrayIcon::Add(HWND window, UINT callback, HICON icon, const std::wstring& tip) {
  Remove();
  NOTIFYICONDATAW data = IconData(window);
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = callback;
  data.hIcon = icon;
  CopyField(data.szTip, tip);
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
  window_ = window;
  return true;
}

void CTrayIcon::Remove() {
  if (!window_) return;
  NOTIFYICONDATAW data = IconData(window_);
  Shell_NotifyIconW(NIM_DELETE, &data);
  window_ = nullptr;
}

void CTrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text,
                            UINT timeout_ms) {
  if (!window_) return;
  NOTIFYICONDATAW data = IconData(window_);
  data.uFlags = NIF_INFO;
  CopyField(data.szInfoTitle, title);
  CopyField(data.szInfo, text);  // at most 255 characters
  data.dwInfoFlags = NIIF_INFO;
  data.uTimeout = timeout_ms;
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

UINT CTrayIcon::TrackMenu(UINT restore_id, const std::wstring& restore, UINT exit_id,
                          const std::wstring& exit) const {
  HMENU menu = CreatePopupMenu();
  if (!menu) return 0;
  AppendMenuW(menu, MF_STRING, restore_id, restore.c_str());
  AppendMenuW(menu, MF_STRING, exit_id, exit.c_str());
  SetMenuDefaultItem(menu, restore_id, FALSE);
  POINT cursor{};
  GetCursorPos(&cursor);
  // The window must be in the foreground, or the menu does not close when
  // the user clicks elsewhere.
  SetForegroundWindow(window_);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window_, nullptr));
  PostMessageW(window_, WM_NULL, 0, 0);
  DestroyMenu(menu);
  return chosen;
}
