// The command line and the hand-over buffer (see command_line.h).
// Tested by tests/app/logic/app_logic_test.cpp.
#include "app/logic/command_line.h"

namespace app {

CommandLine ParseCommandLine(const std::vector<std::u16string>& arguments) {
  CommandLine result;
  if (arguments.empty()) return result;
  const std::u16string& first = arguments.front();
  if (first == u"-autorun") {
    result.autorun = true;
    return result;
  }
  result.folder = first;
  if (!result.folder.empty() && result.folder.back() == u'"') result.folder.pop_back();
  return result;
}

std::optional<std::u16string> HandOverText(const CommandLine& command_line) {
  if (command_line.autorun) return std::u16string();
  if (command_line.folder.empty()) return std::nullopt;
  return command_line.folder;
}

std::vector<std::uint8_t> EncodeHandOver(std::u16string_view text) {
  std::vector<std::uint8_t> buffer(text.size() * 2 + 4, 0);
  buffer[0] = kHandOverMark;
  std::size_t at = 1;
  for (char16_t unit : text) {
    buffer[at++] = static_cast<std::uint8_t>(unit & 0xFF);
    buffer[at++] = static_cast<std::uint8_t>(unit >> 8);
  }
  // The terminating zero and the pad byte are already zero.
  return buffer;
}

bool DecodeHandOver(const void* data, std::size_t size, std::u16string& text) {
  text.clear();
  if (data == nullptr || size == 0 || size % 2 != 0) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (bytes[0] != kHandOverMark) return false;
  std::u16string read;
  // Units start at offset 1; a unit counts only when both its bytes lie
  // within the stated size.
  for (std::size_t at = 1; at + 1 < size; at += 2) {
    const auto unit = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
    if (unit == 0) {
      text = std::move(read);
      return true;
    }
    read.push_back(unit);
  }
  return false;
}

}  // namespace app
