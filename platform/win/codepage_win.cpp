// What the ANSI code page is like (text.h).
#include <windows.h>

#include "platform/text.h"

namespace platform {

bool AnsiIsSingleByte() {
  CPINFO info{};
  return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}

}  // namespace platform
