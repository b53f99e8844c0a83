// CDisplayOptionsPage: the match and preview limits, and Reset History
// Lists, which empties the history lists at once.
// Tested by tests/app/options_gui_test.cpp; its rules by
// tests/app/logic/options_logic_test.cpp.
#pragma once
#include "app/options_win.h"
#include "storage/app_settings.h"

namespace app {

class CDisplayOptionsPage : public COptionsPage {
 public:
  explicit CDisplayOptionsPage(AppSettings& settings) : settings_(settings) {}
  ~CDisplayOptionsPage() override { Destroy(); }

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Fill() override;
  // A field that does not hold a number keeps its option.
  void Apply() override;

 private:
  AppSettings& settings_;
};

}  // namespace app
