// libFuzzer target for the readers of settings.xml, history.xml, tabs.xml and
// the results files. The first byte picks the reader. Beyond not crashing,
// each reader's result must survive being written and read again unchanged,
// and settings must always end with a non-empty handler table.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "storage/app_settings.h"
#include "storage/history.h"
#include "storage/results_file.h"
#include "storage/tabs.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void FuzzSettings(std::string_view bytes) {
  AppSettings settings;
  ParseSettings(bytes, settings);
  Check(!settings.handler_table.empty());
  std::string written = SettingsXml(settings);
  AppSettings again;
  Check(ParseSettings(written, again));
  Check(SettingsXml(again) == written);
}

void FuzzHistory(std::string_view bytes) {
  AppSettings settings;
  ParseHistory(bytes, settings);
  std::string written = HistoryXml(settings);
  AppSettings again;
  Check(ParseHistory(written, again));
  Check(HistoryXml(again) == written);
}

void FuzzTabs(std::string_view bytes) {
  std::vector<PageData> tabs;
  ParseTabs(bytes, tabs);
  std::string written = TabsXml(tabs);
  std::vector<PageData> again;
  Check(ParseTabs(written, again));
  Check(TabsXml(again) == written);
}

void FuzzResults(std::string_view bytes) {
  FileResultBatch rows;
  ParseResults(bytes, rows);
  std::vector<const FileResult*> pointers;
  for (const auto& row : rows) pointers.push_back(row.get());
  std::string written = ResultsXml(pointers);
  FileResultBatch again;
  Check(ParseResults(written, again));
  Check(again.size() == rows.size());
  pointers.clear();
  for (const auto& row : again) pointers.push_back(row.get());
  Check(ResultsXml(pointers) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0: FuzzSettings(bytes); break;
    case 1: FuzzHistory(bytes); break;
    case 2: FuzzTabs(bytes); break;
    default: FuzzResults(bytes); break;
  }
  return 0;
}
