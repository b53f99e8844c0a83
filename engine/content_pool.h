// The workers that run a folder walk's content tests: each has its own
// handlers (and so its own read buffers), takes files from a queue and, in a
// replace run, tests and rewrites each file in one pass. The walk hands the
// results on in its own order.
// Tested by tests/engine/parallel_run_test.cpp and content_run_test.cpp.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/file_result.h"
#include "engine/handler_table.h"
#include "engine/search_params.h"
#include "engine/text_replacer.h"
#include "platform/fs.h"
#include "platform/sync.h"

class CFileHandlerFactoryPro;

// What the content test of one file decided.
enum class ContentVerdict { kNotMatched, kFound, kSkipped, kError };

// One file for a worker, and what became of it.
struct ContentJob {
  std::u16string path;
  std::u16string extension;
  // The listing's entry; the worker completes its details for a result.
  platform::FolderEntry entry;
  // Replace runs: rewrite the file in the pass that tests it. Off for a
  // read-only file the run already knows it will skip.
  bool rewrite = false;

  ContentVerdict verdict = ContentVerdict::kNotMatched;
  std::int32_t reason = 0;
  std::uint32_t error_code = 0;
  bool canceled = false;
  // A found file's rewrite: written and waiting for its commit, or failed
  // (`failure`, or the pass's own reason when that is 0).
  std::unique_ptr<PreparedRewrite> rewritten;
  ReplaceFailure failure;
  bool rewrite_failed = false;
  std::uint64_t match_count = 0;
  MatchList matches;
  std::vector<std::u16string> created;  // temporary files and backups made
  std::atomic<bool> done{false};
};

// Removes the temporary file of a rewrite that will not be committed.
void DiscardRewrite(ContentJob& job);

// What every worker of a run shares; fixed while the run lasts.
struct ContentRunSetup {
  const FileFindParamsIn* params = nullptr;
  const HandlerSettings* settings = nullptr;
  platform::Event* stop_event = nullptr;
  bool replace = false;
  std::uint32_t list_limit = 0;  // matches a replace run keeps per record
  // The passes' options, made once from `params` by the pool.
  ContentPassOptions find_pass, replace_pass;
};

class CContentPool {
 public:
  // Starts `workers` threads (at least one).
  CContentPool(const ContentRunSetup& setup, unsigned workers);
  // Drops the jobs not started and joins the workers.
  ~CContentPool();
  CContentPool(const CContentPool&) = delete;
  CContentPool& operator=(const CContentPool&) = delete;

  std::size_t size() const { return workers_.size(); }
  // The job stays the caller's; it must outlive its run (see Done). Idle
  // workers are woken once a few jobs are queued, or by Kick: a wake-up per
  // small file would cost more than its test.
  void Submit(ContentJob* job);
  void Kick();
  // Whether the job ran; waits up to `wait` for it.
  bool Done(const ContentJob* job, std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  // Waits up to `wait` until at most `count` jobs are in flight.
  bool WaitBelow(std::size_t count, std::chrono::milliseconds wait);
  // Jobs submitted and not yet done.
  std::size_t in_flight();
  // Takes back a job no worker has started; false when one has.
  bool Withdraw(const ContentJob* job);

 private:
  struct Worker;
  void Serve(Worker& worker);

  ContentRunSetup setup_;
  std::size_t planned_;  // workers asked for, fixed before any starts
  std::mutex lock_;
  std::condition_variable work_;
  std::condition_variable finished_;
  std::deque<ContentJob*> queue_;
  std::atomic<std::size_t> in_flight_{0};
  std::size_t idle_ = 0;  // workers waiting for work
  // The walk waits (for `wait_job_`, or for at most `wait_below_` jobs in
  // flight): workers wake it when that comes true, and only then.
  std::atomic<bool> waiter_{false};
  const ContentJob* wait_job_ = nullptr;
  std::size_t wait_below_ = 0;
  bool closing_ = false;
  std::vector<std::unique_ptr<Worker>> workers_;
};

// The content test of one file on the calling thread, as a worker runs it.
void RunContentJob(const ContentRunSetup& setup, CFileHandlerFactoryPro& factory, ContentJob& job);
