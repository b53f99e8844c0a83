// CShellHelper: a result list's file operations as the shell does them:
// files to the clipboard (copy, and cut with a pending delete that a paste
// confirms), delete to the Recycle Bin, open (Open With when no program is
// associated), properties, dragging (copy only), and the context menus: the
// shell's own for one file, with "Open file location" and "Copy file name",
// and a short menu for several.
// Tested by tests/ui/shell_ops_gui_test.cpp; the rules by
// tests/ui/file_drop_test.cpp.
#pragma once
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "ui/data_object.h"
#include "ui/logic/file_drop.h"

namespace ui {

// Commands of the context menus.
inline constexpr UINT kShellFirstCommand = 1;
inline constexpr UINT kShellLastCommand = 30000;
inline constexpr UINT kCmdOpenFileLocation = 30001;
inline constexpr UINT kCmdCopyFileName = 30002;
inline constexpr UINT kCmdMenuCut = 32784;
inline constexpr UINT kCmdMenuCopy = 32785;
inline constexpr UINT kCmdMenuDelete = 32786;
inline constexpr UINT kCmdMenuProperties = 32787;

class CShellHelper : public IPasteListener {
 public:
  enum class MenuOutcome {
    kNone,     // closed, or a command that changes no row
    kDeleted,  // a delete ran: rows whose files are gone go
    kFailed,   // no menu (beeped)
  };

  CShellHelper() = default;
  CShellHelper(const CShellHelper&) = delete;
  CShellHelper& operator=(const CShellHelper&) = delete;
  // Hands a clipboard object of this list over to the clipboard itself
  // (the files stay there), since it cannot report to this list any more.
  ~CShellHelper();

  // Puts the files on the clipboard; ends a pending cut.
  [[nodiscard]] bool CopyFilesToClipboard(const PathList& paths);
  // Puts the files on the clipboard; a paste that reports a copy or a move
  // of them sends them to the Recycle Bin.
  [[nodiscard]] bool CutFilesToClipboard(const PathList& paths);
  bool CutPending() const { return cut_.Pending(); }
  // The object this list last put on the clipboard (null before), as a
  // paste target in this process holds it.
  IDataObject* ClipboardObject() const { return clipboard_; }

  // The shell's delete to the Recycle Bin, asking first (owned by `owner`).
  // True when the shell reports success; the caller checks which files are
  // gone, since the user may cancel part of it.
  [[nodiscard]] static bool DeleteFiles(HWND owner, const PathList& paths);
  // The default verb; Open With when the type has no program.
  [[nodiscard]] static bool OpenFile(const std::u16string& path);
  [[nodiscard]] static bool ShowProperties(const PathList& paths);
  // A drag of the files that allows only a copy; the effect the target took.
  static DWORD DragFiles(const PathList& paths);

  // Shows the context menu of `paths` at `screen` and runs the chosen
  // command. One menu at a time per list.
  MenuOutcome ShowContextMenu(HWND owner, POINT screen, const PathList& paths);
  // The menu as ShowContextMenu builds it (the shell's for one path, the
  // short menu for several); null when there is none. Ended by CloseMenu.
  HMENU BuildMenu(HWND owner, const PathList& paths);
  // Runs a command of the menu BuildMenu built for `paths`.
  MenuOutcome RunCommand(HWND owner, UINT command, const PathList& paths);
  void CloseMenu();
  // Owner-draw and popup messages of the open shell menu go to it (the
  // list calls this from its window procedure); true when it took one.
  bool HandleMenuMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result);

  void OnPastePerformed(std::uint32_t object_number, DWORD effect) override;

 private:
  [[nodiscard]] bool PutOnClipboard(const PathList& paths, std::uint32_t number);
  HMENU BuildShellMenu(HWND owner, const std::u16string& path);
  HMENU BuildShortMenu();
  MenuOutcome RunShellCommand(HWND owner, UINT command);

  CCutTracker cut_;
  CDataObject* clipboard_ = nullptr;  // the last object this list put there
  IContextMenu* menu_ = nullptr;
  IContextMenu2* menu2_ = nullptr;
  IContextMenu3* menu3_ = nullptr;
  HMENU popup_ = nullptr;
  bool menu_open_ = false;
};

}  // namespace ui
