// POSIX-only file-system cases: names that are not UTF-8, pipes and devices,
// folders replaced by links, and what a rewritten file keeps of the old one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>

#include "platform/fs.h"
#include "platform/posix/posix_util.h"
#include "platform/text.h"
#include "test_tree.h"

namespace {

using platform::File;
using testing_support::ReadBytes;
using testing_support::TempTree;

std::string Native(const std::u16string& path) { return platform::posix::NativePath(path); }

// Creates a file under raw name bytes, as another program could.
void WriteRaw(const std::string& path, const std::string& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

// Names are bytes: every one must be listed, opened and written under its
// own name, and no two may meet in one UTF-16 form.
TEST(FsPosixTest, NamesThatAreNotUtf8RoundTripExactly) {
  const std::string names[] = {
      "plain.txt",
      "caf\xc3\xa9.txt",           // valid UTF-8
      "caf\xe9.txt",               // Latin-1 byte
      "\xff\xfe",                  // never valid
      "a\x80z",                    // stray continuation byte
      "\xc0\xaf.txt",              // overlong "/"
      "\xe0\x80\xaf",              // overlong, three bytes
      "\xed\xa0\x80.txt",          // a surrogate encoded CESU-style
      "\xed\xa0\xbd\xed\xb8\x80",  // a CESU pair
      "\xf4\x90\x80\x80",          // past U+10FFFF
      "cut\xe2\x82",               // a sequence cut by the end
      "\xf0\x9f\x98\x80.txt",      // a valid four-byte character
  };
  TempTree tree;
  const std::string root = Native(tree.root());
  for (const auto& name : names) WriteRaw(root + "/" + name, name);

  std::set<std::u16string> listed;
  platform::FolderListing listing;
  ASSERT_TRUE(listing.Open(tree.root()));
  platform::FolderEntry entry;
  while (listing.Next(entry))
    if (entry.name != u"." && entry.name != u"..") listed.insert(entry.name);
  ASSERT_EQ(listed.size(), std::size(names)) << "two names met in one form";
  for (const auto& name : listed) {
    std::string bytes;
    ASSERT_TRUE(platform::posix::ToNative(name, bytes));
    SCOPED_TRACE(bytes);
    EXPECT_EQ(platform::posix::FromNative(bytes), name);
    std::u16string path = tree.Path(name);
    EXPECT_EQ(ReadBytes(path), bytes) << "opened under its own name";
    EXPECT_TRUE(platform::IsExistingFile(path));
    File out;
    ASSERT_TRUE(out.Open(path + u".tmp", File::Mode::kWriteNew));
    ASSERT_TRUE(out.Write("x", 1) && out.Close());
    EXPECT_EQ(ReadBytes(path + u".tmp"), "x");
    struct stat st{};
    EXPECT_EQ(::lstat((root + "/" + bytes + ".tmp").c_str(), &st), 0) << "written under its bytes";
  }
}

// UTF-16 names that no file name's bytes decode to name nothing: they must
// not reach another file (the escape of C3 A9 would be the bytes of "é").
TEST(FsPosixTest, UnrepresentableNamesAreRefused) {
  TempTree tree;
  tree.Write(u"caf\u00e9", "the real one");
  const std::u16string names[] = {
      u"caf\xdcc3\xdca9",         // escapes that spell a valid sequence
      u"lone\xd800high",          // a high surrogate alone
      u"low\xdc41",               // an escape of an ASCII byte
      std::u16string(u"nul\0x", 5),
  };
  for (const auto& name : names) {
    SCOPED_TRACE(platform::ToUtf8(name));
    std::string bytes;
    EXPECT_FALSE(platform::posix::ToNative(name, bytes));
    File file;
    EXPECT_FALSE(file.Open(tree.Path(name), File::Mode::kRead));
    EXPECT_EQ(file.error(), platform::err::invalid_name);
    EXPECT_FALSE(file.Open(tree.Path(name), File::Mode::kWriteNew));
    EXPECT_FALSE(platform::PathExists(tree.Path(name)));
  }
  EXPECT_EQ(tree.Read(u"caf\u00e9"), "the real one");
}

// Reading a pipe without a writer, or a terminal, would wait for ever.
TEST(FsPosixTest, PipesAndDevicesAreNeverOpenedAsFiles) {
  TempTree tree;
  std::u16string fifo = tree.Path(u"pipe");
  ASSERT_EQ(::mkfifo(Native(fifo).c_str(), 0644), 0);
  for (const std::u16string& path : {fifo, std::u16string(u"/dev/null")}) {
    SCOPED_TRACE(platform::ToUtf8(path));
    for (auto mode : {File::Mode::kRead, File::Mode::kWriteCreate}) {
      File file;
      EXPECT_FALSE(file.Open(path, mode));
      EXPECT_EQ(file.error(), platform::err::bad_file_type);
    }
  }
  platform::FolderListing listing;
  ASSERT_TRUE(listing.Open(tree.root()));
  platform::FolderEntry entry;
  bool seen = false;
  while (listing.Next(entry)) {
    if (entry.name != u"pipe") continue;
    seen = true;
    EXPECT_TRUE(entry.attributes & platform::attr::device);
    EXPECT_FALSE(entry.IsFolder());
  }
  EXPECT_TRUE(seen);
  std::uint32_t attributes = 0;
  ASSERT_TRUE(platform::GetFileAttributes(fifo, attributes));
  EXPECT_TRUE(attributes & platform::attr::device);
}

// A folder swapped for a link after its parent was listed: a listing that
// does not follow links refuses it, and one that does reports where it led.
TEST(FsPosixTest, ListingWithoutLinksRefusesALinkedFolder) {
  TempTree outside;
  outside.Write(u"secret.txt", "x");
  TempTree tree;
  std::u16string link = tree.Path(u"sub");
  ASSERT_EQ(::symlink(Native(outside.root()).c_str(), Native(link).c_str()), 0);
  platform::FolderListing listing;
  EXPECT_FALSE(listing.Open(link, platform::FolderListing::Follow::kNoLinks));
  EXPECT_EQ(listing.error(), platform::err::cant_resolve_filename);
  ASSERT_TRUE(listing.Open(link, platform::FolderListing::Follow::kLinks));
  platform::FileIdentity listed, target, named;
  ASSERT_TRUE(listing.GetIdentity(listed));
  ASSERT_TRUE(platform::GetFileIdentity(outside.root(), target));
  ASSERT_TRUE(platform::GetFileIdentity(link, named));
  EXPECT_TRUE(listed.SameFile(target));
  EXPECT_TRUE(named.is_link);
  EXPECT_FALSE(listed.SameFile(named)) << "the walk can tell the link from the folder";
}

// The owner, group and mode a temporary file is given before it replaces a
// file, set on the open descriptor; a symbolic link in its name's place is
// never followed.
TEST(FsPosixTest, MetadataIsSetOnTheOpenFileAndNeverThroughALink) {
  TempTree tree;
  std::u16string original = tree.Write(u"o.txt", "o");
  ASSERT_EQ(::chmod(Native(original).c_str(), 0640), 0);
  if (::geteuid() == 0) {
    // Root can give the file away; the copy must follow it.
    ASSERT_EQ(::chown(Native(original).c_str(), 65534, 65534), 0);
  }
  File read;
  ASSERT_TRUE(read.Open(original, File::Mode::kRead));
  platform::FileMetadata metadata;
  ASSERT_TRUE(read.GetMetadata(metadata));
  EXPECT_EQ(metadata.mode, 0640u);

  std::u16string temporary = tree.Path(u"o.txt.tmp");
  File file;
  ASSERT_TRUE(file.Open(temporary, File::Mode::kWriteTemporary));
  struct stat st{};
  ASSERT_EQ(::stat(Native(temporary).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "private until it is given the original's mode";
  // Another program puts a link to an outside file under the temporary name.
  TempTree outside;
  std::u16string victim = outside.Write(u"victim", "v");
  ASSERT_EQ(::chmod(Native(victim).c_str(), 0600), 0);
  ASSERT_EQ(::unlink(Native(temporary).c_str()), 0);
  ASSERT_EQ(::symlink(Native(victim).c_str(), Native(temporary).c_str()), 0);

  ASSERT_TRUE(file.SetMetadata(metadata));
  platform::FileMetadata kept;
  ASSERT_TRUE(file.GetMetadata(kept));
  EXPECT_EQ(kept.mode, 0640u);
  EXPECT_EQ(kept.owner, metadata.owner);
  EXPECT_EQ(kept.group, metadata.group);
  ASSERT_EQ(::stat(Native(victim).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u) << "the link was followed";
  platform::FileIdentity mine, named;
  ASSERT_TRUE(file.GetIdentity(mine));
  ASSERT_TRUE(platform::GetFileIdentity(temporary, named));
  EXPECT_TRUE(named.is_link);
  EXPECT_FALSE(mine.SameFile(named));
  EXPECT_TRUE(file.DeleteAndClose(temporary)) << "nothing of ours is left under the name";
  EXPECT_EQ(ReadBytes(victim), "v");
  EXPECT_TRUE(platform::GetFileIdentity(temporary, named)) << "the link is not ours to delete";
}

}  // namespace
