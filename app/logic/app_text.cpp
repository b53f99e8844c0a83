// The compiled text list (see app_text.h).
// Tested by tests/app/logic/app_logic_test.cpp.
#include "app/logic/app_text.h"

#include "ui/logic/text_table.h"

namespace app {
namespace {

constexpr ui::TextEntry kTexts[] = {VARNEL_APP_STRINGS(VARNEL_TEXT_ENTRY)};

}  // namespace

std::u16string_view AppText(int id) {
  return ui::FindText(kTexts, id);
}

}  // namespace app
