// history.xml: the search-field and column-filter history lists of
// AppSettings. Tested by tests/storage/history_test.cpp.
#pragma once
#include <string>
#include <string_view>

#include "storage/app_settings.h"

// Reads data_folder + "history.xml" into the two maps. False when the file is
// missing or malformed, or lacks "filters" or "find_params" (the lists read
// before the gap are kept).
bool LoadHistory(AppSettings& settings);
// Writes data_folder + "history.xml"; false leaves the previous file intact.
[[nodiscard]] bool SaveHistory(const AppSettings& settings);

bool ParseHistory(std::string_view bytes, AppSettings& settings);
std::string HistoryXml(const AppSettings& settings);

std::u16string HistoryPath(std::u16string_view data_folder);
