// CTrayIcon: the program's icon in the notification area, its tooltip, the
// balloon a page shows when a search ends out of sight, and its menu.
#pragma once
// <windows.h> comes first.
// clang-format off
#include <windows.h>
// clang-format on

#include <string>

class CTrayIcon {
 public:
  ~CTrayIcon() { Remove(); }

  // Adds the icon (id 1) whose clicks arrive at `window` as `callback`
  // messages; false when the shell refused it.
  [[nodiscard]] bool Add(HWND window, UINT callback, HICON icon, const std::wstring& tip);
  void Remove();
  bool Added() const { return window_ != nullptr; }
  // Information icon, `timeout_ms` (the shell may shorten it).
  void ShowBalloon(const std::wstring& title, const std::wstring& text, UINT timeout_ms);
  // The Restore / Exit menu at the cursor; returns the chosen command or 0.
  UINT TrackMenu(UINT restore_id, const std::wstring& restore, UINT exit_id,
                 const std::wstring& exit) const;

 private:
  HWND window_ = nullptr;
};
