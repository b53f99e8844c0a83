// The regular-expression content handlers: a compiled pattern that finds all
// matches of a piece (CRegexpHandler), combined with the plain finder, the
// replacer and the document-filter finder of the engine.
// Tested by tests/regex/regexp_handlers_test.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/document_finders.h"
#include "engine/text_finder.h"
#include "engine/text_replacer.h"
#include "regex/pattern.h"
#include "regex/search.h"

class CRegexpHandler {
 public:
  // What matching one file may cost, in element operations. Each search call
  // keeps its own allowance; all the calls made for one file's pieces
  // together may spend the largest allowance one of them had plus
  // `steps_per_unit` per code unit of the file and per element of the
  // pattern. A file that needs more ends as too complex.
  struct WorkBudget {
    std::uint64_t call_steps = 0;  // 0: regex::DefaultStepBudget of the call
    std::uint64_t steps_per_unit = 512;
  };

  CRegexpHandler() = default;
  virtual ~CRegexpHandler();
  CRegexpHandler(const CRegexpHandler&) = delete;
  CRegexpHandler& operator=(const CRegexpHandler&) = delete;

  // Appends every match of the compiled pattern in `piece` (searched up to its
  // first NUL, from `from`), left to right, each search starting where the
  // previous match ended. An empty match ends the list. True when the list
  // then holds at least one entry.
  bool FindAll(std::u16string_view piece, std::int32_t from, std::vector<BlockMatch>& list);

  // How the last FindAll ended: kTooComplex or kStopped when it gave up.
  regex::SearchOutcome outcome() const { return outcome_; }
  const regex::CPattern& pattern() const { return pattern_; }
  void set_work_budget(const WorkBudget& budget) { budget_ = budget; }

 protected:
  // Compiles the handler's search text as typed, ignoring case when the
  // search is not case-sensitive, arms the stop hook and opens the file's
  // work budget (sized from the handler's open reader); a new file starts
  // with no outcome. `pieces_lowered`: the handler lower-cases every piece
  // before searching it, so the pattern's literals are lowered the same way.
  void CompileFor(CTextFinder& handler, bool pieces_lowered);
  // RequiredText for a handler: the literal every match of its pattern holds.
  bool RequiredTextFor(const CTextFinder& handler, std::u16string& required, bool& any_case);
  // SearchPiece for a handler: FindAll over `piece`, then the outcome turned
  // into the handler's fields. Once a piece was too complex or the search was
  // stopped, later pieces of the file are not searched.
  bool SearchFor(CTextFinder& handler, std::u16string_view piece, std::vector<BlockMatch>& ranges);
  bool gave_up() const { return gave_up_; }

 private:
  // Budget for the next search call over `units` code units; 0 once the
  // file's budget is spent.
  std::uint64_t CallBudget(int units);

  void Compile(const CTextFinder& handler, bool pieces_lowered);

  regex::CPattern pattern_;
  bool compiled_ = false;
  unsigned compiled_flags_ = 0;
  std::u16string compiled_text_;
  regex::CMatchState state_;
  regex::MatchSpans spans_;
  regex::SearchControl control_;
  regex::SearchOutcome outcome_ = regex::SearchOutcome::kNoMatch;
  bool gave_up_ = false;
  WorkBudget budget_;
  std::uint64_t file_size_ = 0;   // bytes, 0 when unknown
  std::uint64_t seen_units_ = 0;  // code units handed to FindAll for this file
  std::uint64_t allowance_ = 0;   // largest allowance of one call so far
  std::uint64_t spent_ = 0;       // steps of this file's calls
};

class CRegexpTextFinder : public CTextFinder, public CRegexpHandler {
 public:
  bool SearchesLiterally() const override { return false; }
  bool RequiredText(std::u16string& required, bool& any_case) override;
  bool Open() override;
  bool SearchPiece(std::u16string_view piece, std::vector<BlockMatch>& ranges) override;
};

// Searches the piece as read, relying on NO_CASE alone when not
// case-sensitive. A file in which a piece was too complex to search is left
// unchanged: Close discards the partial rewrite.
class CRegexpTextReplacer : public CTextReplacer, public CRegexpHandler {
 public:
  bool SearchesLiterally() const override { return false; }
  bool RequiredText(std::u16string& required, bool& any_case) override;
  bool Open() override;
  bool SearchPiece(std::u16string_view piece, std::vector<BlockMatch>& ranges) override;
  bool Close() override;
};

class CRegexpIFilterTextFinder : public CIFilterTextFinder, public CRegexpHandler {
 public:
  bool Open() override;
  bool SearchPiece(std::u16string_view piece, std::vector<BlockMatch>& ranges) override;
};
