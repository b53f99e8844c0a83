// CFormatsOptionsPage: the extension table, which content handler each file
// extension gets, edited in a working copy that reaches the settings at OK.
// Its Reset replaces the settings' table at once.
// Tested by tests/app/options_gui_test.cpp; its rules by
// tests/app/logic/options_logic_test.cpp.
#pragma once
#include "app/logic/options_model.h"
#include "app/options_win.h"
#include "storage/app_settings.h"

namespace app {

class CFormatsOptionsPage : public COptionsPage {
 public:
  explicit CFormatsOptionsPage(AppSettings& settings) : settings_(settings) {}
  ~CFormatsOptionsPage() override { Destroy(); }

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void OnNotify(NMHDR* header, LRESULT* result) override;
  void Fill() override;
  void Apply() override;

 private:
  void OnInit();
  void ShowRows(int selected);
  int Selected() const;
  void UpdateButtons();
  void Add();
  void Edit();
  void Delete();
  void Reset();

  AppSettings& settings_;
  CHandlerTableCopy copy_;
};

}  // namespace app
