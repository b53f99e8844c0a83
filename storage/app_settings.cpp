// The options record, the data folder and settings.xml.
// Tested by tests/storage/settings_test.cpp.
#include "storage/app_settings.h"

#include <algorithm>
#include <limits>

#include "platform/fs.h"
#include "platform/text.h"
#include "storage/xml_file.h"

using tinyxml2::XMLElement;

namespace {

// The scalar options in file order; exactly one of the two members is set.
struct ScalarOption {
  const char* name;
  bool AppSettings::*flag;
  std::int32_t AppSettings::*number;
};
constexpr ScalarOption kScalarOptions[] = {
    {"maximized", &AppSettings::maximized, nullptr},
    {"advanced_visible", nullptr, &AppSettings::advanced_visible},
    {"dont_save_unnamed_tabs", &AppSettings::dont_save_unnamed_tabs, nullptr},
    {"max_number_matches", nullptr, &AppSettings::max_number_matches},
    {"limit_file_preview", nullptr, &AppSettings::limit_file_preview},
    {"ignore_files", &AppSettings::ignore_files, nullptr},
    {"treat_null_as_binary", &AppSettings::treat_null_as_binary, nullptr},
};

bool IsSeparator(char16_t ch) { return ch == platform::kPathSeparator || ch == u'/'; }

// Sums of 32-bit coordinates computed wide and clamped, so that a hand-edited
// file cannot overflow them.
std::int32_t Clamp32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void ReadWindowPos(const XMLElement& pos, WindowRect& rect) {
  if (const char* left = pos.Attribute("left")) rect.left = storage::LeadingInt32(left);
  if (const char* top = pos.Attribute("top")) rect.top = storage::LeadingInt32(top);
  // Read as 64 bits: the writer writes right minus left without overflow.
  auto width = static_cast<std::int64_t>(storage::LeadingUInt64(pos.Attribute("width")));
  auto height = static_cast<std::int64_t>(storage::LeadingUInt64(pos.Attribute("height")));
  rect.right = Clamp32(rect.left + width);
  rect.bottom = Clamp32(rect.top + height);
}

void ReadScalars(const XMLElement& root, AppSettings& settings) {
  for (const ScalarOption& option : kScalarOptions) {
    const XMLElement* element = root.FirstChildElement(option.name);
    // A missing element or text reads as 0: the option becomes 0 or false,
    // not its default.
    std::int32_t value = storage::LeadingInt32(element ? element->GetText() : nullptr);
    if (option.flag)
      settings.*option.flag = value != 0;
    else
      settings.*option.number = value;
  }
  settings.advanced_visible = settings.advanced_visible != 0 ? 1 : 0;
}

void ReadExtensions(const XMLElement& root, bool old_version, AppSettings& settings) {
  const XMLElement* extensions = root.FirstChildElement("extensions");
  if (!extensions) return;
  for (const XMLElement* row = extensions->FirstChildElement("extension"); row;
       row = row->NextSiblingElement("extension")) {
    const char* name = row->Attribute("name");
    const char* handler = row->Attribute("handler");
    if (!name || !handler) continue;
    std::u16string extension = platform::Lowered(storage::FromXml(name));
    std::int32_t kind = storage::LeadingInt32(handler);
    // A number that names no handler kind would reach the handler factory as
    // an unknown kind; such a row is dropped like one without "handler".
    bool known = kind >= static_cast<std::int32_t>(HandlerKind::kPlainText) &&
                 kind <= static_cast<std::int32_t>(HandlerKind::kBuiltIn);
    if (kind == 0)
      settings.skip_extensions.push_back(std::move(extension));
    else if (known)
      settings.handler_table[std::move(extension)] = static_cast<HandlerKind>(kind);
  }
  // Files of earlier versions gain the handlers added since; the user's own
  // rows win.
  if (old_version)
    settings.handler_table.insert(settings.default_handler_table.begin(),
                                  settings.default_handler_table.end());
}

// False when reading stopped early (no "settings" root or no "window_pos").
bool ReadSettingsDocument(std::string_view bytes, AppSettings& settings) {
  tinyxml2::XMLDocument doc;
  if (!storage::ParseXml(bytes, doc)) return false;
  const XMLElement* root = doc.FirstChildElement("settings");
  if (!root) return false;
  bool old_version = storage::LeadingNumber(root->Attribute("version")) - 1 <= -0.000001;
  const XMLElement* pos = root->FirstChildElement("window_pos");
  if (!pos) return false;
  ReadWindowPos(*pos, settings.window_rect);
  ReadScalars(*root, settings);
  ReadExtensions(*root, old_version, settings);
  return true;
}

void WriteExtensions(const AppSettings& settings, XMLElement& extensions) {
  for (const auto& [extension, kind] : settings.handler_table) {
    XMLElement* row = extensions.InsertNewChildElement("extension");
    row->SetAttribute("name", storage::ToXml(extension).c_str());
    row->SetAttribute("handler", static_cast<int>(kind));
  }
  for (const std::u16string& extension : settings.skip_extensions) {
    XMLElement* row = extensions.InsertNewChildElement("extension");
    row->SetAttribute("name", storage::ToXml(extension).c_str());
    row->SetAttribute("handler", 0);
  }
}

}  // namespace

AppSettings::AppSettings()
    : default_handler_table(DefaultHandlerTable()),
      default_skip_extensions(DefaultSkipExtensions()) {}

void AppSettings::ResetHandlerDefaults() { handler_table = default_handler_table; }

void AppSettings::ResetSkipDefaults() { skip_extensions = default_skip_extensions; }

HandlerSettings AppSettings::HandlerSnapshot() const {
  HandlerSettings snapshot;
  snapshot.handler_table = handler_table;
  snapshot.skip_extensions = skip_extensions;
  snapshot.ignore_files = ignore_files;
  return snapshot;
}

std::u16string DataFolderFromDir(std::u16string_view dir) {
  std::u16string folder(dir);
  if (folder.empty() || !IsSeparator(folder.back())) folder.push_back(platform::kPathSeparator);
  return folder;
}

bool InitDataFolder(AppSettings& settings) {
  std::u16string base = platform::AppDataFolder();
  if (base.empty()) return false;
  return InitDataFolderIn(settings, base);
}

bool InitDataFolderIn(AppSettings& settings, std::u16string_view base) {
  if (base.empty()) return false;
  std::u16string folder = DataFolderFromDir(DataFolderFromDir(base) + u"Varnel");
  // The whole tree: on Linux ~/.config itself may not exist yet.
  if (!platform::CreateFolderTree(folder) ||
      !platform::CreateFolderTree(folder + u"search_results"))
    return false;
  settings.data_folder = std::move(folder);
  return true;
}

std::u16string SettingsPath(std::u16string_view data_folder) {
  return std::u16string(data_folder) + u"settings.xml";
}

bool ParseSettings(std::string_view bytes, AppSettings& settings) {
  bool complete = ReadSettingsDocument(bytes, settings);
  // Also when reading stopped early: a user never ends up with an empty
  // handler table.
  if (settings.handler_table.empty()) {
    settings.ResetHandlerDefaults();
    settings.ResetSkipDefaults();
  }
  return complete;
}

bool LoadSettings(AppSettings& settings) {
  std::string bytes;
  if (settings.data_folder.empty() || !storage::ReadFileBounded(SettingsPath(settings.data_folder),
                                                                storage::kMaxXmlFileSize, bytes))
    bytes.clear();
  return ParseSettings(bytes, settings);
}

std::string SettingsXml(const AppSettings& settings) {
  tinyxml2::XMLDocument doc;
  XMLElement* root = storage::NewRoot(doc, "settings", "1");
  XMLElement* pos = root->InsertNewChildElement("window_pos");
  const WindowRect& rect = settings.window_rect;
  pos->SetAttribute("left", rect.left);
  pos->SetAttribute("top", rect.top);
  pos->SetAttribute("width", static_cast<std::int64_t>(rect.right) - rect.left);
  pos->SetAttribute("height", static_cast<std::int64_t>(rect.bottom) - rect.top);
  for (const ScalarOption& option : kScalarOptions) {
    XMLElement* element = root->InsertNewChildElement(option.name);
    element->SetText(option.flag ? (settings.*option.flag ? 1 : 0) : settings.*option.number);
  }
  WriteExtensions(settings, *root->InsertNewChildElement("extensions"));
  return storage::PrintXml(doc);
}

bool SaveSettings(const AppSettings& settings) {
  if (settings.data_folder.empty()) return false;
  return storage::WriteFileSafely(SettingsPath(settings.data_folder), SettingsXml(settings));
}
