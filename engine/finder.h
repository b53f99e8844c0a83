// The search engine: walks folders on a worker thread, tests every entry by
// name, attributes, size and dates, hands candidate files to the content
// workers and, in a replace run, commits their rewrites; reports per-folder
// batches in walk order.
// Tested by tests/engine/finder_test.cpp, content_run_test.cpp and
// parallel_run_test.cpp.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_result.h"
#include "engine/handler_table.h"
#include "engine/search_params.h"
#include "platform/fs.h"
#include "platform/sync.h"

class CContentPool;
class CFlushCrew;
class CFileHandlerFactoryPro;
class CTextFinder;
struct ContentJob;

// The most matches a replace run keeps in a record when the run sets no
// limit of its own; every match is still replaced.
inline constexpr std::uint32_t kReplaceListLimit = 10000;

enum class ReadOnlyAnswer : std::int32_t {
  kReplace = 0,
  kSkip = 1,
  kReplaceAll = 2,
  kSkipAll = 3,
};

class CFinder {
 public:
  class IFileFindListener {
   public:
    virtual ~IFileFindListener() = default;
    // After each folder's entries were examined, when at least one result was
    // made; the listener owns the batch. A folder that takes long hands its
    // results over in parts, in the same order.
    virtual void OnFilesFound(FileResultBatch batch) = 0;
    // Once at the end of a folder walk.
    virtual void OnFindFinished(bool canceled) = 0;
    // Before each folder's entries are listed.
    virtual void OnFolderEntered(std::u16string folder) = 0;
    // A read-only file in a replace run whose action is Ask; called on the
    // worker thread, which waits for the answer.
    virtual ReadOnlyAnswer AskReplaceReadOnly(const std::u16string& path) = 0;
    // At the end of a single-file run that was not canceled.
    virtual void OnMatchesReady(std::u16string searched_path, std::unique_ptr<MatchList> matches) = 0;
    // A file named like a temporary file of an interrupted replace run
    // ("X.tmp" beside "X"). It is treated as the user's own file; this only
    // lets the caller mention it. Called on the worker thread.
    virtual void OnPossibleLeftover(const std::u16string& path) { (void)path; }
  };

  explicit CFinder(IFileFindListener* listener);
  ~CFinder();
  CFinder(const CFinder&) = delete;
  CFinder& operator=(const CFinder&) = delete;

  // The handler settings a run will copy when it starts (defaults until set).
  void SetHandlerSettings(const HandlerSettings& settings);
  // How long a folder's results may wait before the part found so far is
  // handed over (a folder of 100,000 files would otherwise show nothing
  // until its end). Checked between entries, so one slow file can hold a
  // part back for as long as its own test takes. Set before Start.
  void SetBatchInterval(std::chrono::milliseconds interval) { batch_interval_ = interval; }
  // How many threads run content tests (0, the default: one per hardware
  // thread). The results, their order and the listener's calls are the same
  // for any number. Set before Start.
  void SetWorkerCount(unsigned workers) { worker_count_ = workers; }

  void Prepare(const FileFindParamsIn& params);
  // Does nothing while a run is active.
  void Start(bool replace);
  void Stop();
  void Wait();
  bool running() const { return running_.load(); }
  platform::Event& stop_event() { return stop_event_; }
  // The record as adjusted by Start and, for a single-file run, by the run
  // (converted_text, converted_little_endian). Read it after the run ended.
  const FileFindParamsIn& params() const { return params_; }

 private:
  // kContent: the entry passed every other test; its content decides.
  enum class Verdict { kNotMatched, kFound, kSkipped, kError, kContent };
  struct Classification {
    Verdict verdict = Verdict::kNotMatched;
    std::int32_t reason = 0;
    std::uint32_t error_code = 0;
  };
  // One step of the walk. Content tests run on the workers while the walk
  // goes on; the steps reach the listener in walk order, each once every
  // step before it has.
  struct Step {
    enum class Type { kEnter, kRecord, kJob, kFolderEnd, kErrors };
    Type type = Type::kRecord;
    std::u16string folder;               // kEnter
    std::unique_ptr<FileResult> record;  // kRecord, kJob
    std::unique_ptr<ContentJob> job;     // kJob
    bool ask_read_only = false;          // kRecord: a read-only file of a replace run
    FileResultBatch errors;              // kErrors: handed over as they are
  };
  // A rewrite in the current batch, waiting to be flushed and committed.
  struct Uncommitted {
    FileResult* record;
    std::unique_ptr<ContentJob> job;
  };

  void Run();
  void RunFolderWalk();
  void RunSingleFile();
  // `expected`: for a subfolder, what its parent's listing saw under its
  // name; the walk does not enter anything else there.
  bool Walk(const std::u16string& folder, const platform::FileIdentity* expected);
  bool WalkEntry(platform::FolderListing& listing, platform::FolderEntry& entry,
                 const std::u16string& folder);
  bool OpenFolder(platform::FolderListing& listing, const std::u16string& folder,
                  const platform::FileIdentity* expected, FileResultBatch& batch);
  std::unique_ptr<FileResult> MakeRecord(const platform::FolderEntry& entry,
                                         const std::u16string& folder, const Classification& c) const;
  void NoteLeftovers(const std::u16string& folder, const std::u16string& name);
  bool IsExcludedFolder(const std::u16string& folder) const;
  bool MatchName(const std::u16string& name) const;
  Classification Classify(platform::FolderListing& listing, platform::FolderEntry& entry,
                          const std::u16string& full_path);
  Verdict ReadOnlyDecision(const std::u16string& full_path);
  bool NeedsDetails() const;
  bool IsOwnFile(const std::u16string& full_path) const;
  bool Stopping();

  // The ordered hand-over. Each returns false when the run was canceled.
  bool Push(Step step);
  bool Drain(bool wait);
  bool Report(Step& step);
  bool ReportJob(Step& step);
  std::chrono::milliseconds TimeToHandOver() const;
  void HandOverIfDue();
  void HandOver();
  void CommitGroup();
  void Abandon();
  IFileFindListener* listener_;
  FileFindParamsIn params_;
  std::vector<std::u16string> include_masks_;
  std::vector<std::u16string> exclude_masks_;
  std::vector<std::u16string> exclude_folders_;
  platform::Event stop_event_;
  platform::WorkerThread thread_;
  bool replace_mode_ = false;
  std::atomic<bool> running_{false};
  bool canceled_ = false;
  ReadOnlyAction run_read_only_ = ReadOnlyAction::kAsk;
  std::unique_ptr<CFileHandlerFactoryPro> factory_;  // the single-file run's
  std::unique_ptr<CContentPool> pool_;
  std::unique_ptr<CFlushCrew> flush_crew_;  // replace runs
  unsigned worker_count_ = 0;
  std::deque<Step> steps_;
  FileResultBatch batch_;  // the reported folder's records not yet handed over
  std::vector<Uncommitted> group_;
  std::chrono::steady_clock::time_point handed_over_;
  bool handed_any_ = false;           // whether the run has handed over a result yet
  HandlerSettings settings_;          // the running run's own copy
  HandlerSettings pending_settings_;  // what the next run copies
  std::mutex settings_lock_;
  std::set<std::u16string> own_files_;  // temporary files and backups made by this run
  // Folders already walked in this run, by identity: a folder listed twice,
  // or under another spelling, or inside another listed folder, is walked
  // once, so no file is searched or rewritten twice.
  std::set<std::pair<std::uint64_t, std::uint64_t>> visited_;
  std::chrono::milliseconds batch_interval_{100};
};
