// CRichEditControl: the rich edit 2.0 control of the match preview, with its
// own context menu, text operations in UTF-16, and character effects on
// ranges; a left double click posts WM_PREVIEW_GOTO to the parent.
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
#include <richedit.h>

#include <string>

#include "toolkit/window.h"

class CRichEditControl : public CWindow {
 public:
  // Context menu commands.
  enum MenuCommand : UINT { kCut = 1, kCopy = 2, kPaste = 3, kDelete = 4, kSelectAll = 5 };

  // Loads riched20.dll, which registers the "RichEdit20W" class; once per
  // process, true when the class is available.
  [[nodiscard]] static bool LoadRichEditLibrary();

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

  // Characters, counting a paragraph break as one.
  int TextLength() const;
  // New text takes the character format of the character before it (the
  // rich edit's rule), effects included: set effects after adding text.
  void AppendText(const std::wstring& text);
  void InsertText(int position, const std::wstring& text);
  // Effects on the range [start, end); the selection is restored afterwards.
  void SetTextColor(int start, int end, COLORREF color);
  void SetBackColor(int start, int end, COLORREF color);
  void SetStrikeOut(int start, int end, bool on);
  void SetLink(int start, int end, bool on);

  // The context menu for the control's current state (the caller destroys
  // it), and what choosing an item does.
  HMENU BuildContextMenu() const;
  void RunMenuCommand(UINT command);

 private:
  void ShowContextMenu(LPARAM lparam);
  void SetCharFormat(int start, int end, CHARFORMAT2W format);
  void ReplaceSelection(const std::wstring& text);
};
