// Line breaking of a message for a box of limited width. Lines break at
// blanks; a word too long for any line (a path, typically) is broken after
// its path separators, and only a name longer than a whole line is broken
// between characters.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

// The width in pixels that a piece of one line takes when drawn.
using MeasureText = std::function<int(std::u16string_view)>;

// The lines of `text` no wider than `max_width` where that is possible. Line
// ends in the text ("\r\n", "\n", "\r") are kept as line ends; the blanks at
// a break are dropped; a path separator stays at the end of its line.
std::vector<std::u16string> WrapText(std::u16string_view text, int max_width,
                                     const MeasureText& measure);

}  // namespace toolkit
