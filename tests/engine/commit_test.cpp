// Fault injection into the rewrite of a file: a fake file-operations layer
// records every call and makes one of them fail, or lets another program
// change the files just before a step; whatever happens, the file's name holds
// exactly its old or its new content, the pass says which and why, and no name
// is left behind but the backup asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <set>

#include "engine/file_result.h"
#include "engine/text_replacer.h"
#include "engine_test_support.h"
#include "platform/fs.h"
#include "test_tree.h"

namespace {

using engine_test::Names;
using engine_test::U8;
using testing_support::TempTree;

// Real operations, recorded as text with paths relative to the tree. Call
// number `fail_at` among those that can fail, and the first call starting
// with each of `fail_on`, fail with `error` and do nothing. `before` runs
// before every call, with its text: another program acting at that moment.
class FaultyOps : public IFileOperations {
 public:
  explicit FaultyOps(std::u16string root) : root_(std::move(root)) {}

  int fail_at = -1;
  std::vector<std::string> fail_on;
  std::uint32_t error = platform::err::disk_full;
  std::function<void(const std::string&)> before;
  std::vector<std::string> log;
  int calls = 0;
  std::string failed_call;

  std::uint32_t CreateNew(const std::u16string& path, platform::File& file) override {
    return Step("CreateNew " + Rel(path), [&] { return IFileOperations::CreateNew(path, file); });
  }
  std::uint32_t Write(platform::File& file, const std::string& bytes) override {
    return Step("Write", [&] { return IFileOperations::Write(file, bytes); });
  }
  // Recorded, not performed: a flush to the disk per run would make the
  // sweep crawl, and what is on the disk afterwards does not depend on it.
  std::uint32_t Flush(platform::File&) override {
    return Step("Flush", [] { return std::uint32_t{0}; });
  }
  std::uint32_t SetMetadata(platform::File& file, const platform::FileMetadata& m) override {
    return Step("SetMetadata", [&] { return IFileOperations::SetMetadata(file, m); });
  }
  std::uint32_t IdentifyOpen(platform::File& file, platform::FileIdentity& identity) override {
    return Step("IdentifyOpen", [&] { return IFileOperations::IdentifyOpen(file, identity); });
  }
  std::uint32_t Identify(const std::u16string& path, platform::FileIdentity& identity) override {
    return Step("Identify " + Rel(path), [&] { return IFileOperations::Identify(path, identity); });
  }
  std::uint32_t MakeBackup(const std::u16string& target, const std::u16string& backup) override {
    return Step("MakeBackup " + Rel(target) + " as " + Rel(backup),
                [&] { return IFileOperations::MakeBackup(target, backup); });
  }
  std::uint32_t MoveOver(platform::File& file, const std::u16string& path,
                         const std::u16string& target) override {
    return Step("MoveOver " + Rel(path) + " to " + Rel(target),
                [&] { return IFileOperations::MoveOver(file, path, target); });
  }
  // A refused delete leaves the file; it is closed all the same.
  std::uint32_t Discard(platform::File& file, const std::u16string& path) override {
    std::uint32_t rc =
        Step("Discard " + Rel(path), [&] { return IFileOperations::Discard(file, path); });
    file.Close();
    return rc;
  }
  std::uint32_t GetAttributes(const std::u16string& path, std::uint32_t& attributes) override {
    std::uint32_t rc = Step("GetAttributes " + Rel(path),
                            [&] { return IFileOperations::GetAttributes(path, attributes); });
    if (rc == 0 && (attributes & platform::attr::read_only)) log.back() += " -> read-only";
    return rc;
  }
  std::uint32_t SetAttributes(const std::u16string& path, std::uint32_t attributes) override {
    bool read_only = attributes & platform::attr::read_only;
    return Step("SetAttributes " + Rel(path) + (read_only ? " read-only" : " writable"),
                [&] { return IFileOperations::SetAttributes(path, attributes); });
  }
  std::uint32_t Delete(const std::u16string& path) override {
    return Step("Delete " + Rel(path), [&] { return IFileOperations::Delete(path); });
  }
  // A query: recorded, never failed (a lie there is not a fault).
  bool IsFile(const std::u16string& path) override {
    bool yes = IFileOperations::IsFile(path);
    log.push_back("IsFile " + Rel(path) + (yes ? " -> yes" : " -> no"));
    return yes;
  }

 private:
  // Consecutive writes show as one "Write": how the text is cut into writes
  // is not what the transcript is about.
  template <typename Real>
  std::uint32_t Step(const std::string& call, Real real) {
    if (before) before(call);
    bool repeat = call == "Write" && !log.empty() && log.back() == "Write";
    if (!repeat) log.push_back(call);
    bool fail = calls++ == fail_at;
    for (auto& prefix : fail_on) {
      if (!fail && !prefix.empty() && call.starts_with(prefix)) {
        fail = true;
        prefix.clear();
      }
    }
    if (!fail) {
      std::uint32_t rc = real();
      if (rc != 0) log.back() += " -> " + std::to_string(rc);
      return rc;
    }
    if (repeat) log.push_back(call);
    if (failed_call.empty()) failed_call = call;
    log.back() += " -> FAIL";
    return error;
  }
  std::string Rel(const std::u16string& path) const {
    return U8(path.starts_with(root_) ? path.substr(root_.size() + 1) : path);
  }

  std::u16string root_;
};

struct Scenario {
  const char* name;
  bool read_only;
  bool backup;
};

constexpr Scenario kScenarios[] = {
    {"plain", false, false},
    {"backup", false, true},
    {"read-only", true, false},
    {"read-only with backup", true, true},
};

class CommitTest : public ::testing::Test {
 protected:
  // A file of several pieces, rewritten through `ops`.
  bool Run(const Scenario& s, FaultyOps& ops) {
    for (const auto& name : Names(tree_.root())) {
      (void)platform::SetFileAttributes(tree_.Path(name), 0);
      (void)platform::DeleteFile(tree_.Path(name));
    }
    std::u16string path = tree_.Write(u"f.txt", kOld);
    if (s.read_only) {
      EXPECT_TRUE(platform::SetFileAttributes(path, platform::attr::read_only));
    }
    replacer_.ops = &ops;
    replacer_.stop_event = &stop_;
    replacer_.backup = s.backup;
    replacer_.replace_text = u"new";
    MatchList list;
    return ContentPass(replacer_, u"old", &list, path, false, true, false, 0, true);
  }

  bool IsReadOnly(std::u16string_view name = u"f.txt") {
    std::uint32_t attributes = 0;
    return platform::GetFileAttributes(tree_.Path(name), attributes) &&
           (attributes & platform::attr::read_only);
  }

  static std::string Transcript(const FaultyOps& ops) {
    std::string out;
    for (const auto& line : ops.log) out += "\n  " + line;
    return out;
  }

  static inline const std::string kOld = [] {
    std::string s;
    for (int i = 0; i < 100; ++i) s += "an old line\r\n";
    return s;
  }();
  static inline const std::string kNew = [] {
    std::string s;
    for (int i = 0; i < 100; ++i) s += "an new line\r\n";
    return s;
  }();

  TempTree tree_;
  platform::Event stop_;
  CTextReplacer replacer_;
};

TEST_F(CommitTest, TranscriptOfAReadOnlyRewriteWithBackup) {
  FaultyOps ops(tree_.root());
  ASSERT_TRUE(Run(kScenarios[3], ops));
  EXPECT_EQ(ops.log, (std::vector<std::string>{
                         "CreateNew f.txt.tmp",
                         "Write",
                         "SetMetadata",
                         "Flush",
                         "IsFile f.txt.bak -> no",
                         "MakeBackup f.txt as f.txt.bak",
                         "Identify f.txt",
                         "Identify f.txt.tmp",
                         "IdentifyOpen",
                         "MoveOver f.txt.tmp to f.txt -> 5",
                         "GetAttributes f.txt -> read-only",
                         "SetAttributes f.txt writable",
                         "MoveOver f.txt.tmp to f.txt",
                         "SetAttributes f.txt read-only",
                         "SetAttributes f.txt.bak read-only",
                     }))
      << Transcript(ops);
  EXPECT_EQ(tree_.Read(u"f.txt"), kNew);
  EXPECT_EQ(tree_.Read(u"f.txt.bak"), kOld);
  EXPECT_TRUE(IsReadOnly());
  EXPECT_TRUE(IsReadOnly(u"f.txt.bak"));
  EXPECT_EQ(replacer_.failure.reason, 0);
}

// The reason a failing step gives the pass.
std::int32_t ReasonFor(const std::string& call) {
  static const std::map<std::string, std::int32_t> reasons = {
      {"CreateNew", kReasonReplaceTempCreate}, {"Write", kReasonReplaceWrite},
      {"SetMetadata", kReasonReplaceOwner},    {"Flush", kReasonReplaceWrite},
      {"MakeBackup", kReasonReplaceBackup},    {"Identify", kReasonReplaceChanged},
      {"IdentifyOpen", kReasonReplaceChanged}, {"MoveOver", kReasonReplaceSwap},
      {"GetAttributes", kReasonReplaceSwap},   {"SetAttributes", kReasonReplaceSwap},
  };
  auto it = reasons.find(call.substr(0, call.find(' ')));
  return it == reasons.end() ? -1 : it->second;
}

TEST_F(CommitTest, EveryFailingStepLeavesOldOrNewContentAndSaysWhy) {
  std::set<std::string> failed_kinds;
  for (const Scenario& s : kScenarios) {
    FaultyOps clean(tree_.root());
    ASSERT_TRUE(Run(s, clean)) << s.name;
    for (int step = 0; step < clean.calls; ++step) {
      FaultyOps ops(tree_.root());
      ops.fail_at = step;
      bool ok = Run(s, ops);
      failed_kinds.insert(ops.failed_call.substr(0, ops.failed_call.find(' ')));
      SCOPED_TRACE(std::string(s.name) + ", failing " + ops.failed_call + ":" + Transcript(ops));
      // Restoring the read-only attribute after the swap fails quietly: the
      // content is new, only the attribute is lost.
      bool after_swap =
          ops.failed_call.starts_with("SetAttributes") && ops.failed_call.ends_with("read-only");
      EXPECT_EQ(ok, after_swap);
      EXPECT_EQ(tree_.Read(u"f.txt"), ok ? kNew : kOld);
      std::set<std::u16string> expected = {u"f.txt"};
      if (ok && s.backup) expected.insert(u"f.txt.bak");
      EXPECT_EQ(Names(tree_.root()), expected);
      if (ok && s.backup) {
        EXPECT_EQ(tree_.Read(u"f.txt.bak"), kOld);
      }
      if (s.read_only && ops.failed_call != "SetAttributes f.txt read-only") {
        EXPECT_TRUE(IsReadOnly());
      }
      if (ok) continue;
      EXPECT_EQ(replacer_.failure.reason, ReasonFor(ops.failed_call));
      // In the read-only retry, a refused attribute step leaves the swap's
      // own answer: access denied.
      bool retry_step = ops.failed_call.starts_with("GetAttributes") ||
                        ops.failed_call.starts_with("SetAttributes");
      EXPECT_EQ(replacer_.failure.error,
                retry_step ? platform::err::access_denied : platform::err::disk_full);
    }
  }
  EXPECT_EQ(failed_kinds, (std::set<std::string>{"CreateNew", "Flush", "GetAttributes", "Identify",
                                                 "IdentifyOpen", "MakeBackup", "MoveOver",
                                                 "SetAttributes", "SetMetadata", "Write"}));
}

// Cleaning up after a failure can fail too: then the temporary file (or the
// backup) stays, and the target still holds its old content and attributes.
// A read-only backup is deleted on a second try, with the attribute cleared
// (and set again on the target, which shares it); here both tries fail.
TEST_F(CommitTest, RefusedCleanUpLeavesOnlyItsOwnName) {
  struct Case {
    std::vector<std::string> fail_on;
    std::set<std::u16string> left;
  } cases[] = {
      {{"MoveOver", "Discard"}, {u"f.txt", u"f.txt.tmp"}},
      {{"MoveOver", "Delete f.txt.bak", "Delete f.txt.bak"}, {u"f.txt", u"f.txt.bak"}},
      {{"Identify f.txt.tmp", "Delete f.txt.bak", "Delete f.txt.bak", "Discard"},
       {u"f.txt", u"f.txt.bak", u"f.txt.tmp"}},
  };
  for (const auto& c : cases) {
    for (const Scenario& s : {kScenarios[1], kScenarios[3]}) {
      FaultyOps ops(tree_.root());
      ops.fail_on = c.fail_on;
      SCOPED_TRACE(std::string(s.name) + ", failing " + c.fail_on[0]);
      EXPECT_FALSE(Run(s, ops)) << Transcript(ops);
      EXPECT_EQ(tree_.Read(u"f.txt"), kOld);
      EXPECT_EQ(Names(tree_.root()), c.left) << Transcript(ops);
      if (s.read_only) {
        EXPECT_TRUE(IsReadOnly()) << Transcript(ops);
      }
    }
  }
}

TEST_F(CommitTest, AccessDeniedOnAWritableFileIsAFailure) {
  FaultyOps ops(tree_.root());
  ops.fail_on = {"MoveOver"};
  ops.error = platform::err::access_denied;
  EXPECT_FALSE(Run(kScenarios[0], ops));
  EXPECT_EQ(tree_.Read(u"f.txt"), kOld);
  EXPECT_EQ(Names(tree_.root()), std::set<std::u16string>{u"f.txt"});
  EXPECT_EQ(replacer_.failure.reason, kReasonReplaceSwap);
  EXPECT_EQ(replacer_.failure.error, platform::err::access_denied);
  // It was not retried: a writable file denied access is not ours to force.
  EXPECT_EQ(std::count_if(ops.log.begin(), ops.log.end(),
                          [](const std::string& l) { return l.starts_with("MoveOver"); }),
            1);
}

// Another program changes the file or the temporary file between the read
// and the swap: its change stands, the rewrite is dropped, and nothing of
// anyone else's is removed.
TEST_F(CommitTest, ChangesMadeMeanwhileByAnotherProgramAreNeverOverwritten) {
  const std::string kEdited = "an editor saved this\r\n";
  const std::string kForeign = "another program's file";
  // The same file, grown: the same identity with another size.
  auto append = [&] {
    platform::File f;
    (void)platform::SetFileAttributes(tree_.Path(u"f.txt"), 0);
    ASSERT_TRUE(f.Open(tree_.Path(u"f.txt"), platform::File::Mode::kWriteCreate));
    ASSERT_TRUE(f.Write(kOld.data(), kOld.size()) && f.Write("more\r\n", 6));
  };
  // An editor's save: a new file renamed over the old one.
  auto save = [&] {
    std::u16string saved = tree_.Write(u"editor.swp", kEdited);
    (void)platform::SetFileAttributes(tree_.Path(u"f.txt"), 0);
    ASSERT_EQ(platform::ReplaceFile(tree_.Path(u"f.txt"), saved, u""), 0u);
  };
  // Another file moved over the temporary name. Windows refuses that while
  // the rewrite holds the file open; the rewrite then goes ahead.
  bool moved = false;
  auto take_temporary = [&] {
    std::u16string foreign = tree_.Write(u"foreign", kForeign);
    moved = platform::ReplaceFile(tree_.Path(u"f.txt.tmp"), foreign, u"") == 0;
    if (!moved) (void)platform::DeleteFile(foreign);
  };
  struct Case {
    const char* name;
    std::function<void()> act;
    const char* at;  // the call before which it acts
    const std::string* target_after;
    bool act_on_temporary;
  } cases[] = {
      {"append after the read", append, "SetMetadata", nullptr, false},
      {"append just before the check", append, "Identify f.txt", nullptr, false},
      {"an editor's save", save, "Flush", &kEdited, false},
      {"temporary file replaced", take_temporary, "Identify f.txt.tmp", &kOld, true},
  };
  for (const auto& c : cases) {
    for (const Scenario& s : kScenarios) {
      SCOPED_TRACE(std::string(c.name) + ", " + s.name);
      FaultyOps ops(tree_.root());
      std::string at = c.at;
      ops.before = [&](const std::string& call) {
        if (call != at) return;
        at.clear();
        c.act();
      };
      moved = true;
      bool ok = Run(s, ops);
      std::string expected = c.target_after ? *c.target_after : kOld + "more\r\n";
      if (!moved) {
        // The system kept the temporary name ours: nothing changed meanwhile.
        EXPECT_TRUE(ok) << Transcript(ops);
        continue;
      }
      EXPECT_FALSE(ok) << Transcript(ops);
      EXPECT_EQ(replacer_.failure.reason, kReasonReplaceChanged);
      EXPECT_EQ(tree_.Read(u"f.txt"), expected);
      std::set<std::u16string> names = Names(tree_.root());
      names.erase(u"editor.swp");
      if (c.act_on_temporary) {
        EXPECT_EQ(tree_.Read(u"f.txt.tmp"), kForeign) << "another program's file stays";
        names.erase(u"f.txt.tmp");
      }
      EXPECT_EQ(names, std::set<std::u16string>{u"f.txt"}) << Transcript(ops);
    }
  }
}

// A backup is made before the swap, as a second name of the old file: the
// target's name is never without content, and the backups are numbered.
TEST_F(CommitTest, BackupIsMadeBeforeTheSwapAndNumbered) {
  FaultyOps ops(tree_.root());
  std::string seen_at_swap;
  // Run() clears the tree first: the older backups are written after that.
  ops.before = [&, first = true](const std::string& call) mutable {
    if (first) {
      first = false;
      tree_.Write(u"f.txt.bak", "older");
      tree_.Write(u"f.txt(2).bak", "older still");
    }
    if (call.starts_with("MoveOver")) seen_at_swap = tree_.Read(u"f.txt(3).bak");
  };
  ASSERT_TRUE(Run(kScenarios[1], ops)) << Transcript(ops);
  EXPECT_EQ(seen_at_swap, kOld);
  EXPECT_EQ(tree_.Read(u"f.txt"), kNew);
  EXPECT_EQ(tree_.Read(u"f.txt.bak"), "older");
  EXPECT_EQ(tree_.Read(u"f.txt(2).bak"), "older still");
  EXPECT_EQ(tree_.Read(u"f.txt(3).bak"), kOld);
}

}  // namespace

namespace {

// One crew serves every group of a run: each task runs exactly once, in
// groups larger and smaller than the crew, one after another.
TEST(FlushCrewTest, EachTaskRunsOnceInEveryRound) {
  CFlushCrew crew(4);
  for (std::size_t count : {0u, 1u, 3u, 40u, 2u, 100u}) {
    std::vector<std::atomic<int>> runs(count);
    crew.ForEach(count, [&](std::size_t i) { ++runs[i]; });
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(runs[i].load(), 1) << count << " " << i;
  }
}

}  // namespace
