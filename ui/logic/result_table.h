// The model under a result list: the records it owns in arrival order, the
// rows it shows (folders on top in arrival order, then files), the column
// set, the cell texts, the column filters and the sort order, and the
// per-type icon cache. The list view over it is virtual: it asks for the
// cells of the rows it draws.
// Tested by tests/ui/ui_logic_test.cpp; measured by bench/ui_list_bench.cpp.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/file_result.h"
#include "platform/types.h"

namespace ui {

enum ColumnKind : int {
  kColumnName = 0,
  kColumnFolder = 1,
  kColumnSize = 2,
  kColumnModified = 3,
  kColumnType = 4,
  kColumnReplaces = 5,
  kColumnReason = 6,
};
inline constexpr int kColumnKindCount = 7;

enum class ListKind { kFound, kSkipped, kError };

struct ColumnInfo {
  int kind;
  int caption_id;     // string table
  int default_width;  // pixels at 96 DPI; Folder takes the rest
  bool right_aligned;
};

const ColumnInfo& ColumnInfoOf(int kind);
std::u16string_view ColumnCaption(int kind);
// The kind whose caption equals `caption` in any case, or -1.
int ColumnKindOfCaption(std::u16string_view caption);
// Found: name, folder, [replaces], size, modified, type. Skipped and error:
// name, folder, size, modified, type, reason.
std::vector<int> ColumnSet(ListKind list, bool with_replaces);
// Folder's width: the list width less the default widths of the others.
int FolderColumnWidth(const std::vector<int>& columns, int list_width);

// 1536 -> "1.50 Kb"; the largest unit of which there is at least one whole;
// empty for a folder's size (all bits set).
std::u16string SizeText(std::uint64_t size);
// "" for 0, "Failed" for -1, else the count.
std::u16string ReplacesText(std::int32_t count);
// "<DIR>" for a folder, else the extension in lower case.
std::u16string TypeText(const FileResult& record);
// The folder and the name with one separator between them.
std::u16string FullPath(const FileResult& record);

// Case-insensitive ordering of two texts (negative, zero, positive).
int CompareNoCase(std::u16string_view a, std::u16string_view b);
// The filter rule: substring in any case when forced or when the filter has
// none of "*?."; otherwise the system's wildcard match (";" lists work).
bool FilterAccepts(std::u16string_view value, std::u16string_view filter, bool force_substring);

using FilterMap = std::map<int, std::u16string>;  // column kind -> filter text
using DateFormatter = std::function<std::u16string(platform::FileTime)>;

// A date as "yyyy-mm-dd": the stand-in for the user's short date format
// where the system has none.
std::u16string IsoDateText(platform::FileTime time);

class CResultTable {
 public:
  enum class Added { kHidden, kAppended, kInserted };

  CResultTable(ListKind list, DateFormatter date_text);

  ListKind List() const { return list_; }
  // Takes the record. A folder is shown below the folders shown before it,
  // a file at the end (rows already there keep their order, sorted or not);
  // a record the active filters refuse is kept but not shown.
  Added Add(std::unique_ptr<FileResult> record);
  // Deletes every record; the sort order and the filters stay.
  void Clear();

  // Deletes the records shown in `rows` (any order); the other rows keep
  // their order.
  void RemoveRows(const std::vector<std::size_t>& rows);

  std::size_t RecordCount() const { return records_.size(); }
  std::size_t RowCount() const { return folder_rows_.size() + file_rows_.size(); }
  std::size_t FolderRowCount() const { return folder_rows_.size(); }
  const FileResult& Record(std::size_t index) const { return *records_[index]; }
  const FileResult& RowRecord(std::size_t row) const { return *records_[RecordIndex(row)]; }

  // The columns for the records held: Replaces (found list) while at least
  // one record carries a replacement count.
  std::vector<int> Columns() const { return ColumnSet(list_, has_counts_); }
  bool HasReplacesColumn() const { return has_counts_; }
  std::u16string CellText(std::size_t row, int kind) const;
  // The record's date text, formatted once per day.
  std::u16string DateText(platform::FileTime time) const;

  // Makes `filters` the active ones (empty texts dropped). False when they
  // equal the active ones; otherwise the rows are chosen again and sorted.
  bool SetFilters(FilterMap filters);
  const FilterMap& Filters() const { return filters_; }
  bool Accepts(const FileResult& record) const;

  // A click on a column: the same column flips the direction, another one
  // sorts ascending.
  void ClickColumn(int kind);
  void Sort(int kind, bool ascending);
  int SortColumn() const { return sort_column_; }
  bool SortAscending() const { return sort_ascending_; }

  // The image of a row: the shell is asked (`request`) once per type, and
  // for every exe, ico and cur file, whose icons differ per file.
  using IconRequest = std::function<int(const FileResult&)>;
  int RowIcon(std::size_t row, const IconRequest& request);

 private:
  // Record indexes in row order, in deques for the same reason as records_.
  using RowList = std::deque<std::uint32_t>;

  struct CompiledFilter {
    int kind;
    std::u16string text;
    bool substring;  // substring mode, text lower-cased
  };

  std::uint32_t RecordIndex(std::size_t row) const {
    return row < folder_rows_.size() ? folder_rows_[row] : file_rows_[row - folder_rows_.size()];
  }
  void ShowRecord(std::uint32_t index);
  void Rebuild();
  void SortByNumber(RowList& rows, int kind, bool ascending) const;
  void SortByText(RowList& rows, int kind, bool ascending) const;
  std::u16string FilterValue(int kind, const FileResult& record) const;

  ListKind list_;
  DateFormatter date_text_;
  // Deques: growing never moves what is there, so no batch pays for
  // copying a million entries.
  std::deque<std::unique_ptr<FileResult>> records_;
  std::deque<std::int32_t> icons_;  // per record; until first drawn, a value no image has
  RowList folder_rows_;
  RowList file_rows_;
  bool has_counts_ = false;
  FilterMap filters_;
  std::vector<CompiledFilter> compiled_;
  int sort_column_ = -1;
  bool sort_ascending_ = true;
  std::map<std::u16string, int> icon_cache_;                         // type text -> image index
  mutable std::unordered_map<std::uint64_t, std::u16string> dates_;  // day -> text
};

}  // namespace ui
