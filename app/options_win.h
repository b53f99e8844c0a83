// What the options dialog and its pages share: the page base class, texts
// from the string table with access keys, and the questions they ask.
// Tested by tests/app/options_gui_test.cpp.
#pragma once
#include <string>
#include <utility>

#include "toolkit/window.h"

namespace app {

// A page of the options dialog: a child dialog over the tab's display area
// that fills itself from the settings and writes them back at OK.
class COptionsPage : public CWindow {
 public:
  [[nodiscard]] bool Create(HWND parent, int resource);
  virtual void Fill() = 0;
  virtual void Apply() = 0;
};

// Centres a dialog on its owner window.
void CenterOnOwner(HWND dialog);

std::wstring OptionsString(int id);
// Sets control texts from the string table, each caption given an access key
// that no other of them has.
void SetTextsWithAccessKeys(HWND dialog, std::initializer_list<std::pair<int, int>> texts);
// A Yes/No question with the warning icon; true for Yes.
bool AskYesNo(HWND owner, int text_id, int caption_id);
// "This extension is already in the list", captioned "Warning".
void ShowDuplicateWarning(HWND owner);
// The program's full path, as the shell hooks name it.
std::u16string ProgramPath();

}  // namespace app
