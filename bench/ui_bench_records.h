// Records for the result-list benchmarks: a million found files spread over
// folders, with a folder entry now and then, and strings short enough to sit
// inside their string objects, so that heap growth per record is what the
// list itself spends beyond the strings.
#pragma once
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/file_result.h"

namespace ui_bench {

inline constexpr int kRecords = 1000000;
inline constexpr int kBatch = 1000;

inline std::unique_ptr<FileResult> MakeRecord(int i) {
  auto r = std::make_unique<FileResult>();
  const char16_t ext[][4] = {u"txt", u"cpp", u"h", u"log", u"exe"};
  r->file_name = u"f" + std::u16string(1, static_cast<char16_t>(u'a' + (i * 7919) % 26)) +
                 std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u"." + ext[i % 5];
  r->folder = u"C:\\d";
  r->is_folder = i % 997 == 0;
  r->size = r->is_folder ? kFolderSize : static_cast<std::uint64_t>((i * 2654435761u) % 5000000);
  r->type = ExtensionOf(r->file_name);
  r->date_modified = 133000000000000000ULL + static_cast<std::uint64_t>(i % 3000) * 864000000000ULL;
  return r;
}

class Timer {
 public:
  double Ms() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace ui_bench
