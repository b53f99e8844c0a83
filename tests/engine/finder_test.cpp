// The finder's folder walk over temporary trees: order and batches, excluded
// folders, folder results, size, date and attribute conditions, stopping and
// starting again.
#include "engine/finder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "platform/fs.h"
#include "recording_listener.h"
#include "test_tree.h"

namespace {

using engine_test::RecordingListener;
using engine_test::RunToEnd;
using engine_test::U8;
using Strings = std::vector<std::string>;

class FinderTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override { engine_test::Workers() = GetParam(); }
  void TearDown() override { engine_test::Workers() = 0; }
  FileFindParamsIn Params(std::u16string mask = u"*.*", bool subfolders = true) const {
    FileFindParamsIn params;
    params.path = tree_.root();
    params.file_name = std::move(mask);
    params.include_subfolders = subfolders;
    return params;
  }
  // The results of one run, as sorted relative paths.
  Strings Found(const FileFindParamsIn& params) {
    RecordingListener listener(tree_.root());
    CFinder finder(&listener);
    RunToEnd(finder, params, false);
    EXPECT_EQ(listener.events.back(), "finished");
    return listener.Found();
  }

  testing_support::TempTree tree_;
};

// Each folder is entered while its parent's subtree is still open, and a
// subtree, once left, is never entered again.
bool IsDepthFirst(const Strings& entered) {
  Strings open;
  for (const auto& folder : entered) {
    auto is_parent = [&](const std::string& p) {
      return p == "." ? folder.find('/') == std::string::npos
                      : folder.starts_with(p + "/") &&
                            folder.find('/', p.size() + 1) == std::string::npos;
    };
    while (!open.empty() && !is_parent(open.back())) open.pop_back();
    if (open.empty() != (folder == ".")) return false;
    open.push_back(folder);
  }
  return true;
}

TEST_P(FinderTest, WalkIsDepthFirstWithOneBatchPerFolder) {
  for (const char* file : {"a.txt", "b/c.txt", "b/d/e.txt", "b/d/x.log", "b/d/i/j.txt", "f/g.txt",
                           "f/k/l.txt", "m.log"})
    tree_.Write(platform::FromUtf8(file), "x");
  tree_.Folder(u"f/h");
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  RunToEnd(finder, Params(u"*.txt"), false);

  EXPECT_EQ(std::set<std::string>(listener.entered.begin(), listener.entered.end()),
            (std::set<std::string>{".", "b", "b/d", "b/d/i", "f", "f/h", "f/k"}));
  EXPECT_EQ(listener.entered.size(), 7u);
  EXPECT_TRUE(IsDepthFirst(listener.entered)) << testing::PrintToString(listener.entered);
  // A folder's batch comes right after it was entered, before its subfolders.
  std::set<std::string> batches;
  for (std::size_t i = 0; i < listener.events.size(); ++i) {
    const std::string& e = listener.events[i];
    if (!e.starts_with("batch ")) continue;
    std::string folder = e.substr(6, e.find(':') - 6);
    EXPECT_EQ(listener.events[i - 1], "enter " + folder);
    EXPECT_TRUE(batches.insert(e).second);
  }
  EXPECT_EQ(batches,
            (std::set<std::string>{"batch .: a.txt", "batch b: c.txt", "batch b/d: e.txt",
                                   "batch b/d/i: j.txt", "batch f: g.txt", "batch f/k: l.txt"}));
  EXPECT_EQ(listener.events.back(), "finished");
  EXPECT_FALSE(finder.running());

  // Without subfolders only the folder itself.
  EXPECT_EQ(Found(Params(u"*.txt", false)), Strings{"a.txt"});
}

TEST_P(FinderTest, LinkedFoldersAreReportedButNeverEntered) {
  tree_.Write(u"real/f.txt", "x");
  std::error_code error;
  // A link to a folder elsewhere and one back to the root, which would make
  // the walk loop if links were followed.
  std::filesystem::create_directory_symlink(std::filesystem::path(tree_.Path(u"real")),
                                            std::filesystem::path(tree_.Path(u"link")), error);
  if (!error)
    std::filesystem::create_directory_symlink(std::filesystem::path(tree_.root()),
                                              std::filesystem::path(tree_.Path(u"real/up")), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  RunToEnd(finder, Params(u"*"), false);
  EXPECT_EQ(listener.entered, (Strings{".", "real"}));
  EXPECT_EQ(listener.Found(), (Strings{"link", "real", "real/f.txt", "real/up"}));
}

// A folder that takes long hands its results over in parts: the same
// records, in the same order, as one batch would hold.
TEST_P(FinderTest, ASlowFolderHandsItsResultsOverInParts) {
  for (const char* file : {"a.txt", "b.txt", "c.txt", "d/e.txt"}) tree_.Write(platform::FromUtf8(file), "x");
  RecordingListener whole(tree_.root()), parts(tree_.root());
  CFinder one(&whole), many(&parts);
  RunToEnd(one, Params(u"*.txt"), false);
  many.SetBatchInterval(std::chrono::milliseconds(0));
  many.Prepare(Params(u"*.txt"));
  many.Start(false);
  many.Wait();
  EXPECT_EQ(parts.Found(), whole.Found());
  auto count = [](const RecordingListener& l, const std::string& prefix) {
    return std::count_if(l.events.begin(), l.events.end(),
                         [&](const std::string& e) { return e.starts_with(prefix); });
  };
  EXPECT_EQ(count(whole, "batch .:"), 1);
  EXPECT_EQ(count(parts, "batch .:"), 3);  // one record each
  EXPECT_EQ(parts.events.back(), "finished");
}

TEST_P(FinderTest, ResultRecordsDescribeTheEntry) {
  tree_.Write(u"notes.v1.txt", "12345");
  tree_.Folder(u"dir.d");
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  RunToEnd(finder, Params(u"*", false), false);
  ASSERT_EQ(listener.Found(), (Strings{"dir.d", "notes.v1.txt"}));
  const FileResult& file = *listener.results["notes.v1.txt"];
  EXPECT_EQ(file.size, 5u);
  EXPECT_EQ(file.type, u"txt");
  EXPECT_FALSE(file.is_folder);
  EXPECT_EQ(file.kind, ResultKind::kFound);
  EXPECT_EQ(file.reason, 0);
  EXPECT_GT(file.date_modified, 0u);
  const FileResult& folder = *listener.results["dir.d"];
  EXPECT_EQ(folder.size, kFolderSize);
  EXPECT_EQ(folder.type, u"d");
  EXPECT_TRUE(folder.is_folder);
}

TEST_P(FinderTest, ExcludedFoldersAreSkippedWhereverTheirNameOccurs) {
  // The excluded word must not occur in the temporary root's own path, which
  // is why it is not "tmp".
  for (const char* file : {"SkipMe/x.txt", "a/skipme2/y.txt", "a/b/SKIPME/z.txt",
                           "a/b/SKIPME/q/r.txt", "ok/w.txt", "a/k.txt", "a/b/n.txt"})
    tree_.Write(platform::FromUtf8(file), "x");
  const std::u16string root = tree_.root();
  struct Case {
    std::u16string path;
    Strings found;
  } cases[] = {
      {root + u";-skipme", {"a/b/n.txt", "a/k.txt", "ok/w.txt"}},
      {root + u";-SKIPME" + platform::kPathSeparator, {"a/b/n.txt", "a/k.txt", "ok/w.txt"}},
      // A folder and, excluded, one of its subfolders.
      {root + u";-" + tree_.Path(u"a/b"),
       {"SkipMe/x.txt", "a/k.txt", "a/skipme2/y.txt", "ok/w.txt"}},
      // Several folders in turn.
      {tree_.Path(u"ok") + u";" + tree_.Path(u"a/b"),
       {"a/b/SKIPME/q/r.txt", "a/b/SKIPME/z.txt", "a/b/n.txt", "ok/w.txt"}},
  };
  for (const auto& c : cases) {
    FileFindParamsIn params = Params(u"*.txt");
    params.path = c.path;
    EXPECT_EQ(Found(params), c.found) << "case " << (&c - cases);
  }
}

// Each folder is walked once however the list names it, an empty list never
// becomes the root of the drive, and a root that is missing or is a file says
// so in an error record.
TEST_P(FinderTest, RootsAreWalkedOnceAndBadRootsAreReported) {
  tree_.Write(u"a/x.txt", "x");
  tree_.Write(u"a/sub/y.txt", "y");
  tree_.Write(u"f.txt", "f");
  const std::u16string a = tree_.Path(u"a"), sub = tree_.Path(u"a/sub"), sep(1, platform::kPathSeparator);
  struct Case {
    std::u16string path;
    Strings events;
  } cases[] = {
      {a + u";" + a, {"enter a", "batch a: sub x.txt", "enter a/sub", "batch a/sub: y.txt", "finished"}},
      {a + sep + u";" + a, {"enter a/", "batch a/: sub x.txt", "enter a/sub", "batch a/sub: y.txt", "finished"}},
      {sub + u";" + a, {"enter a/sub", "batch a/sub: y.txt", "enter a", "batch a: sub x.txt", "finished"}},
      {u"", {"finished"}},
      {u";;", {"finished"}},
      {tree_.Path(u"f.txt"), {"batch .: f.txt", "finished"}},
      {tree_.Path(u"missing") + u";" + a + sep + u"sub",
       {"batch .: missing", "enter a/sub", "batch a/sub: y.txt", "finished"}},
  };
  for (const auto& c : cases) {
    RecordingListener listener(tree_.root());
    CFinder finder(&listener);
    FileFindParamsIn params = Params();
    params.path = c.path;
    RunToEnd(finder, params, false);
    EXPECT_EQ(listener.events, c.events) << U8(c.path);
  }
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  FileFindParamsIn params = Params();
  params.path = tree_.Path(u"f.txt") + u";" + tree_.Path(u"missing");
  RunToEnd(finder, params, false);
  ASSERT_EQ(listener.results.size(), 2u);
  EXPECT_EQ(ReasonText(listener.results["f.txt"]->kind, listener.results["f.txt"]->reason, 0), u"Not a folder");
  const FileResult& missing = *listener.results["missing"];
  EXPECT_EQ(missing.kind, ResultKind::kError);
  EXPECT_EQ(missing.reason, kReasonFolderList);
  EXPECT_NE(missing.error_code, 0u);
}

TEST_P(FinderTest, FoldersAreResultsOnlyInSearchesWithoutTextSizeOrDate) {
  tree_.Folder(u"dir1");
  tree_.Folder(u"dir2");
  tree_.Write(u"f.txt", "hello");
  struct Case {
    const char* name;
    std::function<void(FileFindParamsIn&)> edit;
    Strings found;
  } cases[] = {
      {"any", nullptr, {"dir1", "dir2", "f.txt"}},
      {"only folders", [](auto& p) { p.folder = AttributeCondition::kOnly; }, {"dir1", "dir2"}},
      {"no folders", [](auto& p) { p.folder = AttributeCondition::kNone; }, {"f.txt"}},
      {"size bound", [](auto& p) { p.size_max = 100; }, {"f.txt"}},
      {"text", [](auto& p) { p.text = u"hello"; }, {"f.txt"}},
      // The date bounds decide for folders even without a time type.
      {"date bound", [](auto& p) { p.time_min = 1; }, {"f.txt"}},
      {"only folders with text",
       [](auto& p) {
         p.folder = AttributeCondition::kOnly;
         p.text = u"hello";
       },
       {}},
  };
  for (const auto& c : cases) {
    FileFindParamsIn params = Params(u"*", false);
    if (c.edit) c.edit(params);
    EXPECT_EQ(Found(params), c.found) << c.name;
  }
}

TEST_P(FinderTest, SizeAndDateBoundsAreInclusive) {
  for (int size : {9, 10, 11, 20, 21})
    tree_.Write(platform::FromUtf8("s" + std::to_string(size)), std::string(size, 'x'));
  struct SizeCase {
    std::uint64_t min, max;
    Strings found;
  } size_cases[] = {
      {10, 20, {"s10", "s11", "s20"}},
      {11, 0, {"s11", "s20", "s21"}},
      {0, 10, {"s10", "s9"}},
      {0, 0, {"s10", "s11", "s20", "s21", "s9"}},
  };
  for (const auto& c : size_cases) {
    FileFindParamsIn params = Params(u"s*", false);
    params.size_min = c.min;
    params.size_max = c.max;
    EXPECT_EQ(Found(params), c.found) << c.min << ".." << c.max;
  }

  // Bounds equal to the file's own modification time.
  platform::FolderListing listing;
  platform::FolderEntry entry;
  platform::FileTime t = 0;
  ASSERT_TRUE(listing.Open(tree_.root()));
  while (listing.Next(entry))
    if (entry.name == u"s9" && listing.LoadDetails(entry)) t = entry.last_write_time;
  listing.Close();
  ASSERT_GT(t, 0u);
  struct DateCase {
    platform::FileTime min, max;
    bool found;
  } date_cases[] = {{t, t, true}, {t + 1, 0, false}, {0, t - 1, false}, {0, t, true}, {t, 0, true}};
  for (const auto& c : date_cases) {
    FileFindParamsIn params = Params(u"s9", false);
    params.time_type = TimeType::kModified;
    params.time_min = c.min;
    params.time_max = c.max;
    EXPECT_EQ(Found(params), c.found ? Strings{"s9"} : Strings{}) << (&c - date_cases);
  }
}

TEST_P(FinderTest, HiddenAndReadOnlyConditions) {
  tree_.Write(u"plain.txt", "x");
  ASSERT_TRUE(
      platform::SetFileAttributes(tree_.Write(u".hidden.txt", "x"), platform::attr::hidden));
  ASSERT_TRUE(platform::SetFileAttributes(tree_.Write(u"ro.txt", "x"), platform::attr::read_only));
  using AC = AttributeCondition;
  struct Case {
    AC hidden, read_only;
    Strings found;
  } cases[] = {
      {AC::kAny, AC::kAny, {".hidden.txt", "plain.txt", "ro.txt"}},
      {AC::kOnly, AC::kAny, {".hidden.txt"}},
      {AC::kNone, AC::kAny, {"plain.txt", "ro.txt"}},
      {AC::kAny, AC::kOnly, {"ro.txt"}},
      {AC::kAny, AC::kNone, {".hidden.txt", "plain.txt"}},
      {AC::kNone, AC::kNone, {"plain.txt"}},
  };
  for (const auto& c : cases) {
    FileFindParamsIn params = Params(u"*.txt", false);
    params.hidden = c.hidden;
    params.read_only = c.read_only;
    EXPECT_EQ(Found(params), c.found) << "case " << (&c - cases);
  }
}

TEST_P(FinderTest, StopEndsTheWalkAndTheFinderRunsAgain) {
  // 1 + 6 + 36 folders, each with a file.
  int folders = 1;
  tree_.Write(u"f.txt", "x");
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) {
      std::string sub = "d" + std::to_string(i) + "/e" + std::to_string(j);
      tree_.Write(platform::FromUtf8(sub + "/f.txt"), "x");
      ++folders;
    }
    tree_.Write(platform::FromUtf8("d" + std::to_string(i) + "/f.txt"), "x");
    ++folders;
  }
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  // The stop request arrives while the fifth folder is entered; the walk sees
  // it at that folder's first entry.
  listener.on_enter = [&](std::size_t entered) {
    if (entered == 5) finder.stop_event().Set();
  };
  RunToEnd(finder, Params(), false);
  EXPECT_EQ(listener.entered.size(), 5u);
  EXPECT_EQ(listener.events.back(), "finished canceled");
  EXPECT_FALSE(finder.running());
  // Stop after the end leaves the event signalled; the next Start clears it.
  finder.Stop();

  // The same finder, prepared and started again, walks the whole tree.
  listener.on_enter = nullptr;
  listener.events.clear();
  listener.entered.clear();
  RunToEnd(finder, Params(), false);
  EXPECT_EQ(listener.entered.size(), static_cast<std::size_t>(folders));
  EXPECT_EQ(listener.events.back(), "finished");
}

TEST_P(FinderTest, StartWhileRunningDoesNothing) {
  tree_.Write(u"a/f.txt", "x");
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  platform::Event gate;
  // The worker waits inside the listener while the test starts again.
  listener.on_enter = [&](std::size_t entered) {
    if (entered == 1) gate.Wait(platform::Event::kInfinite);
  };
  finder.Prepare(Params());
  finder.Start(false);
  EXPECT_TRUE(finder.running());
  finder.Start(false);
  gate.Set();
  finder.Wait();
  EXPECT_EQ(listener.events,
            (Strings{"enter .", "batch .: a", "enter a", "batch a: f.txt", "finished"}));
}

// Every table runs with one content worker, two and eight: the same
// results, batches and files whatever the number.
INSTANTIATE_TEST_SUITE_P(Workers, FinderTest, ::testing::Values(1u, 2u, 8u));

}  // namespace
