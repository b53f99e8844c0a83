// The regular-expression content handlers and the factory's seam that makes
// them. Tested by tests/regex/regexp_handlers_test.cpp.
#include "regex/regexp_handlers.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "engine/file_result.h"
#include "engine/regex_handlers.h"
#include "platform/scan.h"
#include "platform/text.h"

namespace {

bool PollStopEvent(void* event) { return static_cast<platform::Event*>(event)->Poll(); }

std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b) {
  if (a != 0 && b > UINT64_MAX / a) return UINT64_MAX;
  return a * b;
}

}  // namespace

CRegexpHandler::~CRegexpHandler() = default;

void CRegexpHandler::Compile(const CTextFinder& handler, bool pieces_lowered) {
  // The pattern is never lowered as text: that would turn \D into \d, \Q
  // into a literal and so on. Ignoring case only changes how letters compare.
  unsigned flags = 0;
  if (!handler.case_sensitive)
    flags = regex::NO_CASE | (pieces_lowered ? unsigned{regex::LOWERED_TEXT} : 0u);
  // A run searches every file with the same pattern: it is compiled once.
  if (compiled_ && flags == compiled_flags_ && handler.text == compiled_text_) return;
  pattern_.Compile(handler.text.c_str(), flags);
  compiled_ = true;
  compiled_flags_ = flags;
  compiled_text_ = handler.text;
}

bool CRegexpHandler::RequiredTextFor(const CTextFinder& handler, std::u16string& required,
                                     bool& any_case) {
  Compile(handler, true);
  const regex::SearchPlan& plan = pattern_.plan();
  if (plan.literal.empty()) return false;
  any_case = plan.literal_no_case || !handler.case_sensitive;
  required.assign(plan.literal);
  if (any_case) platform::LowerBuffer(required.data(), required.size());
  return true;
}

void CRegexpHandler::CompileFor(CTextFinder& handler, bool pieces_lowered) {
  Compile(handler, pieces_lowered);
  platform::Event* stop_event = handler.stop_event;
  control_.stop = stop_event ? regex::StopHook{&PollStopEvent, stop_event} : regex::StopHook{};
  control_.whole_match_only = true;
  outcome_ = regex::SearchOutcome::kNoMatch;
  gave_up_ = false;
  file_size_ = handler.reader.FileSize();
  seen_units_ = 0;
  allowance_ = 0;
  spent_ = 0;
}

std::uint64_t CRegexpHandler::CallBudget(int units) {
  const int elements = pattern_.plan().element_count;
  const std::uint64_t allowance =
      budget_.call_steps != 0 ? budget_.call_steps : regex::DefaultStepBudget(units, elements);
  allowance_ = std::max(allowance_, allowance);
  // Linear in the file: one line after another may each stay within its
  // own allowance, but a file must not take without end.
  const std::uint64_t per_unit =
      SaturatingProduct(budget_.steps_per_unit, static_cast<std::uint64_t>(elements) + 1);
  const std::uint64_t linear = SaturatingProduct(per_unit, std::max(file_size_, seen_units_));
  const std::uint64_t file_budget =
      linear > UINT64_MAX - allowance_ ? UINT64_MAX : allowance_ + linear;
  if (spent_ >= file_budget) return 0;
  return std::min(allowance, file_budget - spent_);
}

bool CRegexpHandler::FindAll(std::u16string_view piece, std::int32_t from,
                             std::vector<BlockMatch>& list) {
  outcome_ = regex::SearchOutcome::kNoMatch;
  // Most pieces lack the literal every match needs; such a piece cannot
  // match before its first NUL either, so neither is looked for.
  const regex::SearchPlan& plan = pattern_.plan();
  const int size = static_cast<int>(piece.size());
  if (!plan.literal.empty() && regex::FindLiteral(plan, piece.data(), size, from) < 0) {
    return !list.empty();
  }
  // The searchable text ends at the first NUL.
  const int length = static_cast<int>(scan::FindEither(piece.data(), piece.size(), 0, 0));
  seen_units_ += static_cast<std::uint64_t>(length);
  int start = from > 0 ? from : -1;
  while (start <= length) {
    control_.step_budget = CallBudget(length - std::max(start, 0));
    if (control_.step_budget == 0) {
      outcome_ = regex::SearchOutcome::kTooComplex;
      break;
    }
    state_.steps = 0;  // a search that returns before it starts counts nothing
    outcome_ = regex::Search(pattern_, piece.data(), length, start, state_, spans_, control_);
    spent_ += state_.steps;
    if (outcome_ != regex::SearchOutcome::kMatch) break;
    const int match_start = spans_[2];
    const int match_end = spans_[3];
    // An empty match ends the list: neither it nor anything after it counts.
    if (match_start == match_end) break;
    list.push_back({match_start, match_end - match_start});
    start = match_end;
  }
  return !list.empty();
}

bool CRegexpHandler::SearchFor(CTextFinder& handler, std::u16string_view piece,
                               std::vector<BlockMatch>& ranges) {
  if (gave_up_) return false;
  const bool found = FindAll(piece, handler.search_from, ranges);
  switch (outcome_) {
    case regex::SearchOutcome::kTooComplex:
      gave_up_ = true;
      handler.result_kind = ResultKind::kError;
      handler.reason = kReasonTooComplex;
      handler.error_code = 0;
      break;
    case regex::SearchOutcome::kStopped:
      // Polling took the auto-reset event's signal; give it back so that the
      // content pass stops at its next poll.
      gave_up_ = true;
      handler.canceled = true;
      if (handler.stop_event) handler.stop_event->Set();
      break;
    default: return found;
  }
  // Matches found before giving up are kept: the list holds only whole,
  // correct matches, and the handler's fields say the search was cut short.
  return found;
}

bool CRegexpTextFinder::Open() {
  if (!CTextFinder::Open()) return false;
  CompileFor(*this, true);
  return true;
}

bool CRegexpTextFinder::RequiredText(std::u16string& required, bool& any_case) {
  return RequiredTextFor(*this, required, any_case);
}

bool CRegexpTextFinder::SearchPiece(std::u16string_view piece, std::vector<BlockMatch>& ranges) {
  // Lower-casing keeps every position, so the ranges refer to the piece as read.
  return SearchFor(*this, case_sensitive ? piece : Folded(piece), ranges);
}

bool CRegexpTextReplacer::Open() {
  if (!CTextReplacer::Open()) return false;
  CompileFor(*this, true);
  return true;
}

bool CRegexpTextReplacer::RequiredText(std::u16string& required, bool& any_case) {
  return RequiredTextFor(*this, required, any_case);
}

bool CRegexpTextReplacer::SearchPiece(std::u16string_view piece, std::vector<BlockMatch>& ranges) {
  // The same folding as the find pass, so that a replace run replaces what
  // its content test found (NO_CASE alone folds ASCII letters only); the
  // ranges refer to the piece as read, which is what gets written.
  return SearchFor(*this, case_sensitive ? piece : Folded(piece), ranges);
}

bool CRegexpTextReplacer::Close() {
  if (!gave_up() || canceled) return CTextReplacer::Close();
  // Some piece was not searched: writing the file would replace only part of
  // what the pattern matches. The replacer discards a canceled rewrite.
  canceled = true;
  CTextReplacer::Close();
  canceled = false;
  return false;
}

bool CRegexpIFilterTextFinder::Open() {
  if (!CIFilterTextFinder::Open()) return false;
  CompileFor(*this, true);
  return true;
}

bool CRegexpIFilterTextFinder::SearchPiece(std::u16string_view piece,
                                           std::vector<BlockMatch>& ranges) {
  return SearchFor(*this, case_sensitive ? piece : Folded(piece), ranges);
}

std::unique_ptr<CTextFinder> CreateRegexFinder() { return std::make_unique<CRegexpTextFinder>(); }

std::unique_ptr<CTextReplacer> CreateRegexReplacer() {
  return std::make_unique<CRegexpTextReplacer>();
}

std::unique_ptr<CTextFinder> CreateRegexIFilterFinder() {
  return std::make_unique<CRegexpIFilterTextFinder>();
}
