// The folder and file-name fields against the two-list dialogs: splitting a
// field into include and exclude lines, and joining the lines back; and the
// texts of the history drop-down menus.
// Tested by tests/ui/ui_logic_test.cpp.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct FieldLists {
  std::vector<std::u16string> include;
  std::vector<std::u16string> exclude;
};

// Folders: items with a leading "-" are exclusions (shown without it).
FieldLists SplitFolderField(std::u16string_view field);
// File names: by the mask syntax (leading dashes counted).
FieldLists SplitFileNameField(std::u16string_view field);

// One item per line, lines ended by CR LF, for a multi-line edit.
std::u16string LinesToEditText(const std::vector<std::u16string>& lines);
// The lines of a multi-line edit's text (CR LF, LF or CR ends a line); empty
// lines are dropped. Lines are taken whole, however long.
std::vector<std::u16string> EditTextToLines(std::u16string_view text);

// Include lines first, then exclude lines, joined by ";": folders take one
// "-" in front of an exclusion; file names double every leading "-" and an
// exclusion takes one more.
std::u16string JoinFolderLines(const std::vector<std::u16string>& include,
                               const std::vector<std::u16string>& exclude);
std::u16string JoinFileNameLines(const std::vector<std::u16string>& include,
                                 const std::vector<std::u16string>& exclude);

// A history entry as its menu shows it: one of 71 characters or more is cut
// to its first 70, followed by "...".
std::u16string HistoryMenuText(std::u16string_view entry);

}  // namespace ui
