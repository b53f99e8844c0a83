// The preview engine (see preview_runner.h).
// Tested by tests/ui/preview_logic_test.cpp.
#include "ui/logic/preview_runner.h"

namespace ui {

CPreviewRunner::CPreviewRunner(CFindReporter& reporter) : reporter_(reporter), finder_(this) {}

CPreviewRunner::~CPreviewRunner() { Stop(); }

void CPreviewRunner::Start(const FileFindParamsIn& record) {
  Stop();
  reporter_.BeginRun();
  reported_ = false;
  finder_.Prepare(record);
  finder_.Start(false);
  pending_ = true;
}

void CPreviewRunner::Stop() {
  finder_.Stop();
  pending_ = false;
}

CPreviewRunner::Progress CPreviewRunner::Poll() {
  if (!pending_) return Progress::kIdle;
  if (finder_.running()) return Progress::kRunning;
  return Finish();
}

CPreviewRunner::Progress CPreviewRunner::Finish() {
  if (!pending_) return Progress::kIdle;
  // The worker clears its running flag just before it reports: the report
  // is queued once the thread has ended.
  finder_.Wait();
  pending_ = false;
  return reported_ ? Progress::kReported : Progress::kNothing;
}

FileViewSource CPreviewRunner::ReportedSource() const {
  std::lock_guard<std::mutex> guard(lock_);
  return reported_source_;
}

void CPreviewRunner::OnMatchesReady(std::u16string searched_path,
                                    std::unique_ptr<MatchList> matches) {
  {
    // The run set both flags on this thread before it reported.
    std::lock_guard<std::mutex> guard(lock_);
    reported_source_ = {searched_path, finder_.params().converted_text,
                        finder_.params().converted_little_endian};
  }
  reported_ = true;
  reporter_.OnMatchesReady(std::move(searched_path), std::move(matches));
}

}  // namespace ui
