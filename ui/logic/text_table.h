// A module's quoted texts by string-table id. Each module lists its texts
// once, in an X-macro of (name, id, text) that its .rc string table also
// includes, and makes its lookup table from the same list:
//   constexpr ui::TextEntry kTexts[] = {VARNEL_PAGE_STRINGS(VARNEL_TEXT_ENTRY)};
// Tested through each module's text tests.
#pragma once
#include <cstddef>
#include <string_view>

#define VARNEL_TEXT_ENTRY(name, id, text) {id, u"" text},

namespace ui {

struct TextEntry {
  int id;
  std::u16string_view text;
};

// The text with `id` in `table`; empty when there is none.
template <std::size_t N>
constexpr std::u16string_view FindText(const TextEntry (&table)[N], int id) {
  for (const TextEntry& entry : table) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

}  // namespace ui
