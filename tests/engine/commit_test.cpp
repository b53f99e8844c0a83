// Fault injection into the rewrite of a file: a fake file-operations layer
// records every call and makes one of them fail; whatever fails, the file's
// name holds exactly its old or its new content, the pass says which, and no
// temporary file is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engine/text_replacer.h"
#include "engine_test_support.h"
#include "platform/fs.h"
#include "test_tree.h"

namespace {

using engine_test::Names;
using engine_test::U8;
using testing_support::TempTree;

// Real operations, recorded as text with paths relative to the tree; call
// number `fail_at` among those that can fail is made to fail. A failing
// ReplaceFile leaves the files as the system does for `replace_error`.
class FaultyOps : public IFileOperations {
 public:
  explicit FaultyOps(std::u16string root) : root_(std::move(root)) {}

  int fail_at = -1;
  // Each of these also fails the first call that starts with it.
  std::vector<std::string> fail_on;
  std::uint32_t replace_error = platform::err::unable_to_remove_replaced;
  std::vector<std::string> log;
  int calls = 0;
  std::string failed_call;

  bool CreateNew(const std::u16string& path, platform::File& file) override {
    return Step("CreateNew " + Rel(path)) && IFileOperations::CreateNew(path, file);
  }
  bool Write(platform::File& file, const std::string& bytes) override {
    return Step("Write") && IFileOperations::Write(file, bytes);
  }
  // Recorded, not performed: a flush to the disk per run would make the
  // sweep crawl, and what is on the disk afterwards does not depend on it.
  bool Flush(platform::File&) override { return Step("Flush"); }
  std::uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                        const std::u16string& backup) override {
    std::string call =
        "Replace " + Rel(target) + " by " + Rel(replacement) + " keeping " + Rel(backup);
    if (!Step(call)) {
      // ReplaceFileW with a backup name: for 1177 the old file is already
      // under the backup name; for the other codes nothing moved.
      if (replace_error == platform::err::unable_to_move_replacement_2)
        (void)platform::MoveFile(target, backup);
      return replace_error;
    }
    std::uint32_t rc = IFileOperations::Replace(target, replacement, backup);
    if (rc != 0) log.back() += " -> " + std::to_string(rc);
    return rc;
  }
  bool GetAttributes(const std::u16string& path, std::uint32_t& attributes) override {
    if (!Step("GetAttributes " + Rel(path))) return false;
    bool ok = IFileOperations::GetAttributes(path, attributes);
    log.back() += ok && (attributes & platform::attr::read_only) ? " -> read-only" : "";
    return ok;
  }
  bool SetAttributes(const std::u16string& path, std::uint32_t attributes) override {
    bool read_only = attributes & platform::attr::read_only;
    return Step("SetAttributes " + Rel(path) + (read_only ? " read-only" : " writable")) &&
           IFileOperations::SetAttributes(path, attributes);
  }
  bool Delete(const std::u16string& path) override {
    return Step("Delete " + Rel(path)) && IFileOperations::Delete(path);
  }
  bool Move(const std::u16string& from, const std::u16string& to) override {
    return Step("Move " + Rel(from) + " to " + Rel(to)) && IFileOperations::Move(from, to);
  }
  // Queries are recorded but never fail: a lie there is not a fault.
  bool Exists(const std::u16string& path) override {
    bool yes = IFileOperations::Exists(path);
    log.push_back("Exists " + Rel(path) + (yes ? " -> yes" : " -> no"));
    return yes;
  }
  bool IsFile(const std::u16string& path) override {
    bool yes = IFileOperations::IsFile(path);
    log.push_back("IsFile " + Rel(path) + (yes ? " -> yes" : " -> no"));
    return yes;
  }

 private:
  // Consecutive writes show as one "Write": how the text is cut into writes
  // is not what the transcript is about.
  bool Step(const std::string& call) {
    bool repeat = call == "Write" && !log.empty() && log.back() == "Write";
    if (!repeat) log.push_back(call);
    bool fail = calls++ == fail_at;
    for (auto& prefix : fail_on) {
      if (!fail && !prefix.empty() && call.starts_with(prefix)) {
        fail = true;
        prefix.clear();
      }
    }
    if (!fail) return true;
    if (repeat) log.push_back(call);
    if (failed_call.empty()) failed_call = call;
    log.back() += " -> FAIL";
    return false;
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
    CTextReplacer replacer;
    replacer.ops = &ops;
    replacer.stop_event = &stop_;
    replacer.backup = s.backup;
    replacer.replace_text = u"new";
    MatchList list;
    return ContentPass(replacer, u"old", &list, path, false, true, false, 0, true);
  }

  bool IsReadOnly() {
    std::uint32_t attributes = 0;
    return platform::GetFileAttributes(tree_.Path(u"f.txt"), attributes) &&
           (attributes & platform::attr::read_only);
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
};

TEST_F(CommitTest, TranscriptOfAReadOnlyRewrite) {
  FaultyOps ops(tree_.root());
  ASSERT_TRUE(Run(kScenarios[2], ops));
  EXPECT_EQ(ops.log, (std::vector<std::string>{
                         "Exists f.txt.tmp -> no",
                         "CreateNew f.txt.tmp",
                         "Write",
                         "Flush",
                         "Exists f.txt.vnold -> no",
                         "Replace f.txt by f.txt.tmp keeping f.txt.vnold -> 5",
                         "GetAttributes f.txt -> read-only",
                         "SetAttributes f.txt writable",
                         "Replace f.txt by f.txt.tmp keeping f.txt.vnold",
                         "SetAttributes f.txt read-only",
                         "Delete f.txt.vnold",
                     }));
  EXPECT_EQ(tree_.Read(u"f.txt"), kNew);
  EXPECT_TRUE(IsReadOnly());
}

TEST_F(CommitTest, EveryFailingStepLeavesOldOrNewContentAndNoTemporaryFile) {
  const std::uint32_t replace_errors[] = {
      platform::err::access_denied, platform::err::unable_to_remove_replaced,
      platform::err::unable_to_move_replacement, platform::err::unable_to_move_replacement_2};
  std::set<std::string> failed_kinds;
  for (const Scenario& s : kScenarios) {
    FaultyOps clean(tree_.root());
    ASSERT_TRUE(Run(s, clean)) << s.name;
    for (int step = 0; step < clean.calls; ++step) {
      for (std::uint32_t error : replace_errors) {
        FaultyOps ops(tree_.root());
        ops.fail_at = step;
        ops.replace_error = error;
        bool ok = Run(s, ops);
        if (!ops.failed_call.starts_with("Replace") && error != replace_errors[0]) continue;
        failed_kinds.insert(ops.failed_call.substr(0, ops.failed_call.find(' ')));
        std::string transcript;
        for (const auto& line : ops.log) transcript += "\n  " + line;
        SCOPED_TRACE(std::string(s.name) + ", failing " + ops.failed_call + " with " +
                     std::to_string(error) + ":" + transcript);
        EXPECT_EQ(tree_.Read(u"f.txt"), ok ? kNew : kOld);
        // Only a refused delete may leave a file behind; a backup is kept
        // when asked for and the rewrite happened.
        std::set<std::u16string> names = Names(tree_.root());
        std::set<std::u16string> expected = {u"f.txt"};
        if (ok && s.backup) expected.insert(u"f.txt.bak");
        if (ops.failed_call.starts_with("Delete")) {
          for (const auto& name : names)
            if (!expected.count(name) && ops.failed_call == "Delete " + U8(name))
              expected.insert(name);
        }
        EXPECT_EQ(names, expected);
        if (ok && s.backup) {
          EXPECT_EQ(tree_.Read(u"f.txt.bak"), kOld);
        }
        // A read-only file stays read-only unless restoring the attribute
        // itself was refused.
        if (s.read_only && ops.failed_call != "SetAttributes f.txt read-only") {
          EXPECT_TRUE(IsReadOnly());
        }
      }
    }
  }
  EXPECT_EQ(failed_kinds, (std::set<std::string>{"CreateNew", "Delete", "Flush", "GetAttributes",
                                                 "Replace", "SetAttributes", "Write"}));
}

// ReplaceFileW stopped half-way and the old file cannot be moved back: the
// new one takes the name instead.
TEST_F(CommitTest, HalfWaySwapFallsBackToTheNewContent) {
  for (const Scenario& s : {kScenarios[0], kScenarios[1]}) {
    FaultyOps ops(tree_.root());
    ops.fail_on = {"Replace", "Move"};
    ops.replace_error = platform::err::unable_to_move_replacement_2;
    EXPECT_TRUE(Run(s, ops)) << s.name;
    EXPECT_EQ(tree_.Read(u"f.txt"), kNew) << s.name;
    std::set<std::u16string> expected = {u"f.txt"};
    if (s.backup) expected.insert(u"f.txt.bak");
    EXPECT_EQ(Names(tree_.root()), expected) << s.name;
  }
}

TEST_F(CommitTest, AccessDeniedOnAWritableFileIsAFailure) {
  FaultyOps ops(tree_.root());
  ops.fail_on = {"Replace"};
  ops.replace_error = platform::err::access_denied;
  EXPECT_FALSE(Run(kScenarios[0], ops));
  EXPECT_EQ(tree_.Read(u"f.txt"), kOld);
  EXPECT_EQ(Names(tree_.root()), std::set<std::u16string>{u"f.txt"});
  // It was not retried: a writable file denied access is not ours to force.
  EXPECT_EQ(std::count_if(ops.log.begin(), ops.log.end(),
                          [](const std::string& l) { return l.starts_with("Replace"); }),
            1);
}

}  // namespace
