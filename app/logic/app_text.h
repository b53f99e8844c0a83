// The frame's texts by id, from the one list that also builds the .rc string
// table (app_strings.h), for portable code and native tests.
// Tested by tests/app/logic/app_logic_test.cpp.
#pragma once
#include <string_view>

#include "app/logic/app_strings.h"

namespace app {

enum AppStringId : int {
#define VARNEL_APP_STRING_ENUM(name, id, text) name = id,
  VARNEL_APP_STRINGS(VARNEL_APP_STRING_ENUM)
#undef VARNEL_APP_STRING_ENUM
};

// The text of `id`; empty for an id the list does not hold.
std::u16string_view AppText(int id);

}  // namespace app
