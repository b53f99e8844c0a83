// The preview engine: a CFinder that searches the one selected file for its
// match list. A new request stops the run still going. It also tells when a
// run ended without a report (the file has no content handler, or its
// handler dropped it), which the engine itself does not, so that the view
// need not wait for a report that never comes.
// Tested by tests/ui/preview_logic_test.cpp.
#pragma once
#include <atomic>
#include <mutex>

#include "engine/finder.h"
#include "ui/logic/find_reports.h"
#include "ui/logic/preview_document.h"

namespace ui {

class CPreviewRunner : private CFinder::IFileFindListener {
 public:
  enum class Progress { kIdle, kRunning, kReported, kNothing };

  // Reports go to `reporter`, which numbers them by run.
  explicit CPreviewRunner(CFindReporter& reporter);
  ~CPreviewRunner() override;

  void SetHandlerSettings(const HandlerSettings& settings) { finder_.SetHandlerSettings(settings); }
  // Stops a run still going (waits for it), then searches `record.path`
  // alone: `record` must be a single-file record.
  void Start(const FileFindParamsIn& record);
  // Signals the stop and waits for the worker.
  void Stop();
  bool Running() const { return finder_.running(); }
  // User-interface thread. After a run ended: kReported once its report is
  // in the reporter's queue, kNothing when there will be none; kIdle when
  // no run was started since the last answer.
  Progress Poll();
  // As Poll, but waits for a run still going to end by itself.
  Progress Finish();
  // How the file view reads the text of the last reported run.
  FileViewSource ReportedSource() const;

 private:
  void OnFilesFound(FileResultBatch batch) override { reporter_.OnFilesFound(std::move(batch)); }
  void OnFindFinished(bool canceled) override { reporter_.OnFindFinished(canceled); }
  void OnFolderEntered(std::u16string folder) override {
    reporter_.OnFolderEntered(std::move(folder));
  }
  ReadOnlyAnswer AskReplaceReadOnly(const std::u16string&) override {
    return ReadOnlyAnswer::kSkip;
  }
  void OnMatchesReady(std::u16string searched_path, std::unique_ptr<MatchList> matches) override;

  CFindReporter& reporter_;
  std::atomic<bool> reported_{false};
  bool pending_ = false;
  mutable std::mutex lock_;
  FileViewSource reported_source_;
  CFinder finder_;  // last: its worker ends before the members above go
};

}  // namespace ui
