// varnel-cli's output formats. Tested by tests/cli/output_test.cpp.
#include "cli/output.h"

#include <cstdio>

#include "platform/fs.h"
#include "platform/text.h"

namespace cli {
namespace {

using platform::AppendUtf8;
using platform::Stream;

void AppendEscape(std::string& out, char16_t unit) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(unit));
  out += buffer;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendJsonUnit(std::string& out, char16_t c) {
  switch (c) {
    case u'"': out += "\\\""; return;
    case u'\\': out += "\\\\"; return;
    case u'\n': out += "\\n"; return;
    case u'\r': out += "\\r"; return;
    case u'\t': out += "\\t"; return;
    case u'\b': out += "\\b"; return;
    case u'\f': out += "\\f"; return;
    default: break;
  }
  if (c < 0x20 || IsHighSurrogate(c) || IsLowSurrogate(c))
    AppendEscape(out, c);
  else
    AppendUtf8(out, c);
}

std::string Number(std::uint64_t value) { return std::to_string(value); }
std::string Number(std::int64_t value) { return std::to_string(value); }

const char* KindName(ResultKind kind) {
  switch (kind) {
    case ResultKind::kFound: return "found";
    case ResultKind::kSkipped: return "skipped";
    case ResultKind::kError: return "error";
    case ResultKind::kNone: break;
  }
  return "unknown";
}

std::string JsonMatches(std::span<const MatchEntry> matches) {
  std::string out = "[";
  for (const auto& m : matches) {
    if (out.size() > 1) out += ", ";
    out += "{\"line\": " + Number(std::int64_t{m.line}) +
           ", \"position\": " + Number(std::int64_t{m.position}) +
           ", \"text\": " + JsonString(m.text) + ", \"highlights\": [";
    for (std::size_t i = 0; i < m.highlights.size(); ++i) {
      if (i) out += ", ";
      out += "[" + Number(std::int64_t{m.highlights[i].start}) + ", " +
             Number(std::int64_t{m.highlights[i].length}) + "]";
    }
    out += "]}";
  }
  return out + "]";
}

}  // namespace

void CConsoleSink::Write(Stream stream, std::string_view utf8) {
  platform::WriteText(stream, utf8);
}
void CConsoleSink::Flush(Stream stream) { platform::FlushText(stream); }

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      char32_t code = 0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
      AppendUtf8(out, code);
      ++i;
    } else {
      AppendJsonUnit(out, c);
    }
  }
  return out + "\"";
}

std::u16string FullPath(const FileResult& result) {
  std::u16string path = result.folder;
  if (!path.empty() && path.back() != platform::kPathSeparator) path += platform::kPathSeparator;
  return path + result.file_name;
}

void CResultPrinter::Count(const FileResult& result) {
  switch (result.kind) {
    case ResultKind::kFound:
      ++counts_.found;
      if (replace_run_ && result.replaces < 0) ++counts_.replace_failed;
      break;
    case ResultKind::kSkipped: ++counts_.skipped; break;
    case ResultKind::kError: ++counts_.errors; break;
    case ResultKind::kNone: break;  // never a record's kind
  }
}

void CResultPrinter::Print(const FileResult& result,
                           std::optional<std::span<const MatchEntry>> matches) {
  Count(result);
  if (json_)
    PrintJson(result, matches);
  else
    PrintText(result, matches);
}

void CResultPrinter::PrintText(const FileResult& result,
                               std::optional<std::span<const MatchEntry>> matches) {
  std::string path = platform::PathToBytes(FullPath(result));
  std::string reason = platform::ToUtf8(ReasonText(result.kind, result.reason, result.error_code));
  switch (result.kind) {
    case ResultKind::kFound: sink_.Write(Stream::kOut, path + "\n"); break;
    case ResultKind::kSkipped:
      sink_.Write(Stream::kErr, "skipped: " + path + ": " + reason + "\n");
      break;
    case ResultKind::kError:
      sink_.Write(Stream::kErr, "error: " + path + ": " + reason + "\n");
      break;
    case ResultKind::kNone: break;
  }
  // The engine keeps a failed rewrite as a found file; saying nothing would
  // report the failure as success.
  if (result.kind == ResultKind::kFound && replace_run_ && result.replaces < 0)
    sink_.Write(Stream::kErr, "error: " + path + ": " + (reason.empty() ? "replacement failed" : reason) + "\n");
  if (!matches) return;
  std::string lines;
  for (const auto& m : *matches)
    lines += "  " + Number(std::int64_t{m.line}) + ": " + platform::ToUtf8(m.text) + "\n";
  sink_.Write(Stream::kOut, lines);
}

void CResultPrinter::PrintJson(const FileResult& result,
                               std::optional<std::span<const MatchEntry>> matches) {
  std::string out = "{\"kind\": \"";
  out += KindName(result.kind);
  out += "\", \"folder\": " + JsonString(result.folder) +
         ", \"file_name\": " + JsonString(result.file_name) + ", \"size\": " + Number(result.size) +
         ", \"is_folder\": " + (result.is_folder ? "true" : "false") +
         ", \"type\": " + JsonString(result.type) +
         ", \"date_modified\": " + Number(std::uint64_t{result.date_modified}) +
         ", \"replaces\": " + Number(std::int64_t{result.replaces}) +
         ", \"reason\": " + Number(std::int64_t{result.reason}) + ", \"reason_text\": " +
         JsonString(ReasonText(result.kind, result.reason, result.error_code)) +
         ", \"error_code\": " + Number(std::uint64_t{result.error_code});
  if (matches) out += ", \"matches\": " + JsonMatches(*matches);
  sink_.Write(Stream::kOut, out + "}\n");
}

void CResultPrinter::EndBatch() {
  sink_.Flush(Stream::kOut);
  sink_.Flush(Stream::kErr);
}

void CResultPrinter::PrintSummary(bool canceled, std::span<const std::u16string> leftovers) {
  if (json_) {
    std::string out = "{\"summary\": {\"found\": " + Number(counts_.found) +
                      ", \"skipped\": " + Number(counts_.skipped) +
                      ", \"errors\": " + Number(counts_.errors);
    if (replace_run_) out += ", \"replace_failed\": " + Number(counts_.replace_failed);
    if (!leftovers.empty()) {
      out += ", \"possible_leftovers\": [";
      for (std::size_t i = 0; i < leftovers.size(); ++i)
        out += (i ? ", " : "") + JsonString(leftovers[i]);
      out += "]";
    }
    out += std::string(", \"canceled\": ") + (canceled ? "true" : "false") + "}}\n";
    sink_.Write(Stream::kOut, out);
  } else {
    for (const auto& path : leftovers)
      sink_.Write(Stream::kErr, "note: " + platform::PathToBytes(path) +
                                    ": may be left by an interrupted replace run\n");
    std::string out = Number(counts_.found) + " files found, " + Number(counts_.skipped) +
                      " skipped, " + Number(counts_.errors) + " errors";
    if (counts_.replace_failed)
      out += ", " + Number(counts_.replace_failed) + " replacements failed";
    if (canceled) out += " (canceled)";
    sink_.Write(Stream::kErr, out + "\n");
  }
  EndBatch();
}

}  // namespace cli
