// Main window message rules (see frame_rules.h).
// Tested by tests/app/logic/app_logic_test.cpp.
#include "app/logic/frame_rules.h"

namespace app {

TrayAction TrayActionFor(std::uint32_t mouse_message) {
  constexpr std::uint32_t kLeftButtonDown = 0x0201;   // WM_LBUTTONDOWN
  constexpr std::uint32_t kRightButtonDown = 0x0204;  // WM_RBUTTONDOWN
  switch (mouse_message) {
    case kLeftButtonDown: return TrayAction::kRestore;
    case kRightButtonDown: return TrayAction::kMenu;
    default: return TrayAction::kNone;
  }
}

bool CShutdownGuard::Begin(bool session_end, bool ending) {
  if (done_ || (session_end && !ending)) return false;
  done_ = true;
  return true;
}

}  // namespace app
