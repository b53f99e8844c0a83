// CFilesListControl: a result list, a virtual (owner-data) list view over a
// CResultTable that owns the records. The view asks for the cells of the
// rows it draws; the table keeps the shown rows, sort order and filters.
// CFoundFilesListControl, CSkippedFilesListControl and
// CErrorFilesListControl choose the column set. The file operations on the
// selected rows (clipboard, delete, drag, open, context menu) go through the
// list's CShellHelper.
// Tested by tests/ui/ui_gui_test.cpp and tests/ui/shell_ops_gui_test.cpp;
// the table by tests/ui/ui_logic_test.cpp.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/file_result.h"
#include "toolkit/list_control.h"
#include "ui/logic/file_drop.h"
#include "ui/logic/result_table.h"
#include "ui/shell_helper.h"

struct AppSettings;

namespace ui {

class CFilesListControl : public CListControl {
 public:
  ~CFilesListControl() override;

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  // Header notifications (the list is the header's parent).
  void OnNotify(NMHDR* header, LRESULT* result) override;
  // The list view's own notifications, reflected from its parent.
  void OnReflectedNotify(NMHDR* header, LRESULT* result) override;

  // Creates the list view (hidden until the page shows it). `settings` gives
  // the filter-bar setting and the filter histories.
  [[nodiscard]] bool Create(HWND parent, const RECT& rect, AppSettings* settings);
  // Builds the column set when the header has none.
  virtual void SetupColumns(bool with_count);

  void AddRecord(std::unique_ptr<FileResult> record);
  // Adds a folder's batch, emptying it: the records now belong to the list.
  void AddBatch(FileResultBatch& batch);
  // Deletes every record; sort order and filters stay.
  void Clear();
  // Shows or hides the header's filter bar by the setting, then applies the
  // filters it holds (none while hidden).
  void ApplyFilterBarSetting();
  // Every column its default width, Folder the rest of `client_width`.
  void FitColumns(int client_width);
  void GetSelectedPaths(std::vector<std::u16string>& paths) const;
  std::size_t RecordCount() const { return table_.RecordCount(); }
  int RowCount() const { return static_cast<int>(table_.RowCount()); }
  const CResultTable& Table() const { return table_; }
  // The column kinds shown, left to right.
  const std::vector<int>& ShownColumns() const { return shown_columns_; }
  // Tells the list view the current row count now (the page calls it when a
  // run ends, so that the last rows show without waiting for the timer).
  void FlushRows();
  // Sets a column's filter text (as the filter dialog does) and applies it.
  void SetColumnFilter(int kind, const std::u16string& text);

  // Select All, Copy File Name, and the file operations (OnFileCommand).
  void OnCommand(UINT id);
  CShellHelper& Shell() { return shell_; }

 protected:
  explicit CFilesListControl(ListKind list);
  // Cut, Copy and Delete of the selected rows.
  virtual void OnFileCommand(UINT id);
  // Drags the selected rows' files (copy only).
  virtual void BeginDrag();
  // WM_CONTEXTMENU at `screen` (-1, -1 from the keyboard).
  virtual void OnContextMenu(POINT screen);
  void BuildColumns(const std::vector<int>& kinds);

 private:
  int Scaled(int pixels) const;
  void SyncReplacesColumn();
  // The table's rows changed; the list view is told now or, while only rows
  // beyond the page arrived, by a timer (FlushRows).
  void RowsChanged(bool invalidate);
  void ClearSelection();
  FilterMap ReadHeaderFilters() const;
  bool FilterBarVisible() const;
  void AddHistory(int kind);
  void ApplyFilters();
  void OnFilterChange(int item);
  void OnFilterButton(int item);
  void OnColumnClick(int column);
  void UpdateSortArrows();
  void OnGetDispInfo(NMLVDISPINFOW* info);
  int RequestIcon(const FileResult& record);
  void OnDoubleClick();
  void CopyFileNames() const;
  std::vector<RowPath> SelectedRows() const;
  // After a delete: the rows whose files are gone leave the list.
  void RemoveGoneRows(const std::vector<RowPath>& rows);
  // Tells the page that the rows changed (it updates its counts).
  void NotifyRowsChanged();

  CResultTable table_;
  AppSettings* settings_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::vector<int> shown_columns_;
  FilterMap typed_filters_;  // the filter bar's texts, by column kind
  bool scroll_fitted_ = false;
  bool rows_timer_ = false;
  bool pending_invalidate_ = false;
  bool left_down_ = false;
  POINT press_{};
  std::wstring cell_;  // the text handed to the list view until its next request
  CShellHelper shell_;
};

class CFoundFilesListControl : public CFilesListControl {
 public:
  CFoundFilesListControl() : CFilesListControl(ListKind::kFound) {}
};

class CSkippedFilesListControl : public CFilesListControl {
 public:
  CSkippedFilesListControl() : CFilesListControl(ListKind::kSkipped) {}
};

class CErrorFilesListControl : public CFilesListControl {
 public:
  CErrorFilesListControl() : CFilesListControl(ListKind::kError) {}
};

}  // namespace ui
