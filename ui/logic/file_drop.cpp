// File-drop block, path lists, cut tracking and dropped paths (see
// file_drop.h). Tested by tests/ui/file_drop_test.cpp.
#include "ui/logic/file_drop.h"

#include <algorithm>

#include "ui/logic/result_table.h"

namespace ui {
namespace {

void PutU32(std::vector<std::uint8_t>& block, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) block[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// "C:\" or "C:/" (a drive's root keeps its separator).
bool IsDriveRoot(std::u16string_view path) {
  return path.size() == 3 && path[1] == u':' && IsSeparator(path[2]);
}

std::u16string TrimSeparators(std::u16string_view path) {
  while (path.size() > 1 && IsSeparator(path.back()) && !IsDriveRoot(path)) {
    path.remove_suffix(1);
  }
  return std::u16string(path);
}

}  // namespace

std::vector<std::uint8_t> FileDropBlock(const PathList& paths, std::size_t slack) {
  const std::u16string list = DoubleNulList(paths);
  std::vector<std::uint8_t> block(kDropHeaderBytes + list.size() * 2 + slack, 0);
  PutU32(block, 0, kDropHeaderBytes);  // the paths follow the header
  PutU32(block, 16, 1);                // UTF-16 paths
  for (std::size_t i = 0; i < list.size(); ++i) {
    block[kDropHeaderBytes + 2 * i] = static_cast<std::uint8_t>(list[i] & 0xFF);
    block[kDropHeaderBytes + 2 * i + 1] = static_cast<std::uint8_t>(list[i] >> 8);
  }
  return block;
}

std::u16string DoubleNulList(const PathList& paths) {
  std::u16string list;
  for (const std::u16string& path : paths) {
    list += path;
    list += u'\0';
  }
  // An empty list still needs both NULs: the readers stop at an empty path.
  if (list.empty()) list += u'\0';
  list += u'\0';
  return list;
}

std::uint32_t CCutTracker::Cut(PathList paths) {
  paths_ = std::move(paths);
  pending_ = true;
  return ++number_;
}

PathList CCutTracker::TakePaste(std::uint32_t number, std::uint32_t effect) {
  if (!pending_ || number != number_) return {};
  if ((effect & (kEffectCopy | kEffectMove)) == 0) return {};
  pending_ = false;
  return std::move(paths_);
}

std::vector<std::size_t> RowsGone(const std::vector<RowPath>& rows,
                                  const std::function<bool(const std::u16string&)>& exists) {
  std::vector<std::size_t> gone;
  for (const RowPath& row : rows) {
    if (!exists(row.path)) gone.push_back(row.row);
  }
  std::sort(gone.begin(), gone.end(), std::greater<>());
  gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
  return gone;
}

std::u16string ParentFolder(std::u16string_view path) {
  const std::u16string trimmed = TrimSeparators(path);
  const std::size_t last = trimmed.find_last_of(u"\\/");
  if (last == std::u16string::npos) return trimmed;
  // "C:\a.txt" -> "C:\": the root keeps its separator.
  if (last == 2 && trimmed[1] == u':') return trimmed.substr(0, 3);
  if (last == 0) return trimmed.substr(0, 1);
  return trimmed.substr(0, last);
}

std::u16string DroppedPathText(const std::vector<DroppedItem>& items) {
  std::vector<std::u16string> folders;
  for (const DroppedItem& item : items) {
    if (item.path.empty()) continue;
    std::u16string folder = item.is_folder ? TrimSeparators(item.path) : ParentFolder(item.path);
    const bool seen = std::any_of(folders.begin(), folders.end(), [&](const std::u16string& f) {
      return CompareNoCase(f, folder) == 0;
    });
    if (!seen) folders.push_back(std::move(folder));
  }
  std::u16string text;
  for (const std::u16string& folder : folders) {
    if (!text.empty()) text += u';';
    text += folder;
  }
  return text;
}

}  // namespace ui
