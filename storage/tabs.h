// tabs.xml: the saved search tabs, and the tab-list rules the main window
// applies when it saves and restores them. Tested by tests/storage/tabs_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search_params.h"

// One saved tab: its criteria (tab_id is the page id) with its name and
// whether it was the selected tab.
class PageData : public FileFindParamsIn {
 public:
  std::u16string tab_name;
  bool tab_active = false;
};

// Writes data_folder + "tabs.xml" with one "param" per entry, in order; false
// when the file could not be written (the previous one is then intact).
[[nodiscard]] bool SaveTabs(std::u16string_view data_folder, const std::vector<PageData>& tabs);
// Reads data_folder + "tabs.xml"; false with an empty list when the file is
// missing, malformed or has no "params" root.
[[nodiscard]] bool LoadTabs(std::u16string_view data_folder, std::vector<PageData>& tabs);

bool ParseTabs(std::string_view bytes, std::vector<PageData>& tabs);
std::string TabsXml(const std::vector<PageData>& tabs);

std::u16string TabsPath(std::u16string_view data_folder);

// ---- Tab-list rules ---------------------------------------------------------

inline constexpr std::size_t kMaxTabNameLength = 99;

// The first 99 UTF-16 units of a name (98 when the 99th would split a
// surrogate pair).
std::u16string LimitTabName(std::u16string_view name);

// Whether a tab is written to tabs.xml: with `dont_save_unnamed_tabs` on, a
// name that begins with the default name (case-sensitive) is not, which
// covers the numbered default names too. `default_name` is the program's
// "New page" text; an empty one matches nothing.
bool ShouldSaveTab(std::u16string_view tab_name, bool dont_save_unnamed_tabs,
                   std::u16string_view default_name);

// The name of a new tab without a given name: the first of "New page",
// "New page(1)", "New page(2)"... that no open tab carries (exact comparison).
std::u16string NewTabName(const std::vector<std::u16string>& names_in_use,
                          std::u16string_view default_name);

// The page id of a tab being opened: `wanted` when it is at least 1 and not
// in use; otherwise one more than the largest id in use (1 when none). Should
// that overflow, the smallest unused positive id.
std::int32_t AssignPageId(std::int32_t wanted, const std::set<std::int32_t>& ids_in_use);

// The record saved for one open tab.
PageData MakePageData(const FileFindParamsIn& criteria, std::int32_t page_id,
                      std::u16string_view tab_name, bool active);
