// CAboutDialog: the program's name and the version from its version
// resource.
#pragma once
#include <string>

#include "toolkit/window.h"

class CAboutDialog : public CWindow {
 public:
  void Run(HWND owner);
  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
};

// "1.2.3" from the program's version resource; empty when it has none.
std::wstring ProgramVersion();
