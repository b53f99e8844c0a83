// One varnel-cli run: drives the engine, prints results as their folder
// batches arrive, builds match lists, asks the read-only question, and says
// how the run ended. Covered by tests/cli/end_to_end_test.cpp.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>

#include "cli/output.h"
#include "cli/read_only_question.h"
#include "engine/finder.h"

namespace cli {

struct RunRequest {
  FileFindParamsIn params;  // validated and prepared
  HandlerSettings handlers;
  bool replace = false;
  bool json = false;
  bool matches = false;
  std::uint32_t max_matches = 0;  // 0: all
  std::uint32_t jobs = 0;         // content-test threads; 0: one per hardware thread
};

struct RunOutcome {
  RunCounts counts;
  bool canceled = false;
};

// 0 when a file was found, 1 when none, 130 when stopped by Ctrl-C, 3 when a
// replace run could not rewrite a file it found.
int ExitCode(const RunOutcome& outcome);

class CCliRun : private CFinder::IFileFindListener {
 public:
  CCliRun(IOutputSink& sink, IReadOnlyQuestion& question);
  ~CCliRun() override;

  // Runs the search to its end on the calling thread's output.
  RunOutcome Run(const RunRequest& request);
  // Stops the run; callable from any thread, before or during Run.
  void Cancel();

 private:
  // What the worker hands to the printing thread, in the order it happened.
  struct Item {
    enum class Type { kBatch, kQuestion, kFinished };
    explicit Item(Type t) : type(t) {}
    Type type;
    FileResultBatch batch;
    std::u16string path;
    std::promise<ReadOnlyAnswer>* answer = nullptr;
    bool canceled = false;
  };

  // Receives a single-file run's match list.
  class CMatchCollector : public CFinder::IFileFindListener {
   public:
    void OnFilesFound(FileResultBatch) override {}
    void OnFindFinished(bool) override {}
    void OnFolderEntered(std::u16string) override {}
    ReadOnlyAnswer AskReplaceReadOnly(const std::u16string&) override {
      return ReadOnlyAnswer::kSkip;
    }
    void OnMatchesReady(std::u16string, std::unique_ptr<MatchList> matches) override {
      matches_ = std::move(matches);
    }
    std::unique_ptr<MatchList> matches_;
  };

  void OnFilesFound(FileResultBatch batch) override;
  void OnFindFinished(bool canceled) override;
  void OnFolderEntered(std::u16string folder) override;
  ReadOnlyAnswer AskReplaceReadOnly(const std::u16string& path) override;
  void OnMatchesReady(std::u16string searched_path, std::unique_ptr<MatchList> matches) override;
  void OnPossibleLeftover(const std::u16string& path) override;

  void Push(Item item);
  Item Pop();
  void PrintBatch(const FileResultBatch& batch, CResultPrinter& printer);
  MatchList CollectMatches(const std::u16string& path);
  // Cancel was called, or Ctrl-C was pressed since the run began.
  bool Stopping() const;

  IOutputSink& sink_;
  IReadOnlyQuestion& question_;
  const RunRequest* request_ = nullptr;
  std::atomic<bool> cancel_requested_{false};
  std::uint32_t interrupts_at_start_ = 0;

  std::mutex queue_lock_;
  std::condition_variable queue_signal_;
  std::deque<Item> queue_;
  std::vector<std::u16string> leftovers_;  // guarded by queue_lock_

  CMatchCollector collector_;
  // Declared last: destroyed first, so no worker outlives the members it uses.
  CFinder match_finder_{&collector_};
  CFinder finder_{this};
};

}  // namespace cli
