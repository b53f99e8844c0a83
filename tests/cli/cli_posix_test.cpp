// POSIX only: file names are bytes there and need not be UTF-8. A folder
// given on the command line with such a name is searched, and results inside
// it are printed with the name's own bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "cli/program.h"
#include "cli/read_only_question.h"
#include "platform/text.h"
#include "recording_sink.h"
#include "test_tree.h"

namespace {

class CNoQuestion : public cli::IReadOnlyQuestion {
 public:
  ReadOnlyAnswer Ask(const std::u16string&) override { return ReadOnlyAnswer::kSkip; }
};

TEST(CliPosixTest, NamesThatAreNotUtf8TravelAsTheirBytes) {
  testing_support::TempTree tree;
  const std::string folder = platform::ToUtf8(tree.root()) + "/caf\xE9-\xFF";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  std::ofstream(folder + "/n\xE9.txt") << "cat";
  for (bool replace : {false, true}) {
    testing_support::CRecordingSink sink;
    CNoQuestion question;
    std::vector<std::string> args = {"varnel-cli", "-p", folder, "-t", "cat"};
    if (replace) args.insert(args.end(), {"-r", "dog"});
    EXPECT_EQ(cli::RunProgram(args, {sink, question, false}), 0) << sink.err;
    EXPECT_EQ(sink.out, folder + "/n\xE9.txt\n<flush><flush>") << replace;
  }
  std::ifstream in(folder + "/n\xE9.txt");
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "dog");
}

}  // namespace
