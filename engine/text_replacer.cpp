// The replacer and the safe commit of a rewritten file.
// Tested by tests/engine/text_replacer_test.cpp and commit_test.cpp.
#include "engine/text_replacer.h"

#include <algorithm>

#include "platform/text.h"

// ---- Real file operations --------------------------------------------------------

bool IFileOperations::CreateNew(const std::u16string& path, platform::File& file) {
  return file.Open(path, platform::File::Mode::kWriteNew);
}
bool IFileOperations::Write(platform::File& file, const std::string& bytes) {
  return file.Write(bytes.data(), bytes.size());
}
bool IFileOperations::Flush(platform::File& file) { return file.Flush(); }
std::uint32_t IFileOperations::Replace(const std::u16string& target, const std::u16string& replacement,
                                       const std::u16string& backup) {
  return platform::ReplaceFile(target, replacement, backup);
}
bool IFileOperations::GetAttributes(const std::u16string& path, std::uint32_t& attributes) {
  return platform::GetFileAttributes(path, attributes);
}
bool IFileOperations::SetAttributes(const std::u16string& path, std::uint32_t attributes) {
  return platform::SetFileAttributes(path, attributes);
}
bool IFileOperations::Exists(const std::u16string& path) { return platform::PathExists(path); }
bool IFileOperations::IsFile(const std::u16string& path) { return platform::IsExistingFile(path); }
bool IFileOperations::Delete(const std::u16string& path) { return platform::DeleteFile(path); }
bool IFileOperations::Move(const std::u16string& from, const std::u16string& to) {
  return platform::MoveFile(from, to);
}

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

// Removes a file even when it is read-only (the old content of a read-only
// target keeps that attribute under its temporary backup name).
void ForceDelete(IFileOperations& ops, const std::u16string& path) {
  if (ops.Delete(path)) return;
  std::uint32_t a = 0;
  if (ops.GetAttributes(path, a) && (a & platform::attr::read_only) &&
      ops.SetAttributes(path, a & ~platform::attr::read_only))
    (void)ops.Delete(path);
}

// One ReplaceFileW. When it stops half-way (1177: the old content under the
// backup name, the new one still under the temporary name, the target's name
// free), the old content is put back, or failing that the new one, so that
// the target's name always holds one of them.
std::uint32_t Swap(IFileOperations& ops, const std::u16string& temporary,
                   const std::u16string& target, const std::u16string& backup) {
  std::uint32_t rc = ops.Replace(target, temporary, backup);
  if (rc != platform::err::unable_to_move_replacement_2) return rc;
  if (ops.Move(backup, target)) return rc;
  return ops.Move(temporary, target) ? platform::err::success : rc;
}

// The swap with the read-only retry. A half-way swap is undone by Swap before
// the attributes are restored, so that whichever content ends up under the
// target's name is read-only again.
std::uint32_t ReplaceWithRetry(IFileOperations& ops, const std::u16string& temporary,
                               const std::u16string& target, const std::u16string& backup) {
  std::uint32_t rc = Swap(ops, temporary, target, backup);
  if (rc != platform::err::access_denied) return rc;
  std::uint32_t attributes = 0;
  if (!ops.GetAttributes(target, attributes) || !(attributes & platform::attr::read_only)) return rc;
  if (!ops.SetAttributes(target, attributes & ~platform::attr::read_only)) return rc;
  rc = Swap(ops, temporary, target, backup);
  // The rewritten file is read-only again, like the file it replaced. A
  // failure here loses only the attribute, never content.
  (void)ops.SetAttributes(target, attributes);
  return rc;
}

}  // namespace

bool CreateTemporaryBeside(IFileOperations& ops, const std::u16string& path,
                           std::u16string_view suffix, platform::File& file, std::u16string& name) {
  for (int n = 1; n <= 99; ++n) {
    std::u16string candidate = path;
    if (n > 1) candidate += u"(" + platform::FromUtf8(std::to_string(n)) + u")";
    candidate += suffix;
    if (ops.Exists(candidate)) continue;
    if (ops.CreateNew(candidate, file)) {
      name = std::move(candidate);
      return true;
    }
    if (!ops.Exists(candidate)) return false;  // not a lost race for the name: give up
  }
  return false;
}

bool Commit(IFileOperations& ops, const std::u16string& temporary, const std::u16string& target,
            const std::u16string& backup, std::vector<std::u16string>* created) {
  std::u16string backup_name = backup;
  bool keep_backup = !backup.empty();
  if (keep_backup && ops.IsFile(backup_name)) {
    int n = 2;
    for (; n <= 99 && ops.IsFile(Numbered(backup, n)); ++n) {
    }
    if (n > 99) {
      ForceDelete(ops, temporary);
      return false;
    }
    backup_name = Numbered(backup, n);
  }
  if (!keep_backup) {
    // ReplaceFileW without a backup name can fail half-way with the target
    // gone; with one, each failure leaves a name we can restore from.
    backup_name.clear();
    for (int n = 1; n <= 99 && backup_name.empty(); ++n) {
      std::u16string candidate = target + (n > 1 ? Numbered(u".vnold", n) : u".vnold");
      if (!ops.Exists(candidate)) backup_name = candidate;
    }
    if (backup_name.empty()) {
      ForceDelete(ops, temporary);
      return false;
    }
  }
  if (created) created->push_back(backup_name);

  bool ok = ReplaceWithRetry(ops, temporary, target, backup_name) == platform::err::success;
  if (!ok && ops.Exists(temporary)) ForceDelete(ops, temporary);
  if (ok && !keep_backup) ForceDelete(ops, backup_name);
  return ok;
}

// ---- CTextReplacer -------------------------------------------------------------------

namespace {
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

bool CTextReplacer::Open() {
  canceled = false;
  failed_ = false;
  held_.clear();
  bytes_.clear();
  created.clear();
  if (!OpenReader(true)) return false;
  // Converted text goes back as UTF-16LE; everything else in the encoding it
  // was read in, with its mark.
  out_encoding_ = converted_text ? TextEncoding::kUtf16Le : reader.encoding();
  std::string probe;
  if (!EncodeText(out_encoding_, replace_text, probe)) {
    reader.Close();
    return false;  // the replacement has no exact form in this file's encoding
  }
  if (!CreateTemporaryBeside(*ops, path, u".tmp", temp_file, temp_path)) {
    reader.Close();
    return false;
  }
  created.push_back(temp_path);
  if (!converted_text && reader.mark_length() > 0) {
    static constexpr unsigned char kMarks[][4] = {
        {}, {0xEF, 0xBB, 0xBF}, {0xFF, 0xFE}, {0xFE, 0xFF}, {0xFF, 0xFE, 0, 0}, {0, 0, 0xFE, 0xFF}};
    const auto* mark = kMarks[static_cast<int>(reader.encoding())];
    bytes_.assign(reinterpret_cast<const char*>(mark), reader.mark_length());
  }
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
  if (!failed_ && !bytes_.empty() && !ops->Write(temp_file, bytes_)) failed_ = true;
  bytes_.clear();
  return !failed_;
}

bool CTextReplacer::WritePiece(std::u16string_view piece, const std::vector<BlockMatch>& ranges,
                               std::int32_t prefix_length) {
  if (failed_) return false;
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
  return WriteText(out_);
}

void CTextReplacer::Discard() {
  temp_file.Close();
  if (!temp_path.empty() && ops->Exists(temp_path)) ForceDelete(*ops, temp_path);
}

bool CTextReplacer::Close() {
  reader.Close();
  if (canceled) {
    Discard();
    return !ops->Exists(temp_path);
  }
  // A pass that did not read the whole file, or content that would not come
  // back byte for byte, must not replace the file.
  bool ok = !failed_ && reader.error_kind() == 0 && reader.round_trips();
  if (ok) ok = WriteText(held_) && FlushBytes() && ops->Flush(temp_file);
  if (!temp_file.Close()) ok = false;
  if (!ok) {
    Discard();
    return false;
  }
  std::u16string backup_name = backup ? path + u".bak" : u"";
  return Commit(*ops, temp_path, path, backup_name, &created);
}
