// Code-page conversion, lower-casing, the letter/digit test and the wildcard
// matcher, as one set of tables for both platform implementations.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace {

using platform::CodePage;

TEST(TextTest, AnsiCodePageRoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::u16string text = platform::Decode(CodePage::kAnsi, all);
  ASSERT_EQ(text.size(), 256u);
  bool lossless = false;
  EXPECT_EQ(platform::Encode(CodePage::kAnsi, text, &lossless), all);
  EXPECT_TRUE(lossless);
}

TEST(TextTest, AnsiCodePageIs1252) {
  struct Case { unsigned char byte; char16_t ch; } cases[] = {
      {0x41, u'A'}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F},
      {0x90, 0x0090}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xE9, 0x00E9}, {0xFF, 0x00FF}};
  for (const auto& c : cases) {
    std::string byte(1, static_cast<char>(c.byte));
    EXPECT_EQ(platform::Decode(CodePage::kAnsi, byte), std::u16string(1, c.ch)) << int(c.byte);
  }
}

TEST(TextTest, EncodingReportsCharactersMissingFromTheCodePage) {
  struct Case { std::u16string text; CodePage page; bool lossless; } cases[] = {
      {u"plain", CodePage::kAnsi, true},
      {u"caf\u00e9 \u20ac", CodePage::kAnsi, true},
      {u"\u0142\u00f3d\u017a", CodePage::kAnsi, false},  // Polish l-stroke is not in 1252
      {u"\u4e2d\u6587", CodePage::kAnsi, false},
      {u"\u4e2d\u6587", CodePage::kUtf8, true},
      {u"\U0001F600", CodePage::kUtf8, true},
      {std::u16string(1, char16_t(0xD800)), CodePage::kUtf8, false},
  };
  for (const auto& c : cases) {
    bool lossless = !c.lossless;
    std::string bytes = platform::Encode(c.page, c.text, &lossless);
    EXPECT_EQ(lossless, c.lossless) << platform::ToUtf8(c.text);
    if (c.lossless) {
      EXPECT_EQ(platform::Decode(c.page, bytes), c.text);
    }
  }
}

TEST(TextTest, Utf8Decoding) {
  struct Case { std::string bytes; std::u16string text; } cases[] = {
      {"abc", u"abc"},
      {"\xC3\xA9t\xC3\xA9", u"\u00e9t\u00e9"},
      {"\xE2\x82\xAC", u"\u20ac"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"a\xFF" "b", u"a\uFFFDb"},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::Decode(CodePage::kUtf8, c.bytes), c.text);

  // Decoders differ in how many replacement characters a bad sequence yields;
  // what matters is that nothing but U+FFFD comes out (no surrogate leaks).
  const std::string invalid[] = {"\xC0\xAF", "\xED\xA0\x80", "\xF8\x88\x80\x80\x80"};
  for (const auto& bytes : invalid) {
    std::u16string got = platform::Decode(CodePage::kUtf8, bytes);
    ASSERT_FALSE(got.empty());
    for (char16_t ch : got) EXPECT_EQ(ch, 0xFFFD) << bytes.size();
  }
}

// Decoding a stream cut at every possible place gives the text of a whole
// decode: a character split by a block boundary is carried and decoded whole.
TEST(TextTest, StreamDecoderCarriesCutCharactersAtEverySplit) {
  const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z\xE4\xB8\xAD";
  const std::u16string whole = platform::Decode(CodePage::kUtf8, utf8);
  for (std::size_t block = 1; block <= utf8.size(); ++block) {
    platform::StreamDecoder decoder(CodePage::kUtf8);
    std::u16string out;
    for (std::size_t at = 0; at < utf8.size(); at += block)
      decoder.Decode(std::string_view(utf8).substr(at, block), out);
    decoder.Finish(out);
    EXPECT_EQ(out, whole) << "block size " << block;
  }
}

TEST(TextTest, IncompleteTail) {
  struct Case { std::string bytes; std::size_t tail; } cases[] = {
      {"", 0}, {"abc", 0}, {"a\xC3", 1}, {"a\xC3\xA9", 0}, {"\xE2\x82", 2},
      {"\xE2\x82\xAC", 0}, {"\xF0\x9F\x98", 3}, {"\xF0\x9F\x98\x80", 0},
      {"\x80\x80", 0},  // stray continuation bytes are decoded, not held
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::IncompleteTail(CodePage::kUtf8, c.bytes), c.tail) << c.bytes.size();
  EXPECT_EQ(platform::IncompleteTail(CodePage::kAnsi, "a\xC3"), 0u);
}

TEST(TextTest, LowerCasing) {
  struct Case { char16_t in, out; } cases[] = {
      {u'A', u'a'}, {u'z', u'z'}, {u'1', u'1'}, {u'_', u'_'}, {0x00C4, 0x00E4},
      {0x00C9, 0x00E9}, {0x03A3, 0x03C3}, {0x0416, 0x0436}, {0x0100, 0x0101},
      {0x00DF, 0x00DF}, {0x4E2D, 0x4E2D}, {0xD800, 0xD800}};
  std::u16string in, expected;
  for (const auto& c : cases) {
    EXPECT_EQ(platform::LowerChar(c.in), c.out) << int(c.in);
    in.push_back(c.in);
    expected.push_back(c.out);
  }
  platform::LowerBuffer(in.data(), in.size());
  EXPECT_EQ(in, expected);
}

TEST(TextTest, AlphaNumeric) {
  const std::u16string yes = u"azAZ09\u00e9\u00c4\u0436\u4e2d\u0663";
  const std::u16string no = u"_ -.,;\t\r\n\u00a0!\u2014";
  for (char16_t c : yes) EXPECT_TRUE(platform::IsAlphaNumeric(c)) << int(c);
  for (char16_t c : no) EXPECT_FALSE(platform::IsAlphaNumeric(c)) << int(c);
}

TEST(TextTest, PathMatchSpec) {
  struct Case { std::u16string name, spec; bool match; } cases[] = {
      {u"abc", u"*.*", true},       {u"a.b.c", u"*.*", true},     {u"abc", u"*.", false},
      {u"abc.txt", u"*.txt", true}, {u"ABC.TXT", u"*.txt", true}, {u"abc.txt", u"*.doc", false},
      {u"abc.txt", u"a?c.*", true}, {u"ac.txt", u"a?c.*", false}, {u"x.doc", u".doc", false},
      {u".doc", u".doc", true},     {u"a.doc", u"*.txt; *.doc", true},
      {u"a.doc", u"*.txt;*.doc", true}, {u"a.doc", u"*.txt", false},
      {u"notes.txt.bak", u"*.bak", true}, {u"\u00c9t\u00e9.txt", u"\u00e9T\u00c9*", true},
      {u"abc", u"", false},         {u"abc", u"*", true},         {u"", u"*", true},
      {u"aXbXc", u"a*b*c", true},   {u"aXbX", u"a*b*c", false}};
  for (const auto& c : cases)
    EXPECT_EQ(platform::PathMatchSpec(c.name, c.spec), c.match)
        << platform::ToUtf8(c.name) << " ~ " << platform::ToUtf8(c.spec);
}

}  // namespace
