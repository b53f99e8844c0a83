// GUI test of the result lists' file operations under Wine, against the real
// OLE clipboard, drag-and-drop and shell: files copied to the clipboard are
// read back by another process; a cut is deleted (to the trash) only after a
// paste reports a copy; Delete asks and removes only the rows of deleted
// files; OpenFile runs the associated program; the context menus' items; a
// drag onto the folder drop target.
// Where Wine's shell differs from the system's, the test notes the seam.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "pump.h"
#include "toolkit/application.h"
#include "ui/files_list_control.h"
#include "ui/folder_drop_target.h"
#include "ui/logic/control_ids.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

constexpr DWORD kWaitLimitMs = 60000;
std::wstring g_exe;

using ui_test::Pump;
using ui_test::PumpUntil;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The trash folder the test runs with (a Unix path in the environment).
std::wstring Trash() {
  const wchar_t* unix_path = _wgetenv(L"VARNEL_TEST_TRASH");
  std::wstring path = L"Z:" + std::wstring(unix_path ? unix_path : L"/nonexistent");
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  return path;
}

std::wstring ReadFileText(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::wstring text(GetFileSize(file, nullptr) / 2, L'\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size() * 2), &read, nullptr);
  CloseHandle(file);
  return text;
}

void WriteFileText(const std::wstring& path, const std::wstring& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size() * 2), &written, nullptr);
  CloseHandle(file);
}

// Runs this program with `arguments` while pumping; its exit code.
DWORD RunChild(const std::wstring& arguments) {
  std::wstring line = L"\"" + g_exe + L"\" " + arguments;
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                      &child)) {
    return 0xFFFF;
  }
  PumpUntil([&] { return WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0; });
  DWORD code = 0xFFFF;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return code;
}

// The host: a found list over files of a fresh folder.
class ShellOps : public ::testing::Test {
 public:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"varnel_shell_ops_" + std::to_wstring(GetTickCount());
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
    // Destroying a top-level window costs Wine seconds: one for all tests.
    if (!frame_.Handle()) {
      ASSERT_TRUE(frame_.Create(0, L"VarnelShellOpsFrame", L"Shell operations test",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 700, 400, nullptr));
    }
    RECT r{0, 0, 680, 360};
    ASSERT_TRUE(list_.Create(frame_.Handle(), r, nullptr));
    ShowWindow(list_.Handle(), SW_SHOW);
  }
  void TearDown() override {
    list_.Destroy();
    SHFILEOPSTRUCTW remove{};
    const std::wstring from = dir_ + L'\0';
    remove.wFunc = FO_DELETE;
    remove.pFrom = from.c_str();
    remove.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationW(&remove);
  }

  // Creates the files, lists them and selects the rows `selected`.
  std::vector<std::wstring> List(const std::vector<std::wstring>& names,
                                 const std::vector<int>& selected) {
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) {
      paths.push_back(dir_ + L"\\" + name);
      WriteFileText(paths.back(), name);
      auto record = std::make_unique<FileResult>();
      record->file_name = Utf16(name);
      record->folder = Utf16(dir_);
      list_.AddRecord(std::move(record));
    }
    list_.FlushRows();
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED;
    for (int row : selected) {
      SendMessageW(list_.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&state));
    }
    return paths;
  }

  static CWindow frame_;
  std::wstring dir_;
  CFoundFilesListControl list_;
};

CWindow ShellOps::frame_;

// Another process reads the clipboard as a shell paste target would.
std::vector<std::wstring> ClipboardFilesSeenByAnotherProcess(const std::wstring& out) {
  if (RunChild(L"--read-clipboard \"" + out + L"\"") != 0) return {};
  std::vector<std::wstring> files;
  const std::wstring text = ReadFileText(out);
  for (std::size_t at = 0, end; (end = text.find(L'\n', at)) != std::wstring::npos; at = end + 1) {
    files.push_back(text.substr(at, end - at));
  }
  return files;
}

TEST_F(ShellOps, CopiedFilesArePastedByAnotherProcessAsFiles) {
  const auto paths = List({L"a.txt", L"b c.log", L"\u00e9t\u00e9.txt"}, {0, 2});
  list_.OnCommand(IDM_COPY);
  EXPECT_FALSE(list_.Shell().CutPending());
  EXPECT_EQ(ClipboardFilesSeenByAnotherProcess(dir_ + L"\\seen.bin"),
            (std::vector<std::wstring>{paths[0], paths[2]}));
}

// The paste target's report, through the clipboard as a shell paste gives
// it. Wine's clipboard object does not pass SetData on to the source's
// object (E_NOTIMPL), so there the report goes to this program's object,
// which is still the clipboard's (the seam).
HRESULT ReportPaste(DWORD effect, IDataObject* object = nullptr) {
  FORMATETC format{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_PERFORMEDDROPEFFECT)),
                   nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  auto medium = [effect] {
    STGMEDIUM m{};
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = GlobalAlloc(GMEM_MOVEABLE, sizeof effect);
    *static_cast<DWORD*>(GlobalLock(m.hGlobal)) = effect;
    GlobalUnlock(m.hGlobal);
    return m;
  };
  IDataObject* clipboard = object;
  if (clipboard) {
    clipboard->AddRef();
  } else if (FAILED(OleGetClipboard(&clipboard))) {
    return E_FAIL;
  }
  STGMEDIUM m = medium();
  HRESULT hr = clipboard->SetData(&format, &m, TRUE);
  if (FAILED(hr)) ReleaseStgMedium(&m);
  clipboard->Release();
  return hr;
}

TEST_F(ShellOps, CutFilesGoToTheTrashOnlyAfterAPasteReportsACopy) {
  for (DWORD effect : {DWORD{DROPEFFECT_NONE}, DWORD{DROPEFFECT_COPY}}) {
    SCOPED_TRACE(effect);
    list_.Clear();
    const auto paths = List({L"cut" + std::to_wstring(effect) + L".txt", L"kept.txt"}, {0});
    list_.OnCommand(IDM_CUT);
    ASSERT_TRUE(list_.Shell().CutPending());
    const HRESULT through_clipboard = ReportPaste(effect);
    if (FAILED(through_clipboard)) {
      std::printf("note: the clipboard's SetData gave 0x%lx; reported to the source object\n",
                  static_cast<unsigned long>(through_clipboard));
      EXPECT_EQ(ReportPaste(effect, list_.Shell().ClipboardObject()), S_OK);
    }
    EXPECT_EQ(Exists(paths[0]), effect == DROPEFFECT_NONE);
    EXPECT_TRUE(Exists(paths[1]));
    EXPECT_EQ(list_.RowCount(), 2);  // the rows stay
    if (effect == DROPEFFECT_COPY) {
      EXPECT_TRUE(Exists(Trash() + L"\\files\\cut1.txt"));
    }
  }
}

// Presses `button` of the confirmation the shell shows on this thread
// during `action`; whether one was seen.
HWND box_ = nullptr;
bool AnswerConfirmation(int button, const std::function<void()>& action) {
  bool seen = false;
  const DWORD thread = GetCurrentThreadId();
  std::thread answerer([&] {
    const DWORD start = GetTickCount();
    while (!seen && GetTickCount() - start < kWaitLimitMs) {
      EnumThreadWindows(
          thread,
          [](HWND window, LPARAM found) {
            wchar_t cls[16] = {};
            GetClassNameW(window, cls, 16);
            if (!IsWindowVisible(window) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&box_));
      if (box_) {
        seen = true;
        PostMessageW(box_, WM_COMMAND, static_cast<WPARAM>(button), 0);
        box_ = nullptr;
        return;
      }
      Sleep(10);  // polling for a window of another thread; bounded above
    }
  });
  action();
  answerer.join();
  return seen;
}

TEST_F(ShellOps, DeleteAsksAndRemovesOnlyTheRowsOfDeletedFiles) {
  const auto paths = List({L"x.txt", L"keep.txt", L"y.txt"}, {0, 2});
  EXPECT_TRUE(AnswerConfirmation(IDNO, [&] { list_.OnCommand(IDM_DELETE); }));
  EXPECT_TRUE(Exists(paths[0]) && Exists(paths[2]));
  EXPECT_EQ(list_.RowCount(), 3);
  EXPECT_TRUE(AnswerConfirmation(IDYES, [&] { list_.OnCommand(IDM_DELETE); }));
  EXPECT_FALSE(Exists(paths[0]) || Exists(paths[2]));
  ASSERT_EQ(list_.RowCount(), 1);
  EXPECT_EQ(list_.Table().RowRecord(0).file_name, u"keep.txt");
  EXPECT_TRUE(Exists(Trash() + L"\\files\\x.txt"));
}

// Wine's ShellExecute reads the machine's classes, not the user's.
TEST_F(ShellOps, OpenFileRunsTheAssociatedProgramElseOpenWith) {
  const std::wstring command = L"\"" + g_exe + L"\" --opened \"%1\"";
  ASSERT_EQ(
      RegSetKeyValueW(HKEY_CLASSES_ROOT, L".vnlopen", nullptr, REG_SZ, L"VarnelTest.Open", 32),
      ERROR_SUCCESS);
  ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, L"VarnelTest.Open\\shell\\open\\command", nullptr,
                            REG_SZ, command.c_str(), static_cast<DWORD>((command.size() + 1) * 2)),
            ERROR_SUCCESS);
  const auto paths = List({L"doc.vnlopen", L"doc.vnlnone"}, {});
  EXPECT_TRUE(CShellHelper::OpenFile(Utf16(paths[0])));
  EXPECT_TRUE(PumpUntil([&] { return Exists(paths[0] + L".opened"); }));
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VarnelTest.Open");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L".vnlopen");

  // No program: the shell says so, and OpenFile starts the Open With
  // dialog instead (Wine's stays invisible: its Open With is not the
  // system's, so only the start is checked).
  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(GetDesktopWindow(), nullptr, paths[1].c_str(),
                                                    nullptr, nullptr, SW_SHOWNORMAL)),
            SE_ERR_NOASSOC);
  EXPECT_TRUE(CShellHelper::OpenFile(Utf16(paths[1])));
  EXPECT_FALSE(Exists(paths[1] + L".opened"));
  EXPECT_FALSE(CShellHelper::OpenFile(u""));
}

std::vector<std::wstring> MenuTexts(HMENU menu) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    texts.push_back(text);
  }
  return texts;
}

TEST_F(ShellOps, ContextMenusForOneFileAndForSeveral) {
  const auto paths = List({L"one.txt", L"two.txt"}, {});
  CShellHelper& shell = list_.Shell();
  HMENU several = shell.BuildMenu(list_.Handle(), {Utf16(paths[0]), Utf16(paths[1])});
  ASSERT_NE(several, nullptr);
  EXPECT_EQ(MenuTexts(several),
            (std::vector<std::wstring>{L"Cu&t", L"&Copy", L"&Delete", L"", L"&Properties"}));

  HMENU one = shell.BuildMenu(list_.Handle(), {Utf16(paths[0])});
  ASSERT_NE(one, nullptr) << "no shell context menu for a file";
  const auto texts = MenuTexts(one);
  // Ours before the shell's first separator (or on top), then a separator.
  const auto at = std::find(texts.begin(), texts.end(), L"Open file location");
  ASSERT_NE(at, texts.end());
  const auto pos = static_cast<UINT>(at - texts.begin());
  EXPECT_EQ(texts[pos + 1], L"Copy file name");
  EXPECT_TRUE(GetMenuState(one, pos + 2, MF_BYPOSITION) & MF_SEPARATOR);
  for (UINT i = 0; i < pos; ++i) EXPECT_FALSE(GetMenuState(one, i, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_GT(texts.size(), 3u) << "the shell added no items";

  (void)shell.RunCommand(list_.Handle(), kCmdCopyFileName, {Utf16(paths[0])});
  ASSERT_TRUE(OpenClipboard(list_.Handle()));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(copied, paths[0]);
  shell.CloseMenu();
}

TEST_F(ShellOps, DroppedFilesAndFoldersBecomeThePathText) {
  const auto paths = List({L"f.txt"}, {});
  std::wstring sub = dir_ + L"\\sub";
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  std::u16string dropped;
  auto* target = new CFolderDropTarget([&](const std::u16string& text) { dropped = text; });
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  auto* data = new CDataObject(format, FileDropBlock({Utf16(sub), Utf16(paths[0])}), nullptr, 0);
  struct EffectCase {
    DWORD allowed, shown;
  };
  for (EffectCase c :
       {EffectCase{DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_LINK},
        EffectCase{DROPEFFECT_COPY, DROPEFFECT_COPY},
        EffectCase{DROPEFFECT_MOVE, DROPEFFECT_NONE}}) {
    DWORD effect = c.allowed;
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, c.shown);
  }
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->Drop(data, 0, {0, 0}, &effect), S_OK);
  EXPECT_EQ(dropped, Utf16(sub + L";" + dir_));

  // A real drag from a list's rows onto a window registered for drops.
  CFolderDropRegistration registration;
  dropped.clear();
  ASSERT_TRUE(
      registration.Register(frame_.Handle(), [&](const std::u16string& t) { dropped = t; }));
  RECT r{};
  GetWindowRect(frame_.Handle(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const DWORD taken = CShellHelper::DragFiles({Utf16(paths[0])});
  EXPECT_EQ(taken, DWORD{DROPEFFECT_COPY});
  EXPECT_EQ(dropped, Utf16(dir_));
  registration.Revoke();
  data->Release();
  target->Release();
}

// Child modes: read the clipboard's files into a file (a line each), or
// mark a file opened by the associated program.
int ChildMain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--opened") {
    WriteFileText(std::wstring(argv[2]) + L".opened", L"1");
    return 0;
  }
  if (!OpenClipboard(nullptr)) return 2;
  std::wstring lines;
  if (auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP))) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      wchar_t path[MAX_PATH * 2] = {};
      DragQueryFileW(drop, i, path, MAX_PATH * 2);
      lines += std::wstring(path) + L"\n";
    }
  }
  CloseClipboard();
  WriteFileText(argv[2], lines);
  return lines.empty() ? 3 : 0;
}

}  // namespace
}  // namespace ui

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  ui::g_exe = argv[0];
  const std::wstring mode = argc == 3 ? argv[1] : L"";
  if (mode == L"--opened" || mode == L"--read-clipboard") return ui::ChildMain(argc, argv);
  if (FAILED(OleInitialize(nullptr))) return 4;
  if (!CWindow::RegisterWindowClass(L"VarnelShellOpsFrame", 0, GetSysColorBrush(COLOR_WINDOW))) {
    return 5;
  }
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
