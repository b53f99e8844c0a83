// The options record, the per-user data folder, settings.xml and the history
// lists (kept in memory here, stored in history.xml by history.h).
// Tested by tests/storage/settings_test.cpp and tests/storage/history_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/handler_table.h"

// A screen rectangle; all four zero means never saved.
struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const WindowRect&) const = default;
};

// Key -> entries, most recent first. Ordered by UTF-16 code units.
using HistoryMap = std::map<std::u16string, std::vector<std::u16string>>;

inline constexpr std::size_t HISTORY_LIMIT = 20;

// The search fields whose values have a history list.
enum HistoryField : std::int32_t {
  kHistoryPath = 0,
  kHistoryFileName = 1,
  kHistoryText = 2,
  kHistoryReplace = 3,
};
// "Path", "FileName", "Text", "Replace"; empty for any other number.
std::u16string_view HistoryFieldKey(std::int32_t field);

class AppSettings {
 public:
  AppSettings();

  WindowRect window_rect;
  bool maximized = false;
  std::int32_t advanced_visible = 0;
  bool dont_save_unnamed_tabs = false;
  std::int32_t max_number_matches = 100;
  std::int32_t limit_file_preview = 5;  // megabytes; 0 means no limit
  bool filter_bar_visible = true;       // for the run only, never saved
  bool treat_null_as_binary = true;
  bool ignore_files = true;
  // Ends with the path separator once InitDataFolder succeeded.
  std::u16string data_folder;
  ExtensionHandlerTable handler_table;
  ExtensionHandlerTable default_handler_table;
  std::vector<std::u16string> default_skip_extensions;
  std::vector<std::u16string> skip_extensions;
  HistoryMap filter_history;
  HistoryMap find_history;

  void ResetHandlerDefaults();
  void ResetSkipDefaults();
  // The copy a search takes when it starts, so that the options dialog can
  // replace the tables while searches run.
  HandlerSettings HandlerSnapshot() const;

  // Moves `value` to the front of the key's list (without duplicates, at most
  // HISTORY_LIMIT entries). An empty key or value, or a field number without
  // a key, changes nothing.
  void AddFindHistory(std::int32_t field, std::u16string_view value);
  void AddFilterHistory(std::u16string_view key, std::u16string_view value);
  std::vector<std::u16string> GetFindHistory(std::int32_t field) const;
  std::vector<std::u16string> GetFilterHistory(std::u16string_view key) const;
  void ClearHistory();
};

// `dir` with a trailing separator: the data folder named on a command line.
std::u16string DataFolderFromDir(std::u16string_view dir);

// Sets `data_folder` to the per-user application-data folder + "Varnel" and
// creates it and its "search_results" subfolder when missing.
[[nodiscard]] bool InitDataFolder(AppSettings& settings);
// The same under a given base folder instead of the system's.
[[nodiscard]] bool InitDataFolderIn(AppSettings& settings, std::u16string_view base);

// Reads data_folder + "settings.xml" into the record; creates nothing. True
// when the file was read to the end; whatever happens, both extension tables
// end up non-empty.
bool LoadSettings(AppSettings& settings);
// Writes data_folder + "settings.xml"; false leaves the previous file intact.
[[nodiscard]] bool SaveSettings(const AppSettings& settings);

// The readers and writer on bytes, for tests and the fuzzer.
bool ParseSettings(std::string_view bytes, AppSettings& settings);
std::string SettingsXml(const AppSettings& settings);

std::u16string SettingsPath(std::u16string_view data_folder);
