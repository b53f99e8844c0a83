// GUI test of the options dialog under Wine: the real dialog over the real
// registry of the test's Wine prefix and a settings file in a temporary
// folder, driven from a second thread as a user would (boxes checked, fields
// typed, buttons pressed, questions answered), checked afterwards in
// settings.xml and the registry; and a screenshot of each page.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/edit_extension_handlers_dialog.h"
#include "app/logic/options_model.h"
#include "app/options_dialog.h"
#include "app/win_registry.h"
#include "screenshot.h"
#include "storage/app_settings.h"

namespace app {
namespace {

constexpr DWORD kWaitLimitMs = 60000;
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kVerbKey[] = L"Software\\Classes\\Folder\\shell\\Search with Varnel...";
constexpr wchar_t kVerbCommandKey[] =
    L"Software\\Classes\\Folder\\shell\\Search with Varnel...\\command";

// Polls (bounded) until `done` holds; the dialog runs on the other thread.
bool WaitFor(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > kWaitLimitMs) return false;
    Sleep(10);  // another thread's windows; bounded above
  }
  return true;
}

HWND WaitDialog(const wchar_t* caption) {
  HWND found = nullptr;
  WaitFor([&] {
    found = FindWindowW(L"#32770", caption);
    return found && IsWindowVisible(found);
  });
  return found;
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

// The message of a message box: its non-empty static text.
std::wstring BoxMessage(HWND box) {
  std::wstring message;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(c, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0 && !TextOf(c).empty()) message = TextOf(c);
  }
  return message;
}

// Presses a button without waiting for what it opens.
void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Waits for the box captioned `caption`, returns its message and answers it.
std::wstring Answer(const wchar_t* caption, int answer) {
  HWND box = WaitDialog(caption);
  if (!box) return L"(no box)";
  const std::wstring message = BoxMessage(box);
  PostMessageW(box, WM_COMMAND, answer, 0);
  WaitFor([&] { return !IsWindow(box); });
  return message;
}

void Type(HWND dialog, int id, const wchar_t* text) {
  // A single-line edit tells its dialog EN_CHANGE, as for typing.
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// A screenshot for people to look at, once the window has painted what the
// test did to it.
void Shoot(HWND window, const wchar_t* name) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  SendMessageW(window, WM_NULL, 0, 0);
  ScreenshotInfo info;
  EXPECT_TRUE(SaveWindowScreenshot(window, name, &info));
  EXPECT_GT(info.distinct_colors, 8) << "the capture looks blank";
}

bool Checked(HWND dialog, int id) {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// The page of the options dialog that holds the control `id` only it has.
HWND PageWith(HWND options, int id) {
  for (HWND c = GetWindow(options, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (GetDlgItem(c, id)) return c;
  }
  return nullptr;
}

void ShowTab(HWND options, int index) {
  HWND tabs = GetDlgItem(options, IDC_OPTIONS_TABS);
  SendMessageW(tabs, TCM_SETCURSEL, index, 0);
  NMHDR header{tabs, IDC_OPTIONS_TABS, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(options, WM_NOTIFY, IDC_OPTIONS_TABS, reinterpret_cast<LPARAM>(&header));
}

std::vector<std::wstring> ListRows(HWND list) {
  std::vector<std::wstring> rows;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
    rows.push_back(text);
  }
  return rows;
}

void SelectRow(HWND list, const std::wstring& extension) {
  const std::vector<std::wstring> rows = ListRows(list);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    if (rows[i] != extension) continue;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
  }
}

bool RegistryString(const wchar_t* key, const wchar_t* name, std::wstring& value) {
  wchar_t data[1024] = {};
  DWORD bytes = sizeof(data);
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, data, &bytes) !=
      ERROR_SUCCESS) {
    return false;
  }
  value = data;
  return true;
}

std::wstring ExePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

class OptionsGui : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"varnel_options_test\\";
    DeleteFileW((folder_ + L"Varnel\\settings.xml").c_str());
    ASSERT_TRUE(InitDataFolderIn(settings_, std::u16string(folder_.begin(), folder_.end())));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Varnel");
    RegDeleteTreeW(HKEY_CURRENT_USER, kVerbKey);
  }
  void TearDown() override {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Varnel");
    RegDeleteTreeW(HKEY_CURRENT_USER, kVerbKey);
  }

  // Runs the dialog on this thread while `drive` works it from another;
  // returns what the dialog returned.
  bool RunDialog(const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
      HWND options = WaitDialog(L"Options");
      if (options) drive(options);
    });
    const bool ok = ShowOptionsDialog(nullptr, settings_, shell_, registry_);
    driver.join();
    return ok;
  }

  std::wstring folder_;
  AppSettings settings_;
  ShellIntegrationState shell_;
  CWinRegistry registry_;
};

TEST_F(OptionsGui, OkWritesEveryPageAndTheHooks) {
  settings_.handler_table = {{u"*", HandlerKind::kPlainText}, {u"doc", HandlerKind::kIFilter}};
  settings_.skip_extensions = {u"exe"};
  std::wstring duplicate, skip_duplicate;
  bool star_deletable = true, list_enabled_unchecked = true, list_enabled_checked = false;
  std::vector<std::wstring> rows;
  const bool ok = RunDialog([&](HWND options) {
    const HWND general = PageWith(options, IDC_OPT_AUTORUN);
    const HWND display = PageWith(options, IDC_OPT_RESET_HISTORY);
    const HWND formats = PageWith(options, IDC_OPT_EDIT);
    const HWND skip = PageWith(options, IDC_OPT_NULL_AS_BINARY);
    Click(general, IDC_OPT_AUTORUN);
    Click(general, IDC_OPT_DONT_SAVE_UNNAMED);
    Click(general, IDC_OPT_CONTEXT_VERB);
    Shoot(options, L"options_general.png");

    ShowTab(options, 1);
    Type(display, IDC_OPT_MAX_MATCHES, L"250");
    Type(display, IDC_OPT_PREVIEW_LIMIT, L"");  // keeps its value
    Shoot(options, L"options_display.png");

    ShowTab(options, 2);
    Press(formats, IDC_OPT_ADD);
    HWND handler = WaitDialog(L"Edit extension handler");
    Type(handler, IDC_EXT_EDIT, L"DOC");
    Press(handler, IDOK);
    duplicate = Answer(L"Warning", IDOK);
    Press(formats, IDC_OPT_ADD);
    handler = WaitDialog(L"Edit extension handler");
    Type(handler, IDC_EXT_EDIT, L"Xyz");
    Click(handler, IDC_EXT_PLAIN_TEXT);
    Press(handler, IDOK);
    WaitFor([&] { return !IsWindow(handler); });
    SelectRow(GetDlgItem(formats, IDC_OPT_LIST), L"*");
    star_deletable = Enabled(formats, IDC_OPT_DELETE);
    rows = ListRows(GetDlgItem(formats, IDC_OPT_LIST));
    Shoot(options, L"options_formats.png");

    ShowTab(options, 3);
    Click(skip, IDC_OPT_IGNORE_FILES);
    list_enabled_unchecked = Enabled(skip, IDC_OPT_LIST) || Enabled(skip, IDC_OPT_ADD) ||
                             Enabled(skip, IDC_OPT_RESET) || Enabled(skip, IDC_OPT_DELETE);
    Click(skip, IDC_OPT_IGNORE_FILES);
    list_enabled_checked = Enabled(skip, IDC_OPT_LIST) && Enabled(skip, IDC_OPT_ADD);
    Press(skip, IDC_OPT_ADD);
    HWND add = WaitDialog(L"Add file extension");
    Type(add, IDC_EXT_EDIT, L"TMP");
    Press(add, IDOK);
    WaitFor([&] { return !IsWindow(add); });
    Press(skip, IDC_OPT_ADD);
    add = WaitDialog(L"Add file extension");
    Type(add, IDC_EXT_EDIT, L"Exe");
    Press(add, IDOK);
    skip_duplicate = Answer(L"Warning", IDOK);
    Click(skip, IDC_OPT_NULL_AS_BINARY);
    Shoot(options, L"options_skip.png");
    Press(options, IDOK);
  });
  ASSERT_TRUE(ok);
  EXPECT_EQ(duplicate, L"This extension is already in the list");
  EXPECT_EQ(skip_duplicate, L"This extension is already in the list");
  EXPECT_FALSE(star_deletable);
  EXPECT_FALSE(list_enabled_unchecked);
  EXPECT_TRUE(list_enabled_checked);
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"doc", L"xyz", L"*"}));

  // settings.xml as the next start reads it.
  AppSettings saved;
  saved.data_folder = settings_.data_folder;
  ASSERT_TRUE(LoadSettings(saved));
  EXPECT_TRUE(saved.dont_save_unnamed_tabs);
  EXPECT_EQ(saved.max_number_matches, 250);
  EXPECT_EQ(saved.limit_file_preview, 5);
  EXPECT_EQ(saved.handler_table, (ExtensionHandlerTable{{u"*", HandlerKind::kPlainText},
                                                        {u"doc", HandlerKind::kIFilter},
                                                        {u"xyz", HandlerKind::kPlainText}}));
  EXPECT_EQ(saved.skip_extensions, (std::vector<std::u16string>{u"exe", u"tmp"}));
  EXPECT_TRUE(saved.ignore_files);
  EXPECT_FALSE(saved.treat_null_as_binary);

  // The hooks in the registry, and read back as at the next start.
  const std::wstring exe = ExePath();
  std::wstring value;
  ASSERT_TRUE(RegistryString(kRunKey, L"Varnel", value));
  EXPECT_EQ(value, L"\"" + exe + L"\" -autorun");
  ASSERT_TRUE(RegistryString(kVerbCommandKey, nullptr, value));
  EXPECT_EQ(value, L"\"" + exe + L"\" \"%1\"");
  ShellIntegrationState next;
  EXPECT_TRUE(ReadAutorun(registry_, next));
  ReadContextVerb(registry_, next);
  EXPECT_EQ(next, shell_);
  EXPECT_TRUE(next.context_verb_installed);

  // Both boxes show the hooks; unchecked, OK removes them.
  bool autorun_shown = false, verb_shown = false;
  ASSERT_TRUE(RunDialog([&](HWND options) {
    const HWND general = PageWith(options, IDC_OPT_AUTORUN);
    autorun_shown = Checked(general, IDC_OPT_AUTORUN);
    verb_shown = Checked(general, IDC_OPT_CONTEXT_VERB);
    Click(general, IDC_OPT_AUTORUN);
    Click(general, IDC_OPT_CONTEXT_VERB);
    Press(options, IDOK);
  }));
  EXPECT_TRUE(autorun_shown);
  EXPECT_TRUE(verb_shown);
  EXPECT_FALSE(RegistryString(kRunKey, L"Varnel", value));
  EXPECT_FALSE(RegistryString(kVerbCommandKey, nullptr, value));
  ShellIntegrationState after;
  EXPECT_FALSE(ReadAutorun(registry_, after));
  ReadContextVerb(registry_, after);
  EXPECT_EQ(after, ShellIntegrationState{});
  EXPECT_EQ(shell_, ShellIntegrationState{});
}

TEST_F(OptionsGui, CancelKeepsAllButTheResets) {
  settings_.handler_table = {{u"*", HandlerKind::kPlainText}, {u"abc", HandlerKind::kIFilter}};
  settings_.skip_extensions = {u"exe", u"dll"};
  settings_.AddFindHistory(kHistoryPath, u"C:\\src");
  settings_.AddFilterHistory(u"Name", u"a");
  std::wstring history_question, reset_question;
  std::vector<std::wstring> rows_after_reset;
  const bool ok = RunDialog([&](HWND options) {
    const HWND general = PageWith(options, IDC_OPT_AUTORUN);
    const HWND display = PageWith(options, IDC_OPT_RESET_HISTORY);
    const HWND formats = PageWith(options, IDC_OPT_EDIT);
    const HWND skip = PageWith(options, IDC_OPT_NULL_AS_BINARY);
    Click(general, IDC_OPT_AUTORUN);
    Type(display, IDC_OPT_MAX_MATCHES, L"7");
    Press(display, IDC_OPT_RESET_HISTORY);
    history_question = Answer(L"Varnel", IDYES);
    ShowTab(options, 2);
    Press(formats, IDC_OPT_RESET);
    reset_question = Answer(L"Confirmation", IDYES);
    rows_after_reset = ListRows(GetDlgItem(formats, IDC_OPT_LIST));
    ShowTab(options, 3);
    SendMessageW(GetDlgItem(skip, IDC_OPT_LIST), LB_SETCURSEL, 0, 0);
    Press(skip, IDC_OPT_DELETE);
    WaitFor([&] { return SendMessageW(GetDlgItem(skip, IDC_OPT_LIST), LB_GETCOUNT, 0, 0) == 1; });
    Press(options, IDCANCEL);
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(history_question, L"Do you really want to reset history lists?");
  EXPECT_EQ(reset_question,
            L"Do you really want to reset file handling settings to the default values?");
  EXPECT_EQ(rows_after_reset.back(), L"*");
  EXPECT_EQ(rows_after_reset.size(), DefaultHandlerTable().size());
  // The three immediate actions stay; the rest never reached the settings.
  EXPECT_TRUE(settings_.GetFindHistory(kHistoryPath).empty());
  EXPECT_TRUE(settings_.GetFilterHistory(u"Name").empty());
  EXPECT_EQ(settings_.handler_table, DefaultHandlerTable());
  EXPECT_EQ(settings_.skip_extensions, (std::vector<std::u16string>{u"exe", u"dll"}));
  EXPECT_EQ(settings_.max_number_matches, 100);
  std::wstring value;
  EXPECT_FALSE(RegistryString(kRunKey, L"Varnel", value));
  EXPECT_EQ(GetFileAttributesW((folder_ + L"Varnel\\settings.xml").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST_F(OptionsGui, HandlerDialogOffersTheBuiltInParserForPdfOnly) {
  struct Seen {
    bool built_in_pdf = false, built_in_pd = true, checked_pd = true, ok_pd = true;
    bool ok_plain = false;
  } seen;
  std::thread driver([&] {
    HWND d = WaitDialog(L"Edit extension handler");
    if (!d) return;
    Type(d, IDC_EXT_EDIT, L"PDF");
    seen.built_in_pdf = Enabled(d, IDC_EXT_BUILT_IN);
    Click(d, IDC_EXT_BUILT_IN);
    Type(d, IDC_EXT_EDIT, L"pd");
    seen.built_in_pd = Enabled(d, IDC_EXT_BUILT_IN);
    seen.checked_pd = Checked(d, IDC_EXT_BUILT_IN);
    seen.ok_pd = Enabled(d, IDOK);
    Click(d, IDC_EXT_PLAIN_TEXT);
    seen.ok_plain = Enabled(d, IDOK);
    Shoot(d, L"options_handler_dialog.png");
    Press(d, IDOK);
  });
  CEditExtensionHandlersDialog dialog(u"", HandlerKind::kIFilter, false);
  EXPECT_TRUE(dialog.Run(nullptr));
  driver.join();
  EXPECT_TRUE(seen.built_in_pdf);
  EXPECT_FALSE(seen.built_in_pd);
  EXPECT_FALSE(seen.checked_pd);
  EXPECT_FALSE(seen.ok_pd);
  EXPECT_TRUE(seen.ok_plain);
  EXPECT_EQ(dialog.Extension(), u"pd");
  EXPECT_EQ(dialog.Kind(), HandlerKind::kPlainText);

  // An existing entry keeps its extension: "*" disabled, others read-only.
  struct Case {
    const char16_t* extension;
    bool enabled;
    bool read_only;
  };
  for (const Case& c : {Case{u"*", false, true}, Case{u"doc", true, true}}) {
    bool enabled = false, read_only = false;
    std::thread closer([&] {
      HWND d = WaitDialog(L"Edit extension handler");
      if (!d) return;
      enabled = Enabled(d, IDC_EXT_EDIT);
      read_only = (GetWindowLongW(GetDlgItem(d, IDC_EXT_EDIT), GWL_STYLE) & ES_READONLY) != 0;
      Press(d, IDCANCEL);
    });
    CEditExtensionHandlersDialog existing(c.extension, HandlerKind::kIFilter, true);
    EXPECT_FALSE(existing.Run(nullptr));
    closer.join();
    EXPECT_EQ(enabled, c.enabled);
    if (c.enabled) {
      EXPECT_EQ(read_only, c.read_only);
    }
    EXPECT_EQ(existing.Extension(), c.extension);
  }
}

}  // namespace
}  // namespace app
