// The replacer over real files: the replacement sweep through every encoding
// (exact bytes, mark kept), backups, read-only files, cancel, and the files
// it must leave untouched.
#include "engine/text_replacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engine_test_support.h"
#include "platform/fs.h"
#include "reference.h"
#include "test_tree.h"

namespace {

using engine_test::Names;
using engine_test::Show;
using engine_test::Variant;
using testing_support::TempTree;

class ReplacerTest : public ::testing::Test {
 protected:
  bool Replace(const std::u16string& path, const std::u16string& pattern,
               const std::u16string& replacement, MatchList* list = nullptr, bool backup = false,
               bool case_sensitive = true) {
    MatchList own;
    replacer_.stop_event = &stop_;
    replacer_.backup = backup;
    replacer_.replace_text = replacement;
    return ContentPass(replacer_, pattern, list ? list : &own, path, false, case_sensitive, false,
                       0, true);
  }

  TempTree tree_;
  platform::Event stop_;
  CTextReplacer replacer_;
};

TEST_F(ReplacerTest, EachOccurrenceIsReplacedAndPositionsAreThoseOfTheRewrittenText) {
  std::u16string path = tree_.Write(u"a.txt", "aaa");
  MatchList list;
  ASSERT_TRUE(Replace(path, u"a", u"bb", &list));
  EXPECT_EQ(tree_.Read(u"a.txt"), "bbbbbb");
  std::vector<std::int32_t> positions;
  for (const auto& e : list) positions.push_back(e.position);
  EXPECT_EQ(positions, (std::vector<std::int32_t>{0, 2, 4}));
  EXPECT_EQ(Names(tree_.root()), std::set<std::u16string>{u"a.txt"});
}

// Durability is not what the sweep below is about, and a flush to the disk
// per file would make it crawl.
class UnflushedOps : public IFileOperations {
 public:
  std::uint32_t Flush(platform::File&) override { return 0; }
};

// Every encoding is written back byte for byte as the reference rewrite of
// its content, with its mark, wherever the match falls against the blocks
// and whatever the line ends (so also over lines longer than a block).
TEST_F(ReplacerTest, RewriteKeepsTheEncodingAndReplacesMatchesSpanningPieces) {
  struct Case {
    std::u16string snippet, pattern, replacement;
    bool case_sensitive;
  } cases[] = {
      {u"kwx", u"kwx", u"Q", true},
      {u"zzzzz", u"zz", u"yyy", true},
      {u"vy\nwb", u"y\nw", u"-", true},
      {u"hx\nj\nkq", u"x\nj\nk", u"", true},
      {u"\u00c9j\u00c5 \u00e9j\u00e5", u"\u00e9j\u00e5", u"\u00fc\u20ac", false},
      // The held-back tail must not cut a surrogate pair, which UTF-8 and
      // UTF-32 cannot write in halves.
      {u"\U0001F600\U0001F600\U0001F600kw\U0001F600\U0001F600", u"kw", u"Q", true},
  };
  UnflushedOps unflushed;
  replacer_.ops = &unflushed;
  for (const auto& c : cases) {
    for (const Variant& variant : engine_test::Variants()) {
      // The code page has no characters outside the first plane.
      if (variant.written == TextEncoding::kAnsi && c.snippet.find(u'\xD83D') != std::u16string::npos)
        continue;
      for (bool crlf : {true, false}) {
        const std::u16string pattern = engine_test::WithLineEnds(c.pattern, crlf);
        engine_test::ForEachLayout(
            variant, crlf, engine_test::WithLineEnds(c.snippet, crlf),
            [&](std::size_t k, const std::u16string& text) {
              SCOPED_TRACE("case " + std::to_string(&c - cases) + ", " + variant.name +
                           (crlf ? ", CR LF" : ", LF") + ", prefix " + std::to_string(k));
              std::u16string path = engine_test::WriteFresh(tree_, u"r.txt", variant.Bytes(text));
              const std::u16string content = variant.Content(text);
              MatchList expected =
                  engine_test::ReferenceList(variant, content, pattern, c.case_sensitive,
                                             static_cast<std::int32_t>(c.replacement.size()));
              if (expected.empty()) return;  // the finder never rewrites such a file
              MatchList list;
              ASSERT_TRUE(Replace(path, pattern, c.replacement, &list, false, c.case_sensitive));
              std::u16string rewritten =
                  engine_test::ReferenceReplace(content, pattern, c.case_sensitive, c.replacement);
              std::string bytes = (variant.mark ? engine_test::Mark(variant.written) : "") +
                                  engine_test::EncodeAs(variant.read, rewritten);
              ASSERT_EQ(tree_.Read(u"r.txt"), bytes);
              ASSERT_EQ(Show(list), Show(expected));
            });
      }
    }
  }
  replacer_.ops = &IFileOperations::Real();
  EXPECT_EQ(Names(tree_.root()), std::set<std::u16string>{u"r.txt"});
}

TEST_F(ReplacerTest, BackupsAreNumberedBeforeTheExtension) {
  std::u16string path = tree_.Write(u"notes.txt", "x");
  for (int run = 0; run < 3; ++run) ASSERT_TRUE(Replace(path, u"x", u"xx", nullptr, true));
  EXPECT_EQ(tree_.Read(u"notes.txt"), "xxxxxxxx");
  EXPECT_EQ(tree_.Read(u"notes.txt.bak"), "x");
  EXPECT_EQ(tree_.Read(u"notes.txt(2).bak"), "xx");
  EXPECT_EQ(tree_.Read(u"notes.txt(3).bak"), "xxxx");
  EXPECT_EQ(Names(tree_.root()).size(), 4u);

  // A replacement identical to the text still rewrites, and backs up.
  ASSERT_TRUE(Replace(path, u"x", u"x", nullptr, true));
  EXPECT_EQ(tree_.Read(u"notes.txt(4).bak"), "xxxxxxxx");
}

TEST_F(ReplacerTest, NoFreeBackupNameLeavesTheFileAsItWas) {
  std::u16string path = tree_.Write(u"n.txt", "x");
  tree_.Write(u"n.txt.bak", "b");
  for (int n = 2; n <= 99; ++n)
    tree_.Write(u"n.txt(" + platform::FromUtf8(std::to_string(n)) + u").bak", "b");
  EXPECT_FALSE(Replace(path, u"x", u"y", nullptr, true));
  EXPECT_EQ(tree_.Read(u"n.txt"), "x");
  EXPECT_EQ(Names(tree_.root()).size(), 100u);
}

TEST_F(ReplacerTest, ReadOnlyFileIsRewrittenAndStaysReadOnly) {
  for (bool backup : {false, true}) {
    std::u16string path = engine_test::WriteFresh(tree_, u"ro.txt", "one two");
    ASSERT_TRUE(platform::SetFileAttributes(path, platform::attr::read_only));
    ASSERT_TRUE(Replace(path, u"two", u"2", nullptr, backup)) << backup;
    EXPECT_EQ(tree_.Read(u"ro.txt"), "one 2");
    std::uint32_t attributes = 0;
    ASSERT_TRUE(platform::GetFileAttributes(path, attributes));
    EXPECT_TRUE(attributes & platform::attr::read_only) << backup;
    ASSERT_TRUE(platform::SetFileAttributes(path, 0));
    std::set<std::u16string> expected = {u"ro.txt"};
    if (backup) expected.insert(u"ro.txt.bak");
    EXPECT_EQ(Names(tree_.root()), expected);
  }
}

TEST_F(ReplacerTest, ATemporaryNameInUseIsNotTouched) {
  std::u16string path = tree_.Write(u"t.txt", "abc");
  tree_.Write(u"t.txt.tmp", "someone else's");
  ASSERT_TRUE(Replace(path, u"b", u"B"));
  EXPECT_EQ(tree_.Read(u"t.txt"), "aBc");
  EXPECT_EQ(tree_.Read(u"t.txt.tmp"), "someone else's");
  EXPECT_EQ(Names(tree_.root()), (std::set<std::u16string>{u"t.txt", u"t.txt.tmp"}));
}

// Stops the pass from inside, after a number of writes to the temporary file.
class StoppingOps : public IFileOperations {
 public:
  StoppingOps(platform::Event& stop, int writes) : stop_(stop), writes_(writes) {}
  std::uint32_t Write(platform::File& file, const std::string& bytes) override {
    if (--writes_ == 0) stop_.Set();
    return IFileOperations::Write(file, bytes);
  }

 private:
  platform::Event& stop_;
  int writes_;
};

TEST_F(ReplacerTest, CancelLeavesTheTargetAndNoTemporaryFile) {
  std::string original;
  // Large enough that the replacer writes several blocks before its end.
  for (int line = 0; line < 12000; ++line) original += "line with a match\r\n";
  for (bool backup : {false, true}) {
    std::u16string path = engine_test::WriteFresh(tree_, u"big.txt", original);
    StoppingOps ops(stop_, 1);
    replacer_.ops = &ops;
    // The pass still returns the matches it collected; a caller learns of
    // the cancel from the flag.
    (void)Replace(path, u"match", u"hit", nullptr, backup);
    replacer_.ops = &IFileOperations::Real();
    EXPECT_TRUE(replacer_.canceled);
    EXPECT_EQ(tree_.Read(u"big.txt"), original);
    EXPECT_EQ(Names(tree_.root()), std::set<std::u16string>{u"big.txt"});
  }
}

TEST_F(ReplacerTest, ContentThatWouldNotSurviveARewriteIsLeftUntouched) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u16string replacement;
  } cases[] = {
      {"replacement not in the ANSI code page", "a-b", u"\u0142"},
      {"invalid UTF-8",
       "\xEF\xBB\xBF"
       "a-\xC3(",
       u"b"},
      {"UTF-8 cut at the end",
       "\xEF\xBB\xBF"
       "a-\xE2\x82",
       u"b"},
      {"odd trailing byte in UTF-16",
       std::string("\xFF\xFE"
                   "a\0-\0x",
                   7),
       u"b"},
      {"UTF-32 value past U+10FFFF",
       std::string("\xFF\xFE\0\0"
                   "a\0\0\0\0\0\x11\0",
                   12),
       u"b"},
      {"UTF-32 lone surrogate",
       std::string("\xFF\xFE\0\0"
                   "a\0\0\0\0\xD8\0\0",
                   12),
       u"b"},
  };
  for (const auto& c : cases) {
    std::u16string path = engine_test::WriteFresh(tree_, u"u.txt", c.bytes);
    MatchList list;
    EXPECT_FALSE(Replace(path, u"a", c.replacement, &list)) << c.name;
    EXPECT_EQ(tree_.Read(u"u.txt"), c.bytes) << c.name;
    EXPECT_EQ(Names(tree_.root()), std::set<std::u16string>{u"u.txt"}) << c.name;
  }
  // The same replacement is fine where the encoding can hold it.
  std::u16string path = engine_test::WriteFresh(tree_, u"u.txt",
                                                "\xEF\xBB\xBF"
                                                "a-b");
  EXPECT_TRUE(Replace(path, u"a", u"\u0142"));
  EXPECT_EQ(tree_.Read(u"u.txt"), "\xEF\xBB\xBF\xC5\x82-b");
}

// Whole words: the neighbours of a match count even where a piece ends (a
// block cut at 1024 bytes, a line end) or the carried text begins.
std::u16string WholeWordReference(const std::u16string& content, const std::u16string& word,
                                  const std::u16string& replacement, std::size_t& count) {
  std::u16string out;
  const std::size_t m = word.size(), n = content.size();
  std::size_t i = 0;
  for (count = 0; i + m <= n;) {
    bool hit = content.compare(i, m, word) == 0 &&
               !(i > 0 && platform::IsAlphaNumeric(content[i - 1])) &&
               !(i + m < n && platform::IsAlphaNumeric(content[i + m]));
    if (hit) {
      out += replacement;
      i += m;
      ++count;
    } else {
      out += content[i++];
    }
  }
  return out + content.substr(i);
}

TEST_F(ReplacerTest, WholeWordsAreJudgedAcrossPieceEdges) {
  UnflushedOps unflushed;
  replacer_.ops = &unflushed;
  auto run = [&](const Variant& variant, const std::u16string& text, const std::u16string& word) {
    std::u16string path = engine_test::WriteFresh(tree_, u"w.txt", variant.Bytes(text));
    const std::u16string content = variant.Content(text);
    std::size_t expected = 0;
    std::u16string rewritten = WholeWordReference(content, word, u"ZZ", expected);
    CTextFinder finder;
    finder.stop_event = &stop_;
    ASSERT_EQ(ContentPass(finder, word, nullptr, path, false, true, true, 0, true), expected > 0);
    MatchList list;
    replacer_.stop_event = &stop_;
    replacer_.replace_text = u"ZZ";
    replacer_.backup = false;
    ASSERT_EQ(ContentPass(replacer_, word, &list, path, false, true, true, 0, true), expected > 0)
        << engine_test::U8(text.substr(0, 40));
    ASSERT_EQ(list.size(), expected);
    if (expected > 0) {
      ASSERT_EQ(tree_.Read(u"w.txt"), (variant.mark ? engine_test::Mark(variant.written) : "") +
                                          engine_test::EncodeAs(variant.read, rewritten));
    }
  };
  std::u16string lines;
  for (int i = 0; i < 113; ++i) lines += u"line one\n";
  for (const Variant& variant : engine_test::Variants()) {
    for (bool crlf : {true, false}) {
      SCOPED_TRACE(std::string(variant.name) + (crlf ? ", CR LF" : ", LF"));
      run(variant, engine_test::WithLineEnds(lines + u"xxxx abcd more\n", crlf), u"ab");
      for (std::u16string_view snippet : {u"ab", u"abab ab", u" ab\nab", u"xab ab"}) {
        engine_test::ForEachLayout(variant, crlf, engine_test::WithLineEnds(snippet, crlf),
                                   [&](std::size_t k, const std::u16string& text) {
                                     SCOPED_TRACE("prefix " + std::to_string(k));
                                     run(variant, text, u"ab");
                                   });
      }
    }
  }
  replacer_.ops = &IFileOperations::Real();
}

}  // namespace
