// CFindPage (see find_page.h): its window messages, layout and splitter,
// keyboard and notifications.
// Tested by tests/ui/find_page_gui_test.cpp; the layout arithmetic by
// tests/ui/page_logic_test.cpp.
#include <windowsx.h>

#include <algorithm>
#include <ctime>

#include "toolkit/messages.h"
#include "ui/find_page.h"
#include "ui/logic/control_ids.h"
#include "ui/page_ids.h"

namespace ui {
namespace {

bool IsTabStop(HWND child) {
  if (!IsWindowVisible(child) || !(GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP)) return false;
  // Flat buttons keep their own enabled flag.
  const CWindow* bound = CWindow::FromHandle(child);
  return bound ? bound->IsEnabled() : IsWindowEnabled(child) != FALSE;
}

// The first (last) tab stop among the dialog's children in z-order.
HWND EdgeTabStop(HWND dialog, bool first) {
  HWND child = GetWindow(dialog, GW_CHILD);
  if (child && !first) child = GetWindow(child, GW_HWNDLAST);
  for (; child; child = GetWindow(child, first ? GW_HWNDNEXT : GW_HWNDPREV)) {
    if (IsTabStop(child)) return child;
  }
  return nullptr;
}

// The child of `dialog` that holds `focus`, or none.
HWND DialogChildOf(HWND dialog, HWND focus) {
  for (HWND w = focus; w; w = GetParent(w)) {
    if (GetParent(w) == dialog) return w;
  }
  return nullptr;
}

void FocusControl(HWND control) {
  SetFocus(control);
  // As the dialog manager does when Tab reaches an edit field.
  if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageW(control, EM_SETSEL, 0, -1);
  }
}

void Place(const CWindow& window, const Box& box) {
  SetWindowPos(window.Handle(), nullptr, box.x, box.y, box.width, box.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

LRESULT CFindPage::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_SIZE: Layout(); return 0;
    case WM_COMMAND: OnCommand(wparam, lparam); return 0;
    case WM_TIMER:
      if (wparam == kDrainTimer) {
        DrainReports();
      } else if (wparam == kClockTimer) {
        PushStatus(run_.Tick(static_cast<std::int64_t>(std::time(nullptr))));
      }
      return 0;
    case WM_INITMENU: OnInitMenu(reinterpret_cast<HMENU>(wparam)); return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lparam) == preview_view_.FileView() && white_brush_) {
        SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(white_brush_);
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == Handle() && LOWORD(lparam) == HTCLIENT &&
          OnSetCursor()) {
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      if (OnMouse(msg, wparam, lparam)) return 0;
      break;
    case WM_CAPTURECHANGED: dragging_ = false; return 0;
    case kWmReportsWaiting: DrainReports(); return 0;
    case WM_PREVIEW_GOTO: preview_view_.GoToMatch(); return 0;
    default: break;
  }
  return DefaultProc(msg, wparam, lparam);
}

// ---- Layout and splitter ----

void CFindPage::Layout() {
  if (!Handle() || !results_tab_.Handle() || !preview_view_.TabControl()) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  PageLayoutInput in;
  in.page_width = client.right;
  in.page_height = client.bottom;
  in.general_height = general_.Height();
  in.advanced_height = advanced_.Height();
  in.action_width = action_.Width();
  in.action_height = action_.Height();
  in.advanced_visible = advanced_visible_;
  in.split_ratio = split_.Ratio();
  layout_ = LayOutPage(in);

  Place(general_, layout_.general);
  if (advanced_visible_) Place(advanced_, layout_.advanced);
  action_.Move(layout_.action.x, layout_.action.y);
  if (!laid_out_) {
    laid_out_ = true;
    ShowWindow(general_.Handle(), SW_SHOW);
    ShowWindow(action_.Handle(), SW_SHOW);
    ShowWindow(advanced_.Handle(), advanced_visible_ ? SW_SHOW : SW_HIDE);
    general_.UpdateArrow(advanced_visible_);
  }
  Place(results_tab_, layout_.results_tab);
  const bool lists_first = ResizeListsFirst(client.right, last_width_);
  for (int tab = 0; tab < 3; ++tab) {
    CFilesListControl& list = List(tab);
    RECT frame{}, inner{};
    GetWindowRect(list.Handle(), &frame);
    GetClientRect(list.Handle(), &inner);
    const int borders = (frame.right - frame.left) - inner.right;
    if (!lists_first) list.FitColumns(layout_.lists.width - borders);
    Place(list, layout_.lists);
    if (lists_first) {
      GetClientRect(list.Handle(), &inner);
      list.FitColumns(inner.right);
    }
  }
  preview_view_.Place(layout_.preview_tab, layout_.preview_views);
  last_width_ = client.right;
}

// While the splitter is dragged only the results tab and the preview follow;
// the lists are resized when the button is released.
void CFindPage::PlaceSplitViews(int tab_height) {
  RECT client{};
  GetClientRect(Handle(), &client);
  const int width = client.right, height = client.bottom;
  layout_.results_tab.height = tab_height;
  const int preview_top = layout_.results_tab.Bottom() + 6;
  layout_.preview_tab = {0, preview_top, width, std::max(0, height - preview_top)};
  layout_.preview_views = {layout_.preview_views.x, preview_top + 30, layout_.preview_views.width,
                           std::max(0, height - 6 - (preview_top + 30))};
  Place(results_tab_, layout_.results_tab);
  preview_view_.Place(layout_.preview_tab, layout_.preview_views);
}

bool CFindPage::OnSetCursor() {
  POINT at{};
  GetCursorPos(&at);
  ScreenToClient(Handle(), &at);
  if (!dragging_ && !InSplitterBand(at.y, layout_.results_tab)) return false;
  SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
  return true;
}

bool CFindPage::OnMouse(UINT msg, WPARAM wparam, LPARAM lparam) {
  const int y = GET_Y_LPARAM(lparam);
  RECT client{};
  GetClientRect(Handle(), &client);
  switch (msg) {
    case WM_LBUTTONDOWN:
      if (!InSplitterBand(y, layout_.results_tab)) return false;
      SetCapture(Handle());
      dragging_ = true;
      drag_start_y_ = y;
      drag_start_height_ = layout_.results_tab.height;
      return true;
    case WM_MOUSEMOVE:
      if (dragging_ && (wparam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == MK_LBUTTON) {
        PlaceSplitViews(DraggedTabHeight(drag_start_height_, y - drag_start_y_,
                                         layout_.results_tab.y, client.bottom));
        return true;
      }
      if (InSplitterBand(y, layout_.results_tab)) SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
      return false;
    case WM_LBUTTONUP:
      if (!dragging_) return false;
      dragging_ = false;
      ReleaseCapture();
      split_.Dragged(layout_.results_tab.height, client.bottom, layout_.results_tab.y);
      PostMessageW(Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
      return true;
    default: return false;
  }
}

// ---- Commands ----

void CFindPage::OnCommand(WPARAM wparam, LPARAM lparam) {
  const UINT id = LOWORD(wparam);
  const bool from_action = reinterpret_cast<HWND>(lparam) != nullptr &&
                           GetParent(reinterpret_cast<HWND>(lparam)) == action_.Handle();
  if (from_action) {
    switch (id) {
      case IDC_FIND:
      case IDC_REPLACE: RunAction(); return;
      case IDC_CLEAR_CRITERIA: ClearCriteria(); return;
      case IDC_CLEAR_RESULTS: ClearResults(); return;
      default: return;
    }
  }
  // The preview's own controls report here too; their notices are not
  // commands for the list.
  if (lparam != 0) return;
  select_all_ = id == IDM_SELECT_ALL;
  ShownList().OnCommand(id);
  select_all_ = false;
}

void CFindPage::OnInitMenu(HMENU menu) {
  if (GetMenuState(menu, IDM_COPY, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
  CFilesListControl& list = ShownList();
  const auto selected = static_cast<std::size_t>(list.Send(LVM_GETSELECTEDCOUNT));
  const auto rows = static_cast<std::size_t>(list.RowCount());
  for (int command : {IDM_CUT, IDM_COPY, IDM_DELETE, IDM_COPY_FILE_NAME, IDM_SELECT_ALL}) {
    const bool on = EditCommandEnabled(command, selected, rows);
    EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  }
}

// ---- Notifications ----

int CFindPage::ShownTab() const {
  if (!results_tab_.Handle()) return 0;
  const auto tab = static_cast<int>(results_tab_.Send(TCM_GETCURSEL));
  return tab >= 0 && tab < 3 ? tab : 0;
}

void CFindPage::OnResultTabChanged() {
  const int shown = ShownTab();
  for (int tab = 0; tab < 3; ++tab)
    ShowWindow(List(tab).Handle(), tab == shown ? SW_SHOW : SW_HIDE);
  split_.TabChosen(shown == 0);
  Layout();
}

void CFindPage::OnNotify(NMHDR* header, LRESULT* result) {
  (void)result;
  if (header->hwndFrom == results_tab_.Handle() && header->code == TCN_SELCHANGE) {
    OnResultTabChanged();
  } else if (header->hwndFrom == found_.Handle() && header->code == LVN_ITEMCHANGED) {
    OnFoundItemChanged(*reinterpret_cast<const NMLISTVIEW*>(header));
  } else if (header->code == HDN_FILTERCHANGE) {
    PushStatus(
        run_.FilterChanged(found_.RecordCount(), static_cast<std::size_t>(found_.RowCount())));
  }
  // The preview's tab control and link reach the preview as reflected
  // notifications.
}

// ---- Keyboard ----

bool CFindPage::PreTranslateMessage(MSG* msg) {
  if (!Handle()) return false;
  CFilesListControl& list = ShownList();
  if (msg->hwnd == list.Handle() && accelerators_ &&
      TranslateAcceleratorW(Handle(), accelerators_, msg)) {
    return true;
  }
  if (msg->message == WM_KEYDOWN) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (msg->wParam == VK_DELETE && GetFocus() == list.Handle()) {
      Send(WM_COMMAND, MAKEWPARAM(IDM_DELETE, 0), 0);
      SetFocus(list.Handle());
      return false;
    }
    if (preview_view_.PreTranslateMessage(msg)) return true;
    if (msg->wParam == VK_TAB && !ctrl && TabAcrossDialogs(!shift)) return true;
  }
  // The dialogs' own keyboard interface (IsDialogMessage) is the message
  // loop's last step, after the main window's shortcuts: run here, it would
  // take Ctrl+F and the other shortcuts typed in a criteria field.
  return false;
}

bool CFindPage::TabAcrossDialogs(bool forward) {
  CWindow* dialogs[3] = {&general_, &advanced_, &action_};
  HWND focus = GetFocus();
  for (int from = 0; from < 3; ++from) {
    HWND dialog = dialogs[from]->Handle();
    HWND control = DialogChildOf(dialog, focus);
    if (!control) continue;
    if (control != EdgeTabStop(dialog, !forward)) return false;
    const auto next = static_cast<int>(
        NextCriteriaDialog(static_cast<CriteriaDialog>(from), forward, advanced_visible_));
    HWND target = EdgeTabStop(dialogs[next]->Handle(), forward);
    if (!target) return false;
    FocusControl(target);
    return true;
  }
  return false;
}

}  // namespace ui
