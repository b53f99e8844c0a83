// The pattern language as the compiler reads it, lenient readings included,
// checked through what each pattern matches. Spans read "start-end" per group,
// "x" for a group without a capture, "no" for no match.
#include "regex/pattern.h"

#include <gtest/gtest.h>

#include <string>

#include "regex/search.h"
#include "spans_text.h"

namespace {

using regex::BACKWARD;
using regex::DOT_ALL;
using regex::G_ANCHOR;
using regex::MULTI_LINE;
using regex::NO_CASE;

struct Case {
  const char16_t* pattern;
  std::u16string text;
  const char* spans;
  unsigned flags = 0;
  int start = -1;
};

std::string Find(const Case& c) {
  regex::CPattern pattern;
  pattern.Compile(c.pattern, c.flags);
  return SpansText(regex::Search(pattern, c.text.data(), static_cast<int>(c.text.size()), c.start));
}

void RunTable(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(Find(c), c.spans) << "pattern " << Printable(c.pattern) << " text \""
                                << Printable(c.text) << "\" flags " << c.flags;
  }
}

TEST(PatternTest, QuantifiersAndBounds) {
  RunTable({
      {u"a{2}", u"aaa", "0-2"},
      {u"a{2,1}", u"aaa", "0-2"},
      {u"a{0}b", u"ab", "1-2"},
      {u"a{x}b", u"ab", "1-2"},
      {u"a{,3}b", u"aab", "2-3"},
      {u"ab{", u"ab", "0-1"},
      {u"a{ 2 , 3 }", u"aaaa", "0-3"},
      {u"a{2,}", u"aaaaa", "0-5"},
      {u"a{2,x}", u"aaaaa", "0-5"},
      {u"a{2}?", u"aaa", "0-2"},
      {u"a{2}+a", u"aaa", "0-3"},  // the '+' after equal bounds is consumed
      {u"a{0}+b", u"ab", "1-2"},
      {u"a{1,3}?", u"aaa", "0-1"},
      {u"a{1,3}+a", u"aaa", "no"},
      {u"a*?b", u"aab", "0-3"},
      {u"a+?", u"aaa", "0-1"},
      {u"a??b", u"ab", "0-2"},
      {u"abc+", u"abccc", "0-5"},
      {u"abc+", u"ababc", "2-5"},
      // A quantifier with nothing to repeat is a literal.
      {u"*abc", u"x*abc", "1-5"},
      {u"a**", u"aa*", "0-3"},
      {u"a**", u"aa", "no"},
      {u"{3}", u"a{3}", "1-4"},
      {u"+a", u"+a", "0-2"},
      {u"a|*b", u"*b", "0-2"},
      {u"(*)", u"*", "0-1 0-1"},
      {u"**", u"***", "0-3"},  // a literal '*' repeated
  });
}

TEST(PatternTest, BracketAndPosixClasses) {
  RunTable({
      {u"[a-]", u"-", "0-1"},
      {u"[-a]", u"-", "0-1"},
      {u"[a-]", u"b", "no"},
      {u"[]a", u"a", "no"},  // "[]" is an empty class
      {u"[^]", u"\n", "0-1"},
      {u"[^]a", u"xa", "0-2"},
      {u"[z-a]", u"a", "no"},
      {u"[z-a]", u"m", "no"},
      {u"[a-c]+", u"xabcd", "1-4"},
      {u"[^a-c]", u"abcd", "3-4"},
      {u"[\\d_]+", u"a1_2b", "1-4"},
      {u"[^\\d]+", u"12ab3", "2-4"},
      {u"[\\s]", u"a\tb", "1-2"},
      {u"[\\b]", u"\b", "0-1"},
      {u"[a\\Gb]+", u"ab", "0-2"},
      {u"[\\A]", u"A", "0-1"},
      {u"[.*+?{}()|$]+", u"a.*+?{}()|$", "1-11"},
      {u"[a^]", u"^", "0-1"},
      {u"[\\]]", u"]", "0-1"},
      {u"[\\x41-\\x43]+", u"ABCD", "0-3"},
      {u"[[:alpha:]]+", u"1ab2", "1-3"},
      {u"[:digit:]+", u"a12", "1-3"},
      {u"[[:^digit:]x]+", u"12ab3", "2-4"},
      {u"[[:alpha:]0]+", u"-a0b-", "1-4"},
      {u"[:bogus:]", u"b", "no"},
      {u"[[:alpha:xyz]", u"1q", "1-2"},  // names compare up to their own colon
      {u"[:space:]", u"a\vb", "1-2"},
      {u"[:blank:]", u"\n\t", "1-2"},
      {u"[:punct:]", u"a_", "1-2"},
      {u"[:xdigit:]+", u"xfA9g", "1-4"},
      {u"[:alpha:]", u"\u00e9", "no"},  // classification is ASCII only
      {u"[[:upper:][:digit:]]+", u"aB1c", "1-3"},
      {u".", u"\n", "no"},
      {u".", u"\u263A", "0-1"},
      {u"\\W", u"a\u00e9", "1-2"},
  });
}

TEST(PatternTest, IgnoringCase) {
  RunTable({
      {u"abc", u"xABC", "1-4", NO_CASE},
      {u"ABC", u"abc", "0-3", NO_CASE},
      {u"[a-f]+", u"xABf", "1-4", NO_CASE},
      {u"[A-F]+", u"xabF", "1-4", NO_CASE},
      {u"[X-c]", u"B", "0-1", NO_CASE},  // overlaps both letter ranges
      {u"[X-c]", u"y", "0-1", NO_CASE},
      {u"[X-c]", u"D", "no", NO_CASE},
      {u"[^a]", u"Ab", "1-2", NO_CASE},
      {u"[[:lower:]]+", u"ABab", "2-4", NO_CASE},
      {u"[[:upper:]]", u"a", "no", NO_CASE},
      {u"\u00e9", u"\u00c9", "no", NO_CASE},
      {u"(a)\\1", u"aA", "0-2 0-1", NO_CASE},
      {u"(?-i)abc", u"ABC", "no", NO_CASE},
      {u"(?i)abc", u"ABC", "0-3"},
      {u"(?i:ab)c", u"ABc", "0-3"},
      {u"(?i:ab)c", u"ABC", "no"},
      {u"(?i)a(?-i)b", u"Ab", "0-2"},
      {u"(?i)a(?-i)b", u"AB", "no"},
      {u"((?i)a)b", u"AB", "no"},  // a modifier ends with its group
      {u"((?i)a)b", u"Ab", "0-2 0-1"},
      {u"(?i(a)b)", u"AB", "0-2 0-1"},
      {u"(?I)a", u"A", "0-1"},
      {u"(?xi)a", u"A", "0-1"},  // unknown letters are ignored
  });
}

TEST(PatternTest, Escapes) {
  RunTable({
      {u"\\x{263A}", u"\u263A", "0-1"},
      {u"\\xZZ", u"xZZ", "0-3"},
      {u"\\x41", u"A", "0-1"},
      {u"\\x414", u"A4", "0-2"},
      {u"\\u263Ab", u"\u263Ab", "0-2"},
      {u"\\u{41}", u"A", "0-1"},
      {u"\\x{1F600}", u"\uF600", "0-1"},  // kept to 16 bits
      {u"\\x{41 junk}B", u"AB", "0-2"},
      {u"\\x{41", u"A", "0-1"},
      {u"\\uZ", u"uZ", "0-2"},
      {u"\\t\\n\\r\\f\\v\\a\\e", u"\t\n\r\f\v\a\x1b", "0-7"},
      {u"\\q\\-\\.", u"q-.", "0-3"},
      {u"a\\", u"a\\", "0-2"},
      {u"\\Qa.b\\E.", u"a.bc", "0-4"},
      {u"\\Qa.b", u"axb", "no"},
      {u"\\Q(a)\\E", u"(a)", "0-3"},
      {u"\\Uab\\Ec", u"ABc", "0-3"},
      {u"\\LAbC", u"abc", "0-3"},
      {u"\\Ua\\lb", u"A\\LB", "0-4"},  // in quote mode only \E is an escape
      {u"\\E\\Q\\E", u"", "0-0"},
      {u"a(?#comment)b", u"ab", "0-2"},
      {u"a(?#unclosed", u"a", "0-1"},
      {u"\\Gab", u"xab", "1-3"},  // without G_ANCHOR \G is empty
      {u"[\\Q]\\E]", u"]", "0-1"},
  });
}

TEST(PatternTest, GroupsNamesAndReferences) {
  RunTable({
      {u"(a)(b)", u"ab", "0-2 0-1 1-2"},
      {u"(?:a)(b)", u"ab", "0-2 1-2"},
      {u"(?<n>a)(?<n>b)", u"ab", "0-2 1-2"},  // one name, one number
      {u"(?<x>a)(b)", u"ab", "0-2 1-2 0-1"},  // named groups after numbered ones
      {u"(?<x>a)\\k<x>", u"aa", "0-2 0-1"},
      {u"(?'x'a)\\k'x'", u"aa", "0-2 0-1"},
      {u"(?P<x>a)\\k<X>", u"aa", "0-2 0-1"},
      {u"(?<x>a)\\k<y>", u"aa", "no"},
      {u"(?<2>a)\\2", u"aa", "0-2 x 0-1"},
      {u"(a)\\k<1>", u"aa", "0-2 0-1"},
      {u"(a)\\g1", u"aa", "0-2 0-1"},
      {u"(a)\\12", u"aa2", "no"},
      {u"a\\g", u"aa", "0-2"},  // group 0: the match so far
      {u"(a)?(?(1)b|c)", u"ab", "0-2 0-1"},
      {u"(a)?(?(1)b|c)", u"c", "0-1 x"},
      {u"(?(?=a)ab|cd)", u"cd", "0-2"},
      {u"(?(?=a)ab|cd)", u"ab", "0-2"},
      {u"(?(x)xa|b)", u"xa", "0-2"},  // not a group name: a lookahead
      {u"(?(x)a|b)", u"b", "0-1"},
      {u"(?<x>a)?(?(x)b|c)", u"ab", "0-2 0-1"},
      {u"(?<x>a)?(?(x)b|c)", u"c", "0-1 x"},
      {u"(?(1)a|b|c)", u"c", "0-1"},  // the no-branch is "b|c"
      {u"a(?R)?b", u"aabb", "0-4"},
      {u"(a(?1)?b)", u"aaabbb", "0-6 0-6"},
      {u"(?<p>a(?R<p>)?b)", u"aabb", "0-4 0-4"},
      {u"(?5)a", u"a", "0-1"},   // unbound recursion matches empty
      {u"(a", u"a", "0-1 0-1"},  // unclosed group
      {u"a)b", u"ab", "0-1"},    // unmatched ')' ends the pattern
      {u"(?<=ab)c", u"abc", "2-3"},
      {u"(?<=a+)b", u"aab", "2-3"},
      {u"(?<=a|bc)d", u"bcd", "2-3"},
      {u"(?<!a)b", u"abb", "2-3"},
      {u"(?<=(a))b", u"ab", "1-2 0-1"},
      {u"(?<=\\s)x", u"\fx", "1-2"},  // backward \s includes form feed
      {u"\\sx", u"\fx", "no"},
      {u"(?s).", u"\n", "0-1"},
      {u"(?m)^b", u"a\nb", "2-3"},
      {u"^b", u"a\nb", "no"},
      {u"(?g)\\Gab", u"xab", "1-3", 0, 1},
      {u"(?g)\\Gab", u"xab", "no"},
      {u"ab", u"x", "no", BACKWARD},
  });
}

// "\1234" is backreference 123 followed by the literal 4.
TEST(PatternTest, BackreferenceTakesThreeDigits) {
  std::u16string pattern;
  std::u16string text;
  for (int i = 1; i < 123; ++i) {
    pattern += u"(a)";
    text += u'a';
  }
  pattern += u"(b)\\1234";
  text += u"bb4";
  regex::CPattern compiled;
  compiled.Compile(pattern.c_str(), 0);
  EXPECT_EQ(compiled.highest_group(), 123);
  const auto spans = regex::Search(compiled, text.data(), static_cast<int>(text.size()), -1);
  ASSERT_FALSE(spans.empty());
  EXPECT_EQ(spans[3], static_cast<int>(text.size()));
}

TEST(PatternTest, SpansLayout) {
  regex::CPattern pattern;
  pattern.Compile(u"(a)|(b)", 0);
  EXPECT_EQ(regex::Search(pattern, u"xb", 2, -1), (std::vector<int>{1, 2, 1, 2, -1, -1, 1, 2}));
  pattern.Compile(nullptr, 0);
  EXPECT_EQ(pattern.root(), nullptr);
  EXPECT_TRUE(regex::Search(pattern, u"xb", 2, -1).empty());
}

}  // namespace
