// The content reader: byte-order marks, decoding, pieces with their offsets
// and line indexes, and context reads that complete a cut character.
#include "engine/content_reader.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "test_tree.h"

namespace {

using engine_test::U8;
using engine_test::Variant;
using testing_support::TempTree;

struct ReadResult {
  bool opened = false;
  std::u16string text;
  std::vector<ContentReader::Piece> pieces;  // views into the reader: only offsets used
  std::vector<std::u16string> piece_texts;
};

ReadResult ReadAll(ContentReader& reader, const std::u16string& path, bool null_check,
                   const TextEncoding* forced = nullptr) {
  ReadResult out;
  out.opened = reader.Open(path, null_check, forced);
  ContentReader::Piece piece;
  while (out.opened && reader.NextPiece(piece)) {
    out.text += piece.text;
    out.pieces.push_back(piece);
    out.piece_texts.emplace_back(piece.text);
  }
  return out;
}

TEST(ContentReaderTest, ByteOrderMarkChoosesTheEncoding) {
  const TextEncoding le = TextEncoding::kUtf16Le, be = TextEncoding::kUtf16Be;
  struct Case {
    std::string bytes;
    const TextEncoding* forced;
    TextEncoding encoding;
    std::uint32_t mark;
    std::u16string text;
  } cases[] = {
      {std::string("\xFF\xFE\0\0A\0\0\0", 8), nullptr, TextEncoding::kUtf32Le, 4, u"A"},
      {std::string("\xFF\xFE\0\0", 4), nullptr, TextEncoding::kUtf32Le, 4, u""},
      {std::string("\0\0\xFE\xFF\0\0\0A", 8), nullptr, TextEncoding::kUtf32Be, 4, u"A"},
      {"\xEF\xBB\xBF\xC3\xA9", nullptr, TextEncoding::kUtf8, 3, u"\u00e9"},
      {std::string("\xFF\xFE"
                   "A\0B\0",
                   6),
       nullptr, TextEncoding::kUtf16Le, 2, u"AB"},
      {std::string("\xFF\xFE\0", 3), nullptr, TextEncoding::kUtf16Le, 2, u""},
      {std::string("\xFE\xFF\0A", 4), nullptr, TextEncoding::kUtf16Be, 2, u"A"},
      {"\xEF\xBB", nullptr, TextEncoding::kAnsi, 0, u"\u00ef\u00bb"},
      {"", nullptr, TextEncoding::kAnsi, 0, u""},
      {std::string("A\0B\0", 4), nullptr, TextEncoding::kAnsi, 0, std::u16string(u"A\0B\0", 4)},
      // A forced encoding applies only to a file without a mark.
      {std::string("\0A", 2), &be, TextEncoding::kUtf16Be, 0, u"A"},
      {std::string("\xFE\xFF\0A", 4), &le, TextEncoding::kUtf16Be, 2, u"A"},
      {"\xEF\xBB\xBFxy", &le, TextEncoding::kUtf8, 3, u"xy"},
  };
  TempTree tree;
  ContentReader reader;
  for (const auto& c : cases) {
    std::u16string path = tree.Write(u"f.txt", c.bytes);
    ReadResult r = ReadAll(reader, path, false, c.forced);
    ASSERT_TRUE(r.opened) << "case " << (&c - cases);
    EXPECT_EQ(reader.encoding(), c.encoding) << "case " << (&c - cases);
    EXPECT_EQ(reader.mark_length(), c.mark) << "case " << (&c - cases);
    EXPECT_EQ(r.text, c.text) << "case " << (&c - cases);
    EXPECT_EQ(reader.error_kind(), ResultKind::kNone) << "case " << (&c - cases);
    reader.Close();
  }
}

TEST(ContentReaderTest, MissingFileIsAnOpenError) {
  TempTree tree;
  ContentReader reader;
  EXPECT_FALSE(reader.Open(tree.Path(u"missing.txt"), true, nullptr));
  EXPECT_EQ(reader.error_kind(), ResultKind::kError);
  EXPECT_EQ(reader.reason(), 200);
}

// Whatever the encoding and wherever a line end or a multi-byte character
// falls against the 1024-byte blocks: the pieces put together are the
// content, each piece's offsets are exact, and only CR LF counts lines.
TEST(ContentReaderTest, PiecesCoverTheContentWithExactOffsetsAndLineIndexes) {
  TempTree tree;
  ContentReader reader;
  for (const Variant& variant : engine_test::Variants()) {
    for (bool crlf : {true, false}) {
      engine_test::ForEachLayout(
          variant, crlf, engine_test::WithLineEnds(u"\u20ac\n\n\u20ac", crlf),
          [&](std::size_t k, const std::u16string& text) {
            std::u16string path = engine_test::WriteFresh(tree, u"f.txt", variant.Bytes(text));
            std::u16string content = variant.Content(text);
            ReadResult r = ReadAll(reader, path, true);
            reader.Close();
            SCOPED_TRACE(std::string(variant.name) + (crlf ? " CR LF" : " LF") + " prefix " +
                         std::to_string(k));
            ASSERT_EQ(r.text, content);
            std::size_t offset = 0, lines = 0;
            for (std::size_t i = 0; i < r.pieces.size(); ++i) {
              const auto& p = r.pieces[i];
              const auto& piece = r.piece_texts[i];
              ASSERT_EQ(p.char_offset, offset);
              std::size_t bytes =
                  variant.MarkLength() +
                  engine_test::EncodeAs(variant.read, content.substr(0, offset)).size();
              ASSERT_EQ(p.byte_offset, bytes) << "piece " << i;
              ASSERT_EQ(p.line_index, lines) << "piece " << i;
              for (std::size_t at = piece.find(u"\r\n"); at != std::u16string::npos;
                   at = piece.find(u"\r\n", at + 1))
                ++lines;
              // A piece ends at the first CR LF it holds.
              std::size_t first = piece.find(u"\r\n");
              ASSERT_TRUE(first == std::u16string::npos || first + 2 == piece.size()) << i;
              offset += piece.size();
            }
          });
    }
  }
}

TEST(ContentReaderTest, ContextReadCompletesACharacterCutAtItsEnd) {
  struct Case {
    Variant variant;
    std::u16string text;
    std::uint64_t offset;  // from the start of the content
    std::size_t size;
    std::u16string expected;
  } cases[] = {
      {engine_test::Variants()[1], u"ab\u20acc", 0, 3, u"ab\u20ac"},
      {engine_test::Variants()[1], u"ab\u20acc", 0, 2, u"ab"},
      {engine_test::Variants()[1], u"a\u00e9\u20ac", 1, 3, u"\u00e9\u20ac"},
      {engine_test::Variants()[3], u"a\U0001F600b", 0, 4, u"a\U0001F600"},
      {engine_test::Variants()[4], u"a\U0001F600b", 2, 2, u"\U0001F600"},
      {engine_test::Variants()[0], u"abc", 1, 10, u"bc"},
  };
  TempTree tree;
  ContentReader reader;
  for (const auto& c : cases) {
    std::string bytes = c.variant.mark ? engine_test::Mark(c.variant.written) : "";
    // Surrogate pairs are two units in UTF-16 and written unit by unit.
    bytes += engine_test::EncodeAs(c.variant.written, c.text);
    std::u16string path = tree.Write(u"f.txt", bytes);
    ASSERT_TRUE(reader.Open(path, false, nullptr));
    std::u16string out;
    ASSERT_TRUE(reader.ReadDecoded(c.variant.MarkLength() + c.offset, c.size, out));
    EXPECT_EQ(U8(out), U8(c.expected)) << "case " << (&c - cases);
    reader.Close();
  }
}

}  // namespace
