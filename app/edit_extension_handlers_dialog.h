// CEditExtensionHandlersDialog: "Edit extension handler", an extension and
// the handler it gets. For a new entry the extension is typed; for an
// existing one it is shown read-only (the entry keeps its extension), and
// "*" is shown disabled.
// Tested by tests/app/options_gui_test.cpp; its rules by
// tests/app/logic/options_logic_test.cpp.
#pragma once
#include <string>

#include "engine/handler_table.h"
#include "toolkit/window.h"

namespace app {

class CEditExtensionHandlersDialog : public CWindow {
 public:
  CEditExtensionHandlersDialog(std::u16string extension, HandlerKind kind, bool existing)
      : extension_(std::move(extension)), kind_(kind), existing_(existing) {}

  // True after OK, with Extension() and Kind() as chosen; Cancel leaves both.
  [[nodiscard]] bool Run(HWND owner);
  const std::u16string& Extension() const { return extension_; }
  HandlerKind Kind() const { return kind_; }

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void OnInit();
  HandlerKind CheckedKind() const;
  // The built-in parser for "pdf" only, OK with an extension and a kind.
  void Update();
  void OnOk();

  std::u16string extension_;
  HandlerKind kind_;
  bool existing_;
};

}  // namespace app
