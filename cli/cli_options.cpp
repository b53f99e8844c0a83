// varnel-cli's command line: CLI11 set-up, value conversion and validation
// through the search record's shared rules.
// Tested by tests/cli/cli_options_test.cpp.
#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <limits>

#include "platform/text.h"

#ifndef VARNEL_VERSION
#define VARNEL_VERSION "0.0.0"
#endif

namespace cli {
namespace {

// What the options hold before conversion: CLI11 checks the choice lists, the
// sizes and dates are converted here so that their errors read alike.
struct RawOptions {
  std::string hidden, read_only, folders;
  std::string size_min, size_max;
  std::string date, from, to;
  std::string text, replace, read_only_files;
};

AttributeCondition ToCondition(const std::string& value) {
  if (value == "only") return AttributeCondition::kOnly;
  if (value == "none") return AttributeCondition::kNone;
  return AttributeCondition::kAny;
}

TimeType ToTimeType(const std::string& value) {
  if (value == "created") return TimeType::kCreated;
  if (value == "modified") return TimeType::kModified;
  if (value == "accessed") return TimeType::kAccessed;
  return TimeType::kNone;
}

ReadOnlyAction ToReadOnlyAction(const std::string& value) {
  if (value == "replace") return ReadOnlyAction::kReplace;
  if (value == "skip") return ReadOnlyAction::kSkip;
  return ReadOnlyAction::kAsk;
}

void AddCriteria(CLI::App& app, CliOptions& o, RawOptions& raw) {
  const auto only_none = CLI::IsMember({"only", "none"});
  app.add_option("-p,--path", o.path, "Folders to search, separated by \";\"; \"-folder\" excludes")
      ->required()
      ->type_name("LIST");
  app.add_option("-n,--names", o.names, "File-name masks separated by \";\" (default \"*.*\")")
      ->type_name("LIST");
  app.add_flag("-s,--subfolders", o.subfolders, "Search subfolders too");
  app.add_option("--hidden", raw.hidden, "Only hidden entries, or none")->check(only_none);
  app.add_option("--read-only", raw.read_only, "Only read-only entries, or none")->check(only_none);
  app.add_option("--folders", raw.folders, "Only folders, or no folders")->check(only_none);
  app.add_option("--size-min", raw.size_min, "Smallest size in bytes (suffix K, M or G)")
      ->type_name("N");
  app.add_option("--size-max", raw.size_max, "Largest size in bytes (suffix K, M or G)")
      ->type_name("N");
  auto* date = app.add_option("--date", raw.date, "Which file time --from and --to test")
                   ->check(CLI::IsMember({"created", "modified", "accessed"}));
  app.add_option("--from", raw.from, "First day, YYYY-MM-DD (UTC)")->needs(date)->type_name("DATE");
  app.add_option("--to", raw.to, "Last day, YYYY-MM-DD (UTC)")->needs(date)->type_name("DATE");
}

void AddContent(CLI::App& app, CliOptions& o, RawOptions& raw) {
  auto* text = app.add_option("-t,--text", raw.text, "Text to find in file contents");
  app.add_flag("-c,--case", o.case_sensitive, "Match case");
  app.add_flag("-w,--words", o.words, "Whole words only");
  app.add_flag("-e,--regex", o.regex, "The text is a regular expression");
  app.add_flag("-x,--hex", o.hex, "The text and the replacement are hex digits");
  auto* replace = app.add_option("-r,--replace", raw.replace, "Replace every match with this text")
                      ->needs(text);
  app.add_flag("--backup", o.backup, "Keep a backup of each rewritten file")->needs(replace);
  app.add_option("--read-only-files", raw.read_only_files,
                 "Read-only files: ask (default), "
                 "replace or skip")
      ->check(CLI::IsMember({"ask", "replace", "skip"}))
      ->needs(replace);
  auto* matches =
      app.add_flag("-m,--matches", o.matches, "Print each found file's matches")->needs(text);
  app.add_option("--max-matches", o.max_matches, "Most matches printed per file (0: all)")
      ->type_name("N")
      ->needs(matches);
}

void AddOutput(CLI::App& app, CliOptions& o) {
  app.add_flag("--json", o.json, "One JSON object per result");
  app.add_option("-j,--jobs", o.jobs, "Threads that search file contents (default: one per core)")
      ->type_name("N")
      ->check(CLI::Range(1u, 256u));
  app.add_option("--data-dir", o.data_dir, "Folder holding settings.xml")->type_name("DIR");
  app.footer(
      "Exit codes: 0 files found, 1 none found, 2 refused arguments, 3 a replacement failed, "
      "130 stopped by Ctrl-C.");
  app.set_version_flag("--version", std::string(kProgramName) + " " + VARNEL_VERSION);
}

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

ParseResult UsageError(const std::string& message) {
  return {ParseStatus::kUsageError, OneLine(message) + " (see --help)"};
}

// A value given empty counts as given: "--size-min ''" is refused, not ignored.
std::string ConvertSize(const CLI::App& app, const char* name, const std::string& raw,
                        std::optional<std::uint64_t>& out) {
  if (!app.count(name)) return {};
  std::uint64_t bytes = 0;
  if (!ParseSize(raw, bytes)) return std::string(name) + ": not a size: " + raw;
  out = bytes;
  return {};
}

std::string ConvertDate(const CLI::App& app, const char* name, const std::string& raw,
                        std::optional<SearchForm::Date>& out) {
  if (!app.count(name)) return {};
  SearchForm::Date day;
  if (!ParseDate(raw, day)) return std::string(name) + ": not a date (YYYY-MM-DD): " + raw;
  out = day;
  return {};
}

// The values CLI11 leaves as text, after it accepted the rest; empty when all
// converted, else the first error.
std::string Convert(const CLI::App& app, const RawOptions& raw, CliOptions& o) {
  o.hidden = ToCondition(raw.hidden);
  o.read_only = ToCondition(raw.read_only);
  o.folders = ToCondition(raw.folders);
  o.date = ToTimeType(raw.date);
  o.read_only_files = ToReadOnlyAction(raw.read_only_files);
  if (app.count("--text")) o.text = raw.text;
  if (app.count("--replace")) o.replace = raw.replace;
  for (const std::string& error :
       {ConvertSize(app, "--size-min", raw.size_min, o.size_min),
        ConvertSize(app, "--size-max", raw.size_max, o.size_max),
        ConvertDate(app, "--from", raw.from, o.from), ConvertDate(app, "--to", raw.to, o.to)}) {
    if (!error.empty()) return error;
  }
  if (o.date != TimeType::kNone && !o.from && !o.to) return "--date needs --from or --to";
  // Without a text a replace run would only list files and claim success.
  if (o.replace && o.text && o.text->empty()) return "--replace needs a non-empty --text";
  return {};
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args, CliOptions& options) {
  CLI::App app{
      "Finds files by name, attributes, size, date and content, and replaces text "
      "inside them.",
      kProgramName};
  // Windows-style "/x" options would swallow texts and paths that start with "/".
  app.allow_windows_style_options(false);
  RawOptions raw;
  AddCriteria(app, options, raw);
  AddContent(app, options, raw);
  AddOutput(app, options);
  // CLI11 takes the arguments in reverse order, without the program name.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  if (!reversed.empty()) reversed.pop_back();
  try {
    app.parse(std::move(reversed));
  } catch (const CLI::CallForHelp&) {
    return {ParseStatus::kHelp, app.help()};
  } catch (const CLI::CallForVersion& e) {
    return {ParseStatus::kVersion, std::string(e.what()) + "\n"};
  } catch (const CLI::ParseError& e) {
    return UsageError(e.what());
  }
  std::string error = Convert(app, raw, options);
  if (!error.empty()) return UsageError(error);
  return {};
}

bool ParseSize(std::string_view text, std::uint64_t& bytes) {
  std::uint64_t unit = 1;
  if (!text.empty()) {
    switch (text.back()) {
      case 'K':
      case 'k': unit = 1024; break;
      case 'M':
      case 'm': unit = 1048576; break;
      case 'G':
      case 'g': unit = 1073741824; break;
      default: break;
    }
    if (unit != 1) text.remove_suffix(1);
  }
  if (text.empty()) return false;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (kMax - digit) / 10) return false;
    value = value * 10 + digit;
  }
  if (value > kMax / unit) return false;
  bytes = value * unit;
  return true;
}

bool ParseDate(std::string_view text, SearchForm::Date& date) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  auto number = [&text](std::size_t from, std::size_t count, int& out) {
    out = 0;
    for (std::size_t i = from; i < from + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      out = out * 10 + (text[i] - '0');
    }
    return true;
  };
  SearchForm::Date day;
  if (!number(0, 4, day.year) || !number(5, 2, day.month) || !number(8, 2, day.day)) return false;
  // DateToFileTime cannot tell 1601-01-01 (FILETIME 0) from an invalid day.
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (day.year < 1601 || day.month < 1 || day.month > 12 || day.day < 1 ||
      day.day > kDays[day.month - 1])
    return false;
  bool leap = (day.year % 4 == 0 && day.year % 100 != 0) || day.year % 400 == 0;
  if (day.month == 2 && day.day == 29 && !leap) return false;
  date = day;
  return true;
}

namespace {

void FillContent(const CliOptions& o, SearchForm& form) {
  if (o.text) {
    form.content_enabled = true;
    form.text = platform::FromUtf8(*o.text);
    form.case_sensitive = o.case_sensitive;
    form.word_wrap = o.words;
    form.reg_exp = o.regex;
    form.binary = o.hex;
  }
  if (o.replace) {
    form.replace_enabled = true;
    form.replace_text = platform::FromUtf8(*o.replace);
    form.backup = o.backup;
    form.replace_read_only = o.read_only_files;
  }
}

// The form holds sizes as 32-bit counts times a unit, which cannot carry the
// 64-bit counts the command line allows. It gets a stand-in interval with the
// same validity instead, so that its message and its place in the order of
// checks stay the shared ones; the real bounds are written after validation.
// A bound given alone leaves the other open (0).
void FillSize(const CliOptions& o, SearchForm& form) {
  if (!o.size_min && !o.size_max) return;
  bool valid = !o.size_max || (*o.size_max != 0 && *o.size_max >= o.size_min.value_or(0));
  form.size_enabled = true;
  form.size_unit = 1;
  form.size_min = valid ? 0 : 1;
  form.size_max = valid ? 1 : 0;
}

}  // namespace

bool BuildRunParams(const CliOptions& o, FileFindParamsIn& params, std::u16string& message) {
  SearchForm form;
  form.path = platform::PathFromBytes(o.path);
  form.file_name = platform::FromUtf8(o.names);
  form.include_subfolders = o.subfolders;
  form.hidden = o.hidden;
  form.read_only = o.read_only;
  form.folder = o.folders;
  FillContent(o, form);
  FillSize(o, form);
  if (o.date != TimeType::kNone) {
    // A missing end is an invalid day, which the form turns into an open bound.
    form.date_enabled = true;
    form.time_type = o.date;
    form.date_from = o.from.value_or(SearchForm::Date{});
    form.date_to = o.to.value_or(SearchForm::Date{});
  }
  FormError error;
  if (!BuildSearchParams(form, true, params, error)) {
    message = error.message;
    return false;
  }
  if (form.size_enabled) {
    params.size_min = o.size_min.value_or(0);
    params.size_max = o.size_max.value_or(0);
  }
  PrepareForRun(params);
  return true;
}

}  // namespace cli
