// Tests of storage/results_file.cpp: the per-tab results files and the
// pending-load mark across restarts.
#include "storage/results_file.h"

#include <gtest/gtest.h>

#include "platform/fs.h"
#include "storage/app_settings.h"
#include "storage_test_util.h"
#include "test_tree.h"

namespace {

using storage_test::DescribeResult;

std::string DescribeRows(const FileResultBatch& rows) {
  std::string out;
  for (const auto& row : rows) out += DescribeResult(*row);
  return out;
}

std::unique_ptr<FileResult> Row(ResultKind kind, std::u16string name, std::uint64_t size,
                                std::int32_t reason) {
  auto row = std::make_unique<FileResult>();
  row->kind = kind;
  row->file_name = std::move(name);
  row->folder = u"C:\\Data\\\u00e9t\u00e9";
  row->size = size;
  row->date_modified = 133485408000000000ull;
  row->type = ExtensionOf(row->file_name);
  row->reason = reason;
  return row;
}

// The rows as LoadResults gives them back: grouped by kind, and without the
// fields the file does not keep.
FileResultBatch Grouped(const FileResultBatch& rows) {
  FileResultBatch out;
  for (ResultKind kind : {ResultKind::kFound, ResultKind::kSkipped, ResultKind::kError})
    for (const auto& row : rows)
      if (row->kind == kind) {
        auto copy = std::make_unique<FileResult>(*row);
        copy->is_folder = false;
        copy->replaces = 0;
        copy->matches.clear();
        copy->error_code = 0;
        out.push_back(std::move(copy));
      }
  return out;
}

class ResultsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InitDataFolderIn(settings_, tree_.root())); }
  const std::u16string& folder() const { return settings_.data_folder; }

  testing_support::TempTree tree_;
  AppSettings settings_;
};

TEST_F(ResultsFileTest, SavedRowsReadBackGroupedByKind) {
  FileResultBatch rows;
  rows.push_back(Row(ResultKind::kSkipped, u"movie.avi", 5, kReasonSkipExtension));
  rows.push_back(Row(ResultKind::kFound, u"big.iso", 4294967296ull * 3 + 5, kReasonNone));
  rows.push_back(Row(ResultKind::kError, u"locked.doc", 0, kReasonOpenError));
  rows.push_back(Row(ResultKind::kFound, u"sub", kFolderSize, kReasonNone));
  rows.push_back(Row(ResultKind::kError, u"deep.txt", 12, kReasonTooComplex));
  rows.push_back(Row(ResultKind::kFound, u"a&b <\"c\"> \U0001F600.txt", 1, kReasonNone));
  rows[1]->is_folder = true;
  rows[1]->replaces = 3;
  rows[1]->matches.resize(2);
  rows[2]->error_code = 32;
  rows[3]->date_modified = 0;
  rows[3]->type.clear();
  ASSERT_TRUE(SaveResults(folder(), rows, 7));
  EXPECT_TRUE(platform::IsExistingFile(tree_.Path(u"Varnel/search_results/7.xml")));

  FileResultBatch loaded;
  ASSERT_TRUE(LoadResults(folder(), 7, loaded));
  EXPECT_EQ(DescribeRows(loaded), DescribeRows(Grouped(rows)));
}

TEST_F(ResultsFileTest, ATabWithoutResultsWritesThreeEmptyLists) {
  EXPECT_EQ(ResultsXml({}),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<results version=\"1\">\n"
            "    <found_results/>\n"
            "    <skipped_results/>\n"
            "    <error_results/>\n"
            "</results>\n");
  FileResult found;
  found.file_name = u"a.txt";
  found.folder = u"C:\\";
  found.size = kFolderSize;
  found.date_modified = 5;
  found.type = u"txt";
  EXPECT_EQ(ResultsXml({&found}),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<results version=\"1\">\n"
            "    <found_results>\n"
            "        <result file_name=\"a.txt\" folder=\"C:\\\" size=\"-1\" "
            "date_modified=\"5\" type=\"txt\" reason=\"0\"/>\n"
            "    </found_results>\n"
            "    <skipped_results/>\n"
            "    <error_results/>\n"
            "</results>\n");
  // A row of no known kind is not written.
  FileResult odd = found;
  odd.kind = static_cast<ResultKind>(9);
  EXPECT_EQ(ResultsXml({&odd}), ResultsXml({}));
}

TEST(ResultsParseTest, HandWrittenFilesReadAsDocumented) {
  struct Case {
    const char* name;
    std::string xml;
    bool result;
    std::string rows;
  };
  const std::string kEmptyLists = "<found_results/><skipped_results/><error_results/>";
  const Case cases[] = {
      {"no file", "", false, ""},
      {"no results root", "<other>" + kEmptyLists + "</other>", false, ""},
      {"no error_results: no rows at all",
       "<results><found_results><result file_name=\"a\"/></found_results>"
       "<skipped_results/></results>",
       false, ""},
      {"missing attributes read as defaults",
       "<results><found_results><result/></found_results><skipped_results><result "
       "file_name=\"s\" type=\"t\"/></skipped_results><error_results/></results>",
       true,
       "2 \"\" \"\" size=0 date=0 type=\"\" reason=0 unsaved=0000\n"
       "3 \"\" \"s\" size=0 date=0 type=\"t\" reason=0 unsaved=0000\n"},
      {"lists in any order, unknown elements ignored; rows come back found first",
       "<results version=\"9\"><error_results><result reason=\"200x\"/><note/></error_results>"
       "<extra/><skipped_results/><found_results><result size=\"-1\" "
       "date_modified=\"18446744073709551615\"/><row/></found_results></results>",
       true,
       "2 \"\" \"\" size=18446744073709551615 date=18446744073709551615 type=\"\" reason=0 "
       "unsaved=0000\n"
       "4 \"\" \"\" size=0 date=0 type=\"\" reason=200 unsaved=0000\n"},
      {"truncated", "<results>" + kEmptyLists, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FileResultBatch rows;
    rows.push_back(std::make_unique<FileResult>());
    EXPECT_EQ(ParseResults(c.xml, rows), c.result);
    EXPECT_EQ(DescribeRows(rows), c.rows);
  }
}

TEST_F(ResultsFileTest, FilesAreNamedByTabId) {
  const std::u16string sep(1, platform::kPathSeparator);
  EXPECT_EQ(ResultsPath(folder(), 3), folder() + u"search_results" + sep + u"3.xml");
  EXPECT_EQ(ResultsPath(folder(), 2147483647),
            folder() + u"search_results" + sep + u"2147483647.xml");
  FileResultBatch rows;
  EXPECT_FALSE(SaveResults(folder(), rows, 0));
  EXPECT_FALSE(SaveResults(u"", rows, 1));
  EXPECT_FALSE(LoadResults(folder(), 5, rows));
}

TEST_F(ResultsFileTest, ANeverShownRestoredTabKeepsItsResultsAcrossTwoRestarts) {
  FileResultBatch rows;
  rows.push_back(Row(ResultKind::kFound, u"kept.txt", 10, kReasonNone));
  ASSERT_TRUE(SaveResults(folder(), rows, 4));
  const std::string expected = DescribeRows(Grouped(rows));

  for (int restart = 0; restart < 2; ++restart) {
    SCOPED_TRACE(restart);
    // Restored, never shown: its lists are empty, and shutdown keeps the file.
    CPendingResults page(true);
    EXPECT_TRUE(page.Save(folder(), FileResultBatch(), 4));
  }
  CPendingResults shown(true);
  FileResultBatch loaded;
  EXPECT_TRUE(shown.TakeRows(folder(), 4, loaded));
  EXPECT_EQ(DescribeRows(loaded), expected);
  EXPECT_FALSE(shown.pending());
  // Read at most once per run.
  EXPECT_FALSE(shown.TakeRows(folder(), 4, loaded));
  EXPECT_TRUE(loaded.empty());
  // Once shown, the page's lists are the truth and are written.
  ASSERT_TRUE(shown.Save(folder(), FileResultBatch(), 4));
  ASSERT_TRUE(LoadResults(folder(), 4, loaded));
  EXPECT_TRUE(loaded.empty());
}

TEST_F(ResultsFileTest, ANewTabNeverReadsALeftoverFileWithItsId) {
  FileResultBatch rows;
  rows.push_back(Row(ResultKind::kFound, u"closed-tab.txt", 10, kReasonNone));
  ASSERT_TRUE(SaveResults(folder(), rows, 2));
  CPendingResults new_page;
  FileResultBatch loaded;
  EXPECT_FALSE(new_page.TakeRows(folder(), 2, loaded));
  EXPECT_TRUE(loaded.empty());
}

TEST_F(ResultsFileTest, ARestoredTabWithoutFileShowsEmptyLists) {
  CPendingResults page(true);
  FileResultBatch loaded;
  EXPECT_FALSE(page.TakeRows(folder(), 8, loaded));
  EXPECT_FALSE(page.pending());
  EXPECT_TRUE(loaded.empty());
}

}  // namespace
