// The per-tab results files and the pending-load mark.
// Tested by tests/storage/results_file_test.cpp.
#include "storage/results_file.h"

#include <string>

#include "platform/fs.h"
#include "storage/xml_file.h"

using tinyxml2::XMLElement;

namespace {

struct KindList {
  ResultKind kind;
  const char* name;
};
constexpr KindList kKindLists[] = {
    {ResultKind::kFound, "found_results"},
    {ResultKind::kSkipped, "skipped_results"},
    {ResultKind::kError, "error_results"},
};

void WriteRow(const FileResult& row, XMLElement& result) {
  result.SetAttribute("file_name", storage::ToXml(row.file_name).c_str());
  result.SetAttribute("folder", storage::ToXml(row.folder).c_str());
  // Signed, so that a folder's all-bits-set size is written as -1.
  result.SetAttribute("size", static_cast<std::int64_t>(row.size));
  result.SetAttribute("date_modified", static_cast<std::int64_t>(row.date_modified));
  result.SetAttribute("type", storage::ToXml(row.type).c_str());
  result.SetAttribute("reason", row.reason);
}

std::unique_ptr<FileResult> ReadRow(const XMLElement& result, ResultKind kind) {
  auto row = std::make_unique<FileResult>();
  row->kind = kind;
  if (const char* text = result.Attribute("file_name")) row->file_name = storage::FromXml(text);
  if (const char* text = result.Attribute("folder")) row->folder = storage::FromXml(text);
  if (const char* text = result.Attribute("size")) row->size = storage::LeadingUInt64(text);
  if (const char* text = result.Attribute("date_modified"))
    row->date_modified = storage::LeadingUInt64(text);
  if (const char* text = result.Attribute("type")) row->type = storage::FromXml(text);
  if (const char* text = result.Attribute("reason")) row->reason = storage::LeadingInt32(text);
  return row;
}

}  // namespace

std::u16string ResultsPath(std::u16string_view data_folder, std::int32_t tab_id) {
  std::u16string path(data_folder);
  path += u"search_results";
  path += platform::kPathSeparator;
  for (char ch : std::to_string(tab_id)) path.push_back(static_cast<char16_t>(ch));
  path += u".xml";
  return path;
}

std::string ResultsXml(const std::vector<const FileResult*>& rows) {
  tinyxml2::XMLDocument doc;
  XMLElement* root = storage::NewRoot(doc, "results", "1");
  for (const KindList& list : kKindLists) {
    XMLElement* element = root->InsertNewChildElement(list.name);
    for (const FileResult* row : rows)
      if (row && row->kind == list.kind) WriteRow(*row, *element->InsertNewChildElement("result"));
  }
  return storage::PrintXml(doc);
}

bool ParseResults(std::string_view bytes, FileResultBatch& rows) {
  rows.clear();
  tinyxml2::XMLDocument doc;
  if (!storage::ParseXml(bytes, doc)) return false;
  const XMLElement* root = doc.FirstChildElement("results");
  if (!root) return false;
  const XMLElement* lists[std::size(kKindLists)];
  for (std::size_t i = 0; i < std::size(kKindLists); ++i) {
    lists[i] = root->FirstChildElement(kKindLists[i].name);
    if (!lists[i]) return false;
  }
  for (std::size_t i = 0; i < std::size(kKindLists); ++i) {
    for (const XMLElement* result = lists[i]->FirstChildElement("result"); result;
         result = result->NextSiblingElement("result"))
      rows.push_back(ReadRow(*result, kKindLists[i].kind));
  }
  return true;
}

bool SaveResults(std::u16string_view data_folder, const std::vector<const FileResult*>& rows,
                 std::int32_t tab_id) {
  if (data_folder.empty() || tab_id < 1) return false;
  return storage::WriteFileSafely(ResultsPath(data_folder, tab_id), ResultsXml(rows));
}

bool SaveResults(std::u16string_view data_folder, const FileResultBatch& rows,
                 std::int32_t tab_id) {
  std::vector<const FileResult*> pointers;
  pointers.reserve(rows.size());
  for (const auto& row : rows) pointers.push_back(row.get());
  return SaveResults(data_folder, pointers, tab_id);
}

bool LoadResults(std::u16string_view data_folder, std::int32_t tab_id, FileResultBatch& rows) {
  rows.clear();
  std::string bytes;
  return !data_folder.empty() && tab_id >= 1 &&
         storage::ReadFileBounded(ResultsPath(data_folder, tab_id), storage::kMaxResultsFileSize,
                                  bytes) &&
         ParseResults(bytes, rows);
}

bool CPendingResults::TakeRows(std::u16string_view data_folder, std::int32_t tab_id,
                               FileResultBatch& rows) {
  rows.clear();
  if (!pending_) return false;
  pending_ = false;
  return LoadResults(data_folder, tab_id, rows) && !rows.empty();
}

bool CPendingResults::Save(std::u16string_view data_folder, const FileResultBatch& rows,
                           std::int32_t tab_id) const {
  if (pending_) return true;
  return SaveResults(data_folder, rows, tab_id);
}
