// Varnel.exe's entry: reads the command line, hands it to an instance
// already running, prepares the temporary and data folders, loads the saved
// state, creates the main window and runs the message loop.
// Driven end to end by tests/e2e and tests/app/app_window_test.cpp.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/logic/app_text.h"
#include "app/logic/command_line.h"
#include "app/logic/frame_rules.h"
#include "app/logic/placement.h"
#include "app/main_wnd.h"
#include "engine/document_finders.h"
#include "platform/fs.h"
#include "storage/app_settings.h"
#include "storage/history.h"
#include "toolkit/application.h"
#include "ui/ui_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VarnelWindowClass";

void ShowStartError(UINT id) {
  MessageBoxW(nullptr, ui::LoadUiString(id).c_str(), ui::LoadUiString(app::IDS_APP_NAME).c_str(),
              MB_OK);
}

std::vector<std::u16string> Arguments() {
  std::vector<std::u16string> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!list) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(ui::Utf16(list[i]));
  LocalFree(list);
  return arguments;
}

// Hands the command line to the running window and asks it to come to the
// front; true when one was running.
bool HandOverToRunningInstance(const app::CommandLine& command_line, bool another_started) {
  HWND running = FindWindowW(kWindowClass, nullptr);
  // An instance started a moment earlier may not have made its window yet.
  for (int waited = 0; !running && another_started && waited < 10000; waited += 50) {
    Sleep(50);
    running = FindWindowW(kWindowClass, nullptr);
  }
  if (!running) return false;
  if (std::optional<std::u16string> text = app::HandOverText(command_line)) {
    std::vector<std::uint8_t> buffer = app::EncodeHandOver(*text);
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>(buffer.size());
    data.lpData = buffer.data();
    DWORD_PTR ignored = 0;
    // Bounded: a running instance that hangs must not hang this one too.
    SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, 10000, &ignored);
  }
  // The running window may bring itself to the front only when this
  // process, which has the foreground now, allows it.
  DWORD process = 0;
  GetWindowThreadProcessId(running, &process);
  AllowSetForegroundWindow(process);
  PostMessageW(running, app::kWmShowInstance, 0, 0);
  return true;
}

std::vector<app::Rect> MonitorWorkAreas() {
  std::vector<app::Rect> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          reinterpret_cast<std::vector<app::Rect>*>(data)->push_back(
              {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

int RunMessageLoop(CMainWnd& main_window) {
  MSG message;
  BOOL result;
  // GetMessageW returns -1 on failure; that must not be taken for a message.
  while ((result = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (result == -1) return 1;
    if (main_window.FilterLoopMessage(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

// Loads the saved state, opens the main window and runs the message loop;
// the loop's exit code, or 0 after a start-up message.
int OpenAndRun(const app::CommandLine& command_line) {
  CMainWnd main_window;
  if (!CMainWnd::RegisterClass()) {
    ShowStartError(app::IDS_APP_FAILED_CLASS);
    return 0;
  }
  main_window.ReadShellIntegration();
  AppSettings& settings = main_window.Settings();
  if (!InitDataFolder(settings)) {
    ShowStartError(app::IDS_APP_FAILED_STORAGE);
    return 0;
  }
  LoadSettings(settings);
  LoadHistory(settings);
  app::StartInputs inputs;
  inputs.saved = settings.window_rect;
  inputs.advanced_visible = settings.advanced_visible;
  inputs.maximized = settings.maximized;
  inputs.autorun = command_line.autorun;
  inputs.screen_width = GetSystemMetrics(SM_CXSCREEN);
  inputs.screen_height = GetSystemMetrics(SM_CYSCREEN);
  inputs.monitors = MonitorWorkAreas();
  const app::StartPlacement placement = app::InitialPlacement(inputs);
  main_window.SetAdvanced(placement.advanced);
  main_window.SetAutorun(command_line.autorun);
  main_window.SetStartupFolder(command_line.folder);
  if (!main_window.CreateFrame(placement.rect)) {
    ShowStartError(app::IDS_APP_FAILED_WINDOW);
    return 0;
  }
  const int show = placement.show == app::ShowState::kMinimized   ? SW_SHOWMINIMIZED
                   : placement.show == app::ShowState::kMaximized ? SW_SHOWMAXIMIZED
                                                                  : SW_SHOWNORMAL;
  ShowWindow(main_window.Handle(), show);
  UpdateWindow(main_window.Handle());
  return RunMessageLoop(main_window);
}

int Run(HINSTANCE instance) {
  CApplication::Get().SetInstance(instance);
  const app::CommandLine command_line = app::ParseCommandLine(Arguments());
  // Two instances started together would both find no window; the one that
  // made this mutex first stays. The handle goes with the process.
  CreateMutexW(nullptr, FALSE, L"Local\\VarnelInstance");
  const bool another_started = GetLastError() == ERROR_ALREADY_EXISTS;
  if (HandOverToRunningInstance(command_line, another_started)) return 0;

  // The document converters write into this folder; one instance runs at a
  // time, so it is this run's alone and goes with everything in it at exit.
  const std::u16string temp_folder = platform::SystemTempPath() + u"\\Varnel";
  if (!CreateDirectoryW(ui::Wide(temp_folder).c_str(), nullptr) &&
      GetLastError() != ERROR_ALREADY_EXISTS) {
    return static_cast<int>(GetLastError());
  }
  SetDocumentTempFolder(temp_folder);

  const int exit_code = OpenAndRun(command_line);
  platform::DeleteFolderTree(temp_folder);
  return exit_code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  if (FAILED(OleInitialize(nullptr))) return 0;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES;
  if (!InitCommonControlsEx(&controls)) {
    OleUninitialize();
    return 0;
  }
  // The match preview's rich edit lives in this library.
  LoadLibraryW(L"riched20.dll");
  const int exit_code = Run(instance);
  OleUninitialize();
  return exit_code;
}
