// Command-line parsing, value conversion and validation of varnel-cli.
#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>

#include "platform/fs.h"
#include "platform/text.h"
#include "test_tree.h"

namespace {

using cli::CliOptions;
using cli::ParseStatus;

TEST(CliOptionsTest, ParseSize) {
  struct Case {
    const char* text;
    bool ok;
    std::uint64_t bytes;
  } cases[] = {
      {"0", true, 0},
      {"10", true, 10},
      {"10K", true, 10240},
      {"10k", true, 10240},
      {"1M", true, 1048576},
      {"3G", true, 3221225472ULL},
      {"8589934592", true, 8589934592ULL},  // above 32 bits
      {"18446744073709551615", true, 18446744073709551615ULL},
      {"18446744073709551616", false, 0},
      {"17179869184G", false, 0},  // 2^34 G overflows
      {"17179869183G", true, 17179869183ULL * 1073741824ULL},
      {"", false, 0},
      {"K", false, 0},
      {"-1", false, 0},
      {"1.5K", false, 0},
      {" 1", false, 0},
      {"1KB", false, 0},
      {"1T", false, 0},
  };
  for (const auto& c : cases) {
    std::uint64_t bytes = 12345;
    EXPECT_EQ(cli::ParseSize(c.text, bytes), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(bytes, c.bytes) << c.text;
    }
  }
}

TEST(CliOptionsTest, ParseDate) {
  struct Case {
    const char* text;
    bool ok;
    int y, m, d;
  } cases[] = {
      {"2024-02-29", true, 2024, 2, 29},
      {"1601-01-01", true, 1601, 1, 1},
      {"2023-02-29", false, 0, 0, 0},
      {"1600-12-31", false, 0, 0, 0},
      {"2000-02-29", true, 2000, 2, 29},
      {"1900-02-29", false, 0, 0, 0},
      {"2024-04-31", false, 0, 0, 0},
      {"9999-12-31", true, 9999, 12, 31},
      {"2024-13-01", false, 0, 0, 0},
      {"2024-00-10", false, 0, 0, 0},
      {"2024-1-01", false, 0, 0, 0},
      {"2024/01/01", false, 0, 0, 0},
      {"2024-01-01x", false, 0, 0, 0},
      {"abcd-ef-gh", false, 0, 0, 0},
      {"", false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SearchForm::Date date;
    EXPECT_EQ(cli::ParseDate(c.text, date), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ((std::tuple{date.year, date.month, date.day}), (std::tuple{c.y, c.m, c.d}));
    }
  }
}

cli::ParseResult Parse(std::vector<std::string> args, CliOptions& options) {
  args.insert(args.begin(), "varnel-cli");
  return cli::ParseCommandLine(args, options);
}

TEST(CliOptionsTest, RefusedCommandLinesGiveOneLineUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    const char* message_part;
  } cases[] = {
      {{}, "--path is required"},
      {{"-p", "x", "--bogus"}, "--bogus"},
      {{"-p", "x", "stray"}, "stray"},
      {{"-p", "x", "--hidden", "maybe"}, "--hidden"},
      {{"-p", "x", "--folders", "ONLY"}, "--folders"},
      {{"-p", "x", "--read-only", ""}, "--read-only"},
      {{"-p", "x", "-r", "y"}, "--replace requires --text"},
      {{"-p", "x", "-t", "", "-r", "y"}, "--replace needs a non-empty --text"},
      {{"-p", "x", "-t", "a", "--backup"}, "--backup requires --replace"},
      {{"-p", "x", "-t", "a", "--read-only-files", "skip"}, "--read-only-files requires --replace"},
      {{"-p", "x", "-t", "a", "-r", "b", "--read-only-files", "never"}, "--read-only-files"},
      {{"-p", "x", "-m"}, "--matches requires --text"},
      {{"-p", "x", "-t", "a", "--max-matches", "3"}, "--max-matches requires --matches"},
      {{"-p", "x", "-t", "a", "-m", "--max-matches", "many"}, "--max-matches"},
      {{"-p", "x", "--from", "2024-01-01"}, "--from requires --date"},
      {{"-p", "x", "--date", "created"}, "--date needs --from or --to"},
      {{"-p", "x", "--date", "changed", "--to", "2024-01-01"}, "--date"},
      {{"-p", "x", "--date", "created", "--to", "2024-02-30"}, "--to: not a date"},
      {{"-p", "x", "--size-min", "12Q"}, "--size-min: not a size: 12Q"},
      {{"-p", "x", "--size-max", "99999999999999999999"}, "--size-max: not a size"},
      {{"-p", "x", "--size-min", ""}, "--size-min: not a size"},
      {{"-p", "x", "-j", "0"}, "--jobs"},
  };
  for (const auto& c : cases) {
    CliOptions options;
    auto result = Parse(c.args, options);
    ASSERT_EQ(result.status, ParseStatus::kUsageError) << c.message_part;
    EXPECT_NE(result.text.find(c.message_part), std::string::npos) << result.text;
    EXPECT_EQ(result.text.find('\n'), std::string::npos) << result.text;
  }
}

TEST(CliOptionsTest, HelpAndVersionAreTextsForStdout) {
  CliOptions options;
  auto help = Parse({"--help"}, options);
  EXPECT_EQ(help.status, ParseStatus::kHelp);
  EXPECT_NE(help.text.find("--read-only-files"), std::string::npos);
  auto version = Parse({"--version"}, options);
  EXPECT_EQ(version.status, ParseStatus::kVersion);
  EXPECT_EQ(version.text.rfind("varnel-cli ", 0), 0u) << version.text;
}

TEST(CliOptionsTest, EveryOptionReachesItsField) {
  CliOptions o;
  auto result = Parse({"-p",
                       "a;-b",
                       "-n",
                       "*.txt",
                       "-s",
                       "--hidden",
                       "none",
                       "--read-only",
                       "only",
                       "--folders",
                       "none",
                       "--size-min",
                       "1K",
                       "--size-max",
                       "2M",
                       "--date",
                       "modified",
                       "--from",
                       "2024-01-02",
                       "--to",
                       "2024-03-04",
                       "-t",
                       "needle",
                       "-cwex",
                       "-r",
                       "pin",
                       "--backup",
                       "--read-only-files",
                       "replace",
                       "-m",
                       "--max-matches",
                       "7",
                       "--json",
                       "-j",
                       "3",
                       "--data-dir",
                       "d"},
                      o);
  ASSERT_EQ(result.status, ParseStatus::kRun) << result.text;
  EXPECT_EQ(o.path, "a;-b");
  EXPECT_EQ(o.names, "*.txt");
  EXPECT_TRUE(o.subfolders);
  EXPECT_EQ(o.hidden, AttributeCondition::kNone);
  EXPECT_EQ(o.read_only, AttributeCondition::kOnly);
  EXPECT_EQ(o.folders, AttributeCondition::kNone);
  EXPECT_EQ(o.size_min, 1024u);
  EXPECT_EQ(o.size_max, 2097152u);
  EXPECT_EQ(o.date, TimeType::kModified);
  ASSERT_TRUE(o.from && o.to);
  EXPECT_EQ(o.from->day, 2);
  EXPECT_EQ(o.to->month, 3);
  EXPECT_EQ(o.text, "needle");
  EXPECT_TRUE(o.case_sensitive && o.words && o.regex && o.hex);
  EXPECT_EQ(o.replace, "pin");
  EXPECT_TRUE(o.backup);
  EXPECT_EQ(o.read_only_files, ReadOnlyAction::kReplace);
  EXPECT_TRUE(o.matches);
  EXPECT_EQ(o.max_matches, 7u);
  EXPECT_TRUE(o.json);
  EXPECT_EQ(o.jobs, 3u);
  EXPECT_EQ(o.data_dir, "d");
}

TEST(CliOptionsTest, DefaultsAndEmptyOrDashedTexts) {
  CliOptions o;
  ASSERT_EQ(Parse({"-p", "a"}, o).status, ParseStatus::kRun);
  EXPECT_EQ(o.names, "*.*");
  EXPECT_FALSE(o.text.has_value());
  EXPECT_FALSE(o.replace.has_value());
  EXPECT_EQ(o.read_only_files, ReadOnlyAction::kAsk);
  EXPECT_EQ(o.date, TimeType::kNone);

  CliOptions empty_text;
  ASSERT_EQ(Parse({"-p", "a", "-t", "x", "-r", ""}, empty_text).status, ParseStatus::kRun);
  EXPECT_EQ(empty_text.replace, "") << "replacing by nothing deletes the matches";

  // A text that starts with a dash needs the "=" form.
  CliOptions dashed;
  ASSERT_EQ(Parse({"-p", "a", "--text=-x", "--replace=-y"}, dashed).status, ParseStatus::kRun);
  EXPECT_EQ(dashed.text, "-x");
  EXPECT_EQ(dashed.replace, "-y");
}

// BuildRunParams over a real folder, so that the path check passes.
class BuildRunParamsTest : public ::testing::Test {
 protected:
  CliOptions Options() {
    CliOptions o;
    o.path = platform::ToUtf8(tree_.root());
    return o;
  }
  testing_support::TempTree tree_;
};

TEST_F(BuildRunParamsTest, RefusesWithTheProgramsMessagesInItsOrder) {
  std::string missing = platform::ToUtf8(tree_.Path(u"missing"));
  struct Case {
    const char* name;
    std::function<void(CliOptions&)> change;
    std::string message;
  } cases[] = {
      {"missing folder", [&](CliOptions& o) { o.path += ";" + missing; },
       "Path \"" + missing + "\" does not exist"},
      {"empty folder list", [](CliOptions& o) { o.path = ""; }, "Enter a folder to search in"},
      {"excluded missing folder is fine, bad hex text",
       [&](CliOptions& o) {
         o.path += ";-" + missing;
         o.text = "4a 4b";
         o.hex = true;
       },
       "Text must be in hex format"},
      {"bad hex replacement",
       [](CliOptions& o) {
         o.text = "4a";
         o.hex = true;
         o.replace = "zz";
       },
       "Text must be in hex format"},
      {"maximum 0", [](CliOptions& o) { o.size_max = 0; }, "Incorrect size interval"},
      {"maximum below minimum",
       [](CliOptions& o) {
         o.size_min = 8589934593ULL;
         o.size_max = 8589934592ULL;
       },
       "Incorrect size interval"},
      {"from after to",
       [](CliOptions& o) {
         o.date = TimeType::kCreated;
         o.from = SearchForm::Date{2024, 5, 2};
         o.to = SearchForm::Date{2024, 5, 1};
       },
       "Incorrect date interval"},
      {"path before size",
       [&](CliOptions& o) {
         o.path = missing;
         o.size_max = 0;
       },
       "Path \"" + missing + "\" does not exist"},
      {"size before the replacement's hex",
       [](CliOptions& o) {
         o.text = "4a";
         o.hex = true;
         o.replace = "zz";
         o.size_max = 0;
       },
       "Incorrect size interval"},
  };
  for (const auto& c : cases) {
    CliOptions o = Options();
    c.change(o);
    FileFindParamsIn params;
    std::u16string message;
    EXPECT_FALSE(cli::BuildRunParams(o, params, message)) << c.name;
    EXPECT_EQ(platform::ToUtf8(message), c.message) << c.name;
  }
}

TEST_F(BuildRunParamsTest, SizeBoundsMayStandAloneAndExceed32Bits) {
  struct Case {
    std::optional<std::uint64_t> min, max;
    std::uint64_t want_min, want_max;
  } cases[] = {
      {10240, std::nullopt, 10240, 0},
      {std::nullopt, 1048576, 0, 1048576},
      {5ULL << 30, 8589934592ULL, 5ULL << 30, 8589934592ULL},
      {7, 7, 7, 7},
      {0, 1, 0, 1},
  };
  for (const auto& c : cases) {
    CliOptions o = Options();
    o.size_min = c.min;
    o.size_max = c.max;
    FileFindParamsIn params;
    std::u16string message;
    ASSERT_TRUE(cli::BuildRunParams(o, params, message)) << platform::ToUtf8(message);
    EXPECT_EQ(params.size_min, c.want_min);
    EXPECT_EQ(params.size_max, c.want_max);
  }
}

TEST_F(BuildRunParamsTest, DatesAreWholeUtcDaysAndEitherEndMayBeOpen) {
  const platform::FileTime day = DateToFileTime(2024, 3, 1);
  const platform::FileTime last_second = day + kFileTimeDay - kFileTimeSecond;
  struct Case {
    std::optional<SearchForm::Date> from, to;
    platform::FileTime want_min, want_max;
  } cases[] = {
      {SearchForm::Date{2024, 3, 1}, SearchForm::Date{2024, 3, 1}, day, last_second},
      {SearchForm::Date{2024, 3, 1}, std::nullopt, day, 0},
      {std::nullopt, SearchForm::Date{2024, 3, 1}, 0, last_second},
  };
  for (const auto& c : cases) {
    CliOptions o = Options();
    o.date = TimeType::kAccessed;
    o.from = c.from;
    o.to = c.to;
    FileFindParamsIn params;
    std::u16string message;
    ASSERT_TRUE(cli::BuildRunParams(o, params, message)) << platform::ToUtf8(message);
    EXPECT_EQ(params.time_type, TimeType::kAccessed);
    EXPECT_EQ(params.time_min, c.want_min);
    EXPECT_EQ(params.time_max, c.want_max);
  }
}

TEST_F(BuildRunParamsTest, FillsTheRecordAndPreparesItForARun) {
  CliOptions o = Options();
  o.path += platform::ToUtf8(std::u16string(1, platform::kPathSeparator));
  o.names = "  \t ";
  o.text = "4A4b";
  o.hex = true;
  o.replace = "41";
  o.backup = true;
  o.read_only_files = ReadOnlyAction::kSkip;
  o.hidden = AttributeCondition::kOnly;
  FileFindParamsIn params;
  std::u16string message;
  ASSERT_TRUE(cli::BuildRunParams(o, params, message)) << platform::ToUtf8(message);
  EXPECT_EQ(params.path, tree_.root()) << "one trailing separator removed";
  EXPECT_EQ(params.file_name, u"*.*") << "blank masks become *.*";
  EXPECT_EQ(params.hex_text, u"JK");
  EXPECT_EQ(params.hex_replace_text, u"A");
  EXPECT_TRUE(params.binary && params.backup && params.replace);
  EXPECT_EQ(params.replace_read_only, ReadOnlyAction::kSkip);
  EXPECT_EQ(params.hidden, AttributeCondition::kOnly);
  EXPECT_EQ(params.time_type, TimeType::kNone);
  EXPECT_EQ(params.size_max, 0u);
}

}  // namespace
