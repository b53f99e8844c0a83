// The compiled text list (see ui_text.h).
// Tested by tests/ui/ui_logic_test.cpp.
#include "ui/logic/ui_text.h"

#include "ui/logic/text_table.h"

namespace ui {
namespace {

constexpr TextEntry kTexts[] = {VARNEL_UI_STRINGS(VARNEL_TEXT_ENTRY)};

}  // namespace

std::u16string_view UiText(int id) {
  return FindText(kTexts, id);
}

std::u16string UiFormat(int id, std::u16string_view argument) {
  std::u16string text(UiText(id));
  const std::size_t at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace ui
