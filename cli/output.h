// varnel-cli's output: results, match lists and the summary as text lines or
// JSON objects. Tested by tests/cli/output_test.cpp.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/file_result.h"
#include "platform/console.h"

namespace cli {

// Where the printer writes; the console in the program, a transcript in tests.
class IOutputSink {
 public:
  virtual ~IOutputSink() = default;
  virtual void Write(platform::Stream stream, std::string_view utf8) = 0;
  virtual void Flush(platform::Stream stream) = 0;
};

class CConsoleSink : public IOutputSink {
 public:
  void Write(platform::Stream stream, std::string_view utf8) override;
  void Flush(platform::Stream stream) override;
};

// A JSON string literal, quotes included, in UTF-8. A surrogate without its
// partner has no UTF-8 form and is written as a \u escape.
std::string JsonString(std::u16string_view text);

// folder + separator + file_name; no separator added after a folder that
// already ends with one (a root).
std::u16string FullPath(const FileResult& result);

struct RunCounts {
  std::uint64_t found = 0;
  std::uint64_t skipped = 0;
  std::uint64_t errors = 0;
  // Found files of a replace run whose rewrite failed (replaces -1).
  std::uint64_t replace_failed = 0;
};

class CResultPrinter {
 public:
  CResultPrinter(IOutputSink& sink, bool json, bool replace_run)
      : sink_(sink), json_(json), replace_run_(replace_run) {}

  // Prints one result; with `matches` its match list follows it (text) or is
  // its "matches" key (JSON).
  void Print(const FileResult& result, std::optional<std::span<const MatchEntry>> matches);
  // Flushes both streams: the end of one folder's batch.
  void EndBatch();
  // `leftovers`: files that look like temporary files of an interrupted
  // replace run ("X.tmp" beside "X"); listed so that the user can look.
  void PrintSummary(bool canceled, std::span<const std::u16string> leftovers = {});
  const RunCounts& counts() const { return counts_; }

 private:
  void Count(const FileResult& result);
  void PrintText(const FileResult& result, std::optional<std::span<const MatchEntry>> matches);
  void PrintJson(const FileResult& result, std::optional<std::span<const MatchEntry>> matches);

  IOutputSink& sink_;
  bool json_;
  bool replace_run_;
  RunCounts counts_;
};

}  // namespace cli
