// The control gallery: one window that shows every control of the toolkit,
// for people to look at (the control_gallery program) and for the GUI test's
// screenshots. It is laid out at its window's DPI.
#pragma once
#include <string>

#include "toolkit/anchored_layout.h"
#include "toolkit/buttoned_edit.h"
#include "toolkit/date_time_control.h"
#include "toolkit/edit.h"
#include "toolkit/flat_button.h"
#include "toolkit/group_box_control.h"
#include "toolkit/hyperlink.h"
#include "toolkit/list_control.h"
#include "toolkit/rich_edit_control.h"
#include "toolkit/tab_control.h"
#include "toolkit/tooltip_control.h"
#include "toolkit/window.h"

class CControlGallery : public CWindow {
 public:
  ~CControlGallery() override;
  // Creates the visible top-level window; `quit_on_close` ends the message
  // loop when it is closed (the standalone program).
  [[nodiscard]] bool Create(bool quit_on_close);

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void OnNotify(NMHDR* header, LRESULT* result) override;

  CListControl& List() { return list_; }
  CRichEditControl& Preview() { return preview_; }
  // Switched on, three-state at 2, and switched on while disabled.
  CFlatButton& Toggle() { return toggle_; }
  CFlatButton& ThreeState() { return three_state_; }
  CButtonedEdit& ReplaceEdit() { return replace_edit_; }
  HWND Link() const { return link_.Handle(); }
  int Dpi() const { return dpi_; }

 private:
  // Position and size at 96 DPI, scaled to the window's.
  HWND AddChild(const wchar_t* class_name, const wchar_t* text, DWORD style, int x, int y,
                int width, int height, DWORD ex_style = 0);
  int Scale(int value) const;
  void CreateControls();
  void CreateFlatButtons();
  void FillList();
  void FillPreview();

  bool quit_on_close_ = false;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  CTabControl tabs_;
  CGroupBoxControl group_;
  CFlatButton toggle_, three_state_, disabled_;
  CToolTipControl tips_;
  CButtonedEdit replace_edit_;
  CDateTimeControl date_;
  CListControl list_;
  CRichEditControl preview_;
  CEdit file_view_;
  CHyperLink link_;
  CAnchoredLayout layout_;
};
