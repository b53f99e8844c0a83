// CFindAdvancedDialog: the page's size, date and replace criteria, a
// modeless child dialog (resource 201) that can be hidden. Its enabling
// rules run in the general dialog, which sees both forms.
// Tested by tests/ui/ui_gui_test.cpp; its rules by tests/ui/ui_logic_test.cpp.
#pragma once
#include <string>
#include <vector>

#include "engine/search_params.h"
#include "toolkit/buttoned_edit.h"
#include "toolkit/date_time_control.h"
#include "toolkit/flat_button.h"
#include "toolkit/tooltip_control.h"
#include "toolkit/window.h"
#include "ui/criteria_host.h"
#include "ui/logic/criteria_form.h"

namespace ui {

class CFindGeneralDialog;

class CFindAdvancedDialog : public CWindow {
 public:
  ~CFindAdvancedDialog() override;

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  bool PreTranslateMessage(MSG* msg) override;
  void OnNotify(NMHDR* header, LRESULT* result) override;

  [[nodiscard]] bool Create(HWND parent, ICriteriaHost* host, const FileFindParamsIn* initial);
  void Link(CFindGeneralDialog* general) { general_ = general; }

  // Writes this dialog's part of `record` (after the general dialog's part:
  // the hex rule reads `record.binary`).
  [[nodiscard]] bool CollectAdvanced(FileFindParamsIn& record, bool silent);
  void ClearAdvanced();
  void SetRunning(bool running);
  bool Running() const { return running_; }

  AdvancedForm ReadForm() const;
  void WriteForm(const AdvancedForm& form);
  void ApplyEnabled(const EnabledControls& enabled);

 private:
  struct Placed {
    int id;
    RECT rect;  // in the template's client coordinates
  };

  void InitControls(const FileFindParamsIn* initial);
  void InitCombo(int id, std::initializer_list<UINT> texts);
  void OnCommand(WORD id, WORD code);
  void Changed();
  void Layout();
  static CalendarDate ReadDate(HWND picker);
  static void WriteDate(HWND picker, const CalendarDate& date);

  ICriteriaHost* host_ = nullptr;
  CFindGeneralDialog* general_ = nullptr;
  CButtonedEdit replace_;
  CDateTimeControl date_from_, date_to_;
  CFlatButton backup_, read_only_rule_, arrow_;
  CToolTipControl tips_;
  std::wstring shown_tip_;
  std::vector<Placed> placed_;
  int template_width_ = 0;
  bool running_ = false;
  bool filling_ = false;
};

}  // namespace ui
