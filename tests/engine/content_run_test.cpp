// The finder's content test, replace runs and single-file runs over
// temporary trees.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "engine/finder.h"
#include "platform/fs.h"
#include "recording_listener.h"
#include "test_tree.h"

namespace {

using engine_test::RecordingListener;
using engine_test::RunToEnd;
using Strings = std::vector<std::string>;

class ContentRunTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override { engine_test::Workers() = GetParam(); }
  void TearDown() override { engine_test::Workers() = 0; }
  FileFindParamsIn Params(std::u16string text, std::u16string mask = u"*") const {
    FileFindParamsIn params;
    params.path = tree_.root();
    params.file_name = std::move(mask);
    params.include_subfolders = true;
    params.text = std::move(text);
    return params;
  }
  // "path kind reason [replaces N]" per result, sorted by path.
  Strings Run(const FileFindParamsIn& params, bool replace, RecordingListener* use = nullptr) {
    RecordingListener own(tree_.root());
    RecordingListener& listener = use ? *use : own;
    CFinder finder(&listener);
    RunToEnd(finder, params, replace);
    EXPECT_EQ(listener.events.back(), "finished");
    Strings out;
    for (const auto& [path, r] : listener.results) {
      std::string line =
          path + " " + std::to_string(static_cast<int>(r->kind)) + " " + std::to_string(r->reason);
      if (replace) line += " replaces " + std::to_string(r->replaces);
      out.push_back(line);
    }
    return out;
  }
  bool IsReadOnly(std::u16string_view relative) const {
    std::uint32_t attributes = 0;
    return platform::GetFileAttributes(tree_.Path(relative), attributes) &&
           (attributes & platform::attr::read_only);
  }
  std::set<std::u16string> Names(std::u16string_view relative = u"") const {
    return engine_test::Names(tree_.Path(relative));
  }

  testing_support::TempTree tree_;
};

TEST_P(ContentRunTest, ContentTestFindsSkipsAndIgnores) {
  tree_.Write(u"a.txt", "hello world");
  tree_.Write(u"b.txt", "nothing here");
  tree_.Write(u"c.exe", "hello");
  tree_.Write(u"up.EXE", "hello");  // the skip list compares exactly
  tree_.Write(u"d.txt", std::string("hel\0lo hello", 12));
  tree_.Write(u"e.TXT", "HELLO");
  tree_.Write(u"sub/f", "say hello");
  struct Case {
    const char* name;
    std::function<void(FileFindParamsIn&)> edit;
    Strings results;  // "path kind reason"
  } cases[] = {
      {"any case",
       nullptr,
       {"a.txt 2 0", "c.exe 3 100", "d.txt 3 101", "e.TXT 2 0", "sub/f 2 0", "up.EXE 2 0"}},
      {"case-sensitive",
       [](auto& p) { p.case_sensitive = true; },
       {"a.txt 2 0", "c.exe 3 100", "d.txt 3 101", "sub/f 2 0", "up.EXE 2 0"}},
      {"NUL rule off",
       [](auto& p) { p.skip_null_files = false; },
       {"a.txt 2 0", "c.exe 3 100", "d.txt 2 0", "e.TXT 2 0", "sub/f 2 0", "up.EXE 2 0"}},
      // Hex digits are searched as the bytes they stand for, case-sensitively.
      {"hex",
       [](auto& p) {
         p.binary = true;
         p.text = u"68656c6c6f";
         p.hex_text = u"hello";
       },
       {"a.txt 2 0", "c.exe 3 100", "d.txt 3 101", "sub/f 2 0", "up.EXE 2 0"}},
      {"whole words",
       [](auto& p) {
         p.text = u"hell";
         p.word_wrap = true;
       },
       {"c.exe 3 100", "d.txt 3 101"}},
  };
  for (const auto& c : cases) {
    FileFindParamsIn params = Params(u"hello");
    if (c.edit) c.edit(params);
    EXPECT_EQ(Run(params, false), c.results) << c.name;
  }
}

TEST_P(ContentRunTest, DocumentsAreSearchedButNeverRewritten) {
  tree_.Write(u"r.doc", "hello");
  tree_.Write(u"a.txt", "hello");
  // A find run hands the document to its filter, of which this system has
  // none.
  EXPECT_EQ(Run(Params(u"hello"), false), (Strings{"a.txt 2 0", "r.doc 4 204"}));
  FileFindParamsIn params = Params(u"hello");
  params.replace = true;
  params.replace_text = u"bye";
  EXPECT_EQ(Run(params, true), (Strings{"a.txt 2 0 replaces 1", "r.doc 3 102 replaces 0"}));
  EXPECT_EQ(tree_.Read(u"r.doc"), "hello");
  EXPECT_EQ(tree_.Read(u"a.txt"), "bye");
}

TEST_P(ContentRunTest, ReplaceRunRewritesEveryFoundFileAndCountsReplacements) {
  for (int i = 0; i < 30; ++i) tree_.Write(platform::FromUtf8("f" + std::to_string(i)), "ab ab ab");
  tree_.Write(u"none", "nothing");
  tree_.Write(u"pl.txt", "ab");
  tree_.Write(u"sub/g.txt", "xab");
  const std::set<std::u16string> before = Names();
  for (bool backup : {false, true}) {
    FileFindParamsIn params = Params(u"ab");
    params.replace = true;
    params.backup = backup;
    // A replacement the ANSI code page cannot hold fails for that file only.
    params.replace_text = backup ? u"\u0142" : u"AB";
    RecordingListener listener(tree_.root());
    Strings results = Run(params, true, &listener);
    ASSERT_EQ(results.size(), 32u) << backup;
    for (const auto& [path, r] : listener.results) {
      if (path == "pl.txt" || path == "sub/g.txt") continue;
      EXPECT_EQ(r->kind, ResultKind::kFound) << path;
      EXPECT_EQ(r->replaces, backup ? -1 : 3) << path;
      EXPECT_EQ(r->matches.size(), backup ? 0u : 3u) << path;
    }
    if (!backup) {
      EXPECT_EQ(tree_.Read(u"f7"), "AB AB AB");
      EXPECT_EQ(tree_.Read(u"sub/g.txt"), "xAB");
      // No temporary file was reported, and none is left.
      EXPECT_EQ(Names(), before);
      EXPECT_EQ(listener.results["f0"]->matches[1].position, 3);
    } else {
      EXPECT_EQ(tree_.Read(u"f7"), "AB AB AB");  // untouched by the failed run
      EXPECT_EQ(Names(), before);
    }
  }
}

// A file reached twice in one run (a folder listed twice, or inside another
// listed folder) was rewritten twice. And a file with very many matches is
// rewritten whole while its record keeps only the first ones.
TEST_P(ContentRunTest, ReplaceRunRewritesEachFileOnceAndBoundsItsMatchList) {
  tree_.Write(u"a/x.txt", "x a x");
  tree_.Write(u"a/b/y.txt", "y a y");
  std::string many;
  for (std::uint32_t i = 0; i < kReplaceListLimit + 500; ++i) many += "a\n";
  tree_.Write(u"many.txt", many);
  FileFindParamsIn params = Params(u"a");
  params.path = tree_.Path(u"a") + u";" + tree_.Path(u"a/b") + u";" + tree_.Path(u"a") + u";" +
                tree_.root();
  params.replace = true;
  params.replace_text = u"aa";
  RecordingListener listener(tree_.root());
  Strings results = Run(params, true, &listener);
  EXPECT_EQ(results, (Strings{"a/b/y.txt 2 0 replaces 1", "a/x.txt 2 0 replaces 1",
                              "many.txt 2 0 replaces " + std::to_string(kReplaceListLimit + 500)}));
  EXPECT_EQ(tree_.Read(u"a/x.txt"), "x aa x");
  EXPECT_EQ(tree_.Read(u"a/b/y.txt"), "y aa y");
  std::string rewritten;
  for (std::uint32_t i = 0; i < kReplaceListLimit + 500; ++i) rewritten += "aa\n";
  EXPECT_EQ(tree_.Read(u"many.txt"), rewritten);
  EXPECT_EQ(listener.results["many.txt"]->matches.size(), kReplaceListLimit);
}

// A file with another name is left alone (the other name would keep the old
// text), unless that name is the backup a killed run linked to it.
TEST_P(ContentRunTest, HardLinkedFilesAreSkippedUnlessTheOtherNameIsTheirBackup) {
  tree_.Write(u"k.txt", "a");
  tree_.Write(u"m.txt", "a");
  std::error_code error;
  std::filesystem::create_hard_link(std::filesystem::path(tree_.Path(u"k.txt")),
                                    std::filesystem::path(tree_.Path(u"k.txt.bak")), error);
  if (!error)
    std::filesystem::create_hard_link(std::filesystem::path(tree_.Path(u"m.txt")),
                                      std::filesystem::path(tree_.Path(u"elsewhere")), error);
  if (error) GTEST_SKIP() << "no hard links here: " << error.message();
  FileFindParamsIn params = Params(u"a", u"*.txt");
  params.replace = params.backup = true;
  params.replace_text = u"b";
  EXPECT_EQ(Run(params, true), (Strings{"k.txt 2 0 replaces 1", "m.txt 3 104 replaces 0"}));
  EXPECT_EQ(tree_.Read(u"k.txt"), "b");
  EXPECT_EQ(tree_.Read(u"k.txt.bak"), "a");
  EXPECT_EQ(tree_.Read(u"m.txt"), "a");
}

TEST_P(ContentRunTest, HexReplaceRunWritesTheBytesTheDigitsStandFor) {
  tree_.Write(u"h.txt", "caf\xE9 CAF\xC9");
  FileFindParamsIn params = Params(u"e9");
  params.binary = true;
  params.hex_text = DecodeHexText(u"e9");
  params.replace = true;
  params.replace_text = u"6521";
  params.hex_replace_text = DecodeHexText(u"6521");
  EXPECT_EQ(Run(params, true), Strings{"h.txt 2 0 replaces 1"});
  EXPECT_EQ(tree_.Read(u"h.txt"), "cafe! CAF\xC9");
}

TEST_P(ContentRunTest, BackupsAreNeverResultsWhenTheBackupOptionIsOn) {
  tree_.Write(u"a.txt", "x");
  tree_.Write(u"a.txt.bak", "x");
  tree_.Write(u"b.BAK", "x");
  struct Case {
    bool replace_section, backup, replace_run;
    Strings found;
  } cases[] = {
      {false, false, false, {"a.txt", "a.txt.bak", "b.BAK"}},
      {true, false, false, {"a.txt", "a.txt.bak", "b.BAK"}},
      {true, true, false, {"a.txt"}},
      {true, true, true, {"a.txt"}},
  };
  for (const auto& c : cases) {
    FileFindParamsIn params = Params(u"x");
    params.replace = c.replace_section;
    params.backup = c.backup;
    params.replace_text = u"x";
    RecordingListener listener(tree_.root());
    (void)Run(params, c.replace_run, &listener);
    EXPECT_EQ(listener.Found(), c.found) << "case " << (&c - cases);
  }
  // The replace run kept a numbered backup beside the one already there, and
  // did not rewrite the old one.
  EXPECT_EQ(Names(), (std::set<std::u16string>{u"a.txt", u"a.txt.bak", u"a.txt(2).bak", u"b.BAK"}));
}

TEST_P(ContentRunTest, ReadOnlyFilesFollowTheAnswersToTheQuestion) {
  using A = ReadOnlyAnswer;
  struct Case {
    const char* name;
    ReadOnlyAction action;
    std::vector<A> answers;
    std::size_t questions;
    std::size_t replaced;
  } cases[] = {
      {"yes to all", ReadOnlyAction::kAsk, {A::kReplaceAll}, 1, 3},
      {"no to all", ReadOnlyAction::kAsk, {A::kSkipAll}, 1, 0},
      {"one by one", ReadOnlyAction::kAsk, {A::kReplace, A::kSkip, A::kReplace}, 3, 2},
      {"no, then yes to all", ReadOnlyAction::kAsk, {A::kSkip, A::kReplaceAll}, 2, 2},
      {"replace", ReadOnlyAction::kReplace, {}, 0, 3},
      {"skip", ReadOnlyAction::kSkip, {}, 0, 0},
  };
  for (const auto& c : cases) {
    for (const char* name : {"r1.txt", "r2.txt", "r3.txt"}) {
      std::u16string path = tree_.Path(platform::FromUtf8(name));
      (void)platform::SetFileAttributes(path, 0);
      tree_.Write(platform::FromUtf8(name), "x");
      ASSERT_TRUE(platform::SetFileAttributes(path, platform::attr::read_only));
    }
    tree_.Write(u"w.txt", "x");
    FileFindParamsIn params = Params(u"x");
    params.replace = true;
    params.replace_text = u"y";
    params.replace_read_only = c.action;
    RecordingListener listener(tree_.root());
    listener.answers = c.answers;
    (void)Run(params, true, &listener);
    EXPECT_EQ(listener.questions.size(), c.questions) << c.name;
    std::size_t replaced = 0;
    for (const char* name : {"r1.txt", "r2.txt", "r3.txt"}) {
      bool rewritten = tree_.Read(platform::FromUtf8(name)) == "y";
      replaced += rewritten;
      EXPECT_EQ(listener.results.count(name), rewritten ? 1u : 0u) << c.name << " " << name;
      EXPECT_TRUE(IsReadOnly(platform::FromUtf8(name))) << c.name << " " << name;
    }
    EXPECT_EQ(replaced, c.replaced) << c.name;
    EXPECT_EQ(tree_.Read(u"w.txt"), "y") << c.name;
  }
}

TEST_P(ContentRunTest, StopDuringARewriteDropsThatFileAndKeepsEarlierOnes) {
  tree_.Write(u"a.txt", "x");
  std::string big;
  for (int i = 0; i < 200; ++i) big += "x marks the spot\r\n";
  std::u16string big_path = tree_.Write(u"sub/big.txt", big);
  ASSERT_TRUE(platform::SetFileAttributes(big_path, platform::attr::read_only));
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  // The question comes after the content test and before the rewrite: a stop
  // requested there is seen by the rewrite's first piece.
  listener.on_question = [&] { finder.stop_event().Set(); };
  listener.answers = {ReadOnlyAnswer::kReplace};
  FileFindParamsIn params = Params(u"x");
  params.replace = true;
  params.replace_text = u"y";
  RunToEnd(finder, params, true);
  EXPECT_EQ(listener.questions, Strings{"sub/big.txt"});
  EXPECT_EQ(listener.events.back(), "finished canceled");
  EXPECT_EQ(listener.Found(), Strings{"a.txt"});
  EXPECT_EQ(tree_.Read(u"a.txt"), "y");
  EXPECT_EQ(tree_.Read(u"sub/big.txt"), big);
  EXPECT_EQ(Names(u"sub"), std::set<std::u16string>{u"big.txt"});
}

TEST_P(ContentRunTest, SingleFileRunHandsOverItsMatchList) {
  std::u16string path = tree_.Write(u"s.txt", "ab ab ab ab");
  struct Case {
    std::uint32_t max_matches;
    std::size_t entries;
  } cases[] = {{0, 4}, {2, 2}, {9, 4}};
  for (const auto& c : cases) {
    RecordingListener listener(tree_.root());
    CFinder finder(&listener);
    FileFindParamsIn params = Params(u"AB");
    params.path = path;
    params.single_file = true;
    params.max_matches = c.max_matches;
    RunToEnd(finder, params, false);
    EXPECT_FALSE(finder.running());
    EXPECT_EQ(listener.events, Strings{"matches s.txt"});
    ASSERT_NE(listener.matches, nullptr);
    EXPECT_EQ(listener.matches->size(), c.entries);
    EXPECT_FALSE(finder.params().converted_text);
    EXPECT_TRUE(finder.params().converted_little_endian);
  }
  // A file without a handler: nothing is reported, and the run is over.
  std::u16string exe = tree_.Write(u"s.exe", "ab");
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  FileFindParamsIn params = Params(u"ab");
  params.path = exe;
  params.single_file = true;
  RunToEnd(finder, params, false);
  EXPECT_FALSE(finder.running());
  EXPECT_TRUE(listener.events.empty());
}

// Every table runs with one content worker, two and eight: the same
// results, batches and files whatever the number.
INSTANTIATE_TEST_SUITE_P(Workers, ContentRunTest, ::testing::Values(1u, 2u, 8u));

}  // namespace
