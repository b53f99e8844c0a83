// OS level from the Windows version (see os_level.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/os_level.h"

namespace toolkit {

int OsLevelFromVersion(bool nt_platform, unsigned major, unsigned minor) {
  if (!nt_platform) return 0;
  if (major >= 6) return 4;
  if (major == 5 && minor >= 2) return 3;
  if (major == 5 && minor == 1) return 2;
  return 0;
}

}  // namespace toolkit
