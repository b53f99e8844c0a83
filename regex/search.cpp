// The search driver: one attempt per start position, skipping positions the
// search plan rules out, with the match state's guards armed.
// Tested by tests/regex/matcher_test.cpp and tests/regex/oracle_test.cpp.
#include "regex/search.h"

#include <algorithm>

namespace regex {

namespace {

constexpr std::uint64_t kBaseBudget = 100'000'000;
constexpr std::uint64_t kBudgetCap = std::uint64_t{1} << 62;
constexpr std::uint64_t kFirstPoll = 4096;

template <class CharT>
void Prepare(CMatchStateT<CharT>& state, const CPatternT<CharT>& pattern, const CharT* text,
             int length, int start, const SearchControl& control) {
  state.text = text;
  state.length = length;
  state.begin = start;
  state.position = start;
  state.backtrack.Clear();
  state.captures.Clear();
  // Between searches every index entry but the touched ones is -1, so the
  // index is cleared in time proportional to what the last search used, not
  // to the highest group number (which a pattern may put at 999999).
  for (int group : state.touched_groups) {
    if (group < state.capture_index.size()) state.capture_index[group] = -1;
  }
  state.touched_groups.Clear();
  state.capture_index.Truncate(pattern.highest_group() + 1);
  state.capture_index.Extend(pattern.highest_group() + 1, -1);
  state.steps = 0;
  state.budget = control.step_budget != 0
                     ? control.step_budget
                     : DefaultStepBudget(length - start, pattern.plan().element_count);
  state.next_check = std::min(kFirstPoll, state.budget);
  state.aborted = SearchOutcome::kNoMatch;
  state.recursion_depth = 0;
  state.max_recursion_depth = pattern.plan().max_recursion_depth;
  state.stop = control.stop;
}

template <class CharT>
bool Attempt(const IElement* root, CMatchStateT<CharT>& state, int position) {
  state.backtrack.Clear();
  state.captures.Clear();
  for (int group : state.touched_groups) state.capture_index[group] = -1;
  state.touched_groups.Clear();
  state.capture_index[0] = 0;
  state.captures.Push(0);
  state.captures.Push(position);
  state.captures.Push(-1);
  state.captures.Push(-1);
  state.position = position;
  return root->TryMatch(state);
}

template <class CharT>
void BuildSpans(CMatchStateT<CharT>& state, int highest_group, bool whole_match_only,
                MatchSpans& spans) {
  const int whole = state.FindLatest(0);
  if (whole >= 0) state.captures[whole + 2] = state.position;
  const int last_group = whole_match_only ? 0 : highest_group;
  spans.assign(static_cast<size_t>(2 + 2 * (last_group + 1)), -1);
  spans[0] = 1;
  spans[1] = highest_group;
  for (int group = 0; group <= last_group; ++group) {
    const int record = state.FindLatest(group);
    if (record < 0) continue;
    const int start = state.captures[record + 1];
    const int end = state.captures[record + 2];
    spans[2 + 2 * group] = std::min(start, end);
    spans[3 + 2 * group] = std::max(start, end);
  }
}

// Skips start positions that the plan proves cannot match. Returns the next
// candidate >= position, or -1. `literal_at` caches the next occurrence of the
// required literal (-1: not searched yet).
template <class CharT>
int NextCandidate(const SearchPlan& plan, const CharT* text, int length, int position, int last,
                  int& literal_at) {
  const bool has_literal = !plan.literal.empty();
  const int offset = plan.literal_offset;
  while (position <= last) {
    if (has_literal) {
      const int needed = offset >= 0 ? position + offset : position;
      if (literal_at < needed) {
        literal_at = FindLiteral(plan, text, length, needed);
        if (literal_at < 0) return -1;
      }
      if (offset >= 0) position = literal_at - offset;
      if (position > last) return -1;
    }
    if (!plan.use_first) return position;
    const int from = position;
    while (position <= last && !plan.MayStart(text[position])) ++position;
    if (position == from) return position;
  }
  return -1;
}

}  // namespace

std::uint64_t DefaultStepBudget(int text_units, int element_count) {
  const std::uint64_t units = static_cast<std::uint64_t>(std::max(text_units, 0)) + 1;
  const std::uint64_t elements = static_cast<std::uint64_t>(std::max(element_count, 0)) + 1;
  if (units > (kBudgetCap / 16) / units / elements) return kBudgetCap;
  return kBaseBudget + 16 * units * units * elements;
}

template <class CharT>
SearchOutcome Search(const CPatternT<CharT>& pattern, const CharT* text, int length, int start,
                     CMatchStateT<CharT>& state, MatchSpans& spans, const SearchControl& control) {
  spans.clear();
  const IElement* root = pattern.root();
  if (root == nullptr) return SearchOutcome::kNoMatch;
  if (pattern.too_complex()) return SearchOutcome::kTooComplex;
  if (length < 0) length = 0;
  if (start < 0) start = 0;
  static const SearchPlan kNoPlan;
  const SearchPlan& plan = control.use_search_plan ? pattern.plan() : kNoPlan;
  int last = length - plan.min_length;
  if (plan.anchor == SearchPlan::Anchor::kTextStart) last = std::min(last, 0);
  if (plan.anchor == SearchPlan::Anchor::kSearchStart) last = std::min(last, start);
  if (start > last) return SearchOutcome::kNoMatch;
  Prepare(state, pattern, text, length, start, control);
  int literal_at = -1;
  for (int position = start; position <= last; ++position) {
    position = NextCandidate(plan, text, length, position, last, literal_at);
    if (position < 0) break;
    const bool matched = Attempt(root, state, position);
    if (state.aborted != SearchOutcome::kNoMatch) return state.aborted;
    if (matched) {
      BuildSpans(state, pattern.highest_group(), control.whole_match_only, spans);
      return SearchOutcome::kMatch;
    }
  }
  return SearchOutcome::kNoMatch;
}

template SearchOutcome Search<char16_t>(const CPattern&, const char16_t*, int, int, CMatchState&,
                                        MatchSpans&, const SearchControl&);

MatchSpans Search(const CPattern& pattern, const char16_t* text, int length, int start) {
  CMatchState state;
  MatchSpans spans;
  if (Search(pattern, text, length, start, state, spans) != SearchOutcome::kMatch) spans.clear();
  return spans;
}

}  // namespace regex
