// GUI tests of the search page's views under Wine: the real criteria dialogs
// and result lists in a host window, driven with window messages, read back
// as a user would see them (message texts, focus, enabled states, cells,
// header arrows); and their screenshots at 96 and (in a child process) 144
// DPI.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "pump.h"
#include "screenshot.h"
#include "storage/app_settings.h"
#include "toolkit/application.h"
#include "ui/criteria_host.h"
#include "ui/files_list_control.h"
#include "ui/find_action_dialog.h"
#include "ui/find_advanced_dialog.h"
#include "ui/find_general_dialog.h"
#include "ui/history_menu.h"
#include "ui/list_pair_dialog.h"
#include "ui/logic/control_ids.h"
#include "ui/select_filter_dialog.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

constexpr DWORD kWaitLimitMs = 60000;
constexpr wchar_t kFrameClass[] = L"VarnelUiTestFrame";

using ui_test::Pump;
using ui_test::PumpUntil;

// The host window: a page stand-in with the three criteria dialogs in a row
// and the three result lists below them.
class CHostFrame : public CWindow, public ICriteriaHost {
 public:
  AppSettings settings;
  int run_actions = 0;
  int changes = 0;
  int advanced_commands = 0;
  CFindGeneralDialog general;
  CFindAdvancedDialog advanced;
  CFindActionDialog action;
  CFoundFilesListControl found;
  CSkippedFilesListControl skipped;
  CErrorFilesListControl errors;

  bool Build() {
    if (!general.Create(Handle(), this, nullptr) || !advanced.Create(Handle(), this, nullptr) ||
        !action.Create(Handle())) {
      return false;
    }
    general.Link(&advanced);
    advanced.Link(&general);
    RECT r{0, 0, 100, 100};
    for (CFilesListControl* list :
         {static_cast<CFilesListControl*>(&found), static_cast<CFilesListControl*>(&skipped),
          static_cast<CFilesListControl*>(&errors)}) {
      if (!list->Create(Handle(), r, &settings)) return false;
    }
    ShowWindow(general.Handle(), SW_SHOW);
    ShowWindow(action.Handle(), SW_SHOW);
    ShowAdvanced(true);
    return true;
  }

  // The criteria row as the page lays it out: with the advanced dialog the
  // general and advanced dialogs share the width left of the action dialog.
  void ShowAdvanced(bool show) {
    ShowWindow(advanced.Handle(), show ? SW_SHOW : SW_HIDE);
    RECT client{};
    GetClientRect(Handle(), &client);
    const int action_width = action.Width(), height = general.Height();
    if (show) {
      const int a = (client.right - action_width) / 2;
      SetWindowPos(general.Handle(), nullptr, 0, 0, a, height, SWP_NOZORDER);
      SetWindowPos(advanced.Handle(), nullptr, a + 1, 0, a, height, SWP_NOZORDER);
      action.Move(2 * a + 2, 0);
    } else {
      const int a = client.right - action_width;
      SetWindowPos(general.Handle(), nullptr, 0, 0, a, height, SWP_NOZORDER);
      action.Move(a + 1, 0);
    }
    general.UpdateArrow(show);
  }

  void ShowList(CFilesListControl& list) {
    RECT client{};
    GetClientRect(Handle(), &client);
    for (CFilesListControl* l :
         {static_cast<CFilesListControl*>(&found), static_cast<CFilesListControl*>(&skipped),
          static_cast<CFilesListControl*>(&errors)}) {
      ShowWindow(l->Handle(), l == &list ? SW_SHOW : SW_HIDE);
    }
    const int top = general.Height() + 4;
    SetWindowPos(list.Handle(), nullptr, 4, top, client.right - 8, client.bottom - top - 4,
                 SWP_NOZORDER);
    list.ApplyFilterBarSetting();
    RECT list_client{};
    GetClientRect(list.Handle(), &list_client);
    list.FitColumns(list_client.right);
  }

  void OnCriteriaChanged() override { ++changes; }
  void RunAction() override { ++run_actions; }
  HWND MainWindow() const override { return Handle(); }
  AppSettings& Settings() override { return settings; }

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == WM_COMMAND && LOWORD(wparam) == IDM_VIEW_ADVANCED) ++advanced_commands;
    return DefaultProc(msg, wparam, lparam);
  }
};

// Destroying a top-level window costs Wine seconds without a window manager:
// the tests share one frame and reset its dialogs instead.
CHostFrame* SharedFrame() {
  static CHostFrame* frame = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    auto* f = new CHostFrame;  // lives until the process ends
    const int dpi = static_cast<int>(GetDpiForSystem());
    if (!CWindow::RegisterWindowClass(kFrameClass, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE)) ||
        !f->Create(0, kFrameClass, L"Search page test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                   MulDiv(1000, dpi, 96), MulDiv(420, dpi, 96), nullptr) ||
        !f->Build()) {
      delete f;
      return static_cast<CHostFrame*>(nullptr);
    }
    return f;
  }();
  return frame;
}

class UiGui : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_NE(SharedFrame(), nullptr);
    frame_.settings.ClearHistory();
    frame_.general.SetRunning(false);
    frame_.advanced.SetRunning(false);
    frame_.general.ClearGeneral();
    frame_.advanced.ClearAdvanced();
    frame_.ShowAdvanced(true);
    Pump();
  }

  HWND Item(CWindow& dialog, int id) { return dialog.GetDlgItem(id); }
  void Type(CWindow& dialog, int id, const wchar_t* text) {
    SendMessageW(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    Pump();
  }
  // A click on a flat button, as the mouse gives it.
  void ClickFlat(CWindow& dialog, int id) {
    HWND button = Item(dialog, id);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    Pump();
  }
  void ClickCheck(CWindow& dialog, int id) {
    SendMessageW(Item(dialog, id), BM_CLICK, 0, 0);
    Pump();
  }
  // Enabled as the user sees it; flat buttons keep their own flag.
  bool IsOn(CWindow& dialog, int id) {
    HWND control = Item(dialog, id);
    CWindow* bound = CWindow::FromHandle(control);
    return bound ? bound->IsEnabled() : IsWindowEnabled(control) != FALSE;
  }

  CHostFrame& frame_ = *SharedFrame();
};

// ---- Message boxes ----

struct SeenBox {
  std::wstring text;
  bool found = false;
};

// Runs `action` (which shows a box captioned `caption` on this thread) while
// another thread finds the box, reads its message and presses OK.
SeenBox RunAndAnswer(const wchar_t* caption, const std::function<void()>& action) {
  SeenBox seen;
  std::atomic<bool> stop{false};
  std::thread answerer([&] {
    const DWORD start = GetTickCount();
    while (!stop && GetTickCount() - start < kWaitLimitMs) {
      HWND box = FindWindowW(L"#32770", caption);
      if (box && IsWindowVisible(box)) {
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
          wchar_t cls[32] = {};
          GetClassNameW(c, cls, 32);
          const std::wstring text = WindowText(c);
          if (lstrcmpiW(cls, L"Static") == 0 && !text.empty()) seen.text = text;
        }
        seen.found = true;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);  // polling for a window of another thread; bounded above
    }
  });
  action();
  stop = true;
  answerer.join();
  return seen;
}

struct RefusalCase {
  const char* name;
  std::function<void(UiGui&, CHostFrame&)> enter;
  bool advanced;  // refused by the advanced dialog
  int focus_id;
  const wchar_t* message;
};

TEST_F(UiGui, RefusalsShowTheirMessageAndFocusTheControl) {
  const RefusalCase cases[] = {
      {"missing folder",
       [](UiGui& t, CHostFrame& f) { t.Type(f.general, IDC_PATH, L"C:\\no\\such\\folder"); }, false,
       IDC_PATH, L"Path \"C:\\no\\such\\folder\" does not exist"},
      {"hex with a blank",
       [](UiGui& t, CHostFrame& f) {
         t.Type(f.general, IDC_TEXT, L"41 42");
         t.ClickFlat(f.general, IDC_HEX);
       },
       false, IDC_TEXT, L"Text must be in hex format"},
      {"size with an empty maximum",
       [](UiGui& t, CHostFrame& f) {
         t.ClickCheck(f.advanced, IDC_SIZE_CHECK);
         t.Type(f.advanced, IDC_SIZE_MIN, L"1");
       },
       true, IDC_SIZE_MAX, L"Incorrect size interval"},
      {"dates reversed",
       [](UiGui& t, CHostFrame& f) {
         t.ClickCheck(f.advanced, IDC_DATE_CHECK);
         SYSTEMTIME later{}, earlier{};
         later.wYear = earlier.wYear = 2024;
         later.wMonth = earlier.wMonth = 5;
         later.wDay = 2;
         earlier.wDay = 1;
         SendMessageW(t.Item(f.advanced, IDC_DATE_FROM), DTM_SETSYSTEMTIME, GDT_VALID,
                      reinterpret_cast<LPARAM>(&later));
         SendMessageW(t.Item(f.advanced, IDC_DATE_TO), DTM_SETSYSTEMTIME, GDT_VALID,
                      reinterpret_cast<LPARAM>(&earlier));
       },
       true, IDC_DATE_FROM, L"Incorrect date interval"},
  };
  for (const RefusalCase& c : cases) {
    SetUp();
    c.enter(*this, frame_);
    FileFindParamsIn record;
    bool ok = true;
    const SeenBox box = RunAndAnswer(L"Varnel", [&] {
      ok = c.advanced ? frame_.advanced.CollectAdvanced(record, false)
                      : frame_.general.CollectGeneral(record, false);
    });
    EXPECT_FALSE(ok) << c.name;
    EXPECT_TRUE(box.found) << c.name;
    EXPECT_EQ(box.text, c.message) << c.name;
    EXPECT_EQ(GetFocus(), Item(c.advanced ? static_cast<CWindow&>(frame_.advanced)
                                          : static_cast<CWindow&>(frame_.general),
                               c.focus_id))
        << c.name;
  }
}

TEST_F(UiGui, ValuesTypedReachTheRecordAndTheTrimmedPathGoesBack) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring typed = std::wstring(L"  ") + folder + L"\t";
  Type(frame_.general, IDC_PATH, typed.c_str());
  Type(frame_.general, IDC_TEXT, L"old");
  ClickCheck(frame_.advanced, IDC_REPLACE_CHECK);
  const std::wstring replacement(250, L'r');  // longer than the old 200-character cut
  Type(frame_.advanced, IDC_REPLACE_TEXT, replacement.c_str());
  ClickCheck(frame_.advanced, IDC_SIZE_CHECK);
  Type(frame_.advanced, IDC_SIZE_MIN, L"2");
  Type(frame_.advanced, IDC_SIZE_MAX, L"3");
  SendMessageW(Item(frame_.advanced, IDC_SIZE_UNIT), CB_SETCURSEL, kUnitMb, 0);
  FileFindParamsIn r;
  ASSERT_TRUE(frame_.general.CollectGeneral(r, false));
  ASSERT_TRUE(frame_.advanced.CollectAdvanced(r, false));
  EXPECT_EQ(WindowText(Item(frame_.general, IDC_PATH)), folder);
  EXPECT_EQ(r.text, u"old");
  EXPECT_EQ(r.replace_text.size(), 250u);
  EXPECT_TRUE(r.replace);
  EXPECT_EQ(r.size_min, 2097152u);
  EXPECT_EQ(r.size_max, 3145728u);
  EXPECT_TRUE(r.include_subfolders);  // on after Clear, usable once a path is typed
}

// ---- Enabling rules ----

TEST_F(UiGui, TogglesEnableAndDisableTheirDependents) {
  struct Step {
    const char* name;
    std::function<void(UiGui&, CHostFrame&)> act;
    std::vector<int> general_on, general_off, advanced_on, advanced_off;
  };
  const Step steps[] = {
      {"cleared",
       [](UiGui&, CHostFrame&) {},
       {IDC_PATH, IDC_TEXT},
       {IDC_SUBFOLDERS, IDC_CASE, IDC_HIDDEN},
       {IDC_SIZE_CHECK},
       {IDC_REPLACE_CHECK, IDC_REPLACE_TEXT, IDC_BACKUP, IDC_SIZE_MIN}},
      {"text typed",
       [](UiGui& t, CHostFrame& f) {
         t.Type(f.general, IDC_PATH, L"C:\\");
         t.Type(f.general, IDC_FILE_NAMES, L"*.txt");
         t.Type(f.general, IDC_TEXT, L"x");
       },
       {IDC_SUBFOLDERS, IDC_CASE, IDC_WHOLE_WORDS, IDC_REGEXP, IDC_HEX, IDC_FOLDERS},
       {},
       {IDC_REPLACE_CHECK},
       {IDC_REPLACE_TEXT}},
      {"regular expression on",
       [](UiGui& t, CHostFrame& f) { t.ClickFlat(f.general, IDC_REGEXP); },
       {IDC_CASE, IDC_REGEXP},
       {IDC_WHOLE_WORDS, IDC_HEX},
       {},
       {}},
      {"regular expression off, hex on",
       [](UiGui& t, CHostFrame& f) {
         t.ClickFlat(f.general, IDC_REGEXP);
         t.ClickFlat(f.general, IDC_HEX);
       },
       {IDC_HEX},
       {IDC_CASE, IDC_REGEXP, IDC_WHOLE_WORDS},
       {},
       {}},
      {"replace checked",
       [](UiGui& t, CHostFrame& f) { t.ClickCheck(f.advanced, IDC_REPLACE_CHECK); },
       {},
       {},
       {IDC_REPLACE_TEXT, IDC_BACKUP, IDC_REPLACE_READ_ONLY},
       {}},
      {"match only folders",
       [](UiGui& t, CHostFrame& f) { t.ClickFlat(f.general, IDC_FOLDERS); },
       {IDC_FOLDERS},
       {IDC_TEXT, IDC_HEX, IDC_CASE},
       {},
       {IDC_REPLACE_CHECK, IDC_REPLACE_TEXT, IDC_BACKUP}},
      {"running",
       [](UiGui&, CHostFrame& f) { f.general.SetRunning(true); },
       {},
       {IDC_PATH, IDC_FILE_NAMES, IDC_SUBFOLDERS, IDC_FOLDERS},
       {},
       {IDC_SIZE_CHECK, IDC_DATE_CHECK}},
      {"run over",
       [](UiGui&, CHostFrame& f) { f.general.SetRunning(false); },
       {IDC_PATH, IDC_FOLDERS},
       {IDC_TEXT},
       {IDC_SIZE_CHECK},
       {}},
  };
  for (const Step& s : steps) {
    s.act(*this, frame_);
    for (int id : s.general_on) EXPECT_TRUE(IsOn(frame_.general, id)) << s.name << ": " << id;
    for (int id : s.general_off) EXPECT_FALSE(IsOn(frame_.general, id)) << s.name << ": " << id;
    for (int id : s.advanced_on) EXPECT_TRUE(IsOn(frame_.advanced, id)) << s.name << ": " << id;
    for (int id : s.advanced_off) EXPECT_FALSE(IsOn(frame_.advanced, id)) << s.name << ": " << id;
  }
}

TEST_F(UiGui, ArrowButtonPostsViewAdvancedAndMarksHiddenCriteria) {
  frame_.ShowAdvanced(false);
  HWND arrow = Item(frame_.general, IDC_ADVANCED_ARROW);
  EXPECT_TRUE(IsWindowVisible(arrow));
  const int before = frame_.advanced_commands;
  ClickFlat(frame_.general, IDC_ADVANCED_ARROW);
  EXPECT_TRUE(PumpUntil([&] { return frame_.advanced_commands == before + 1; }));
  frame_.ShowAdvanced(true);
  EXPECT_FALSE(IsWindowVisible(arrow));
  // Enter in a criteria edit runs the action.
  MSG enter{Item(frame_.general, IDC_TEXT), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(frame_.general.PreTranslateMessage(&enter));
  EXPECT_EQ(frame_.run_actions, 1);
}

TEST_F(UiGui, ActionModesShowOneButtonWithItsCaption) {
  struct Case {
    int mode;
    int shown_id;
    const wchar_t* caption;
  } cases[] = {{kActionReplace, IDC_REPLACE, L"Replace"},
               {kActionCancelReplace, IDC_REPLACE, L"Cancel"},
               {kActionFind, IDC_FIND, L"Find"},
               {kActionCancelFind, IDC_FIND, L"Cancel"}};
  for (const Case& c : cases) {
    frame_.action.SetActionMode(c.mode);
    const int hidden_id = c.shown_id == IDC_FIND ? IDC_REPLACE : IDC_FIND;
    EXPECT_TRUE(IsWindowVisible(Item(frame_.action, c.shown_id))) << c.mode;
    EXPECT_FALSE(IsWindowVisible(Item(frame_.action, hidden_id))) << c.mode;
    EXPECT_EQ(WindowText(Item(frame_.action, c.shown_id)), c.caption) << c.mode;
  }
  frame_.action.SetActionMode(kActionFind);
}

TEST_F(UiGui, HistoryMenuShowsLongEntriesCut) {
  const std::u16string seventy(70, u'a');
  HMENU menu = BuildHistoryMenu({seventy, seventy + u"b"});
  wchar_t text[128] = {};
  GetMenuStringW(menu, 1, text, 128, MF_BYCOMMAND);
  EXPECT_EQ(std::wstring(text), std::wstring(70, L'a'));
  GetMenuStringW(menu, 2, text, 128, MF_BYCOMMAND);
  EXPECT_EQ(std::wstring(text), std::wstring(70, L'a') + L"...");
  DestroyMenu(menu);
}

std::wstring ShotName(const wchar_t* name) {
  wchar_t suffix[16] = {};
  GetEnvironmentVariableW(L"VARNEL_UI_SHOT_SUFFIX", suffix, 16);
  return std::wstring(L"ui_") + name + suffix + L".png";
}

TEST_F(UiGui, HistoryButtonOffersTheFieldsHistoryNewestFirst) {
  frame_.settings.AddFindHistory(kHistoryText, u"older");
  frame_.settings.AddFindHistory(kHistoryText, u"newer");
  std::atomic<bool> stop{false};
  bool menu_seen = false;
  // The menu runs modally on this thread; another one finds it and answers
  // with the keys a user would press: down twice, Enter.
  std::thread answerer([&] {
    const DWORD start = GetTickCount();
    while (!stop && GetTickCount() - start < kWaitLimitMs) {
      HWND menu = FindWindowW(L"#32768", nullptr);
      if (menu && IsWindowVisible(menu)) {
        menu_seen = true;
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(menu, WM_KEYDOWN, key, 0);
        return;
      }
      Sleep(10);  // polling for a window of another thread; bounded above
    }
  });
  SendMessageW(frame_.general.Handle(), WM_COMMAND, IDM_HISTORY_TEXT, 0);
  stop = true;
  answerer.join();
  EXPECT_TRUE(menu_seen);
  EXPECT_EQ(WindowText(Item(frame_.general, IDC_TEXT)), L"older");
}

TEST_F(UiGui, FolderListDialogShowsItemsPerLineAndJoinsThem) {
  CSelectFoldersDialog dialog(u"C:\\a;-C:\\a\\tmp");
  std::wstring include, exclude;
  std::thread answerer([&] {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kWaitLimitMs) {
      HWND box = FindWindowW(L"#32770", L"Browse for multiple folders");
      if (box && IsWindowVisible(box)) {
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        (void)SaveWindowScreenshot(box, ShotName(L"folder_list_dialog"), nullptr);
        include = WindowText(GetDlgItem(box, IDC_LIST_INCLUDE));
        exclude = WindowText(GetDlgItem(box, IDC_LIST_EXCLUDE));
        SendMessageW(GetDlgItem(box, IDC_LIST_EXCLUDE), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(L"C:\\a\\tmp\r\n\r\nC:\\a\\old\r\n"));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);  // polling for a window of another thread; bounded above
    }
  });
  const INT_PTR result = dialog.Run(frame_.Handle());
  answerer.join();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(include, L"C:\\a\r\n");
  EXPECT_EQ(exclude, L"C:\\a\\tmp\r\n");
  EXPECT_EQ(Wide(dialog.Field()), L"C:\\a;-C:\\a\\tmp;-C:\\a\\old");
}

TEST_F(UiGui, FilterDialogOffersColumnsWithTheirHistories) {
  frame_.settings.ClearHistory();
  frame_.settings.AddFilterHistory(u"Size", u"Mb");
  frame_.settings.AddFilterHistory(u"Type", u"txt");
  frame_.settings.AddFilterHistory(u"Type", u"log");
  struct Seen {
    std::vector<std::wstring> columns;
    std::wstring chosen_column, value, history_after_switch;
  } seen;
  CSelectFilterDialog dialog(u"doc", kColumnType, false, frame_.settings);
  std::thread answerer([&] {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kWaitLimitMs) {
      HWND box = FindWindowW(L"#32770", L"Select Filter");
      if (box && IsWindowVisible(box)) {
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        (void)SaveWindowScreenshot(box, ShotName(L"filter_dialog"), nullptr);
        HWND combo = GetDlgItem(box, IDC_FILTER_COLUMN);
        const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
          wchar_t text[64] = {};
          SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
          seen.columns.push_back(text);
        }
        seen.chosen_column = WindowText(combo);
        // The newest history entry of Type, chosen as the user clicks it.
        HWND list = GetDlgItem(box, IDC_FILTER_HISTORY);
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_FILTER_HISTORY, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        seen.value = WindowText(GetDlgItem(box, IDC_FILTER_VALUE));
        // Another column shows its own history.
        SendMessageW(combo, CB_SETCURSEL, 2, 0);  // Size
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_FILTER_COLUMN, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        wchar_t entry[64] = {};
        SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(entry));
        seen.history_after_switch = entry;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);  // polling for a window of another thread; bounded above
    }
  });
  const INT_PTR result = dialog.Run(frame_.Handle());
  answerer.join();
  EXPECT_EQ(result, IDOK);
  // Replaces is offered only by a list that has the column.
  EXPECT_EQ(seen.columns,
            (std::vector<std::wstring>{L"File name", L"Folder", L"Size", L"Modified", L"Type"}));
  EXPECT_EQ(seen.chosen_column, L"Type");
  EXPECT_EQ(seen.value, L"log");
  EXPECT_EQ(seen.history_after_switch, L"Mb");
  EXPECT_EQ(dialog.Kind(), kColumnSize);
  EXPECT_EQ(Wide(dialog.Text()), L"log");
}

// ---- Result lists ----

std::unique_ptr<FileResult> Result(const wchar_t* name, std::uint64_t size, bool folder = false,
                                   std::int32_t replaces = 0) {
  auto r = std::make_unique<FileResult>();
  r->file_name = Utf16(name);
  r->folder = u"C:\\work\\project";
  r->is_folder = folder;
  r->size = folder ? kFolderSize : size;
  r->type = ExtensionOf(r->file_name);
  r->replaces = replaces;
  r->date_modified = 133500000000000000ULL;  // 2024-01-21
  return r;
}

std::wstring Cell(CFilesListControl& list, int row, int column) {
  wchar_t text[260] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 260;
  SendMessageW(list.Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  return text;
}

std::vector<std::wstring> Column(CFilesListControl& list, int column) {
  std::vector<std::wstring> cells;
  const int rows = static_cast<int>(SendMessageW(list.Handle(), LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) cells.push_back(Cell(list, row, column));
  return cells;
}

std::vector<std::wstring> Captions(CFilesListControl& list) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list.Handle(), LVM_GETHEADER, 0, 0));
  std::vector<std::wstring> captions;
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[64] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    captions.push_back(text);
  }
  return captions;
}

// Which header items show an arrow: "^" up, "v" down, "-" none.
std::wstring Arrows(CFilesListControl& list) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list.Handle(), LVM_GETHEADER, 0, 0));
  std::wstring arrows;
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    arrows += (item.fmt & HDF_SORTUP) ? L'^' : (item.fmt & HDF_SORTDOWN) ? L'v' : L'-';
  }
  return arrows;
}

// A click on a header item's caption, as the mouse gives it.
void ClickHeader(CFilesListControl& list, int index) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list.Handle(), LVM_GETHEADER, 0, 0));
  RECT r{};
  SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, r.top + (r.bottom - r.top) / 5);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(header, WM_LBUTTONUP, 0, at);
  Pump();
}

void FillFound(CHostFrame& f) {
  FileResultBatch batch;
  batch.push_back(Result(L"notes.txt", 1536, false, 3));
  batch.push_back(Result(L"src", 0, true));
  batch.push_back(Result(L"Build.LOG", 1073741824, false, -1));
  batch.push_back(Result(L"app.exe", 1023, false, 1));
  f.found.Clear();
  f.found.AddBatch(batch);
  Pump();
}

TEST_F(UiGui, FoundListShowsCellsSortsAndFilters) {
  frame_.ShowList(frame_.found);
  FillFound(frame_);
  EXPECT_EQ(Captions(frame_.found), (std::vector<std::wstring>{L"File name", L"Folder", L"Replaces",
                                                               L"Size", L"Modified", L"Type"}));
  EXPECT_EQ(Column(frame_.found, 0),
            (std::vector<std::wstring>{L"src", L"notes.txt", L"Build.LOG", L"app.exe"}));
  EXPECT_EQ(Column(frame_.found, 2), (std::vector<std::wstring>{L"", L"3", L"Failed", L"1"}));
  EXPECT_EQ(Column(frame_.found, 3),
            (std::vector<std::wstring>{L"", L"1.50 Kb", L"1.00 Gb", L"1023 B"}));
  EXPECT_EQ(Column(frame_.found, 5), (std::vector<std::wstring>{L"<DIR>", L"txt", L"log", L"exe"}));
  EXPECT_FALSE(Cell(frame_.found, 1, 4).empty());

  ClickHeader(frame_.found, 3);  // Size, ascending; the folder stays on top
  EXPECT_EQ(Column(frame_.found, 0),
            (std::vector<std::wstring>{L"src", L"app.exe", L"notes.txt", L"Build.LOG"}));
  EXPECT_EQ(Arrows(frame_.found), L"---^--");
  ClickHeader(frame_.found, 3);
  EXPECT_EQ(Column(frame_.found, 0),
            (std::vector<std::wstring>{L"src", L"Build.LOG", L"notes.txt", L"app.exe"}));
  EXPECT_EQ(Arrows(frame_.found), L"---v--");
  ClickHeader(frame_.found, 0);
  EXPECT_EQ(Column(frame_.found, 0),
            (std::vector<std::wstring>{L"src", L"app.exe", L"Build.LOG", L"notes.txt"}));
  EXPECT_EQ(Arrows(frame_.found), L"^-----");

  frame_.found.SetColumnFilter(kColumnName, u"*.TXT");
  EXPECT_EQ(Column(frame_.found, 0), (std::vector<std::wstring>{L"notes.txt"}));
  EXPECT_EQ(frame_.found.RecordCount(), 4u);
  EXPECT_EQ(frame_.settings.GetFilterHistory(u"File name"),
            (std::vector<std::u16string>{u"*.TXT"}));
  frame_.found.SetColumnFilter(kColumnName, u"");
  EXPECT_EQ(frame_.found.RowCount(), 4);
  // Some rows selected, as clicks leave them: a sort deselects them.
  LVITEMW selected{};
  selected.stateMask = selected.state = LVIS_SELECTED;
  for (WPARAM row : {1, 2}) {
    SendMessageW(frame_.found.Handle(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&selected));
  }
  EXPECT_EQ(SendMessageW(frame_.found.Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 2);
  ClickHeader(frame_.found, 0);
  EXPECT_EQ(SendMessageW(frame_.found.Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 0);

  // A find run after the replace run: the Replaces column goes.
  FileResultBatch find_run;
  find_run.push_back(Result(L"a.txt", 5));
  frame_.found.Clear();
  frame_.found.AddBatch(find_run);
  EXPECT_EQ(Captions(frame_.found).size(), 5u);

  frame_.found.OnCommand(IDM_SELECT_ALL);
  frame_.found.OnCommand(IDM_COPY_FILE_NAME);
  ASSERT_TRUE(OpenClipboard(frame_.Handle()));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(copied, L"C:\\work\\project\\a.txt\r\n");
  // Sorting gives row numbers to other records: the selection goes.
  EXPECT_EQ(SendMessageW(frame_.found.Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
  ClickHeader(frame_.found, 0);
  EXPECT_EQ(SendMessageW(frame_.found.Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(UiGui, SkippedAndErrorListsShowReasons) {
  auto skipped = Result(L"data.bin", 2048);
  skipped->kind = ResultKind::kSkipped;
  skipped->reason = kReasonNullCharacter;
  frame_.skipped.Clear();
  frame_.skipped.AddRecord(std::move(skipped));
  auto failed = Result(L"locked.doc", 10);
  failed->kind = ResultKind::kError;
  failed->reason = kReasonOpenError;
  failed->error_code = 32;
  frame_.errors.Clear();
  frame_.errors.AddRecord(std::move(failed));
  EXPECT_EQ(Captions(frame_.errors).back(), L"Reason");
  EXPECT_EQ(Cell(frame_.skipped, 0, 5), L"File contains a NULL character");
  EXPECT_EQ(Cell(frame_.errors, 0, 5), L"File open error (error=0x20)");
}

// ---- Screenshots ----

void Shoot(HWND window, const wchar_t* name) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  Pump();
  ScreenshotInfo info;
  ASSERT_TRUE(SaveWindowScreenshot(window, ShotName(name), &info));
  EXPECT_GT(info.distinct_colors, 8) << "the capture of " << name << " looks blank";
}

TEST_F(UiGui, Screenshots) {
  SetForegroundWindow(frame_.Handle());
  Type(frame_.general, IDC_PATH, L"C:\\work\\project;-C:\\work\\project\\out");
  Type(frame_.general, IDC_FILE_NAMES, L"*.txt;*.log");
  Type(frame_.general, IDC_TEXT, L"version");
  ClickFlat(frame_.general, IDC_CASE);
  ClickCheck(frame_.advanced, IDC_REPLACE_CHECK);
  Type(frame_.advanced, IDC_REPLACE_TEXT, L"release");
  ClickCheck(frame_.advanced, IDC_SIZE_CHECK);
  Type(frame_.advanced, IDC_SIZE_MAX, L"64");
  FillFound(frame_);
  frame_.ShowList(frame_.found);
  Shoot(frame_.Handle(), L"criteria_advanced_found");
  frame_.ShowAdvanced(false);
  Shoot(frame_.Handle(), L"criteria_hidden");
  frame_.ShowAdvanced(true);

  FileResultBatch skipped, errors;
  for (std::int32_t reason : {kReasonNullCharacter, kReasonSkipExtension}) {
    auto r = Result(reason == kReasonNullCharacter ? L"image.dat" : L"archive.zip", 90000);
    r->kind = ResultKind::kSkipped;
    r->reason = reason;
    skipped.push_back(std::move(r));
  }
  auto folder = Result(L"cache", 0, true);
  folder->kind = ResultKind::kSkipped;
  skipped.push_back(std::move(folder));
  frame_.skipped.Clear();
  frame_.skipped.AddBatch(skipped);
  frame_.ShowList(frame_.skipped);
  Shoot(frame_.Handle(), L"skipped");
  for (std::int32_t reason : {kReasonOpenError, kReasonReadError}) {
    auto r = Result(reason == kReasonOpenError ? L"locked.doc" : L"broken.txt", 4096);
    r->kind = ResultKind::kError;
    r->reason = reason;
    r->error_code = reason == kReasonOpenError ? 32 : 0;
    errors.push_back(std::move(r));
  }
  auto unlisted = Result(L"private", 0, true);
  unlisted->kind = ResultKind::kError;
  unlisted->reason = kReasonFolderList;
  unlisted->error_code = 5;
  errors.push_back(std::move(unlisted));
  frame_.errors.Clear();
  frame_.errors.AddBatch(errors);
  frame_.ShowList(frame_.errors);
  Shoot(frame_.Handle(), L"errors");
  frame_.ShowList(frame_.found);
}

// The same screenshots at 144 DPI: Wine reads the scale when a process
// starts, so a child process of this program takes them.
TEST_F(UiGui, ScreenshotsAt144Dpi) {
  wchar_t suffix[16] = {};
  if (GetEnvironmentVariableW(L"VARNEL_UI_SHOT_SUFFIX", suffix, 16) > 0) GTEST_SKIP();
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD old_value = 0, size = sizeof old_value, type = 0;
  const bool had_value =
      RegQueryValueExW(key, L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&old_value),
                       &size) == ERROR_SUCCESS;
  const DWORD dpi = 144;
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  SetEnvironmentVariableW(L"VARNEL_UI_SHOT_SUFFIX", L"_144");
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command =
      std::wstring(L"\"") + exe + L"\" --gtest_filter=UiGui.Screenshots --gtest_brief=1";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi);
  SetEnvironmentVariableW(L"VARNEL_UI_SHOT_SUFFIX", nullptr);
  DWORD exit_code = 1;
  if (started) {
    // The child's wait is bounded by its own tests' bounds; this one too.
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 3 * kWaitLimitMs), WAIT_OBJECT_0);
    GetExitCodeProcess(pi.hProcess, &exit_code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  if (had_value) {
    RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_value),
                   sizeof old_value);
  } else {
    RegDeleteValueW(key, L"LogPixels");
  }
  RegCloseKey(key);
  ASSERT_TRUE(started);
  EXPECT_EQ(exit_code, 0u);
}

}  // namespace
}  // namespace ui
