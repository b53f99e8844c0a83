// CFindPage (see find_page.h): making the page, runs, the engine's reports,
// the read-only question and the results file.
// Tested by tests/ui/find_page_gui_test.cpp.
#include "ui/find_page.h"

#include <chrono>
#include <ctime>
#include <optional>

#include "storage/app_settings.h"
#include "toolkit/application.h"
#include "toolkit/message_box.h"
#include "ui/logic/control_ids.h"
#include "ui/logic/page_text.h"
#include "ui/logic/ui_text.h"
#include "ui/page_ids.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

constexpr wchar_t kPageClass[] = L"FindPage";
constexpr wchar_t kPageTitle[] = L"FindPageWindow";

// A report queue that stops being empty posts this once; the page drains
// the queue for at most kDrainBudget and continues on a timer, whose
// message comes after input and painting.
constexpr std::chrono::milliseconds kDrainBudget{50};

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

// The read-only question box is made on the worker thread by the message box
// code; a hook on that thread learns its handle so that a stop on the
// user-interface thread can end it through the gate.
constexpr int kNoToAllCode = toolkit::kFirstCustomButtonCode + 3;

struct QuestionWatch {
  CReadOnlyQuestionGate* gate = nullptr;
  bool attached = false;
};
thread_local QuestionWatch* t_question = nullptr;

LRESULT CALLBACK WatchQuestionBox(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND && t_question && !t_question->attached) {
    HWND window = reinterpret_cast<HWND>(wparam);
    const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lparam);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (!(create->lpcs->style & WS_CHILD) && lstrcmpW(name, L"#32770") == 0) {
      t_question->attached = true;
      // Posted: it is read once the box's modal loop runs, which ends it as
      // No to All.
      auto close = [window] {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(kNoToAllCode, BN_CLICKED), 0);
      };
      if (!t_question->gate->Attach(close)) close();
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void ShowFailure(HWND owner, UINT text_id) {
  MessageBoxW(owner, LoadUiString(text_id).c_str(), LoadUiString(IDS_UI_CAPTION).c_str(), MB_OK);
}

HWND MakeTabControl(HWND parent, int id, std::initializer_list<UINT> tabs) {
  HWND tab = CreateWindowExW(0, WC_TABCONTROLW, L"Tab",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 10, 10,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             CApplication::Get().Instance(), nullptr);
  if (!tab) return nullptr;
  SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  int index = 0;
  for (UINT text_id : tabs) {
    std::wstring text = LoadUiString(text_id);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index++),
                 reinterpret_cast<LPARAM>(&item));
  }
  return tab;
}

}  // namespace

std::unique_ptr<IPage> CreateFindPage(IPageHost& host, const PageStart& start) {
  auto page = std::make_unique<CFindPage>(host, start);
  if (!page->CreatePage(start)) return nullptr;
  return page;
}

CFindPage::CFindPage(IPageHost& host, const PageStart& start)
    : host_(host),
      id_(start.id),
      pending_(start.restored),
      main_reporter_(ReportSource::kMain, queue_, this,
                     [this] { PostMessageW(window_.load(), kWmReportsWaiting, 0, 0); }),
      preview_reporter_(ReportSource::kPreview, queue_, nullptr,
                        [this] { PostMessageW(window_.load(), kWmReportsWaiting, 0, 0); }),
      main_(&main_reporter_),
      preview_(preview_reporter_) {}

CFindPage::~CFindPage() {
  run_.RequestStop();
  StopEngines(true);
  // The children go while every object they report to still exists.
  Destroy();
  window_ = nullptr;
  if (white_brush_) DeleteObject(white_brush_);
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

bool CFindPage::CreatePage(const PageStart& start) {
  HWND owner = host_.MainWindow();
  if (!RegisterWindowClass(kPageClass, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                           LoadIconW(nullptr, IDI_APPLICATION)) &&
      GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ShowFailure(owner, IDS_PAGE_FAILED_CLASS);
    return false;
  }
  const RECT& r = start.rect;
  if (!Create(0, kPageClass, kPageTitle, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
              r.left, r.top, r.right - r.left, r.bottom - r.top, owner)) {
    ShowFailure(owner, IDS_PAGE_FAILED_WINDOW);
    return false;
  }
  window_ = Handle();
  accelerators_ =
      LoadAcceleratorsW(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDR_PAGE_ACCELERATORS));
  white_brush_ = CreateSolidBrush(RGB(255, 255, 255));
  if (!CreateChildren(start)) {
    ShowFailure(owner, IDS_PAGE_FAILED_WINDOW);
    Destroy();
    window_ = nullptr;
    return false;
  }
  if (start.criteria) params_ = *start.criteria;
  params_.tab_id = id_;
  // Without OLE (a test frame that did not start it) the page works without
  // drops.
  (void)drop_.Register(Handle(), [this](const std::u16string& path) { TakeDroppedPath(path); });
  Layout();
  return true;
}

bool CFindPage::CreateChildren(const PageStart& start) {
  const FileFindParamsIn* initial = start.criteria;
  if (!action_.Create(Handle()) || !advanced_.Create(Handle(), this, initial) ||
      !general_.Create(Handle(), this, initial)) {
    return false;
  }
  general_.Link(&advanced_);
  advanced_.Link(&general_);
  advanced_visible_ = host_.AdvancedVisible();
  general_.UpdateDependencies();
  UpdateActionState();

  const RECT place{0, 0, 100, 100};
  AppSettings* settings = &host_.Settings();
  if (!found_.Create(Handle(), place, settings) || !skipped_.Create(Handle(), place, settings) ||
      !errors_.Create(Handle(), place, settings)) {
    return false;
  }
  for (CFilesListControl* list :
       {static_cast<CFilesListControl*>(&found_), static_cast<CFilesListControl*>(&skipped_),
        static_cast<CFilesListControl*>(&errors_)}) {
    list->SetupColumns(false);
  }
  ShowWindow(found_.Handle(), SW_SHOW);
  HWND tab =
      MakeTabControl(Handle(), IDC_RESULTS_TAB, {IDS_TAB_FOUND, IDS_TAB_SKIPPED, IDS_TAB_ERRORS});
  if (!tab) return false;
  results_tab_.Attach(tab, true);
  return preview_view_.Create(Handle(), Settings(), preview_);
}

CFilesListControl& CFindPage::List(int tab) {
  switch (tab) {
    case 1: return skipped_;
    case 2: return errors_;
    default: return found_;
  }
}

std::wstring CFindPage::ResultTabText(int tab) const {
  wchar_t text[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  results_tab_.Send(TCM_GETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
  return text;
}

// ---- IPage ----

void CFindPage::Show(bool show) {
  if (!Handle()) return;
  if (!show) {
    ShowWindow(Handle(), SW_HIDE);
    return;
  }
  FileResultBatch rows;
  if (pending_.TakeRows(Settings().data_folder, id_, rows)) {
    AddRecords(rows);
    UpdateTabCaptions();
    PushStatus(run_.ClearTexts());
    host_.RefreshTabIcons();
  }
  ApplyFilterBar();
  ShowWindow(Handle(), SW_SHOW);
  OnResultTabChanged();
  PushStatus(kAllStatusParts);
  general_.UpdateArrow(advanced_visible_);
  general_.FocusPath();
}

void CFindPage::ShowAdvanced(bool show) {
  advanced_visible_ = show;
  ShowWindow(advanced_.Handle(), show ? SW_SHOW : SW_HIDE);
  general_.UpdateArrow(show);
  general_.FocusPath();
  Layout();
}

void CFindPage::RunAction() {
  CriteriaForm form;
  form.general = general_.ReadForm();
  form.advanced = advanced_.ReadForm();
  const ActionState state =
      run_.Action(ReplaceModeActive(form, general_.Enabled()), !form.general.path.empty());
  switch (PressAction(state)) {
    case ActionPress::kStartFind: StartSearch(false); return;
    case ActionPress::kStartReplace: StartSearch(true); return;
    case ActionPress::kStop: StopSearch(); return;
    case ActionPress::kNothing: return;
  }
}

FileFindParamsIn CFindPage::Criteria() {
  FileFindParamsIn record;
  record.skip_null_files = Settings().treat_null_as_binary;
  // Silent: nothing is refused, so both always succeed.
  (void)general_.CollectGeneral(record, true);
  (void)advanced_.CollectAdvanced(record, true);
  record.tab_id = id_;
  return record;
}

bool CFindPage::SaveResults(std::u16string_view data_folder) {
  // Never shown since the restart: the file is still the only copy.
  if (pending_.pending()) return true;
  return ::SaveResults(data_folder, all_records_, id_);
}

void CFindPage::StopSearch() {
  run_.RequestStop();
  StopEngines(false);
  // The worker has ended and its last report is queued: the rows that came
  // before the stop go into the lists now, so that "Canceled" follows the
  // click at once instead of after the backlog's time slices.
  DrainReports(true);
  UpdateActionState();
}

void CFindPage::ApplyFilterBar() {
  for (int tab = 0; tab < 3; ++tab) List(tab).ApplyFilterBarSetting();
}

void CFindPage::OnCriteriaChanged() { UpdateActionState(); }

// ---- Runs ----

void CFindPage::StartSearch(bool replace) {
  if (run_.Running()) return;
  HWND names = general_.GetDlgItem(IDC_FILE_NAMES);
  const std::u16string typed = Utf16(WindowText(names));
  const std::u16string normalized = NormalizedFileName(typed);
  if (normalized != typed) SetWindowTextW(names, Wide(normalized).c_str());

  FileFindParamsIn record;
  record.skip_null_files = Settings().treat_null_as_binary;
  if (!general_.CollectGeneral(record, false) || !advanced_.CollectAdvanced(record, false)) return;
  if (PrepareRunRecord(record)) {
    SetWindowTextW(general_.GetDlgItem(IDC_PATH), Wide(record.path).c_str());
  }
  record.tab_id = id_;
  params_ = record;

  all_records_.clear();
  AppSettings& settings = Settings();
  settings.AddFindHistory(kHistoryPath, record.path);
  settings.AddFindHistory(kHistoryFileName, record.file_name);
  settings.AddFindHistory(kHistoryText, record.text);
  settings.AddFindHistory(kHistoryReplace, record.replace_text);
  for (int tab = 0; tab < 3; ++tab) List(tab).Clear();
  UpdateTabCaptions();

  StatusChange changed = kNoStatusChange;
  if (!run_.Start(replace, Now(), changed)) return;
  PushStatus(changed);
  SetTimer(Handle(), kClockTimer, 1000, nullptr);

  gate_.Reset();
  main_reporter_.BeginRun();
  main_.SetHandlerSettings(settings.HandlerSnapshot());
  main_.Prepare(record);
  main_.Start(replace);

  SetCriteriaRunning(true);
  UpdateActionState();
  host_.RefreshTabIcons();
  if (record.text.empty() && split_.HideForRun()) Layout();
}

// The stop order: the gate first, so that an open read-only question ends as
// No to All, then the engines. While the workers wind up, messages other
// threads send to this thread's windows are answered: a question box that
// closes re-enables and re-activates its owner, the main window, by sent
// messages, and a wait that did not answer them would never end.
void CFindPage::StopEngines(bool preview_too) {
  gate_.Stop();
  main_.stop_event().Set();
  // The preview's worker never waits for this thread.
  if (preview_too) preview_.Stop();
  while (main_.running()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  main_.Stop();
}

void CFindPage::UpdateActionState() {
  if (!action_.Handle()) return;
  CriteriaForm form;
  form.general = general_.ReadForm();
  form.advanced = advanced_.ReadForm();
  const ActionState state =
      run_.Action(ReplaceModeActive(form, general_.Enabled()), !form.general.path.empty());
  if (action_.ActionMode() != static_cast<int>(state.mode)) {
    action_.SetActionMode(static_cast<int>(state.mode));
  }
  action_.EnableAction(state.button_enabled);
}

void CFindPage::SetCriteriaRunning(bool running) {
  // The advanced dialog first: the general dialog's rules read its state.
  advanced_.SetRunning(running);
  general_.SetRunning(running);
}

// ---- Reports ----

void CFindPage::DrainReports(bool all) {
  if (drain_timer_) {
    KillTimer(Handle(), kDrainTimer);
    drain_timer_ = false;
  }
  const auto deadline = std::chrono::steady_clock::now() + kDrainBudget;
  // Of a row of folder reports only the last one is shown.
  std::optional<std::u16string> folder;
  for (;;) {
    std::optional<FindReport> report = queue_.WaitNext(std::chrono::milliseconds(0));
    if (!report) break;
    if (report->kind == FindReport::Kind::kFolderEntered) {
      if (report->source == ReportSource::kMain && report->run == main_reporter_.Run()) {
        folder = std::move(report->path);
      }
    } else {
      if (folder) PushStatus(run_.FolderEntered(*folder));
      folder.reset();
      HandleReport(*report);
    }
    if (!all &&
        (std::chrono::steady_clock::now() >= deadline || HIWORD(GetQueueStatus(QS_INPUT)) != 0)) {
      break;
    }
  }
  if (folder) PushStatus(run_.FolderEntered(*folder));
  if (queue_.Size() == 0) return;
  // More waits: continue after the input and painting that are due.
  drain_timer_ = SetTimer(Handle(), kDrainTimer, USER_TIMER_MINIMUM, nullptr) != 0;
  if (!drain_timer_) PostMessageW(Handle(), kWmReportsWaiting, 0, 0);
}

void CFindPage::HandleReport(FindReport& report) {
  if (report.source == ReportSource::kPreview) {
    if (report.kind == FindReport::Kind::kMatchesReady && report.run == preview_reporter_.Run()) {
      preview_view_.OnMatchesReady(std::move(report.path), std::move(report.matches));
    }
    return;
  }
  // Reports of a run the page no longer follows are dropped (freed).
  if (report.run != main_reporter_.Run()) return;
  switch (report.kind) {
    case FindReport::Kind::kBatch: AddRecords(report.batch); return;
    case FindReport::Kind::kFinished: FinishRun(report.canceled); return;
    default: return;
  }
}

void CFindPage::AddRecords(FileResultBatch& batch) {
  FileResultBatch by_kind[3];
  for (auto& record : batch) {
    if (!record) continue;
    all_records_.push_back(record.get());
    const int tab = record->kind == ResultKind::kSkipped ? 1
                    : record->kind == ResultKind::kError ? 2
                                                         : 0;
    by_kind[tab].push_back(std::move(record));
  }
  batch.clear();
  for (int tab = 0; tab < 3; ++tab) {
    if (!by_kind[tab].empty()) List(tab).AddBatch(by_kind[tab]);
  }
  if (split_.BatchArrived(!params_.text.empty(), ShownTab() == 0)) Layout();
}

void CFindPage::FinishRun(bool canceled) {
  for (int tab = 0; tab < 3; ++tab) List(tab).FlushRows();
  const FinishOutcome outcome =
      run_.Finished(canceled, found_.RecordCount(), static_cast<std::size_t>(found_.RowCount()),
                    Now(), IsWindowVisible(Handle()) != FALSE);
  if (!outcome.accepted) return;
  KillTimer(Handle(), kClockTimer);
  SetCriteriaRunning(false);
  UpdateActionState();
  UpdateTabCaptions();
  PushStatus(outcome.changed);
  host_.RefreshTabIcons();
  if (outcome.show_balloon) host_.ShowBalloon(Wide(outcome.balloon_text));
}

void CFindPage::OnFoundItemChanged(const NMLISTVIEW& change) {
  // Select All selects every row at once: no preview for that.
  if (select_all_ || ShownTab() != 0 || change.iItem < 0) return;
  if (!(change.uChanged & LVIF_STATE) || !(change.uNewState & LVIS_SELECTED)) return;
  // Only the step into the selection: a selected row that gains the focus
  // keeps the preview it has.
  if (change.uOldState & LVIS_SELECTED) return;
  const auto row = static_cast<std::size_t>(change.iItem);
  if (row >= found_.Table().RowCount()) return;
  preview_view_.Request(found_.Table().RowRecord(row), params_);
}

void CFindPage::TakeDroppedPath(const std::u16string& path) {
  if (run_.Running() || path.empty()) return;
  HWND field = general_.GetDlgItem(IDC_PATH);
  SetWindowTextW(field, Wide(path).c_str());
  general_.UpdateDependencies();
  UpdateActionState();
  SetForegroundWindow(host_.MainWindow());
  general_.FocusPath();
}

void CFindPage::ClearResults() {
  all_records_.clear();
  for (int tab = 0; tab < 3; ++tab) List(tab).Clear();
  preview_view_.Clear();
  UpdateTabCaptions();
  PushStatus(run_.ClearTexts());
  host_.RefreshTabIcons();
}

void CFindPage::ClearCriteria() {
  general_.ClearGeneral();
  advanced_.ClearAdvanced();
  general_.UpdateDependencies();
  general_.FocusPath();
  // Cleared criteria never replace: the idle mode is Find. A run going on
  // keeps its Cancel button.
  UpdateActionState();
}

void CFindPage::UpdateTabCaptions() {
  const UINT names[3] = {IDS_TAB_FOUND, IDS_TAB_SKIPPED, IDS_TAB_ERRORS};
  for (int tab = 0; tab < 3; ++tab) {
    std::wstring text =
        Wide(ResultTabCaption(static_cast<int>(names[tab]), List(tab).RecordCount()));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    results_tab_.Send(TCM_SETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
  }
}

void CFindPage::PushStatus(StatusChange changed) {
  if (changed == kNoStatusChange || !host_.IsCurrentPage(*this)) return;
  const auto& texts = run_.StatusTexts();
  for (int part = 0; part < 3; ++part) {
    if (changed & (StatusChange{1} << part)) {
      host_.SetStatusText(part, Wide(texts[static_cast<std::size_t>(part)]));
    }
  }
}

// ---- The read-only question (worker thread) ----

ReadOnlyAnswer CFindPage::Ask(const std::u16string& path) {
  HWND owner = window_.load();
  return AskThroughGate(gate_, path, [&](const std::u16string& text) {
    QuestionWatch watch;
    watch.gate = &gate_;
    t_question = &watch;
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchQuestionBox, nullptr, GetCurrentThreadId());
    ButtonMessageBoxParams params;
    params.custom_buttons = LoadUiString(IDS_READ_ONLY_BUTTONS);
    const int code = ButtonMessageBox(owner, Wide(text), LoadUiString(IDS_READ_ONLY_CAPTION),
                                      MB_ICONQUESTION, &params);
    if (hook) UnhookWindowsHookEx(hook);
    t_question = nullptr;
    return code;
  });
}

}  // namespace ui
