// The content reader: byte-order marks, block decoding with cut characters
// carried whole, pieces, offsets, line numbers and the NUL rule.
// Tested by tests/engine/content_reader_test.cpp.
#include "engine/content_reader.h"

#include <algorithm>
#include <cstring>

#include "engine/file_result.h"
#include "platform/scan.h"

namespace {

// The disk is read in chunks of this size; pieces are still cut per 1024-byte
// logical block, so results do not depend on it.
constexpr std::size_t kChunkSize = 64 * 1024;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void DecodeUnits16(std::string_view bytes, bool big_endian, std::u16string& out) {
  std::size_t n = bytes.size() / 2;
  std::size_t old = out.size();
  out.resize(old + n);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned lo = p[2 * i], hi = p[2 * i + 1];
    out[old + i] = static_cast<char16_t>(big_endian ? (lo << 8 | hi) : (hi << 8 | lo));
  }
}

// UTF-32 outside the basic plane becomes a surrogate pair; a value that is no
// character becomes U+FFFD. Returns false when that happened.
bool DecodeUnits32(std::string_view bytes, bool big_endian, std::u16string& out) {
  bool exact = true;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    char32_t c = big_endian
                     ? (char32_t(p[i]) << 24 | char32_t(p[i + 1]) << 16 | char32_t(p[i + 2]) << 8 | p[i + 3])
                     : (char32_t(p[i + 3]) << 24 | char32_t(p[i + 2]) << 16 | char32_t(p[i + 1]) << 8 | p[i]);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(0xFFFD);
      exact = false;
    } else if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return exact;
}

platform::CodePage PageOf(TextEncoding e) {
  return e == TextEncoding::kUtf8 ? platform::CodePage::kUtf8 : platform::CodePage::kAnsi;
}

// Index of the CR of the first CR LF at or after `from`, or npos.
std::size_t FindLineEnd(const std::u16string& text, std::size_t from) {
  const char16_t* p = text.data();
  const std::size_t n = text.size();
  while (from < n) {
    std::size_t cr = from + scan::Find(p + from, n - from, u'\r');
    if (cr + 1 >= n) return std::u16string::npos;
    if (p[cr + 1] == u'\n') return cr;
    from = cr + 1;
  }
  return std::u16string::npos;
}

bool IsMultiByte(TextEncoding e) { return e == TextEncoding::kAnsi || e == TextEncoding::kUtf8; }

}  // namespace

int UnitSize(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf16Le: case TextEncoding::kUtf16Be: return 2;
    case TextEncoding::kUtf32Le: case TextEncoding::kUtf32Be: return 4;
    default: return 1;
  }
}

std::uint64_t EncodedSize(TextEncoding encoding, std::u16string_view text) {
  switch (encoding) {
    case TextEncoding::kAnsi: return text.size();
    case TextEncoding::kUtf16Le: case TextEncoding::kUtf16Be: return 2 * text.size();
    case TextEncoding::kUtf32Le: case TextEncoding::kUtf32Be: {
      std::uint64_t pairs = 0;
      for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1])) ++pairs, ++i;
      return 4 * (text.size() - pairs);
    }
    case TextEncoding::kUtf8: {
      std::uint64_t size = 0;
      for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c < 0x80) size += 1;
        else if (c < 0x800) size += 2;
        else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) size += 4, ++i;
        else size += 3;
      }
      return size;
    }
  }
  return text.size();
}

bool EncodeText(TextEncoding encoding, std::u16string_view text, std::string& out) {
  bool exact = true;
  switch (encoding) {
    case TextEncoding::kAnsi:
    case TextEncoding::kUtf8:
      out += platform::Encode(PageOf(encoding), text, &exact);
      return exact;
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be: {
      bool be = encoding == TextEncoding::kUtf16Be;
      for (char16_t c : text) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out.push_back(be ? hi : lo);
        out.push_back(be ? lo : hi);
      }
      return true;
    }
    case TextEncoding::kUtf32Le:
    case TextEncoding::kUtf32Be: {
      bool be = encoding == TextEncoding::kUtf32Be;
      for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
          c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
          ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
          exact = false;  // a lone surrogate has no UTF-32 form
          c = 0xFFFD;
        }
        char b[4] = {char(c & 0xFF), char((c >> 8) & 0xFF), char((c >> 16) & 0xFF), char(c >> 24)};
        if (be) std::reverse(b, b + 4);
        out.append(b, 4);
      }
      return exact;
    }
  }
  return false;
}

std::u16string DecodeText(TextEncoding encoding, std::string_view bytes) {
  std::u16string out;
  switch (encoding) {
    case TextEncoding::kAnsi: case TextEncoding::kUtf8:
      platform::DecodeAppend(PageOf(encoding), bytes, out);
      break;
    case TextEncoding::kUtf16Le: case TextEncoding::kUtf16Be:
      DecodeUnits16(bytes, encoding == TextEncoding::kUtf16Be, out);
      break;
    case TextEncoding::kUtf32Le: case TextEncoding::kUtf32Be:
      DecodeUnits32(bytes, encoding == TextEncoding::kUtf32Be, out);
      break;
  }
  return out;
}

ContentReader::ContentReader() : raw_(kChunkSize) {}

bool ContentReader::Open(const std::u16string& path, bool null_check, const TextEncoding* forced,
                         bool verify_round_trip) {
  Close();
  path_ = path;
  encoding_ = forced ? *forced : TextEncoding::kAnsi;
  mark_length_ = 0;
  null_check_ = null_check;
  verify_ = verify_round_trip;
  round_trips_ = true;
  eof_ = false;
  error_kind_ = ResultKind::kNone;
  reason_ = 0;
  error_code_ = 0;
  raw_pos_ = raw_end_ = 0;
  raw_offset_ = file_pos_ = 0;
  whole_ = false;
  held_.clear();
  pending_.clear();
  pending_pos_ = 0;
  char_total_ = byte_total_ = 0;
  line_counter_ = 0;

  if (!file_.Open(path, platform::File::Mode::kRead)) {
    error_kind_ = ResultKind::kError;
    reason_ = kReasonOpenError;
    error_code_ = file_.error();
    return false;
  }
  // The first chunk is read now: the mark is detected from it and reading
  // goes on from there, without a second open or a seek.
  std::size_t got = 0;
  std::size_t want = kChunkSize;
  bool ok = file_.Read(raw_.data(), want, got);
  std::uint64_t size = 0;
  if (ok && got == want && whole_limit_ != 0 && file_.GetSize(size) && size < whole_limit_) {
    // The rest of a file within the limit in one more read, asking for one
    // byte more than it holds: a read that comes back short reached the end.
    want = static_cast<std::size_t>(size) + 1;
    if (raw_.size() < want) raw_.resize(want);
    std::size_t more = 0;
    ok = file_.Read(raw_.data() + got, want - got, more);
    got += more;
  }
  if (!ok) {
    error_kind_ = ResultKind::kError;
    reason_ = kReasonReadError;
    got = 0;
  }
  whole_ = ok && got < want;
  raw_end_ = got;
  file_pos_ = got;
  const auto* head = reinterpret_cast<const unsigned char*>(raw_.data());
  auto starts = [&](std::initializer_list<unsigned char> mark) {
    return got >= mark.size() && std::equal(mark.begin(), mark.end(), head);
  };
  if (starts({0xFF, 0xFE, 0x00, 0x00})) encoding_ = TextEncoding::kUtf32Le, mark_length_ = 4;
  else if (starts({0x00, 0x00, 0xFE, 0xFF})) encoding_ = TextEncoding::kUtf32Be, mark_length_ = 4;
  else if (starts({0xEF, 0xBB, 0xBF})) encoding_ = TextEncoding::kUtf8, mark_length_ = 3;
  else if (starts({0xFF, 0xFE})) encoding_ = TextEncoding::kUtf16Le, mark_length_ = 2;
  else if (starts({0xFE, 0xFF})) encoding_ = TextEncoding::kUtf16Be, mark_length_ = 2;
  raw_pos_ = mark_length_;
  byte_total_ = mark_length_;
  return true;
}

void ContentReader::Close() { file_.Close(); }

bool ContentReader::ReadRaw(std::size_t want, std::string_view& block) {
  if (raw_pos_ == raw_end_) {
    std::size_t n = 0;
    if (!file_.Read(raw_.data(), raw_.size(), n)) return false;
    // The end: the bytes at hand stay for CopyRaw.
    if (n == 0) {
      block = {};
      return true;
    }
    raw_offset_ = file_pos_;
    file_pos_ += n;
    raw_pos_ = 0;
    raw_end_ = n;
  }
  std::size_t take = std::min(want, raw_end_ - raw_pos_);
  block = std::string_view(raw_.data() + raw_pos_, take);
  raw_pos_ += take;
  return true;
}

void ContentReader::DecodeBlock(std::string_view bytes, bool last) {
  std::size_t before = pending_.size();
  switch (encoding_) {
    case TextEncoding::kAnsi:
    case TextEncoding::kUtf8: {
      std::string_view input = bytes;
      std::string joined;
      if (!held_.empty()) {
        joined = held_;
        joined.append(bytes);
        input = joined;
      }
      std::size_t tail = last ? 0 : platform::IncompleteTail(PageOf(encoding_), input);
      std::string_view whole = input.substr(0, input.size() - tail);
      platform::DecodeAppend(PageOf(encoding_), whole, pending_);
      if (verify_ && round_trips_) {
        bool exact = true;
        std::string again = platform::Encode(PageOf(encoding_), std::u16string_view(pending_).substr(before), &exact);
        if (!exact || again != whole) round_trips_ = false;
      }
      held_.assign(input.substr(input.size() - tail));
      break;
    }
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      DecodeUnits16(bytes, encoding_ == TextEncoding::kUtf16Be, pending_);
      if (bytes.size() % 2) round_trips_ = false;  // an odd last byte is dropped
      break;
    case TextEncoding::kUtf32Le:
    case TextEncoding::kUtf32Be:
      if (!DecodeUnits32(bytes, encoding_ == TextEncoding::kUtf32Be, pending_) || bytes.size() % 4)
        round_trips_ = false;
      break;
  }
}

bool ContentReader::FillBlock() {
  if (eof_) return false;
  std::string_view block;
  if (!ReadRaw(kBlockSize, block)) {
    error_kind_ = ResultKind::kError;
    reason_ = kReasonReadError;
    eof_ = true;
    return false;
  }
  if (block.empty()) {
    eof_ = true;
    if (held_.empty()) return false;
    // A cut character at the very end of the file: decode what there is.
    std::size_t before = pending_.size();
    platform::DecodeAppend(PageOf(encoding_), held_, pending_);
    held_.clear();
    round_trips_ = false;
    return pending_.size() > before;
  }
  // A block shorter than asked for means the chunk ended; the next call
  // refills it. Only an empty read is the end of the file.
  if (block.size() < kBlockSize && raw_pos_ == raw_end_) {
    std::string_view rest;
    std::string joined(block);
    while (joined.size() < kBlockSize) {
      if (!ReadRaw(kBlockSize - joined.size(), rest)) {
        error_kind_ = ResultKind::kError;
        reason_ = kReasonReadError;
        eof_ = true;
        return false;
      }
      if (rest.empty()) break;
      joined.append(rest);
    }
    DecodeBlock(joined, false);
  } else {
    DecodeBlock(block, false);
  }
  return true;
}

bool ContentReader::NextPiece(Piece& piece) {
  if (error_kind_ != ResultKind::kNone) return false;
  if (pending_pos_ == pending_.size()) {
    pending_.clear();
    pending_pos_ = 0;
    while (pending_.empty()) {
      if (!FillBlock()) return false;
    }
  }
  std::size_t end = std::u16string::npos;
  while (true) {
    std::size_t lf = FindLineEnd(pending_, pending_pos_);
    if (lf != std::u16string::npos) {
      end = lf + 2;
      break;
    }
    // A CR at the end of the block may be followed by the LF that opens the
    // next one: read on so that the line end is not cut in two.
    if (pending_.back() != u'\r' || !FillBlock()) break;
  }
  bool line_end = end != std::u16string::npos;
  if (!line_end) end = pending_.size();
  std::u16string_view text(pending_.data() + pending_pos_, end - pending_pos_);
  if (null_check_ && scan::Find(text.data(), text.size(), u'\0') != text.size()) {
    error_kind_ = ResultKind::kSkipped;
    reason_ = kReasonNullCharacter;
    return false;
  }
  piece.text = text;
  piece.line_index = line_counter_;
  if (line_end) ++line_counter_;
  piece.char_offset = char_total_;
  char_total_ += text.size();
  piece.byte_offset = byte_total_;
  byte_total_ += EncodedSize(encoding_, text);
  pending_pos_ = end;
  return true;
}

bool ContentReader::WholeFile(std::string_view& bytes) const {
  if (!whole_ || raw_offset_ != 0) return false;
  bytes = std::string_view(raw_.data(), raw_end_);
  return true;
}

bool ContentReader::CopyRaw(std::uint64_t offset, std::uint64_t size,
                            const std::function<bool(std::string_view)>& sink) {
  // Bytes still in the buffer need no read.
  if (offset >= raw_offset_ && offset + size <= raw_offset_ + raw_end_)
    return size == 0 || sink(std::string_view(raw_.data() + (offset - raw_offset_), size));
  if (!file_.Seek(offset)) return false;
  std::vector<char> block(std::min<std::uint64_t>(size, kChunkSize));
  bool ok = true;
  while (ok && size > 0) {
    std::size_t n = 0;
    ok = file_.Read(block.data(), std::min<std::uint64_t>(size, block.size()), n) && n > 0 &&
         sink(std::string_view(block.data(), n));
    size -= n;
  }
  // The pass reads on from where it was.
  return file_.Seek(file_pos_) && ok;
}

std::uint64_t ContentReader::FileSize() {
  std::uint64_t size = 0;
  if (!file_.IsOpen() || !file_.GetSize(size)) return 0;
  return size;
}

bool ContentReader::AppendBytes(std::uint64_t offset, std::size_t size, std::string& bytes) {
  // A file read whole is still in the buffer: no call needed.
  if (whole_ && raw_offset_ == 0) {
    if (offset < raw_end_)
      bytes.append(raw_.data() + offset, std::min<std::uint64_t>(size, raw_end_ - offset));
    return true;
  }
  if (!file_.Seek(offset)) return false;
  const std::size_t before = bytes.size();
  bytes.resize(before + size);
  std::size_t got = 0, n = 0;
  while (got < size && file_.Read(bytes.data() + before + got, size - got, n) && n > 0) got += n;
  bytes.resize(before + got);
  return true;
}

bool ContentReader::ReadDecoded(std::uint64_t offset, std::size_t size, std::u16string& out) {
  out.clear();
  std::string bytes;
  if (!file_.IsOpen() || !AppendBytes(offset, size, bytes)) return false;
  // Complete a character cut by the end of the range, so that it is decoded
  // whole rather than as a replacement character.
  auto complete = [&](std::size_t need) { (void)AppendBytes(offset + bytes.size(), need, bytes); };
  if (IsMultiByte(encoding_)) {
    for (int i = 0; i < 3 && platform::IncompleteTail(PageOf(encoding_), bytes) > 0; ++i) {
      std::size_t before = bytes.size();
      complete(1);
      if (bytes.size() == before) break;
    }
  } else if (UnitSize(encoding_) == 2 && bytes.size() >= 2) {
    char16_t last = DecodeText(encoding_, std::string_view(bytes).substr(bytes.size() - 2)).back();
    if (IsHighSurrogate(last)) complete(2);
  }
  out = DecodeText(encoding_, bytes);
  return true;
}
