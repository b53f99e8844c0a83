// The history lists of AppSettings and their file, history.xml.
// Tested by tests/storage/history_test.cpp.
#include "storage/history.h"

#include <algorithm>

#include "storage/xml_file.h"

using tinyxml2::XMLElement;

namespace {

constexpr std::u16string_view kHistoryKeys[] = {u"Path", u"FileName", u"Text", u"Replace"};

void AddToHistory(HistoryMap& map, std::u16string_view key, std::u16string_view value) {
  if (key.empty() || value.empty()) return;
  std::vector<std::u16string>& list = map[std::u16string(key)];
  auto old = std::find(list.begin(), list.end(), value);
  if (old != list.end()) list.erase(old);
  list.insert(list.begin(), std::u16string(value));
  if (list.size() > HISTORY_LIMIT) list.resize(HISTORY_LIMIT);
}

std::vector<std::u16string> HistoryOf(const HistoryMap& map, std::u16string_view key) {
  auto it = map.find(std::u16string(key));
  return it != map.end() ? it->second : std::vector<std::u16string>();
}

// Clears `map` and fills it from `group`'s children named `item`; false when
// the group is missing.
bool ReadGroup(const XMLElement& root, const char* group, const char* item, HistoryMap& map) {
  map.clear();
  const XMLElement* lists = root.FirstChildElement(group);
  if (!lists) return false;
  for (const XMLElement* list = lists->FirstChildElement(item); list;
       list = list->NextSiblingElement(item)) {
    const char* name = list->Attribute("name");
    if (!name) continue;
    std::vector<std::u16string> values;
    for (const XMLElement* value = list->FirstChildElement("value"); value;
         value = value->NextSiblingElement("value"))
      values.push_back(storage::FromXml(value->GetText()));
    // A later list with the same name replaces an earlier one.
    map[storage::FromXml(name)] = std::move(values);
  }
  return true;
}

void WriteGroup(const HistoryMap& map, const char* item, XMLElement& group) {
  for (const auto& [key, values] : map) {
    XMLElement* list = group.InsertNewChildElement(item);
    list->SetAttribute("name", storage::ToXml(key).c_str());
    for (const std::u16string& value : values) {
      XMLElement* element = list->InsertNewChildElement("value");
      // XML readers drop text made only of white space; in a CDATA
      // section it survives, and reads back as the same text. A carriage
      // return is written as a character reference, which is not white
      // space to the reader and has no meaning inside CDATA.
      bool blank = !value.empty() && value.find_first_not_of(u" \t\n") == std::u16string::npos;
      tinyxml2::XMLText* text = element->GetDocument()->NewText(storage::ToXml(value).c_str());
      text->SetCData(blank);
      element->InsertEndChild(text);
    }
  }
}

}  // namespace

std::u16string_view HistoryFieldKey(std::int32_t field) {
  if (field < 0 || field >= static_cast<std::int32_t>(std::size(kHistoryKeys))) return {};
  return kHistoryKeys[field];
}

void AppSettings::AddFindHistory(std::int32_t field, std::u16string_view value) {
  AddToHistory(find_history, HistoryFieldKey(field), value);
}

void AppSettings::AddFilterHistory(std::u16string_view key, std::u16string_view value) {
  AddToHistory(filter_history, key, value);
}

std::vector<std::u16string> AppSettings::GetFindHistory(std::int32_t field) const {
  std::u16string_view key = HistoryFieldKey(field);
  return key.empty() ? std::vector<std::u16string>() : HistoryOf(find_history, key);
}

std::vector<std::u16string> AppSettings::GetFilterHistory(std::u16string_view key) const {
  return HistoryOf(filter_history, key);
}

void AppSettings::ClearHistory() {
  filter_history.clear();
  find_history.clear();
}

std::u16string HistoryPath(std::u16string_view data_folder) {
  return std::u16string(data_folder) + u"history.xml";
}

bool ParseHistory(std::string_view bytes, AppSettings& settings) {
  tinyxml2::XMLDocument doc;
  if (!storage::ParseXml(bytes, doc)) return false;
  const XMLElement* root = doc.FirstChildElement("history");
  if (!root) return false;
  return ReadGroup(*root, "filters", "filter", settings.filter_history) &&
         ReadGroup(*root, "find_params", "find_param", settings.find_history);
}

bool LoadHistory(AppSettings& settings) {
  std::string bytes;
  return !settings.data_folder.empty() &&
         storage::ReadFileBounded(HistoryPath(settings.data_folder), storage::kMaxXmlFileSize,
                                  bytes) &&
         ParseHistory(bytes, settings);
}

std::string HistoryXml(const AppSettings& settings) {
  tinyxml2::XMLDocument doc;
  XMLElement* root = storage::NewRoot(doc, "history", "1");
  WriteGroup(settings.filter_history, "filter", *root->InsertNewChildElement("filters"));
  WriteGroup(settings.find_history, "find_param", *root->InsertNewChildElement("find_params"));
  return storage::PrintXml(doc);
}

bool SaveHistory(const AppSettings& settings) {
  if (settings.data_folder.empty()) return false;
  return storage::WriteFileSafely(HistoryPath(settings.data_folder), HistoryXml(settings));
}
