// What the criteria dialogs need from the page that hosts them: the history
// lists, the main window (for View > Advanced), and the page's reactions to
// a changed criterion and to the Enter key.
#pragma once
#include <windows.h>

struct AppSettings;

namespace ui {

class ICriteriaHost {
 public:
  virtual ~ICriteriaHost() = default;
  // A criterion changed: the page updates its action state.
  virtual void OnCriteriaChanged() = 0;
  // Enter in a criteria dialog: do what the action button would do.
  virtual void RunAction() = 0;
  // Receives WM_COMMAND View > Advanced from the arrow buttons.
  virtual HWND MainWindow() const = 0;
  virtual AppSettings& Settings() = 0;
};

}  // namespace ui
