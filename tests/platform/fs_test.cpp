// Folder listing, attributes, files, the safe replace and well-known folders,
// run against both platform implementations.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/fs.h"
#include "platform/text.h"
#include "test_tree.h"

namespace {

using platform::File;
using testing_support::ReadBytes;
using testing_support::TempTree;

constexpr platform::FileTime kYear2020 = 132223104000000000ULL;

std::map<std::u16string, platform::FolderEntry> ListAll(const std::u16string& folder) {
  std::map<std::u16string, platform::FolderEntry> out;
  platform::FolderListing listing;
  EXPECT_TRUE(listing.Open(folder));
  platform::FolderEntry e;
  while (listing.Next(e)) {
    EXPECT_TRUE(listing.LoadDetails(e));
    out[e.name] = e;
  }
  return out;
}

TEST(FsTest, ListingReportsNamesAttributesSizesAndTimes) {
  TempTree tree;
  const std::u16string unicode_name = u"\u00dcn\u00efc\u00f8d\u00e9_\u4e2d\u6587.txt";
  tree.Write(u"a.txt", "abc");
  tree.Write(unicode_name, std::string(5000, 'x'));
  tree.Folder(u"sub");
  std::u16string hidden = tree.Write(u".hid", "");
  ASSERT_TRUE(platform::SetFileAttributes(hidden, platform::attr::hidden));
  std::u16string ro = tree.Write(u"ro.txt", "r");
  ASSERT_TRUE(platform::SetFileAttributes(ro, platform::attr::read_only));

  auto entries = ListAll(tree.root());
  ASSERT_EQ(entries.count(u"a.txt"), 1u);
  EXPECT_EQ(entries[u"a.txt"].size, 3u);
  EXPECT_FALSE(entries[u"a.txt"].IsFolder());
  EXPECT_GT(entries[u"a.txt"].last_write_time, kYear2020);
  EXPECT_GT(entries[u"a.txt"].creation_time, kYear2020);
  EXPECT_GT(entries[u"a.txt"].last_access_time, kYear2020);
  ASSERT_EQ(entries.count(unicode_name), 1u);
  EXPECT_EQ(entries[unicode_name].size, 5000u);
  EXPECT_TRUE(entries[u"sub"].IsFolder());
  EXPECT_TRUE(entries[u".hid"].attributes & platform::attr::hidden);
  EXPECT_FALSE(entries[u"a.txt"].attributes & platform::attr::hidden);
  EXPECT_TRUE(entries[u"ro.txt"].attributes & platform::attr::read_only);
  EXPECT_FALSE(entries[u"a.txt"].attributes & platform::attr::read_only);
  EXPECT_TRUE(entries.count(u".") && entries.count(u".."));
  ASSERT_TRUE(platform::SetFileAttributes(ro, 0));
}

TEST(FsTest, ListingAMissingFolderFails) {
  TempTree tree;
  platform::FolderListing listing;
  EXPECT_FALSE(listing.Open(tree.Path(u"missing")));
  EXPECT_TRUE(listing.error() == platform::err::file_not_found ||
              listing.error() == platform::err::path_not_found)
      << listing.error();
}

TEST(FsTest, ExistenceAndAttributes) {
  TempTree tree;
  std::u16string file = tree.Write(u"f.txt", "x");
  std::u16string folder = tree.Folder(u"d");
  struct Case { std::u16string path; bool exists, is_file, is_folder; } cases[] = {
      {file, true, true, false}, {folder, true, false, true},
      {tree.Path(u"none"), false, false, false}, {u"", false, false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(platform::PathExists(c.path), c.exists) << platform::ToUtf8(c.path);
    EXPECT_EQ(platform::IsExistingFile(c.path), c.is_file);
    EXPECT_EQ(platform::IsExistingFolder(c.path), c.is_folder);
  }
  std::uint32_t a = 0;
  ASSERT_TRUE(platform::GetFileAttributes(folder, a));
  EXPECT_TRUE(a & platform::attr::directory);
  ASSERT_TRUE(platform::SetFileAttributes(file, platform::attr::read_only));
  ASSERT_TRUE(platform::GetFileAttributes(file, a));
  EXPECT_TRUE(a & platform::attr::read_only);
  ASSERT_TRUE(platform::SetFileAttributes(file, 0));
  ASSERT_TRUE(platform::GetFileAttributes(file, a));
  EXPECT_FALSE(a & platform::attr::read_only);
  EXPECT_FALSE(platform::GetFileAttributes(tree.Path(u"none"), a));
  EXPECT_EQ(platform::LastError(), platform::err::file_not_found);

  std::u16string long_name;
  EXPECT_TRUE(platform::GetLongPathName(file, long_name));
  EXPECT_TRUE(platform::IsExistingFile(long_name));
  EXPECT_FALSE(platform::GetLongPathName(tree.Path(u"none"), long_name));
}

TEST(FsTest, FileReadWriteSeek) {
  TempTree tree;
  std::u16string path = tree.Path(u"data.bin");
  File out;
  ASSERT_TRUE(out.Open(path, File::Mode::kWriteNew));
  ASSERT_TRUE(out.Write("0123456789", 10));
  ASSERT_TRUE(out.Flush());
  EXPECT_TRUE(out.Close());

  File again;
  EXPECT_FALSE(again.Open(path, File::Mode::kWriteNew)) << "kWriteNew never overwrites";
  EXPECT_EQ(again.error(), platform::err::file_exists);

  File in;
  ASSERT_TRUE(in.Open(path, File::Mode::kRead));
  std::uint64_t size = 0;
  ASSERT_TRUE(in.GetSize(size));
  EXPECT_EQ(size, 10u);
  ASSERT_TRUE(in.Seek(6));
  char buffer[16] = {};
  std::size_t n = 0;
  ASSERT_TRUE(in.Read(buffer, sizeof buffer, n));
  EXPECT_EQ(std::string(buffer, n), "6789");
  ASSERT_TRUE(in.Read(buffer, sizeof buffer, n));
  EXPECT_EQ(n, 0u);

  File missing;
  EXPECT_FALSE(missing.Open(tree.Path(u"none"), File::Mode::kRead));
  EXPECT_EQ(missing.error(), platform::err::file_not_found);
  File folder;
  EXPECT_FALSE(folder.Open(tree.root(), File::Mode::kRead)) << "a folder is not a file";
  EXPECT_EQ(folder.error(), platform::err::access_denied);
}

TEST(FsTest, ReplaceFileOutcomes) {
  struct Case {
    const char* name;
    bool backup, read_only, missing_target;
    std::uint32_t result;
    const char* target_after;
  } cases[] = {
      {"plain", false, false, false, 0, "new"},
      {"with backup", true, false, false, 0, "new"},
      {"read-only target", false, true, false, platform::err::access_denied, "old"},
      {"read-only target with backup", true, true, false, platform::err::access_denied, "old"},
      {"missing target", false, false, true, platform::err::file_not_found, "<missing>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempTree tree;
    std::u16string target = tree.Path(u"t.txt");
    if (!c.missing_target) tree.Write(u"t.txt", "old");
    std::u16string replacement = tree.Write(u"t.txt.tmp", "new");
    if (c.read_only) {
      ASSERT_TRUE(platform::SetFileAttributes(target, platform::attr::read_only));
    }
    std::u16string backup = c.backup ? tree.Path(u"t.txt.bak") : u"";
    EXPECT_EQ(platform::ReplaceFile(target, replacement, backup), c.result);
    EXPECT_EQ(ReadBytes(target), c.target_after);
    if (c.result == 0) {
      EXPECT_FALSE(platform::PathExists(replacement));
      if (c.backup) {
        EXPECT_EQ(ReadBytes(backup), "old");
      }
    } else {
      EXPECT_EQ(ReadBytes(replacement), "new") << "a failed replace keeps the replacement";
      if (c.backup) {
        EXPECT_FALSE(platform::PathExists(backup));
      }
    }
    if (c.read_only) {
      ASSERT_TRUE(platform::SetFileAttributes(target, 0));
    }
  }
}

TEST(FsTest, ReplaceFileKeepsTargetReadOnlyAttributeOffAndOverwritesOldBackup) {
  TempTree tree;
  std::u16string target = tree.Write(u"t.txt", "v1");
  std::u16string backup = tree.Write(u"t.txt.bak", "stale");
  std::u16string replacement = tree.Write(u"r.tmp", "v2");
  ASSERT_EQ(platform::ReplaceFile(target, replacement, backup), 0u);
  EXPECT_EQ(ReadBytes(target), "v2");
  EXPECT_EQ(ReadBytes(backup), "v1");
}

// The steps of a safe rewrite: a backup as a second name of the old file,
// the temporary file moved over the target by its open handle, and a
// temporary file deleted only while its name is still its own.
TEST(FsTest, BackupMoveOverAndDiscardOfAnOpenTemporaryFile) {
  struct Case {
    const char* name;
    bool read_only_target;
    std::uint32_t result;
  } cases[] = {
      {"writable target", false, 0},
      {"read-only target", true, platform::err::access_denied},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempTree tree;
    std::u16string target = tree.Write(u"t.txt", "old");
    std::u16string temporary = tree.Path(u"t.txt.tmp");
    File file;
    ASSERT_TRUE(file.Open(temporary, File::Mode::kWriteTemporary));
    ASSERT_TRUE(file.Write("new", 3) && file.Flush());
    platform::FileIdentity written, named;
    ASSERT_TRUE(file.GetIdentity(written));
    ASSERT_TRUE(platform::GetFileIdentity(temporary, named));
    EXPECT_TRUE(written.SameFile(named));

    std::u16string backup = tree.Path(u"t.txt.bak");
    ASSERT_TRUE(platform::MakeBackup(target, backup));
    EXPECT_EQ(ReadBytes(backup), "old");
    EXPECT_FALSE(platform::MakeBackup(target, backup)) << "a backup never replaces a file";
    EXPECT_EQ(platform::LastError(), platform::err::file_exists);

    if (c.read_only_target) {
      ASSERT_TRUE(platform::SetFileAttributes(target, platform::attr::read_only));
    }
    EXPECT_EQ(file.MoveOver(temporary, target), c.result);
    if (c.result == 0) {
      EXPECT_FALSE(platform::PathExists(temporary));
      ASSERT_TRUE(platform::GetFileIdentity(target, named));
      EXPECT_TRUE(written.SameFile(named)) << "the file written is the one moved";
      // Windows lets nobody else open it before the close: the open handle
      // may delete it.
      EXPECT_TRUE(file.Close());
      EXPECT_EQ(ReadBytes(target), "new");
    } else {
      EXPECT_EQ(ReadBytes(target), "old");
      EXPECT_TRUE(file.DeleteAndClose(temporary));
      EXPECT_FALSE(platform::PathExists(temporary));
      ASSERT_TRUE(platform::SetFileAttributes(target, 0));
    }
    EXPECT_EQ(ReadBytes(backup), "old");
  }
}

// Another program moves its own file over the temporary name. Windows
// refuses that while the temporary file is open; where it happens, deleting
// the temporary file leaves the other program's file alone.
TEST(FsTest, DiscardingATemporaryFileNeverDeletesWhatReplacedItsName) {
  TempTree tree;
  std::u16string temporary = tree.Path(u"t.tmp");
  File file;
  ASSERT_TRUE(file.Open(temporary, File::Mode::kWriteTemporary));
  ASSERT_TRUE(file.Write("mine", 4));
  std::u16string foreign = tree.Write(u"foreign", "theirs");
  bool moved = platform::ReplaceFile(temporary, foreign, u"") == 0;
  file.DeleteAndClose(temporary);
  EXPECT_EQ(ReadBytes(temporary), moved ? "theirs" : "<missing>");
}

TEST(FsTest, ListingReportsTheIdentityOfTheFolderItOpened) {
  TempTree tree;
  std::u16string folder = tree.Folder(u"sub");
  std::u16string file = tree.Write(u"file.txt", "x");
  for (auto follow :
       {platform::FolderListing::Follow::kLinks, platform::FolderListing::Follow::kNoLinks}) {
    platform::FolderListing listing;
    ASSERT_TRUE(listing.Open(folder, follow));
    platform::FileIdentity listed, named;
    ASSERT_TRUE(listing.GetIdentity(listed));
    ASSERT_TRUE(platform::GetFileIdentity(folder, named));
    EXPECT_TRUE(listed.SameFile(named));
    EXPECT_FALSE(listed.is_link);
    EXPECT_FALSE(listing.Open(file, follow)) << "a file is not a folder";
    EXPECT_EQ(listing.error(), platform::err::path_not_found);
  }
}

TEST(FsTest, TemporaryNamesAreNewFiles) {
  TempTree tree;
  std::u16string a, b;
  ASSERT_TRUE(platform::CreateTempFileName(tree.root(), u"VN_", a));
  ASSERT_TRUE(platform::CreateTempFileName(tree.root(), u"VN_", b));
  EXPECT_NE(a, b);
  for (const auto& p : {a, b}) {
    EXPECT_TRUE(platform::IsExistingFile(p));
    std::u16string name = p.substr(p.rfind(platform::kPathSeparator) + 1);
    EXPECT_TRUE(name.starts_with(u"VN_")) << platform::ToUtf8(name);
    EXPECT_TRUE(name.ends_with(u".tmp")) << platform::ToUtf8(name);
  }
}

TEST(FsTest, MoveDeleteAndFolderTrees) {
  TempTree tree;
  std::u16string a = tree.Write(u"a.txt", "A");
  std::u16string b = tree.Write(u"b.txt", "B");
  EXPECT_FALSE(platform::MoveFile(a, b)) << "moving never replaces an existing name";
  EXPECT_EQ(ReadBytes(b), "B");
  std::u16string c = tree.Path(u"c.txt");
  ASSERT_TRUE(platform::MoveFile(a, c));
  EXPECT_EQ(ReadBytes(c), "A");
  EXPECT_FALSE(platform::PathExists(a));
  ASSERT_TRUE(platform::DeleteFile(c));
  EXPECT_FALSE(platform::PathExists(c));

  std::u16string deep = tree.Path(u"x/y/z");
  ASSERT_TRUE(platform::CreateFolderTree(deep));
  EXPECT_TRUE(platform::CreateFolderTree(deep)) << "an existing tree is fine";
  std::u16string ro = tree.Write(u"x/y/z/ro.txt", "r");
  ASSERT_TRUE(platform::SetFileAttributes(ro, platform::attr::read_only));
  EXPECT_FALSE(platform::RemoveFolder(tree.Path(u"x"))) << "not empty";
  EXPECT_TRUE(platform::DeleteFolderTree(tree.Path(u"x")));
  EXPECT_FALSE(platform::PathExists(tree.Path(u"x")));
}

// Paths of 260 characters and more: the long-path prefix must be applied by
// every call (Wine does not enforce the limit, so the prefix logic is also
// checked as a pure function below).
TEST(FsTest, LongPathsWork) {
  TempTree tree;
  std::u16string relative;
  while (tree.root().size() + relative.size() < 300)
    relative += u"long_folder_name_segment_" + std::u16string(1, char16_t(u'a' + relative.size() % 26)) + u"/";
  relative += u"file.txt";
  std::u16string path = tree.Write(relative, "deep");
  ASSERT_GT(path.size(), 300u);
  EXPECT_TRUE(platform::IsExistingFile(path));
  EXPECT_EQ(ReadBytes(path), "deep");
  std::u16string replacement = tree.Write(relative + u".tmp", "deeper");
  EXPECT_EQ(platform::ReplaceFile(path, replacement, path + u".bak"), 0u);
  EXPECT_EQ(ReadBytes(path), "deeper");
  std::u16string folder = path.substr(0, path.rfind(platform::kPathSeparator));
  auto entries = ListAll(folder);
  EXPECT_EQ(entries.count(u"file.txt"), 1u);
  EXPECT_EQ(entries.count(u"file.txt.bak"), 1u);
  std::uint32_t a = 0;
  EXPECT_TRUE(platform::GetFileAttributes(path, a));
}

TEST(FsTest, ExtendedLengthPathPrefix) {
  const std::u16string long_tail(270, u'a');
  struct Case { std::u16string in, out; } cases[] = {
      {u"C:\\short\\path", u"C:\\short\\path"},
      {u"C:\\" + long_tail, u"\\\\?\\C:\\" + long_tail},
      {u"C:/" + long_tail, u"\\\\?\\C:\\" + long_tail},
      {u"\\\\server\\share\\" + long_tail, u"\\\\?\\UNC\\server\\share\\" + long_tail},
      {u"\\\\?\\C:\\" + long_tail, u"\\\\?\\C:\\" + long_tail},
      {u"relative\\" + long_tail, u"relative\\" + long_tail},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ExtendedLengthPath(c.in), c.out);
}

TEST(FsTest, WellKnownFolders) {
  EXPECT_TRUE(platform::IsExistingFolder(platform::ModuleFolder()));
  std::u16string temp = platform::SystemTempPath();
  EXPECT_TRUE(platform::IsExistingFolder(temp));
  EXPECT_NE(temp.back(), platform::kPathSeparator);
  EXPECT_FALSE(platform::AppDataFolder().empty());
}

}  // namespace
