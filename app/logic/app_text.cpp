// The compiled text list (see app_text.h).
// Tested by tests/app/logic/app_logic_test.cpp.
#include "app/logic/app_text.h"

namespace app {
namespace {

struct Entry {
  int id;
  std::u16string_view text;
};

constexpr Entry kTexts[] = {
#define VARNEL_APP_STRING_ENTRY(name, id, text) {id, u"" text},
    VARNEL_APP_STRINGS(VARNEL_APP_STRING_ENTRY)
#undef VARNEL_APP_STRING_ENTRY
};

}  // namespace

std::u16string_view AppText(int id) {
  for (const Entry& e : kTexts) {
    if (e.id == id) return e.text;
  }
  return {};
}

}  // namespace app
