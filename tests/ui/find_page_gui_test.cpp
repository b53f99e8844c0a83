// GUI tests of the find page under Wine: the real page in a test frame with
// a host that records what the page tells the main window (status texts,
// tab-icon refreshes, balloons) as a transcript; runs over generated trees
// with the real engine. The rules under the page are tested natively by
// page_logic_test.cpp; these check the wiring.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "pump.h"
#include "screenshot.h"
#include "storage/app_settings.h"
#include "storage/results_file.h"
#include "test_tree.h"
#include "toolkit/logic/message_box_layout.h"
#include "ui/find_page.h"
#include "ui/shell_helper.h"
#include "ui/logic/control_ids.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

using testing_support::TempTree;

constexpr DWORD kWaitLimitMs = 60000;

using ui_test::Pump;
using ui_test::PumpUntil;

// Runs `action`, which must return within the bound. A deadlock cannot be
// failed from the blocked thread: a watchdog ends the process with a message.
void WithinBound(const char* what, const std::function<void()>& action) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread watchdog([&] {
    if (WaitForSingleObject(done, kWaitLimitMs) != WAIT_TIMEOUT) return;
    std::fprintf(stderr, "%s did not return: the user-interface thread is blocked\n", what);
    std::fflush(stderr);
    ExitProcess(3);
  });
  action();
  SetEvent(done);
  watchdog.join();
  CloseHandle(done);
}

std::string Narrow(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

// The main window's stand-in. The transcript keeps status parts 0 and 2
// (part 1 counts seconds; folder texts depend on the walk's pace).
class CHostFrame : public CWindow, public IPageHost {
 public:
  AppSettings settings;
  bool current = true;
  std::vector<std::string> transcript;

  HWND MainWindow() const override { return Handle(); }
  AppSettings& Settings() override { return settings; }
  bool AdvancedVisible() const override { return true; }
  bool IsCurrentPage(const IPage&) const override { return current; }
  void SetStatusText(int part, const std::wstring& text) override {
    if (part == 1 || text.rfind(L"Searching ", 0) == 0) return;
    transcript.push_back(std::to_string(part) + " " + Narrow(text));
  }
  void RefreshTabIcons() override { transcript.push_back("icons"); }
  void ShowBalloon(const std::wstring& text) override {
    transcript.push_back("balloon " + Narrow(text));
  }
};

// Destroying a top-level window costs Wine seconds without a window manager:
// the tests share one frame and make a page in it each.
CHostFrame* SharedFrame() {
  static CHostFrame* frame = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    auto* f = new CHostFrame;  // lives until the process ends
    static TempTree data;      // the data folder with its search_results folder
    if (!CWindow::RegisterWindowClass(L"VarnelPageTestFrame", 0, GetSysColorBrush(COLOR_BTNFACE)) ||
        !f->Create(0, L"VarnelPageTestFrame", L"Find page test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                   20, 20, 1100, 700, nullptr) ||
        !InitDataFolderIn(f->settings, data.root())) {
      delete f;
      return static_cast<CHostFrame*>(nullptr);
    }
    (void)LoadSettings(f->settings);  // no file: the defaults, handler tables included
    return f;
  }();
  return frame;
}

class FindPageGui : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_NE(SharedFrame(), nullptr);
    host_.current = true;
    MakePage(false);
  }
  void TearDown() override { page_.reset(); }

  void MakePage(bool restored, std::int32_t id = 1) {
    page_.reset();
    PageStart start;
    start.id = id;
    GetClientRect(host_.Handle(), &start.rect);
    start.restored = restored;
    std::unique_ptr<IPage> made = CreateFindPage(host_, start);
    ASSERT_NE(made, nullptr);
    page_.reset(static_cast<CFindPage*>(made.release()));
    host_.transcript.clear();
  }

  CFindPage& Page() { return *page_; }
  void Type(CWindow& dialog, int id, const std::u16string& text) {
    SetWindowTextW(dialog.GetDlgItem(id), Wide(text).c_str());
    Pump();
  }
  void ClickFlat(CWindow& dialog, int id) {
    HWND button = dialog.GetDlgItem(id);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    Pump();
  }
  void Criteria(const std::u16string& folder, const std::u16string& names,
                const std::u16string& text) {
    Type(Page().General(), IDC_PATH, folder);
    Type(Page().General(), IDC_FILE_NAMES, names);
    Type(Page().General(), IDC_TEXT, text);
    if (!Page().General().ReadForm().subfolders) ClickFlat(Page().General(), IDC_SUBFOLDERS);
  }
  void ReplaceWith(const std::u16string& text, bool backup) {
    SendMessageW(Page().Advanced().GetDlgItem(IDC_REPLACE_CHECK), BM_CLICK, 0, 0);
    Type(Page().Advanced(), IDC_REPLACE_TEXT, text);
    if (backup) ClickFlat(Page().Advanced(), IDC_BACKUP);
  }
  bool RunToEnd() {
    Page().RunAction();
    return PumpUntil([&] { return !Page().Searching(); });
  }
  std::wstring ButtonText() { return WindowText(Page().Action().ShownButton()); }

  CHostFrame& host_ = *SharedFrame();
  std::unique_ptr<CFindPage> page_;
};

// ---- Drops ----

TEST_F(FindPageGui, AFileDraggedOntoThePageGivesItsFolderToThePathField) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  MakePage(false);  // registered for drops now that OLE runs
  TempTree tree;
  tree.Write(u"sub/a.txt", "x");
  RECT r{};
  GetWindowRect(Page().Handle(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  EXPECT_EQ(CShellHelper::DragFiles({tree.root() + u"\\sub\\a.txt"}), DWORD{DROPEFFECT_COPY});
  Pump();
  EXPECT_EQ(WindowText(Page().General().GetDlgItem(IDC_PATH)), Wide(tree.root() + u"\\sub"));
  EXPECT_EQ(ButtonText(), L"Find");
  page_.reset();
  OleUninitialize();
}

// ---- Find runs ----

TEST_F(FindPageGui, FindShowsRowsCaptionsStatusAndTheBalloonOnlyWhenHidden) {
  TempTree tree;
  tree.Write(u"a.txt", "a needle");
  tree.Write(u"b.txt", "needle b");
  tree.Write(u"sub/c.txt", "the needle");
  tree.Write(u"sub/d.txt", "nothing");
  tree.Write(u"sub/e.txt", std::string("needle\0", 7));  // NUL: skipped
  struct Case {
    const char* name;
    bool visible;
    std::vector<std::string> transcript;
  };
  const Case cases[] = {
      {"visible page",
       true,
       {"0 Preparing...", "2 In progress...", "icons", "0 3 files found", "2 Finished", "icons"}},
      {"another tab current", false, {"icons", "icons", "balloon Search for files completed"}},
  };
  for (const Case& c : cases) {
    MakePage(false);
    host_.current = c.visible;
    if (!c.visible) Page().Show(false);
    Criteria(tree.root() + u"\\", u"  *.txt ", u"needle");
    EXPECT_EQ(ButtonText(), L"Find") << c.name;
    Page().RunAction();
    EXPECT_EQ(ButtonText(), L"Cancel") << c.name;
    ASSERT_TRUE(PumpUntil([&] { return !Page().Searching(); })) << c.name;
    EXPECT_EQ(host_.transcript, c.transcript) << c.name;
    EXPECT_EQ(Page().List(0).RecordCount(), 3u) << c.name;
    EXPECT_EQ(Page().ResultTabText(0), L"Found (3)") << c.name;
    EXPECT_EQ(Page().ResultTabText(1), L"Skipped (1)") << c.name;
    EXPECT_EQ(Page().ResultTabText(2), L"Errors (0)") << c.name;
    EXPECT_EQ(Page().StatusTexts()[2], u"Finished") << c.name;
    EXPECT_EQ(ButtonText(), L"Find") << c.name;
    // The field fix-ups went back to the fields.
    EXPECT_EQ(WindowText(Page().General().GetDlgItem(IDC_PATH)), Wide(tree.root())) << c.name;
    EXPECT_EQ(WindowText(Page().General().GetDlgItem(IDC_FILE_NAMES)), L"*.txt") << c.name;
    EXPECT_EQ(Page().SplitRatio(), 0.5) << c.name;  // a run with text shows the preview
    EXPECT_EQ(host_.settings.GetFindHistory(kHistoryText).front(), u"needle") << c.name;
  }
}

TEST_F(FindPageGui, ClearResultsEmptiesListsCaptionsAndStatus) {
  TempTree tree;
  tree.Write(u"a.txt", "x");
  Criteria(tree.root(), u"*.txt", u"");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Page().SplitRatio(), 1.0);  // without text the preview stays hidden
  ASSERT_EQ(Page().FoundCount(), 1u);
  host_.transcript.clear();
  SendMessageW(Page().Handle(), WM_COMMAND, MAKEWPARAM(IDC_CLEAR_RESULTS, BN_CLICKED),
               reinterpret_cast<LPARAM>(Page().Action().GetDlgItem(IDC_CLEAR_RESULTS)));
  EXPECT_EQ(Page().FoundCount(), 0u);
  EXPECT_EQ(Page().ResultTabText(0), L"Found (0)");
  EXPECT_EQ(host_.transcript, (std::vector<std::string>{"0 ", "2 ", "icons"}));
}

// ---- Replace runs and the read-only question ----

struct ReplaceTree {
  TempTree tree;
  std::u16string locked;
  ReplaceTree() {
    tree.Write(u"a.txt", "old one");
    tree.Write(u"b.txt", "old two");
    locked = tree.Write(u"sub/locked.txt", "old locked");
    SetFileAttributesW(Wide(locked).c_str(), FILE_ATTRIBUTE_READONLY);
  }
  ~ReplaceTree() { SetFileAttributesW(Wide(locked).c_str(), FILE_ATTRIBUTE_NORMAL); }
};

HWND QuestionBox() {
  HWND box = FindWindowW(L"#32770", L"Replace");
  return box && IsWindowVisible(box) ? box : nullptr;
}

std::vector<std::wstring> ChildTexts(HWND box) {
  std::vector<std::wstring> texts;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const std::wstring text = WindowText(c);
    if (!text.empty()) texts.push_back(text);
  }
  return texts;
}

TEST_F(FindPageGui, ReplaceRewritesFilesKeepsBackupsAndAsksForReadOnlyOnes) {
  struct Case {
    const char* name;
    int button;  // 0 Yes ... 3 No to All
    const char* locked_after;
  };
  for (const Case& c : {Case{"Yes", 0, "new locked"}, Case{"No to All", 3, "old locked"}}) {
    MakePage(false);
    ReplaceTree files;
    Criteria(files.tree.root(), u"*.txt", u"old");
    ReplaceWith(u"new", true);
    EXPECT_EQ(ButtonText(), L"Replace") << c.name;
    Page().RunAction();
    ASSERT_TRUE(PumpUntil([] { return QuestionBox() != nullptr; })) << c.name;
    const std::vector<std::wstring> texts = ChildTexts(QuestionBox());
    const std::wstring question =
        L"File " + Wide(files.locked) + L" is read-only. Do you want it to be replaced?";
    EXPECT_NE(std::find(texts.begin(), texts.end(), question), texts.end()) << c.name;
    for (const wchar_t* caption : {L"&Yes", L"&No", L"Yes to &All", L"N&o to All"}) {
      EXPECT_NE(std::find(texts.begin(), texts.end(), caption), texts.end()) << caption;
    }
    PostMessageW(QuestionBox(), WM_COMMAND,
                 MAKEWPARAM(toolkit::kFirstCustomButtonCode + c.button, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return !Page().Searching(); })) << c.name;
    EXPECT_EQ(Page().StatusTexts()[2], u"Finished") << c.name;
    EXPECT_EQ(files.tree.Read(u"a.txt"), "new one") << c.name;
    EXPECT_EQ(files.tree.Read(u"a.txt.bak"), "old one") << c.name;
    EXPECT_EQ(files.tree.Read(u"sub/locked.txt"), c.locked_after) << c.name;
  }
}

// A stop while the question is open must not wait for the user: the box
// closes as No to All, the run ends canceled with the rows that came before.
TEST_F(FindPageGui, StopWhileTheQuestionIsOpenCancelsAndKeepsEarlierRows) {
  struct Case {
    const char* name;
    std::function<void(CFindPage&)> stop;
  };
  const Case cases[] = {
      {"Cancel button", [](CFindPage& p) { p.RunAction(); }},
      {"tab closing", [](CFindPage& p) { p.StopSearch(); }},
  };
  for (const Case& c : cases) {
    MakePage(false);
    ReplaceTree files;
    Criteria(files.tree.root(), u"*.txt", u"old");
    ReplaceWith(u"new", false);
    Page().RunAction();
    ASSERT_TRUE(PumpUntil([] { return QuestionBox() != nullptr; })) << c.name;
    // The root's rows were handed over before the walk entered "sub".
    ASSERT_TRUE(PumpUntil([&] { return Page().FoundCount() == 2; })) << c.name;
    WithinBound(c.name, [&] { c.stop(Page()); });
    EXPECT_FALSE(QuestionBox()) << c.name;
    ASSERT_TRUE(PumpUntil([&] { return !Page().Searching(); })) << c.name;
    EXPECT_EQ(Page().StatusTexts()[2], u"Canceled") << c.name;
    EXPECT_EQ(Page().FoundCount(), 2u) << c.name;
    EXPECT_EQ(files.tree.Read(u"sub/locked.txt"), "old locked") << c.name;
    EXPECT_EQ(ButtonText(), L"Replace") << c.name;
    EXPECT_EQ(Page().QueuedReports(), 0u) << c.name;
  }
}

// ---- Keyboard ----

TEST_F(FindPageGui, TabMovesAcrossTheCriteriaDialogs) {
  struct Case {
    const char* name;
    bool advanced;
    CWindow& (*from)(CFindPage&);
    int from_id;
    bool shift;
    CWindow& (*to)(CFindPage&);
    int to_id;
  };
  auto general = [](CFindPage& p) -> CWindow& { return p.General(); };
  auto advanced = [](CFindPage& p) -> CWindow& { return p.Advanced(); };
  auto action = [](CFindPage& p) -> CWindow& { return p.Action(); };
  // With a path typed and no text, the text field is the general dialog's
  // last tab stop (its toggles are off); Clear results is the action's; the
  // arrow that hides the advanced dialog is that dialog's first.
  const Case cases[] = {
      {"general to action, advanced hidden", false, general, IDC_TEXT, false, action, IDC_FIND},
      {"general to advanced", true, general, IDC_TEXT, false, advanced, IDC_ADVANCED_ARROW},
      {"advanced back to general", true, advanced, IDC_ADVANCED_ARROW, true, general, IDC_TEXT},
      {"action back past hidden advanced", false, action, IDC_FIND, true, general, IDC_TEXT},
      {"action round to general", true, action, IDC_CLEAR_RESULTS, false, general, IDC_PATH},
  };
  TempTree tree;
  for (const Case& c : cases) {
    Page().ShowAdvanced(c.advanced);
    Type(Page().General(), IDC_PATH, tree.root());
    SetFocus(c.from(Page()).GetDlgItem(c.from_id));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = c.shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(Page().PreTranslateMessage(&msg)) << c.name;
    EXPECT_EQ(GetFocus(), c.to(Page()).GetDlgItem(c.to_id)) << c.name;
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
}

// ---- Saved results ----

TEST_F(FindPageGui, RestoredPageReadsItsResultsFileWhenFirstShown) {
  const std::int32_t id = 7;
  FileResultBatch rows;
  for (ResultKind kind : {ResultKind::kFound, ResultKind::kFound, ResultKind::kError}) {
    auto record = std::make_unique<FileResult>();
    record->file_name = u"f" + std::u16string(1, static_cast<char16_t>(u'0' + rows.size()));
    record->folder = u"C:\\data";
    record->kind = kind;
    if (kind == ResultKind::kError) record->reason = kReasonOpenError;
    rows.push_back(std::move(record));
  }
  const std::u16string& folder = host_.settings.data_folder;
  ASSERT_TRUE(::SaveResults(folder, rows, id));

  MakePage(true, id);
  EXPECT_EQ(Page().FoundCount(), 0u);
  // Never shown: the file is the only copy of the rows and stays as it is.
  EXPECT_TRUE(Page().SaveResults(folder));
  Page().Show(true);
  EXPECT_EQ(Page().FoundCount(), 2u);
  EXPECT_EQ(Page().ResultTabText(0), L"Found (2)");
  EXPECT_EQ(Page().ResultTabText(2), L"Errors (1)");
  EXPECT_EQ(host_.transcript, (std::vector<std::string>{"icons", "0 ", "2 "}));
  Page().Show(false);
  Page().Show(true);
  EXPECT_EQ(Page().FoundCount(), 2u);  // read once

  // Saved back from the lists, then read by a fresh restored page.
  ASSERT_TRUE(Page().SaveResults(folder));
  MakePage(true, id);
  Page().Show(true);
  EXPECT_EQ(Page().FoundCount(), 2u);
  EXPECT_EQ(Page().ResultTabText(2), L"Errors (1)");
}

// The page's wiring of the preview: selecting a found row previews its file
// (found again by the preview engine after a find run, from the stored list
// after a replace run); leaves page_preview_find.png and
// page_preview_replace.png for people to look at.
TEST_F(FindPageGui, SelectingAFoundRowPreviewsItsMatches) {
  TempTree tree;
  tree.Write(u"a.txt", "one needle\r\ntwo needle needle\r\n");
  const auto select_first_row = [&] {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(Page().List(0).Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(Page().List(0).Handle(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  };
  const auto shown = [&](const char16_t* part) {
    const PreviewDocument& doc = Page().Preview().Document();
    return doc.line_starts.size() == 3 && doc.text.find(part) != std::u16string::npos;
  };
  Criteria(tree.root(), u"*.txt", u"needle");
  ASSERT_TRUE(RunToEnd());
  select_first_row();
  ASSERT_TRUE(PumpUntil([&] { return shown(u"2\t"); }));
  Pump();
  EXPECT_TRUE(SaveWindowScreenshot(host_.Handle(), L"page_preview_find.png", nullptr));

  ReplaceWith(u"pin", false);
  ASSERT_TRUE(RunToEnd());
  select_first_row();
  ASSERT_TRUE(PumpUntil([&] { return shown(u"needlepin"); }));
  Pump();
  EXPECT_TRUE(SaveWindowScreenshot(host_.Handle(), L"page_preview_replace.png", nullptr));
}

}  // namespace
}  // namespace ui
