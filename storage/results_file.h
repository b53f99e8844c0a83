// The per-tab results files (search_results/<tab id>.xml) and the page's
// pending-load mark. Tested by tests/storage/results_file_test.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_result.h"

// Writes the rows of the found, skipped and error kinds to the tab's file,
// grouped by kind; false when it could not be written (the previous file is
// then intact) or the id is below 1.
[[nodiscard]] bool SaveResults(std::u16string_view data_folder,
                               const std::vector<const FileResult*>& rows, std::int32_t tab_id);
[[nodiscard]] bool SaveResults(std::u16string_view data_folder, const FileResultBatch& rows,
                               std::int32_t tab_id);
// Reads the tab's file: found rows first, then skipped, then error. False
// with no rows when it is missing, malformed or lacks one of the three lists.
[[nodiscard]] bool LoadResults(std::u16string_view data_folder, std::int32_t tab_id,
                               FileResultBatch& rows);

bool ParseResults(std::string_view bytes, FileResultBatch& rows);
std::string ResultsXml(const std::vector<const FileResult*>& rows);

// data_folder + "search_results" + separator + id + ".xml".
std::u16string ResultsPath(std::u16string_view data_folder, std::int32_t tab_id);

// A page restored from tabs.xml reads its results file the first time it is
// shown, at most once per run; until then the file is the only copy of its
// rows, so the page must not overwrite it with its empty lists at shutdown.
// A page opened new carries no mark and never reads a file.
class CPendingResults {
 public:
  explicit CPendingResults(bool restored = false) : pending_(restored) {}

  bool pending() const { return pending_; }
  // While the mark is set: clears it and reads the file (true when rows were
  // read). Afterwards, and for a new page: false without reading.
  bool TakeRows(std::u16string_view data_folder, std::int32_t tab_id, FileResultBatch& rows);
  // At shutdown: writes `rows` unless the mark is still set, in which case the
  // file is left as it is. True when the file holds what it should.
  [[nodiscard]] bool Save(std::u16string_view data_folder, const FileResultBatch& rows,
                          std::int32_t tab_id) const;

 private:
  bool pending_;
};
