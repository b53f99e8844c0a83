// Reports as values and the read-only question's gate (see find_reports.h).
// Tested by tests/ui/page_logic_test.cpp.
#include "ui/logic/find_reports.h"

#include "toolkit/logic/message_box_layout.h"
#include "ui/logic/page_text.h"

namespace ui {

unsigned ReportMessage(FindReport::Kind kind) {
  switch (kind) {
    case FindReport::Kind::kBatch: return kWmFindResults;
    case FindReport::Kind::kFolderEntered: return kWmFindProgress;
    case FindReport::Kind::kFinished: return kWmFindFinished;
    case FindReport::Kind::kMatchesReady: return kWmFindMatches;
    case FindReport::Kind::kLeftover: return 0;
  }
  return 0;
}

// ---- CReportQueue ----

bool CReportQueue::Push(FindReport report) {
  bool was_empty;
  {
    std::lock_guard<std::mutex> guard(lock_);
    was_empty = reports_.empty();
    reports_.push_back(std::move(report));
  }
  signal_.notify_all();
  return was_empty;
}

std::vector<FindReport> CReportQueue::TakeAll() {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<FindReport> all;
  all.reserve(reports_.size());
  for (FindReport& report : reports_) all.push_back(std::move(report));
  reports_.clear();
  return all;
}

std::optional<FindReport> CReportQueue::WaitNext(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!signal_.wait_for(guard, limit, [this] { return !reports_.empty(); })) return std::nullopt;
  FindReport report = std::move(reports_.front());
  reports_.pop_front();
  return report;
}

std::size_t CReportQueue::Size() const {
  std::lock_guard<std::mutex> guard(lock_);
  return reports_.size();
}

// ---- CFindReporter ----

CFindReporter::CFindReporter(ReportSource source, CReportQueue& queue, IReadOnlyAsker* asker,
                             std::function<void()> wake)
    : source_(source), queue_(queue), asker_(asker), wake_(std::move(wake)) {}

void CFindReporter::Post(FindReport report) {
  report.source = source_;
  report.run = run_.load();
  if (queue_.Push(std::move(report)) && wake_) wake_();
}

void CFindReporter::OnFilesFound(FileResultBatch batch) {
  FindReport report;
  report.kind = FindReport::Kind::kBatch;
  report.batch = std::move(batch);
  Post(std::move(report));
}

void CFindReporter::OnFindFinished(bool canceled) {
  FindReport report;
  report.kind = FindReport::Kind::kFinished;
  report.canceled = canceled;
  Post(std::move(report));
}

void CFindReporter::OnFolderEntered(std::u16string folder) {
  FindReport report;
  report.kind = FindReport::Kind::kFolderEntered;
  report.path = std::move(folder);
  Post(std::move(report));
}

ReadOnlyAnswer CFindReporter::AskReplaceReadOnly(const std::u16string& path) {
  return asker_ ? asker_->Ask(path) : ReadOnlyAnswer::kSkip;
}

void CFindReporter::OnMatchesReady(std::u16string searched_path,
                                   std::unique_ptr<MatchList> matches) {
  FindReport report;
  report.kind = FindReport::Kind::kMatchesReady;
  report.path = std::move(searched_path);
  report.matches = std::move(matches);
  Post(std::move(report));
}

void CFindReporter::OnPossibleLeftover(const std::u16string& path) {
  FindReport report;
  report.kind = FindReport::Kind::kLeftover;
  report.path = path;
  Post(std::move(report));
}

// ---- The read-only question ----

ReadOnlyAnswer ReadOnlyAnswerOfButton(int code) {
  switch (code - toolkit::kFirstCustomButtonCode) {
    case 0: return ReadOnlyAnswer::kReplace;
    case 1: return ReadOnlyAnswer::kSkip;
    case 2: return ReadOnlyAnswer::kReplaceAll;
    case 3: return ReadOnlyAnswer::kSkipAll;
    default: return ReadOnlyAnswer::kSkip;
  }
}

void CReadOnlyQuestionGate::Reset() {
  std::lock_guard<std::mutex> guard(lock_);
  open_ = false;
  stopped_ = false;
  close_ = nullptr;
}

bool CReadOnlyQuestionGate::Open() {
  std::lock_guard<std::mutex> guard(lock_);
  if (stopped_) return false;
  open_ = true;
  return true;
}

bool CReadOnlyQuestionGate::Attach(std::function<void()> close) {
  std::lock_guard<std::mutex> guard(lock_);
  if (stopped_) return false;
  close_ = std::move(close);
  return true;
}

ReadOnlyAnswer CReadOnlyQuestionGate::Close(int button_code) {
  std::lock_guard<std::mutex> guard(lock_);
  open_ = false;
  close_ = nullptr;
  return stopped_ ? ReadOnlyAnswer::kSkipAll : ReadOnlyAnswerOfButton(button_code);
}

bool CReadOnlyQuestionGate::Stop() {
  std::function<void()> close;
  bool was_open;
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopped_ = true;
    was_open = open_;
    close = std::move(close_);
    close_ = nullptr;
  }
  // Outside the lock: the box's thread may be answering at this moment and
  // then needs the lock for Close.
  if (close) close();
  return was_open;
}

bool CReadOnlyQuestionGate::IsOpen() const {
  std::lock_guard<std::mutex> guard(lock_);
  return open_;
}

ReadOnlyAnswer AskThroughGate(CReadOnlyQuestionGate& gate, const std::u16string& path,
                              const std::function<int(const std::u16string& text)>& show) {
  if (!gate.Open()) return ReadOnlyAnswer::kSkipAll;
  const int code = show(ReadOnlyQuestionText(path));
  return gate.Close(code);
}

}  // namespace ui
