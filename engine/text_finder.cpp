// The plain-text finder, the content pass that drives every handler, and the
// match list with its context lines.
// Tested by tests/engine/content_pass_test.cpp.
#include "engine/text_finder.h"

#include <algorithm>

#include "engine/quick_scan.h"
#include "platform/scan.h"
#include "platform/text.h"

CTextFinder::~CTextFinder() = default;

std::u16string CTextFinder::SearchedPath() const { return path; }

bool CTextFinder::OpenReader(bool verify_round_trip) {
  TextEncoding forced = converted_little_endian ? TextEncoding::kUtf16Le : TextEncoding::kUtf16Be;
  if (!reader.Open(path, null_check, converted_text ? &forced : nullptr, verify_round_trip)) {
    result_kind = reader.error_kind();
    reason = reader.reason();
    error_code = reader.error_code();
    // A pipe or device that took the place of a file since it was listed:
    // skipped as such, never read.
    if (error_code == platform::err::bad_file_type) {
      result_kind = ResultKind::kSkipped;
      reason = kReasonNotRegularFile;
      error_code = 0;
    }
    return false;
  }
  return true;
}

bool CTextFinder::RequiredText(std::u16string& required, bool& any_case) {
  if (!SearchesLiterally()) return false;
  any_case = !case_sensitive;
  required.assign(text);
  if (any_case) platform::LowerBuffer(required.data(), required.size());
  return true;
}

bool CTextFinder::Open() {
  canceled = false;
  return OpenReader(false);
}

bool CTextFinder::Close() {
  reader.Close();
  return true;
}

std::u16string_view CTextFinder::Folded(std::u16string_view piece) {
  folded_.assign(piece);
  platform::LowerBuffer(folded_.data(), folded_.size());
  return folded_;
}

bool CTextFinder::SearchPiece(std::u16string_view piece, std::vector<BlockMatch>& ranges) {
  if (pattern_.text() != text || pattern_.case_sensitive() != case_sensitive)
    pattern_.Prepare(text, case_sensitive);
  std::size_t before = ranges.size();
  deferred = pattern_.FindAll(piece, static_cast<std::size_t>(search_from), word_wrap, ranges,
                              SIZE_MAX, edges);
  return ranges.size() > before;
}

bool CTextFinder::WritePiece(std::u16string_view, const std::vector<BlockMatch>&, std::int32_t) {
  return true;
}

void CPlainPattern::Prepare(std::u16string_view pattern, bool case_sensitive) {
  text_.assign(pattern);
  case_sensitive_ = case_sensitive;
  if (!case_sensitive) platform::LowerBuffer(text_.data(), text_.size());
  prepared_ = true;
  anchor_ = 0;
  if (text_.empty()) return;
  // Every unit that lower-cases to a pattern unit may stand for it.
  auto variants = [&](char16_t c, std::u16string& out) {
    out.clear();
    if (case_sensitive_) {
      out.push_back(c);
      return;
    }
    for (unsigned x = 0; x < 0x10000 && out.size() <= 2; ++x)
      if (platform::LowerChar(static_cast<char16_t>(x)) == c) out.push_back(static_cast<char16_t>(x));
  };
  int best = -1;
  std::u16string chosen, v;
  for (std::size_t i = 0; i < text_.size(); ++i) {
    variants(text_[i], v);
    if (v.empty() || v.size() > 2) continue;
    int score = 0;
    for (char16_t c : v) score += scan::Commonness(c);
    if (best < 0 || score < best) {
      best = score;
      anchor_ = i;
      chosen = v;
    }
  }
  scannable_ = best >= 0;
  if (scannable_) {
    scan_a_ = chosen[0];
    scan_b_ = chosen.size() > 1 ? chosen[1] : chosen[0];
  }
}

bool CPlainPattern::MatchesAt(const char16_t* p) const {
  const std::size_t n = text_.size();
  if (case_sensitive_) return std::char_traits<char16_t>::compare(p, text_.data(), n) == 0;
  for (std::size_t j = 0; j < n; ++j)
    if (platform::LowerChar(p[j]) != text_[j]) return false;
  return true;
}

bool CPlainPattern::FindAll(std::u16string_view text, std::size_t from, bool whole_words,
                            std::vector<BlockMatch>& ranges, std::size_t limit, PieceEdges edges) const {
  const std::size_t m = text_.size();
  if (m == 0 || text.size() < m) return false;
  const char16_t* base = text.data();
  const std::size_t last_start = text.size() - m;
  std::size_t start = from;
  while (start <= last_start && ranges.size() < limit) {
    if (scannable_) {
      // Scan for the anchor unit among the positions it can take.
      std::size_t at = start + anchor_;
      std::size_t found = scan::FindEither(base + at, last_start + anchor_ + 1 - at, scan_a_, scan_b_);
      if (at + found > last_start + anchor_) return false;
      start = at + found - anchor_;
    }
    if (!MatchesAt(base + start)) {
      ++start;
      continue;
    }
    if (whole_words) {
      if (start + m == text.size() && !edges.at_end) return true;  // the next piece decides
      char16_t previous = start > 0 ? base[start - 1] : edges.before;
      bool word_before = previous != 0 && platform::IsAlphaNumeric(previous);
      bool word_after = start + m < text.size() && platform::IsAlphaNumeric(base[start + m]);
      if (word_before || word_after) {
        ++start;
        continue;
      }
    }
    ranges.push_back({static_cast<std::int32_t>(start), static_cast<std::int32_t>(m)});
    start += m;
  }
  return false;
}

void FindPlain(std::u16string_view text, std::u16string_view pattern, std::size_t from,
               bool whole_words, std::vector<BlockMatch>& ranges) {
  CPlainPattern prepared;
  prepared.Prepare(pattern, true);
  prepared.FindAll(text, from, whole_words, ranges);
}

namespace {

// Byte offset of character `p` of a piece whose carried prefix has `d`
// characters and whose own text starts at `piece_byte_offset`.
std::uint64_t ByteOffsetOf(const ContentReader& reader, std::u16string_view piece, std::size_t d,
                           std::size_t p, std::uint64_t piece_byte_offset) {
  if (p >= d) return piece_byte_offset + EncodedSize(reader.encoding(), piece.substr(d, p - d));
  return piece_byte_offset - EncodedSize(reader.encoding(), piece.substr(p, d - p));
}

}  // namespace

namespace {

// Files a replacer reads whole when it opens them, so that a byte scan can
// tell at once that one holds no match.
constexpr std::size_t kWholeReadLimit = 4 << 20;

// The byte scan that may decide a pass before any decoding: over the file in
// chunks for a finder, over a replacer's whole read. It looks for `required`,
// a text every match holds; when that text is the pattern itself (`literal`)
// an occurrence decides a find too. True when it decided; `found` then says
// how.
bool ByteShortcut(CTextFinder& handler, const std::u16string& path, std::u16string_view required,
                  bool any_case, bool literal, bool replacing, bool& found) {
  found = false;
  QuickScanResult result = QuickScanResult::kUnsure;
  handler.scanner.Prepare(required, !any_case);
  if (replacing) {
    std::string_view bytes;
    if (handler.reader.WholeFile(bytes))
      result = handler.scanner.ScanBytes(bytes, handler.null_check);
  } else {
    result = handler.scanner.ScanFile(path, handler.null_check, *handler.stop_event);
  }
  switch (result) {
    // An occurrence: a replacer's pass rewrites the file from the same read;
    // a pattern that is more than its literal must still be matched.
    case QuickScanResult::kFound: found = true; return literal && !replacing;
    case QuickScanResult::kNotFound: return true;
    case QuickScanResult::kCanceled: handler.canceled = true; return true;
    case QuickScanResult::kSkippedNul:
      handler.result_kind = ResultKind::kSkipped;
      handler.reason = kReasonNullCharacter;
      return true;
    case QuickScanResult::kUnsure: break;
  }
  return false;
}

}  // namespace

bool ContentPass(CTextFinder& handler, const std::u16string& path,
                 const ContentPassOptions& options, MatchList* matches) {
  const std::u16string& text = options.text;
  const bool converted_text = options.converted_text;
  const bool word_wrap = options.word_wrap;
  const std::uint32_t max_matches = options.max_matches;
  if (!handler.stop_event) {
    handler.result_kind = ResultKind::kError;
    handler.reason = kReasonInternal;
    return false;
  }
  handler.canceled = false;
  handler.result_kind = ResultKind::kNone;
  handler.reason = 0;
  handler.error_code = 0;
  handler.path = path;
  handler.text = text;
  handler.converted_text = converted_text;
  handler.converted_little_endian = true;
  handler.case_sensitive = options.case_sensitive;
  handler.word_wrap = word_wrap;
  handler.max_matches = max_matches;
  handler.null_check = options.skip_null_files && !handler.IsConverted();
  handler.search_from = 0;
  handler.piece_position = 0;
  const bool replacing = handler.ReplacementLength() != -1;
  // The byte shortcut: a text every match holds rules out the files that
  // lack it before any decoding. Where the handler matches that very text
  // and needs neither its neighbours nor a list, an occurrence decides too.
  std::u16string& required = handler.required_text;
  bool any_case = false;
  const bool shortcut = !converted_text && (!matches || replacing) &&
                        handler.RequiredText(required, any_case) && QuickScanApplies(required);
  const bool literal = !word_wrap && handler.SearchesLiterally();
  bool found = false;
  if (shortcut && !replacing &&
      ByteShortcut(handler, path, required, any_case, literal, false, found))
    return found;
  handler.reader.SetWholeFileLimit(shortcut && replacing ? kWholeReadLimit : 0);
  if (!handler.Open()) return false;
  if (shortcut && replacing &&
      ByteShortcut(handler, path, required, any_case, literal, true, found)) {
    handler.Close();
    return false;
  }

  // The carry lets a match that spans two pieces be found once, in the later
  // piece. It is the last (length - 1) characters, or the whole piece when
  // shorter, so that the text before each piece is always contiguous. Whole
  // words carry one more: a match that ends where a piece ends is judged in
  // the next piece, once the character after it is known.
  const std::size_t carry_length = text.empty() ? 0 : text.size() - (word_wrap ? 0 : 1);
  std::u16string buffer;
  std::size_t carry = 0;  // characters at the start of `buffer` kept from the last piece
  std::uint64_t consumed = 0;  // end of the last match, as an absolute offset
  std::vector<BlockMatch> ranges;
  std::vector<TextMatch> raw;
  ContentReader::Piece piece;
  ContentReader::Piece end_of_content;  // an empty piece just past the last one
  handler.edges = {};
  handler.deferred = false;
  handler.match_count = 0;
  bool limit_reached = false;
  bool last_piece = false;
  while (!limit_reached && !last_piece) {
    if (!handler.reader.NextPiece(piece)) {
      // A match left at the end of the last piece is judged now, over the
      // carried text alone.
      if (!handler.deferred || handler.reader.error_kind() != ResultKind::kNone) break;
      last_piece = true;
      piece = end_of_content;
    }
    if (handler.stop_event->Poll()) {
      handler.canceled = true;
      break;
    }
    if (buffer.size() > carry) handler.edges.before = buffer[buffer.size() - carry - 1];
    handler.edges.at_end = last_piece;
    buffer.erase(0, buffer.size() - carry);
    buffer.append(piece.text);
    const std::size_t prefix = carry;
    handler.piece_position = piece.char_offset - prefix;
    handler.search_from = consumed > handler.piece_position
                              ? static_cast<std::int32_t>(consumed - handler.piece_position)
                              : 0;
    handler.carry_length = last_piece ? 0 : std::min(carry_length, buffer.size());
    ranges.clear();
    if (handler.CanSearch()) {
      bool found = handler.SearchPiece(buffer, ranges);
      if (handler.deferred && !last_piece) {
        end_of_content = piece;
        end_of_content.text = {};
        end_of_content.char_offset += piece.text.size();
        end_of_content.byte_offset += EncodedSize(handler.reader.encoding(), piece.text);
      }
      if (!handler.WritePiece(buffer, ranges, static_cast<std::int32_t>(prefix))) break;
      if (found) {
        if (!matches) {
          handler.Close();
          return true;
        }
        for (const auto& r : ranges) {
          consumed = handler.piece_position + r.start + r.length;
          ++handler.match_count;
          if (max_matches != 0 && raw.size() >= max_matches) {
            // The list is full; a replacer still replaces the rest.
            limit_reached = !replacing;
            if (limit_reached) break;
            continue;
          }
          TextMatch m;
          m.position = static_cast<std::int64_t>(piece.char_offset + r.start - prefix);
          m.byte_offset = ByteOffsetOf(handler.reader, buffer, prefix, r.start, piece.byte_offset);
          m.line = static_cast<std::int64_t>(piece.line_index) + 1;
          m.length = r.length;
          m.text.assign(buffer, r.start, r.length);
          if (m.text.ends_with(u"\r\n")) m.text.resize(m.text.size() - 2);
          raw.push_back(std::move(m));
          if (!replacing && max_matches != 0 && raw.size() >= max_matches) {
            limit_reached = true;
            break;
          }
        }
      }
    }
    carry = std::min(carry_length, buffer.size());
  }
  if (handler.reader.error_kind() != ResultKind::kNone) {
    handler.result_kind = handler.reader.error_kind();
    handler.reason = handler.reader.reason();
    handler.error_code = 0;
  }
  if (matches && !BuildMatches(handler, raw, *matches)) {
    handler.result_kind = ResultKind::kError;
    handler.reason = kReasonReadError;
  }
  if (!handler.Close()) return false;
  return matches ? !matches->empty() : false;
}

namespace {

constexpr std::size_t kBeforeCharacters = 20;
constexpr std::size_t kAfterBytes = 120;

std::size_t BeforeWidth(TextEncoding e) {
  switch (e) {
    case TextEncoding::kAnsi: return 20;
    case TextEncoding::kUtf16Le: case TextEncoding::kUtf16Be: return 40;
    default: return 80;
  }
}

}  // namespace

bool BuildMatches(CTextFinder& handler, const std::vector<TextMatch>& raw, MatchList& out) {
  ContentReader& reader = handler.reader;
  const std::int32_t replacement = handler.ReplacementLength();
  std::int64_t shift = 0;
  for (const auto& m : raw) {
    std::uint64_t start = m.byte_offset >= reader.mark_length() + BeforeWidth(reader.encoding())
                              ? m.byte_offset - BeforeWidth(reader.encoding())
                              : reader.mark_length();
    std::u16string before, after;
    if (!reader.ReadDecoded(start, m.byte_offset - start, before) ||
        !reader.ReadDecoded(m.byte_offset, kAfterBytes, after))
      return false;
    // A range that starts inside a character decodes that character's tail
    // as garbage; drop it.
    if (start > reader.mark_length()) {
      while (!before.empty() && (before.front() == 0xFFFD ||
                                 (before.front() >= 0xDC00 && before.front() <= 0xDFFF)))
        before.erase(0, 1);
    }
    if (before.size() > kBeforeCharacters) before.erase(0, before.size() - kBeforeCharacters);
    std::size_t last_blank = before.rfind(u' ');
    if (last_blank != std::u16string::npos && last_blank > 0) {
      std::size_t earlier = before.rfind(u' ', last_blank - 1);
      if (earlier != std::u16string::npos) before.erase(0, earlier + 1);
    }
    std::u16string line = before + after;
    std::u16string shown;
    shown.reserve(line.size() + 3);
    for (std::size_t i = 0; i < line.size(); ++i) {
      char16_t c = line[i];
      if (c == u'\r' && i + 1 < line.size() && line[i + 1] == u'\n') {
        shown += u"  ";
        ++i;
      } else {
        shown.push_back(c == u'\n' || c == u'\t' ? u' ' : c);
      }
    }
    shown += u"...";
    MatchEntry entry;
    entry.line = m.line;
    entry.text = std::move(shown);
    entry.highlights.push_back(
        {static_cast<std::int32_t>(before.size()), static_cast<std::int32_t>(m.text.size())});
    entry.position = m.position + shift;
    if (replacement != -1) shift += replacement - m.length;
    out.push_back(std::move(entry));
  }
  return true;
}
