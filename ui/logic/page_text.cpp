// The find page's texts (see page_text.h).
// Tested by tests/ui/page_logic_test.cpp.
#include "ui/logic/page_text.h"

#include <string>

#include "ui/logic/text_table.h"

namespace ui {
namespace {

constexpr TextEntry kTexts[] = {VARNEL_PAGE_STRINGS(VARNEL_TEXT_ENTRY)};

std::u16string Decimal(std::uint64_t value) {
  std::u16string digits;
  for (char ch : std::to_string(value)) digits.push_back(static_cast<char16_t>(ch));
  return digits;
}

// Fills each "%d" of the text of `id` in turn with the next of `values`.
std::u16string FormatNumbers(int id, std::initializer_list<std::uint64_t> values) {
  std::u16string text(PageText(id));
  std::size_t at = 0;
  for (std::uint64_t value : values) {
    at = text.find(u"%d", at);
    if (at == std::u16string::npos) break;
    const std::u16string number = Decimal(value);
    text.replace(at, 2, number);
    at += number.size();
  }
  return text;
}

std::u16string Limited(std::u16string text, std::size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

std::u16string_view PageText(int id) {
  return FindText(kTexts, id);
}

std::u16string CountText(std::size_t records, std::size_t shown) {
  if (shown == records) return Limited(FormatNumbers(IDS_COUNT_FOUND, {records}), 200);
  return Limited(FormatNumbers(IDS_COUNT_FOUND_FILTERED, {records, shown}), 200);
}

std::u16string ResultTabCaption(int tab_name_id, std::size_t records) {
  return std::u16string(PageText(tab_name_id)) + u" (" + Decimal(records) + u")";
}

std::u16string SearchingText(std::u16string_view folder) {
  return std::u16string(PageText(IDS_STATUS_SEARCHING)) + u" " + std::u16string(folder) + u" ...";
}

std::u16string ElapsedText(std::int64_t seconds) {
  const std::uint64_t whole = seconds < 0 ? 0 : static_cast<std::uint64_t>(seconds);
  return Decimal(whole) + u" " + std::u16string(PageText(IDS_STATUS_SECS));
}

std::u16string ReadOnlyQuestionText(std::u16string_view path) {
  constexpr std::size_t kBuffer = 300;
  const std::u16string_view format = PageText(IDS_READ_ONLY_QUESTION);
  std::size_t keep = kBuffer - format.size();
  if (path.size() > keep) {
    if (IsHighSurrogate(path[keep - 1])) --keep;
    path = path.substr(0, keep);
  }
  std::u16string text(format);
  text.replace(text.find(u"%s"), 2, path);
  return text;
}

std::u16string CompletionText(bool replace_run) {
  return Limited(std::u16string(PageText(replace_run ? IDS_DONE_REPLACE : IDS_DONE_FIND)), 255);
}

}  // namespace ui
