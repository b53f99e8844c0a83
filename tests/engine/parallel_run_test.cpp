// Runs with several content workers against one: the same records in the
// same order and batches, the same questions and the same files after a
// replace run; and a stop during a parallel replace run leaves every file
// whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "engine/finder.h"
#include "platform/fs.h"
#include "recording_listener.h"
#include "test_tree.h"

namespace {

using engine_test::RecordingListener;
using Strings = std::vector<std::string>;

// Files for every outcome of a content test, in a few folders: found in
// several encodings and sizes (one past the reader's chunk), not found, a
// NUL, the skip list, a document, read-only files.
void Fill(testing_support::TempTree& tree) {
  const std::string big = std::string(70000, '-') + "\nbeta\n" + std::string(70000, '-');
  for (int f = 0; f < 3; ++f) {
    std::string folder = f == 0 ? "" : "d" + std::to_string(f) + "/";
    for (int i = 0; i < 24; ++i) {
      std::u16string name = platform::FromUtf8(folder + "f" + std::to_string(i));
      switch (i % 8) {
        case 0: tree.Write(name + u".txt", "alpha beta\r\nBeta gamma betamax\n"); break;
        case 1: tree.Write(name + u".txt", "nothing to see\n"); break;
        case 2: tree.Write(name + u".txt", std::string("beta\nx\0beta", 11)); break;
        case 3: tree.Write(name + u".exe", "beta"); break;
        case 4: tree.Write(name + u".txt", big); break;
        case 5:
          tree.Write(name + u".txt", std::string("\xFF\xFE"
                                                 "b\0e\0t\0a\0",
                                                 10));
          break;
        case 6: tree.Write(name + u".doc", "beta"); break;
        case 7:
          (void)platform::SetFileAttributes(tree.Write(name + u".txt", "beta, beta"),
                                            platform::attr::read_only);
          break;
      }
    }
  }
}

// Every file under the root and its bytes.
std::map<std::string, std::string> Snapshot(const testing_support::TempTree& tree) {
  std::map<std::string, std::string> files;
  namespace fs = std::filesystem;
  const fs::path root(tree.root());
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file())
      files[fs::relative(e.path(), root).generic_string()] =
          testing_support::ReadBytes(e.path().u16string());
  return files;
}

struct Outcome {
  Strings events, order, questions;
  std::map<std::string, std::string> files;
};

TEST(ParallelRunTest, AnyNumberOfWorkersGivesTheSameRecordsOrderAndFiles) {
  using A = ReadOnlyAnswer;
  struct Case {
    const char* name;
    bool replace;
    std::function<void(FileFindParamsIn&)> edit;
    std::vector<A> answers;
  } cases[] = {
      {"any case", false, nullptr, {}},
      {"case-sensitive", false, [](auto& p) { p.case_sensitive = true; }, {}},
      {"whole words", false, [](auto& p) { p.word_wrap = true; }, {}},
      {"regex", false, [](auto& p) { p.reg_exp = true, p.text = u"b[e]ta\\w*"; }, {}},
      {"replace, read-only asked",
       true,
       [](auto& p) { p.replace_text = u"BETA!"; },
       {A::kReplace, A::kSkip, A::kReplace, A::kReplaceAll}},
      {"replace, regex, backups",
       true,
       [](auto& p) {
         p.reg_exp = true, p.text = u"b(e)ta", p.replace_text = u"$1";
         p.backup = true, p.replace_read_only = ReadOnlyAction::kReplace;
       },
       {}},
      {"replace, read-only skipped",
       true,
       [](auto& p) { p.replace_text = u"b", p.replace_read_only = ReadOnlyAction::kSkip; },
       {}},
  };
  for (const auto& c : cases) {
    std::map<unsigned, Outcome> outcomes;
    for (unsigned workers : {1u, 2u, 8u}) {
      testing_support::TempTree tree;
      Fill(tree);
      FileFindParamsIn params;
      params.path = tree.root();
      params.file_name = u"*";
      params.include_subfolders = true;
      params.text = u"beta";
      params.replace = c.replace;
      if (c.edit) c.edit(params);
      RecordingListener listener(tree.root());
      listener.answers = c.answers;
      CFinder finder(&listener);
      engine_test::Workers() = workers;
      engine_test::RunToEnd(finder, params, c.replace);
      engine_test::Workers() = 0;
      outcomes[workers] = {listener.events, listener.order, listener.questions, Snapshot(tree)};
    }
    const Outcome& one = outcomes[1];
    EXPECT_FALSE(one.order.empty()) << c.name;
    for (unsigned workers : {2u, 8u}) {
      const Outcome& many = outcomes[workers];
      EXPECT_EQ(many.events, one.events) << c.name << ", " << workers << " workers";
      EXPECT_EQ(many.order, one.order) << c.name << ", " << workers << " workers";
      EXPECT_EQ(many.questions, one.questions) << c.name << ", " << workers << " workers";
      EXPECT_EQ(many.files, one.files) << c.name << ", " << workers << " workers";
    }
  }
}

// Rewrites under way, written and waiting for their flush, and not yet begun
// when the stop comes: each file ends whole, old or new, as its record says,
// and no temporary file is left.
TEST(ParallelRunTest, StopDuringAParallelReplaceRunLeavesEveryFileWhole) {
  std::string old_text, new_text;
  for (int i = 0; i < 3000; ++i) {
    old_text += "line " + std::to_string(i) + " old text\n";
    new_text += "line " + std::to_string(i) + " new words\n";
  }
  for (int stop_at : {2, 4}) {
    testing_support::TempTree tree;
    for (int f = 0; f < 5; ++f)
      for (int i = 0; i < 12; ++i)
        tree.Write(platform::FromUtf8("d" + std::to_string(f) + "/f" + std::to_string(i)),
                   old_text);
    const auto before = Snapshot(tree);
    RecordingListener listener(tree.root());
    CFinder finder(&listener);
    listener.on_enter = [&](std::size_t entered) {
      if (static_cast<int>(entered) == stop_at) finder.stop_event().Set();
    };
    FileFindParamsIn params;
    params.path = tree.root();
    params.file_name = u"*";
    params.include_subfolders = true;
    params.text = u"old text";
    params.replace = true;
    params.replace_text = u"new words";
    engine_test::Workers() = 8;
    engine_test::RunToEnd(finder, params, true);
    engine_test::Workers() = 0;
    EXPECT_EQ(listener.events.back(), "finished canceled");
    const auto after = Snapshot(tree);
    ASSERT_EQ(after.size(), before.size()) << "a temporary file was left";
    std::size_t rewritten = 0;
    for (const auto& [path, bytes] : after) {
      ASSERT_EQ(before.count(path), 1u) << path;
      bool reported = listener.results.count(path) && listener.results[path]->replaces > 0;
      EXPECT_EQ(bytes, reported ? new_text : old_text) << path;
      rewritten += reported;
    }
    EXPECT_LT(rewritten, after.size());
  }
}

}  // namespace
