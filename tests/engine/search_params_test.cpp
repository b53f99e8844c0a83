// The search record's list, mask and hex syntax, the date arithmetic and the
// validation that builds a record from what the user entered.
#include "engine/search_params.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/fs.h"
#include "test_tree.h"

namespace {

using Strings = std::vector<std::u16string>;

TEST(SearchParamsTest, SplitListKeepsInnerEmptyPiecesButNotATrailingOne) {
  struct Case {
    std::u16string list;
    Strings pieces;
  } cases[] = {
      {u"", {}},       {u"a", {u"a"}},        {u"a;b", {u"a", u"b"}}, {u"a;;b", {u"a", u"", u"b"}},
      {u"a;", {u"a"}}, {u"a;;", {u"a", u""}}, {u";a", {u"", u"a"}},   {u";", {u""}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitList(c.list), c.pieces) << c.list.size();
}

TEST(SearchParamsTest, FolderListSeparatesExcludedFolders) {
  FolderList folders = ParseFolderList(u"C:\\a;-tmp;;--x;D:\\b");
  EXPECT_EQ(folders.include, (Strings{u"C:\\a", u"", u"D:\\b"}));
  EXPECT_EQ(folders.exclude, (Strings{u"tmp", u"-x"}));
}

TEST(SearchParamsTest, MaskListCountsLeadingDashes) {
  struct Case {
    std::u16string list;
    Strings include, exclude;
  } cases[] = {
      {u"*.txt;-*.bak", {u"*.txt"}, {u"*.bak"}},
      {u"--word", {u"-word"}, {}},
      {u"---word", {}, {u"-word"}},
      {u"----word", {u"--word"}, {}},
      {u";;a;;", {u"a"}, {}},
      {u"-a;b;-c", {u"b"}, {u"a", u"c"}},
  };
  for (const auto& c : cases) {
    MaskList masks = ParseMaskList(c.list);
    EXPECT_EQ(masks.include, c.include) << "include of case " << (&c - cases);
    EXPECT_EQ(masks.exclude, c.exclude) << "exclude of case " << (&c - cases);
  }
}

// Every combination of up to two include and two exclude masks drawn from
// masks with 0 to 3 leading dashes comes back unchanged.
TEST(SearchParamsTest, JoinMaskListIsTheInverseOfParseMaskList) {
  const Strings alphabet = {u"x", u"-x", u"--x", u"---*.t", u"-"};
  std::vector<Strings> lists = {{}};
  for (const auto& a : alphabet) {
    lists.push_back({a});
    for (const auto& b : alphabet) lists.push_back({a, b});
  }
  for (const auto& include : lists) {
    for (const auto& exclude : lists) {
      std::u16string joined = JoinMaskList(include, exclude);
      MaskList back = ParseMaskList(joined);
      EXPECT_EQ(back.include, include) << joined.size();
      EXPECT_EQ(back.exclude, exclude) << joined.size();
    }
  }
  EXPECT_EQ(JoinMaskList({u"*.txt", u"-a"}, {u"*.bak", u"--b"}), u"*.txt;--a;-*.bak;-----b");
}

TEST(SearchParamsTest, MaskMatchesWordsAsSubstringsAndOthersAsWildcards) {
  struct Case {
    std::u16string mask, name;
    bool matches;
  } cases[] = {
      {u"report", u"Annual_REPORT_2020.doc", true},
      {u"report", u"rep.txt", false},
      {u"R\u00c9SUM\u00c9", u"old r\u00e9sum\u00e9 2.pdf", true},
      {u"report.txt", u"REPORT.TXT", true},
      {u"report.txt", u"old_report.txt", false},
      {u"*.txt", u"notes.TXT", true},
      {u"*.txt", u"notes.txt.bak", false},
      {u"a?c.*", u"abc.d", true},
      {u"a?c.*", u"ac.d", false},
      {u"*.*", u"no_extension", true},
      {u"-word", u"a-word-b", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MaskMatches(c.mask, c.name), c.matches) << "case " << (&c - cases);
}

TEST(SearchParamsTest, HexDigitsDecodeInPairsHighNibbleFirst) {
  struct Case {
    std::u16string digits;
    std::string bytes;
  } cases[] = {
      {u"4a4B", "\x4a\x4b"},
      {u"4a 4B", ""},
      {u"ABC", "\xab\xc0"},
      {u"A", "\xa0"},
      {u"", ""},
      {u"0g", ""},
      {u"4a4", "\x4a\x40"},
      {u"00ff", std::string("\0\xff", 2)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodeHexBytes(c.digits), c.bytes) << "case " << (&c - cases);
  // The bytes become text through the ANSI code page (1252).
  EXPECT_EQ(DecodeHexText(u"80"), u"\u20ac");
  EXPECT_EQ(DecodeHexText(u"414281"), u"AB\u0081");
}

TEST(SearchParamsTest, DateToFileTimeCountsDaysSince1601) {
  struct Case {
    int year, month, day;
    platform::FileTime expected;
  } cases[] = {
      {1601, 1, 1, 0},
      {1970, 1, 1, 116444736000000000ULL},
      {2000, 1, 1, 125911584000000000ULL},
      {2000, 2, 29, 125962560000000000ULL},
      {2020, 1, 1, 132223104000000000ULL},
      {2024, 2, 29, 133536384000000000ULL},
      {2100, 3, 1, 157520160000000000ULL},
      // Invalid dates give 0.
      {1900, 2, 29, 0},
      {2023, 2, 29, 0},
      {2023, 13, 1, 0},
      {2023, 4, 31, 0},
      {1600, 12, 31, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DateToFileTime(c.year, c.month, c.day), c.expected)
        << c.year << "-" << c.month << "-" << c.day;
}

class BuildSearchParamsTest : public ::testing::Test {
 protected:
  SearchForm Form() const {
    SearchForm form;
    form.path = tree_.root();
    form.file_name = u"*.txt";
    return form;
  }
  testing_support::TempTree tree_;
};

TEST_F(BuildSearchParamsTest, ValidationFailsWithTheFieldAndMessage) {
  const std::u16string missing = tree_.Path(u"missing");
  struct Case {
    const char* name;
    std::function<void(SearchForm&)> edit;
    FormField field;
    std::u16string message;
  } cases[] = {
      {"second folder missing", [&](SearchForm& f) { f.path += u";" + missing; }, FormField::kPath,
       u"Path \"" + missing + u"\" does not exist"},
      {"excluded folder need not exist", [&](SearchForm& f) { f.path += u";-" + missing; },
       FormField::kNone, u""},
      {"empty list", [](SearchForm& f) { f.path = u""; }, FormField::kPath, u"Enter a folder to search in"},
      {"only blanks and separators", [](SearchForm& f) { f.path = u" ; ;"; }, FormField::kPath,
       u"Enter a folder to search in"},
      {"only an excluded folder", [&](SearchForm& f) { f.path = u"-" + missing; }, FormField::kPath,
       u"Enter a folder to search in"},
      {"a file", [&](SearchForm& f) { f.path = tree_.Write(u"f.txt", "x"); }, FormField::kPath,
       u"Path \"" + tree_.Path(u"f.txt") + u"\" is not a folder"},
      {"hex with a blank",
       [](SearchForm& f) {
         f.content_enabled = f.binary = true;
         f.text = u"4a 4b";
       },
       FormField::kText, u"Text must be in hex format"},
      {"hex replacement invalid",
       [](SearchForm& f) {
         f.content_enabled = f.binary = f.replace_enabled = true;
         f.text = u"4a";
         f.replace_text = u"xyz";
       },
       FormField::kReplaceText, u"Text must be in hex format"},
      {"maximum size 0",
       [](SearchForm& f) {
         f.size_enabled = true;
         f.size_min = f.size_max = 0;
       },
       FormField::kSize, u"Incorrect size interval"},
      {"maximum below minimum",
       [](SearchForm& f) {
         f.size_enabled = true;
         f.size_min = 5;
         f.size_max = 3;
       },
       FormField::kSize, u"Incorrect size interval"},
      {"negative maximum counts as 0",
       [](SearchForm& f) {
         f.size_enabled = true;
         f.size_max = -4;
       },
       FormField::kSize, u"Incorrect size interval"},
      {"end day before start day",
       [](SearchForm& f) {
         f.date_enabled = true;
         f.time_type = TimeType::kModified;
         f.date_from = {2021, 3, 5};
         f.date_to = {2021, 3, 4};
       },
       FormField::kDate, u"Incorrect date interval"},
  };
  for (const auto& c : cases) {
    SearchForm form = Form();
    c.edit(form);
    FileFindParamsIn params;
    FormError error;
    EXPECT_EQ(BuildSearchParams(form, true, params, error), c.field == FormField::kNone) << c.name;
    EXPECT_EQ(error.field, c.field) << c.name;
    EXPECT_EQ(error.message, c.message) << c.name;
    // Without validation the same input is always taken.
    SearchForm again = Form();
    c.edit(again);
    EXPECT_TRUE(BuildSearchParams(again, false, params, error)) << c.name;
  }
}

TEST_F(BuildSearchParamsTest, ValuesAreConvertedToTheirStoredUnits) {
  FileFindParamsIn params;
  FormError error;

  SearchForm form = Form();
  form.size_enabled = true;
  form.size_min = 10;
  form.size_max = 1024;
  form.size_unit = 1024;
  ASSERT_TRUE(BuildSearchParams(form, true, params, error));
  EXPECT_EQ(params.size_min, 10240u);
  EXPECT_EQ(params.size_max, 1048576u);

  // The multiplication is done in 64 bits.
  form.size_min = -7;
  form.size_max = 3;
  form.size_unit = 1073741824;
  ASSERT_TRUE(BuildSearchParams(form, true, params, error));
  EXPECT_EQ(params.size_min, 0u);
  EXPECT_EQ(params.size_max, 3221225472u);

  // One day covers 00:00:00 to 23:59:59 of that day, taken as UTC.
  form = Form();
  form.date_enabled = true;
  form.time_type = TimeType::kAccessed;
  form.date_from = form.date_to = {1970, 1, 1};
  params = FileFindParamsIn{};
  ASSERT_TRUE(BuildSearchParams(form, true, params, error));
  EXPECT_EQ(params.time_min, 116444736000000000ULL);
  EXPECT_EQ(params.time_max, 116444736000000000ULL + 86399ULL * 10000000ULL);
  EXPECT_EQ(params.time_type, TimeType::kAccessed);

  // A date condition without a chosen time type is no condition.
  form.time_type = TimeType::kNone;
  params = FileFindParamsIn{};
  ASSERT_TRUE(BuildSearchParams(form, true, params, error));
  EXPECT_EQ(params.time_min, 0u);
  EXPECT_EQ(params.time_max, 0u);

  form = Form();
  form.content_enabled = form.binary = form.replace_enabled = form.backup = true;
  form.text = u"4a4B";
  form.replace_text = u"ABC";
  form.replace_read_only = ReadOnlyAction::kSkip;
  ASSERT_TRUE(BuildSearchParams(form, true, params, error));
  EXPECT_EQ(params.hex_text, u"JK");
  EXPECT_EQ(params.hex_replace_text, u"\u00ab\u00c0");
  EXPECT_TRUE(params.replace);
  EXPECT_TRUE(params.backup);
  EXPECT_EQ(params.replace_read_only, ReadOnlyAction::kSkip);
}

TEST_F(BuildSearchParamsTest, FileNameIsTrimmedAndDefaultsToAllFiles) {
  struct Case {
    std::u16string entered, stored;
  } cases[] = {
      {u" \t*.txt;*.log \r\n", u"*.txt;*.log"},
      {u" \t\r\n", u"*.*"},
      {u"", u"*.*"},
  };
  for (const auto& c : cases) {
    SearchForm form = Form();
    form.file_name = c.entered;
    FileFindParamsIn params;
    FormError error;
    ASSERT_TRUE(BuildSearchParams(form, true, params, error));
    EXPECT_EQ(params.file_name, c.stored);
    EXPECT_EQ(form.file_name, c.stored);  // the control shows what was used
  }
}

TEST(SearchParamsTest, PrepareForRunDropsReplacementWithoutTextAndOneTrailingSeparator) {
  const std::u16string sep(1, platform::kPathSeparator);
  FileFindParamsIn params;
  params.path = u"root" + sep + sep;
  params.replace_text = u"r";
  params.hex_replace_text = u"h";
  PrepareForRun(params);
  EXPECT_EQ(params.path, u"root" + sep);
  EXPECT_EQ(params.replace_text, u"");
  EXPECT_EQ(params.hex_replace_text, u"");

  params.text = u"t";
  params.replace_text = u"r";
  PrepareForRun(params);
  EXPECT_EQ(params.replace_text, u"r");
  EXPECT_EQ(params.path, u"root");
}

}  // namespace
