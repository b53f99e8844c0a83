// The coarse OS level the controls consult (double-buffered list views need
// level 2): derived from the reported Windows version.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once

namespace toolkit {

// NT platform only (0 otherwise): major 6 or more gives 4; 5.2 gives 3;
// 5.1 gives 2; 5.0 and below give 0.
int OsLevelFromVersion(bool nt_platform, unsigned major, unsigned minor);

}  // namespace toolkit
