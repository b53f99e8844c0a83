// The replacer and the safe commit of a rewritten file.
// Tested by tests/engine/text_replacer_test.cpp and commit_test.cpp.
#include "engine/text_replacer.h"

#include <algorithm>
#include <atomic>
#include <optional>

#include "engine/file_result.h"
#include "platform/sync.h"
#include "platform/text.h"

// ---- Real file operations --------------------------------------------------------

namespace {
// 0 after success, else the call's error, never 0 (ERROR_GEN_FAILURE stands
// in for an unknown one). Callers read the error after the call has run: as
// two arguments of one call their order would be unspecified.
std::uint32_t Code(bool ok, std::uint32_t error) {
  if (ok) return 0;
  return error != 0 ? error : 31;
}
std::uint32_t FileCode(bool ok, const platform::File& file) { return Code(ok, file.error()); }
std::uint32_t SystemCode(bool ok) { return Code(ok, platform::LastError()); }
}  // namespace

std::uint32_t IFileOperations::CreateNew(const std::u16string& path, platform::File& file) {
  bool ok = file.Open(path, platform::File::Mode::kWriteTemporary);
  return FileCode(ok, file);
}
std::uint32_t IFileOperations::Write(platform::File& file, const std::string& bytes) {
  bool ok = file.Write(bytes.data(), bytes.size());
  return FileCode(ok, file);
}
std::uint32_t IFileOperations::Flush(platform::File& file) {
  bool ok = file.Flush();
  return FileCode(ok, file);
}
std::uint32_t IFileOperations::SetMetadata(platform::File& file,
                                           const platform::FileMetadata& metadata) {
  bool ok = file.SetMetadata(metadata);
  return FileCode(ok, file);
}
std::uint32_t IFileOperations::IdentifyOpen(platform::File& file,
                                            platform::FileIdentity& identity) {
  bool ok = file.GetIdentity(identity);
  return FileCode(ok, file);
}
std::uint32_t IFileOperations::Identify(const std::u16string& path,
                                        platform::FileIdentity& identity) {
  bool ok = platform::GetFileIdentity(path, identity);
  return SystemCode(ok);
}
std::uint32_t IFileOperations::MakeBackup(const std::u16string& target,
                                          const std::u16string& backup) {
  bool ok = platform::MakeBackup(target, backup);
  return SystemCode(ok);
}
std::uint32_t IFileOperations::MoveOver(platform::File& file, const std::u16string& path,
                                        const std::u16string& target) {
  return file.MoveOver(path, target);
}
std::uint32_t IFileOperations::Discard(platform::File& file, const std::u16string& path) {
  bool ok = file.DeleteAndClose(path);
  return FileCode(ok, file);
}
std::uint32_t IFileOperations::GetAttributes(const std::u16string& path,
                                             std::uint32_t& attributes) {
  bool ok = platform::GetFileAttributes(path, attributes);
  return SystemCode(ok);
}
std::uint32_t IFileOperations::SetAttributes(const std::u16string& path, std::uint32_t attributes) {
  bool ok = platform::SetFileAttributes(path, attributes);
  return SystemCode(ok);
}
std::uint32_t IFileOperations::Delete(const std::u16string& path) {
  bool ok = platform::DeleteFile(path);
  return SystemCode(ok);
}
bool IFileOperations::IsFile(const std::u16string& path) { return platform::IsExistingFile(path); }

IFileOperations& IFileOperations::Real() {
  static IFileOperations real;
  return real;
}

// ---- Commit ------------------------------------------------------------------------

namespace {

std::u16string Numbered(const std::u16string& name, int n) {
  std::size_t dot = name.rfind(u'.');
  std::size_t sep = name.rfind(platform::kPathSeparator);
  std::u16string number = u"(" + platform::FromUtf8(std::to_string(n)) + u")";
  if (dot == std::u16string::npos || (sep != std::u16string::npos && dot < sep))
    return name + number;
  return name.substr(0, dot) + number + name.substr(dot);
}

// The backup name to use: `backup`, or the first of its numbered forms that
// is not an existing file; empty when all 99 are taken.
std::u16string FreeBackupName(IFileOperations& ops, const std::u16string& backup) {
  if (!ops.IsFile(backup)) return backup;
  for (int n = 2; n <= 99; ++n) {
    std::u16string candidate = Numbered(backup, n);
    if (!ops.IsFile(candidate)) return candidate;
  }
  return {};
}

// Removes a backup made by this commit. It is another name of the target's
// file: a read-only attribute cleared to delete it is the target's too, and
// is set again.
void RemoveBackup(IFileOperations& ops, const std::u16string& backup,
                  const std::u16string& target) {
  if (ops.Delete(backup) == 0) return;
  std::uint32_t attributes = 0;
  if (ops.GetAttributes(backup, attributes) != 0 || !(attributes & platform::attr::read_only))
    return;
  if (ops.SetAttributes(backup, attributes & ~platform::attr::read_only) != 0) return;
  (void)ops.Delete(backup);
  (void)ops.SetAttributes(target, attributes);
}

// Whether the names are still what the rewrite read and wrote: the target the
// file that was read, unchanged, and the temporary name the file written.
// Anything else means another program got there meanwhile.
std::uint32_t CheckNames(IFileOperations& ops, const CommitJob& job, bool& unchanged) {
  platform::FileIdentity target, temporary, written;
  unchanged = false;
  if (std::uint32_t rc = ops.Identify(job.target, target)) return rc;
  if (std::uint32_t rc = ops.Identify(job.temporary, temporary)) return rc;
  if (std::uint32_t rc = ops.IdentifyOpen(*job.temp_file, written)) return rc;
  unchanged = !target.is_link && target.Unchanged(job.original) && !temporary.is_link &&
              temporary.SameFile(written);
  return 0;
}

// The swap, with the read-only retry: Windows refuses to rename over a
// read-only file (so does the POSIX stand-in), so the attribute is cleared,
// the swap retried, and the attribute set again on whatever the name holds
// then. `restore` is the attributes to set again (0: none were cleared).
std::uint32_t SwapWithRetry(IFileOperations& ops, const CommitJob& job, std::uint32_t& restore) {
  restore = 0;
  std::uint32_t rc = ops.MoveOver(*job.temp_file, job.temporary, job.target);
  if (rc != platform::err::access_denied) return rc;
  std::uint32_t attributes = 0;
  if (ops.GetAttributes(job.target, attributes) != 0 || !(attributes & platform::attr::read_only))
    return rc;
  if (ops.SetAttributes(job.target, attributes & ~platform::attr::read_only) != 0) return rc;
  restore = attributes;
  return ops.MoveOver(*job.temp_file, job.temporary, job.target);
}

bool Failed(ReplaceFailure& failure, std::int32_t reason, std::uint32_t error) {
  failure = {reason, error};
  return false;
}

}  // namespace

std::uint32_t CreateTemporaryBeside(IFileOperations& ops, const std::u16string& path,
                                    std::u16string_view suffix, platform::File& file,
                                    std::u16string& name) {
  std::uint32_t rc = platform::err::file_exists;
  for (int n = 1; n <= 99 && rc == platform::err::file_exists; ++n) {
    std::u16string candidate = path;
    if (n > 1) candidate += u"(" + platform::FromUtf8(std::to_string(n)) + u")";
    candidate += suffix;
    // Created exclusively: a name someone else holds is never overwritten.
    rc = ops.CreateNew(candidate, file);
    if (rc == 0) name = std::move(candidate);
  }
  return rc;
}

bool Commit(IFileOperations& ops, const CommitJob& job, ReplaceFailure& failure,
            std::vector<std::u16string>* created) {
  // The backup is a second name of the old file, made while the target's
  // name still holds it: at no moment does the target's name stand empty.
  std::u16string backup;
  if (!job.backup.empty()) {
    backup = FreeBackupName(ops, job.backup);
    std::uint32_t rc =
        backup.empty() ? platform::err::file_exists : ops.MakeBackup(job.target, backup);
    if (rc != 0) {
      (void)ops.Discard(*job.temp_file, job.temporary);
      return Failed(failure, kReasonReplaceBackup, rc);
    }
    if (created) created->push_back(backup);
  }
  auto fail = [&](std::int32_t reason, std::uint32_t error) {
    if (!backup.empty()) RemoveBackup(ops, backup, job.target);
    (void)ops.Discard(*job.temp_file, job.temporary);
    return Failed(failure, reason, error);
  };
  bool unchanged = false;
  if (std::uint32_t rc = CheckNames(ops, job, unchanged)) return fail(kReasonReplaceChanged, rc);
  if (!unchanged) return fail(kReasonReplaceChanged, 0);
  std::uint32_t restore = 0;
  std::uint32_t rc = SwapWithRetry(ops, job, restore);
  if (rc != 0) {
    // The old file is still under the target's name: the backup goes first,
    // while the attribute it shares with the target is still cleared.
    if (!backup.empty()) RemoveBackup(ops, backup, job.target);
    if (restore != 0) (void)ops.SetAttributes(job.target, restore);
    (void)ops.Discard(*job.temp_file, job.temporary);
    return Failed(failure, kReasonReplaceSwap, rc);
  }
  // The rewritten file is read-only again, like the file it replaced, and
  // so is the backup, which is that old file. A failure here loses only the
  // attribute, never content.
  if (restore != 0) {
    (void)ops.SetAttributes(job.target, restore);
    if (!backup.empty()) (void)ops.SetAttributes(backup, restore);
  }
  // The data and the new name were flushed; a close cannot lose them now.
  job.temp_file->Close();
  failure = {};
  return true;
}

CFlushCrew::CFlushCrew(std::size_t threads) : planned_(threads) {}

CFlushCrew::~CFlushCrew() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    closing_ = true;
  }
  work_.notify_all();
  for (auto& thread : threads_) thread->Join();
}

void CFlushCrew::Serve() {
  std::uint64_t seen = 0;
  std::unique_lock<std::mutex> guard(lock_);
  while (true) {
    work_.wait(guard, [&] { return closing_ || round_ != seen; });
    if (closing_) return;
    seen = round_;
    while (next_ < count_) {
      const std::size_t i = next_++;
      guard.unlock();
      (*task_)(i);
      guard.lock();
      if (++done_ == count_) finished_.notify_all();
    }
  }
}

void CFlushCrew::ForEach(std::size_t count, const std::function<void(std::size_t)>& task) {
  if (count == 0) return;
  std::unique_lock<std::mutex> guard(lock_);
  // Helpers beyond the tasks would only wait; the caller is one of the crew.
  while (threads_.size() + 1 < std::min(planned_, count)) {
    auto thread = std::make_unique<platform::WorkerThread>();
    if (!thread->Start([this] { Serve(); })) break;
    threads_.push_back(std::move(thread));
  }
  task_ = &task;
  count_ = count;
  next_ = done_ = 0;
  ++round_;
  work_.notify_all();
  while (next_ < count_) {
    const std::size_t i = next_++;
    guard.unlock();
    task(i);
    guard.lock();
    ++done_;
  }
  finished_.wait(guard, [&] { return done_ == count_; });
  task_ = nullptr;
  count_ = 0;
}

void CommitRewrites(IFileOperations& ops, const std::vector<PreparedRewrite*>& rewrites,
                    std::vector<ReplaceFailure>& failures, std::vector<std::u16string>* created,
                    CFlushCrew* crew) {
  failures.assign(rewrites.size(), {});
  std::vector<std::uint32_t> flushed(rewrites.size(), 0);
  // Flushes mostly wait for the disk: more threads than cores pay off.
  std::optional<CFlushCrew> own;
  if (!crew) crew = &own.emplace();
  crew->ForEach(rewrites.size(), [&](std::size_t i) { flushed[i] = ops.Flush(rewrites[i]->file); });
  for (std::size_t i = 0; i < rewrites.size(); ++i) {
    CommitJob& job = rewrites[i]->job;
    if (flushed[i] != 0) {
      (void)ops.Discard(*job.temp_file, job.temporary);
      failures[i] = {kReasonReplaceWrite, flushed[i]};
      continue;
    }
    (void)Commit(ops, job, failures[i], created);
  }
}

// ---- CTextReplacer -------------------------------------------------------------------

namespace {
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

bool CTextReplacer::Fail(std::int32_t reason, std::uint32_t error) {
  failure = {reason, error};
  return false;
}

bool CTextReplacer::Open() {
  canceled = false;
  failed_ = false;
  write_error_ = 0;
  failure = {};
  held_.clear();
  bytes_.clear();
  created.clear();
  prepared.reset();
  matched_ = started_ = false;
  passed_bytes_ = 0;
  // OpenReader leaves the reader's failure, with its system code, in the
  // handler's fields.
  if (!OpenReader(true)) return false;
  // What the file is now, and what its replacement must keep of it, from the
  // handle that reads it: the commit refuses to swap if the name has come to
  // hold anything else by then.
  platform::File& original = reader.file();
  if (!original.GetIdentity(original_)) {
    reader.Close();
    return Fail(kReasonReplaceChanged, original.error());
  }
  // Converted text goes back as UTF-16LE; everything else in the encoding it
  // was read in, with its mark.
  out_encoding_ = converted_text ? TextEncoding::kUtf16Le : reader.encoding();
  std::string probe;
  if (!EncodeText(out_encoding_, replace_text, probe)) {
    reader.Close();
    return Fail(kReasonReplaceEncoding, 0);  // no exact form in this file's encoding
  }
  // Text written back in the encoding it was read in is the file's own bytes
  // up to the first match: the temporary file is made then, and those bytes
  // are copied. Otherwise (converted text going back in another encoding)
  // it is made now.
  if (out_encoding_ != reader.encoding() && !StartTemporary()) {
    reader.Close();
    return false;
  }
  return true;
}

bool CTextReplacer::StartTemporary() {
  platform::File& original = reader.file();
  if (!original.GetMetadata(metadata_)) return Fail(kReasonReplaceOwner, original.error());
  if (std::uint32_t rc = CreateTemporaryBeside(*ops, path, u".tmp", temp_file, temp_path))
    return Fail(kReasonReplaceTempCreate, rc);
  created.push_back(temp_path);
  started_ = true;
  if (!converted_text && reader.mark_length() > 0) {
    static constexpr unsigned char kMarks[][4] = {
        {}, {0xEF, 0xBB, 0xBF}, {0xFF, 0xFE}, {0xFE, 0xFF}, {0xFF, 0xFE, 0, 0}, {0, 0, 0xFE, 0xFF}};
    const auto* mark = kMarks[static_cast<int>(reader.encoding())];
    bytes_.assign(reinterpret_cast<const char*>(mark), reader.mark_length());
  }
  if (passed_bytes_ == 0) return true;
  bool copied = reader.CopyRaw(reader.mark_length(), passed_bytes_, [this](std::string_view block) {
    bytes_.append(block);
    return FlushBytes();
  });
  if (failed_) return Fail(kReasonReplaceWrite, write_error_);
  if (!copied) return Fail(kReasonReadError, reader.file().error());
  return true;
}

bool CTextReplacer::WriteText(std::u16string_view text) {
  // Pieces are short (a line, or a 1 KB block): the bytes are gathered and
  // written in large blocks.
  constexpr std::size_t kWriteBlock = 64 * 1024;
  if (!EncodeText(out_encoding_, text, bytes_)) failed_ = true;
  if (!failed_ && bytes_.size() >= kWriteBlock) FlushBytes();
  return !failed_;
}

bool CTextReplacer::FlushBytes() {
  if (!failed_ && !bytes_.empty()) write_error_ = ops->Write(temp_file, bytes_);
  if (write_error_ != 0) failed_ = true;
  bytes_.clear();
  return !failed_;
}

bool CTextReplacer::WritePiece(std::u16string_view piece, const std::vector<BlockMatch>& ranges,
                               std::int32_t prefix_length) {
  if (failed_ || failure.reason != 0) return false;
  if (!ranges.empty()) matched_ = true;
  if (matched_ && !started_ && !StartTemporary()) return false;
  // The start of the piece repeats text of the previous one; the part of it
  // still held back is the only part not yet written.
  std::size_t cursor = static_cast<std::size_t>(prefix_length) - held_.size();
  const std::size_t hold_from = piece.size() - std::min(carry_length, piece.size());
  out_.clear();
  for (const auto& r : ranges) {
    std::size_t start = static_cast<std::size_t>(r.start);
    if (start < cursor) continue;  // cannot happen: matches never overlap written text
    out_.append(piece.substr(cursor, start - cursor));
    out_.append(replace_text);
    cursor = start + static_cast<std::size_t>(r.length);
  }
  // Hold back the characters the next piece will carry: a match may begin
  // among them, and they must be written replaced or not at all.
  std::size_t limit = std::max(hold_from, cursor);
  // Never cut a surrogate pair: half a character cannot be encoded on its
  // own in UTF-8 or UTF-32. No match starts at a low surrogate, so the pair
  // is written now.
  if (limit > cursor && limit < piece.size() && IsLowSurrogate(piece[limit]) &&
      IsHighSurrogate(piece[limit - 1]) && (text.empty() || !IsLowSurrogate(text[0])))
    ++limit;
  out_.append(piece.substr(cursor, limit - cursor));
  held_.assign(piece.substr(limit));
  if (!started_) {
    passed_bytes_ += EncodedSize(out_encoding_, out_);
    return true;
  }
  return WriteText(out_);
}

void CTextReplacer::Discard() {
  if (temp_file.IsOpen()) (void)ops->Discard(temp_file, temp_path);
}

// Writes what is still held, gives the temporary file the original's owner
// and mode, and flushes it; false with `failure` set.
bool CTextReplacer::FinishTemporary() {
  if (failure.reason != 0) return false;  // the temporary file could not be started
  // Content that would not come back byte for byte must not replace the file.
  if (!failed_ && !reader.round_trips()) return Fail(kReasonReplaceRoundTrip, 0);
  // Nor may content the pass did not read to its end: the file changed.
  if (reader.bytes_read() != original_.size) return Fail(kReasonReplaceChanged, 0);
  if (!failed_) {
    WriteText(held_);
    FlushBytes();
  }
  // A failed write says so; a failure without one was a text with no exact
  // form in the file's encoding.
  if (failed_)
    return Fail(write_error_ != 0 ? kReasonReplaceWrite : kReasonReplaceRoundTrip, write_error_);
  // Owner and mode are set before the flush, so that they reach the disk
  // with the data.
  if (std::uint32_t rc = ops->SetMetadata(temp_file, metadata_))
    return Fail(kReasonReplaceOwner, rc);
  if (defer_commit) return true;  // flushed with others before the commit
  if (std::uint32_t rc = ops->Flush(temp_file)) return Fail(kReasonReplaceWrite, rc);
  return true;
}

bool CTextReplacer::Close() {
  reader.Close();
  if (canceled) {
    failure = {};
    return !temp_file.IsOpen() || ops->Discard(temp_file, temp_path) == 0;
  }
  // Nothing matched: nothing to rewrite.
  if (!matched_) {
    Discard();
    return reader.error_kind() == ResultKind::kNone && failure.reason == 0;
  }
  // A pass that did not read the whole file leaves it alone; the reader's
  // kind and reason say why.
  if (reader.error_kind() != ResultKind::kNone || !FinishTemporary()) {
    Discard();
    return false;
  }
  CommitJob job;
  job.temp_file = &temp_file;
  job.temporary = temp_path;
  job.target = path;
  job.backup = backup ? path + u".bak" : u"";
  job.original = original_;
  if (defer_commit) {
    prepared = std::make_unique<PreparedRewrite>();
    prepared->file = std::move(temp_file);
    prepared->job = std::move(job);
    prepared->job.temp_file = &prepared->file;
    return true;
  }
  return Commit(*ops, job, failure, &created);
}
