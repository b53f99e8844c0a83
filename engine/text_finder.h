// The content handler contract and the plain-text finder: a handler searches
// one file piece by piece; the content pass drives it and collects matches.
// Tested by tests/engine/content_pass_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/content_reader.h"
#include "engine/file_result.h"
#include "engine/quick_scan.h"
#include "platform/sync.h"

// One range that a handler's search of a piece finds: characters from the
// start of the piece, carried prefix included.
struct BlockMatch {
  std::int32_t start = 0;
  std::int32_t length = 0;
};

// One raw match of a pass that builds a match list.
struct TextMatch {
  std::int64_t position = 0;     // characters from the start of the decoded content
  std::uint64_t byte_offset = 0; // of the first character in the file, mark included
  std::int64_t line = 0;         // 1-based
  std::u16string text;           // the matched characters less one trailing CR LF
  std::int32_t length = 0;       // characters matched, line end included
};

// What lies around a text that is one piece of a longer one: the character
// just before it (0 when none) and whether the content ends with it.
struct PieceEdges {
  char16_t before = 0;
  bool at_end = true;
};

// A plain pattern prepared for scanning: the text is scanned for one of its
// units (the one likely rarest in files) and candidates are verified around
// it. A case-insensitive pattern is lower-case; the scan then looks for every
// unit that lower-cases to the chosen one, so the text is never lowered.
class CPlainPattern {
 public:
  void Prepare(std::u16string_view pattern, bool case_sensitive);
  const std::u16string& text() const { return text_; }
  bool case_sensitive() const { return case_sensitive_; }

  // Finds the non-overlapping occurrences in `text` from `from`, left to
  // right; with `whole_words` an occurrence touching a letter or digit on
  // either side does not count. An occurrence that ends where `text` ends,
  // with more content to come, cannot be judged yet: the search stops before
  // it and returns true, so the caller can search it again with what follows.
  bool FindAll(std::u16string_view text, std::size_t from, bool whole_words,
               std::vector<BlockMatch>& ranges, std::size_t limit = SIZE_MAX,
               PieceEdges edges = {}) const;

 private:
  bool MatchesAt(const char16_t* p) const;

  std::u16string text_;
  bool case_sensitive_ = true;
  bool prepared_ = false;
  std::size_t anchor_ = 0;
  char16_t scan_a_ = 0, scan_b_ = 0;
  bool scannable_ = true;  // false: the anchor has more than two case variants
};

class CTextFinder {
 public:
  CTextFinder() = default;
  virtual ~CTextFinder();
  CTextFinder(const CTextFinder&) = delete;
  CTextFinder& operator=(const CTextFinder&) = delete;

  // The file whose text was searched (document finders: the converted file).
  virtual std::u16string SearchedPath() const;
  // Whether the handler is usable; the engine never asks.
  virtual bool IsValid() const { return true; }
  virtual bool SupportsReplace() const { return true; }
  virtual bool IsLittleEndian() const { return converted_little_endian; }
  virtual bool IsConverted() const { return false; }
  // Whether a match is an occurrence of the pattern's own text in the
  // decoded content, so that a byte scan of the file may decide the search.
  virtual bool SearchesLiterally() const { return true; }
  // A text that every match holds in the decoded content, lower-case with
  // `any_case` when letters of either case match it, so that a byte scan
  // may rule a file out before decoding it. False when there is none. Asked
  // after the pass set the fields below, before Open.
  virtual bool RequiredText(std::u16string& required, bool& any_case);
  virtual bool Open();
  virtual bool Close();
  // Appends the ranges found in `piece` (starting at or after `search_from`)
  // in increasing order; true when there was at least one.
  virtual bool SearchPiece(std::u16string_view piece, std::vector<BlockMatch>& ranges);
  virtual bool CanSearch() const { return true; }
  // The replacer writes each piece with its ranges replaced; finders do nothing.
  virtual bool WritePiece(std::u16string_view piece, const std::vector<BlockMatch>& ranges,
                          std::int32_t prefix_length);
  // The replacement's length, or -1 for a handler that does not replace.
  virtual std::int32_t ReplacementLength() const { return -1; }

  // Fields set by the content pass before Open.
  std::u16string text;
  std::u16string path;
  bool converted_text = false;
  bool converted_little_endian = true;
  bool case_sensitive = false;
  bool word_wrap = false;
  bool canceled = false;
  std::uint32_t max_matches = 0;
  bool null_check = false;
  ResultKind result_kind = ResultKind::kNone;
  std::int32_t reason = 0;
  std::uint32_t error_code = 0;
  ContentReader reader;
  platform::Event* stop_event = nullptr;
  // The byte scan's prepared text, kept from file to file.
  CQuickScanner scanner;
  std::u16string required_text;

  // Where in the current piece a match may start: matches found earlier may
  // reach into the carried prefix, and matches never overlap.
  std::int32_t search_from = 0;
  // Absolute character offset of the current piece's first character.
  std::uint64_t piece_position = 0;
  // Whole words: the character before the current piece and whether it is
  // the last; the plain search sets `deferred` when it left an occurrence at
  // the piece's end for the next piece to judge.
  PieceEdges edges;
  bool deferred = false;
  // Characters at the end of the current piece that the next piece repeats;
  // the replacer holds them back.
  std::size_t carry_length = 0;
  // Every match of the pass, also those past a list's limit (replace runs
  // replace them all but keep only the first ones in the list).
  std::uint64_t match_count = 0;

 protected:
  // Opens the reader as the finder does; false with the reader's failure in
  // result_kind/reason.
  bool OpenReader(bool verify_round_trip);
  // Lower-cased copy of a piece for case-insensitive matching (reused buffer).
  std::u16string_view Folded(std::u16string_view piece);

 private:
  std::u16string folded_;
  CPlainPattern pattern_;
};

// FindAll of a case-sensitive pattern, for callers without a prepared one.
void FindPlain(std::u16string_view text, std::u16string_view pattern, std::size_t from,
               bool whole_words, std::vector<BlockMatch>& ranges);

// What a content pass looks for, and how.
struct ContentPassOptions {
  std::u16string text;  // lower-case when the search ignores case (regex: as typed)
  bool converted_text = false;
  bool case_sensitive = false;
  bool word_wrap = false;
  // 0: no limit. A pass that builds a list ends at this many matches; a
  // replacer goes on to the end and replaces every match, keeping only the
  // first ones in the list.
  std::uint32_t max_matches = 0;
  bool skip_null_files = true;
};

// Drives `handler` over one file. `matches` is null in find mode (the pass
// ends at the first match). Returns true when the text was found or, with a
// list, when the list is not empty after a successful Close.
bool ContentPass(CTextFinder& handler, const std::u16string& path,
                 const ContentPassOptions& options, MatchList* matches);

// The same with the options spelled out, for callers that test one case.
inline bool ContentPass(CTextFinder& handler, const std::u16string& text, MatchList* matches,
                        const std::u16string& path, bool converted_text, bool case_sensitive,
                        bool word_wrap, std::uint32_t max_matches, bool skip_null_files) {
  return ContentPass(
      handler, path,
      {text, converted_text, case_sensitive, word_wrap, max_matches, skip_null_files}, matches);
}

// Turns raw matches into the match list with context lines re-read from the
// file. Returns false when reading the context failed.
bool BuildMatches(CTextFinder& handler, const std::vector<TextMatch>& raw, MatchList& out);
