// The program's command line and what one instance hands to the instance
// already running (the WM_COPYDATA buffer), read within its stated size only.
// Tested by tests/app/logic/app_logic_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct CommandLine {
  bool autorun = false;   // "-autorun": start hidden in the notification area
  std::u16string folder;  // a folder to open a tab for; empty when none
};

// Only the first argument counts (`arguments` excludes the program's own
// name). "-autorun" is compared exactly; anything else is a folder whose one
// final double-quote is dropped: for a quoted drive root ("C:\") the shell
// passes C: followed by a double-quote, the backslash having escaped the
// closing quote. An argument that leaves no text names no folder.
CommandLine ParseCommandLine(const std::vector<std::u16string>& arguments);

// What a second instance hands over: the folder, or an empty text after
// "-autorun"; nothing when it was started without an argument (it then only
// brings the running window to the front).
std::optional<std::u16string> HandOverText(const CommandLine& command_line);

inline constexpr std::uint8_t kHandOverMark = 1;

// The buffer: the mark byte, the text as UTF-16 (little-endian, so at an odd
// offset) with its terminating zero, and one pad byte, so that its size is
// twice the text's length plus 4.
std::vector<std::uint8_t> EncodeHandOver(std::u16string_view text);

// The text of a received buffer. Refused: no data, a first byte other than
// the mark, an odd size, or no terminating zero within `size`. The text ends
// at its first zero.
[[nodiscard]] bool DecodeHandOver(const void* data, std::size_t size, std::u16string& text);

}  // namespace app
