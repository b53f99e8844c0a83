// Whole varnel-cli runs in-process: refused arguments, find and replace runs
// with match lists, the read-only question, settings from the data folder and
// cancellation.
#include "cli/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/cli_settings.h"
#include "cli/interrupt.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "recording_sink.h"
#include "storage/app_settings.h"
#include "test_tree.h"

namespace {

using testing_support::CRecordingSink;
using testing_support::TempTree;

// Answers from a script and records what was asked.
class CScriptedQuestion : public cli::IReadOnlyQuestion {
 public:
  explicit CScriptedQuestion(std::vector<ReadOnlyAnswer> answers = {}) : answers_(answers) {}
  ReadOnlyAnswer Ask(const std::u16string& path) override {
    asked.push_back(path);
    if (on_ask) on_ask();
    if (asked.size() > answers_.size()) return ReadOnlyAnswer::kSkip;
    return answers_[asked.size() - 1];
  }
  std::vector<std::u16string> asked;
  std::function<void()> on_ask;

 private:
  std::vector<ReadOnlyAnswer> answers_;
};

struct CliResult {
  int code = -1;
  std::string out, err;
};

CliResult RunCli(std::vector<std::string> args, cli::IReadOnlyQuestion* question = nullptr,
                 bool terminal = false) {
  CScriptedQuestion none;
  CRecordingSink sink;
  args.insert(args.begin(), "varnel-cli");
  CliResult run;
  run.code = cli::RunProgram(args, {sink, question ? *question : none, terminal});
  run.out = sink.out;
  run.err = sink.err;
  return run;
}

std::string U8(const std::u16string& s) { return platform::ToUtf8(s); }

std::string WithoutFlushes(std::string text) {
  for (std::size_t at; (at = text.find("<flush>")) != std::string::npos;) text.erase(at, 7);
  return text;
}

// Lines of a transcript, flush marks removed, sorted: the listing order of a
// folder is the file system's.
std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(WithoutFlushes(text));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(ProgramTest, RefusedArgumentsAndCriteriaExitWith2AndOneLine) {
  TempTree tree;
  const std::string root = U8(tree.root());
  const std::string missing = U8(tree.Path(u"gone"));
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"-p", missing}, "varnel-cli: Path \"" + missing + "\" does not exist\n<flush>"},
      {{"-p", root, "-t", "4g", "-x"}, "varnel-cli: Text must be in hex format\n<flush>"},
      {{"-p", root, "--size-min", "2K", "--size-max", "1K"},
       "varnel-cli: Incorrect size interval\n<flush>"},
      {{"-p", root, "--date", "modified", "--from", "2024-01-02", "--to", "2024-01-01"},
       "varnel-cli: Incorrect date interval\n<flush>"},
      {{"-p", root, "--frobnicate"},
       "varnel-cli: The following argument was not expected: --frobnicate (see --help)\n<flush>"},
  };
  for (const auto& c : cases) {
    CliResult run = RunCli(c.args);
    EXPECT_EQ(run.code, 2) << c.err;
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
  }
  CliResult help = RunCli({"-h"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("--max-matches"), std::string::npos);
}

TEST(ProgramTest, FindRunWithMatchListsFromSingleFileRuns) {
  TempTree tree;
  // Only CR LF ends a line for the engine's line numbers.
  tree.Write(u"a/one.txt", "alpha\r\nneedle here\r\nbeta needle\r\nneedle\r\n");
  tree.Write(u"b/two.txt", "nothing\n");
  tree.Write(u"b/three.bin", std::string("needle\0", 7));
  const std::string sep = U8(std::u16string(1, platform::kPathSeparator));
  const std::string one = U8(tree.Path(u"a/one.txt"));

  CliResult run = RunCli({"-p", U8(tree.root()), "-s", "-t", "NEEDLE", "-m", "--max-matches", "2"});
  EXPECT_EQ(run.code, 0) << run.err;
  // The context texts are the engine's; here only their place and number count.
  const std::string out = WithoutFlushes(run.out);
  ASSERT_EQ(out.rfind(one + "\n  2: ", 0), 0u) << out;
  EXPECT_NE(out.find(" ...\n  3: "), std::string::npos) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3) << "--max-matches 2";
  EXPECT_EQ(out.substr(out.size() - 5), " ...\n");
  EXPECT_EQ(SortedLines(run.err),
            (std::vector<std::string>{
                "1 files found, 1 skipped, 0 errors",
                "skipped: " + U8(tree.Path(u"b/three.bin")) + ": File contains a NULL character"}));

  CliResult json = RunCli({"-p", U8(tree.root()), "-s", "-t", "needle", "-c", "-m", "--json"});
  EXPECT_EQ(json.code, 0);
  EXPECT_NE(json.out.find("\"file_name\": \"one.txt\""), std::string::npos);
  EXPECT_NE(json.out.find("{\"line\": 4, \"position\": 33, \"text\": "), std::string::npos)
      << json.out;
  EXPECT_EQ(json.err.find("skipped"), std::string::npos) << "JSON mode keeps stderr quiet";

  CliResult none = RunCli({"-p", U8(tree.root()), "-s", "-t", "absent"});
  EXPECT_EQ(none.code, 1);
  EXPECT_EQ(WithoutFlushes(none.out), "");
}

// A regular expression once was lower-cased as text for a search that
// ignores case, which turned \D into \d, \Q into a literal and so on. In a
// file without letters, ignoring case can change nothing: each pattern must
// find the same spans both ways.
TEST(ProgramTest, RegexFindsTheSameSpansWithAndWithoutCaseInTextWithoutLetters) {
  TempTree tree;
  tree.Write(u"neutral.txt", "123 +-_ 45\r\n6.7@8 (9)\t0\r\n");
  const char* patterns[] = {
      "\\D+",
      "\\S+",
      "\\W+",
      "\\B\\d",
      "\\b\\d",
      "\\A\\d",
      "\\d\\Z",
      "\\s\\z",
      "(?g)\\G\\d",
      "\\Q(9)\\E",
      "\\Q+-",
      "\\E\\d",
      "\\L12",
      "\\U45",
      "(?P<n>\\d)\\d",
      "(?<N>\\d)\\k<N>?",
      "\\((?R)?\\d?\\)",
      "[[:digit:]]+",
      "[[:Digit:]]|@",
      "[^\\D\\s]{2}",
      "\\x{36}\\.",
      "(?i)\\D\\d",
      "\\G\\d",
  };
  const std::string root = U8(tree.root());
  for (const char* pattern : patterns) {
    CliResult with_case = RunCli({"-p", root, "-t", pattern, "-e", "-c", "-m", "--json"});
    CliResult without_case = RunCli({"-p", root, "-t", pattern, "-e", "-m", "--json"});
    EXPECT_EQ(with_case.code, 0) << pattern << " finds something";
    EXPECT_EQ(without_case.code, with_case.code) << pattern;
    EXPECT_EQ(without_case.out, with_case.out) << pattern;
  }
}

TEST(ProgramTest, SettingsComeFromTheDataFolderWhichStaysUntouched) {
  TempTree tree;
  tree.Write(u"files/zero.txt", std::string("key\0value", 9));
  tree.Write(u"files/tool.exe", "key");
  AppSettings settings;
  settings.treat_null_as_binary = false;
  settings.ignore_files = false;
  const std::string xml = SettingsXml(settings);
  tree.Write(u"data/settings.xml", xml);
  const std::string files = U8(tree.Path(u"files"));

  CliResult defaults =
      RunCli({"-p", files, "-t", "key", "--data-dir", U8(tree.Path(u"elsewhere"))});
  EXPECT_EQ(defaults.code, 1);
  EXPECT_EQ(
      SortedLines(defaults.err),
      (std::vector<std::string>{
          "0 files found, 2 skipped, 0 errors",
          "skipped: " + U8(tree.Path(u"files/tool.exe")) + ": File extension is in the skip list",
          "skipped: " + U8(tree.Path(u"files/zero.txt")) + ": File contains a NULL character"}));

  CliResult configured = RunCli({"-p", files, "-t", "key", "--data-dir", U8(tree.Path(u"data"))});
  EXPECT_EQ(configured.code, 0);
  EXPECT_EQ(SortedLines(configured.out),
            (std::vector<std::string>{U8(tree.Path(u"files/tool.exe")),
                                      U8(tree.Path(u"files/zero.txt"))}));
  EXPECT_EQ(tree.Read(u"data/settings.xml"), xml);
  EXPECT_FALSE(platform::PathExists(tree.Path(u"elsewhere")));
  EXPECT_FALSE(platform::PathExists(tree.Path(u"data/search_results")));
}

// Without a data folder the settings record kept its empty extension tables,
// which made every file "in the skip list".
TEST(ProgramTest, WithoutADataFolderTheBuiltInTablesApply) {
  cli::CliSettings settings = cli::LoadCliSettings(u"");
  EXPECT_EQ(settings.handlers.handler_table, DefaultHandlerTable());
  EXPECT_EQ(settings.handlers.skip_extensions, DefaultSkipExtensions());
  EXPECT_TRUE(settings.skip_null_files);
}

class ReadOnlyRunTest : public ::testing::Test {
 protected:
  // One file per folder, so that the order of questions is the walk's.
  void Reset() {
    for (const char16_t* name : {u"1/a.txt", u"1/2/b.txt", u"1/2/3/c.txt"}) {
      (void)platform::SetFileAttributes(tree_.Path(name), 0);
      tree_.Write(name, "old text");
      ASSERT_TRUE(platform::SetFileAttributes(tree_.Path(name), platform::attr::read_only));
    }
  }
  void SetUp() override { Reset(); }
  std::vector<std::string> Replace(std::vector<std::string> extra, CScriptedQuestion& question,
                                   bool terminal, int& code) {
    std::vector<std::string> args = {"-p", U8(tree_.root()), "-s", "-t", "old", "-r", "new"};
    args.insert(args.end(), extra.begin(), extra.end());
    code = RunCli(args, &question, terminal).code;
    return {tree_.Read(u"1/a.txt"), tree_.Read(u"1/2/b.txt"), tree_.Read(u"1/2/3/c.txt")};
  }
  TempTree tree_;
};

TEST_F(ReadOnlyRunTest, AnswersDecideThisFileAndTheRestOfTheRun) {
  struct Case {
    std::vector<ReadOnlyAnswer> answers;
    std::size_t asked;
    std::vector<std::string> contents;
  } cases[] = {
      {{ReadOnlyAnswer::kReplace, ReadOnlyAnswer::kSkip, ReadOnlyAnswer::kReplace},
       3,
       {"new text", "old text", "new text"}},
      {{ReadOnlyAnswer::kSkip, ReadOnlyAnswer::kReplaceAll},
       2,
       {"old text", "new text", "new text"}},
      {{ReadOnlyAnswer::kReplace, ReadOnlyAnswer::kSkipAll},
       2,
       {"new text", "old text", "old text"}},
  };
  for (const auto& c : cases) {
    Reset();
    CScriptedQuestion question(c.answers);
    int code = -1;
    EXPECT_EQ(Replace({}, question, true, code), c.contents);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(question.asked.size(), c.asked);
    EXPECT_EQ(question.asked[0], tree_.Path(u"1/a.txt"));
    EXPECT_EQ(question.asked[1], tree_.Path(u"1/2/b.txt"));
    std::uint32_t attributes = 0;
    ASSERT_TRUE(platform::GetFileAttributes(tree_.Path(u"1/a.txt"), attributes));
    EXPECT_TRUE(attributes & platform::attr::read_only) << "a rewritten file stays read-only";
  }
}

TEST_F(ReadOnlyRunTest, WithoutATerminalAskMeansSkip) {
  CScriptedQuestion question({ReadOnlyAnswer::kReplaceAll});
  int code = -1;
  EXPECT_EQ(Replace({}, question, false, code),
            (std::vector<std::string>{"old text", "old text", "old text"}));
  EXPECT_TRUE(question.asked.empty());
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Replace({"--read-only-files", "replace"}, question, false, code),
            (std::vector<std::string>{"new text", "new text", "new text"}));
  EXPECT_EQ(code, 0);
}

// A Ctrl-C that ends the question of a short run used to be lost: the walk
// ended before the watcher saw it, and the run exited with 1.
TEST_F(ReadOnlyRunTest, CtrlCDuringTheQuestionEndsTheRunWith130) {
  CScriptedQuestion question({ReadOnlyAnswer::kSkipAll});
  question.on_ask = [] { cli::SignalInterrupt(); };
  int code = -1;
  EXPECT_EQ(Replace({}, question, true, code),
            (std::vector<std::string>{"old text", "old text", "old text"}));
  EXPECT_EQ(code, 130);
}

TEST(ProgramTest, ReplaceRunPrintsTheRewritesOwnMatchList) {
  TempTree tree;
  tree.Write(u"f.txt", "cat and cat\n");
  CliResult run =
      RunCli({"-p", U8(tree.root()), "-t", "cat", "-r", "lion", "--backup", "-m", "--json"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(tree.Read(u"f.txt"), "lion and lion\n");
  EXPECT_NE(run.out.find("\"replaces\": 2"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"position\": 9"), std::string::npos) << "offset in the rewritten text";
  EXPECT_NE(run.out.find("\"replace_failed\": 0, \"canceled\": false"), std::string::npos);
}

TEST(CliRunTest, CancelEndsTheRunAsCanceledWith130) {
  TempTree tree;
  for (int i = 0; i < 20; ++i) {
    std::u16string name = u"d" + platform::FromUtf8(std::to_string(i)) + u"/f.txt";
    tree.Write(name, "old");
    ASSERT_TRUE(platform::SetFileAttributes(tree.Path(name), platform::attr::read_only));
  }
  cli::CliOptions options;
  options.path = U8(tree.root());
  options.subfolders = true;
  options.text = "old";
  options.replace = "new";
  cli::RunRequest request;
  std::u16string message;
  ASSERT_TRUE(cli::BuildRunParams(options, request.params, message));
  request.replace = true;

  CRecordingSink sink;
  CScriptedQuestion question({ReadOnlyAnswer::kReplaceAll});
  cli::CCliRun run(sink, question);
  // Ctrl-C while the first question is open: the run stops at the next entry.
  question.on_ask = [&run] { run.Cancel(); };
  cli::RunOutcome outcome = run.Run(request);
  EXPECT_TRUE(outcome.canceled);
  EXPECT_EQ(cli::ExitCode(outcome), 130);
  EXPECT_LE(outcome.counts.found, 1u);
  EXPECT_EQ(question.asked.size(), 1u);
  EXPECT_NE(sink.err.find(" (canceled)\n"), std::string::npos) << sink.err;
}

TEST(CliRunTest, CancelBeforeTheRunReportsNothing) {
  TempTree tree;
  tree.Write(u"f.txt", "x");
  cli::RunRequest request;
  request.params.path = tree.root();
  request.params.file_name = u"*.*";
  CRecordingSink sink;
  CScriptedQuestion question;
  cli::CCliRun run(sink, question);
  run.Cancel();
  cli::RunOutcome outcome = run.Run(request);
  EXPECT_TRUE(outcome.canceled);
  EXPECT_EQ(sink.out, "<flush>");
  EXPECT_EQ(sink.err, "0 files found, 0 skipped, 0 errors (canceled)\n<flush>");
}

}  // namespace

namespace {

// What a replace run leaves alone, and says why: its own swap name left by a
// killed run, links, files with several names; and the temporary name of a
// killed run beside its file, which is the user's now but worth a word.
TEST(ProgramTest, ReplaceRunSaysWhatItLeftAloneAndWhy) {
  TempTree tree;
  tree.Write(u"a.txt", "cat");
  tree.Write(u"a.txt.tmp", "cat");
  tree.Write(u"b.txt.vnold", "cat");
  std::string root = U8(tree.root());
  std::vector<std::string> expected = {
      "0 errors", "a.txt", "a.txt.tmp",
      "b.txt.vnold: Left behind by an interrupted replace run",
      "a.txt.tmp: may be left by an interrupted replace run"};
  std::error_code error;
  std::filesystem::create_symlink(std::filesystem::path(tree.Path(u"a.txt")),
                                  std::filesystem::path(tree.Path(u"link.txt")), error);
  if (!error) {
    tree.Write(u"hard.txt", "cat");
    std::filesystem::create_hard_link(std::filesystem::path(tree.Path(u"hard.txt")),
                                      std::filesystem::path(tree.Path(u"hard2.txt")), error);
    expected.push_back("link.txt: Symbolic link: replace runs do not rewrite links");
    expected.push_back("hard.txt: File has other names (hard links): replace runs do not rewrite it");
    expected.push_back("hard2.txt: File has other names (hard links): replace runs do not rewrite it");
  }
  CliResult run = RunCli({"-p", root, "-t", "cat", "-r", "dog"});
  std::string all = run.out + run.err;
  for (const auto& line : expected)
    EXPECT_NE(all.find(line), std::string::npos) << line << "\n" << all;
  EXPECT_EQ(tree.Read(u"a.txt"), "dog");
  EXPECT_EQ(tree.Read(u"a.txt.tmp"), "dog");
  EXPECT_EQ(tree.Read(u"b.txt.vnold"), "cat");
  if (!error) {
    EXPECT_EQ(tree.Read(u"hard.txt"), "cat");
  }

  // JSON lists the possible leftover in the summary.
  tree.Write(u"a.txt.tmp", "x");
  run = RunCli({"-p", root, "-t", "dog", "--json"});
  EXPECT_NE(run.out.find("\"possible_leftovers\": [" + cli::JsonString(tree.Path(u"a.txt.tmp")) + "]"),
            std::string::npos)
      << run.out;
}

}  // namespace
