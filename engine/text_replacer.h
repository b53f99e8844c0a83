// The replacer: rewrites one file with every occurrence replaced, through a
// temporary file beside it that then takes the file's place, optionally
// keeping a numbered backup; read-only files are handled by clearing and
// restoring their attribute.
// Tested by tests/engine/text_replacer_test.cpp and commit_test.cpp.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_finder.h"
#include "platform/fs.h"
#include "platform/sync.h"

// The file operations of a rewrite, behind a seam so that tests can make each
// step fail. Each step returns 0 or the Win32 code of its failure.
class IFileOperations {
 public:
  virtual ~IFileOperations() = default;
  // Creates the temporary file (File::Mode::kWriteTemporary); file_exists
  // when the name is taken.
  [[nodiscard]] virtual std::uint32_t CreateNew(const std::u16string& path, platform::File& file);
  [[nodiscard]] virtual std::uint32_t Write(platform::File& file, const std::string& bytes);
  [[nodiscard]] virtual std::uint32_t Flush(platform::File& file);
  // Gives the temporary file the owner, group and mode (Windows: attributes
  // and creation time) of the file it replaces.
  [[nodiscard]] virtual std::uint32_t SetMetadata(platform::File& file,
                                                  const platform::FileMetadata& metadata);
  [[nodiscard]] virtual std::uint32_t IdentifyOpen(platform::File& file,
                                                   platform::FileIdentity& identity);
  [[nodiscard]] virtual std::uint32_t Identify(const std::u16string& path,
                                               platform::FileIdentity& identity);
  [[nodiscard]] virtual std::uint32_t MakeBackup(const std::u16string& target,
                                                 const std::u16string& backup);
  // Puts the open temporary file `file`, named `path`, under `target`'s name
  // in one step (File::MoveOver).
  [[nodiscard]] virtual std::uint32_t MoveOver(platform::File& file, const std::u16string& path,
                                               const std::u16string& target);
  // Deletes the open temporary file and closes it (File::DeleteAndClose).
  [[nodiscard]] virtual std::uint32_t Discard(platform::File& file, const std::u16string& path);
  [[nodiscard]] virtual std::uint32_t GetAttributes(const std::u16string& path,
                                                    std::uint32_t& attributes);
  [[nodiscard]] virtual std::uint32_t SetAttributes(const std::u16string& path,
                                                    std::uint32_t attributes);
  [[nodiscard]] virtual std::uint32_t Delete(const std::u16string& path);
  virtual bool IsFile(const std::u16string& path);

  static IFileOperations& Real();
};

// Why a rewrite failed: one of the kReasonReplace... codes and the system
// error that came with it (0 when none).
struct ReplaceFailure {
  std::int32_t reason = 0;
  std::uint32_t error = 0;
};

// A rewritten file, ready to take its original's place.
struct CommitJob {
  platform::File* temp_file = nullptr;  // open (kWriteTemporary), written and flushed
  std::u16string temporary;             // its name
  std::u16string target;
  std::u16string backup;            // the backup name asked for; empty for none
  platform::FileIdentity original;  // the target as the rewrite read it
};

// Puts the temporary file in the target's place. With a backup name the old
// content is kept under it as well (numbered "(2)".."(99)" before the
// extension when the name is taken), made before the swap as a second name of
// the old file. The target's name holds the whole old or the whole new
// content at every instant. Just before the swap, the target must still be
// the file that was read and the temporary name the file that was written;
// otherwise nothing is swapped (kReasonReplaceChanged). A read-only target is
// made writable for the swap and read-only again afterwards. On failure the
// target is as it was, the temporary file and any backup made are removed,
// and `failure` says why. The temporary file is closed in every case.
// `created` receives the backup name made.
[[nodiscard]] bool Commit(IFileOperations& ops, const CommitJob& job, ReplaceFailure& failure,
                          std::vector<std::u16string>* created = nullptr);

// A rewritten file, written but not yet flushed, waiting for its commit.
struct PreparedRewrite {
  platform::File file;
  CommitJob job;  // job.temp_file points at `file`
};

// Flushes the files of several rewrites together (in parallel: each flush
// mostly waits for the disk, and the file system commits concurrent flushes
// together), then commits each in turn as Commit does. `failures[i]` says how
// rewrite i ended (reason 0: it took its target's place). A rewrite whose
// flush failed is removed and fails (kReasonReplaceWrite). Every temporary
// file is closed or removed afterwards.
// Threads that run the flushes of a group of rewrites side by side. A run
// keeps one crew for all its groups, so that a group does not start threads
// of its own; they start with the first group that needs them.
class CFlushCrew {
 public:
  explicit CFlushCrew(std::size_t threads = 16);
  ~CFlushCrew();
  CFlushCrew(const CFlushCrew&) = delete;
  CFlushCrew& operator=(const CFlushCrew&) = delete;

  // Runs task(i) for every i below `count` on the crew and the calling
  // thread; returns once all have run.
  void ForEach(std::size_t count, const std::function<void(std::size_t)>& task);

 private:
  void Serve();

  std::size_t planned_;
  std::mutex lock_;
  std::condition_variable work_, finished_;
  const std::function<void(std::size_t)>* task_ = nullptr;
  std::size_t count_ = 0, next_ = 0, done_ = 0;
  std::uint64_t round_ = 0;
  bool closing_ = false;
  std::vector<std::unique_ptr<platform::WorkerThread>> threads_;
};

void CommitRewrites(IFileOperations& ops, const std::vector<PreparedRewrite*>& rewrites,
                    std::vector<ReplaceFailure>& failures, std::vector<std::u16string>* created,
                    CFlushCrew* crew = nullptr);

// Creates the temporary file beside `path`: path + suffix, else
// path + "(2)" + suffix... up to "(99)". Returns 0 or the error of the
// creation that failed for another reason than a taken name.
[[nodiscard]] std::uint32_t CreateTemporaryBeside(IFileOperations& ops, const std::u16string& path,
                                                  std::u16string_view suffix, platform::File& file,
                                                  std::u16string& name);

class CTextReplacer : public CTextFinder {
 public:
  bool Open() override;
  bool Close() override;
  bool WritePiece(std::u16string_view piece, const std::vector<BlockMatch>& ranges,
                  std::int32_t prefix_length) override;
  std::int32_t ReplacementLength() const override {
    return static_cast<std::int32_t>(replace_text.size());
  }

  // Whether the last pass met a match. The temporary file is made at the
  // first match, so a file without one is read once and nothing is written.
  bool matched() const { return matched_; }

  bool backup = false;
  // Close leaves the written file in `prepared` instead of flushing it and
  // swapping it in; the caller commits it (CommitRewrites).
  bool defer_commit = false;
  std::unique_ptr<PreparedRewrite> prepared;
  std::u16string replace_text;
  std::u16string temp_path;
  platform::File temp_file;
  // Why the last rewrite failed (reason 0 after success or a cancel).
  ReplaceFailure failure;
  // Names this replacer created (temporary files and backups); the finder
  // never reports them.
  std::vector<std::u16string> created;
  IFileOperations* ops = &IFileOperations::Real();

 private:
  bool WriteText(std::u16string_view text);
  bool FlushBytes();
  bool Fail(std::int32_t reason, std::uint32_t error);
  bool StartTemporary();
  bool FinishTemporary();
  void Discard();

  TextEncoding out_encoding_ = TextEncoding::kAnsi;
  std::u16string held_;  // original text not yet written: it may start a match
  std::u16string out_;
  std::string bytes_;
  bool failed_ = false;
  bool matched_ = false;
  bool started_ = false;            // the temporary file exists
  std::uint64_t passed_bytes_ = 0;  // content before the first match, copied as it is
  std::uint32_t write_error_ = 0;   // of the write that set failed_; 0: encoding
  platform::FileIdentity original_;
  platform::FileMetadata metadata_;
};
