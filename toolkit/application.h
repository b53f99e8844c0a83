// The application record, one per process: the module instance handle, the OS
// level, and the map from window handles to the CWindow objects bound to them.
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
#include <windows.h>

#include <unordered_map>

class CWindow;

class CApplication {
 public:
  static CApplication& Get();

  // The module whose resources the toolkit loads (icons, bitmaps, strings);
  // the process's executable unless set.
  HINSTANCE Instance() const { return instance_; }
  void SetInstance(HINSTANCE instance) { instance_ = instance; }

  // 4 for Windows Vista and later, 3 for 5.2, 2 for XP, else 0.
  int OsLevel() const { return os_level_; }
  // Lets tests exercise the code paths of older systems.
  void SetOsLevel(int level) { os_level_ = level; }

  CWindow* Lookup(HWND hwnd) const;
  void Register(HWND hwnd, CWindow* window);
  // Removes the entry only while it still names `window`.
  void Unregister(HWND hwnd, const CWindow* window);

 private:
  CApplication();

  HINSTANCE instance_;
  int os_level_;
  // Guarded by lock_: a message box asked from a search worker thread binds
  // its dialog on that thread while the user-interface thread routes its own
  // windows' messages.
  std::unordered_map<HWND, CWindow*> windows_;
  mutable SRWLOCK lock_ = SRWLOCK_INIT;
};
