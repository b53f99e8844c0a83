// Internals of text_win.cpp that tests/platform/text_win_test.cpp reaches
// directly: the process's ANSI code page is fixed (1252 under Wine), so the
// double-byte walk is tested with an explicit code page.
#pragma once
#include <cstddef>
#include <string_view>

namespace platform::win {

// Length of a lead byte left without its trail byte at the end of `bytes`
// in the double-byte code page `code_page` (0 or 1).
std::size_t DbcsIncompleteTail(unsigned code_page, std::string_view bytes);

}  // namespace platform::win
