// The message pump the search page's GUI tests share: run what is queued,
// or run until a condition holds within a bound.
#pragma once
#include <windows.h>

#include <functional>

namespace ui_test {

// Upper bound for anything a test waits for; reaching it is a failure.
inline constexpr DWORD kPumpLimitMs = 60000;

inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Pumps until `done` holds; false when the bound passed first.
inline bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > kPumpLimitMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
  return true;
}

}  // namespace ui_test
