// POSIX-only rewrite cases: what a rewritten file keeps of the old one
// (owner, group, mode), a link put in the temporary file's place, names that
// are not UTF-8, and pipes in the tree.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "engine/file_result.h"
#include "engine/finder.h"
#include "engine/text_replacer.h"
#include "engine_test_support.h"
#include "platform/posix/posix_util.h"
#include "recording_listener.h"
#include "test_tree.h"

namespace {

using engine_test::Names;
using engine_test::RecordingListener;
using engine_test::RunToEnd;
using testing_support::TempTree;

std::string Native(const std::u16string& path) { return platform::posix::NativePath(path); }

// Real operations; `before_flush` runs when the temporary file is complete:
// another program acting between the write and the swap.
class HookedOps : public IFileOperations {
 public:
  std::function<void()> before_flush;
  std::uint32_t Flush(platform::File& file) override {
    if (before_flush) before_flush();
    return IFileOperations::Flush(file);
  }
};

class RewritePosixTest : public ::testing::Test {
 protected:
  bool Replace(const std::u16string& path, IFileOperations& ops, bool backup = false) {
    replacer_.ops = &ops;
    replacer_.stop_event = &stop_;
    replacer_.backup = backup;
    replacer_.replace_text = u"new";
    MatchList list;
    return ContentPass(replacer_, u"old", &list, path, false, true, false, 0, true);
  }

  TempTree tree_;
  platform::Event stop_;
  CTextReplacer replacer_;
};

// Rewritten as root, a file used to become root's: its owner could lose
// access to it. Owner, group and every mode bit are kept.
TEST_F(RewritePosixTest, RewrittenFileKeepsOwnerGroupAndMode) {
  struct Case {
    mode_t mode;
    uid_t owner;
    gid_t group;
  } cases[] = {
      {0644, ::geteuid(), ::getegid()}, {0600, ::geteuid(), ::getegid()},
      {0640, ::geteuid(), ::getegid()}, {0755, ::geteuid(), ::getegid()},
      {0604, 65534, 65534},             {02770, 65534, ::getegid()},
      {0660, ::geteuid(), 65534},
  };
  for (const auto& c : cases) {
    for (bool backup : {false, true}) {
      SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.owner) + ":" +
                   std::to_string(c.group) + (backup ? " with backup" : ""));
      for (const auto& name : Names(tree_.root())) (void)platform::DeleteFile(tree_.Path(name));
      std::u16string path = tree_.Write(u"f.txt", "an old line");
      std::string native = Native(path);
      bool given_away = c.owner != ::geteuid() || c.group != ::getegid();
      if (given_away && ::chown(native.c_str(), c.owner, c.group) != 0) continue;  // not root
      ASSERT_EQ(::chmod(native.c_str(), c.mode), 0);
      ASSERT_TRUE(Replace(path, IFileOperations::Real(), backup)) << replacer_.failure.reason;
      EXPECT_EQ(tree_.Read(u"f.txt"), "an new line");
      struct stat st{};
      ASSERT_EQ(::stat(native.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, c.mode);
      EXPECT_EQ(st.st_uid, c.owner);
      EXPECT_EQ(st.st_gid, c.group);
      if (backup) {
        EXPECT_EQ(tree_.Read(u"f.txt.bak"), "an old line");
      }
    }
  }
}

// Another program puts a link to a file outside the tree where the temporary
// file was: the link is neither installed as the file, nor followed to change
// the outside file's mode, nor deleted.
TEST_F(RewritePosixTest, ALinkPutInPlaceOfTheTemporaryFileIsNeverFollowed) {
  TempTree outside;
  std::u16string victim = outside.Write(u"victim", "outside");
  ASSERT_EQ(::chmod(Native(victim).c_str(), 0600), 0);
  for (bool backup : {false, true}) {
    SCOPED_TRACE(backup ? "with backup" : "without backup");
    for (const auto& name : Names(tree_.root())) (void)platform::DeleteFile(tree_.Path(name));
    std::u16string path = tree_.Write(u"f.txt", "an old line");
    ASSERT_EQ(::chmod(Native(path).c_str(), 0644), 0);
    HookedOps ops;
    ops.before_flush = [&] {
      std::string temporary = Native(tree_.Path(u"f.txt.tmp"));
      ASSERT_EQ(::unlink(temporary.c_str()), 0);
      ASSERT_EQ(::symlink(Native(victim).c_str(), temporary.c_str()), 0);
    };
    EXPECT_FALSE(Replace(path, ops, backup));
    EXPECT_EQ(replacer_.failure.reason, kReasonReplaceChanged);
    EXPECT_EQ(tree_.Read(u"f.txt"), "an old line");
    platform::FileIdentity identity;
    ASSERT_TRUE(platform::GetFileIdentity(path, identity));
    EXPECT_FALSE(identity.is_link);
    EXPECT_EQ(testing_support::ReadBytes(victim), "outside");
    struct stat st{};
    ASSERT_EQ(::stat(Native(victim).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(Names(tree_.root()), (std::set<std::u16string>{u"f.txt", u"f.txt.tmp"}))
        << "the other program's link stays; no backup is left";
  }
}

// Names that are not UTF-8 are found and rewritten like any other, each
// under its own name.
TEST_F(RewritePosixTest, FilesWhoseNamesAreNotUtf8AreFoundAndReplaced) {
  const std::string names[] = {"caf\xe9.txt", "\xff\xfe.txt", "\xc0\xaf.txt", "\xed\xa0\x80.txt",
                               "caf\xc3\xa9.txt"};
  const std::string root = Native(tree_.root());
  for (const auto& name : names) {
    int fd = ::open((root + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "old text", 8), 8);
    ::close(fd);
  }
  // The recording listener keys results by UTF-8 text, in which these names
  // collide; this one keeps them apart.
  struct Listener : RecordingListener {
    using RecordingListener::RecordingListener;
    std::map<std::u16string, std::int32_t> replaces;
    void OnFilesFound(FileResultBatch batch) override {
      for (auto& r : batch)
        replaces[r->file_name] = r->kind == ResultKind::kFound ? r->replaces : -2;
      RecordingListener::OnFilesFound(std::move(batch));
    }
  } listener(tree_.root());
  CFinder finder(&listener);
  FileFindParamsIn p;
  p.path = tree_.root();
  p.file_name = u"*.*";
  p.text = u"old";
  p.replace_text = u"new";
  RunToEnd(finder, p, true);
  std::map<std::u16string, std::int32_t> expected;
  for (const auto& name : names) expected[platform::posix::FromNative(name)] = 1;
  EXPECT_EQ(listener.replaces, expected);
  for (const auto& name : names) {
    int fd = ::open((root + "/" + name).c_str(), O_RDONLY);
    ASSERT_GE(fd, 0) << name;
    char buffer[16] = {};
    EXPECT_EQ(::read(fd, buffer, sizeof buffer), 8);
    ::close(fd);
    EXPECT_EQ(std::string(buffer), "new text") << name;
  }
  EXPECT_EQ(Names(tree_.root()).size(), std::size(names)) << "nothing else was made";
}

// A pipe no program writes to: reading it would wait for ever.
TEST_F(RewritePosixTest, APipeInTheTreeIsSkippedAndTheRunEnds) {
  ASSERT_EQ(::mkfifo(Native(tree_.Path(u"pipe.txt")).c_str(), 0644), 0);
  tree_.Write(u"file.txt", "old");
  for (bool replace : {false, true}) {
    RecordingListener listener(tree_.root());
    CFinder finder(&listener);
    FileFindParamsIn p;
    p.path = tree_.root();
    p.file_name = u"*.*";
    p.text = u"old";
    p.replace_text = u"old";
    RunToEnd(finder, p, replace);
    ASSERT_EQ(listener.results.count("pipe.txt"), 1u);
    EXPECT_EQ(listener.results["pipe.txt"]->kind, ResultKind::kSkipped);
    EXPECT_EQ(listener.results["pipe.txt"]->reason, kReasonNotRegularFile);
    EXPECT_EQ(listener.results.count("file.txt"), 1u);
  }
}

}  // namespace
