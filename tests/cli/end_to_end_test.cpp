// The real varnel-cli binary over a generated tree of thousands of files with
// excluded folders at several depths: output streams, formats and exit codes.
// The program is started through the system shell (sh natively, cmd under
// Wine) so that its streams can be redirected into files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>

#include "platform/fs.h"
#include "platform/text.h"
#include "test_tree.h"

namespace {

using testing_support::TempTree;

const std::string kNeedleText = "line one\nsome NeEdLe here\n";
constexpr bool kCmdShell = platform::kPathSeparator == u'\\';

std::string U8(const std::u16string& s) { return platform::ToUtf8(s); }

std::string CliPath() {
  std::u16string path = platform::ModuleFolder() + platform::kPathSeparator;
  for (char c : std::string(VARNEL_CLI_RELATIVE))
    path.push_back(c == '/' ? platform::kPathSeparator : c);
  return U8(path);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

struct Outcome {
  int code = -1;
  std::string out, err;
};

class EndToEndTest : public ::testing::Test {
 protected:
  // Runs varnel-cli with standard input from an empty file (never a terminal).
  Outcome Cli(const std::vector<std::string>& args) {
    auto quote = [](const std::string& s) { return "\"" + s + "\""; };
    std::string command = quote(CliPath());
    for (const auto& a : args) command += " " + quote(a);
    std::u16string in = io_.Write(u"stdin.txt", "");
    std::u16string out = io_.Path(u"stdout.txt");
    std::u16string err = io_.Path(u"stderr.txt");
    command += " <" + quote(U8(in)) + " >" + quote(U8(out)) + " 2>" + quote(U8(err));
    // cmd /c drops the first and the last quote of a line that starts with one.
    if (kCmdShell) command = "\"" + command + "\"";
    int status = std::system(command.c_str());
    Outcome o;
    // POSIX returns a wait status with the exit code in its second byte.
    o.code = kCmdShell ? status : (status >> 8) & 0xFF;
    o.out = testing_support::ReadBytes(out);
    o.err = testing_support::ReadBytes(err);
    return o;
  }
  TempTree io_;
};

// dir0..dir7 / sub0..sub7 with 50 files each, plus files beside the subfolders
// and excluded folders ("obsolete" in any case) at three depths.
class GeneratedTreeTest : public EndToEndTest {
 protected:
  struct File {
    std::u16string relative;
    bool txt_mask;  // matches "*.txt;-*_old.txt"
    bool excluded;  // under an excluded folder
    bool needle;    // content holds the text searched for
  };

  // Built once for the suite: writing 3000 files costs seconds under Wine.
  static void SetUpTestSuite() {
    tree_ = new TempTree;
    files_ = new std::vector<File>;
    int serial = 0;
    auto add = [&](std::u16string folder, const std::string& name, bool excluded) {
      ++serial;
      bool needle = serial % 9 == 0;
      bool txt = name.size() > 4 && name.substr(name.size() - 4) == ".txt" &&
                 name.find("_old.txt") == std::string::npos;
      std::u16string relative = folder + u"/" + platform::FromUtf8(name);
      tree_->Write(relative, needle ? kNeedleText : "line one\nnothing\n");
      files_->push_back({relative, txt, excluded, needle});
    };
    for (int i = 0; i < 8; ++i) {
      std::u16string dir = u"dir" + platform::FromUtf8(std::to_string(i));
      for (int k = 0; k < 5; ++k) add(dir, "top" + std::to_string(k) + ".txt", false);
      for (int j = 0; j < 8; ++j) {
        std::u16string sub = dir + u"/sub" + platform::FromUtf8(std::to_string(j));
        for (int k = 0; k < 50; ++k) {
          std::string name = "f" + std::to_string(k) +
                             (k % 5 == 0   ? ".log"
                              : k % 7 == 0 ? "_old.txt"
                                           : ".txt");
          add(sub, name, j == 3);  // -sub3 excludes every sub3
        }
      }
      add(dir + u"/Obsolete", "gone.txt", true);
      add(dir + u"/sub1/deep/OBSOLETE/deeper", "gone.txt", true);
      add(dir + u"/sub2/obsolete_too", "gone.txt", true);  // contains the word
    }
    add(u"dir0/sub0", "\u00fcn\u00ef.txt", false);
    ASSERT_GT(files_->size(), 3000u);
    // One file that the content test skips for its NUL character ("nul.txt"
    // would name the NUL device on Windows).
    tree_->Write(u"dir5/sub5/zero.txt", std::string("some needle\0", 12));
  }
  static void TearDownTestSuite() {
    delete tree_;
    delete files_;
  }

  std::string PathList() const { return U8(tree_->root()) + ";-obsolete;-sub3"; }
  std::string Full(const std::u16string& relative) const { return U8(tree_->Path(relative)); }

  std::vector<std::string> Expected(bool with_text) const {
    std::vector<std::string> out;
    for (const auto& f : *files_)
      if (f.txt_mask && !f.excluded && (!with_text || f.needle)) out.push_back(Full(f.relative));
    return Sorted(out);
  }

  static TempTree* tree_;
  static std::vector<File>* files_;
};

TempTree* GeneratedTreeTest::tree_ = nullptr;
std::vector<GeneratedTreeTest::File>* GeneratedTreeTest::files_ = nullptr;

TEST_F(GeneratedTreeTest, NameSearchListsEveryIncludedFileOnce) {
  Outcome o = Cli({"-p", PathList(), "-s", "-n", "*.txt;-*_old.txt"});
  std::vector<std::string> expected = Expected(false);
  expected.push_back(Full(u"dir5/sub5/zero.txt"));
  expected = Sorted(expected);
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(Sorted(Lines(o.out)), expected);
  EXPECT_EQ(Lines(o.err), std::vector<std::string>{std::to_string(expected.size()) +
                                                   " files found, 0 skipped, 0 errors"});
  EXPECT_NE(o.out.find("\xc3\xbcn\xc3\xaf.txt\n"), std::string::npos) << "names are UTF-8";
}

TEST_F(GeneratedTreeTest, ContentSearchInTextAndJson) {
  const std::vector<std::string> expected = Expected(true);
  const std::string skipped =
      "skipped: " + Full(u"dir5/sub5/zero.txt") + ": File contains a NULL character";
  Outcome text = Cli({"-p", PathList(), "-s", "-n", "*.txt;-*_old.txt", "-t", "needle"});
  EXPECT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(Sorted(Lines(text.out)), expected);
  EXPECT_EQ(Lines(text.err),
            (std::vector<std::string>{
                skipped, std::to_string(expected.size()) + " files found, 1 skipped, 0 errors"}));

  Outcome json = Cli({"-p", PathList(), "-s", "-n", "*.txt;-*_old.txt", "-t", "needle", "--json"});
  EXPECT_EQ(json.code, 0);
  EXPECT_EQ(json.err, "");
  std::vector<std::string> lines = Lines(json.out);
  ASSERT_EQ(lines.size(), expected.size() + 2);
  EXPECT_EQ(lines.back(), "{\"summary\": {\"found\": " + std::to_string(expected.size()) +
                              ", \"skipped\": 1, \"errors\": 0, \"canceled\": false}}");
  std::size_t found = std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.rfind("{\"kind\": \"found\", \"folder\": \"", 0) == 0 &&
           l.find("\"size\": " + std::to_string(kNeedleText.size()) +
                  ", \"is_folder\": false, \"type\": \"txt\"") != std::string::npos;
  });
  EXPECT_EQ(found, expected.size());
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) {
                            return l.find("\"kind\": \"skipped\"") != std::string::npos &&
                                   l.find(
                                       "\"reason\": 101, \"reason_text\": \"File contains a "
                                       "NULL character\"") != std::string::npos;
                          }),
            1);
}

TEST_F(GeneratedTreeTest, NothingFoundExitsWith1) {
  Outcome o = Cli({"-p", PathList(), "-s", "-n", "*.log", "-t", "absent word"});
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "0 files found, 0 skipped, 0 errors\n");
}

TEST_F(EndToEndTest, RefusedArgumentsExitWith2) {
  const std::string missing = U8(io_.Path(u"missing"));
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"-p", missing}, "varnel-cli: Path \"" + missing + "\" does not exist\n"},
      {{"-p", U8(io_.root()), "--wrong"},
       "varnel-cli: The following argument was not expected: --wrong (see --help)\n"},
  };
  for (const auto& c : cases) {
    Outcome o = Cli(c.args);
    EXPECT_EQ(o.code, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, c.err);
  }
  Outcome version = Cli({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out.rfind("varnel-cli ", 0), 0u);
}

TEST_F(EndToEndTest, ReplaceRunWithoutATerminalSkipsReadOnlyFiles) {
  TempTree tree;
  tree.Write(u"a/plain.txt", "one needle, two needle\n");
  tree.Write(u"b/locked.txt", "a needle\n");
  ASSERT_TRUE(platform::SetFileAttributes(tree.Path(u"b/locked.txt"), platform::attr::read_only));
  Outcome o = Cli({"-p", U8(tree.root()), "-s", "-t", "needle", "-r", "pin", "-m"});
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(tree.Read(u"a/plain.txt"), "one pin, two pin\n");
  EXPECT_EQ(tree.Read(u"b/locked.txt"), "a needle\n");
  std::vector<std::string> lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 3u) << o.out;
  EXPECT_EQ(lines[0], U8(tree.Path(u"a/plain.txt")));
  EXPECT_EQ(lines[1].rfind("  1: ", 0), 0u);
  EXPECT_EQ(lines[2].rfind("  1: ", 0), 0u);
  EXPECT_EQ(o.err, "1 files found, 0 skipped, 0 errors\n");
}

}  // namespace
