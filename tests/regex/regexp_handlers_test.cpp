// The regex content handlers: FindAll over single pieces, then whole content
// passes over files for the case rules, anchors per piece, replacement, and
// what happens when a piece is too complex or the search is stopped.
#include "regex/regexp_handlers.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/regex_handlers.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "spans_text.h"
#include "test_tree.h"

namespace {

using testing_support::TempTree;

struct PieceHandler : CRegexpHandler {
  void Compile(const std::u16string& text, bool case_sensitive) {
    CTextFinder handler;
    handler.text = text;
    handler.case_sensitive = case_sensitive;
    CompileFor(handler, false);
  }
};

std::string Ranges(const std::vector<BlockMatch>& ranges) {
  std::string text;
  for (const auto& r : ranges) {
    if (!text.empty()) text += ' ';
    text += std::to_string(r.start) + "+" + std::to_string(r.length);
  }
  return text.empty() ? "none" : text;
}

TEST(RegexpHandlersTest, FindAllOverOnePiece) {
  struct Case {
    std::u16string pattern;
    std::u16string piece;
    const char* ranges;
    int from = 0;
  } cases[] = {
      {u"a*", u"baaa", "none"},  // the first match is empty, at 0
      {u"a*", u"aab", "0+2"},    // then an empty match at 2 ends the list
      {u"", u"abc", "none"},
      {u"(?g)\\Gab", u"ababxab", "0+2 2+2"},
      {u"b", std::u16string(u"a\0b", 3), "none"},  // a NUL ends the searchable text
      {u"ab|b", u"abab", "1+1 2+2", 1},            // matches start at or after `from`
      {u"\\d+", u"a12b345", "1+2 4+3"},
      {u"x$", u"xx", "1+1"},
  };
  PieceHandler handler;
  for (const auto& c : cases) {
    handler.Compile(c.pattern, true);
    std::vector<BlockMatch> ranges;
    EXPECT_EQ(handler.FindAll(c.piece, c.from, ranges), std::string(c.ranges) != "none")
        << Printable(c.pattern);
    EXPECT_EQ(Ranges(ranges), c.ranges) << Printable(c.pattern) << " in " << Printable(c.piece);
  }
}

class RegexpPassTest : public ::testing::Test {
 protected:
  // Runs a pass over a new file holding `bytes`, with the pattern as typed.
  // Returns the matched texts, or a reason.
  std::string Find(CTextFinder& handler, const std::u16string& pattern, const std::string& bytes,
                   bool case_sensitive = true, bool word_wrap = false) {
    const std::string name = "file" + std::to_string(files_++);
    last_file_.assign(name.begin(), name.end());
    const std::u16string path = tree_.Write(last_file_, bytes);
    handler.stop_event = &stop_;
    MatchList list;
    const bool found =
        ContentPass(handler, pattern, &list, path, false, case_sensitive, word_wrap, 0, true);
    if (handler.result_kind != ResultKind::kNone) return "error " + std::to_string(handler.reason);
    std::string out;
    for (const auto& entry : list) {
      for (const auto& h : entry.highlights) {
        if (!out.empty()) out += '|';
        out += platform::ToUtf8(entry.text.substr(h.start, h.length));
      }
    }
    EXPECT_EQ(found, !list.empty());
    return out.empty() ? "none" : out;
  }

  TempTree tree_;
  platform::Event stop_;
  CRegexpTextFinder finder_;
  CRegexpTextReplacer replacer_;
  int files_ = 0;
  std::u16string last_file_;
};

// Ignoring case changes how letters compare, and nothing else. Finder and
// replacer both lower each piece with the platform and the pattern's literals
// with it, so they pair letters beyond ASCII alike: a replace run replaces
// what its content test found.
TEST_F(RegexpPassTest, CaseRulesOfFinderAndReplacer) {
  const std::string accented = "\xC3\xA9 \xC3\x89";  // UTF-8 without a mark: read as ANSI
  const std::string utf8 = "\xEF\xBB\xBF\xC3\xA9 \xC3\x89";
  struct Case {
    CTextFinder* handler;
    std::u16string pattern;
    std::string content;
    bool case_sensitive;
    const char* found;
  } cases[] = {
      {&finder_, u"ab", "xAB", false, "AB"},
      {&finder_, u"Ab", "ab", false, "ab"},
      {&finder_, u"\u00c9", utf8, false, "\xC3\xA9|\xC3\x89"},
      {&finder_, u"\u00e9", utf8, false, "\xC3\xA9|\xC3\x89"},
      {&finder_, u"[\u00c0-\u00de]", utf8, false, "\xC3\xA9|\xC3\x89"},
      {&replacer_, u"\u00c9", utf8, false, "\xC3\xA9|\xC3\x89"},
      {&replacer_, u"\u00e9", utf8, false, "\xC3\xA9|\xC3\x89"},
      {&replacer_, u"AB", "xAB ab", false, "AB|ab"},
      {&finder_, u"[A-C]+", "xaBcD", false, "aBc"},
      {&replacer_, u"[A-C]+", "xaBcD", false, "aBc"},
      {&finder_, u"[A-Z]", "q", false, "q"},
      {&replacer_, u"[a-z]", "Q", false, "Q"},
      {&finder_, u"[^A-Z]+", "aZ1", false, "1"},
      {&replacer_, u"[^a-z]+", "aZ1", false, "1"},
      {&finder_, u"(a)\\1", "aA", false, "aA"},
      {&replacer_, u"(A)\\1", "aA", false, "aA"},
      {&finder_, u"\\x41", "a", false, "a"},
      {&finder_, u"\\x{41}b", "aB", false, "aB"},
      {&finder_, u"ab", accented, true, "none"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find(*c.handler, c.pattern, c.content, c.case_sensitive), c.found)
        << Printable(c.pattern) << (c.handler == &finder_ ? " finder" : " replacer");
  }
}

// These escapes and group forms have capital letters or meet them; they once
// turned into other constructs when the pattern was lowered for a search
// that ignores case.
TEST_F(RegexpPassTest, EscapesMeanTheSameWithAndWithoutCase) {
  struct Case {
    std::u16string pattern;
    std::string content;
    const char* found;
  } cases[] = {
      {u"\\D+", "ab12cd", "ab|cd"},
      {u"\\S+", "ab 12", "ab|12"},
      {u"\\W+", "ab-+cd", "-+"},
      {u"a\\Bb", "ab", "ab"},
      {u"\\Aab", "abab", "ab"},
      {u"ab\\Z", "abab\r\n", "ab"},
      {u"(?g)\\Gab", "ababxab", "ab|ab"},
      {u"\\Qa.b\\E", "axb a.b", "a.b"},
      {u"\\Ea", "a", "a"},
      {u"\\Lab\\E", "ab", "ab"},
      {u"\\Uab", "AB", "AB"},
      {u"(?P<n>a)\\k<n>", "aa", "aa"},
      {u"a(?R)?b", "aabb", "aabb"},
      {u"[[:alpha:]]+", "ab1", "ab"},
      {u"[[:Alpha:]]", "ab", "none"},  // not a class name in either case
  };
  for (const auto& c : cases) {
    for (CTextFinder* handler :
         {static_cast<CTextFinder*>(&finder_), static_cast<CTextFinder*>(&replacer_)}) {
      for (bool case_sensitive : {true, false}) {
        EXPECT_EQ(Find(*handler, c.pattern, c.content, case_sensitive), c.found)
            << Printable(c.pattern) << (handler == &finder_ ? " finder" : " replacer")
            << (case_sensitive ? " with case" : " without case");
      }
    }
  }
}

TEST_F(RegexpPassTest, AnchorsReferToEachPiece) {
  const std::string lines = "abc\r\nabc\r\nxabc\r\n";
  EXPECT_EQ(Find(finder_, u"abc$", lines), "none");  // the piece ends after CR LF
  EXPECT_EQ(Find(finder_, u"(?m)abc$", lines), "abc|abc|abc");
  EXPECT_EQ(Find(finder_, u"abc\\Z", lines), "abc|abc|abc");
  // Three characters of the first line are carried into the second piece,
  // so "^" no longer stands at its start there.
  EXPECT_EQ(Find(finder_, u"^abc", lines), "abc");
  EXPECT_EQ(Find(finder_, u"(?m)^abc", lines), "abc|abc");
  EXPECT_EQ(Find(finder_, u"abc", lines, true, true), Find(finder_, u"abc", lines));
  EXPECT_EQ(Find(finder_, u"b", "abc", true, true), "b");  // whole words has no effect
}

TEST_F(RegexpPassTest, ReplacementIsTheTextAsEntered) {
  const std::u16string path = tree_.Write(u"replace.txt", "abx cdx\r\nzz\r\n");
  replacer_.stop_event = &stop_;
  replacer_.replace_text = u"$1";
  MatchList list;
  EXPECT_TRUE(ContentPass(replacer_, u"(\\w+)x", &list, path, false, true, false, 0, true));
  EXPECT_EQ(tree_.Read(u"replace.txt"), "$1 $1\r\nzz\r\n");
  ASSERT_EQ(list.size(), 2u);
}

// "(a|a){30}b" tries 2^30 ways at every start in a run of 40 a's.
const std::string kExplosive = std::string(40, 'a') + "cb\r\nab\r\n";

TEST_F(RegexpPassTest, TooComplexPieceIsAnErrorAndLeavesTheFileUnchanged) {
  EXPECT_EQ(Find(finder_, u"(a|a){30}b", kExplosive), "error 208");
  EXPECT_EQ(finder_.result_kind, ResultKind::kError);
  EXPECT_FALSE(finder_.canceled);

  // The first line matches and would be replaced; the second cannot be
  // searched, so no part of the file may change.
  const std::string content = std::string(30, 'a') + "b\r\n" + kExplosive;
  const std::u16string path = tree_.Write(u"explosive.txt", content);
  replacer_.stop_event = &stop_;
  replacer_.replace_text = u"R";
  MatchList list;
  EXPECT_FALSE(ContentPass(replacer_, u"(a|a){30}b", &list, path, false, true, false, 0, true));
  EXPECT_EQ(replacer_.reason, 208);
  EXPECT_EQ(tree_.Read(u"explosive.txt"), content);
  EXPECT_FALSE(platform::PathExists(path + u".tmp"));
  EXPECT_FALSE(replacer_.canceled);

  // The next file starts afresh.
  EXPECT_EQ(Find(finder_, u"(a|a){3}b", "xaaab"), "aaab");
}

// Each line of "a*a*a*[cd]" over a's costs little, but a file of many such
// lines once took without end: the budget was per search call. A file may
// spend its largest call allowance plus a share per unit of its size.
TEST_F(RegexpPassTest, FileWhoseLinesTogetherExceedItsBudgetIsTooComplex) {
  const std::u16string pattern = u"a*a*a*[cd]";
  const std::string line = std::string(12, 'a') + "\r\n";
  std::string many;
  for (int i = 0; i < 1000; ++i) many += line;
  const std::string content = many + "d\r\n";
  EXPECT_EQ(Find(finder_, pattern, content), "d");  // the default budget suffices

  const CRegexpHandler::WorkBudget small{1'000'000, 1};
  for (CRegexpHandler* handler :
       {static_cast<CRegexpHandler*>(&finder_), static_cast<CRegexpHandler*>(&replacer_)}) {
    handler->set_work_budget(small);
  }
  EXPECT_EQ(Find(finder_, pattern, line + "d\r\n"), "d");  // one line is well within
  EXPECT_EQ(Find(finder_, pattern, content), "error 208");
  EXPECT_EQ(finder_.result_kind, ResultKind::kError);
  EXPECT_FALSE(finder_.canceled);

  replacer_.replace_text = u"R";
  EXPECT_EQ(Find(replacer_, pattern, content), "error 208");
  EXPECT_TRUE(tree_.Read(last_file_) == content) << "the file was rewritten";

  // The next file has a budget of its own.
  EXPECT_EQ(Find(finder_, pattern, line + "c\r\n"), "c");
}

TEST_F(RegexpPassTest, StopDuringALongSearchCancelsThePass) {
  const std::u16string path = tree_.Write(u"long.txt", kExplosive);
  finder_.path = path;
  finder_.text = u"(a|a){30}b";
  finder_.case_sensitive = true;
  finder_.stop_event = &stop_;
  ASSERT_TRUE(finder_.Open());
  stop_.Set();  // seen at the matcher's first poll
  std::vector<BlockMatch> ranges;
  const std::u16string piece(kExplosive.begin(), kExplosive.end());
  EXPECT_FALSE(finder_.SearchPiece(piece, ranges));
  EXPECT_EQ(finder_.outcome(), regex::SearchOutcome::kStopped);
  EXPECT_TRUE(finder_.canceled);
  EXPECT_TRUE(stop_.Poll());                         // signalled again for the content pass
  EXPECT_FALSE(finder_.SearchPiece(u"ab", ranges));  // the rest of the file is not searched
  EXPECT_TRUE(finder_.Close());
}

// The oracle for the byte scan of a pattern's required literal: the same
// handlers with the scan turned off.
template <class Handler>
struct FullPass : Handler {
  bool RequiredText(std::u16string&, bool&) override { return false; }
};

// A file that lacks the literal every match needs is ruled out by a scan of
// its bytes; the scan must decide exactly as the full pass: found or not,
// skipped for a NUL, and for a replace run the same file afterwards.
TEST_F(RegexpPassTest, LiteralScanDecidesAsTheFullPass) {
  const std::u16string patterns[] = {u"[A-Z]+_RESUME", u"(?i)_resume\\b", u"\\w+_RESUME",
                                     u"x\\d+yz",       u"ab(c|d)ef",      u"(?=\\w*Q)\\w+"};
  const std::string contents[] = {
      "",
      "PM_RESUME\n",
      "pm_resume\r\n",
      "no match here\r\n",
      "_RESUM\r\nE x12yz abdef Q\r\n",
      std::string("BIN\0ARY PM_RESUME abcef", 24),
      std::string("PM_RESUME x12yz abdef\0", 22),
      std::string(2000, 'a') + "X_RESUME x77yz ABCEF\r\n" + std::string(1, '\0'),
      "\xEF\xBB\xBFPM_RESUME",        // a marked file is decoded, never scanned
      "\xC9_RESUME \xE9_resume\r\n",  // letters beyond ASCII
  };
  FullPass<CRegexpTextFinder> oracle;
  FullPass<CRegexpTextReplacer> oracle_replacer;
  for (const auto& pattern : patterns) {
    for (const auto& content : contents) {
      for (int mode = 0; mode < 4; ++mode) {
        const bool case_sensitive = mode & 1, skip_null = mode & 2;
        auto run = [&](CTextFinder& handler, MatchList* list) {
          const std::u16string path = tree_.Write(u"scan.txt", content);
          handler.stop_event = &stop_;
          const bool found =
              ContentPass(handler, pattern, list, path, false, case_sensitive, false, 0, skip_null);
          return std::to_string(found) + " kind " +
                 std::to_string(static_cast<int>(handler.result_kind)) + " reason " +
                 std::to_string(handler.reason) + " -> " + tree_.Read(u"scan.txt");
        };
        const std::string where = platform::ToUtf8(pattern) + " mode " + std::to_string(mode) +
                                  " over " +
                                  Printable(std::u16string(content.begin(), content.end()));
        EXPECT_EQ(run(finder_, nullptr), run(oracle, nullptr)) << where;
        replacer_.replace_text = oracle_replacer.replace_text = u"R";
        MatchList ours, theirs;
        EXPECT_EQ(run(replacer_, &ours), run(oracle_replacer, &theirs)) << where << " replaced";
        EXPECT_EQ(ours.size(), theirs.size()) << where;
      }
    }
  }
}

TEST(RegexpHandlersSeamTest, FactoryFunctionsMakeTheRegexHandlers) {
  auto finder = CreateRegexFinder();
  auto replacer = CreateRegexReplacer();
  auto document = CreateRegexIFilterFinder();
  EXPECT_NE(dynamic_cast<CRegexpTextFinder*>(finder.get()), nullptr);
  EXPECT_NE(dynamic_cast<CRegexpTextReplacer*>(replacer.get()), nullptr);
  ASSERT_NE(dynamic_cast<CRegexpIFilterTextFinder*>(document.get()), nullptr);
  EXPECT_FALSE(document->SupportsReplace());
  EXPECT_TRUE(document->IsConverted());
  // Destroying through the second base destroys the whole object.
  std::unique_ptr<CRegexpHandler> as_handler(new CRegexpTextReplacer);
  as_handler.reset();
}

}  // namespace
