// The content pass with the plain finder: one table of snippets swept across
// the block boundaries of every encoding and line-end style and checked
// against a reference matcher; then whole words, the NUL rule, the context
// lines of the match list and the pass's failures.
#include <gtest/gtest.h>

#include "engine/text_finder.h"
#include "engine_test_support.h"
#include "reference.h"
#include "test_tree.h"

namespace {

using engine_test::ReferenceList;
using engine_test::Show;
using engine_test::U8;
using engine_test::Variant;
using testing_support::TempTree;

// ---- The sweep ----------------------------------------------------------------------

struct SweepCase {
  const char* name;
  std::u16string snippet;  // "\n" becomes the layout's line end
  std::u16string pattern;  // lower case when not case-sensitive, as the finder passes it
  bool case_sensitive;
};

const std::vector<SweepCase>& SweepCases() {
  static const std::vector<SweepCase> cases = {
      {"three letters", u"kwx", u"kwx", true},
      {"any case", u"KwX.kwx", u"kwx", false},
      {"case-sensitive skips other case", u"KWX kwx", u"kwx", true},
      {"non-overlapping, left to right", u"zzzzz", u"zz", true},
      {"occurrence inside a failed partial match", u"hhhj", u"hhj", true},
      {"one character", u"f.f", u"f", true},
      {"across a line end", u"vy\nwb", u"y\nw", true},
      {"ending with the line end", u"bq\n", u"bq\n", true},
      {"spanning a short line", u"hx\nj\nkq", u"x\nj\nk", true},
      {"accented, any case", u"\u00c9j\u00c5 \u00e9j\u00e5", u"\u00e9j\u00e5", false},
  };
  return cases;
}

class ContentPassTest : public ::testing::Test {
 protected:
  bool Pass(CTextFinder& handler, const std::u16string& pattern, MatchList* list,
            const std::u16string& path, bool case_sensitive = true, bool word_wrap = false,
            std::uint32_t max_matches = 0, bool skip_null_files = true) {
    handler.stop_event = &stop_;
    return ContentPass(handler, pattern, list, path, false, case_sensitive, word_wrap, max_matches,
                       skip_null_files);
  }

  TempTree tree_;
  platform::Event stop_;
  CTextFinder finder_;
};

TEST_F(ContentPassTest, EveryEncodingFindsWhatTheReferenceFindsAcrossBlockBoundaries) {
  for (const SweepCase& c : SweepCases()) {
    for (const Variant& variant : engine_test::Variants()) {
      for (bool crlf : {true, false}) {
        const std::u16string pattern = engine_test::WithLineEnds(c.pattern, crlf);
        engine_test::ForEachLayout(
            variant, crlf, engine_test::WithLineEnds(c.snippet, crlf),
            [&](std::size_t k, const std::u16string& text) {
              SCOPED_TRACE(std::string(c.name) + ", " + variant.name + (crlf ? ", CR LF" : ", LF") +
                           ", prefix " + std::to_string(k));
              std::u16string path = engine_test::WriteFresh(tree_, u"f.txt", variant.Bytes(text));
              MatchList expected =
                  ReferenceList(variant, variant.Content(text), pattern, c.case_sensitive);
              MatchList list;
              EXPECT_EQ(Pass(finder_, pattern, &list, path, c.case_sensitive), !expected.empty());
              ASSERT_EQ(Show(list), Show(expected));
              EXPECT_EQ(finder_.result_kind, ResultKind::kNone);
              EXPECT_EQ(Pass(finder_, pattern, nullptr, path, c.case_sensitive), !expected.empty());
            });
      }
    }
  }
}

TEST_F(ContentPassTest, WholeWordsAreDecidedByLettersAndDigitsAroundTheMatch) {
  struct Case {
    std::u16string text, pattern;
    std::vector<std::int32_t> positions;
  } cases[] = {
      {u"abab ab", u"ab", {5}},
      {u"ab_ ab. (ab)", u"ab", {0, 4, 9}},
      {u"\u00e9ab ab\u00e9 ab9 9ab", u"ab", {}},
      {u"ab", u"ab", {0}},
      {u"x ab\r\nab\r\n", u"ab", {2, 6}},
      {u"a-b a-bc a-b", u"a-b", {0, 9}},
      {u"aab ab", u"ab", {4}},
  };
  for (const auto& c : cases) {
    std::u16string path = tree_.Write(u"w.txt", engine_test::EncodeAs(TextEncoding::kAnsi, c.text));
    MatchList list;
    (void)Pass(finder_, c.pattern, &list, path, true, true);
    std::vector<std::int32_t> positions;
    for (const auto& e : list) positions.push_back(e.position);
    EXPECT_EQ(positions, c.positions) << "case " << (&c - cases);
  }
}

TEST_F(ContentPassTest, NulCharacterSkipsTheFileOnlyWhenTheRuleIsOn) {
  // UTF-16LE without a mark is read through the ANSI code page: every other
  // character is a NUL.
  const std::string unmarked_utf16("h\0e\0l\0l\0o\0", 10);
  struct Case {
    std::string bytes;
    bool rule;
    bool found;
    ResultKind kind;
    std::int32_t reason;
  } cases[] = {
      {unmarked_utf16, true, false, ResultKind::kSkipped, 101},
      {unmarked_utf16, false, true, ResultKind::kNone, 0},
      {"\xFF\xFE" + unmarked_utf16, true, true, ResultKind::kNone, 0},
      {std::string(2000, 'x') + '\0' + "h", true, false, ResultKind::kSkipped, 101},
  };
  for (const auto& c : cases) {
    std::u16string path = tree_.Write(u"n.txt", c.bytes);
    // Without a NUL rule the unmarked file holds "h", NUL, "e"...
    std::u16string pattern = c.bytes[0] == 'h' && !c.rule ? std::u16string(u"h\0e", 3) : u"h";
    MatchList list;
    EXPECT_EQ(Pass(finder_, pattern, &list, path, true, false, 0, c.rule), c.found)
        << "case " << (&c - cases);
    EXPECT_EQ(finder_.result_kind, c.kind) << "case " << (&c - cases);
    EXPECT_EQ(finder_.reason, c.reason) << "case " << (&c - cases);
  }
}

TEST_F(ContentPassTest, ContextLineShowsOneWordBeforeAndBlanksForLineEndsAndTabs) {
  struct Case {
    std::u16string text, pattern;
    std::string shown;
    std::int32_t line, highlight_start;
  } cases[] = {
      {u"match at start", u"match", "match at start...", 1, 0},
      {u"one two three four five six seven KEY end", u"KEY", "seven KEY end...", 1, 6},
      {u"aa bb ccKEY", u"KEY", "bb ccKEY...", 1, 5},
      {u"line one\r\nline two\r\nthe\tKEY\r\nafter", u"KEY", "one  line two  the KEY  after...", 3,
       19},
      {u"line one\nline two\nthe\tKEY\nafter", u"KEY", "one line two the KEY after...", 1, 17},
  };
  for (const auto& c : cases) {
    std::u16string path = tree_.Write(u"c.txt", engine_test::EncodeAs(TextEncoding::kAnsi, c.text));
    MatchList list;
    ASSERT_TRUE(Pass(finder_, c.pattern, &list, path)) << "case " << (&c - cases);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(U8(list[0].text), c.shown) << "case " << (&c - cases);
    EXPECT_EQ(list[0].line, c.line) << "case " << (&c - cases);
    ASSERT_EQ(list[0].highlights.size(), 1u);
    EXPECT_EQ(list[0].highlights[0].start, c.highlight_start) << "case " << (&c - cases);
    EXPECT_EQ(list[0].highlights[0].length, static_cast<std::int32_t>(c.pattern.size()));
  }
  // The before-context never reaches into the byte-order mark.
  std::u16string path = tree_.Write(u"m.txt", "\xEF\xBB\xBFKEY");
  MatchList list;
  ASSERT_TRUE(Pass(finder_, u"KEY", &list, path));
  EXPECT_EQ(Show(list), std::vector<std::string>{"line 1 at 0 [0+3] KEY..."});
}

TEST_F(ContentPassTest, MaxMatchesStopsTheList) {
  std::u16string path = tree_.Write(u"m.txt", std::string(3000, '.') + "x.x.x.x.x");
  for (std::uint32_t max : {0u, 1u, 3u, 5u, 9u}) {
    MatchList list;
    EXPECT_TRUE(Pass(finder_, u"x", &list, path, true, false, max));
    EXPECT_EQ(list.size(), max == 0 || max > 5 ? 5u : max) << max;
  }
}

TEST_F(ContentPassTest, FailuresAreReportedInTheHandlersFields) {
  std::u16string path = tree_.Write(u"f.txt", "some text");
  MatchList list;
  // No stop event: internal error.
  finder_.stop_event = nullptr;
  EXPECT_FALSE(ContentPass(finder_, u"text", &list, path, false, true, false, 0, true));
  EXPECT_EQ(finder_.result_kind, ResultKind::kError);
  EXPECT_EQ(finder_.reason, 206);
  // A file that cannot be opened.
  EXPECT_FALSE(Pass(finder_, u"text", &list, tree_.Path(u"missing.txt")));
  EXPECT_EQ(finder_.result_kind, ResultKind::kError);
  EXPECT_EQ(finder_.reason, 200);
  // A stop request seen at the first piece: canceled, nothing found, and the
  // next pass starts afresh.
  stop_.Set();
  EXPECT_FALSE(Pass(finder_, u"text", nullptr, path));
  EXPECT_TRUE(finder_.canceled);
  EXPECT_EQ(finder_.result_kind, ResultKind::kNone);
  EXPECT_TRUE(Pass(finder_, u"text", nullptr, path));
  EXPECT_FALSE(finder_.canceled);
  EXPECT_TRUE(list.empty());
}

}  // namespace
