// CFindPage: one tab's search page. It hosts the three criteria dialogs, the
// found, skipped and error lists under their tab control and the preview
// below them; starts, follows and stops the engine's runs; and drains the
// engine's reports, which reach it through a queue and one wake-up message.
// The rules it follows live in ui/logic (page_run.h, page_layout.h,
// find_reports.h). Tested by tests/ui/find_page_gui_test.cpp.
#pragma once
// <windows.h> comes first.
// clang-format off
#include <windows.h>
// clang-format on

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/finder.h"
#include "storage/results_file.h"
#include "ui/criteria_host.h"
#include "ui/files_list_control.h"
#include "ui/find_action_dialog.h"
#include "ui/find_advanced_dialog.h"
#include "ui/find_general_dialog.h"
#include "ui/folder_drop_target.h"
#include "ui/logic/find_reports.h"
#include "ui/logic/page_layout.h"
#include "ui/logic/page_run.h"
#include "ui/logic/preview_runner.h"
#include "ui/page.h"
#include "ui/preview_view.h"

namespace ui {

class CFindPage : public IPage, public ICriteriaHost, private IReadOnlyAsker {
 public:
  CFindPage(IPageHost& host, const PageStart& start);
  ~CFindPage() override;

  // Makes the page window and its children; false after telling the user.
  [[nodiscard]] bool CreatePage(const PageStart& start);

  // CWindow
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  bool PreTranslateMessage(MSG* msg) override;
  void OnNotify(NMHDR* header, LRESULT* result) override;

  // IPage
  void Show(bool show) override;
  void ShowAdvanced(bool show) override;
  void RunAction() override;
  std::int32_t Id() const override { return id_; }
  bool Searching() const override { return run_.Running(); }
  std::size_t FoundCount() const override { return found_.RecordCount(); }
  FileFindParamsIn Criteria() override;
  [[nodiscard]] bool SaveResults(std::u16string_view data_folder) override;
  void StopSearch() override;
  void ApplyFilterBar() override;

  // ICriteriaHost (RunAction above serves both)
  void OnCriteriaChanged() override;
  HWND MainWindow() const override { return host_.MainWindow(); }
  AppSettings& Settings() override { return host_.Settings(); }

  // For tests: what the page shows now.
  const std::array<std::u16string, 3>& StatusTexts() const { return run_.StatusTexts(); }
  CFindGeneralDialog& General() { return general_; }
  CFindAdvancedDialog& Advanced() { return advanced_; }
  CFindActionDialog& Action() { return action_; }
  CFilesListControl& List(int tab);
  std::wstring ResultTabText(int tab) const;
  double SplitRatio() const { return split_.Ratio(); }
  CMatchPreview& Preview() { return preview_view_; }
  // Reports waiting in the queue (the test's "nothing left behind").
  std::size_t QueuedReports() const { return queue_.Size(); }

 private:
  // A report queue that stops being empty posts this, once.
  static constexpr UINT kWmReportsWaiting = WM_USER + 105;
  static constexpr UINT_PTR kClockTimer = 0;  // the elapsed seconds, every second
  static constexpr UINT_PTR kDrainTimer = 2;  // more reports after input and painting

  // ---- find_page.cpp: making, running, reports ----
  bool CreateChildren(const PageStart& start);
  void StartSearch(bool replace);
  void StopEngines(bool preview_too);
  void UpdateActionState();
  void SetCriteriaRunning(bool running);
  // Handles queued reports for at most one time slice, or all of them
  // (after a stop, when the user waits for the run's end).
  void DrainReports(bool all = false);
  void HandleReport(FindReport& report);
  void AddRecords(FileResultBatch& batch);
  void FinishRun(bool canceled);
  // A row of the found list became selected: the preview shows its file.
  void OnFoundItemChanged(const NMLISTVIEW& change);
  void ClearResults();
  void ClearCriteria();
  // Folders or files dropped from Explorer onto the page: the path field
  // takes them (a file gives its folder; several are joined with ";").
  void TakeDroppedPath(const std::u16string& path);
  void UpdateTabCaptions();
  void PushStatus(StatusChange changed);
  void Balloon(const std::u16string& text);
  ReadOnlyAnswer Ask(const std::u16string& path) override;

  // ---- find_page_input.cpp: layout, splitter, keyboard, notifications ----
  void Layout();
  void PlaceSplitViews(int tab_height);
  void OnCommand(WPARAM wparam, LPARAM lparam);
  void OnInitMenu(HMENU menu);
  bool OnMouse(UINT msg, WPARAM wparam, LPARAM lparam);
  bool OnSetCursor();
  void OnResultTabChanged();
  bool TabAcrossDialogs(bool forward);
  int ShownTab() const;
  CFilesListControl& ShownList() { return List(ShownTab()); }

  IPageHost& host_;
  std::int32_t id_;
  CPendingResults pending_;

  CFindGeneralDialog general_;
  CFindAdvancedDialog advanced_;
  CFindActionDialog action_;
  CFoundFilesListControl found_;
  CSkippedFilesListControl skipped_;
  CErrorFilesListControl errors_;
  CMatchPreview preview_view_;
  CWindow results_tab_;
  HBRUSH white_brush_ = nullptr;
  HACCEL accelerators_ = nullptr;
  // Revoked before the window goes (members go before the base class).
  CFolderDropRegistration drop_;

  CPageRun run_;
  CPreviewSplit split_;
  PageLayout layout_{};
  int last_width_ = 0;
  bool laid_out_ = false;
  bool dragging_ = false;
  int drag_start_y_ = 0;
  int drag_start_height_ = 0;
  bool select_all_ = false;
  bool drain_timer_ = false;
  bool advanced_visible_ = true;

  FileFindParamsIn params_;
  // Every record of the three lists in arrival order; the lists own them.
  std::vector<const FileResult*> all_records_;

  // The engines' side. The reporters outlive the engines that call them.
  std::atomic<HWND> window_{nullptr};
  CReportQueue queue_;
  CReadOnlyQuestionGate gate_;
  CFindReporter main_reporter_;
  CFindReporter preview_reporter_;
  CFinder main_;
  CPreviewRunner preview_;
};

}  // namespace ui
