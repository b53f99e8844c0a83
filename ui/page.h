// A tab's page as the main window drives it (IPage), what a page needs from
// the main window (IPageHost), and how the main window makes one.
// The find page (find_page.h) is the only kind of page.
#pragma once
// <windows.h> comes first.
// clang-format off
#include <windows.h>
// clang-format on

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/search_params.h"
#include "toolkit/window.h"

struct AppSettings;

namespace ui {

class IPage;

class IPageHost {
 public:
  virtual ~IPageHost() = default;
  virtual HWND MainWindow() const = 0;
  virtual AppSettings& Settings() = 0;
  // View > Advanced: whether the advanced criteria are shown on every page.
  virtual bool AdvancedVisible() const = 0;
  // Whether `page` is the tab shown now; only that page's status texts reach
  // the status bar.
  virtual bool IsCurrentPage(const IPage& page) const = 0;
  // Sets part 0, 1 or 2 of the main window's status bar.
  virtual void SetStatusText(int part, const std::wstring& text) = 0;
  // A page's search state or found count changed: the tab images follow.
  virtual void RefreshTabIcons() = 0;
  // A balloon on the notification-area icon (title "Varnel", information
  // icon, 4 s).
  virtual void ShowBalloon(const std::wstring& text) = 0;
};

class IPage : public CWindow {
 public:
  // Hides the page, or makes it the visible page: the first showing of a
  // restored page reads its saved results file; the status texts go to the
  // status bar and the focus to the path field.
  virtual void Show(bool show) = 0;
  // View > Advanced toggled.
  virtual void ShowAdvanced(bool show) = 0;
  // What the action button would do now: start a find or replace run, or
  // cancel the run going on.
  virtual void RunAction() = 0;

  virtual std::int32_t Id() const = 0;
  // The main engine is running (the tab shows the running image).
  virtual bool Searching() const = 0;
  virtual std::size_t FoundCount() const = 0;
  // The criteria in the page's panels now, unchecked (duplicating the tab,
  // saving the tabs); tab_id is the page's id.
  virtual FileFindParamsIn Criteria() = 0;
  // Writes the page's results file. A restored page that was never shown
  // keeps its file as it is (it is the only copy of its rows): true.
  [[nodiscard]] virtual bool SaveResults(std::u16string_view data_folder) = 0;
  // Stops the run going on and waits for its worker; an open read-only
  // question ends as No to All. Closing the tab and shutdown call it.
  virtual void StopSearch() = 0;
  // View > Filter Bar toggled: the lists show or hide their filter bars.
  virtual void ApplyFilterBar() = 0;
};

struct PageStart {
  std::int32_t id = 0;
  RECT rect{};
  // Initial criteria (a restored, duplicated or handed-over tab), or none.
  const FileFindParamsIn* criteria = nullptr;
  // Restored from the saved tabs: reads its results file when first shown.
  bool restored = false;
};

// The page's window is a visible child of the host's main window; nullptr
// when it could not be made (the page has told the user).
std::unique_ptr<IPage> CreateFindPage(IPageHost& host, const PageStart& start);

}  // namespace ui
