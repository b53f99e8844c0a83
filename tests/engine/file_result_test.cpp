// Reason texts and the extension rule of result records.
#include "engine/file_result.h"

#include <gtest/gtest.h>

namespace {

TEST(FileResultTest, ReasonTextDependsOnKindAndCodeAndAppendsTheErrorCode) {
  struct Case {
    ResultKind kind;
    std::int32_t reason;
    std::uint32_t error_code;
    std::u16string text;
  } cases[] = {
      {ResultKind::kSkipped, 100, 0, u"File extension is in the skip list"},
      {ResultKind::kSkipped, 101, 0, u"File contains a NULL character"},
      {ResultKind::kSkipped, 102, 0, u"Replace in this type of files is unsupported"},
      {ResultKind::kError, 200, 2, u"File open error (error=0x2)"},
      {ResultKind::kError, 203, 0, u"Failed to create to write to temporary file"},
      {ResultKind::kError, 205, 0x80004001u, u"IFilter failed (error=0x80004001)"},
      {ResultKind::kError, 207, 0xABCu, u"Failed to convert to plain text (error=0xabc)"},
      // A code the kind does not have gives no text.
      {ResultKind::kError, 101, 0, u""},
      {ResultKind::kSkipped, 200, 0, u""},
      {ResultKind::kFound, 0, 0, u""},
      {ResultKind::kError, 299, 5, u" (error=0x5)"},
      // A failed rewrite keeps its record found and says why, in words.
      {ResultKind::kFound, kReasonReplaceWrite, 112,
       u"Replace failed: cannot write the temporary file: There is not enough space on the disk "
       u"(error=0x70)"},
      {ResultKind::kFound, kReasonReplaceChanged, 0,
       u"Replace failed: the file was changed by another program meanwhile"},
      {ResultKind::kFound, kReasonReadError, 0x1e, u"File read error (error=0x1e)"},
      {ResultKind::kSkipped, kReasonReplaceWrite, 0, u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReasonText(c.kind, c.reason, c.error_code), c.text) << "case " << (&c - cases);
}

TEST(FileResultTest, ExtensionIsTheTextAfterTheLastDot) {
  struct Case {
    std::u16string name, extension;
  } cases[] = {
      {u"notes.txt", u"txt"}, {u"archive.tar.GZ", u"GZ"}, {u"trailing.", u""},
      {u"README", u""},       {u".profile", u"profile"},  {u"a.b.c.", u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExtensionOf(c.name), c.extension) << "case " << (&c - cases);
}

}  // namespace
