// The search engine's worker: folder walk, entry tests, content test, replace
// step and the single-file run.
// Tested by tests/engine/finder_test.cpp and content_run_test.cpp.
#include "engine/finder.h"

#include <algorithm>
#include <limits>

#include "engine/handler_factory.h"
#include "platform/text.h"

std::mutex& ContentLock() {
  static std::mutex lock;
  return lock;
}

namespace {

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

CFinder::CFinder(IFileFindListener* listener)
    : listener_(listener), factory_(std::make_unique<CFileHandlerFactoryPro>(&stop_event_)) {}

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
  bool canceled = false;
  for (const auto& folder : folders.include) {
    // An empty piece names no folder; it must never become the root.
    if (folder.empty()) continue;
    if (!Walk(folder, nullptr)) {
      canceled = true;
      break;
    }
  }
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
  FileResultBatch batch;
  platform::FolderListing listing;
  if (!OpenFolder(listing, folder, expected, batch)) {
    if (!batch.empty()) listener_->OnFilesFound(std::move(batch));
    return true;
  }
  listener_->OnFolderEntered(folder);
  std::vector<std::pair<std::u16string, platform::FileIdentity>> subfolders;
  bool canceled = false;
  auto handed_over = std::chrono::steady_clock::now();
  platform::FolderEntry entry;
  while (listing.Next(entry)) {
    if (!batch.empty() && std::chrono::steady_clock::now() - handed_over >= batch_interval_) {
      listener_->OnFilesFound(std::move(batch));
      batch = FileResultBatch();
      handed_over = std::chrono::steady_clock::now();
    }
    if (stop_event_.Poll()) {
      canceled = true;
      break;
    }
    std::u16string full_path = JoinPath(folder, entry.name);
    if (!entry.IsFolder()) NoteLeftovers(folder, entry.name);
    Classification c = Classify(listing, entry, full_path);
    if (c.verdict != Verdict::kNotMatched) {
      listing.LoadDetails(entry);
      auto result = MakeRecord(entry, folder, c);
      bool keep = true;
      if (c.verdict == Verdict::kFound && replace_mode_ && !params_.text.empty() && !entry.IsFolder())
        keep = ReplaceStep(*result, full_path);
      if (keep) batch.push_back(std::move(result));
    }
    if (canceled_) {
      canceled = true;
      break;
    }
    // A link or junction to a folder is reported like any entry but never
    // entered: following links can loop forever.
    if (entry.IsFolder() && params_.include_subfolders && entry.name != u"." &&
        entry.name != u".." && !HasAttribute(entry, platform::attr::reparse_point)) {
      platform::FileIdentity identity;
      if (platform::GetFileIdentity(full_path, identity) && !identity.is_link)
        subfolders.emplace_back(entry.name, identity);
    }
  }
  listing.Close();
  if (!batch.empty()) listener_->OnFilesFound(std::move(batch));
  if (canceled) return false;
  for (const auto& [name, identity] : subfolders) {
    if (!Walk(JoinPath(folder, name), &identity)) return false;
  }
  return true;
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

bool CFinder::NeedsDetails() const {
  return params_.read_only != AttributeCondition::kAny || params_.size_min != 0 ||
         params_.size_max != 0 || params_.time_type != TimeType::kNone || replace_mode_;
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
    Classification c = ContentTest(entry, full_path);
    if (c.verdict != Verdict::kFound) return c;
    if (replace_mode_) {
      c = ReplaceableCheck(full_path);
      if (c.verdict != Verdict::kFound) return c;
    }
  }
  if (replace_mode_ && HasAttribute(entry, platform::attr::read_only))
    return {ReadOnlyDecision(full_path)};
  return {Verdict::kFound};
}

// A rewrite puts a new file under the name: a link would be replaced by a
// plain copy, and other names of a hard-linked file would keep the old text.
CFinder::Classification CFinder::ReplaceableCheck(const std::u16string& full_path) const {
  platform::FileIdentity identity;
  if (!platform::GetFileIdentity(full_path, identity))
    return {Verdict::kError, kReasonOpenError, platform::LastError()};
  if (identity.is_link) return {Verdict::kSkipped, kReasonSymbolicLink};
  if (!identity.is_regular) return {Verdict::kSkipped, kReasonNotRegularFile};
  if (identity.link_count > 1 && !(identity.link_count == 2 && IsOwnBackupLink(full_path, identity)))
    return {Verdict::kSkipped, kReasonHardLinks};
  return {Verdict::kFound};
}

// A rewrite with backups links the backup name to the file before the swap;
// a run killed in between leaves the file with that one other name. It is a
// backup of this very content, so the file may be rewritten.
bool CFinder::IsOwnBackupLink(const std::u16string& full_path,
                              const platform::FileIdentity& identity) const {
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

CFinder::Classification CFinder::ContentTest(const platform::FolderEntry& entry,
                                             const std::u16string& full_path) {
  std::u16string extension = ExtensionOf(entry.name);
  // With the backup option on, backups are never results, in find runs too.
  if (params_.replace && params_.backup && platform::Lowered(extension) == u"bak") return {};
  CTextFinder* handler = factory_->CreateFinder(extension, params_.reg_exp);
  if (!handler) return {Verdict::kSkipped, kReasonSkipExtension};
  if (replace_mode_ && !handler->SupportsReplace())
    return {Verdict::kSkipped, kReasonReplaceUnsupported};
  bool found;
  {
    std::lock_guard<std::mutex> guard(ContentLock());
    found = ContentPass(*handler, params_.text, nullptr, full_path, params_.converted_text,
                        params_.case_sensitive, params_.word_wrap, 0, params_.skip_null_files);
  }
  if (handler->canceled) canceled_ = true;
  if (found) return {Verdict::kFound};
  switch (handler->result_kind) {
    case static_cast<std::int32_t>(ResultKind::kSkipped):
      return {Verdict::kSkipped, handler->reason};
    case static_cast<std::int32_t>(ResultKind::kError):
      return {Verdict::kError, handler->reason, handler->error_code};
    default:
      return {};
  }
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

bool CFinder::ReplaceStep(FileResult& result, const std::u16string& full_path) {
  CTextReplacer* replacer = factory_->CreateReplacer(params_.reg_exp);
  if (!replacer) {
    result.replaces = -1;
    return true;
  }
  replacer->backup = params_.backup;
  replacer->replace_text = params_.replace_text;
  replacer->failure = {};
  // Every match is replaced, but the record keeps only the first ones: a
  // file with millions of matches must not hold them all in memory.
  const std::uint32_t kept = params_.max_matches != 0 ? params_.max_matches : kReplaceListLimit;
  bool ok;
  {
    std::lock_guard<std::mutex> guard(ContentLock());
    ok = ContentPass(*replacer, params_.text, &result.matches, full_path, params_.converted_text,
                     params_.case_sensitive, params_.word_wrap, kept, params_.skip_null_files);
  }
  own_files_.insert(replacer->created.begin(), replacer->created.end());
  if (replacer->canceled) {
    canceled_ = true;
    return false;
  }
  if (!ok) {
    result.replaces = -1;
    result.reason = replacer->failure.reason;
    result.error_code = replacer->failure.error;
    if (result.reason == 0 && replacer->result_kind != 0) {
      // The pass itself failed (a read error, a pattern too complex): the
      // handler's own reason, under the failed replacement.
      result.reason = replacer->reason;
      result.error_code = replacer->error_code;
    }
    return true;
  }
  result.replaces = static_cast<std::int32_t>(
      std::min<std::uint64_t>(replacer->match_count, std::numeric_limits<std::int32_t>::max()));
  return true;
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
  {
    std::lock_guard<std::mutex> guard(ContentLock());
    ContentPass(*handler, params_.text, matches.get(), params_.path, params_.converted_text,
                params_.case_sensitive, params_.word_wrap, params_.max_matches,
                params_.skip_null_files);
  }
  std::u16string searched = handler->SearchedPath();
  if (platform::Lowered(searched) != platform::Lowered(params_.path)) params_.converted_text = true;
  params_.converted_little_endian = handler->IsLittleEndian();
  running_ = false;
  // The page reads the two flags above once the matches arrive.
  if (!handler->canceled) listener_->OnMatchesReady(searched, std::move(matches));
}
