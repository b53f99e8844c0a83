// Field splitting and joining (see list_fields.h).
// Tested by tests/ui/ui_logic_test.cpp.
#include "ui/logic/list_fields.h"

#include "engine/search_params.h"
#include "ui/logic/ui_text.h"

namespace ui {

FieldLists SplitFolderField(std::u16string_view field) {
  FolderList list = ParseFolderList(field);
  return {std::move(list.include), std::move(list.exclude)};
}

FieldLists SplitFileNameField(std::u16string_view field) {
  MaskList list = ParseMaskList(field);
  return {std::move(list.include), std::move(list.exclude)};
}

std::u16string LinesToEditText(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (const std::u16string& line : lines) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

std::vector<std::u16string> EditTextToLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) end = text.size();
    if (end > start) lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::u16string JoinFolderLines(const std::vector<std::u16string>& include,
                               const std::vector<std::u16string>& exclude) {
  std::u16string field;
  auto append = [&field](std::u16string_view prefix, const std::u16string& item) {
    if (!field.empty()) field += u';';
    field += prefix;
    field += item;
  };
  for (const std::u16string& item : include) append(u"", item);
  for (const std::u16string& item : exclude) append(u"-", item);
  return field;
}

std::u16string JoinFileNameLines(const std::vector<std::u16string>& include,
                                 const std::vector<std::u16string>& exclude) {
  return JoinMaskList(include, exclude);
}

std::u16string HistoryMenuText(std::u16string_view entry) {
  constexpr std::size_t kShown = 70;
  if (entry.size() <= kShown) return std::u16string(entry);
  return std::u16string(entry.substr(0, kShown)) + std::u16string(UiText(IDS_ELLIPSIS));
}

}  // namespace ui
