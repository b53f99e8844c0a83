// The compiled text list (see ui_text.h).
// Tested by tests/ui/ui_logic_test.cpp.
#include "ui/logic/ui_text.h"

namespace ui {
namespace {

struct Entry {
  int id;
  std::u16string_view text;
};

constexpr Entry kTexts[] = {
#define VARNEL_UI_STRING_ENTRY(name, id, text) {id, u"" text},
    VARNEL_UI_STRINGS(VARNEL_UI_STRING_ENTRY)
#undef VARNEL_UI_STRING_ENTRY
};

}  // namespace

std::u16string_view UiText(int id) {
  for (const Entry& e : kTexts) {
    if (e.id == id) return e.text;
  }
  return {};
}

std::u16string UiFormat(int id, std::u16string_view argument) {
  std::u16string text(UiText(id));
  const std::size_t at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace ui
