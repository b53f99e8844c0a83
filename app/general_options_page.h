// CGeneralOptionsPage: start at log-on, tabs with default names, and the
// folder verb in the file manager's context menu.
// Tested by tests/app/options_gui_test.cpp; its rules by
// tests/app/logic/options_logic_test.cpp.
#pragma once
#include "app/logic/shell_integration.h"
#include "app/options_win.h"
#include "storage/app_settings.h"

namespace app {

class CGeneralOptionsPage : public COptionsPage {
 public:
  CGeneralOptionsPage(AppSettings& settings, ShellIntegrationState& shell, IRegistry& registry)
      : settings_(settings), shell_(shell), registry_(registry) {}
  ~CGeneralOptionsPage() override { Destroy(); }

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Fill() override;
  // Writes both hooks again; the boxes then show what the registry holds.
  void Apply() override;

 private:
  AppSettings& settings_;
  ShellIntegrationState& shell_;
  IRegistry& registry_;
};

}  // namespace app
