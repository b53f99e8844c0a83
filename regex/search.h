// The search driver: tries a compiled pattern at each start position and
// reports the leftmost match with the spans of its groups.
// Tested by tests/regex/matcher_test.cpp and tests/regex/oracle_test.cpp.
#pragma once
#include <cstdint>
#include <vector>

#include "regex/elements.h"
#include "regex/pattern.h"

namespace regex {

// Empty when there was no match. Otherwise [0] is 1, [1] the highest group
// number G, and [2+2g], [3+2g] the start and end of group g (0 to G), ordered
// low to high, or -1, -1 when the group took part in no capture.
using MatchSpans = std::vector<int>;

struct SearchControl {
  StopHook stop;
  // Element operations one search call may spend; 0 selects the default,
  // which grows with the text and the pattern (DefaultStepBudget).
  std::uint64_t step_budget = 0;
  // Off: try every start position (lets tests check that the plan only ever
  // skips positions that cannot match).
  bool use_search_plan = true;
  // Spans then hold group 0 only (entries 0 to 3), for callers that need
  // nothing else.
  bool whole_match_only = false;
};

// Budget generous enough for any search whose work grows at most with the
// square of the text length times the pattern size, which covers ordinary
// backtracking; nested unbounded repeats that explode exceed it.
std::uint64_t DefaultStepBudget(int text_units, int element_count);

// Searches text[0, length) from `start` (-1 means 0). `state` and `spans` are
// the caller's and are reused, so repeated searches do not allocate. On
// kTooComplex and kStopped `spans` is empty.
template <class CharT>
[[nodiscard]] SearchOutcome Search(const CPatternT<CharT>& pattern, const CharT* text, int length,
                                   int start, CMatchStateT<CharT>& state, MatchSpans& spans,
                                   const SearchControl& control = {});

// One-off form: no stop hook, default budget; empty for no match and for a
// search that was too complex.
MatchSpans Search(const CPattern& pattern, const char16_t* text, int length, int start);

}  // namespace regex
