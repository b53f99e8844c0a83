// COptionsDialog: Tools > Options..., four pages over a tab control under a
// banner. OK applies General, Display, File formats and Skip files in that
// order and saves the settings; Cancel drops the pages' working copies (the
// history and the two table resets have acted already).
// Tested by tests/app/options_gui_test.cpp.
#pragma once
#include <array>
#include <memory>

#include "app/display_options_page.h"
#include "app/formats_options_page.h"
#include "app/general_options_page.h"
#include "app/logic/shell_integration.h"
#include "app/skip_options_page.h"
#include "storage/app_settings.h"
#include "toolkit/window.h"

namespace app {

class COptionsDialog : public CWindow {
 public:
  COptionsDialog(AppSettings& settings, ShellIntegrationState& shell, IRegistry& registry);

  // True when OK applied the pages.
  [[nodiscard]] bool Run(HWND owner);
  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void OnNotify(NMHDR* header, LRESULT* result) override;

 private:
  bool OnInit();
  void ShowPage(int index);
  void Paint();
  void OnOk();

  AppSettings& settings_;
  CGeneralOptionsPage general_;
  CDisplayOptionsPage display_;
  CFormatsOptionsPage formats_;
  CSkipOptionsPage skip_;
  std::array<COptionsPage*, 4> pages_;
};

// Shows the options dialog owned by `owner` for the settings and shell hooks
// the main window keeps; true when OK applied and saved them.
[[nodiscard]] bool ShowOptionsDialog(HWND owner, AppSettings& settings,
                                     ShellIntegrationState& shell, IRegistry& registry);

}  // namespace app
