// Window-free rules of the result lists' file operations: the file-drop
// block that carries paths to the clipboard and to drop targets, the
// double-NUL path list of the shell's file operations, the pending cut and
// when a paste may delete it, the rows a delete removes, and the path field
// text made of items dropped onto a page.
// Tested by tests/ui/file_drop_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ui {

using PathList = std::vector<std::u16string>;

// The block's header: offset of the first path (4 bytes), drop point (two
// 4-byte values), non-client flag (4) and wide flag (4), little-endian.
inline constexpr std::size_t kDropHeaderBytes = 20;
// A drag's block carries this much zero-filled room after the list.
inline constexpr std::size_t kDragBlockSlack = 1000;

// The header, then every path in UTF-16 with its NUL, then a final NUL;
// `slack` zero bytes follow.
std::vector<std::uint8_t> FileDropBlock(const PathList& paths, std::size_t slack = 0);
// The paths one after another, each ended by a NUL, and one more NUL.
std::u16string DoubleNulList(const PathList& paths);

// Drop effects as OLE numbers them.
inline constexpr std::uint32_t kEffectNone = 0;
inline constexpr std::uint32_t kEffectCopy = 1;
inline constexpr std::uint32_t kEffectMove = 2;

// The last cut of one result list. Each clipboard object made by a cut gets
// its own number; a paste reported on an older object, or after a Copy,
// deletes nothing, and a cut is deleted at most once.
class CCutTracker {
 public:
  // Remembers the paths; returns the number of the new clipboard object.
  std::uint32_t Cut(PathList paths);
  // A Copy (or any later clipboard object) ends the pending cut.
  void Drop() { pending_ = false; }
  bool Pending() const { return pending_; }
  std::uint32_t Number() const { return number_; }
  // A paste target reported `effect` on object `number`: the paths to
  // delete now (the target copied or moved them), else none.
  PathList TakePaste(std::uint32_t number, std::uint32_t effect);

 private:
  PathList paths_;
  std::uint32_t number_ = 0;
  bool pending_ = false;
};

// Rows (with their paths) that a delete may remove: those whose file no
// longer exists, last row first. A canceled or failed delete leaves every
// file, so it removes nothing.
struct RowPath {
  std::size_t row;
  std::u16string path;
};
std::vector<std::size_t> RowsGone(const std::vector<RowPath>& rows,
                                  const std::function<bool(const std::u16string&)>& exists);

// The folder that holds `path` ("C:\" for "C:\a.txt", "\\host\share" for a
// file at a share's top); the path itself when it has no folder part.
std::u16string ParentFolder(std::u16string_view path);

// The path field text for items dropped onto a page: a folder stands for
// itself, a file for its folder; duplicates (in any case) are left out and
// the rest joined with ";" in drop order.
struct DroppedItem {
  std::u16string path;
  bool is_folder;
};
std::u16string DroppedPathText(const std::vector<DroppedItem>& items);

}  // namespace ui
