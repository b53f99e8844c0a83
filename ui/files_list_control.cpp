// CFilesListControl (see files_list_control.h).
// Tested by tests/ui/ui_gui_test.cpp and tests/ui/shell_ops_gui_test.cpp.
#include "ui/files_list_control.h"

#include <shellapi.h>

#include <algorithm>

#include "storage/app_settings.h"
#include "toolkit/application.h"
#include "ui/logic/control_ids.h"
#include "ui/select_filter_dialog.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

// The header applies a typed filter when the user confirms it (Enter or
// leaving the field), not while typing.
constexpr int kFilterChangeTimeoutMs = 100000;
constexpr int kFilterTextMax = 260;
constexpr UINT_PTR kRowsTimerId = 0x5652;
constexpr UINT kRowsDelayMs = 100;

// The user's short date of the FILETIME's calendar day, without a
// time-zone conversion.
std::u16string ShortDate(platform::FileTime time) {
  FILETIME ft{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  SYSTEMTIME st{};
  if (!FileTimeToSystemTime(&ft, &st)) return {};
  wchar_t text[80] = {};
  const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, 80);
  return length > 1 ? Utf16(std::wstring_view(text, static_cast<std::size_t>(length - 1)))
                    : std::u16string();
}

}  // namespace

CFilesListControl::CFilesListControl(ListKind list) : table_(list, &ShortDate) {}

CFilesListControl::~CFilesListControl() {
  Destroy();
  if (images_) ImageList_Destroy(images_);
}

bool CFilesListControl::Create(HWND parent, const RECT& rect, AppSettings* settings) {
  settings_ = settings;
  HWND list = CreateWindowExW(
      0, WC_LISTVIEWW, L"FileListView",
      WS_CHILD | WS_BORDER | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
      CApplication::Get().Instance(), nullptr);
  if (!list) return false;
  Attach(list, true);
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
       LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  // The shell's small icons, at the size of the list's scale (16 at 96 DPI).
  const UINT dpi = GetDpiForWindow(list);
  const int icon = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
  images_ = ImageList_Create(icon, icon, ILC_COLOR32 | ILC_MASK, 16, 16);
  Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_));
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  SendMessageW(header, HDM_SETFILTERCHANGETIMEOUT, 0, kFilterChangeTimeoutMs);
  ApplyFilterBarSetting();
  return true;
}

int CFilesListControl::Scaled(int pixels) const {
  return MulDiv(pixels, static_cast<int>(GetDpiForWindow(Handle())), 96);
}

void CFilesListControl::BuildColumns(const std::vector<int>& kinds) {
  RECT client{};
  GetClientRect(Handle(), &client);
  for (int kind : kinds) {
    const ColumnInfo& info = ColumnInfoOf(kind);
    std::wstring caption = Wide(ColumnCaption(kind));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = info.right_aligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = Scaled(info.default_width);
    column.pszText = caption.data();
    const int at = static_cast<int>(shown_columns_.size());
    Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&column));
    shown_columns_.push_back(kind);
  }
  FitColumns(client.right);
}

void CFilesListControl::SetupColumns(bool with_count) {
  if (!shown_columns_.empty()) return;
  BuildColumns(ColumnSet(table_.List(), with_count));
}

void CFilesListControl::SyncReplacesColumn() {
  if (shown_columns_.empty()) {
    SetupColumns(table_.HasReplacesColumn());
    return;
  }
  const auto at = std::find(shown_columns_.begin(), shown_columns_.end(), kColumnReplaces);
  const bool shown = at != shown_columns_.end();
  if (shown == table_.HasReplacesColumn()) return;
  const int position = 2;  // after File name and Folder
  if (shown) {
    Send(LVM_DELETECOLUMN, position);
    shown_columns_.erase(at);
  } else {
    std::wstring caption = Wide(ColumnCaption(kColumnReplaces));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = Scaled(ColumnInfoOf(kColumnReplaces).default_width);
    column.pszText = caption.data();
    Send(LVM_INSERTCOLUMNW, position, reinterpret_cast<LPARAM>(&column));
    shown_columns_.insert(shown_columns_.begin() + position, kColumnReplaces);
  }
  RECT client{};
  GetClientRect(Handle(), &client);
  FitColumns(client.right);
  UpdateSortArrows();
}

void CFilesListControl::FitColumns(int client_width) {
  int others = 0;
  for (std::size_t i = 0; i < shown_columns_.size(); ++i) {
    const int kind = shown_columns_[i];
    if (kind == kColumnFolder) continue;
    const int width = Scaled(ColumnInfoOf(kind).default_width);
    others += width;
    Send(LVM_SETCOLUMNWIDTH, i, width);
  }
  for (std::size_t i = 0; i < shown_columns_.size(); ++i) {
    if (shown_columns_[i] == kColumnFolder) {
      Send(LVM_SETCOLUMNWIDTH, i, std::max(kMinColumnWidth, client_width - others));
    }
  }
}

void CFilesListControl::RowsChanged(bool invalidate) {
  pending_invalidate_ |= invalidate;
  // While the rows in view are all there, arrivals change only the scroll
  // bar: the list view learns the new count at most every kRowsDelayMs.
  // Wine's list view repaints the whole page on every count change, which
  // would cost each batch several milliseconds.
  const auto known = static_cast<std::size_t>(Send(LVM_GETITEMCOUNT));
  const auto page = static_cast<std::size_t>(Send(LVM_GETCOUNTPERPAGE));
  if (known <= page || !IsWindowVisible(Handle())) {
    FlushRows();
  } else if (!rows_timer_) {
    rows_timer_ = SetTimer(Handle(), kRowsTimerId, kRowsDelayMs, nullptr) != 0;
    if (!rows_timer_) FlushRows();
  }
}

void CFilesListControl::FlushRows() {
  if (rows_timer_) {
    KillTimer(Handle(), kRowsTimerId);
    rows_timer_ = false;
  }
  const bool invalidate = pending_invalidate_;
  pending_invalidate_ = false;
  // Appended rows lie below a full page, so nothing in view changes; but
  // Wine's list view ignores LVSICF_NOINVALIDATEALL in report view and
  // repaints the page, so an invalidation that the count alone caused is
  // taken back.
  const bool had_update = GetUpdateRect(Handle(), nullptr, FALSE) != FALSE;
  // Only when the page was already full before: rows that fill it now must
  // be painted.
  const bool page_was_full = Send(LVM_GETITEMCOUNT) >= Send(LVM_GETCOUNTPERPAGE);
  Send(LVM_SETITEMCOUNT, table_.RowCount(),
       invalidate ? 0 : LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (invalidate) {
    InvalidateRect(Handle(), nullptr, FALSE);
  } else if (!had_update && page_was_full) {
    ValidateRect(Handle(), nullptr);
  }
  // Once per filling: the vertical scroll bar takes width from Folder.
  if (!scroll_fitted_ && Send(LVM_GETCOUNTPERPAGE) < static_cast<LRESULT>(table_.RowCount())) {
    scroll_fitted_ = true;
    RECT client{};
    GetClientRect(Handle(), &client);
    FitColumns(client.right);
  }
}

void CFilesListControl::AddRecord(std::unique_ptr<FileResult> record) {
  const bool inserted = table_.Add(std::move(record)) == CResultTable::Added::kInserted;
  SyncReplacesColumn();
  RowsChanged(inserted);
}

void CFilesListControl::AddBatch(FileResultBatch& batch) {
  bool inserted = false;
  for (auto& record : batch) {
    inserted |= table_.Add(std::move(record)) == CResultTable::Added::kInserted;
  }
  batch.clear();
  SyncReplacesColumn();
  RowsChanged(inserted);
}

void CFilesListControl::ClearSelection() {
  // Row numbers are about to mean other records. Clearing all rows at once
  // (item -1) makes Wine's list view visit every row, a second for a
  // million: only the selected rows and the focused one are cleared.
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  const LRESULT selected = Send(LVM_GETSELECTEDCOUNT);
  if (selected > 0 && selected == Send(LVM_GETITEMCOUNT)) {
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    return;
  }
  for (LRESULT row = -1; selected > 0;) {
    row = Send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED);
    if (row < 0) break;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  }
  const LRESULT focused = Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
  if (focused >= 0) {
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&state));
  }
}

void CFilesListControl::Clear() {
  ClearSelection();
  table_.Clear();
  scroll_fitted_ = false;
  SyncReplacesColumn();
  pending_invalidate_ = true;
  FlushRows();
}

FilterMap CFilesListControl::ReadHeaderFilters() const {
  FilterMap filters;
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  for (std::size_t i = 0; i < shown_columns_.size(); ++i) {
    wchar_t text[kFilterTextMax] = {};
    HD_TEXTFILTERW filter{text, kFilterTextMax};
    HDITEMW item{};
    item.mask = HDI_FILTER;
    item.type = HDFT_ISSTRING;
    item.pvFilter = &filter;
    if (SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)) && text[0]) {
      filters[shown_columns_[i]] = Utf16(text);
    }
  }
  return filters;
}

bool CFilesListControl::FilterBarVisible() const {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  return (GetWindowLongPtrW(header, GWL_STYLE) & HDS_FILTERBAR) != 0;
}

void CFilesListControl::ApplyFilters() {
  // A hidden filter bar filters nothing: rows must not vanish for a reason
  // the user cannot see.
  if (!table_.SetFilters(FilterBarVisible() ? typed_filters_ : FilterMap{})) return;
  ClearSelection();
  pending_invalidate_ = true;
  FlushRows();
  NotifyRowsChanged();
}

void CFilesListControl::NotifyRowsChanged() {
  // The page shows the found count with the rows the filter leaves; the
  // header's notice reaches only the list, so it goes on to the page.
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  NMHEADERW notice{};
  notice.hdr.hwndFrom = header;
  notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header));
  notice.hdr.code = HDN_FILTERCHANGE;
  notice.iItem = -1;
  SendMessageW(GetParent(Handle()), WM_NOTIFY, notice.hdr.idFrom,
               reinterpret_cast<LPARAM>(&notice));
}

void CFilesListControl::ApplyFilterBarSetting() {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  const bool visible = !settings_ || settings_->filter_bar_visible;
  LONG_PTR style = GetWindowLongPtrW(header, GWL_STYLE);
  style = visible ? (style | HDS_FILTERBAR) : (style & ~static_cast<LONG_PTR>(HDS_FILTERBAR));
  SetWindowLongPtrW(header, GWL_STYLE, style);
  // The list view lays its header out again only when its frame changes.
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyFilters();
}

void CFilesListControl::SetColumnFilter(int kind, const std::u16string& text) {
  const auto at = std::find(shown_columns_.begin(), shown_columns_.end(), kind);
  if (at == shown_columns_.end()) return;
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  std::wstring value = Wide(text);
  HD_TEXTFILTERW filter{value.data(), kFilterTextMax};
  HDITEMW item{};
  item.mask = HDI_FILTER;
  item.type = HDFT_ISSTRING;
  item.pvFilter = &filter;
  const auto index = static_cast<WPARAM>(at - shown_columns_.begin());
  SendMessageW(header, HDM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
  typed_filters_[kind] = text;
  ApplyFilters();
  AddHistory(kind);
}

void CFilesListControl::OnFilterChange(int item) {
  // The header holds what the user typed; some header controls (Wine's) keep
  // no filter texts, so the list keeps its own copy.
  typed_filters_ = ReadHeaderFilters();
  ApplyFilters();
  if (item >= 0 && item < static_cast<int>(shown_columns_.size())) {
    AddHistory(shown_columns_[static_cast<std::size_t>(item)]);
  }
}

void CFilesListControl::AddHistory(int kind) {
  const auto text = typed_filters_.find(kind);
  if (settings_ && text != typed_filters_.end() && !text->second.empty()) {
    settings_->AddFilterHistory(ColumnCaption(kind), text->second);
  }
}

void CFilesListControl::OnFilterButton(int item) {
  if (!settings_ || item < 0 || item >= static_cast<int>(shown_columns_.size())) return;
  const int kind = shown_columns_[static_cast<std::size_t>(item)];
  const auto text = typed_filters_.find(kind);
  CSelectFilterDialog dialog(text == typed_filters_.end() ? std::u16string() : text->second, kind,
                             table_.HasReplacesColumn(), *settings_);
  if (dialog.Run(GetAncestor(Handle(), GA_ROOT)) == IDOK && dialog.Kind() >= 0) {
    SetColumnFilter(dialog.Kind(), dialog.Text());
  }
}

void CFilesListControl::UpdateSortArrows() {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  for (std::size_t i = 0; i < shown_columns_.size(); ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (shown_columns_[i] == table_.SortColumn()) {
      item.fmt |= table_.SortAscending() ? HDF_SORTUP : HDF_SORTDOWN;
    }
    SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
}

void CFilesListControl::OnColumnClick(int column) {
  if (column < 0 || column >= static_cast<int>(shown_columns_.size())) return;
  table_.ClickColumn(shown_columns_[static_cast<std::size_t>(column)]);
  ClearSelection();
  UpdateSortArrows();
  pending_invalidate_ = true;
  FlushRows();
}

int CFilesListControl::RequestIcon(const FileResult& record) {
  SHFILEINFOW info{};
  const std::wstring path = Wide(FullPath(record));
  SHGetFileInfoW(path.c_str(), record.is_folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL,
                 &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
  const int index = ImageList_AddIcon(images_, info.hIcon);
  if (info.hIcon) DestroyIcon(info.hIcon);
  return index;
}

void CFilesListControl::OnGetDispInfo(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= table_.RowCount()) return;
  const auto row = static_cast<std::size_t>(item.iItem);
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && item.iSubItem >= 0 &&
      item.iSubItem < static_cast<int>(shown_columns_.size())) {
    cell_ = Wide(table_.CellText(row, shown_columns_[static_cast<std::size_t>(item.iSubItem)]));
    lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
  }
  if (item.mask & LVIF_IMAGE) {
    item.iImage = table_.RowIcon(row, [this](const FileResult& r) { return RequestIcon(r); });
  }
}

void CFilesListControl::GetSelectedPaths(std::vector<std::u16string>& paths) const {
  int row = -1;
  while ((row = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >=
         0) {
    if (static_cast<std::size_t>(row) >= table_.RowCount()) break;
    paths.push_back(FullPath(table_.RowRecord(static_cast<std::size_t>(row))));
  }
}

void CFilesListControl::CopyFileNames() const {
  std::vector<std::u16string> paths;
  GetSelectedPaths(paths);
  std::wstring text;
  for (const std::u16string& path : paths) text += Wide(path) + L"\r\n";
  if (!OpenClipboard(Handle())) return;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    // The clipboard owns the memory once it is set.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

void CFilesListControl::OnCommand(UINT id) {
  switch (id) {
    case IDM_SELECT_ALL: {
      LVITEMW state{};
      state.stateMask = LVIS_SELECTED;
      state.state = LVIS_SELECTED;
      Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
      SetFocus(Handle());
      return;
    }
    case IDM_COPY_FILE_NAME: CopyFileNames(); return;
    case IDM_DELETE:
    case IDM_CUT:
    case IDM_COPY: OnFileCommand(id); return;
    default: return;
  }
}

void CFilesListControl::OnDoubleClick() {
  const int row = static_cast<int>(Send(LVM_GETSELECTIONMARK));
  if (row < 0 || static_cast<std::size_t>(row) >= table_.RowCount()) return;
  if (!CShellHelper::OpenFile(FullPath(table_.RowRecord(static_cast<std::size_t>(row))))) {
    MessageBeep(MB_ICONEXCLAMATION);
  }
}

std::vector<RowPath> CFilesListControl::SelectedRows() const {
  std::vector<RowPath> rows;
  int row = -1;
  while ((row = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >=
         0) {
    if (static_cast<std::size_t>(row) >= table_.RowCount()) break;
    const auto at = static_cast<std::size_t>(row);
    rows.push_back({at, FullPath(table_.RowRecord(at))});
  }
  return rows;
}

void CFilesListControl::RemoveGoneRows(const std::vector<RowPath>& rows) {
  const std::vector<std::size_t> gone = RowsGone(rows, [](const std::u16string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  });
  if (gone.empty()) return;
  ClearSelection();
  table_.RemoveRows(gone);
  pending_invalidate_ = true;
  FlushRows();
  NotifyRowsChanged();
}

void CFilesListControl::OnFileCommand(UINT id) {
  const std::vector<RowPath> rows = SelectedRows();
  if (rows.empty()) return;
  PathList paths;
  for (const RowPath& row : rows) paths.push_back(row.path);
  switch (id) {
    // A clipboard that another program holds open refuses quietly.
    case IDM_COPY: (void)shell_.CopyFilesToClipboard(paths); return;
    case IDM_CUT: (void)shell_.CutFilesToClipboard(paths); return;
    case IDM_DELETE:
      // A canceled or partly failed delete leaves the rows of the files
      // that are still there.
      (void)CShellHelper::DeleteFiles(GetAncestor(Handle(), GA_ROOT), paths);
      RemoveGoneRows(rows);
      return;
    default: return;
  }
}

void CFilesListControl::BeginDrag() {
  PathList paths;
  GetSelectedPaths(paths);
  if (paths.empty()) return;
  SetCapture(Handle());
  (void)CShellHelper::DragFiles(paths);
  ReleaseCapture();
  left_down_ = false;
}

void CFilesListControl::OnContextMenu(POINT screen) {
  const std::vector<RowPath> rows = SelectedRows();
  if (rows.empty()) return;
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: below the selection mark's label.
    const LRESULT mark = Send(LVM_GETSELECTIONMARK);
    const WPARAM row = mark >= 0 ? static_cast<WPARAM>(mark) : rows.front().row;
    Send(LVM_ENSUREVISIBLE, row, FALSE);
    RECT label{};
    label.left = LVIR_LABEL;
    Send(LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label));
    screen = {label.left + 5, label.bottom + 5};
    ClientToScreen(Handle(), &screen);
  }
  PathList paths;
  for (const RowPath& row : rows) paths.push_back(row.path);
  if (shell_.ShowContextMenu(Handle(), screen, paths) == CShellHelper::MenuOutcome::kDeleted) {
    RemoveGoneRows(rows);
  }
}

void CFilesListControl::OnNotify(NMHDR* header, LRESULT* result) {
  CListControl::OnNotify(header, result);
  if (header->code == HDN_FILTERCHANGE) {
    OnFilterChange(reinterpret_cast<NMHEADERW*>(header)->iItem);
  } else if (header->code == HDN_FILTERBTNCLICK) {
    OnFilterButton(reinterpret_cast<NMHDFILTERBTNCLICK*>(header)->iItem);
  }
}

void CFilesListControl::OnReflectedNotify(NMHDR* header, LRESULT*) {
  switch (header->code) {
    case LVN_GETDISPINFOW: OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header)); return;
    case LVN_COLUMNCLICK: OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem); return;
    case NM_DBLCLK: OnDoubleClick(); return;
    default: return;
  }
}

LRESULT CFilesListControl::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  LRESULT menu_result = 0;
  if (shell_.HandleMenuMessage(msg, wparam, lparam, &menu_result)) return menu_result;
  switch (msg) {
    case WM_TIMER:
      if (wparam == kRowsTimerId) {
        FlushRows();
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      left_down_ = true;
      press_ = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      ClientToScreen(Handle(), &press_);
      break;
    case WM_LBUTTONUP: left_down_ = false; break;
    case WM_CONTEXTMENU:
      OnContextMenu({static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
      return 0;
    case WM_MOUSEMOVE:
      if (left_down_ && (wparam & MK_LBUTTON)) {
        POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        ClientToScreen(Handle(), &at);
        if (std::abs(at.x - press_.x) > GetSystemMetrics(SM_CXDRAG) ||
            std::abs(at.y - press_.y) > GetSystemMetrics(SM_CYDRAG)) {
          left_down_ = false;
          BeginDrag();
        }
      }
      break;
    default: break;
  }
  return CListControl::WindowProc(msg, wparam, lparam);
}

}  // namespace ui
