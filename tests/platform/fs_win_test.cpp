// Win32-only file-system cases: 8.3 names, names outside the ANSI code page
// and the basic plane, long folders for temporary names, the hidden-file
// trap of CREATE_ALWAYS, and links that a tree deletion must not follow.
#include <gtest/gtest.h>

#include <set>

#include "platform/fs.h"
#include "platform/text.h"
#include "platform/win/wide.h"  // <windows.h> without the macros that rename platform calls
#include "test_tree.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempTree;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// A folder of exactly `length` characters inside the tree, created.
std::u16string LongFolder(TempTree& tree, std::size_t length) {
  std::u16string path = tree.root() + u"\\deep";
  while (path.size() + 24 < length) path += u"\\segment_of_a_long_path";
  path += u"\\" + std::u16string(length - path.size() - 1, u'x');
  EXPECT_TRUE(platform::CreateFolderTree(path));
  return path;
}

TEST(FsWinTest, LongPathNameExpandsShortNames) {
  TempTree tree;
  std::u16string folder = tree.Folder(u"A Long Folder Name");
  std::u16string file = tree.Write(u"A Long Folder Name/Some Long File Name.text", "x");
  wchar_t short_path[MAX_PATH];
  DWORD length = GetShortPathNameW(W(file), short_path, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::u16string short_form(reinterpret_cast<const char16_t*>(short_path), length);
  if (short_form == file) GTEST_SKIP() << "this file system keeps no 8.3 names";

  std::u16string expanded;
  ASSERT_TRUE(platform::GetLongPathName(short_form, expanded));
  EXPECT_EQ(platform::Lowered(expanded), platform::Lowered(file));
  // The search path keeps a trailing separator through the expansion.
  ASSERT_TRUE(platform::GetLongPathName(folder + u"\\", expanded));
  EXPECT_EQ(platform::Lowered(expanded), platform::Lowered(folder + u"\\"));
}

TEST(FsWinTest, LongPathNameOfALongPathComesBackWithoutThePrefix) {
  TempTree tree;
  std::u16string folder = LongFolder(tree, 300);
  std::u16string expanded;
  ASSERT_TRUE(platform::GetLongPathName(folder, expanded));
  EXPECT_EQ(expanded, folder);
}

TEST(FsWinTest, NamesOutsideTheAnsiCodePageAndTheBasicPlane) {
  const std::u16string names[] = {
      u"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105.txt",   // Polish, not in 1252
      u"\u65e5\u672c\u8a9e\u306e\u30d5\u30a1\u30a4\u30eb.txt",  // Japanese
      u"emoji \U0001F600 \U0001F4C4.txt",                       // surrogate pairs
      u"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac",      // Greek, no extension
  };
  TempTree tree;
  for (const auto& name : names) {
    SCOPED_TRACE(platform::ToUtf8(name));
    std::u16string path = tree.Write(name, platform::ToUtf8(name));
    EXPECT_TRUE(platform::IsExistingFile(path));
    EXPECT_EQ(ReadBytes(path), platform::ToUtf8(name));
    std::u16string renamed = path + u".moved";
    ASSERT_TRUE(platform::MoveFile(path, renamed));
    ASSERT_TRUE(platform::MoveFile(renamed, path));
  }
  std::set<std::u16string> listed;
  platform::FolderListing listing;
  ASSERT_TRUE(listing.Open(tree.root()));
  platform::FolderEntry entry;
  while (listing.Next(entry)) listed.insert(entry.name);
  for (const auto& name : names) EXPECT_EQ(listed.count(name), 1u) << platform::ToUtf8(name);
}

// GetTempFileNameW refuses folders of MAX_PATH - 14 characters and more;
// the replacer writes its temporary file beside the file it rewrites, so
// such folders need the hand-made names.
TEST(FsWinTest, TemporaryNamesInFoldersTooLongForGetTempFileName) {
  TempTree tree;
  for (std::size_t length : {MAX_PATH - 15, MAX_PATH - 14, MAX_PATH + 40}) {
    SCOPED_TRACE(length);
    std::u16string folder = LongFolder(tree, length);
    ASSERT_EQ(folder.size(), length);
    std::set<std::u16string> made;
    for (int i = 0; i < 3; ++i) {
      std::u16string path;
      ASSERT_TRUE(platform::CreateTempFileName(folder, u"VN_xyz", path)) << platform::LastError();
      EXPECT_TRUE(platform::IsExistingFile(path));
      EXPECT_EQ(path.substr(0, folder.size() + 1), folder + u"\\");
      std::u16string name = path.substr(folder.size() + 1);
      // Three characters of the prefix, a hex number, ".tmp".
      EXPECT_TRUE(name.starts_with(u"VN_")) << platform::ToUtf8(name);
      EXPECT_FALSE(name.starts_with(u"VN_x")) << platform::ToUtf8(name);
      EXPECT_TRUE(name.ends_with(u".tmp")) << platform::ToUtf8(name);
      made.insert(path);
    }
    EXPECT_EQ(made.size(), 3u);
  }
}

// CREATE_ALWAYS fails on an existing hidden file unless the caller repeats
// the hidden attribute; "create or truncate" must still work on it.
TEST(FsWinTest, WriteCreateTruncatesAHiddenFileAndKeepsItHidden) {
  TempTree tree;
  std::u16string path = tree.Write(u"hidden.txt", "old content");
  ASSERT_TRUE(platform::SetFileAttributes(path, platform::attr::hidden));
  platform::File file;
  ASSERT_TRUE(file.Open(path, platform::File::Mode::kWriteCreate)) << file.error();
  ASSERT_TRUE(file.Write("new", 3));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadBytes(path), "new");
  std::uint32_t attributes = 0;
  ASSERT_TRUE(platform::GetFileAttributes(path, attributes));
  EXPECT_TRUE(attributes & platform::attr::hidden);
}

TEST(FsWinTest, DeletingATreeRemovesALinkedFolderWithoutEmptyingIt) {
  TempTree outside;
  std::u16string kept = outside.Write(u"keep.txt", "keep");
  TempTree tree;
  std::u16string link = tree.Path(u"link");
  tree.Write(u"file.txt", "x");
  if (!CreateSymbolicLinkW(
          W(link), W(outside.root()),
          SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
    GTEST_SKIP() << "no folder links here, error " << GetLastError();
  }
  // Wine 8 reports success without making the link.
  if (!platform::PathExists(link)) GTEST_SKIP() << "folder links are not made here";
  std::uint32_t attributes = 0;
  ASSERT_TRUE(platform::GetFileAttributes(link, attributes));
  ASSERT_TRUE(attributes & platform::attr::reparse_point);

  EXPECT_TRUE(platform::DeleteFolderTree(tree.root()));
  EXPECT_FALSE(platform::PathExists(tree.root()));
  EXPECT_EQ(ReadBytes(kept), "keep") << "the linked folder was emptied";
}

TEST(FsWinTest, DeleteFolderTreeClearsReadOnlyFolders) {
  TempTree tree;
  std::u16string inner = tree.Folder(u"a/b");
  tree.Write(u"a/b/f.txt", "x");
  ASSERT_TRUE(platform::SetFileAttributes(inner, platform::attr::read_only));
  EXPECT_TRUE(platform::DeleteFolderTree(tree.Path(u"a")));
  EXPECT_FALSE(platform::PathExists(tree.Path(u"a")));
}

// A device name opens a device, not a file: reading it can block.
TEST(FsWinTest, DevicesAreNeverOpenedAsFiles) {
  for (const char16_t* device : {u"NUL", u"\\\\.\\NUL"}) {
    SCOPED_TRACE(platform::ToUtf8(device));
    platform::File file;
    EXPECT_FALSE(file.Open(device, platform::File::Mode::kRead));
    EXPECT_EQ(file.error(), platform::err::bad_file_type);
  }
}

// What a rewritten file keeps: the attributes (read-only aside, which the
// swap handles) and the creation time, set on the open temporary file.
TEST(FsWinTest, MetadataKeepsAttributesAndCreationTime) {
  TempTree tree;
  std::u16string original = tree.Write(u"o.txt", "o");
  ASSERT_TRUE(
      platform::SetFileAttributes(original, platform::attr::hidden | platform::attr::archive));
  FILETIME created{};
  created.dwHighDateTime = 0x01D00000;  // in 2014
  HANDLE h = CreateFileW(W(original), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetFileTime(h, &created, nullptr, nullptr));
  CloseHandle(h);
  platform::File read;
  ASSERT_TRUE(read.Open(original, platform::File::Mode::kRead));
  platform::FileMetadata metadata;
  ASSERT_TRUE(read.GetMetadata(metadata));
  read.Close();

  std::u16string temporary = tree.Path(u"o.txt.tmp");
  platform::File file;
  ASSERT_TRUE(file.Open(temporary, platform::File::Mode::kWriteTemporary));
  ASSERT_TRUE(file.SetMetadata(metadata));
  ASSERT_EQ(file.MoveOver(temporary, original), 0u);
  ASSERT_TRUE(file.Close());
  std::uint32_t attributes = 0;
  ASSERT_TRUE(platform::GetFileAttributes(original, attributes));
  EXPECT_TRUE(attributes & platform::attr::hidden);
  // Wine keeps no creation times of its own (it shows the inode's): the
  // check needs a file system that kept the one set above.
  if ((metadata.creation_time >> 32) != created.dwHighDateTime) return;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(W(original), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.ftCreationTime.dwHighDateTime, created.dwHighDateTime);
}

// A folder swapped for a link after its parent was listed is refused by a
// listing that does not follow links.
TEST(FsWinTest, ListingWithoutLinksRefusesALinkedFolder) {
  TempTree outside;
  TempTree tree;
  std::u16string link = tree.Path(u"sub");
  if (!CreateSymbolicLinkW(
          W(link), W(outside.root()),
          SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
      !platform::PathExists(link)) {
    GTEST_SKIP() << "folder links are not made here";
  }
  platform::FolderListing listing;
  EXPECT_FALSE(listing.Open(link, platform::FolderListing::Follow::kNoLinks));
  EXPECT_EQ(listing.error(), platform::err::cant_resolve_filename);
  EXPECT_TRUE(listing.Open(link, platform::FolderListing::Follow::kLinks));
}

}  // namespace
