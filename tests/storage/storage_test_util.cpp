// Transcripts of persisted records for the storage tests.
#include "storage_test_util.h"

#include <cstdio>

#include "platform/text.h"

namespace storage_test {
namespace {

std::string Line(const char* name, const std::string& value) {
  return std::string(name) + "=" + value + "\n";
}
std::string Number(long long value) { return std::to_string(value); }
std::string Unsigned(unsigned long long value) { return std::to_string(value); }

std::string DescribeMap(const HistoryMap& map) {
  std::string out;
  for (const auto& [key, values] : map) {
    out += Quote(key) + ":";
    for (const auto& value : values) out += " " + Quote(value);
    out += "\n";
  }
  return out;
}

}  // namespace

std::string Quote(std::u16string_view text) {
  std::string out = "\"";
  for (char ch : platform::ToUtf8(text)) {
    unsigned char byte = static_cast<unsigned char>(ch);
    if (ch == '\r') {
      out += "\\r";
    } else if (ch == '\n') {
      out += "\\n";
    } else if (byte < 0x20 || ch == '"' || ch == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string DescribeSettings(const AppSettings& s) {
  const WindowRect& r = s.window_rect;
  std::string out = Line("window_rect", Number(r.left) + "," + Number(r.top) + "," +
                                            Number(r.right) + "," + Number(r.bottom));
  out += Line("maximized", Number(s.maximized));
  out += Line("advanced_visible", Number(s.advanced_visible));
  out += Line("dont_save_unnamed_tabs", Number(s.dont_save_unnamed_tabs));
  out += Line("max_number_matches", Number(s.max_number_matches));
  out += Line("limit_file_preview", Number(s.limit_file_preview));
  out += Line("ignore_files", Number(s.ignore_files));
  out += Line("treat_null_as_binary", Number(s.treat_null_as_binary));
  std::string table;
  for (const auto& [extension, kind] : s.handler_table)
    table += " " + Quote(extension) + ":" + Number(static_cast<int>(kind));
  out += Line("handler_table", table);
  std::string skip;
  for (const auto& extension : s.skip_extensions) skip += " " + Quote(extension);
  return out + Line("skip_extensions", skip);
}

std::string DescribeHistory(const AppSettings& s) {
  return "filters:\n" + DescribeMap(s.filter_history) + "find:\n" + DescribeMap(s.find_history);
}

std::string DescribeTab(const PageData& t) {
  std::string out = Line("path", Quote(t.path));
  out += Line("file_name", Quote(t.file_name));
  out += Line("text", Quote(t.text));
  out += Line("size", Unsigned(t.size_min) + ".." + Unsigned(t.size_max));
  out += Line("time", Unsigned(t.time_min) + ".." + Unsigned(t.time_max));
  out += Line("time_type", Number(static_cast<int>(t.time_type)));
  out += Line("replace", Number(t.replace));
  out += Line("replace_text", Quote(t.replace_text));
  out += Line("include_subfolders", Number(t.include_subfolders));
  out += Line("hidden/read_only/folder", Number(static_cast<int>(t.hidden)) + "/" +
                                             Number(static_cast<int>(t.read_only)) + "/" +
                                             Number(static_cast<int>(t.folder)));
  out += Line("case/word/regexp/binary/backup", Number(t.case_sensitive) + Number(t.word_wrap) +
                                                    Number(t.reg_exp) + Number(t.binary) +
                                                    Number(t.backup));
  out += Line("replace_read_only", Number(static_cast<int>(t.replace_read_only)));
  out += Line("tab",
              Quote(t.tab_name) + " active=" + Number(t.tab_active) + " id=" + Number(t.tab_id));
  // Fields the file does not keep must come back at their defaults.
  out += Line("unsaved", Quote(t.hex_text) + Quote(t.hex_replace_text) + Number(t.converted_text) +
                             Number(t.single_file) + Number(t.max_matches) +
                             Number(t.converted_little_endian) + Number(t.skip_null_files));
  return out;
}

std::string DescribeResult(const FileResult& r) {
  return Number(static_cast<int>(r.kind)) + " " + Quote(r.folder) + " " + Quote(r.file_name) +
         " size=" + Unsigned(r.size) + " date=" + Unsigned(r.date_modified) +
         " type=" + Quote(r.type) + " reason=" + Number(r.reason) +
         " unsaved=" + Number(r.is_folder) + Number(r.replaces) +
         Number(static_cast<long long>(r.matches.size())) + Number(r.error_code) + "\n";
}

}  // namespace storage_test
