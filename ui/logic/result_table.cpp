// The result lists' model (see result_table.h).
// Tested by tests/ui/ui_logic_test.cpp; measured by bench/ui_list_bench.cpp.
#include "ui/logic/result_table.h"

#include <algorithm>
#include <cstdio>

#include "platform/fs.h"
#include "platform/text.h"
#include "ui/logic/criteria_form.h"
#include "ui/logic/ui_text.h"

namespace ui {
namespace {

constexpr ColumnInfo kColumns[kColumnKindCount] = {
    {kColumnName, IDS_COLUMN_NAME, 200, false},
    {kColumnFolder, IDS_COLUMN_FOLDER, 0, false},
    {kColumnSize, IDS_COLUMN_SIZE, 80, true},
    {kColumnModified, IDS_COLUMN_MODIFIED, 100, true},
    {kColumnType, IDS_COLUMN_TYPE, 60, true},
    {kColumnReplaces, IDS_COLUMN_REPLACES, 80, false},
    {kColumnReason, IDS_COLUMN_REASON, 200, true},
};

// Lower-casing one code unit: ASCII inline, the rest by the system's rule.
inline char16_t Lower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  return platform::LowerChar(c);
}

// `lowered` is already lower-case.
bool ContainsNoCase(std::u16string_view value, std::u16string_view lowered) {
  if (lowered.empty()) return true;
  if (value.size() < lowered.size()) return false;
  const std::size_t last = value.size() - lowered.size();
  for (std::size_t i = 0; i <= last; ++i) {
    std::size_t k = 0;
    while (k < lowered.size() && Lower(value[i + k]) == lowered[k]) ++k;
    if (k == lowered.size()) return true;
  }
  return false;
}

constexpr std::int32_t kIconNotAsked = -2;

bool IsPerFileIconType(std::u16string_view type) {
  return type == u"exe" || type == u"ico" || type == u"cur";
}

std::u16string Ascii(const char* s) {
  std::u16string out;
  for (; *s; ++s) out.push_back(static_cast<char16_t>(*s));
  return out;
}

}  // namespace

const ColumnInfo& ColumnInfoOf(int kind) { return kColumns[kind]; }

std::u16string_view ColumnCaption(int kind) {
  if (kind < 0 || kind >= kColumnKindCount) return {};
  return UiText(kColumns[kind].caption_id);
}

int ColumnKindOfCaption(std::u16string_view caption) {
  for (int kind = 0; kind < kColumnKindCount; ++kind) {
    if (CompareNoCase(caption, ColumnCaption(kind)) == 0) return kind;
  }
  return -1;
}

std::vector<int> ColumnSet(ListKind list, bool with_replaces) {
  if (list != ListKind::kFound) {
    return {kColumnName, kColumnFolder, kColumnSize, kColumnModified, kColumnType, kColumnReason};
  }
  if (with_replaces) {
    return {kColumnName, kColumnFolder, kColumnReplaces, kColumnSize, kColumnModified, kColumnType};
  }
  return {kColumnName, kColumnFolder, kColumnSize, kColumnModified, kColumnType};
}

int FolderColumnWidth(const std::vector<int>& columns, int list_width) {
  int others = 0;
  for (int kind : columns) {
    if (kind != kColumnFolder) others += kColumns[kind].default_width;
  }
  return list_width - others;
}

std::u16string SizeText(std::uint64_t size) {
  if (size == kFolderSize) return {};
  struct Unit {
    std::uint64_t factor;
    int text_id;
  };
  static constexpr Unit kUnits[] = {
      {1073741824, IDS_SIZE_GB}, {1048576, IDS_SIZE_MB}, {1024, IDS_SIZE_KB}};
  char number[40];
  for (const Unit& u : kUnits) {
    if (size / u.factor >= 1) {
      // snprintf's "%.2f" writes a point in the C locale, which a program
      // that never calls setlocale keeps.
      std::snprintf(number, sizeof number, "%.2f",
                    static_cast<double>(size) / static_cast<double>(u.factor));
      return Ascii(number) + std::u16string(UiText(u.text_id));
    }
  }
  std::snprintf(number, sizeof number, "%llu", static_cast<unsigned long long>(size));
  return Ascii(number) + std::u16string(UiText(IDS_SIZE_B));
}

std::u16string ReplacesText(std::int32_t count) {
  if (count == 0) return {};
  if (count == -1) return std::u16string(UiText(IDS_REPLACE_FAILED));
  return Ascii(std::to_string(count).c_str());
}

std::u16string TypeText(const FileResult& record) {
  if (record.is_folder) return std::u16string(UiText(IDS_TYPE_FOLDER));
  return platform::Lowered(ExtensionOf(record.file_name));
}

std::u16string FullPath(const FileResult& record) {
  std::u16string path = record.folder;
  if (path.empty() || path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
  return path + record.file_name;
}

int CompareNoCase(std::u16string_view a, std::u16string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t x = Lower(a[i]), y = Lower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool FilterAccepts(std::u16string_view value, std::u16string_view filter, bool force_substring) {
  if (filter.empty()) return true;
  if (force_substring || filter.find_first_of(u"*?.") == std::u16string_view::npos) {
    return ContainsNoCase(value, platform::Lowered(std::u16string(filter)));
  }
  return platform::PathMatchSpec(value, filter);
}

std::u16string IsoDateText(platform::FileTime time) {
  const CalendarDate d = DateOfFileTime(time);
  if (!d.valid) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
  return Ascii(text);
}

// ---- CResultTable ----

CResultTable::CResultTable(ListKind list, DateFormatter date_text)
    : list_(list), date_text_(date_text ? std::move(date_text) : DateFormatter(IsoDateText)) {}

CResultTable::Added CResultTable::Add(std::unique_ptr<FileResult> record) {
  if (list_ == ListKind::kFound && record->replaces != 0) has_counts_ = true;
  const auto index = static_cast<std::uint32_t>(records_.size());
  const bool shown = Accepts(*record);
  const bool folder = record->is_folder;
  records_.push_back(std::move(record));
  icons_.push_back(kIconNotAsked);
  if (!shown) return Added::kHidden;
  ShowRecord(index);
  return folder && !file_rows_.empty() ? Added::kInserted : Added::kAppended;
}

void CResultTable::ShowRecord(std::uint32_t index) {
  (records_[index]->is_folder ? folder_rows_ : file_rows_).push_back(index);
}

void CResultTable::Clear() {
  records_.clear();
  icons_.clear();
  folder_rows_.clear();
  file_rows_.clear();
  has_counts_ = false;
}

void CResultTable::RemoveRows(const std::vector<std::size_t>& rows) {
  constexpr std::uint32_t kGone = 0xFFFFFFFFu;
  std::vector<std::uint32_t> renumber(records_.size(), 0);
  for (std::size_t row : rows) {
    if (row < RowCount()) renumber[RecordIndex(row)] = kGone;
  }
  // Records keep their arrival order; the ones left get their new numbers.
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < renumber.size(); ++i) {
    if (renumber[i] == kGone) continue;
    renumber[i] = kept;
    if (kept != i) {
      records_[kept] = std::move(records_[i]);
      icons_[kept] = icons_[i];
    }
    ++kept;
  }
  records_.resize(kept);
  icons_.resize(kept);
  for (RowList* list : {&folder_rows_, &file_rows_}) {
    RowList left;
    for (std::uint32_t index : *list) {
      if (renumber[index] != kGone) left.push_back(renumber[index]);
    }
    list->swap(left);
  }
}

std::u16string CResultTable::DateText(platform::FileTime time) const {
  const std::uint64_t day = time / kFileTimeDay;
  auto found = dates_.find(day);
  if (found != dates_.end()) return found->second;
  return dates_.emplace(day, date_text_(time)).first->second;
}

std::u16string CResultTable::CellText(std::size_t row, int kind) const {
  const FileResult& r = RowRecord(row);
  switch (kind) {
    case kColumnName: return r.file_name;
    case kColumnFolder: return r.folder;
    case kColumnSize: return SizeText(r.size);
    case kColumnModified: return DateText(r.date_modified);
    case kColumnType: return TypeText(r);
    case kColumnReplaces: return ReplacesText(r.replaces);
    case kColumnReason: return ReasonText(r.kind, r.reason, r.error_code);
    default: return {};
  }
}

std::u16string CResultTable::FilterValue(int kind, const FileResult& r) const {
  switch (kind) {
    case kColumnSize: return SizeText(r.size);
    case kColumnModified: return DateText(r.date_modified);
    // The extension as it is: the match ignores case anyway.
    case kColumnType: return r.is_folder ? std::u16string(UiText(IDS_TYPE_FOLDER)) : r.type;
    default: return {};
  }
}

bool CResultTable::Accepts(const FileResult& r) const {
  for (const CompiledFilter& f : compiled_) {
    bool pass;
    if (f.kind == kColumnName || f.kind == kColumnFolder) {
      const std::u16string& value = f.kind == kColumnName ? r.file_name : r.folder;
      pass = f.substring ? ContainsNoCase(value, f.text) : platform::PathMatchSpec(value, f.text);
    } else {
      const std::u16string value = FilterValue(f.kind, r);
      pass = f.substring ? ContainsNoCase(value, f.text) : platform::PathMatchSpec(value, f.text);
    }
    if (!pass) return false;
  }
  return true;
}

bool CResultTable::SetFilters(FilterMap filters) {
  for (auto it = filters.begin(); it != filters.end();) {
    // Replaces and Reason are never filtered.
    const bool unused = it->second.empty() || it->first < kColumnName || it->first > kColumnType;
    it = unused ? filters.erase(it) : std::next(it);
  }
  if (filters == filters_) return false;
  filters_ = std::move(filters);
  compiled_.clear();
  for (const auto& [kind, text] : filters_) {
    const bool substring =
        kind == kColumnFolder || text.find_first_of(u"*?.") == std::u16string::npos;
    compiled_.push_back({kind, substring ? platform::Lowered(text) : text, substring});
  }
  Rebuild();
  if (sort_column_ >= 0) Sort(sort_column_, sort_ascending_);
  return true;
}

void CResultTable::Rebuild() {
  folder_rows_.clear();
  file_rows_.clear();
  for (std::uint32_t i = 0; i < records_.size(); ++i) {
    if (Accepts(*records_[i])) ShowRecord(i);
  }
}

void CResultTable::ClickColumn(int kind) {
  Sort(kind, kind == sort_column_ ? !sort_ascending_ : true);
}

namespace {

// A row's sort key: the value itself for numbers; for texts the first eight
// lower-cased characters, so that most comparisons touch only this array
// and the full texts are compared on a tie alone.
struct SortKey {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  auto operator<=>(const SortKey&) const = default;
};

struct KeyedRow {
  SortKey key;
  std::u16string_view text;  // into the record (or the reason texts)
  std::uint32_t index;
};

constexpr std::size_t kKeyChars = 8;

SortKey TextKey(std::u16string_view text) {
  SortKey key;
  for (std::size_t i = 0; i < kKeyChars; ++i) {
    std::uint64_t& half = i < 4 ? key.high : key.low;
    half = (half << 16) | (i < text.size() ? Lower(text[i]) : 0u);
  }
  return key;
}

int CompareKeyed(const KeyedRow& a, const KeyedRow& b) {
  if (a.key != b.key) return a.key < b.key ? -1 : 1;
  // Equal keys hold the first eight characters of both: a text that ends
  // within them decides by length alone.
  if (a.text.size() <= kKeyChars || b.text.size() <= kKeyChars) {
    return a.text.size() < b.text.size() ? -1 : (b.text.size() < a.text.size() ? 1 : 0);
  }
  return CompareNoCase(a.text.substr(kKeyChars), b.text.substr(kKeyChars));
}

// Sorts `rows` stably by `entry(index)` under `less`, the entries being made
// once per row rather than once per comparison.
template <typename Entry, typename Rows, typename MakeEntry, typename Less>
void SortRows(Rows& rows, MakeEntry make_entry, Less less) {
  std::vector<Entry> entries;
  entries.reserve(rows.size());
  for (std::uint32_t i : rows) entries.push_back(make_entry(i));
  std::stable_sort(entries.begin(), entries.end(), less);
  for (std::size_t k = 0; k < entries.size(); ++k) rows[k] = entries[k].index;
}

struct NumberRow {
  std::uint64_t key;
  std::uint32_t index;
};

}  // namespace

void CResultTable::Sort(int kind, bool ascending) {
  sort_column_ = kind;
  sort_ascending_ = ascending;
  // Folders and files are kept apart, so folders stay on top in both
  // directions; a stable sort keeps arrival order among equal rows.
  for (auto* rows : {&folder_rows_, &file_rows_}) {
    if (kind == kColumnName || kind == kColumnFolder || kind == kColumnType ||
        kind == kColumnReason) {
      SortByText(*rows, kind, ascending);
    } else {
      SortByNumber(*rows, kind, ascending);
    }
  }
}

void CResultTable::SortByNumber(RowList& rows, int kind, bool ascending) const {
  auto make = [&](std::uint32_t i) -> NumberRow {
    const FileResult& r = *records_[i];
    switch (kind) {
      case kColumnSize: return {r.size, i};
      case kColumnModified: return {r.date_modified, i};
      case kColumnReplaces:
        return {static_cast<std::uint64_t>(std::int64_t{r.replaces} + 0x80000000LL), i};
      default: return {0, i};  // a kind without an order: rows stay as they are
    }
  };
  SortRows<NumberRow>(rows, make, [ascending](const NumberRow& a, const NumberRow& b) {
    return ascending ? a.key < b.key : b.key < a.key;
  });
}

void CResultTable::SortByText(RowList& rows, int kind, bool ascending) const {
  // Reason texts are made once; the map's nodes keep them in place for the
  // views into them.
  std::unordered_map<std::uint32_t, std::u16string> reasons;
  auto make = [&](std::uint32_t i) -> KeyedRow {
    const FileResult& r = *records_[i];
    std::u16string_view text;
    switch (kind) {
      case kColumnName: text = r.file_name; break;
      case kColumnFolder: text = r.folder; break;
      case kColumnType: text = r.type; break;
      default:
        text = reasons.emplace(i, ReasonText(r.kind, r.reason, r.error_code)).first->second;
        break;
    }
    return {TextKey(text), text, i};
  };
  SortRows<KeyedRow>(rows, make, [ascending](const KeyedRow& a, const KeyedRow& b) {
    const int c = CompareKeyed(a, b);
    return ascending ? c < 0 : c > 0;
  });
}

int CResultTable::RowIcon(std::size_t row, const IconRequest& request) {
  const std::uint32_t index = RecordIndex(row);
  if (icons_[index] != kIconNotAsked) return icons_[index];
  const FileResult& r = *records_[index];
  const std::u16string type = TypeText(r);
  auto cached = icon_cache_.find(type);
  int image;
  if (cached != icon_cache_.end() && !IsPerFileIconType(type)) {
    image = cached->second;
  } else {
    image = request(r);
    icon_cache_[type] = image;
  }
  icons_[index] = image;
  return image;
}

}  // namespace ui
