// Platform-independent helpers behind fs.h and process.h: the long-path prefix
// and the quoting of command-line arguments.
// Tested by tests/platform/fs_test.cpp and process_test.cpp.
#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/process.h"

namespace platform {

namespace {
constexpr std::size_t kMaxPath = 260;

bool IsSlash(char16_t c) { return c == u'\\' || c == u'/'; }
}  // namespace

std::u16string ExtendedLengthPath(std::u16string_view path) {
  // Win32 file calls stop at MAX_PATH (260 characters including the final
  // NUL) unless the path carries the "\\?\" prefix; a prefixed path must be
  // absolute and use backslashes only, since the system no longer normalises it.
  if (path.size() < kMaxPath - 1 || path.starts_with(u"\\\\?\\")) return std::u16string(path);
  bool drive = path.size() >= 3 && path[1] == u':' && IsSlash(path[2]);
  bool unc = path.size() >= 3 && IsSlash(path[0]) && IsSlash(path[1]) && !IsSlash(path[2]);
  if (!drive && !unc) return std::u16string(path);
  std::u16string out = drive ? u"\\\\?\\" : u"\\\\?\\UNC\\";
  std::u16string_view rest = drive ? path : path.substr(2);
  for (char16_t c : rest) out.push_back(c == u'/' ? u'\\' : c);
  return out;
}

std::u16string QuoteArgument(std::u16string_view argument) {
  if (!argument.empty() && argument.find_first_of(u" \t\n\v\"") == std::u16string_view::npos)
    return std::u16string(argument);
  std::u16string out = u"\"";
  std::size_t backslashes = 0;
  for (char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a quote: there each one is doubled and
    // the quote itself escaped.
    out.append(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
    out.push_back(c);
    backslashes = 0;
  }
  // Before the closing quote they would escape it: doubled.
  out.append(2 * backslashes, u'\\');
  out.push_back(u'"');
  return out;
}

std::u16string JoinArguments(const std::vector<std::u16string>& arguments) {
  std::u16string out;
  for (const auto& argument : arguments) {
    if (!out.empty()) out.push_back(u' ');
    out += QuoteArgument(argument);
  }
  return out;
}

}  // namespace platform
