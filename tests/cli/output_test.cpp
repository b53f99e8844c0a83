// varnel-cli's output formats: JSON strings, text and JSON results, match
// lists and summaries.
#include "cli/output.h"

#include <gtest/gtest.h>

#include "platform/fs.h"
#include "platform/text.h"
#include "recording_sink.h"

namespace {

using cli::CResultPrinter;
using testing_support::CRecordingSink;

TEST(OutputTest, JsonString) {
  struct Case {
    std::u16string in;
    std::string out;
  } cases[] = {
      {u"", "\"\""},
      {u"plain.txt", "\"plain.txt\""},
      {u"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
      {u"\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
      {std::u16string(u"\0\x01\x1f ", 4), "\"\\u0000\\u0001\\u001f \""},
      {u"\x7f", "\"\x7f\""},
      {u"\u00e9\u20ac", "\"\xc3\xa9\xe2\x82\xac\""},
      {u"\U0001F600", "\"\xf0\x9f\x98\x80\""},
      {u"\U00010000\U0010FFFF", "\"\xf0\x90\x80\x80\xf4\x8f\xbf\xbf\""},
      // Lone surrogates have no UTF-8 form.
      {u"a\xd800", "\"a\\ud800\""},
      {u"\xdc00z", "\"\\udc00z\""},
      {u"\xd83d\xd83d\xde00", "\"\\ud83d\xf0\x9f\x98\x80\""},
      {u"\xdbff\x41", "\"\\udbff\x41\""},
      {u"\xde00\xd83d", "\"\\ude00\\ud83d\""},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::JsonString(c.in), c.out);
}

TEST(OutputTest, FullPathAddsOneSeparator) {
  const std::u16string sep(1, platform::kPathSeparator);
  FileResult in_folder;
  in_folder.folder = u"top" + sep + u"sub";
  in_folder.file_name = u"f.txt";
  EXPECT_EQ(cli::FullPath(in_folder), u"top" + sep + u"sub" + sep + u"f.txt");
  FileResult in_root;
  in_root.folder = u"C:" + sep;
  in_root.file_name = u"f.txt";
  EXPECT_EQ(cli::FullPath(in_root), u"C:" + sep + u"f.txt");
}

std::unique_ptr<FileResult> Result(ResultKind kind, std::int32_t reason = 0,
                                   std::uint32_t error_code = 0) {
  auto r = std::make_unique<FileResult>();
  r->folder = u"d";
  r->file_name = u"n\u00e9.txt";
  r->type = u"txt";
  r->size = 42;
  r->date_modified = 133000000000000000ULL;
  r->kind = kind;
  r->reason = reason;
  r->error_code = error_code;
  return r;
}

MatchList TwoMatches() {
  return {{3, u"say \"hi\" ...", {{4, 4}}, 17}, {9, u"tab\tend ...", {{0, 3}, {5, 2}}, 80}};
}

TEST(OutputTest, TextResultsGoToTheirStreamsWithReasons) {
  const std::string path =
      "d" + platform::ToUtf8(std::u16string(1, platform::kPathSeparator)) + "n\xc3\xa9.txt";
  CRecordingSink sink;
  CResultPrinter printer(sink, false, false);
  MatchList matches = TwoMatches();
  printer.Print(*Result(ResultKind::kFound), matches);
  printer.Print(*Result(ResultKind::kSkipped, kReasonNullCharacter), std::nullopt);
  printer.Print(*Result(ResultKind::kError, kReasonOpenError, 2), std::nullopt);
  printer.Print(*Result(ResultKind::kFound), std::nullopt);
  printer.EndBatch();
  printer.PrintSummary(true);
  EXPECT_EQ(sink.out,
            path + "\n  3: say \"hi\" ...\n  9: tab\tend ...\n" + path + "\n<flush><flush>");
  EXPECT_EQ(sink.err, "skipped: " + path + ": File contains a NULL character\n" + "error: " + path +
                          ": File open error (error=0x2)\n<flush>" +
                          "2 files found, 1 skipped, 1 errors (canceled)\n<flush>");
}

TEST(OutputTest, AFailedRewriteIsReportedAndCounted) {
  CRecordingSink sink;
  CResultPrinter printer(sink, false, true);
  auto ok = Result(ResultKind::kFound);
  ok->replaces = 2;
  auto failed = Result(ResultKind::kFound);
  failed->replaces = -1;
  printer.Print(*ok, std::nullopt);
  printer.Print(*failed, std::nullopt);
  printer.PrintSummary(false);
  EXPECT_EQ(printer.counts().replace_failed, 1u);
  EXPECT_NE(sink.err.find(": replacement failed\n"), std::string::npos) << sink.err;
  EXPECT_NE(sink.err.find("2 files found, 0 skipped, 0 errors, 1 replacements failed\n"),
            std::string::npos)
      << sink.err;

  CRecordingSink find_sink;
  CResultPrinter find_printer(find_sink, false, false);
  find_printer.Print(*failed, std::nullopt);  // -1 means nothing outside a replace run
  EXPECT_EQ(find_printer.counts().replace_failed, 0u);
  EXPECT_EQ(find_sink.err, "");
}

TEST(OutputTest, JsonObjectsCarryEveryFieldAndTheSummaryComesLast) {
  CRecordingSink sink;
  CResultPrinter printer(sink, true, false);
  MatchList matches = TwoMatches();
  printer.Print(*Result(ResultKind::kFound), std::span<const MatchEntry>(matches.data(), 1));
  auto folder = Result(ResultKind::kFound);
  folder->is_folder = true;
  folder->size = kFolderSize;
  folder->type = u"";
  printer.Print(*folder, std::nullopt);
  printer.Print(*Result(ResultKind::kError, kReasonFilter, 0x80004005u), std::nullopt);
  printer.PrintSummary(false);
  const std::string folder_json = cli::JsonString(u"d");
  EXPECT_EQ(
      sink.out,
      "{\"kind\": \"found\", \"folder\": \"d\", \"file_name\": \"n\xc3\xa9.txt\", \"size\": 42, "
      "\"is_folder\": false, \"type\": \"txt\", \"date_modified\": 133000000000000000, "
      "\"replaces\": 0, \"reason\": 0, \"reason_text\": \"\", \"error_code\": 0, "
      "\"matches\": [{\"line\": 3, \"position\": 17, \"text\": \"say \\\"hi\\\" ...\", "
      "\"highlights\": [[4, 4]]}]}\n"
      "{\"kind\": \"found\", \"folder\": \"d\", \"file_name\": \"n\xc3\xa9.txt\", "
      "\"size\": 18446744073709551615, \"is_folder\": true, \"type\": \"\", "
      "\"date_modified\": 133000000000000000, \"replaces\": 0, \"reason\": 0, "
      "\"reason_text\": \"\", \"error_code\": 0}\n"
      "{\"kind\": \"error\", \"folder\": \"d\", \"file_name\": \"n\xc3\xa9.txt\", \"size\": 42, "
      "\"is_folder\": false, \"type\": \"txt\", \"date_modified\": 133000000000000000, "
      "\"replaces\": 0, \"reason\": 205, \"reason_text\": \"IFilter failed (error=0x80004005)\", "
      "\"error_code\": 2147500037}\n"
      "{\"summary\": {\"found\": 2, \"skipped\": 0, \"errors\": 1, \"canceled\": false}}\n"
      "<flush>");
  EXPECT_EQ(sink.err, "<flush>") << "nothing but JSON is written in JSON mode";
}

TEST(OutputTest, JsonMatchesOfAReplaceRunAndItsSummary) {
  CRecordingSink sink;
  CResultPrinter printer(sink, true, true);
  auto r = Result(ResultKind::kFound);
  r->replaces = -1;
  MatchList matches = TwoMatches();
  printer.Print(*r, std::span<const MatchEntry>(matches.data() + 1, 1));
  printer.PrintSummary(true);
  EXPECT_NE(sink.out.find("\"replaces\": -1"), std::string::npos);
  EXPECT_NE(
      sink.out.find("\"matches\": [{\"line\": 9, \"position\": 80, \"text\": \"tab\\tend ...\", "
                    "\"highlights\": [[0, 3], [5, 2]]}]"),
      std::string::npos)
      << sink.out;
  EXPECT_NE(sink.out.find("{\"summary\": {\"found\": 1, \"skipped\": 0, \"errors\": 0, "
                          "\"replace_failed\": 1, \"canceled\": true}}\n"),
            std::string::npos)
      << sink.out;
}

}  // namespace
