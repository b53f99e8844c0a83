// Varnel.exe's entry: registers the main window class, creates the window
// titled "Varnel", runs the message loop and returns its exit code.
// Covered by tests/app/app_window_test.cpp, which drives the built program.
#include <windows.h>

#include <string>

#include "resources/resource.h"

namespace {

// Other instances and the GUI tests find the running window by this class.
constexpr wchar_t kWindowClass[] = L"VarnelWindowClass";

HINSTANCE g_instance = nullptr;

std::wstring LoadText(UINT id) {
  // With a zero buffer size LoadStringW returns a read-only pointer to the
  // resource text itself, which is not zero-terminated.
  const wchar_t* text = nullptr;
  int length = LoadStringW(g_instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

void ShowStartError(UINT id) {
  MessageBoxW(nullptr, LoadText(id).c_str(), LoadText(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = {600, 400};
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
  }
}

bool RegisterMainClass() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = MainWindowProc;
  window_class.hInstance = g_instance;
  // LoadImageW picks the best size per metric; LoadIconW would take the
  // 32-pixel image and scale it down for the small icon.
  window_class.hIcon = static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_VARNEL),
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                     GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  window_class.hIconSm = static_cast<HICON>(
      LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_VARNEL), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  return RegisterClassExW(&window_class) != 0;
}

// Without saved placement: 3/4 of the screen high, 1.4 times as wide as high,
// centred horizontally (integer arithmetic throughout).
RECT DefaultPlacement() {
  int screen_width = GetSystemMetrics(SM_CXSCREEN);
  int screen_height = GetSystemMetrics(SM_CYSCREEN);
  int height = 3 * screen_height / 4;
  int width = height * 14 / 10;
  int y = screen_height / 2 - 3 * screen_height / 8;
  int x = screen_width / 2 - width / 2;
  return RECT{x, y, x + width, y + height};
}

int RunMessageLoop() {
  MSG message;
  BOOL result;
  // GetMessageW returns -1 on failure; that must not be taken for a message.
  while ((result = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (result == -1) return 1;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
  g_instance = instance;
  if (!RegisterMainClass()) {
    ShowStartError(IDS_FAILED_WINDOW_CLASS);
    return 1;
  }
  RECT place = DefaultPlacement();
  HWND window = CreateWindowExW(0, kWindowClass, LoadText(IDS_APP_TITLE).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, nullptr,
                                nullptr, instance, nullptr);
  if (!window) {
    ShowStartError(IDS_FAILED_WINDOW);
    return 1;
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  return RunMessageLoop();
}
