// The tab set (see tab_set.h).
// Tested by tests/app/logic/app_logic_test.cpp.
#include "app/logic/tab_set.h"

#include "app/logic/app_strings.h"

namespace app {

CTabSet::CTabSet(std::u16string default_name) : default_name_(std::move(default_name)) {}

std::size_t CTabSet::IndexOf(std::int32_t id) const {
  for (std::size_t i = 0; i < tabs_.size(); ++i) {
    if (tabs_[i].id == id) return i;
  }
  return kNoTab;
}

std::set<std::int32_t> CTabSet::Ids() const {
  std::set<std::int32_t> ids;
  for (const TabEntry& tab : tabs_) ids.insert(tab.id);
  return ids;
}

std::u16string CTabSet::NextDefaultName() const {
  std::vector<std::u16string> names;
  names.reserve(tabs_.size());
  for (const TabEntry& tab : tabs_) names.push_back(tab.name);
  return NewTabName(names, default_name_);
}

std::size_t CTabSet::Open(std::int32_t wanted, std::u16string_view name) {
  TabEntry tab;
  tab.id = AssignPageId(wanted, Ids());
  tab.name = name.empty() ? NextDefaultName() : LimitTabName(name);
  tabs_.push_back(std::move(tab));
  selected_ = tabs_.size() - 1;
  return selected_;
}

void CTabSet::Move(std::size_t from, std::size_t to) {
  if (from >= tabs_.size() || to >= tabs_.size() || from == to) return;
  const std::int32_t selected_id = SelectedId();
  TabEntry moved = std::move(tabs_[from]);
  tabs_.erase(tabs_.begin() + static_cast<std::ptrdiff_t>(from));
  tabs_.insert(tabs_.begin() + static_cast<std::ptrdiff_t>(to), std::move(moved));
  selected_ = IndexOf(selected_id);
}

bool CTabSet::Close(std::size_t index) {
  if (tabs_.size() < 2 || index >= tabs_.size()) return false;
  tabs_.erase(tabs_.begin() + static_cast<std::ptrdiff_t>(index));
  if (selected_ == index) {
    if (selected_ >= tabs_.size()) selected_ = tabs_.size() - 1;
  } else if (selected_ > index) {
    --selected_;
  }
  return true;
}

std::vector<std::int32_t> CTabSet::CloseOthers(std::size_t keep) {
  std::vector<std::int32_t> closed;
  if (keep >= tabs_.size()) return closed;
  const TabEntry kept = tabs_[keep];
  for (std::size_t i = tabs_.size(); i-- > 0;) {
    if (i != keep) closed.push_back(tabs_[i].id);
  }
  tabs_.assign(1, kept);
  selected_ = 0;
  return closed;
}

void CTabSet::Select(std::size_t index) {
  if (index < tabs_.size()) selected_ = index;
}

bool CTabSet::SelectNext() {
  if (tabs_.size() < 2) return false;
  selected_ = (selected_ + 1) % tabs_.size();
  return true;
}

bool CTabSet::SelectPrevious() {
  if (tabs_.size() < 2) return false;
  selected_ = (selected_ == 0 ? tabs_.size() : selected_) - 1;
  return true;
}

bool CTabSet::Rename(std::size_t index, std::u16string_view name) {
  if (name.empty() || index >= tabs_.size()) return false;
  tabs_[index].name = LimitTabName(name);
  return true;
}

std::u16string DuplicateName(std::u16string_view name) {
  const std::size_t n = name.size();
  if (n >= 4 && name[n - 3] == u'(' && name[n - 1] == u')' && name[n - 2] >= u'1' &&
      name[n - 2] <= u'8') {
    std::u16string raised(name);
    ++raised[n - 2];
    return raised;
  }
  return std::u16string(name) + u" (1)";
}

FileFindParamsIn CriteriaForFolder(std::u16string_view folder) {
  FileFindParamsIn criteria;
  criteria.path = folder;
  criteria.include_subfolders = true;
  return criteria;
}

FileFindParamsIn CriteriaForDuplicate(const FileFindParamsIn& source) {
  FileFindParamsIn criteria = source;
  criteria.tab_id = 0;
  return criteria;
}

std::size_t RestoredSelection(const std::vector<PageData>& saved) {
  for (std::size_t i = 0; i < saved.size(); ++i) {
    if (saved[i].tab_active) return i;
  }
  return saved.empty() ? kNoTab : saved.size() - 1;
}

bool PageCommandEnabled(int command, std::size_t tab_count) {
  switch (command) {
    case IDM_PAGES_CLOSE:
    case IDM_PAGES_NEXT:
    case IDM_PAGES_PREVIOUS:
    case IDM_TAB_CLOSE:
    case IDM_TAB_CLOSE_OTHERS: return tab_count > 1;
    default: return true;
  }
}

int TabImage(bool searching, std::size_t found_count) {
  if (searching) return 1;
  return found_count > 0 ? 0 : -1;
}

}  // namespace app
