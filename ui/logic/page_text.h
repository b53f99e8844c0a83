// The find page's texts by id (page_strings.h) and the texts it composes
// from them: status parts, counts, result-tab captions, the read-only
// question and the completion balloon.
// Tested by tests/ui/page_logic_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/logic/page_strings.h"

namespace ui {

enum PageStringId : int {
#define VARNEL_PAGE_STRING_ENUM(name, id, text) name = id,
  VARNEL_PAGE_STRINGS(VARNEL_PAGE_STRING_ENUM)
#undef VARNEL_PAGE_STRING_ENUM
};

// The text of `id`; empty for an id the list does not hold.
std::u16string_view PageText(int id);

// The count text of status part 0: "%d files found" with the found list's
// record count when its filter shows them all, else "%d files found (%d in
// the filter)" with both counts; at most 200 characters.
std::u16string CountText(std::size_t records, std::size_t shown);

// A result tab's caption: "Found (3)"; `tab_name_id` is IDS_TAB_FOUND,
// IDS_TAB_SKIPPED or IDS_TAB_ERRORS.
std::u16string ResultTabCaption(int tab_name_id, std::size_t records);

// Status part 0 while a folder is walked: "Searching" + " " + path + " ...".
std::u16string SearchingText(std::u16string_view folder);
// Status part 1: whole seconds + " " + "secs"; a negative span counts as 0.
std::u16string ElapsedText(std::int64_t seconds);

// The read-only question for `path`, laid out as in a buffer of 300
// characters: the path is cut to 300 less the format's length (never
// between the halves of a surrogate pair).
std::u16string ReadOnlyQuestionText(std::u16string_view path);

// The balloon shown when a run ends on a page that is not visible; at most
// 255 characters.
std::u16string CompletionText(bool replace_run);

}  // namespace ui
