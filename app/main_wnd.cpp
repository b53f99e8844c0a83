// The main window (see main_wnd.h).
#include "app/main_wnd.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/about_dialog.h"
#include "app/logic/app_text.h"
#include "app/logic/command_line.h"
#include "app/main_menu.h"
#include "app/options_dialog.h"
#include "app/rename_tab_dialog.h"
#include "app/resources/resource.h"
#include "storage/history.h"
#include "storage/tabs.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/messages.h"
#include "ui/logic/control_ids.h"
#include "ui/ui_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VarnelWindowClass";
constexpr UINT kBalloonMs = 4000;

std::u16string Text16(UINT id) { return ui::Utf16(ui::LoadUiString(id)); }

app::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }


// The dialog the message is for when it is a modeless criteria dialog: the
// nearest ancestor of the target that is a child dialog.
HWND ChildDialogOf(HWND window) {
  for (HWND h = window; h; h = GetParent(h)) {
    if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) return nullptr;
    wchar_t class_name[16] = {};
    GetClassNameW(h, class_name, 16);
    if (lstrcmpW(class_name, L"#32770") == 0) return h;
  }
  return nullptr;
}

}  // namespace

CMainWnd::CMainWnd() : tabs_(Text16(app::IDS_APP_NEW_PAGE)) {}

CMainWnd::~CMainWnd() {
  DestroyPages();
  if (tab_images_) ImageList_Destroy(tab_images_);
}

bool CMainWnd::RegisterClass() {
  HINSTANCE instance = CApplication::Get().Instance();
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = CWindow::SharedWindowProc;
  window_class.hInstance = instance;
  // LoadImageW picks the best size per metric; LoadIconW would take the
  // 32-pixel image and scale it down for the small icon.
  window_class.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_VARNEL), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                 GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  window_class.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_VARNEL), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CMainWnd::CreateFrame(const app::Rect& rect) {
  return Create(0, kWindowClass, ui::LoadUiString(app::IDS_APP_NAME).c_str(),
                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, rect.left, rect.top, rect.Width(),
                rect.Height(), nullptr, BuildMainMenu());
}

void CMainWnd::ReadShellIntegration() {
  (void)app::ReadAutorun(registry_, shell_);
  app::ReadContextVerb(registry_, shell_);
}

int CMainWnd::Scaled(int pixels) const { return MulDiv(pixels, toolkit::WindowDpi(Handle()), 96); }

// ------------------------------------------------------------ the message loop

bool CMainWnd::FilterLoopMessage(MSG* msg) {
  // The target and its ancestors, nearest first; a popup's chain ends at it
  // (its owner is not its parent).
  for (HWND h = msg->hwnd; h; h = (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr) {
    CWindow* window = CWindow::FromHandle(h);
    if (window && window->PreTranslateMessage(msg)) return true;
  }
  if (accelerators_ && (msg->hwnd == Handle() || IsChild(Handle(), msg->hwnd)) &&
      TranslateAcceleratorW(Handle(), accelerators_, msg)) {
    return true;
  }
  HWND dialog = ChildDialogOf(msg->hwnd);
  return dialog && IsDialogMessageW(dialog, msg);
}

// ------------------------------------------------------------ messages

LRESULT CMainWnd::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_ENDSESSION:
      if (shutdown_.Begin(true, wparam != 0)) Shutdown();
      return 0;
    case WM_DESTROY:
      if (shutdown_.Begin(false, true)) Shutdown();
      return 0;
    case WM_SIZE: OnSize(wparam); return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = {Scaled(app::kMinWindowWidth), Scaled(app::kMinWindowHeight)};
      return 0;
    }
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_INITMENU: OnInitMenu(reinterpret_cast<HMENU>(wparam)); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wparam)); return 0;
    case WM_COPYDATA: OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lparam)); return TRUE;
    case WM_LBUTTONDBLCLK: {
      RECT strip{};
      TabCtrl_GetItemRect(tab_control_.Handle(), 0, &strip);
      if (app::DoubleClickOpensTab(GET_Y_LPARAM(lparam), strip.bottom)) {
        OpenTab(nullptr, {}, false);
      }
      return 0;
    }
    case WM_TAB_MIDDLECLICK: CloseTab(static_cast<std::size_t>(wparam)); return 0;
    case WM_TAB_MOVED:
      tabs_.Move(static_cast<std::size_t>(wparam), static_cast<std::size_t>(lparam));
      return 0;
    case WM_CONTEXTMENU:
      // The tab control's right click ends up here (its NM_RCLICK is left
      // unanswered, so that the menu comes once).
      if (reinterpret_cast<HWND>(wparam) == tab_control_.Handle()) {
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        if (at.x == -1 && at.y == -1) {  // from the keyboard: under the selected tab
          RECT item{};
          TabCtrl_GetItemRect(tab_control_.Handle(), static_cast<int>(tabs_.Selected()), &item);
          at = {item.left, item.bottom};
          ClientToScreen(tab_control_.Handle(), &at);
        }
        ShowTabMenu(at);
        return 0;
      }
      break;
    default:
      if (msg == app::kWmShowInstance) {
        RestoreFromTray();
        return 0;
      }
      if (msg == app::kWmTrayCallback) {
        switch (app::TrayActionFor(static_cast<std::uint32_t>(lparam))) {
          case app::TrayAction::kRestore: RestoreFromTray(); break;
          case app::TrayAction::kMenu: ShowTrayMenu(); break;
          case app::TrayAction::kNone: break;
        }
        return 0;
      }
      break;
  }
  if (msg >= WM_USER && msg < 0x8000) {
    if (ui::IPage* page = CurrentPage()) return page->Send(msg, wparam, lparam);
  }
  return DefaultProc(msg, wparam, lparam);
}

void CMainWnd::OnNotify(NMHDR* header, LRESULT*) {
  if (header->hwndFrom != tab_control_.Handle()) return;
  switch (header->code) {
    case TCN_SELCHANGING: current_id_ = tabs_.SelectedId(); break;
    case TCN_SELCHANGE: {
      const int index = TabCtrl_GetCurSel(tab_control_.Handle());
      if (index >= 0) tabs_.Select(static_cast<std::size_t>(index));
      ShowSelected(current_id_);
      break;
    }
    default: break;
  }
}

void CMainWnd::OnCreate() {
  HINSTANCE instance = CApplication::Get().Instance();
  status_bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                                0, 0, 0, 0, Handle(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                                instance, nullptr);
  HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"tab1",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER, 0, 0, 0,
                              0, Handle(), nullptr, instance, nullptr);
  tab_control_.Attach(tabs);
  const int icon_size = Scaled(16);
  tab_images_ = ImageList_Create(icon_size, icon_size, ILC_COLOR32 | ILC_MASK, 2, 0);
  for (int id : {IDI_TAB_RESULTS, IDI_TAB_RUNNING}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, icon_size, icon_size, 0));
    ImageList_AddIcon(tab_images_, icon);
    DestroyIcon(icon);
  }
  TabCtrl_SetImageList(tabs, tab_images_);
  SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  tab_control_.SetDragCursor(LoadCursorW(instance, MAKEINTRESOURCEW(IDC_TAB_DRAG)));
  accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAIN_ACCEL));
  (void)strip_drop_.Register(tabs, [this](const std::u16string& path) { OpenTabForFolder(path); });

  RestoreTabs();
  if (tabs_.Count() == 0) OpenTab(nullptr, {}, false);
  if (!startup_folder_.empty()) OpenTabForFolder(startup_folder_);

  HMENU menu = GetMenu(Handle());
  CheckMenuItem(menu, IDM_VIEW_ADVANCED, advanced_ ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(menu, IDM_VIEW_FILTER_BAR,
                settings_.filter_bar_visible ? MF_CHECKED : MF_UNCHECKED);
  HICON tray_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TRAY),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0));
  // Without a notification area (no shell running) the program still works;
  // only the balloons and the way back from minimized are missing.
  (void)tray_.Add(Handle(), app::kWmTrayCallback, tray_icon, ui::LoadUiString(app::IDS_APP_NAME));
}

void CMainWnd::OnSize(WPARAM kind) {
  if (kind == SIZE_MINIMIZED) {
    // Minimized, the window lives in the notification area only, when
    // there is one to bring it back from.
    if (tray_.Added()) ShowWindow(Handle(), SW_HIDE);
    return;
  }
  if (IsWindowVisible(Handle())) ever_shown_ = true;
  Layout();
}

void CMainWnd::Layout() {
  if (!tab_control_.Handle() || !status_bar_) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  SendMessageW(status_bar_, WM_SIZE, 0, 0);
  RECT status{};
  GetWindowRect(status_bar_, &status);
  // The strip's frame surrounds the page down to the status bar, so that no
  // part of it shows beside or below the page.
  SetWindowPos(tab_control_.Handle(), nullptr, 0, 0, client.right,
               client.bottom - (status.bottom - status.top), SWP_NOZORDER | SWP_NOACTIVATE);
  RECT display = client;
  TabCtrl_AdjustRect(tab_control_.Handle(), FALSE, &display);
  const app::Rect page = app::PageRect(ToRect(display), status.bottom - status.top);
  if (ui::IPage* current = CurrentPage()) {
    SetWindowPos(current->Handle(), HWND_TOP, page.left, page.top, page.Width(), page.Height(),
                 SWP_NOACTIVATE);
    // The page lays itself out on WM_SIZE, also when its size did not change.
    current->Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(page.Width(), page.Height()));
  }
  LayoutStatusBar();
}

void CMainWnd::LayoutStatusBar() {
  RECT status{};
  GetClientRect(status_bar_, &status);
  int parts[3] = {status.right - Scaled(200), status.right - Scaled(100), -1};
  SendMessageW(status_bar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
}

// ------------------------------------------------------------ tabs

ui::IPage* CMainWnd::PageAt(std::size_t index) const {
  if (index >= tabs_.Count()) return nullptr;
  auto found = pages_.find(tabs_.At(index).id);
  return found == pages_.end() ? nullptr : found->second.get();
}

ui::IPage* CMainWnd::CurrentPage() const { return PageAt(tabs_.Selected()); }

bool CMainWnd::IsCurrentPage(const ui::IPage& page) const { return CurrentPage() == &page; }

void CMainWnd::SetStatusText(int part, const std::wstring& text) {
  if (status_bar_) SendMessageW(status_bar_, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text.c_str()));
}

void CMainWnd::RefreshTabIcons() {
  for (std::size_t i = 0; i < tabs_.Count(); ++i) {
    const ui::IPage* page = PageAt(i);
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = page ? app::TabImage(page->Searching(), page->FoundCount()) : -1;
    TabCtrl_SetItem(tab_control_.Handle(), static_cast<int>(i), &item);
  }
}

void CMainWnd::ShowBalloon(const std::wstring& text) {
  tray_.ShowBalloon(ui::LoadUiString(app::IDS_APP_NAME), text, kBalloonMs);
}

void CMainWnd::RestoreTabs() {
  std::vector<PageData> saved;
  if (!LoadTabs(settings_.data_folder, saved)) return;
  const std::size_t active = app::RestoredSelection(saved);
  for (std::size_t i = 0; i < saved.size(); ++i) OpenTab(&saved[i], saved[i].tab_name, true);
  if (active != app::kNoTab && active < tabs_.Count()) SelectTab(active);
}

void CMainWnd::OpenTab(const FileFindParamsIn* criteria, std::u16string_view name,
                       bool restored) {
  if (ui::IPage* shown = CurrentPage()) shown->Show(false);
  const std::size_t index = tabs_.Open(criteria ? criteria->tab_id : 0, name);
  const app::TabEntry& entry = tabs_.At(index);
  InsertTabItem(index);

  ui::PageStart start;
  start.id = entry.id;
  RECT client{};
  GetClientRect(Handle(), &client);
  TabCtrl_AdjustRect(tab_control_.Handle(), FALSE, &client);
  start.rect = client;
  FileFindParamsIn own;
  if (criteria) {
    own = *criteria;
    own.tab_id = entry.id;
    start.criteria = &own;
  }
  start.restored = restored;
  std::unique_ptr<ui::IPage> page = ui::CreateFindPage(*this, start);
  if (page) pages_[entry.id] = std::move(page);
  current_id_ = entry.id;
  ShowSelected(0);
}

// The strip's item for the tab at `index` of the tab set, selected.
void CMainWnd::InsertTabItem(std::size_t index) {
  const app::TabEntry& entry = tabs_.At(index);
  std::wstring caption = ui::Wide(entry.name);
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
  item.pszText = caption.data();
  item.lParam = entry.id;
  item.iImage = -1;
  TabCtrl_InsertItem(tab_control_.Handle(), static_cast<int>(index), &item);
  TabCtrl_SetCurSel(tab_control_.Handle(), static_cast<int>(index));
}

// A closed tab's page: its search stops before its window goes.
void CMainWnd::DestroyPage(std::int32_t id) {
  auto found = pages_.find(id);
  if (found == pages_.end()) return;
  found->second->StopSearch();
  found->second->Show(false);
  pages_.erase(found);
}

void CMainWnd::OpenTabForFolder(std::u16string_view folder) {
  const FileFindParamsIn criteria = app::CriteriaForFolder(folder);
  OpenTab(&criteria, {}, false);
}

void CMainWnd::DuplicateTab() {
  ui::IPage* page = CurrentPage();
  if (!page) return;
  const FileFindParamsIn criteria = app::CriteriaForDuplicate(page->Criteria());
  const std::u16string name = app::DuplicateName(tabs_.At(tabs_.Selected()).name);
  OpenTab(&criteria, name, false);
}

void CMainWnd::ShowSelected(std::int32_t previous_id) {
  if (previous_id != 0 && previous_id != tabs_.SelectedId()) {
    auto previous = pages_.find(previous_id);
    if (previous != pages_.end()) previous->second->Show(false);
  }
  current_id_ = tabs_.SelectedId();
  Layout();
  if (ui::IPage* page = CurrentPage()) page->Show(true);
  RefreshTabIcons();
}

void CMainWnd::SelectTab(std::size_t index) {
  const std::int32_t previous = tabs_.SelectedId();
  tabs_.Select(index);
  TabCtrl_SetCurSel(tab_control_.Handle(), static_cast<int>(index));
  ShowSelected(previous);
}

void CMainWnd::CloseTab(std::size_t index) {
  if (index >= tabs_.Count() || tabs_.Count() < 2) return;
  const std::int32_t id = tabs_.At(index).id;
  const std::int32_t shown = tabs_.SelectedId();
  if (!tabs_.Close(index)) return;
  DestroyPage(id);
  TabCtrl_DeleteItem(tab_control_.Handle(), static_cast<int>(index));
  TabCtrl_SetCurSel(tab_control_.Handle(), static_cast<int>(tabs_.Selected()));
  ShowSelected(shown == id ? 0 : shown);
}

void CMainWnd::CloseOtherTabs(std::size_t keep) {
  if (keep >= tabs_.Count()) return;
  const std::int32_t shown = tabs_.SelectedId();
  const std::int32_t kept = tabs_.At(keep).id;
  for (std::int32_t id : tabs_.CloseOthers(keep)) DestroyPage(id);
  TabCtrl_DeleteAllItems(tab_control_.Handle());
  InsertTabItem(0);
  ShowSelected(shown == kept ? 0 : shown);
}

void CMainWnd::RenameTab(std::size_t index) {
  if (index >= tabs_.Count()) return;
  CRenameTabDialog dialog(ui::Wide(tabs_.At(index).name));
  if (!dialog.Run(Handle())) return;
  if (!tabs_.Rename(index, ui::Utf16(dialog.Name()))) return;
  std::wstring caption = ui::Wide(tabs_.At(index).name);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = caption.data();
  TabCtrl_SetItem(tab_control_.Handle(), static_cast<int>(index), &item);
}

// ------------------------------------------------------------ commands

void CMainWnd::OnCommand(UINT id) {
  switch (id) {
    case IDM_FILE_EXIT: DestroyWindow(Handle()); return;
    case IDM_VIEW_ADVANCED: ToggleAdvanced(); return;
    case IDM_VIEW_FILTER_BAR: ToggleFilterBar(); return;
    case IDM_PAGES_NEW:
    case IDM_TAB_NEW: OpenTab(nullptr, {}, false); return;
    case IDM_PAGES_DUPLICATE:
    case IDM_TAB_DUPLICATE: DuplicateTab(); return;
    case IDM_PAGES_CLOSE:
    case IDM_TAB_CLOSE: CloseTab(tabs_.Selected()); return;
    case IDM_TAB_CLOSE_OTHERS: CloseOtherTabs(tabs_.Selected()); return;
    case IDM_TAB_RENAME: RenameTab(tabs_.Selected()); return;
    case IDM_PAGES_NEXT:
    case IDM_PAGES_PREVIOUS: {
      const std::int32_t previous = tabs_.SelectedId();
      if (id == IDM_PAGES_NEXT ? tabs_.SelectNext() : tabs_.SelectPrevious()) {
        TabCtrl_SetCurSel(tab_control_.Handle(), static_cast<int>(tabs_.Selected()));
        ShowSelected(previous);
      }
      return;
    }
    case IDM_TOOLS_OPTIONS: (void)app::ShowOptionsDialog(Handle(), settings_, shell_, registry_); return;
    case IDM_HELP_TOPICS: OpenHelp(); return;
    case IDM_HELP_ABOUT: {
      CAboutDialog about;
      about.Run(Handle());
      return;
    }
    case IDM_TRAY_RESTORE: RestoreFromTray(); return;
    default:
      // Edit commands and anything else belong to the shown page.
      if (ui::IPage* page = CurrentPage()) page->Send(WM_COMMAND, MAKEWPARAM(id, 0), 0);
      return;
  }
}

void CMainWnd::OnInitMenu(HMENU menu) {
  for (UINT id : {IDM_PAGES_CLOSE, IDM_PAGES_NEXT, IDM_PAGES_PREVIOUS, IDM_TAB_CLOSE,
                  IDM_TAB_CLOSE_OTHERS}) {
    EnableMenuItem(menu, id,
                   app::PageCommandEnabled(static_cast<int>(id), tabs_.Count()) ? MF_ENABLED
                                                                                  : MF_GRAYED);
  }
  // The page grays the Edit commands by its shown list's selection.
  if (ui::IPage* page = CurrentPage()) page->Send(WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
}

void CMainWnd::ToggleAdvanced() {
  advanced_ = !advanced_;
  CheckMenuItem(GetMenu(Handle()), IDM_VIEW_ADVANCED, advanced_ ? MF_CHECKED : MF_UNCHECKED);
  // Every page follows the flag when it is shown; the shown one at once.
  if (ui::IPage* page = CurrentPage()) page->ShowAdvanced(advanced_);
}

void CMainWnd::ToggleFilterBar() {
  settings_.filter_bar_visible = !settings_.filter_bar_visible;
  CheckMenuItem(GetMenu(Handle()), IDM_VIEW_FILTER_BAR,
                settings_.filter_bar_visible ? MF_CHECKED : MF_UNCHECKED);
  if (ui::IPage* page = CurrentPage()) page->ApplyFilterBar();
}

void CMainWnd::ShowTabMenu(POINT screen) {
  // The menu acts on the selected tab; a right click selects the tab under
  // the cursor first.
  POINT client = screen;
  ScreenToClient(tab_control_.Handle(), &client);
  const int under = tab_control_.TabAt(client);
  if (under >= 0 && static_cast<std::size_t>(under) != tabs_.Selected()) {
    SelectTab(static_cast<std::size_t>(under));
  }
  HMENU menu = BuildTabMenu();
  if (!menu) return;
  OnInitMenu(menu);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, Handle(), nullptr));
  DestroyMenu(menu);
  if (chosen) OnCommand(chosen);
}

void CMainWnd::ShowTrayMenu() {
  const UINT chosen =
      tray_.TrackMenu(IDM_TRAY_RESTORE, MenuText(app::IDS_MENU_RESTORE, L'R'), IDM_FILE_EXIT,
                      MenuText(app::IDS_MENU_EXIT, L'x'));
  if (chosen) OnCommand(chosen);
}

void CMainWnd::RestoreFromTray() {
  ShowWindow(Handle(), SW_SHOW);
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
  ever_shown_ = true;
}

void CMainWnd::OpenHelp() {
  wchar_t module[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path(module, length);
  path.erase(path.find_last_of(L"\\/") + 1);
  const std::wstring file = ui::LoadUiString(app::IDS_APP_HELP_FILE);
  path += file;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(Handle(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return;
  std::wstring message = ui::LoadUiString(app::IDS_APP_HELP_MISSING);
  const std::size_t at = message.find(L"%s");
  if (at != std::wstring::npos) message.replace(at, 2, L"\"" + path + L"\"");
  MessageBoxW(Handle(), message.c_str(), ui::LoadUiString(app::IDS_APP_NAME).c_str(),
              MB_OK | MB_ICONWARNING);
}

void CMainWnd::OnCopyData(const COPYDATASTRUCT* data) {
  std::u16string text;
  if (!data || !app::DecodeHandOver(data->lpData, data->cbData, text)) return;
  // "-autorun" hands over an empty text: nothing to open.
  if (!text.empty()) OpenTabForFolder(text);
}

// ------------------------------------------------------------ shutdown

void CMainWnd::Shutdown() {
  tray_.Remove();
  strip_drop_.Revoke();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (GetWindowPlacement(Handle(), &placement)) {
    app::ShutdownInputs inputs;
    inputs.restored = ToRect(placement.rcNormalPosition);
    inputs.show_cmd = static_cast<std::int32_t>(placement.showCmd);
    inputs.flags = placement.flags;
    inputs.ever_shown = ever_shown_;
    inputs.stored_maximized = settings_.maximized;
    inputs.advanced = advanced_;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
      inputs.primary_monitor = ToRect(monitor.rcMonitor);
      inputs.primary_work_area = ToRect(monitor.rcWork);
    }
    const app::SavedPlacement saved = app::PlacementToSave(inputs);
    settings_.window_rect = saved.window_rect;
    settings_.maximized = saved.maximized;
    settings_.advanced_visible = saved.advanced_visible;
  }
  if (SaveSettings(settings_)) (void)SaveHistory(settings_);
  SaveTabsAndResults();
  DestroyPages();
  PostQuitMessage(0);
}

void CMainWnd::SaveTabsAndResults() {
  // A page still searching is stopped first, so that its list is whole.
  for (auto& [id, page] : pages_) page->StopSearch();
  std::vector<PageData> saved;
  const std::u16string default_name = Text16(app::IDS_APP_NEW_PAGE);
  for (std::size_t i = 0; i < tabs_.Count(); ++i) {
    ui::IPage* page = PageAt(i);
    if (!page) continue;
    const app::TabEntry& tab = tabs_.At(i);
    if (!ShouldSaveTab(tab.name, settings_.dont_save_unnamed_tabs, default_name)) continue;
    saved.push_back(MakePageData(page->Criteria(), tab.id, tab.name, i == tabs_.Selected()));
    (void)page->SaveResults(settings_.data_folder);
  }
  (void)SaveTabs(settings_.data_folder, saved);
}

void CMainWnd::DestroyPages() {
  // In page-id order; each page stops its search before its window goes.
  for (auto& [id, page] : pages_) page->StopSearch();
  pages_.clear();
}
