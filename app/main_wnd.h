// CMainWnd: the program's frame. The tab strip with one search page a tab,
// the status bar the shown page writes, the menus and shortcuts, the
// notification-area icon, the hand-over from a second instance, and the
// shutdown that saves settings, history, tabs and results once.
// Driven end to end by tests/e2e; its rules are app/logic (app_logic_test).
#pragma once
// <windows.h> comes first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "app/logic/frame_rules.h"
#include "app/logic/shell_integration.h"
#include "app/logic/placement.h"
#include "app/logic/tab_set.h"
#include "app/tray_icon.h"
#include "app/win_registry.h"
#include "storage/app_settings.h"
#include "toolkit/tab_control.h"
#include "ui/folder_drop_target.h"
#include "ui/page.h"

class CMainWnd : public CWindow, public ui::IPageHost {
 public:
  CMainWnd();
  ~CMainWnd() override;

  // Start-up inputs, set before Create.
  void SetStartupFolder(std::u16string folder) { startup_folder_ = std::move(folder); }
  void SetAdvanced(bool advanced) { advanced_ = advanced; }
  void SetAutorun(bool autorun) { autorun_ = autorun; }
  AppSettings& Settings() override { return settings_; }
  // Whether Varnel starts at log-on and has its folder verb, as the
  // registry says now; read once at start-up.
  void ReadShellIntegration();

  [[nodiscard]] static bool RegisterClass();
  // Creates the window (WM_CREATE builds the children and restores the
  // tabs); false when it could not be made.
  [[nodiscard]] bool CreateFrame(const app::Rect& rect);

  // The message loop's filter: the PreTranslateMessage chain from the
  // target window up, then the main shortcuts, then the dialog navigation
  // of the criteria dialog the message is for. True: handled.
  bool FilterLoopMessage(MSG* msg);

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void OnNotify(NMHDR* header, LRESULT* result) override;

  // ui::IPageHost
  HWND MainWindow() const override { return Handle(); }
  bool AdvancedVisible() const override { return advanced_; }
  bool IsCurrentPage(const ui::IPage& page) const override;
  void SetStatusText(int part, const std::wstring& text) override;
  void RefreshTabIcons() override;
  void ShowBalloon(const std::wstring& text) override;

 private:
  void OnCreate();
  void OnCommand(UINT id);
  void OnInitMenu(HMENU menu);
  void OnSize(WPARAM kind);
  void Layout();
  void LayoutStatusBar();
  void RestoreTabs();
  // Opens a tab at the end of the strip and shows its page.
  void OpenTab(const FileFindParamsIn* criteria, std::u16string_view name, bool restored);
  void OpenTabForFolder(std::u16string_view folder);
  void InsertTabItem(std::size_t index);
  void DestroyPage(std::int32_t id);
  void DuplicateTab();
  void CloseTab(std::size_t index);
  void CloseOtherTabs(std::size_t keep);
  void RenameTab(std::size_t index);
  // Shows the page of the selected tab (and hides `previous_id`'s).
  void ShowSelected(std::int32_t previous_id);
  void SelectTab(std::size_t index);
  void ShowTabMenu(POINT screen);
  void ShowTrayMenu();
  void RestoreFromTray();
  void OpenHelp();
  void ToggleAdvanced();
  void ToggleFilterBar();
  void OnCopyData(const COPYDATASTRUCT* data);
  void Shutdown();
  void SaveTabsAndResults();
  void DestroyPages();

  ui::IPage* CurrentPage() const;
  ui::IPage* PageAt(std::size_t index) const;
  int Scaled(int pixels) const;

  AppSettings settings_;
  app::CWinRegistry registry_;
  app::ShellIntegrationState shell_;
  app::CTabSet tabs_;
  std::map<std::int32_t, std::unique_ptr<ui::IPage>> pages_;
  CTabControl tab_control_;
  // Folders dropped on the tab strip open a page for them.
  ui::CFolderDropRegistration strip_drop_;
  HWND status_bar_ = nullptr;
  HIMAGELIST tab_images_ = nullptr;
  HACCEL accelerators_ = nullptr;
  CTrayIcon tray_;
  app::CShutdownGuard shutdown_;
  std::u16string startup_folder_;
  bool advanced_ = true;
  bool autorun_ = false;
  // Shown at least once since start (an "-autorun" start is not).
  bool ever_shown_ = false;
  // The page shown before a selection change; 0 when none.
  std::int32_t current_id_ = 0;
};
