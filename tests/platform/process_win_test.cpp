// Win32-only: the converter may live in a folder with blanks or one longer
// than MAX_PATH; ShellExecuteExW must start it from either.
#include <gtest/gtest.h>

#include "platform/fs.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/win/wide.h"  // <windows.h> without the macros that rename platform calls
#include "test_tree.h"

namespace {

using platform::ChildProcess;

std::u16string ChildPath() {
  return platform::ModuleFolder() + u"\\platform_test_child" +
         platform::FromUtf8(VARNEL_EXE_SUFFIX);
}

bool CopyInto(const std::u16string& from, const std::u16string& to) {
  std::u16string source = platform::ExtendedLengthPath(from);
  std::u16string target = platform::ExtendedLengthPath(to);
  return CopyFileW(reinterpret_cast<const wchar_t*>(source.c_str()),
                   reinterpret_cast<const wchar_t*>(target.c_str()), TRUE) != FALSE;
}

TEST(ProcessWinTest, StartsProgramsFromFoldersWithBlanksAndLongFolders) {
  testing_support::TempTree tree;
  std::u16string long_relative = u"long";
  while (tree.root().size() + long_relative.size() < 280)
    long_relative += u"/a_folder_name_to_make_the_path_long";
  const std::u16string folders[] = {tree.Folder(u"folder with blanks"), tree.Folder(long_relative)};
  for (const auto& folder : folders) {
    SCOPED_TRACE(platform::ToUtf8(folder));
    std::u16string program = folder + u"\\child.exe";
    ASSERT_TRUE(CopyInto(ChildPath(), program)) << GetLastError();
    std::u16string out = tree.Path(u"out.txt");
    ChildProcess child;
    ASSERT_TRUE(child.Start(program, {u"write", out, u"ok"})) << child.error();
    EXPECT_EQ(child.Wait(60000), ChildProcess::WaitResult::kExited);
    EXPECT_EQ(child.exit_code(), 3u);
    EXPECT_EQ(testing_support::ReadBytes(out), "ok");
    ASSERT_TRUE(platform::DeleteFile(out));
  }
}

// The system's own splitter reads the quoted text back into the arguments.
TEST(ProcessWinTest, CommandLineToArgvReadsQuotedArgumentsBack) {
  const std::vector<std::u16string> arguments = {
      u"x\" \"victim.txt\" \"y.pdf",
      u"",
      u"C:\\dir with blanks\\",
      u"back\\\"quote",
      u"-enc",
      u"a\\\\b c",
      u"line\nend",
      u"\"",
  };
  // The first word is the program name, which the system reads by other rules.
  std::u16string line = u"program " + platform::JoinArguments(arguments);
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(reinterpret_cast<const wchar_t*>(line.c_str()), &count);
  ASSERT_NE(argv, nullptr);
  std::vector<std::u16string> read;
  for (int i = 1; i < count; ++i) read.push_back(reinterpret_cast<const char16_t*>(argv[i]));
  LocalFree(argv);
  EXPECT_EQ(read, arguments);
}

}  // namespace
