// What a compiled pattern tells the search driver before it sees any text:
// where a match can start and a literal every match contains. The driver
// uses it only to skip start positions that cannot match.
// Tested by tests/regex/search_plan_test.cpp and tests/regex/oracle_test.cpp.
#pragma once
#include <cstdint>
#include <string>

namespace regex {

class IElement;

struct SearchPlan {
  enum class Anchor { kNone, kTextStart, kSearchStart };

  // Every match starts at 0 (kTextStart) or where the search began.
  Anchor anchor = Anchor::kNone;
  // No match is shorter (code units).
  int min_length = 0;
  // When set, every match begins with a code unit for which MayStart holds.
  bool use_first = false;
  std::uint64_t first_low[4] = {};  // units 0..255
  bool first_high = true;           // any unit from 256 up
  // A literal every match contains, matched forward at or after the match
  // start (empty: none), and its distance from the match start when fixed.
  std::u16string literal;
  bool literal_no_case = false;
  int literal_offset = -1;
  int literal_keys[2] = {0, 0};  // positions in the literal scanned for first
  // Deepest chain of nested elements, and the recursion nesting that keeps the
  // machine stack used by one search within bounds.
  int tree_depth = 0;
  int max_recursion_depth = 1;
  int element_count = 0;

  bool MayStart(char16_t unit) const {
    if (unit < 256) return (first_low[unit >> 6] >> (unit & 63)) & 1;
    return first_high;
  }
};

void PlanSearch(const IElement* root, int element_count, SearchPlan& plan);

// First index >= from where the plan's literal occurs in text[0, length),
// compared as the pattern compares it; -1 when there is none.
int FindLiteral(const SearchPlan& plan, const char16_t* text, int length, int from);

}  // namespace regex
