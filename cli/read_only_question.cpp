// The read-only question on the terminal.
// Tested by tests/cli/read_only_question_test.cpp.
#include "cli/read_only_question.h"

#include <cctype>

#include "platform/console.h"
#include "platform/text.h"

namespace cli {
namespace {

constexpr char kQuestion[] = "File %s is read-only. Do you want it to be replaced?";
constexpr char kChoices[] = " [y]es, [n]o, yes to [a]ll, no to all [s]: ";

std::string Normalized(std::string_view reply) {
  while (!reply.empty() && std::isspace(static_cast<unsigned char>(reply.front())))
    reply.remove_prefix(1);
  while (!reply.empty() && std::isspace(static_cast<unsigned char>(reply.back())))
    reply.remove_suffix(1);
  std::string out;
  for (char c : reply)
    out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  return out;
}

}  // namespace

std::string ReadOnlyQuestionText(std::u16string_view path) {
  std::string text = kQuestion;
  text.replace(text.find("%s"), 2, platform::PathToBytes(path));
  return text;
}

std::optional<ReadOnlyAnswer> ParseReadOnlyAnswer(std::string_view reply) {
  std::string r = Normalized(reply);
  if (r == "y" || r == "yes") return ReadOnlyAnswer::kReplace;
  if (r == "n" || r == "no") return ReadOnlyAnswer::kSkip;
  if (r == "a" || r == "yes to all") return ReadOnlyAnswer::kReplaceAll;
  if (r == "s" || r == "no to all") return ReadOnlyAnswer::kSkipAll;
  return std::nullopt;
}

ReadOnlyAnswer CTerminalQuestion::Ask(const std::u16string& path) {
  platform::FlushText(platform::Stream::kOut);
  std::string prompt = ReadOnlyQuestionText(path) + kChoices;
  for (;;) {
    platform::WriteText(platform::Stream::kErr, prompt);
    platform::FlushText(platform::Stream::kErr);
    std::string line;
    if (!platform::ReadLine(line)) {
      platform::WriteText(platform::Stream::kErr, "\n");
      return ReadOnlyAnswer::kSkipAll;
    }
    if (auto answer = ParseReadOnlyAnswer(line)) return *answer;
  }
}

}  // namespace cli
