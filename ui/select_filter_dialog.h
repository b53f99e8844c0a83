// CSelectFilterDialog: the modal dialog (resource 210) opened by a filter
// button of a result list's header: a filter text, the history of the
// chosen column's filters, and the column it applies to.
// Tested by tests/ui/ui_gui_test.cpp.
#pragma once
#include <string>

#include "toolkit/window.h"

struct AppSettings;

namespace ui {

class CSelectFilterDialog : public CWindow {
 public:
  CSelectFilterDialog(std::u16string text, int kind, bool has_replaces, AppSettings& settings)
      : text_(std::move(text)), kind_(kind), has_replaces_(has_replaces), settings_(settings) {}

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

  // IDOK or IDCANCEL.
  INT_PTR Run(HWND owner);
  const std::u16string& Text() const { return text_; }
  // The chosen column kind; -1 when none is selected.
  int Kind() const { return kind_; }

 private:
  void OnInit();
  void FillHistory();
  int SelectedKind() const;
  void Paint();

  std::u16string text_;
  int kind_;
  bool has_replaces_;
  AppSettings& settings_;
};

}  // namespace ui
