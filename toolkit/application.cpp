// The application record (see application.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/application.h"

#include "toolkit/logic/os_level.h"

namespace {

int QueryOsLevel() {
  // GetVersionExW reports what the manifest's supportedOS entries allow; the
  // level only distinguishes systems older than Vista, so that is enough.
  OSVERSIONINFOEXW ex{};
  ex.dwOSVersionInfoSize = sizeof(ex);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex))) {
    return toolkit::OsLevelFromVersion(ex.dwPlatformId == VER_PLATFORM_WIN32_NT, ex.dwMajorVersion,
                                       ex.dwMinorVersion);
  }
  OSVERSIONINFOW basic{};
  basic.dwOSVersionInfoSize = sizeof(basic);
  if (!GetVersionExW(&basic)) return 0;
  return toolkit::OsLevelFromVersion(basic.dwPlatformId == VER_PLATFORM_WIN32_NT,
                                     basic.dwMajorVersion, basic.dwMinorVersion);
}

}  // namespace

CApplication::CApplication() : instance_(GetModuleHandleW(nullptr)), os_level_(QueryOsLevel()) {}

CApplication& CApplication::Get() {
  static CApplication app;
  return app;
}

CWindow* CApplication::Lookup(HWND hwnd) const {
  AcquireSRWLockShared(&lock_);
  const auto it = windows_.find(hwnd);
  CWindow* window = it == windows_.end() ? nullptr : it->second;
  ReleaseSRWLockShared(&lock_);
  return window;
}

void CApplication::Register(HWND hwnd, CWindow* window) {
  AcquireSRWLockExclusive(&lock_);
  windows_[hwnd] = window;
  ReleaseSRWLockExclusive(&lock_);
}

void CApplication::Unregister(HWND hwnd, const CWindow* window) {
  AcquireSRWLockExclusive(&lock_);
  const auto it = windows_.find(hwnd);
  if (it != windows_.end() && it->second == window) windows_.erase(it);
  ReleaseSRWLockExclusive(&lock_);
}
