// Reads one file as decoded UTF-16 text in pieces: byte-order-mark detection,
// decoding in 1024-byte logical blocks, pieces cut after each CR LF, character
// and byte offsets, line numbers and the NUL rule.
// Tested by tests/engine/content_reader_test.cpp.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_result.h"
#include "platform/fs.h"
#include "platform/text.h"

enum class TextEncoding : std::int32_t {
  kAnsi = 0,
  kUtf8 = 1,
  kUtf16Le = 2,
  kUtf16Be = 3,
  kUtf32Le = 4,
  kUtf32Be = 5,
};

// Bytes per code unit as the file stores it (UTF-8 and ANSI vary).
int UnitSize(TextEncoding encoding);
// Size in the file of `text` in `encoding` (UTF-8: its UTF-8 length).
std::uint64_t EncodedSize(TextEncoding encoding, std::u16string_view text);
// Encodes text for writing in `encoding`; false when a character cannot be
// represented exactly.
[[nodiscard]] bool EncodeText(TextEncoding encoding, std::u16string_view text, std::string& out);
// Decodes a complete byte range in `encoding` (no carry).
std::u16string DecodeText(TextEncoding encoding, std::string_view bytes);

class ContentReader {
 public:
  // The logical block: the reader decodes and cuts pieces per 1024 bytes,
  // whatever size it reads from the disk.
  static constexpr std::size_t kBlockSize = 1024;

  struct Piece {
    std::u16string_view text;
    std::uint64_t char_offset = 0;   // of the first character in the decoded content
    std::uint64_t byte_offset = 0;   // of the first character in the file, mark included
    std::uint64_t line_index = 0;    // 0-based
  };

  ContentReader();
  // `forced`: the encoding to assume when the file has no mark (nullptr: the
  // ANSI code page). `verify_round_trip`: note whether re-encoding the decoded
  // text would give back the file's bytes (needed before a rewrite).
  [[nodiscard]] bool Open(const std::u16string& path, bool null_check, const TextEncoding* forced,
                          bool verify_round_trip = false);
  // The next piece; false at the end, on a read error or when the NUL rule
  // ended the pass (error_kind()/reason() tell).
  [[nodiscard]] bool NextPiece(Piece& piece);
  void Close();

  TextEncoding encoding() const { return encoding_; }
  std::uint32_t mark_length() const { return mark_length_; }
  ResultKind error_kind() const { return error_kind_; }
  std::int32_t reason() const { return reason_; }
  // The system error of a failed open (err::bad_file_type for a pipe or a
  // device), else 0.
  std::uint32_t error_code() const { return error_code_; }
  // The open file: its identity and metadata are read from this handle.
  platform::File& file() { return file_; }
  // False when the content would not survive decoding and re-encoding byte
  // for byte (only tracked with verify_round_trip).
  bool round_trips() const { return round_trips_; }
  const std::u16string& path() const { return path_; }
  // Bytes read from the file so far: its size once a pass reached its end.
  std::uint64_t bytes_read() const { return file_pos_; }
  // Size of the open file in bytes; 0 when none is open or it cannot be told.
  std::uint64_t FileSize();

  // Context for the match list: decodes `size` bytes at `offset`, completing a
  // character cut at the end. False on a seek or read failure.
  [[nodiscard]] bool ReadDecoded(std::uint64_t offset, std::size_t size, std::u16string& out);

  // Files no larger than this are read in one go when opened (0: in chunks),
  // so that WholeFile can hand them to a byte scan before any decoding.
  void SetWholeFileLimit(std::size_t bytes) { whole_limit_ = bytes; }
  // The whole file as the open read it, when that read reached its end.
  [[nodiscard]] bool WholeFile(std::string_view& bytes) const;
  // Hands `size` raw bytes of the open file from `offset` to `sink`, in
  // blocks, without disturbing the pass; false on a read failure or when
  // `sink` refuses a block.
  [[nodiscard]] bool CopyRaw(std::uint64_t offset, std::uint64_t size,
                             const std::function<bool(std::string_view)>& sink);

 private:
  bool FillBlock();
  bool ReadRaw(std::size_t want, std::string_view& block);
  void DecodeBlock(std::string_view bytes, bool last);
  // Appends bytes [offset, offset + size) of the file (fewer at its end) to
  // `bytes`; false when the file could not be positioned.
  bool AppendBytes(std::uint64_t offset, std::size_t size, std::string& bytes);

  std::u16string path_;
  platform::File file_;
  TextEncoding encoding_ = TextEncoding::kAnsi;
  std::uint32_t mark_length_ = 0;
  bool null_check_ = false;
  bool verify_ = false;
  bool round_trips_ = true;
  bool eof_ = false;
  ResultKind error_kind_ = ResultKind::kNone;
  std::int32_t reason_ = 0;
  std::uint32_t error_code_ = 0;

  // Raw bytes read from the disk in large chunks, served as logical blocks.
  std::vector<char> raw_;
  std::size_t raw_pos_ = 0;
  std::size_t raw_end_ = 0;
  std::uint64_t raw_offset_ = 0;  // file offset of raw_[0]
  std::uint64_t file_pos_ = 0;    // where the next read of the file starts
  std::size_t whole_limit_ = 0;
  bool whole_ = false;  // the first read came back short: raw_ holds the file
  std::string held_;  // an incomplete character carried to the next block

  std::u16string pending_;
  std::size_t pending_pos_ = 0;
  std::u16string piece_;
  std::uint64_t char_total_ = 0;
  std::uint64_t byte_total_ = 0;
  std::uint64_t line_counter_ = 0;
};
