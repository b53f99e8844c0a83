// The read-only question's text and the answers it accepts.
#include "cli/read_only_question.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadOnlyQuestionTest, Text) {
  EXPECT_EQ(cli::ReadOnlyQuestionText(u"d/\u00e9.txt"),
            "File d/\xc3\xa9.txt is read-only. Do you want it to be replaced?");
}

TEST(ReadOnlyQuestionTest, Answers) {
  struct Case {
    const char* reply;
    std::optional<ReadOnlyAnswer> answer;
  } cases[] = {
      {"y", ReadOnlyAnswer::kReplace},
      {" YES \r", ReadOnlyAnswer::kReplace},
      {"n", ReadOnlyAnswer::kSkip},
      {"No", ReadOnlyAnswer::kSkip},
      {"a", ReadOnlyAnswer::kReplaceAll},
      {"Yes to all", ReadOnlyAnswer::kReplaceAll},
      {"s", ReadOnlyAnswer::kSkipAll},
      {"no to ALL", ReadOnlyAnswer::kSkipAll},
      {"", std::nullopt},
      {"yess", std::nullopt},
      {"yes to", std::nullopt},
      {"q", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::ParseReadOnlyAnswer(c.reply), c.answer) << c.reply;
}

}  // namespace
