// Readable transcripts of persisted records, so that tests compare whole
// records and a failure shows every field that differs.
#pragma once
#include <string>
#include <string_view>

#include "engine/file_result.h"
#include "storage/app_settings.h"
#include "storage/tabs.h"

namespace storage_test {

// UTF-8 in double quotes with control characters escaped ("\r", "\x01").
std::string Quote(std::u16string_view text);

// The fields each file stores, one "name=value" per line.
std::string DescribeSettings(const AppSettings& settings);
std::string DescribeHistory(const AppSettings& settings);
std::string DescribeTab(const PageData& tab);
std::string DescribeResult(const FileResult& row);

}  // namespace storage_test
