// varnel-cli's command line: the options, their parsing and conversion, and
// the search record built from them. Tested by tests/cli/cli_options_test.cpp.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search_params.h"

namespace cli {

inline constexpr char kProgramName[] = "varnel-cli";

// Everything the command line says, converted but not yet validated against
// the file system. Text is UTF-8 as it arrived.
struct CliOptions {
  std::string path;
  std::string names = "*.*";
  bool subfolders = false;
  AttributeCondition hidden = AttributeCondition::kAny;
  AttributeCondition read_only = AttributeCondition::kAny;
  AttributeCondition folders = AttributeCondition::kAny;

  std::optional<std::uint64_t> size_min;
  std::optional<std::uint64_t> size_max;

  TimeType date = TimeType::kNone;
  std::optional<SearchForm::Date> from;
  std::optional<SearchForm::Date> to;

  std::optional<std::string> text;
  bool case_sensitive = false;
  bool words = false;
  bool regex = false;
  bool hex = false;

  std::optional<std::string> replace;
  bool backup = false;
  ReadOnlyAction read_only_files = ReadOnlyAction::kAsk;

  bool matches = false;
  std::uint32_t max_matches = 0;
  bool json = false;
  std::uint32_t jobs = 0;  // content-test threads; 0: one per hardware thread
  std::string data_dir;  // empty: the per-user data folder
};

enum class ParseStatus { kRun, kHelp, kVersion, kUsageError };

struct ParseResult {
  ParseStatus status = ParseStatus::kRun;
  // kHelp, kVersion: the text for stdout. kUsageError: one line without the
  // program-name prefix and without a line end.
  std::string text;
};

// `args` holds the program name first, as CommandLineUtf8 returns it.
ParseResult ParseCommandLine(const std::vector<std::string>& args, CliOptions& options);

// A byte count: decimal digits with an optional suffix K, M or G (either
// case) for 1024, 1048576 or 1073741824. False for anything else and for a
// count that does not fit 64 bits.
[[nodiscard]] bool ParseSize(std::string_view text, std::uint64_t& bytes);

// YYYY-MM-DD, a real calendar day from 1601 on.
[[nodiscard]] bool ParseDate(std::string_view text, SearchForm::Date& date);

// Validates the options with the program's shared rules and messages and
// fills `params` ready for a run (PrepareForRun applied). On failure
// `message` holds the program's message.
[[nodiscard]] bool BuildRunParams(const CliOptions& options, FileFindParamsIn& params,
                                  std::u16string& message);

}  // namespace cli
