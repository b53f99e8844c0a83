// CMatchPreview: the lower area of a find page. Its "Matches" tab is a rich
// edit that shows the selected file's matches as rendered by
// ui/logic/preview_document.h, taken in with one RTF stream; its "File" tab
// is a read-only edit that shows the whole file, read when the tab is first
// chosen. Find runs search the file again with the preview engine
// (CPreviewRunner); replace runs show the list stored in the record.
// Tested by tests/ui/preview_gui_test.cpp.
#pragma once
// <windows.h> comes first.
// clang-format off
#include <windows.h>
// clang-format on

#include <memory>
#include <string>

#include "engine/file_result.h"
#include "engine/search_params.h"
#include "storage/app_settings.h"
#include "toolkit/edit.h"
#include "toolkit/rich_edit_control.h"
#include "ui/logic/page_layout.h"
#include "ui/logic/preview_document.h"
#include "ui/logic/preview_runner.h"

namespace ui {

class CMatchPreview;

// The match view: the rich edit, which also follows the preview engine's
// run on a timer of its own and passes its link clicks on.
class CMatchView : public CRichEditControl {
 public:
  explicit CMatchView(CMatchPreview& owner) : owner_(owner) {}
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void OnReflectedNotify(NMHDR* header, LRESULT* result) override;

 private:
  CMatchPreview& owner_;
};

// The preview's tab control ("Matches", "File").
class CPreviewTab : public CWindow {
 public:
  explicit CPreviewTab(CMatchPreview& owner) : owner_(owner) {}
  void OnReflectedNotify(NMHDR* header, LRESULT* result) override;

 private:
  CMatchPreview& owner_;
};

class CMatchPreview {
 public:
  static constexpr int kMatchesTab = 0;
  static constexpr int kFileTab = 1;

  CMatchPreview();
  ~CMatchPreview();
  CMatchPreview(const CMatchPreview&) = delete;
  CMatchPreview& operator=(const CMatchPreview&) = delete;

  // Makes the three controls as children of `parent` (ids IDC_MATCH_VIEW,
  // IDC_FILE_VIEW, IDC_PREVIEW_TAB); the objects given must outlive this one.
  [[nodiscard]] bool Create(HWND parent, AppSettings& settings, CPreviewRunner& runner);
  void Place(const Box& tab, const Box& views);

  // A found record was selected. `params`: the criteria of the page's last
  // run, which decide between a find and a replace run.
  void Request(const FileResult& record, const FileFindParamsIn& params);
  // The preview engine's report for the last request (WM_FIND_MATCHES).
  void OnMatchesReady(std::u16string searched_path, std::unique_ptr<MatchList> matches);
  // Renders `list` and checks the size limit; the file view reads `source`.
  void ShowMatches(const FileViewSource& source, MatchList list);
  void SelectTab(int index);
  // Clear results: the preview engine stops and both views empty.
  void Clear();
  // The "Show all matches." link: the same file without the match limit.
  void ShowAll();
  // WM_PREVIEW_GOTO: the match of the double-clicked line, selected in the
  // file view.
  void GoToMatch();
  // Ctrl+C and Shift+Insert in the match view copy its selection; never
  // handled (the control sees the key too).
  bool PreTranslateMessage(const MSG* msg);

  // The preview engine's timer tick (CMatchView).
  void OnPollTimer();

  HWND MatchView() const { return match_view_.Handle(); }
  HWND FileView() const { return file_view_.Handle(); }
  HWND TabControl() const { return tab_.Handle(); }
  int CurrentTab() const;
  const PreviewDocument& Document() const { return document_; }

 private:
  HWND MakeMatchView(bool visible) const;
  void SetUpMatchView();
  void RenewMatchView();
  void StartEngine(bool show_all);
  void StopPolling();
  void ShowTab(int index);
  void LoadFileView();
  void ShowMessage(std::u16string_view text);
  void StreamIn(const PreviewDocument& document);
  PreviewOptions Options() const;

  AppSettings* settings_ = nullptr;
  CPreviewRunner* runner_ = nullptr;
  CMatchView match_view_;
  CEdit file_view_;
  CPreviewTab tab_;
  HWND parent_ = nullptr;
  HFONT file_font_ = nullptr;
  bool polling_ = false;
  std::size_t lines_in_view_ = 0;

  // The request: the run's criteria and the selected file.
  FileFindParamsIn params_;
  std::u16string record_path_;
  bool show_all_ = false;
  // What the match view shows.
  MatchList matches_;
  PreviewDocument document_;
  FileViewSource file_source_;
  bool file_view_filled_ = false;
};

}  // namespace ui
