// Win32-only text cases: the double-byte walk behind IncompleteTail, and
// the look-alike characters that WideCharToMultiByte writes silently.
#include "platform/win/text_win.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "platform/win/wide.h"  // <windows.h> without the macros that rename platform calls

namespace {

// Shift-JIS (932): lead bytes 0x81-0x9F and 0xE0-0xFC, trail bytes 0x40-0xFC,
// so a trail byte can have a lead byte's value and looking back from the end
// cannot tell where the last character starts.
TEST(TextWinTest, DoubleByteTailIsFoundByWalkingFromTheStart) {
  if (!IsValidCodePage(932)) GTEST_SKIP() << "code page 932 is not installed";
  struct Case {
    std::string bytes;
    std::size_t tail;
  } cases[] = {
      {"", 0},
      {"abc", 0},
      {"\x82", 1},
      {"a\x82", 1},
      {"\x82\xA0", 0},  // one whole character
      {"\x82\x82", 0},  // its trail byte has a lead byte's value
      {"\x82\x82\x82", 1},
      {"\x82\x82\x82\x82", 0},
      {"a\x82\x82", 0},
      {"\x81\x40\x82", 1},
      {"\xB1\x82", 1},  // 0xB1 is a single-byte character (katakana)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(platform::win::DbcsIncompleteTail(932, c.bytes), c.tail);
    // What is left after the tail decodes without a replacement character.
    std::string whole = c.bytes.substr(0, c.bytes.size() - c.tail);
    wchar_t out[16];
    int made = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, whole.data(),
                                   static_cast<int>(whole.size()), out, 16);
    EXPECT_TRUE(whole.empty() || made > 0) << "cut inside a character";
  }
}

// The replacer writes what Windows programs write: look-alikes where the
// code page has them. Only the lossless flag tells that the text changed.
TEST(TextWinTest, AnsiEncodingWritesLookAlikesAndReportsThem) {
  struct Case {
    std::u16string text;
    std::string bytes;
    bool lossless;
  } cases[] = {
      {u"caf\u00e9", "caf\xE9", true},
      {u"\u20ac", "\x80", true},
      {u"\u0142", "l", false},  // Latin small l with stroke: best fit "l"
      {u"x\u4e2dy", "x?y", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::ToUtf8(c.text));
    bool lossless = !c.lossless;
    EXPECT_EQ(platform::Encode(platform::CodePage::kAnsi, c.text, &lossless), c.bytes);
    EXPECT_EQ(lossless, c.lossless);
  }
}

}  // namespace
