// Native tests of the match preview's rules: rendering tables for find and
// replace runs, the way back from a view line to the match, the RTF, the
// size limit, the file view's decoding, and the preview engine's runner with
// a real engine (a file it reports on, and one it stays silent about).
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/text.h"
#include "test_tree.h"
#include "ui/logic/page_text.h"
#include "ui/logic/preview_document.h"
#include "ui/logic/preview_runner.h"
#include "ui/logic/ui_text.h"

namespace ui {
namespace {

using S = PreviewStyle;

}  // namespace

void PrintTo(const StyledRange& r, std::ostream* out) {
  *out << "{" << r.start << ", " << r.length << ", " << static_cast<int>(r.style) << "}";
}

namespace {

std::string U8(std::u16string_view s) { return platform::ToUtf8(s); }

MatchEntry E(std::int64_t line, std::u16string text, std::vector<HighlightRange> ranges,
             std::int64_t position = 0) {
  return MatchEntry{line, std::move(text), std::move(ranges), position};
}

PreviewOptions Find(std::int32_t limit = 100) { return {false, u"", limit, false}; }
PreviewOptions Replace(std::u16string with) { return {true, std::move(with), 100, false}; }

TEST(PreviewText, IdsAreUniqueAcrossTheStringTables) {
  std::set<int> ids;
#define VARNEL_ID(name, id, text) EXPECT_TRUE(ids.insert(id).second) << #name;
  VARNEL_UI_STRINGS(VARNEL_ID)
  VARNEL_PAGE_STRINGS(VARNEL_ID)
  VARNEL_PREVIEW_STRINGS(VARNEL_ID)
#undef VARNEL_ID
  EXPECT_EQ(PreviewText(IDS_PREVIEW_TOO_LARGE),
            u"Preview is unavailable because the file is too large.");
}

struct RenderCase {
  const char* name;
  MatchList list;
  PreviewOptions options;
  std::u16string text;
  std::vector<StyledRange> ranges;
};

TEST(PreviewRender, LinesAndRanges) {
  const RenderCase cases[] = {
      {"find: number in blue, match in yellow",
       {E(12, u"ab cd...", {{3, 2}})},
       Find(),
       u"12\tab cd...\r",
       {{0, 2, S::kLineNumber}, {6, 2, S::kHighlight}}},
      {"find: a match past the line's end is cut there",
       {E(1, u"abc", {{1, 10}})},
       Find(),
       u"1\tabc\r",
       {{0, 1, S::kLineNumber}, {3, 2, S::kHighlight}}},
      {"find: a range starting past the end shows nothing",
       {E(1, u"abc", {{7, 2}})},
       Find(),
       u"1\tabc\r",
       {{0, 1, S::kLineNumber}}},
      {"controls, DEL and line separators become ?",
       {E(3, std::u16string(u"a\tb\0c\x7f\x2028\x85z", 9), {{0, 1}})},
       Find(),
       u"3\ta?b?c???z\r",
       {{0, 1, S::kLineNumber}, {2, 1, S::kHighlight}}},
      {"replace: struck-out match, then the replacement, both highlighted",
       {E(7, u"x foo y", {{2, 3}})},
       Replace(u"bar"),
       u"7\tx foobar y\r",
       {{0, 1, S::kLineNumber}, {4, 6, S::kHighlight}, {4, 3, S::kStrikeOut}}},
      {"replace: a match past the end is cut before the replacement goes in",
       {E(2, u"ab", {{1, 5}})},
       Replace(u"Z"),
       u"2\tabZ\r",
       {{0, 1, S::kLineNumber}, {3, 2, S::kHighlight}, {3, 1, S::kStrikeOut}}},
      {"replace: a line break in the replacement cannot break the line",
       {E(2, u"ab", {{0, 1}})},
       Replace(u"\r\n"),
       u"2\ta??b\r",
       {{0, 1, S::kLineNumber}, {2, 3, S::kHighlight}, {2, 1, S::kStrikeOut}}},
      {"replace: two ranges of one line, the later one moved by the earlier insertion",
       {E(5, u"a b a", {{0, 1}, {4, 1}})},
       Replace(u"XY"),
       u"5\taXY b aXY\r",
       {{0, 1, S::kLineNumber},
        {2, 3, S::kHighlight},
        {2, 1, S::kStrikeOut},
        {8, 3, S::kHighlight},
        {8, 1, S::kStrikeOut}}},
      {"replace: two matches of one line are two entries",
       {E(4, u"aa", {{0, 1}}), E(4, u"aa", {{1, 1}})},
       Replace(u"b"),
       u"4\taba\r4\taab\r",
       {{0, 1, S::kLineNumber},
        {2, 2, S::kHighlight},
        {2, 1, S::kStrikeOut},
        {6, 1, S::kLineNumber},
        {9, 2, S::kHighlight},
        {9, 1, S::kStrikeOut}}},
  };
  for (const RenderCase& c : cases) {
    const PreviewDocument doc = RenderMatches(c.list, c.options);
    EXPECT_EQ(U8(doc.text), U8(c.text)) << c.name;
    EXPECT_EQ(doc.ranges, c.ranges) << c.name;
    EXPECT_FALSE(doc.limited) << c.name;
  }
}

TEST(PreviewRender, MatchLimitAndNoteLine) {
  const MatchList three = {E(1, u"a", {{0, 1}}), E(2, u"b", {{0, 1}}), E(3, u"c", {{0, 1}})};
  const MatchList two(three.begin(), three.begin() + 2);
  const std::u16string note = u"Only first 2 matches were shown. Show all matches.\r";
  const auto link = StyledRange{33, 17, S::kLink};
  struct Case {
    const char* name;
    const MatchList& list;
    PreviewOptions options;
    bool limited;
    int lines;
  } cases[] = {
      {"exactly the limit still shows the note", two, Find(2), true, 3},
      {"over the limit shows the first M", three, Find(2), true, 3},
      {"under the limit", two, Find(3), false, 2},
      {"show all", three, {false, u"", 2, true}, false, 3},
      {"a limit of 0 is none", three, Find(0), false, 3},
      {"a negative limit is none", three, Find(-1), false, 3},
      {"a replace run shows its stored list in full", three, {true, u"x", 2, false}, false, 3},
  };
  for (const Case& c : cases) {
    const PreviewDocument doc = RenderMatches(c.list, c.options);
    EXPECT_EQ(doc.limited, c.limited) << c.name;
    EXPECT_EQ(doc.line_starts.size(), static_cast<std::size_t>(c.lines)) << c.name;
    if (c.limited) {
      EXPECT_EQ(U8(doc.text.substr(0, note.size())), U8(note)) << c.name;
      EXPECT_EQ(doc.ranges.front(), link) << c.name;
      EXPECT_EQ(doc.line_entries.front(), -1) << c.name;
    }
  }
}

TEST(PreviewGoTo, LinesMapBackToTheirEntries) {
  // Three matches on line 9 and one on line 10, with the note line first.
  const MatchList list = {E(9, u"aXa", {{1, 1}}, 100), E(9, u"aXa", {{1, 2}}, 104),
                          E(9, u"aXa", {{1, 3}}, 108), E(10, u"Y", {{0, 1}}, 200)};
  PreviewOptions find = Find(4);
  const PreviewDocument doc = RenderMatches(list, find);
  ASSERT_TRUE(doc.limited);
  struct Case {
    std::int64_t position;
    std::optional<FileSelection> expected;
  } cases[] = {
      {0, std::nullopt},                                // the note line
      {doc.line_starts[1], FileSelection{100, 1}},      // start of the first line 9
      {doc.line_starts[3] - 1, FileSelection{104, 2}},  // the end of the second one
      {doc.line_starts[3] + 4, FileSelection{108, 3}},
      {static_cast<std::int64_t>(doc.text.size()), FileSelection{200, 1}},  // the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchAtLine(doc, list, LineAtPosition(doc, c.position), find), c.expected)
        << c.position;
  }
  const PreviewOptions replace = Replace(u"four");
  const PreviewDocument replaced = RenderMatches(list, replace);
  EXPECT_EQ(MatchAtLine(replaced, list, 1, replace), (FileSelection{104, 4}));
  EXPECT_EQ(MatchAtLine(replaced, list, 4, replace), std::nullopt);
  EXPECT_EQ(LineAtPosition(RenderMatches({}, find), 0), -1);
}

TEST(PreviewRtf, EscapesAndStyleSwitches) {
  const PreviewDocument doc = RenderMatches({E(3, u"{a}\\\x00e9\x4e2d", {{1, 1}})}, Replace(u"b"));
  const std::string rtf = PreviewRtf(doc);
  const std::string body = rtf.substr(rtf.find("\\b ") + 3);
  EXPECT_EQ(body,
            "\\cf1 3\\cf0 \\tab \\{\\highlight2 \\strike a\\strike0 b\\highlight0 \\}\\\\"
            "\\u233?\\u20013?\\par\n}");
  // \u takes a signed 16-bit number.
  EXPECT_NE(PreviewRtf(RenderMatches({E(1, u"\xffff", {})}, Find())).find("\\u-1?"),
            std::string::npos);
}

TEST(PreviewSizeLimit, StrictlyLargerThanTheLimit) {
  const std::uint64_t mb = 1048576;
  EXPECT_FALSE(FileTooLargeForPreview(5 * mb, 5));
  EXPECT_TRUE(FileTooLargeForPreview(5 * mb + 1, 5));
  EXPECT_FALSE(FileTooLargeForPreview(~std::uint64_t{0}, 0));
  EXPECT_FALSE(FileTooLargeForPreview(~std::uint64_t{0}, -3));
  EXPECT_TRUE(FileTooLargeForPreview(~std::uint64_t{0}, 2047));
}

TEST(PreviewFileView, DecodesEveryEncodingAndShowsControlsAsQuestionMarks) {
  testing_support::TempTree tree;
  const std::u16string expected = u"\x00e9t\x00e9\tx?\r\ny";
  struct Case {
    const char* name;
    std::string bytes;
    bool converted;
    bool little_endian;
  } cases[] = {
      {"ANSI", std::string("\xe9t\xe9\tx\x01\r\ny"), false, true},
      {"UTF-8 with mark", std::string("\xef\xbb\xbf\xc3\xa9t\xc3\xa9\tx\x01\r\ny"), false, true},
      {"UTF-16LE with mark", std::string("\xff\xfe\xe9\0t\0\xe9\0\t\0x\0\x01\0\r\0\n\0y\0", 20),
       false, true},
      {"UTF-16BE with mark", std::string("\xfe\xff\0\xe9\0t\0\xe9\0\t\0x\0\x01\0\r\0\n\0y", 20),
       false, true},
      {"converter output, UTF-16BE without mark",
       std::string("\0\xe9\0t\0\xe9\0\t\0x\0\x01\0\r\0\n\0y", 18), true, false},
  };
  for (const Case& c : cases) {
    const std::u16string path = tree.Write(u"f.txt", c.bytes);
    std::u16string text = u"old";
    ASSERT_TRUE(LoadFileViewText({path, c.converted, c.little_endian}, text)) << c.name;
    EXPECT_EQ(U8(text), U8(expected)) << c.name;
  }
  std::u16string kept = u"old";
  EXPECT_FALSE(LoadFileViewText({tree.Path(u"missing.txt"), false, true}, kept));
  EXPECT_EQ(kept, u"old");
}

// ---- The preview engine's runner, with a real engine ----

TEST(PreviewRunner, ReportsTheMatchListOrSaysThatNoneWillCome) {
  testing_support::TempTree tree;
  CReportQueue queue;
  CFindReporter reporter(ReportSource::kPreview, queue, nullptr, nullptr);
  CPreviewRunner runner(reporter);
  FileFindParamsIn record;
  record.text = u"cat";
  record.single_file = true;
  record.max_matches = 2;

  record.path = tree.Write(u"a.txt", "cat\r\ncat cat\r\n");
  runner.Start(record);
  EXPECT_EQ(runner.Finish(), CPreviewRunner::Progress::kReported);
  EXPECT_EQ(runner.Poll(), CPreviewRunner::Progress::kIdle);
  std::vector<FindReport> reports = queue.TakeAll();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].kind, FindReport::Kind::kMatchesReady);
  EXPECT_EQ(reports[0].run, reporter.Run());
  ASSERT_TRUE(reports[0].matches);
  EXPECT_EQ(reports[0].matches->size(), 2u);  // the match limit
  EXPECT_EQ(runner.ReportedSource().path, record.path);
  EXPECT_FALSE(runner.ReportedSource().converted_text);

  // "exe" is on the default skip list: no handler, no report.
  record.path = tree.Write(u"b.exe", "cat");
  runner.Start(record);
  EXPECT_EQ(runner.Finish(), CPreviewRunner::Progress::kNothing);
  EXPECT_EQ(queue.Size(), 0u);
}

}  // namespace
}  // namespace ui
