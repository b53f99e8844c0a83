// libFuzzer target for the regex engine: any bytes become flags, a start
// position, a pattern and a text. Besides crashes and sanitizer reports it
// checks that results are well-formed and that the search plan never changes
// a result. Built only with -DVARNEL_FUZZ=ON (clang).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "regex/pattern.h"
#include "regex/search.h"

namespace {

// Bytes map to code units one to one, except that 0xFE takes the next two
// bytes as one unit, so every code unit is reachable.
std::u16string Units(const std::uint8_t*& data, const std::uint8_t* end, bool stop_at_nul) {
  std::u16string units;
  while (data < end) {
    std::uint8_t byte = *data++;
    if (stop_at_nul && byte == 0) break;
    if (byte == 0xFE && end - data >= 2) {
      units.push_back(static_cast<char16_t>(data[0] | (data[1] << 8)));
      data += 2;
      continue;
    }
    units.push_back(byte);
  }
  return units;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckSpans(const regex::MatchSpans& spans, const regex::CPattern& pattern, int start,
                int length) {
  const int groups = pattern.highest_group();
  Check(spans.size() == static_cast<size_t>(2 + 2 * (groups + 1)));
  Check(spans[0] == 1 && spans[1] == groups);
  Check(spans[2] >= start && spans[2] <= spans[3] && spans[3] <= length);
  for (int g = 1; g <= groups; ++g) {
    const int s = spans[2 + 2 * g];
    const int e = spans[3 + 2 * g];
    Check((s == -1 && e == -1) || (0 <= s && s <= e && e <= length) || (s == -1 && e >= 0));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned flags =
      data[0] & (regex::DOT_ALL | regex::MULTI_LINE | regex::G_ANCHOR | regex::NO_CASE);
  const int start = static_cast<int>(data[1] % 8) - 1;
  const std::uint8_t* cursor = data + 2;
  const std::uint8_t* end = data + size;
  const std::u16string pattern_text = Units(cursor, end, true);
  const std::u16string text = Units(cursor, end, false);

  static regex::CPattern pattern;  // reused, as the handlers reuse theirs
  static regex::CMatchState state;
  regex::MatchSpans with_plan;
  regex::MatchSpans without_plan;
  pattern.Compile(pattern_text.c_str(), flags);
  regex::SearchControl control;
  control.step_budget = 200000;  // keeps every run short; exceeding it is an outcome
  const int length = static_cast<int>(text.size());
  const auto first = regex::Search(pattern, text.data(), length, start, state, with_plan, control);
  control.use_search_plan = false;
  const auto second =
      regex::Search(pattern, text.data(), length, start, state, without_plan, control);
  if (first == regex::SearchOutcome::kMatch) CheckSpans(with_plan, pattern, start, length);
  if (first != regex::SearchOutcome::kTooComplex && second != regex::SearchOutcome::kTooComplex) {
    Check(first == second);
    Check(with_plan == without_plan);
  }
  return 0;
}
