// The search plan may only skip start positions that cannot match: what it
// derives from patterns, the literal finder against a naive scan, and random
// patterns searched with and without the plan.
#include "regex/search_plan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "regex/pattern.h"
#include "regex/search.h"
#include "spans_text.h"

namespace {

using Anchor = regex::SearchPlan::Anchor;

TEST(SearchPlanTest, WhatPatternsTell) {
  struct Case {
    const char16_t* pattern;
    unsigned flags;
    Anchor anchor;
    int min_length;
    const char16_t* literal;
    int literal_offset;
  } cases[] = {
      {u"[A-Z]+_RESUME", 0, Anchor::kNone, 8, u"_RESUME", -1},
      {u"\\w+_RESUME", 0, Anchor::kNone, 8, u"_RESUME", -1},
      {u"foo\\d+", 0, Anchor::kNone, 4, u"foo", 0},
      {u"\\d\\dab(c)+", 0, Anchor::kNone, 5, u"ab", 2},
      {u"x(?:ab|cd)yz", 0, Anchor::kNone, 5, u"yz", 3},
      {u"^abc", 0, Anchor::kTextStart, 3, u"abc", 0},
      {u"(?m)^abc", 0, Anchor::kNone, 3, u"abc", 0},
      {u"\\Aa|\\Ab", 0, Anchor::kTextStart, 1, u"", -1},
      {u"(?g)\\Gab", 0, Anchor::kSearchStart, 2, u"ab", 0},
      {u"a?bc", 0, Anchor::kNone, 2, u"bc", -1},
      {u"(?=abc)", 0, Anchor::kNone, 0, u"", -1},  // lookarounds need not be in the match
      {u"(?<=abc)d", 0, Anchor::kNone, 1, u"d", 0},
      {u"(a)\\1xyz", 0, Anchor::kNone, 4, u"xyz", -1},
      {u"(?>ab+)c", 0, Anchor::kNone, 3, u"a", 0},  // "ab+" is "a", "b+"
      {u"(?=a)\\b\\Aab", 0, Anchor::kTextStart, 2, u"ab", 0},
      {u"ab*c", 0, Anchor::kNone, 2, u"a", 0},
      {u"", 0, Anchor::kNone, 0, u"", -1},
  };
  for (const auto& c : cases) {
    regex::CPattern pattern;
    pattern.Compile(c.pattern, c.flags);
    const regex::SearchPlan& plan = pattern.plan();
    EXPECT_EQ(plan.anchor, c.anchor) << Printable(c.pattern);
    EXPECT_EQ(plan.min_length, c.min_length) << Printable(c.pattern);
    EXPECT_EQ(plan.literal, c.literal) << Printable(c.pattern);
    EXPECT_EQ(plan.literal_offset, c.literal_offset) << Printable(c.pattern);
  }
}

TEST(SearchPlanTest, FirstUnits) {
  regex::CPattern pattern;
  pattern.Compile(u"[A-Z]+_R", 0);
  EXPECT_TRUE(pattern.plan().use_first);
  EXPECT_TRUE(pattern.plan().MayStart(u'Q'));
  EXPECT_FALSE(pattern.plan().MayStart(u'q'));
  EXPECT_FALSE(pattern.plan().MayStart(u'\u0100'));
  pattern.Compile(u"ab", regex::NO_CASE);
  EXPECT_TRUE(pattern.plan().MayStart(u'A'));
  EXPECT_TRUE(pattern.plan().MayStart(u'a'));
  EXPECT_FALSE(pattern.plan().MayStart(u'b'));
  pattern.Compile(u"[^a]x", 0);
  EXPECT_TRUE(pattern.plan().MayStart(u'\u0100'));
  pattern.Compile(u"a*", 0);  // may match empty anywhere
  EXPECT_FALSE(pattern.plan().use_first);
}

int NaiveFind(const std::u16string& text, const std::u16string& literal, bool no_case, int from) {
  auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
  for (int at = std::max(from, 0); at + static_cast<int>(literal.size()) <= int(text.size());
       ++at) {
    bool same = true;
    for (size_t i = 0; i < literal.size() && same; ++i) {
      const char16_t a = text[at + i];
      same = a == literal[i] || (no_case && upper(a) == upper(literal[i]));
    }
    if (same) return at;
  }
  return -1;
}

TEST(SearchPlanTest, LiteralFinderAgreesWithNaiveScan) {
  std::mt19937 random(12345);
  const std::u16string alphabet = u"aAbB_@`[{\u0141\u0161";
  auto pick = [&](int length) {
    std::u16string s;
    for (int i = 0; i < length; ++i) s += alphabet[random() % alphabet.size()];
    return s;
  };
  int found = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::u16string literal = pick(1 + random() % 4);
    const std::u16string text = pick(random() % 90);  // several 16-unit steps, then a tail
    const bool no_case = round % 2;
    regex::SearchPlan plan;
    plan.literal = literal;
    plan.literal_no_case = no_case;
    plan.literal_keys[0] = static_cast<int>(random() % literal.size());
    plan.literal_keys[1] = static_cast<int>(random() % literal.size());
    const int from = static_cast<int>(random() % (text.size() + 2)) - 1;
    const int expected = NaiveFind(text, literal, no_case, from);
    ASSERT_EQ(regex::FindLiteral(plan, text.data(), static_cast<int>(text.size()), from), expected)
        << Printable(literal) << " in " << Printable(text) << " from " << from;
    found += expected >= 0;
  }
  EXPECT_GT(found, 2000);  // the sweep exercises hits, not just misses
}

// Random patterns from fragments that the plan reads (literals, classes,
// anchors, quantifiers, groups) over texts from a matching alphabet.
std::u16string RandomPattern(std::mt19937& random) {
  static const char16_t* const kFragments[] = {
      u"a",   u"ab",   u"_R",   u"[A-Z]", u"\\w", u"\\d",       u".",   u"^",      u"$",
      u"\\A", u"\\b",  u"\\G",  u"(?m)^", u"+",   u"*",         u"?",   u"{2}",    u"{1,3}",
      u"*?",  u"++",   u"(",    u"(?:",   u")",   u"|",         u"\\1", u"(?<=a)", u"(?!b)",
      u"(?>", u"[^a]", u"(?i)", u"B",     u"\\s", u"(?(1)a|b)", u"\\Z",
  };
  std::u16string pattern;
  const int count = 1 + random() % 6;
  for (int i = 0; i < count; ++i) pattern += kFragments[random() % std::size(kFragments)];
  return pattern;
}

TEST(SearchPlanTest, PlanNeverChangesAResult) {
  std::mt19937 random(777);
  const std::u16string alphabet = u"aAbB_R1 \n";
  regex::CPattern pattern;
  regex::CMatchState state;
  regex::MatchSpans with_plan;
  regex::MatchSpans without_plan;
  regex::SearchControl no_plan;
  no_plan.use_search_plan = false;
  int matches = 0;
  for (int round = 0; round < 4000; ++round) {
    const std::u16string text_of_pattern = RandomPattern(random);
    const unsigned flags = (round % 3 == 0 ? unsigned{regex::NO_CASE} : 0u) | regex::G_ANCHOR;
    pattern.Compile(text_of_pattern.c_str(), flags);
    for (int t = 0; t < 10; ++t) {
      std::u16string text;
      const int length = random() % 16;
      for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
      const int start = static_cast<int>(random() % (text.size() + 1)) - (t == 0 ? 1 : 0);
      const int size = static_cast<int>(text.size());
      const auto a = regex::Search(pattern, text.data(), size, start, state, with_plan);
      const auto b = regex::Search(pattern, text.data(), size, start, state, without_plan, no_plan);
      ASSERT_EQ(a, b) << Printable(text_of_pattern);
      ASSERT_EQ(with_plan, without_plan) << "pattern " << Printable(text_of_pattern) << " text "
                                         << Printable(text) << " start " << start;
      matches += a == regex::SearchOutcome::kMatch;
    }
  }
  EXPECT_GT(matches, 5000);
}

}  // namespace
