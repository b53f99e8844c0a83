// The search page's texts by id, from the one list that also builds the .rc
// string table (ui_strings.h), for portable code and native tests.
// Tested by tests/ui/ui_logic_test.cpp.
#pragma once
#include <string>
#include <string_view>

#include "ui/logic/ui_strings.h"

namespace ui {

enum UiStringId : int {
#define VARNEL_UI_STRING_ENUM(name, id, text) name = id,
  VARNEL_UI_STRINGS(VARNEL_UI_STRING_ENUM)
#undef VARNEL_UI_STRING_ENUM
};

// The text of `id`; empty for an id the list does not hold.
std::u16string_view UiText(int id);
// The text of `id` with its "%s" replaced by `argument`.
std::u16string UiFormat(int id, std::u16string_view argument);

}  // namespace ui
