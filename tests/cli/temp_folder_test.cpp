// varnel-cli's own temporary folder.
#include "cli/temp_folder.h"

#include <gtest/gtest.h>

#include "platform/fs.h"
#include "platform/types.h"

namespace {

TEST(TempFolderTest, EachProcessRunGetsANewFolderThatIsDeletedWithItsContents) {
  std::u16string kept;
  {
    cli::CTempFolder first;
    cli::CTempFolder second;
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(first.path().rfind(platform::SystemTempPath(), 0), 0u);
    EXPECT_TRUE(platform::IsExistingFolder(first.path()));
    kept = second.path();

    std::u16string sub = first.path() + platform::kPathSeparator + u"sub";
    ASSERT_TRUE(platform::CreateFolderTree(sub));
    std::u16string file = sub + platform::kPathSeparator + u"VN_1.txt";
    platform::File f;
    ASSERT_TRUE(f.Open(file, platform::File::Mode::kWriteCreate));
    ASSERT_TRUE(f.Write("x", 1));
    ASSERT_TRUE(f.Close());
    ASSERT_TRUE(platform::SetFileAttributes(file, platform::attr::read_only));
    kept = first.path();
  }
  EXPECT_FALSE(platform::PathExists(kept));
}

}  // namespace
