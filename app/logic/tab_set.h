// The main window's tabs without a window: page ids and names in strip order,
// the selected tab, opening, duplicating, renaming, closing (one, others,
// middle click), next and previous, which page commands a tab count allows,
// and a tab's image.
// Tested by tests/app/logic/app_logic_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search_params.h"
#include "storage/tabs.h"

namespace app {

struct TabEntry {
  std::int32_t id = 0;
  std::u16string name;
  bool operator==(const TabEntry&) const = default;
};

inline constexpr std::size_t kNoTab = static_cast<std::size_t>(-1);

class CTabSet {
 public:
  // `default_name` is the string table's "New page".
  explicit CTabSet(std::u16string default_name);

  std::size_t Count() const { return tabs_.size(); }
  const TabEntry& At(std::size_t index) const { return tabs_[index]; }
  const std::vector<TabEntry>& Tabs() const { return tabs_; }
  // kNoTab while there is no tab.
  std::size_t Selected() const { return selected_; }
  // 0 while there is no tab.
  std::int32_t SelectedId() const { return selected_ == kNoTab ? 0 : tabs_[selected_].id; }
  std::size_t IndexOf(std::int32_t id) const;
  std::set<std::int32_t> Ids() const;

  // Appends a tab and selects it; returns its index. The id is `wanted` when
  // that is at least 1 and free, else one more than the largest in use. The
  // name is `name` (cut to the longest a tab holds) when not empty, else the
  // first default name no tab carries: "New page", "New page(1)", ...
  std::size_t Open(std::int32_t wanted, std::u16string_view name);

  // Closes the tab at `index`; false (nothing changes) for the last
  // remaining tab or an index out of range. Closing the selected tab selects
  // the one that moves into its place, or the new last tab when it was last;
  // closing another keeps the selected tab selected.
  [[nodiscard]] bool Close(std::size_t index);
  // Closes every tab but the one at `keep`, from the last to the first, and
  // selects it; returns the closed ids in closing order.
  std::vector<std::int32_t> CloseOthers(std::size_t keep);

  void Select(std::size_t index);
  // A tab dragged from `from` to `to`; the selection stays on its tab.
  void Move(std::size_t from, std::size_t to);
  // The neighbouring tab, wrapping at the ends; false (and no change) with
  // fewer than two tabs.
  bool SelectNext();
  bool SelectPrevious();

  // Sets the name of the tab at `index` from the rename dialog: false for an
  // empty entry, otherwise cut to the longest a tab holds.
  [[nodiscard]] bool Rename(std::size_t index, std::u16string_view name);

  std::u16string NextDefaultName() const;

 private:
  std::u16string default_name_;
  std::vector<TabEntry> tabs_;
  std::size_t selected_ = kNoTab;
};

// The name of a duplicate: a name of at least four characters that ends in
// "(" + a digit 1 to 8 + ")" gets that digit raised by one; any other name
// gets " (1)" appended (so "(9)" becomes "(9) (1)").
std::u16string DuplicateName(std::u16string_view name);

// The criteria of a tab opened for a folder (command line or another
// instance): that path, subfolders included, everything else as new.
FileFindParamsIn CriteriaForFolder(std::u16string_view folder);

// The criteria of a duplicate: the source tab's, with the id cleared so that
// the new tab gets one of its own.
FileFindParamsIn CriteriaForDuplicate(const FileFindParamsIn& source);

// The tab to select after restoring `saved` in order: the entry marked
// active (the first such), else the last one; kNoTab for an empty list.
std::size_t RestoredSelection(const std::vector<PageData>& saved);

// Close Page, Next Page, Previous Page and the tab menu's Close and Close
// Other Pages need a second tab; every other command is always enabled.
bool PageCommandEnabled(int command, std::size_t tab_count);

// A tab's image: 1 while its page searches, 0 when its page holds at least
// one found record, -1 (none) otherwise.
int TabImage(bool searching, std::size_t found_count);

}  // namespace app
