// One varnel-cli run over the engine. Covered by tests/cli/end_to_end_test.cpp.
#include "cli/cli_run.h"

#include <algorithm>

#include "cli/interrupt.h"

namespace cli {

int ExitCode(const RunOutcome& outcome) {
  if (outcome.canceled) return 130;
  if (outcome.counts.replace_failed) return 3;
  return outcome.counts.found ? 0 : 1;
}

CCliRun::CCliRun(IOutputSink& sink, IReadOnlyQuestion& question)
    : sink_(sink), question_(question) {}

CCliRun::~CCliRun() = default;

RunOutcome CCliRun::Run(const RunRequest& request) {
  request_ = &request;
  interrupts_at_start_ = InterruptCount();
  CResultPrinter printer(sink_, request.json, request.replace);
  RunOutcome outcome;
  if (!cancel_requested_.load()) {
    finder_.SetHandlerSettings(request.handlers);
    finder_.SetWorkerCount(request.jobs);
    finder_.Prepare(request.params);
    finder_.Start(request.replace);
    // Start resets the stop event: a Ctrl-C that came just before must be repeated.
    if (cancel_requested_.load()) finder_.stop_event().Set();
    for (bool finished = false; !finished;) {
      Item item = Pop();
      switch (item.type) {
        case Item::Type::kBatch: PrintBatch(item.batch, printer); break;
        case Item::Type::kQuestion:
          // After Ctrl-C nothing more is rewritten, and nobody is there to answer.
          item.answer->set_value(Stopping() ? ReadOnlyAnswer::kSkipAll : question_.Ask(item.path));
          break;
        case Item::Type::kFinished:
          outcome.canceled = item.canceled;
          finished = true;
          break;
      }
    }
    finder_.Wait();
  }
  // The watcher may not have seen a Ctrl-C yet that ended the question or came
  // after the walk's end; it still counts, as match lists were cut short.
  outcome.canceled = outcome.canceled || Stopping();
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    printer.PrintSummary(outcome.canceled, leftovers_);
    leftovers_.clear();
  }
  outcome.counts = printer.counts();
  request_ = nullptr;
  return outcome;
}

bool CCliRun::Stopping() const {
  return cancel_requested_.load() || InterruptCount() != interrupts_at_start_;
}

void CCliRun::Cancel() {
  cancel_requested_.store(true);
  finder_.stop_event().Set();
  match_finder_.stop_event().Set();
}

void CCliRun::PrintBatch(const FileResultBatch& batch, CResultPrinter& printer) {
  for (const auto& result : batch) {
    bool with_matches =
        request_->matches && result->kind == ResultKind::kFound && !result->is_folder;
    if (!with_matches) {
      printer.Print(*result, std::nullopt);
      continue;
    }
    // A replace run's rewrite made the list; a find run searches the file again.
    MatchList searched;
    const MatchList* list = &result->matches;
    if (!request_->replace) {
      searched = CollectMatches(FullPath(*result));
      list = &searched;
    }
    std::size_t count = list->size();
    if (request_->max_matches) count = std::min<std::size_t>(count, request_->max_matches);
    printer.Print(*result, std::span<const MatchEntry>(list->data(), count));
  }
  printer.EndBatch();
}

MatchList CCliRun::CollectMatches(const std::u16string& path) {
  if (Stopping()) return {};
  FileFindParamsIn params = request_->params;
  params.single_file = true;
  params.path = path;
  params.max_matches = request_->max_matches;
  params.replace = false;
  collector_.matches_.reset();
  match_finder_.SetHandlerSettings(request_->handlers);
  match_finder_.Prepare(params);
  match_finder_.Start(false);
  if (cancel_requested_.load()) match_finder_.stop_event().Set();
  // The run ends by itself; OnMatchesReady, if it comes, comes before that.
  match_finder_.Wait();
  return collector_.matches_ ? std::move(*collector_.matches_) : MatchList{};
}

void CCliRun::Push(Item item) {
  {
    std::lock_guard<std::mutex> guard(queue_lock_);
    queue_.push_back(std::move(item));
  }
  queue_signal_.notify_one();
}

CCliRun::Item CCliRun::Pop() {
  std::unique_lock<std::mutex> guard(queue_lock_);
  queue_signal_.wait(guard, [this] { return !queue_.empty(); });
  Item item = std::move(queue_.front());
  queue_.pop_front();
  return item;
}

void CCliRun::OnFilesFound(FileResultBatch batch) {
  Item item(Item::Type::kBatch);
  item.batch = std::move(batch);
  Push(std::move(item));
}

void CCliRun::OnFindFinished(bool canceled) {
  Item item(Item::Type::kFinished);
  item.canceled = canceled;
  Push(std::move(item));
}

void CCliRun::OnFolderEntered(std::u16string) {}

ReadOnlyAnswer CCliRun::AskReplaceReadOnly(const std::u16string& path) {
  std::promise<ReadOnlyAnswer> answer;
  std::future<ReadOnlyAnswer> reply = answer.get_future();
  Item item(Item::Type::kQuestion);
  item.path = path;
  item.answer = &answer;
  Push(std::move(item));
  return reply.get();
}

void CCliRun::OnMatchesReady(std::u16string, std::unique_ptr<MatchList>) {}

void CCliRun::OnPossibleLeftover(const std::u16string& path) {
  std::lock_guard<std::mutex> guard(queue_lock_);
  leftovers_.push_back(path);
}

}  // namespace cli
