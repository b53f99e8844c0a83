// Starting a program, waiting with a time-out or a stop event, ending it.
// The child is tests/platform/child_main.cpp, built beside this test.
#include <gtest/gtest.h>

#include "platform/fs.h"
#include "platform/process.h"
#include "platform/text.h"
#include "test_tree.h"

namespace {

using platform::ChildProcess;

std::u16string ChildPath() {
  return platform::ModuleFolder() + platform::kPathSeparator + u"platform_test_child" +
         platform::FromUtf8(VARNEL_EXE_SUFFIX);
}

TEST(ProcessTest, SplitParameters) {
  struct Case { std::u16string in; std::vector<std::u16string> out; } cases[] = {
      {u"", {}},
      {u"a b  c", {u"a", u"b", u"c"}},
      {u"-enc UTF-16 \"C:\\a b\\x.pdf\" out.txt", {u"-enc", u"UTF-16", u"C:\\a b\\x.pdf", u"out.txt"}},
      {u"\"\"", {u""}},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::SplitParameters(c.in), c.out);
}

TEST(ProcessTest, RunsAProgramWithArgumentsAndReportsItsExitCode) {
  testing_support::TempTree tree;
  std::u16string out = tree.Path(u"out file.txt");
  ChildProcess child;
  ASSERT_TRUE(child.Start(ChildPath(), u"write \"" + out + u"\" hello"));
  EXPECT_EQ(child.Wait(60000), ChildProcess::WaitResult::kExited);
  EXPECT_EQ(child.exit_code(), 3u);
  EXPECT_EQ(testing_support::ReadBytes(out), "hello");
}

TEST(ProcessTest, WaitEndsOnTimeOutOrStopAndTerminateEndsTheChild) {
  {
    ChildProcess child;
    ASSERT_TRUE(child.Start(ChildPath(), u"hang"));
    EXPECT_EQ(child.Wait(50), ChildProcess::WaitResult::kTimedOut);
    child.Terminate();
  }
  {
    ChildProcess child;
    platform::Event stop;
    ASSERT_TRUE(child.Start(ChildPath(), u"hang"));
    stop.Set();
    EXPECT_EQ(child.Wait(platform::Event::kInfinite, &stop), ChildProcess::WaitResult::kStopped);
    child.Terminate();
    EXPECT_EQ(child.Wait(1000), ChildProcess::WaitResult::kFailed) << "nothing left to wait for";
  }
}

TEST(ProcessTest, AMissingProgramFailsToStart) {
  ChildProcess child;
  EXPECT_FALSE(child.Start(platform::ModuleFolder() + u"/no_such_program.exe", u""));
  EXPECT_NE(child.error(), 0u);
}

}  // namespace
