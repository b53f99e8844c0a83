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

// The Windows C runtime's reading of a command line (as CommandLineToArgvW
// reads it after the program name), written from its documented rules: an
// oracle for QuoteArgument that runs everywhere.
std::vector<std::u16string> SplitLikeTheRuntime(std::u16string_view line) {
  std::vector<std::u16string> args;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (i == line.size()) return args;
    std::u16string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
      std::size_t backslashes = 0;
      while (i < line.size() && line[i] == u'\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == u'"') {
        arg.append(backslashes / 2, u'\\');
        if (backslashes % 2 == 1) {
          arg.push_back(u'"');
        } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          arg.push_back(u'"');  // "" inside quotes: a quote
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(backslashes, u'\\');
        if (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t')))
          arg.push_back(line[i++]);
      }
    }
    args.push_back(std::move(arg));
  }
}

// Names a converter could be handed: quotes, blanks, backslashes before
// quotes and at the end, line ends, leading dashes, nothing at all.
const std::vector<std::u16string> kHostileArguments = {
    u"plain",
    u"",
    u"two words",
    u"x\" \"victim.txt\" \"y.pdf",
    u"-enc",
    u"--",
    u"trailing\\",
    u"C:\\dir with blanks\\",
    u"back\\\"quote",
    u"back\\\\\"two",
    u"\\\\server\\share",
    u"tab\there",
    u"line\nend\r\n",
    u"\"\"",
    u"\"",
    u"a\\\\b c",
};

TEST(ProcessTest, QuotedArgumentsSplitBackExactly) {
  for (const auto& argument : kHostileArguments) {
    std::u16string quoted = platform::QuoteArgument(argument);
    EXPECT_EQ(SplitLikeTheRuntime(quoted), std::vector<std::u16string>{argument})
        << platform::ToUtf8(quoted);
  }
  EXPECT_EQ(SplitLikeTheRuntime(platform::JoinArguments(kHostileArguments)), kHostileArguments);
  EXPECT_EQ(platform::QuoteArgument(u"simple.pdf"), u"simple.pdf") << "nothing to quote";
}

// The same arguments through a real child: each arrives as one argument.
TEST(ProcessTest, ChildReceivesEachArgumentUnchanged) {
  testing_support::TempTree tree;
  std::u16string out = tree.Path(u"args out.bin");
  std::vector<std::u16string> arguments = {u"args", out};
  arguments.insert(arguments.end(), kHostileArguments.begin(), kHostileArguments.end());
  ChildProcess child;
  ASSERT_TRUE(child.Start(ChildPath(), arguments)) << child.error();
  EXPECT_EQ(child.Wait(60000), ChildProcess::WaitResult::kExited);
  EXPECT_EQ(child.exit_code(), 4u);
  std::string expected;
  for (const auto& argument : kHostileArguments) expected += platform::ToUtf8(argument) + '\0';
  EXPECT_EQ(testing_support::ReadBytes(out), expected);
}

TEST(ProcessTest, RunsAProgramWithArgumentsAndReportsItsExitCode) {
  testing_support::TempTree tree;
  std::u16string out = tree.Path(u"out file.txt");
  ChildProcess child;
  ASSERT_TRUE(child.Start(ChildPath(), {u"write", out, u"hello"}));
  EXPECT_EQ(child.Wait(60000), ChildProcess::WaitResult::kExited);
  EXPECT_EQ(child.exit_code(), 3u);
  EXPECT_EQ(testing_support::ReadBytes(out), "hello");
}

TEST(ProcessTest, WaitEndsOnTimeOutOrStopAndTerminateEndsTheChild) {
  {
    ChildProcess child;
    ASSERT_TRUE(child.Start(ChildPath(), {u"hang"}));
    EXPECT_EQ(child.Wait(50), ChildProcess::WaitResult::kTimedOut);
    child.Terminate();
  }
  {
    ChildProcess child;
    platform::Event stop;
    ASSERT_TRUE(child.Start(ChildPath(), {u"hang"}));
    stop.Set();
    EXPECT_EQ(child.Wait(platform::Event::kInfinite, &stop), ChildProcess::WaitResult::kStopped);
    child.Terminate();
    EXPECT_EQ(child.Wait(1000), ChildProcess::WaitResult::kFailed) << "nothing left to wait for";
  }
}

TEST(ProcessTest, AMissingProgramFailsToStart) {
  ChildProcess child;
  EXPECT_FALSE(child.Start(platform::ModuleFolder() + u"/no_such_program.exe", {}));
  EXPECT_NE(child.error(), 0u);
}

}  // namespace
