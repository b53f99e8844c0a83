// CFindGeneralDialog: the page's general criteria (path, file names, text
// and their toggles), a modeless child dialog (resource 200). It moves values
// between its controls and the criteria logic, and runs the enabling rules
// of both criteria dialogs.
// Tested by tests/ui/ui_gui_test.cpp; its rules by tests/ui/ui_logic_test.cpp.
#pragma once
#include <map>
#include <string>

#include "engine/search_params.h"
#include "toolkit/anchored_layout.h"
#include "toolkit/buttoned_edit.h"
#include "toolkit/flat_button.h"
#include "toolkit/tooltip_control.h"
#include "toolkit/window.h"
#include "ui/criteria_host.h"
#include "ui/logic/criteria_form.h"

namespace ui {

class CFindAdvancedDialog;

class CFindGeneralDialog : public CWindow {
 public:
  ~CFindGeneralDialog() override;

  INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  bool PreTranslateMessage(MSG* msg) override;
  void OnNotify(NMHDR* header, LRESULT* result) override;

  // Creates the dialog as a child of `parent`, its controls filled from
  // `initial` when given.
  [[nodiscard]] bool Create(HWND parent, ICriteriaHost* host, const FileFindParamsIn* initial);
  // The advanced dialog whose controls the enabling rules also set.
  void Link(CFindAdvancedDialog* advanced) { advanced_ = advanced; }

  // Writes this dialog's part of `record`; unless `silent`, a refused value
  // shows its message and takes the focus. False when refused.
  [[nodiscard]] bool CollectGeneral(FileFindParamsIn& record, bool silent);
  void ClearGeneral();
  void SetRunning(bool running);
  bool Running() const { return running_; }
  // Enables the controls of both dialogs by the rules, for the forms they show.
  void UpdateDependencies();
  // The arrow button: hidden while the advanced dialog shows, else its icon
  // tells whether hidden advanced criteria are in use.
  void UpdateArrow(bool advanced_visible);
  void FocusPath();

  GeneralForm ReadForm() const;
  void WriteForm(const GeneralForm& form);
  // The enabled set that the last UpdateDependencies applied.
  const EnabledControls& Enabled() const { return enabled_; }

 private:
  struct Toggle {
    CFlatButton button;
    UINT icon = 0;
    UINT second_icon = 0;  // three-state buttons
    UINT tip = 0;
    UINT second_tip = 0;
    std::wstring shown_tip;
  };

  void InitControls(const FileFindParamsIn* initial);
  void InitToggle(int id, UINT icon, UINT second_icon, UINT tip, UINT second_tip);
  void InitLayout();
  void OnCommand(WORD id, WORD code);
  void OnToggleClicked();
  void ApplyEnabled(const EnabledControls& enabled);
  void BrowseFolder();
  void BrowseFolders();
  void SelectFileNames();
  void ShowHistory(int field, int edit_id);
  void SetEditText(int id, const std::u16string& text);

  ICriteriaHost* host_ = nullptr;
  CFindAdvancedDialog* advanced_ = nullptr;
  CButtonedEdit path_, names_, text_;
  std::map<int, Toggle> toggles_;
  CFlatButton arrow_;
  CToolTipControl tips_;
  CAnchoredLayout layout_;
  EnabledControls enabled_;
  bool running_ = false;
  bool filling_ = false;  // controls being set: their change notices are ours
  int arrow_icon_ = 0;
};

}  // namespace ui
