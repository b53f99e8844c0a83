// Small rules of the main window's messages: the shutdown that runs once,
// the tray icon's clicks, and the private message numbers.
// Tested by tests/app/logic/app_logic_test.cpp.
#pragma once
#include <cstdint>

namespace app {

// WM_USER + 1: another instance asks the window to show itself.
inline constexpr unsigned kWmShowInstance = 0x400 + 1;
// WM_USER + 10: the tray icon's callback; lParam holds the mouse message.
inline constexpr unsigned kWmTrayCallback = 0x400 + 10;

enum class TrayAction { kNone, kRestore, kMenu };
// Left button down restores the window, right button down shows the menu.
TrayAction TrayActionFor(std::uint32_t mouse_message);

// The shutdown sequence is reached by WM_ENDSESSION and by WM_DESTROY; it
// runs once, and not for a WM_ENDSESSION that says the session goes on.
class CShutdownGuard {
 public:
  // `session_end`: the message is WM_ENDSESSION, `ending` its wParam.
  [[nodiscard]] bool Begin(bool session_end, bool ending);
  bool Done() const { return done_; }

 private:
  bool done_ = false;
};

}  // namespace app
