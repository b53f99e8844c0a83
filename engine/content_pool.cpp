// The content workers and the content test of one file.
// Tested by tests/engine/parallel_run_test.cpp and content_run_test.cpp.
#include "engine/content_pool.h"

#include <algorithm>
#include <limits>

#include "engine/handler_factory.h"
#include "platform/fs.h"
#include "platform/text.h"

namespace {

using Verdict = ContentVerdict;

// A rewrite with backups links the backup name to the file before the swap;
// a run killed in between leaves the file with that one other name. It is a
// backup of this very content, so the file may be rewritten.
bool IsOwnBackupLink(const std::u16string& full_path, const platform::FileIdentity& identity) {
  for (int n = 1; n <= 99; ++n) {
    std::u16string backup = full_path;
    if (n > 1) backup += u"(" + platform::FromUtf8(std::to_string(n)) + u")";
    backup += u".bak";
    platform::FileIdentity other;
    if (!platform::GetFileIdentity(backup, other)) return false;
    if (other.SameFile(identity)) return true;
  }
  return false;
}

// A rewrite puts a new file under the name: a link would be replaced by a
// plain copy, and other names of a hard-linked file would keep the old text.
void ReplaceableCheck(ContentJob& job) {
  platform::FileIdentity identity;
  if (!platform::GetFileIdentity(job.path, identity)) {
    job.verdict = Verdict::kError;
    job.reason = kReasonOpenError;
    job.error_code = platform::LastError();
  } else if (identity.is_link) {
    job.verdict = Verdict::kSkipped;
    job.reason = kReasonSymbolicLink;
  } else if (!identity.is_regular) {
    job.verdict = Verdict::kSkipped;
    job.reason = kReasonNotRegularFile;
  } else if (identity.link_count > 1 &&
             !(identity.link_count == 2 && IsOwnBackupLink(job.path, identity))) {
    job.verdict = Verdict::kSkipped;
    job.reason = kReasonHardLinks;
  }
}

// The verdict of a pass that found nothing, from the handler's fields.
void TakeHandlerVerdict(const CTextFinder& handler, ContentJob& job) {
  job.verdict = Verdict::kNotMatched;
  if (handler.result_kind == ResultKind::kSkipped) {
    job.verdict = Verdict::kSkipped;
    job.reason = handler.reason;
  } else if (handler.result_kind == ResultKind::kError) {
    job.verdict = Verdict::kError;
    job.reason = handler.reason;
    job.error_code = handler.error_code;
  }
}

ContentPassOptions PassOptions(const FileFindParamsIn& p, std::uint32_t max_matches) {
  return {p.text, p.converted_text, p.case_sensitive, p.word_wrap, max_matches, p.skip_null_files};
}

// The find-mode content test.
void TestOnly(const ContentRunSetup& setup, CTextFinder& handler, ContentJob& job) {
  bool found = ContentPass(handler, job.path, setup.find_pass, nullptr);
  job.canceled = handler.canceled;
  if (!found) return TakeHandlerVerdict(handler, job);
  job.verdict = Verdict::kFound;
}

// A replace run's test and rewrite in one pass: the replacer finds what the
// finder would, and writes the file only once it meets a match.
void TestAndRewrite(const ContentRunSetup& setup, CFileHandlerFactoryPro& factory,
                    CTextFinder& finder, ContentJob& job) {
  const FileFindParamsIn& p = *setup.params;
  CTextReplacer* replacer = factory.CreateReplacer(p.reg_exp);
  if (!replacer) {
    // No rewrite possible: found files say so in their record.
    TestOnly(setup, finder, job);
    job.rewrite_failed = job.verdict == Verdict::kFound;
    return;
  }
  replacer->backup = p.backup;
  replacer->replace_text = p.replace_text;
  replacer->defer_commit = true;
  // Every match is replaced, but the record keeps only the first ones: a
  // file with millions of matches must not hold them all in memory.
  bool ok = ContentPass(*replacer, job.path, setup.replace_pass, &job.matches);
  job.created = replacer->created;
  job.canceled = replacer->canceled;
  if (job.canceled) return;
  job.rewritten = std::move(replacer->prepared);
  if (!replacer->matched() && replacer->failure.reason != 0) {
    // The rewrite could not even begin (its text has no form in the file's
    // encoding...): whether the file is found is the finder's to say.
    TestOnly(setup, finder, job);
    job.rewrite_failed = job.verdict == Verdict::kFound;
    job.failure = replacer->failure;
  } else if (!replacer->matched()) {
    return TakeHandlerVerdict(*replacer, job);
  } else {
    job.verdict = Verdict::kFound;
    job.match_count = replacer->match_count;
    if (!ok) {
      job.rewrite_failed = true;
      job.failure = replacer->failure;
      if (job.failure.reason == 0 && replacer->result_kind != ResultKind::kNone) {
        // The pass itself failed (a read error, a pattern too complex): the
        // handler's own reason, under the failed replacement.
        job.failure = {replacer->reason, replacer->error_code};
      }
    }
  }
  if (job.verdict != Verdict::kFound) return;
  ReplaceableCheck(job);
  if (job.verdict != Verdict::kFound) {
    DiscardRewrite(job);
    job.matches.clear();
    job.rewrite_failed = false;
  }
}

}  // namespace

void DiscardRewrite(ContentJob& job) {
  if (!job.rewritten) return;
  (void)IFileOperations::Real().Discard(job.rewritten->file, job.rewritten->job.temporary);
  job.rewritten.reset();
}

namespace {

void TestContent(const ContentRunSetup& setup, CFileHandlerFactoryPro& factory, ContentJob& job) {
  const FileFindParamsIn& p = *setup.params;
  // With the backup option on, backups are never results, in find runs too.
  if (p.replace && p.backup && platform::Lowered(job.extension) == u"bak") return;
  CTextFinder* handler = factory.CreateFinder(job.extension, p.reg_exp);
  if (!handler) {
    job.verdict = Verdict::kSkipped;
    job.reason = kReasonSkipExtension;
    return;
  }
  if (setup.replace && !handler->SupportsReplace()) {
    job.verdict = Verdict::kSkipped;
    job.reason = kReasonReplaceUnsupported;
    return;
  }
  if (setup.replace && job.rewrite) return TestAndRewrite(setup, factory, *handler, job);
  TestOnly(setup, *handler, job);
  if (setup.replace && job.verdict == Verdict::kFound) ReplaceableCheck(job);
}

}  // namespace

void RunContentJob(const ContentRunSetup& setup, CFileHandlerFactoryPro& factory, ContentJob& job) {
  TestContent(setup, factory, job);
  // A file that becomes a record: its size and times (a vanished file keeps
  // what the listing said).
  if (job.verdict != Verdict::kNotMatched && !job.canceled)
    (void)platform::FolderListing::LoadDetailsByPath(job.path, job.entry);
}

// ---- CContentPool -----------------------------------------------------------------

struct CContentPool::Worker {
  explicit Worker(const ContentRunSetup& setup)
      : factory(std::make_unique<CFileHandlerFactoryPro>(setup.stop_event)) {
    factory->SetSettings(setup.settings);
  }
  std::unique_ptr<CFileHandlerFactoryPro> factory;
  platform::WorkerThread thread;
};

CContentPool::CContentPool(const ContentRunSetup& setup, unsigned workers)
    : setup_(setup), planned_(std::max(1u, workers)) {
  setup_.find_pass = PassOptions(*setup.params, 0);
  setup_.replace_pass = PassOptions(*setup.params, setup.list_limit);
  for (unsigned i = 0; i < std::max(1u, workers); ++i) {
    auto worker = std::make_unique<Worker>(setup_);
    Worker* raw = worker.get();
    if (!worker->thread.Start([this, raw] { Serve(*raw); })) break;
    workers_.push_back(std::move(worker));
  }
}

CContentPool::~CContentPool() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    closing_ = true;
    queue_.clear();
  }
  work_.notify_all();
  for (auto& worker : workers_) worker->thread.Join();
}

void CContentPool::Serve(Worker& worker) {
  // A worker takes a few files at a time from a long queue: one lock per
  // small file would cost more than its test.
  constexpr std::size_t kTakeAtMost = 4;
  std::vector<ContentJob*> taken;
  while (true) {
    taken.clear();
    {
      std::unique_lock<std::mutex> guard(lock_);
      ++idle_;
      work_.wait(guard, [this] { return closing_ || !queue_.empty(); });
      --idle_;
      if (queue_.empty()) return;
      std::size_t share = (queue_.size() + planned_ - 1) / planned_;
      std::size_t n = std::clamp<std::size_t>(share / 2, 1, kTakeAtMost);
      taken.assign(queue_.begin(), queue_.begin() + n);
      queue_.erase(queue_.begin(), queue_.begin() + n);
    }
    for (ContentJob* job : taken) {
      RunContentJob(setup_, *worker.factory, *job);
      job->done.store(true);
      --in_flight_;
      // The walk sets waiter_ before it tests done: one of the two sees the
      // other's store.
      if (waiter_.load()) {
        std::lock_guard<std::mutex> guard(lock_);
        if (job == wait_job_ || in_flight_.load() <= wait_below_) finished_.notify_all();
      }
    }
  }
}

namespace {
constexpr std::size_t kWakeBatch = 8;
}

void CContentPool::Submit(ContentJob* job) {
  bool wake;
  {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.push_back(job);
    ++in_flight_;
    wake = idle_ > 0 && queue_.size() >= kWakeBatch;
  }
  if (wake) work_.notify_one();
}

void CContentPool::Kick() {
  bool wake;
  {
    std::lock_guard<std::mutex> guard(lock_);
    wake = idle_ > 0 && !queue_.empty();
  }
  if (wake) work_.notify_all();
}

bool CContentPool::Done(const ContentJob* job, std::chrono::milliseconds wait) {
  if (job->done.load()) return true;
  if (wait.count() == 0) return false;
  Kick();
  std::unique_lock<std::mutex> guard(lock_);
  wait_job_ = job;
  waiter_.store(true);
  bool done = finished_.wait_for(guard, wait, [job] { return job->done.load(); });
  waiter_.store(false);
  wait_job_ = nullptr;
  return done;
}

bool CContentPool::WaitBelow(std::size_t count, std::chrono::milliseconds wait) {
  if (in_flight_.load() <= count) return true;
  Kick();
  std::unique_lock<std::mutex> guard(lock_);
  wait_below_ = count;
  waiter_.store(true);
  bool below =
      finished_.wait_for(guard, wait, [this, count] { return in_flight_.load() <= count; });
  waiter_.store(false);
  wait_below_ = 0;
  return below;
}

std::size_t CContentPool::in_flight() { return in_flight_.load(); }

bool CContentPool::Withdraw(const ContentJob* job) {
  std::lock_guard<std::mutex> guard(lock_);
  auto at = std::find(queue_.begin(), queue_.end(), job);
  if (at == queue_.end()) return false;
  queue_.erase(at);
  --in_flight_;
  return true;
}
