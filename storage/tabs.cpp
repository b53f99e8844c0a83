// tabs.xml and the tab-list rules.
// Tested by tests/storage/tabs_test.cpp.
#include "storage/tabs.h"

#include <limits>
#include <variant>

#include "storage/xml_file.h"

using tinyxml2::XMLElement;

namespace {

// An integer condition read from the file is kept only when it is one of the
// codes the search knows; another number leaves the field at its default.
template <typename Enum, Enum kLast>
struct Code {
  Enum PageData::*field;
};

using Member = std::variant<std::u16string PageData::*, std::uint64_t PageData::*, bool PageData::*,
                            std::int32_t PageData::*, Code<TimeType, TimeType::kAccessed>,
                            Code<AttributeCondition, AttributeCondition::kNone>,
                            Code<ReadOnlyAction, ReadOnlyAction::kSkip>>;

struct Attribute {
  const char* name;
  Member member;
};

// Every persisted field, in file order.
const Attribute kAttributes[] = {
    {"path", &PageData::path},
    {"file_name", &PageData::file_name},
    {"text", &PageData::text},
    {"size_min", &PageData::size_min},
    {"size_max", &PageData::size_max},
    {"time_min", &PageData::time_min},
    {"time_max", &PageData::time_max},
    {"time_type", Code<TimeType, TimeType::kAccessed>{&PageData::time_type}},
    {"replace", &PageData::replace},
    {"replace_text", &PageData::replace_text},
    {"include_subfolders", &PageData::include_subfolders},
    {"hidden", Code<AttributeCondition, AttributeCondition::kNone>{&PageData::hidden}},
    {"read_only", Code<AttributeCondition, AttributeCondition::kNone>{&PageData::read_only}},
    {"folder", Code<AttributeCondition, AttributeCondition::kNone>{&PageData::folder}},
    {"case_sensitive", &PageData::case_sensitive},
    {"word_wrap", &PageData::word_wrap},
    {"reg_exp", &PageData::reg_exp},
    {"binary", &PageData::binary},
    {"backup", &PageData::backup},
    {"replace_read_only",
     Code<ReadOnlyAction, ReadOnlyAction::kSkip>{&PageData::replace_read_only}},
    {"tab_name", &PageData::tab_name},
    {"tab_active", &PageData::tab_active},
    {"tab_id", &PageData::tab_id},
};

template <typename... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

void WriteAttribute(const Attribute& attribute, const PageData& tab, XMLElement& param) {
  const char* name = attribute.name;
  std::visit(Overloaded{
                 [&](std::u16string PageData::*m) {
                   param.SetAttribute(name, storage::ToXml(tab.*m).c_str());
                 },
                 [&](std::uint64_t PageData::*m) {
                   param.SetAttribute(name, static_cast<std::int64_t>(tab.*m));
                 },
                 [&](bool PageData::*m) { param.SetAttribute(name, tab.*m ? 1 : 0); },
                 [&](std::int32_t PageData::*m) { param.SetAttribute(name, tab.*m); },
                 [&](auto code) { param.SetAttribute(name, static_cast<int>(tab.*code.field)); },
             },
             attribute.member);
}

template <typename Enum, Enum kLast>
void ReadCode(Code<Enum, kLast> code, const char* text, PageData& tab) {
  std::int32_t value = storage::LeadingInt32(text);
  if (value >= 0 && value <= static_cast<std::int32_t>(kLast))
    tab.*code.field = static_cast<Enum>(value);
}

void ReadAttribute(const Attribute& attribute, const char* text, PageData& tab) {
  std::visit(Overloaded{
                 [&](std::u16string PageData::*m) { tab.*m = storage::FromXml(text); },
                 [&](std::uint64_t PageData::*m) { tab.*m = storage::LeadingUInt64(text); },
                 [&](bool PageData::*m) { tab.*m = storage::LeadingInt32(text) != 0; },
                 [&](std::int32_t PageData::*m) { tab.*m = storage::LeadingInt32(text); },
                 [&](auto code) { ReadCode(code, text, tab); },
             },
             attribute.member);
}

PageData ReadParam(const XMLElement& param) {
  PageData tab;
  for (const Attribute& attribute : kAttributes)
    if (const char* text = param.Attribute(attribute.name)) ReadAttribute(attribute, text, tab);
  tab.tab_name = LimitTabName(tab.tab_name);
  return tab;
}

bool IsHighSurrogate(char16_t ch) { return ch >= 0xD800 && ch <= 0xDBFF; }

}  // namespace

std::u16string TabsPath(std::u16string_view data_folder) {
  return std::u16string(data_folder) + u"tabs.xml";
}

bool ParseTabs(std::string_view bytes, std::vector<PageData>& tabs) {
  tabs.clear();
  tinyxml2::XMLDocument doc;
  if (!storage::ParseXml(bytes, doc)) return false;
  const XMLElement* root = doc.FirstChildElement("params");
  if (!root) return false;
  for (const XMLElement* param = root->FirstChildElement("param"); param;
       param = param->NextSiblingElement("param"))
    tabs.push_back(ReadParam(*param));
  return true;
}

bool LoadTabs(std::u16string_view data_folder, std::vector<PageData>& tabs) {
  tabs.clear();
  std::string bytes;
  return !data_folder.empty() &&
         storage::ReadFileBounded(TabsPath(data_folder), storage::kMaxXmlFileSize, bytes) &&
         ParseTabs(bytes, tabs);
}

std::string TabsXml(const std::vector<PageData>& tabs) {
  tinyxml2::XMLDocument doc;
  XMLElement* root = storage::NewRoot(doc, "params", "1.1");
  for (const PageData& tab : tabs) {
    XMLElement* param = root->InsertNewChildElement("param");
    for (const Attribute& attribute : kAttributes) WriteAttribute(attribute, tab, *param);
  }
  return storage::PrintXml(doc);
}

bool SaveTabs(std::u16string_view data_folder, const std::vector<PageData>& tabs) {
  if (data_folder.empty()) return false;
  return storage::WriteFileSafely(TabsPath(data_folder), TabsXml(tabs));
}

// ---- Tab-list rules ---------------------------------------------------------

std::u16string LimitTabName(std::u16string_view name) {
  if (name.size() <= kMaxTabNameLength) return std::u16string(name);
  std::size_t length = kMaxTabNameLength;
  if (IsHighSurrogate(name[length - 1])) --length;
  return std::u16string(name.substr(0, length));
}

bool ShouldSaveTab(std::u16string_view tab_name, bool dont_save_unnamed_tabs,
                   std::u16string_view default_name) {
  if (!dont_save_unnamed_tabs || default_name.empty()) return true;
  return !tab_name.starts_with(default_name);
}

std::u16string NewTabName(const std::vector<std::u16string>& names_in_use,
                          std::u16string_view default_name) {
  auto in_use = [&](const std::u16string& name) {
    for (const std::u16string& used : names_in_use)
      if (used == name) return true;
    return false;
  };
  std::u16string name(default_name);
  // At most names_in_use.size() candidates can be taken.
  for (std::size_t number = 1; in_use(name); ++number) {
    name = std::u16string(default_name) + u'(';
    for (char ch : std::to_string(number)) name.push_back(static_cast<char16_t>(ch));
    name += u')';
  }
  return name;
}

std::int32_t AssignPageId(std::int32_t wanted, const std::set<std::int32_t>& ids_in_use) {
  if (wanted >= 1 && !ids_in_use.contains(wanted)) return wanted;
  if (ids_in_use.empty() || *ids_in_use.rbegin() < 1) return 1;
  std::int32_t largest = *ids_in_use.rbegin();
  if (largest < std::numeric_limits<std::int32_t>::max()) return largest + 1;
  std::int32_t id = 1;
  while (ids_in_use.contains(id)) ++id;
  return id;
}

PageData MakePageData(const FileFindParamsIn& criteria, std::int32_t page_id,
                      std::u16string_view tab_name, bool active) {
  PageData tab;
  static_cast<FileFindParamsIn&>(tab) = criteria;
  tab.tab_id = page_id;
  tab.tab_name = LimitTabName(tab_name);
  tab.tab_active = active;
  return tab;
}
