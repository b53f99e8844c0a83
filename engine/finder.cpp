// The search engine's worker: folder walk, entry tests, content test, replace
// step and the single-file run.
// Tested by tests/engine/finder_test.cpp, content_run_test.cpp and
// parallel_run_test.cpp.
#include "engine/finder.h"

#include <algorithm>
#include <limits>
#include <thread>

#include "engine/content_pool.h"
#include "engine/handler_factory.h"
#include "platform/text.h"

namespace {

// Bounds of the walk's lead over what it reported: steps held (records
// included) and files handed to the workers.
constexpr std::size_t kMaxSteps = 4096;
// A find run keeps many files queued, so that the walk and the workers
// rarely wait for each other (each wait costs a wake-up and a switch, more
// than testing a small file). A replace run keeps few: a rewritten file
// holds its open temporary file until the walk reports it.
constexpr std::size_t kJobsPerWorker = 256;
constexpr std::size_t kRewritesPerWorker = 16;
// Rewrites flushed together at most.
constexpr std::size_t kGroupLimit = 64;

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) {
  if (!folder.empty() && folder.back() == platform::kPathSeparator) return folder + name;
  return folder + platform::kPathSeparator + name;
}

std::u16string WithoutTrailingSeparator(std::u16string path) {
  if (!path.empty() && path.back() == platform::kPathSeparator) path.pop_back();
  return path;
}

bool HasAttribute(const platform::FolderEntry& e, std::uint32_t bit) {
  return (e.attributes & bit) != 0;
}

bool FailsCondition(AttributeCondition condition, bool has) {
  return (condition == AttributeCondition::kOnly && !has) ||
         (condition == AttributeCondition::kNone && has);
}

}  // namespace

// The stop event stays set once set (until the next Start): the walk and
// every worker see it.
CFinder::CFinder(IFileFindListener* listener)
    : listener_(listener),
      stop_event_(true),
      factory_(std::make_unique<CFileHandlerFactoryPro>(&stop_event_)) {}

CFinder::~CFinder() {
  if (thread_.Joinable()) {
    stop_event_.Set();
    thread_.Join();
  }
  factory_.reset();
}

void CFinder::SetHandlerSettings(const HandlerSettings& settings) {
  std::lock_guard<std::mutex> guard(settings_lock_);
  pending_settings_ = settings;
}

void CFinder::Prepare(const FileFindParamsIn& params) {
  params_ = params;
  MaskList masks = ParseMaskList(params_.file_name);
  include_masks_ = std::move(masks.include);
  exclude_masks_ = std::move(masks.exclude);
}

void CFinder::Start(bool replace) {
  if (running_) return;
  if (thread_.Joinable()) thread_.Join();  // a run that ended by itself
  replace_mode_ = replace;
  running_ = true;
  canceled_ = false;
  own_files_.clear();
  run_read_only_ = params_.replace_read_only;
  {
    std::lock_guard<std::mutex> guard(settings_lock_);
    settings_ = pending_settings_;
  }
  factory_->SetSettings(&settings_);
  if (!params_.text.empty() && params_.binary) {
    params_.text = params_.hex_text;
    params_.replace_text = params_.hex_replace_text;
    params_.case_sensitive = true;
  }
  // A regular expression keeps its text: lowering it would change what its
  // escapes mean (\D would become \d); its handlers ignore case themselves.
  if (!params_.case_sensitive && !params_.reg_exp) params_.text = platform::Lowered(params_.text);
  stop_event_.Reset();
  if (!thread_.Start([this] { Run(); })) {
    running_ = false;
    listener_->OnFindFinished(true);
  }
}

void CFinder::Stop() {
  stop_event_.Set();
  thread_.Join();
  running_ = false;
}

void CFinder::Wait() {
  thread_.Join();
  running_ = false;
}

void CFinder::Run() {
  platform::DebugOutput(u"find thread started");
  if (params_.single_file)
    RunSingleFile();
  else
    RunFolderWalk();
  platform::DebugOutput(u"find thread ended");
}

void CFinder::RunFolderWalk() {
  exclude_folders_.clear();
  // The long form of the path (8.3 names expanded); a list of several
  // folders cannot resolve and stays as it is.
  bool appended = params_.path.empty() || params_.path.back() != platform::kPathSeparator;
  std::u16string probe = params_.path;
  if (appended) probe.push_back(platform::kPathSeparator);
  std::u16string long_path;
  if (!params_.path.empty() && platform::GetLongPathName(probe, long_path)) {
    if (appended && long_path.size() > 1 && long_path.back() == platform::kPathSeparator)
      long_path.pop_back();
    params_.path = long_path;
  }
  FolderList folders = ParseFolderList(params_.path);
  for (const auto& f : folders.exclude)
    if (!f.empty()) exclude_folders_.push_back(platform::Lowered(WithoutTrailingSeparator(f)));
  visited_.clear();
  handed_over_ = std::chrono::steady_clock::now();
  handed_any_ = false;
  if (!params_.text.empty()) {
    ContentRunSetup setup;
    setup.params = &params_;
    setup.settings = &settings_;
    setup.stop_event = &stop_event_;
    setup.replace = replace_mode_;
    setup.list_limit = params_.max_matches != 0 ? params_.max_matches : kReplaceListLimit;
    unsigned workers = worker_count_ != 0 ? worker_count_ : std::thread::hardware_concurrency();
    pool_ = std::make_unique<CContentPool>(setup, std::max(1u, workers));
    if (replace_mode_) flush_crew_ = std::make_unique<CFlushCrew>();
  }
  bool canceled = false;
  for (const auto& folder : folders.include) {
    // An empty piece names no folder; it must never become the root.
    if (folder.empty()) continue;
    if (!Walk(folder, nullptr)) {
      canceled = true;
      break;
    }
  }
  while (!canceled && !steps_.empty())
    if (!Drain(true)) canceled = true;
  if (canceled) Abandon();
  HandOver();
  pool_.reset();
  flush_crew_.reset();
  running_ = false;
  listener_->OnFindFinished(canceled);
}

bool CFinder::IsExcludedFolder(const std::u16string& folder) const {
  if (exclude_folders_.empty()) return false;
  std::u16string lowered = platform::Lowered(WithoutTrailingSeparator(folder));
  return std::any_of(exclude_folders_.begin(), exclude_folders_.end(), [&](const auto& excluded) {
    return lowered.find(excluded) != std::u16string::npos;
  });
}

namespace {

std::unique_ptr<FileResult> FolderError(const std::u16string& folder, std::int32_t reason,
                                        std::uint32_t error_code) {
  auto result = std::make_unique<FileResult>();
  std::u16string path = WithoutTrailingSeparator(folder);
  std::size_t sep = path.rfind(platform::kPathSeparator);
  result->file_name = sep == std::u16string::npos ? path : path.substr(sep + 1);
  result->folder = sep == std::u16string::npos ? std::u16string() : path.substr(0, sep);
  result->is_folder = reason != kReasonNotAFolder;
  result->size = result->is_folder ? kFolderSize : 0;
  result->type = ExtensionOf(result->file_name);
  result->kind = ResultKind::kError;
  result->reason = reason;
  result->error_code = error_code;
  return result;
}

}  // namespace

// Opens `folder` for listing when it is to be walked: not walked before in
// this run, and for a subfolder still the folder its parent listed (never a
// link put in its place). False leaves it out; an error record says why
// where the user should know.
bool CFinder::OpenFolder(platform::FolderListing& listing, const std::u16string& folder,
                         const platform::FileIdentity* expected, FileResultBatch& batch) {
  using Follow = platform::FolderListing::Follow;
  if (!listing.Open(folder, expected ? Follow::kNoLinks : Follow::kLinks)) {
    const bool file = !expected && platform::IsExistingFile(folder);
    batch.push_back(FolderError(folder, file ? kReasonNotAFolder : kReasonFolderList,
                                file ? 0 : listing.error()));
    return false;
  }
  platform::FileIdentity identity;
  if (!listing.GetIdentity(identity)) {
    batch.push_back(FolderError(folder, kReasonFolderList, platform::LastError()));
    return false;
  }
  if (expected && !identity.SameFile(*expected)) return false;
  return visited_.insert({identity.volume, identity.index}).second;
}

bool CFinder::Walk(const std::u16string& folder, const platform::FileIdentity* expected) {
  if (IsExcludedFolder(folder)) return true;
  platform::FolderListing listing;
  Step opened;
  if (!OpenFolder(listing, folder, expected, opened.errors)) {
    if (opened.errors.empty()) return true;
    opened.type = Step::Type::kErrors;
    return Push(std::move(opened));
  }
  Step enter;
  enter.type = Step::Type::kEnter;
  enter.folder = folder;
  if (!Push(std::move(enter))) return false;
  // A replace run lists the whole folder before it rewrites anything there:
  // the listing then never holds the run's own temporary files or backups.
  std::vector<platform::FolderEntry> listed;
  const bool list_first = replace_mode_ && !params_.text.empty();
  platform::FolderEntry entry;
  if (list_first)
    while (listing.Next(entry)) listed.push_back(entry);
  std::vector<std::pair<std::u16string, platform::FileIdentity>> subfolders;
  for (std::size_t i = 0; list_first ? i < listed.size() : listing.Next(entry); ++i) {
    if (list_first) entry = std::move(listed[i]);
    if (!WalkEntry(listing, entry, folder)) return false;
    // A link or junction to a folder is reported like any entry but never
    // entered: following links can loop forever.
    if (entry.IsFolder() && params_.include_subfolders && entry.name != u"." &&
        entry.name != u".." && !HasAttribute(entry, platform::attr::reparse_point)) {
      platform::FileIdentity identity;
      std::u16string full_path = JoinPath(folder, entry.name);
      if (platform::GetFileIdentity(full_path, identity) && !identity.is_link)
        subfolders.emplace_back(entry.name, identity);
    }
  }
  listing.Close();
  if (pool_) pool_->Kick();  // the folder's last files are not left waiting for more
  Step end;
  end.type = Step::Type::kFolderEnd;
  if (!Push(std::move(end))) return false;
  for (const auto& [name, identity] : subfolders) {
    if (!Walk(JoinPath(folder, name), &identity)) return false;
  }
  return true;
}

// Tests one entry; a file whose content decides goes to the workers.
bool CFinder::WalkEntry(platform::FolderListing& listing, platform::FolderEntry& entry,
                        const std::u16string& folder) {
  if (Stopping()) return false;
  std::u16string full_path = JoinPath(folder, entry.name);
  if (!entry.IsFolder()) NoteLeftovers(folder, entry.name);
  Classification c = Classify(listing, entry, full_path);
  if (c.verdict == Verdict::kNotMatched) return Drain(false);
  Step step;
  if (c.verdict != Verdict::kContent) {
    listing.LoadDetails(entry);
    step.record = MakeRecord(entry, folder, c);
    // The question is asked in walk order, when the step is reported.
    step.ask_read_only =
        replace_mode_ && !entry.IsFolder() && HasAttribute(entry, platform::attr::read_only);
  } else {
    // Its details (and so whether it is read-only) are loaded by the
    // worker, for a file that becomes a record.
    step.type = Step::Type::kJob;
    step.folder = folder;
    step.job = std::make_unique<ContentJob>();
    step.job->path = std::move(full_path);
    step.job->extension = ExtensionOf(entry.name);
    step.job->entry = entry;
    // A read-only file the run will skip anyway is only tested.
    step.job->rewrite =
        replace_mode_ && !(entry.details_loaded && HasAttribute(entry, platform::attr::read_only) &&
                           run_read_only_ == ReadOnlyAction::kSkip);
    pool_->Submit(step.job.get());
  }
  return Push(std::move(step));
}

bool CFinder::Stopping() {
  if (!canceled_ && stop_event_.Poll()) canceled_ = true;
  return canceled_;
}

bool CFinder::Push(Step step) {
  steps_.push_back(std::move(step));
  while (steps_.size() > kMaxSteps)
    if (!Drain(true)) return false;
  // Too many files under test: the walk waits until the workers are half
  // through them (not for each one in turn), reporting meanwhile.
  const std::size_t max_jobs =
      pool_ ? (replace_mode_ ? kRewritesPerWorker : kJobsPerWorker) * pool_->size() : 0;
  if (pool_ && pool_->in_flight() > max_jobs)
    while (!pool_->WaitBelow(max_jobs / 2, TimeToHandOver()))
      if (!Drain(false)) return false;
  return Drain(false);
}

// Reports the steps whose turn has come. With `wait`, waits for the first
// one if its file is still being tested, handing over the part of the batch
// found so far when it is due.
bool CFinder::Drain(bool wait) {
  while (!steps_.empty()) {
    if (Stopping()) return false;
    Step& head = steps_.front();
    if (head.type == Step::Type::kJob && !pool_->Done(head.job.get())) {
      if (!wait) break;
      if (!pool_->Done(head.job.get(), TimeToHandOver())) {
        HandOverIfDue();
        continue;
      }
    }
    Step step = std::move(head);
    steps_.pop_front();
    if (!Report(step)) return false;
    HandOverIfDue();
    wait = false;
  }
  HandOverIfDue();
  return true;
}

bool CFinder::Report(Step& step) {
  switch (step.type) {
    case Step::Type::kEnter:
      listener_->OnFolderEntered(step.folder);
      handed_over_ = std::chrono::steady_clock::now();
      return true;
    case Step::Type::kErrors: listener_->OnFilesFound(std::move(step.errors)); return true;
    case Step::Type::kFolderEnd: HandOver(); return true;
    case Step::Type::kRecord:
      if (step.ask_read_only &&
          ReadOnlyDecision(JoinPath(step.record->folder, step.record->file_name)) !=
              Verdict::kFound)
        return true;
      batch_.push_back(std::move(step.record));
      return true;
    case Step::Type::kJob: return ReportJob(step);
  }
  return true;
}

bool CFinder::ReportJob(Step& step) {
  ContentJob& job = *step.job;
  own_files_.insert(job.created.begin(), job.created.end());
  if (job.canceled) {
    canceled_ = true;
    return false;
  }
  if (job.verdict == ContentVerdict::kNotMatched) return true;
  step.record = MakeRecord(job.entry, step.folder, {Verdict::kFound});
  FileResult& record = *step.record;
  switch (job.verdict) {
    case ContentVerdict::kNotMatched: return true;
    case ContentVerdict::kSkipped: record.kind = ResultKind::kSkipped; break;
    case ContentVerdict::kError: record.kind = ResultKind::kError; break;
    case ContentVerdict::kFound: record.kind = ResultKind::kFound; break;
  }
  record.reason = job.reason;
  record.error_code = job.error_code;
  if (job.verdict == ContentVerdict::kFound && replace_mode_ &&
      HasAttribute(job.entry, platform::attr::read_only)) {
    // The answer may take long: what was rewritten so far is committed first.
    CommitGroup();
    Verdict verdict = ReadOnlyDecision(job.path);
    // A stop asked for during the question drops this file's rewrite.
    if (verdict != Verdict::kFound || Stopping()) {
      DiscardRewrite(job);
      return !canceled_;
    }
  }
  if (job.verdict == ContentVerdict::kFound && replace_mode_) {
    record.matches = std::move(job.matches);
    if (job.rewrite_failed) {
      record.replaces = -1;
      record.reason = job.failure.reason;
      record.error_code = job.failure.error;
    } else if (job.rewritten) {
      group_.push_back({&record, std::move(step.job)});
    }
  }
  batch_.push_back(std::move(step.record));
  if (group_.size() >= kGroupLimit) CommitGroup();
  return true;
}

// How long the walk may wait before the next part of a batch is due.
std::chrono::milliseconds CFinder::TimeToHandOver() const {
  auto due = handed_over_ + batch_interval_ - std::chrono::steady_clock::now();
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due);
  return std::clamp(left, std::chrono::milliseconds(1), std::chrono::milliseconds(100));
}

void CFinder::HandOverIfDue() {
  if (batch_.empty()) return;
  // Until the run's first result is out, a slow folder shows it sooner.
  auto interval = handed_any_ ? batch_interval_ : batch_interval_ / 10;
  if (std::chrono::steady_clock::now() - handed_over_ >= interval) HandOver();
}

void CFinder::HandOver() {
  CommitGroup();
  handed_over_ = std::chrono::steady_clock::now();
  if (batch_.empty()) return;
  handed_any_ = true;
  listener_->OnFilesFound(std::move(batch_));
  batch_ = FileResultBatch();
}

// Flushes the rewrites of the batch together, then swaps each in.
void CFinder::CommitGroup() {
  if (group_.empty()) return;
  std::vector<PreparedRewrite*> rewrites;
  for (const auto& item : group_) rewrites.push_back(item.job->rewritten.get());
  std::vector<ReplaceFailure> failures;
  std::vector<std::u16string> created;
  CommitRewrites(IFileOperations::Real(), rewrites, failures, &created, flush_crew_.get());
  own_files_.insert(created.begin(), created.end());
  for (std::size_t i = 0; i < group_.size(); ++i) {
    FileResult& record = *group_[i].record;
    group_[i].job->rewritten.reset();
    if (failures[i].reason != 0) {
      record.replaces = -1;
      record.reason = failures[i].reason;
      record.error_code = failures[i].error;
    } else {
      record.replaces = static_cast<std::int32_t>(std::min<std::uint64_t>(
          group_[i].job->match_count, std::numeric_limits<std::int32_t>::max()));
    }
  }
  group_.clear();
}

// After a stop: nothing more is reported or rewritten. Rewrites not yet
// committed are removed with their records; files still being tested end at
// their next poll of the stop event.
void CFinder::Abandon() {
  for (auto& step : steps_) {
    if (step.type != Step::Type::kJob) continue;
    if (!pool_->Withdraw(step.job.get()))
      while (!pool_->Done(step.job.get(), std::chrono::milliseconds(100))) {
      }
    own_files_.insert(step.job->created.begin(), step.job->created.end());
    DiscardRewrite(*step.job);
  }
  steps_.clear();
  std::set<const FileResult*> dropped;
  for (auto& item : group_) {
    DiscardRewrite(*item.job);
    dropped.insert(item.record);
  }
  group_.clear();
  std::erase_if(batch_, [&](const auto& record) { return dropped.count(record.get()) != 0; });
}

std::unique_ptr<FileResult> CFinder::MakeRecord(const platform::FolderEntry& entry,
                                                const std::u16string& folder,
                                                const Classification& c) const {
  auto result = std::make_unique<FileResult>();
  result->file_name = entry.name;
  result->folder = folder;
  result->is_folder = entry.IsFolder();
  result->size = entry.IsFolder() ? kFolderSize : entry.size;
  result->type = ExtensionOf(entry.name);
  result->date_modified = entry.last_write_time;
  result->kind = c.verdict == Verdict::kFound     ? ResultKind::kFound
                 : c.verdict == Verdict::kSkipped ? ResultKind::kSkipped
                                                  : ResultKind::kError;
  result->reason = c.reason;
  result->error_code = c.error_code;
  return result;
}

// "X.tmp" (or "X(2).tmp"...) beside an existing "X" is how a rewrite names
// its temporary file; one left behind means a run was killed mid-file.
void CFinder::NoteLeftovers(const std::u16string& folder, const std::u16string& name) {
  constexpr std::u16string_view kTmp = u".tmp";
  // Called for every file of the walk: compared in place, ASCII case folded.
  if (name.size() <= kTmp.size() ||
      !std::equal(kTmp.begin(), kTmp.end(), name.end() - kTmp.size(),
                  [](char16_t a, char16_t b) { return a == (b >= u'A' && b <= u'Z' ? b + 32 : b); }))
    return;
  std::u16string base = name.substr(0, name.size() - kTmp.size());
  if (base.ends_with(u')')) {
    std::size_t open = base.rfind(u'(');
    if (open != std::u16string::npos && open > 0 && open + 2 < base.size() &&
        std::all_of(base.begin() + open + 1, base.end() - 1, [](char16_t c) { return c >= u'0' && c <= u'9'; }))
      base.resize(open);
  }
  std::u16string full_path = JoinPath(folder, name);
  if (!IsOwnFile(full_path) && platform::IsExistingFile(JoinPath(folder, base)))
    listener_->OnPossibleLeftover(full_path);
}

bool CFinder::MatchName(const std::u16string& name) const {
  for (const auto& mask : exclude_masks_)
    if (MaskMatches(mask, name)) return false;
  for (const auto& mask : include_masks_)
    if (MaskMatches(mask, name)) return true;
  return false;
}

// A replace run's files under a content test get their details from the
// worker, and only those that become records.
bool CFinder::NeedsDetails() const {
  return params_.read_only != AttributeCondition::kAny || params_.size_min != 0 ||
         params_.size_max != 0 || params_.time_type != TimeType::kNone ||
         (replace_mode_ && params_.text.empty());
}

bool CFinder::IsOwnFile(const std::u16string& full_path) const {
  return own_files_.count(full_path) != 0;
}

CFinder::Classification CFinder::Classify(platform::FolderListing& listing,
                                          platform::FolderEntry& entry,
                                          const std::u16string& full_path) {
  if (!MatchName(entry.name)) return {};
  if (NeedsDetails() && !listing.LoadDetails(entry)) return {};  // vanished meanwhile
  if (FailsCondition(params_.hidden, HasAttribute(entry, platform::attr::hidden))) return {};
  if (FailsCondition(params_.read_only, HasAttribute(entry, platform::attr::read_only))) return {};
  if (entry.IsFolder()) {
    if (entry.name == u"." || entry.name == u"..") return {};
    bool plain = params_.size_min == 0 && params_.size_max == 0 && params_.time_min == 0 &&
                 params_.time_max == 0 && params_.text.empty();
    if (!plain || params_.folder == AttributeCondition::kNone) return {};
    return {Verdict::kFound};
  }
  if (params_.folder == AttributeCondition::kOnly) return {};
  if (IsOwnFile(full_path)) return {};
  // The program's own swap name, left by an interrupted run: never searched
  // or rewritten as a user file.
  if (platform::Lowered(ExtensionOf(entry.name)) == u"vnold") return {Verdict::kSkipped, kReasonLeftover};
  if (params_.size_min != 0 && entry.size < params_.size_min) return {};
  if (params_.size_max != 0 && entry.size > params_.size_max) return {};
  if (params_.time_type != TimeType::kNone) {
    platform::FileTime t = params_.time_type == TimeType::kCreated  ? entry.creation_time
                           : params_.time_type == TimeType::kModified ? entry.last_write_time
                                                                      : entry.last_access_time;
    if (params_.time_min != 0 && t < params_.time_min) return {};
    if (params_.time_max != 0 && t > params_.time_max) return {};
  }
  if (!params_.text.empty()) {
    // Reading a pipe or a device could block the run for ever.
    if (HasAttribute(entry, platform::attr::device)) return {Verdict::kSkipped, kReasonNotRegularFile};
    return {Verdict::kContent};
  }
  return {Verdict::kFound};
}

CFinder::Verdict CFinder::ReadOnlyDecision(const std::u16string& full_path) {
  switch (run_read_only_) {
    case ReadOnlyAction::kSkip: return Verdict::kNotMatched;
    case ReadOnlyAction::kReplace: return Verdict::kFound;
    case ReadOnlyAction::kAsk: break;
  }
  switch (listener_->AskReplaceReadOnly(full_path)) {
    case ReadOnlyAnswer::kReplace: return Verdict::kFound;
    case ReadOnlyAnswer::kSkip: return Verdict::kNotMatched;
    case ReadOnlyAnswer::kReplaceAll:
      run_read_only_ = ReadOnlyAction::kReplace;
      return Verdict::kFound;
    case ReadOnlyAnswer::kSkipAll:
      run_read_only_ = ReadOnlyAction::kSkip;
      return Verdict::kNotMatched;
  }
  return Verdict::kNotMatched;
}

void CFinder::RunSingleFile() {
  std::u16string extension;
  std::size_t dot = params_.path.rfind(u'.');
  std::size_t sep = params_.path.rfind(platform::kPathSeparator);
  if (dot != std::u16string::npos && (sep == std::u16string::npos || dot > sep))
    extension = params_.path.substr(dot + 1);
  CTextFinder* handler = factory_->CreateFinder(extension, params_.reg_exp);
  if (!handler) {
    running_ = false;
    return;
  }
  auto matches = std::make_unique<MatchList>();
  ContentPass(*handler, params_.path,
              {params_.text, params_.converted_text, params_.case_sensitive, params_.word_wrap,
               params_.max_matches, params_.skip_null_files},
              matches.get());
  std::u16string searched = handler->SearchedPath();
  if (platform::Lowered(searched) != platform::Lowered(params_.path)) params_.converted_text = true;
  params_.converted_little_endian = handler->IsLittleEndian();
  running_ = false;
  // The page reads the two flags above once the matches arrive.
  if (!handler->canceled) listener_->OnMatchesReady(searched, std::move(matches));
}
