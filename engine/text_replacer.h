// The replacer: rewrites one file with every occurrence replaced, through a
// temporary file beside it that then takes the file's place, optionally
// keeping a numbered backup; read-only files are handled by clearing and
// restoring their attribute.
// Tested by tests/engine/text_replacer_test.cpp and commit_test.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_finder.h"
#include "platform/fs.h"

// The file operations of a rewrite, behind a seam so that tests can make each
// step fail.
class IFileOperations {
 public:
  virtual ~IFileOperations() = default;
  virtual bool CreateNew(const std::u16string& path, platform::File& file);
  virtual bool Write(platform::File& file, const std::string& bytes);
  virtual bool Flush(platform::File& file);
  virtual std::uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                                const std::u16string& backup);
  virtual bool GetAttributes(const std::u16string& path, std::uint32_t& attributes);
  virtual bool SetAttributes(const std::u16string& path, std::uint32_t attributes);
  virtual bool Exists(const std::u16string& path);
  virtual bool IsFile(const std::u16string& path);
  virtual bool Delete(const std::u16string& path);
  virtual bool Move(const std::u16string& from, const std::u16string& to);

  static IFileOperations& Real();
};

// Why a rewrite failed: one of the kReasonReplace... codes and the system
// error that came with it (0 when none).
struct ReplaceFailure {
  std::int32_t reason = 0;
  std::uint32_t error = 0;
};

// Swaps `temporary` into `target`'s place. With a backup name the old content
// is kept under it (numbered "(2)".."(99)" before the extension when the name
// is taken); without one it is kept under a temporary name until the swap has
// succeeded, so that the target's name always holds the old or the new
// content. On failure the target is unchanged and the temporary file removed.
// `created` receives every name the commit made (backups).
[[nodiscard]] bool Commit(IFileOperations& ops, const std::u16string& temporary,
                          const std::u16string& target, const std::u16string& backup,
                          std::vector<std::u16string>* created = nullptr);

// A free name for the temporary file: path + ".tmp", else path + "(2).tmp"...
// The caller creates it exclusively; false when none could be created.
[[nodiscard]] bool CreateTemporaryBeside(IFileOperations& ops, const std::u16string& path,
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

  bool backup = false;
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
  void Discard();

  TextEncoding out_encoding_ = TextEncoding::kAnsi;
  std::u16string held_;  // original text not yet written: it may start a match
  std::u16string out_;
  std::string bytes_;
  bool failed_ = false;
};
