// Platform-independent helpers behind fs.h and process.h: the long-path prefix
// and the splitting of a parameter text.
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

std::vector<std::u16string> SplitParameters(std::u16string_view parameters) {
  // Blanks separate arguments; a double quote toggles grouping and is dropped.
  std::vector<std::u16string> args;
  std::u16string current;
  bool in_quotes = false, has_arg = false;
  for (char16_t c : parameters) {
    if (c == u'"') {
      in_quotes = !in_quotes;
      has_arg = true;
    } else if ((c == u' ' || c == u'\t') && !in_quotes) {
      if (has_arg) args.push_back(std::move(current));
      current.clear();
      has_arg = false;
    } else {
      current.push_back(c);
      has_arg = true;
    }
  }
  if (has_arg) args.push_back(std::move(current));
  return args;
}

}  // namespace platform
