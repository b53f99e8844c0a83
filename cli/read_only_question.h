// The question a replace run asks about each read-only file, on the terminal.
// Tested by tests/cli/read_only_question_test.cpp.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/finder.h"

namespace cli {

class IReadOnlyQuestion {
 public:
  virtual ~IReadOnlyQuestion() = default;
  virtual ReadOnlyAnswer Ask(const std::u16string& path) = 0;
};

// "File <path> is read-only. Do you want it to be replaced?"
std::string ReadOnlyQuestionText(std::u16string_view path);

// y/yes, n/no, a/"yes to all", s/"no to all", any case, blanks around them
// ignored; nothing for anything else.
std::optional<ReadOnlyAnswer> ParseReadOnlyAnswer(std::string_view reply);

// Asks on standard error and reads the answer from standard input until it is
// one of the four; the end of input (or a read cut short by Ctrl-C) answers
// "no to all", since no further answer can come.
class CTerminalQuestion : public IReadOnlyQuestion {
 public:
  ReadOnlyAnswer Ask(const std::u16string& path) override;
};

}  // namespace cli
