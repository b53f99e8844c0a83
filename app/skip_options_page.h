// CSkipOptionsPage: the extensions whose contents are never read and the
// rule for files holding a NULL character. The list is edited in a working
// copy that reaches the settings at OK; its Reset replaces the settings'
// list at once.
// Tested by tests/app/options_gui_test.cpp; its rules by
// tests/app/logic/options_logic_test.cpp.
#pragma once
#include "app/logic/options_model.h"
#include "app/options_win.h"
#include "storage/app_settings.h"

namespace app {

class CSkipOptionsPage : public COptionsPage {
 public:
  explicit CSkipOptionsPage(AppSettings& settings) : settings_(settings) {}
  ~CSkipOptionsPage() override { Destroy(); }

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Fill() override;
  void Apply() override;

 private:
  void ShowRows(int selected);
  void UpdateEnabled();
  void Add();
  void Delete();
  void Reset();

  AppSettings& settings_;
  CSkipListCopy copy_;
};

}  // namespace app
