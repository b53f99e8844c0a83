// The matching machine: anchors, captures through backtracking, the search
// over start positions, and the guards (work budget, stop hook, nesting and
// recursion bounds) that keep a search from hanging or overflowing the stack.
#include <gtest/gtest.h>

#include <string>

#include "regex/pattern.h"
#include "regex/search.h"
#include "spans_text.h"

namespace {

using regex::MULTI_LINE;
using regex::NO_CASE;
using regex::SearchOutcome;

struct Case {
  const char16_t* pattern;
  std::u16string text;
  const char* spans;
  unsigned flags = 0;
  int start = -1;
};

void RunTable(const std::vector<Case>& cases) {
  regex::CPattern pattern;
  for (const Case& c : cases) {
    pattern.Compile(c.pattern, c.flags);
    const auto spans =
        regex::Search(pattern, c.text.data(), static_cast<int>(c.text.size()), c.start);
    EXPECT_EQ(SpansText(spans), c.spans) << "pattern " << Printable(c.pattern) << " text \""
                                         << Printable(c.text) << "\" start " << c.start;
  }
}

TEST(MatcherTest, AnchorsAndBoundaries) {
  RunTable({
      {u"", u"abc", "0-0"},
      {u"", u"abc", "2-2", 0, 2},
      {u"", u"abc", "3-3", 0, 3},
      {u"", u"abc", "no", 0, 4},
      {u"a$", u"a\n", "no"},
      {u"a$", u"a", "0-1"},
      {u"a\\Z", u"a\n", "0-1"},
      {u"a\\Z", u"a\r\n", "0-1"},
      {u"a\\Z", u"a\n\n", "no"},
      {u"a\\z", u"a\n", "no"},
      {u"^a", u"ba", "no"},
      {u"^a", u"aa", "no", 0, 1},  // start of text, not of the search
      {u"\\Aa", u"aa", "0-1"},
      {u"(?m)^b", u"a\rb", "2-3"},
      {u"(?m)^\\n", u"\r\n", "no"},
      {u"(?m)a$", u"a\nb", "0-1"},
      {u"(?m)a$", u"a\r\nb", "0-1"},
      {u"(?m)\\r$", u"\r\n", "no"},
      {u"(?m)$", u"ab", "2-2"},
      {u"\\bab", u"cab ab", "4-6"},
      {u"a\\Bb", u"ab", "0-2"},
      {u"a\\bb", u"ab", "no"},
      {u"\\b", u"", "no"},
      {u"\\B", u"", "0-0"},
      {u"\\b\u00e9", u"\u00e9a\u00e9", "2-3"},  // only ASCII letters, digits and _ are word units
      {u"\\B\u00e9", u"a\u00e9 \u00e9", "3-4"},
      {u"_\\b", u"a_ b", "1-2"},
  });
}

TEST(MatcherTest, CapturesThroughBacktracking) {
  RunTable({
      {u"(a)|b", u"b", "0-1 x"},
      {u"(a)+", u"aaa", "0-3 2-3"},
      {u"(a|b)*c", u"abac", "0-4 2-3"},
      {u"(a*)*b", u"aab", "0-3 0-2"},
      {u"(a*)*b", u"aaac", "no"},
      {u"(a*)+b", u"b", "0-1 0-0"},
      {u"(?=(a))a", u"a", "0-1 0-1"},
      {u"(?!(a))b", u"b", "0-1 x"},
      {u"\\1(a)", u"aa", "no"},
      {u"(a)?\\1", u"b", "no"},
      {u"(a)?\\1", u"aa", "0-2 0-1"},
      {u"(a)|\\1b", u"b", "no"},
      {u"a++a", u"aaa", "no"},
      {u"(?>a+)a", u"aaa", "no"},
      {u"(?>(a)+)b", u"aab", "0-3 1-2"},
      {u"(a)(?>b|(c))", u"ac", "0-2 0-1 1-2"},
      {u"(?:(a)|b)+", u"ab", "0-2 0-1"},  // the last iteration took no capture of 1
      {u"(a)(?<=(a))", u"a", "0-1 0-1 0-1"},
      {u"((a)|b)+", u"aba", "0-3 2-3 2-3"},
      // An iteration that backs off to a shorter way is followed by more.
      {u"(a|ab)*c", u"abac", "0-4 2-3"},
      {u"^(?:[a-z]|[a-z]\\.)*@", u"a.b@", "0-4"},
      {u"(?:ab|a)*?c", u"abac", "0-4"},
      {u"(a|ab)(c|bcd)(d*)", u"abcd", "0-4 0-1 1-4 4-4"},
      {u"(a+?)(a*)", u"aaa", "0-3 0-1 1-3"},
      {u"(a{2,3}?)a", u"aaaa", "0-3 0-2"},
  });
}

TEST(MatcherTest, LeftmostMatchFromStart) {
  RunTable({
      {u"a", u"aaa", "2-3", 0, 2},
      {u"b+", u"abbb", "1-4"},
      {u"x*", u"ab", "0-0"},
      {u"[A-Z]+_RESUME", u"__X_RESUME", "2-10"},
      {u"\\w+_RESUME", u"a FOO_RESUME", "2-12"},
      {u"foo\\d+", u"foo foo12", "4-9"},
      {u"abc", u"ab", "no"},
      {u"abc", u"abcabc", "3-6", 0, 1},
      {u"ab", u"aB", "0-2", NO_CASE},
      {u"(?m)^x", u"ab\nx", "3-4", MULTI_LINE},
  });
}

// A pattern whose backtracking explodes ends with kTooComplex; the same
// state then serves a normal search again. (An exact repeat retries every
// combination of its iterations; "(a|a)*b" would not explode, since giving
// back an iteration never extends the loop again.)
TEST(MatcherTest, WorkBudgetEndsExplosiveSearches) {
  regex::CPattern pattern;
  pattern.Compile(u"(a|a){30}b", 0);
  regex::CMatchState state;
  regex::MatchSpans spans;
  // The 'b' after the run keeps the required-literal filter from ruling the
  // run out.
  const std::u16string many = std::u16string(40, u'a') + u"cb";
  regex::SearchControl control;
  control.step_budget = 200000;
  EXPECT_EQ(regex::Search(pattern, many.data(), 42, -1, state, spans, control),
            SearchOutcome::kTooComplex);
  EXPECT_TRUE(spans.empty());
  const std::u16string enough = std::u16string(30, u'a') + u"b";
  EXPECT_EQ(regex::Search(pattern, enough.data(), 31, -1, state, spans, control),
            SearchOutcome::kMatch);
  EXPECT_EQ(SpansText(spans), "0-31 29-30");
}

TEST(MatcherTest, DefaultBudgetGrowsWithTextAndPattern) {
  EXPECT_LT(regex::DefaultStepBudget(10, 3), regex::DefaultStepBudget(1000, 3));
  EXPECT_LT(regex::DefaultStepBudget(1000, 3), regex::DefaultStepBudget(1000, 30));
  // An ordinary quadratic search on a full piece stays well inside it.
  EXPECT_GT(regex::DefaultStepBudget(1100, 3), 1100ull * 1100 * 20);
  EXPECT_EQ(regex::DefaultStepBudget(2000000000, 1000000), std::uint64_t{1} << 62);
}

struct PollCounter {
  int polls = 0;
  int stop_at = 0;
  static bool Poll(void* context) {
    auto* self = static_cast<PollCounter*>(context);
    return ++self->polls == self->stop_at;
  }
};

TEST(MatcherTest, StopHookEndsALongSearch) {
  regex::CPattern pattern;
  pattern.Compile(u"(a|a){30}b", 0);
  regex::CMatchState state;
  regex::MatchSpans spans;
  const std::u16string many = std::u16string(40, u'a') + u"cb";
  PollCounter counter{0, 3};
  regex::SearchControl control;
  control.stop = {&PollCounter::Poll, &counter};
  EXPECT_EQ(regex::Search(pattern, many.data(), 42, -1, state, spans, control),
            SearchOutcome::kStopped);
  EXPECT_EQ(counter.polls, 3);
  EXPECT_TRUE(spans.empty());

  // A short search finishes before the first poll.
  counter = PollCounter{0, 1};
  const std::u16string enough = std::u16string(30, u'a') + u"b";
  EXPECT_EQ(regex::Search(pattern, enough.data(), 31, -1, state, spans, control),
            SearchOutcome::kMatch);
  EXPECT_EQ(counter.polls, 0);
}

TEST(MatcherTest, DeepNestingIsTooComplexNotACrash) {
  const int kDepth = 100000;
  std::u16string deep = std::u16string(kDepth, u'(') + u"a" + std::u16string(kDepth, u')');
  regex::CPattern pattern;
  pattern.Compile(deep.c_str(), 0);
  EXPECT_TRUE(pattern.too_complex());
  regex::CMatchState state;
  regex::MatchSpans spans;
  EXPECT_EQ(regex::Search(pattern, u"a", 1, -1, state, spans), SearchOutcome::kTooComplex);

  const int kAllowed = regex::CPattern::kMaxNesting;
  std::u16string nested = std::u16string(kAllowed, u'(') + u"a" + std::u16string(kAllowed, u')');
  pattern.Compile(nested.c_str(), 0);
  EXPECT_FALSE(pattern.too_complex());
  EXPECT_EQ(regex::Search(pattern, u"xa", 2, -1, state, spans), SearchOutcome::kMatch);
  EXPECT_EQ(spans[2], 1);
  EXPECT_EQ(spans[1], kAllowed);

  const std::u16string lookarounds = [] {
    std::u16string text;
    for (int i = 0; i < 50000; ++i) text += u"(?=";
    return text;
  }();
  pattern.Compile(lookarounds.c_str(), 0);
  EXPECT_TRUE(pattern.too_complex());
}

TEST(MatcherTest, RecursionDepthIsBounded) {
  regex::CPattern pattern;
  regex::CMatchState state;
  regex::MatchSpans spans;
  // Left recursion never consumes anything and would recurse for ever.
  for (const char16_t* text : {u"(?R)", u"a|(?R)b", u"((?1))"}) {
    pattern.Compile(text, 0);
    EXPECT_EQ(regex::Search(pattern, u"xb", 2, -1, state, spans), SearchOutcome::kTooComplex)
        << Printable(text);
  }
  pattern.Compile(u"\\((?:[^()]|(?R))*\\)", 0);
  const std::u16string fifty = std::u16string(50, u'(') + std::u16string(50, u')');
  EXPECT_EQ(regex::Search(pattern, fifty.data(), 100, -1, state, spans), SearchOutcome::kMatch);
  EXPECT_EQ(SpansText(spans), "0-100");
  const std::u16string deep = std::u16string(100000, u'(') + std::u16string(100000, u')');
  EXPECT_EQ(regex::Search(pattern, deep.data(), 200000, -1, state, spans),
            SearchOutcome::kTooComplex);
}

TEST(MatcherTest, HugeGroupNumbersAndWholeMatchOnly) {
  regex::CPattern pattern;
  pattern.Compile(u"(?<999999>a)(b)", 0);
  regex::CMatchState state;
  regex::MatchSpans spans;
  ASSERT_EQ(regex::Search(pattern, u"xab", 3, -1, state, spans), SearchOutcome::kMatch);
  ASSERT_EQ(spans.size(), 2u + 2u * 1000000u);
  EXPECT_EQ(spans[1], 999999);
  EXPECT_EQ(spans[2 + 2 * 1], 2);  // the plain group is 1
  EXPECT_EQ(spans[2 + 2 * 999999], 1);
  regex::SearchControl control;
  control.whole_match_only = true;
  ASSERT_EQ(regex::Search(pattern, u"xab", 3, -1, state, spans, control), SearchOutcome::kMatch);
  EXPECT_EQ(spans, (std::vector<int>{1, 999999, 1, 3}));
  // The same state then serves a pattern with fewer groups.
  pattern.Compile(u"(b)?(c)?x", 0);
  EXPECT_EQ(regex::Search(pattern, u"cx", 2, -1, state, spans), SearchOutcome::kMatch);
  EXPECT_EQ(SpansText(spans), "0-2 x 0-1");
}

TEST(MatcherTest, RecompilingReplacesTheTree) {
  regex::CPattern pattern;
  for (int i = 0; i < 100; ++i) {
    pattern.Compile(i % 2 ? u"(a)(b)" : u"[x-z]+", 0);
    const auto spans = regex::Search(pattern, u"abxy", 4, -1);
    EXPECT_EQ(SpansText(spans), i % 2 ? "0-2 0-1 1-2" : "2-4");
  }
}

}  // namespace
