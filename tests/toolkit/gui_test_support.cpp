// Shared helpers of the toolkit's GUI tests (see gui_test_support.h).
#include "gui_test_support.h"

#include <atomic>
#include <cstring>
#include <thread>

#include "toolkit/logic/message_box_layout.h"
#include "toolkit/message_box.h"

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::vector<COLORREF> WindowPixels(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return {};
  HDC screen = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<COLORREF> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &bmi, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  // The DIB holds 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
  for (COLORREF& p : pixels) p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));
  return pixels;
}

bool CaptionLooksActive(HWND window) {
  TITLEBARINFO title{};
  title.cbSize = sizeof(title);
  RECT r{};
  if (!GetTitleBarInfo(window, &title) || !GetWindowRect(window, &r)) return false;
  const std::vector<COLORREF> pixels = WindowPixels(window);
  const int x = (r.right - r.left) / 2,
            y = (title.rcTitleBar.top + title.rcTitleBar.bottom) / 2 - r.top;
  if (pixels.empty() || y < 0 || y >= r.bottom - r.top) return false;
  const COLORREF c = pixels[static_cast<size_t>(y) * static_cast<size_t>(r.right - r.left) +
                            static_cast<size_t>(x)];
  return c == GetSysColor(COLOR_ACTIVECAPTION) || c == GetSysColor(COLOR_GRADIENTACTIVECAPTION);
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[2048] = {};
  GetWindowTextW(hwnd, text, 2048);
  return text;
}

void DescribeBox(HWND box, BoxView* view) {
  BoxView described;
  described.owner_disabled = view->owner_disabled;
  described.foreground = view->foreground;
  described.active_caption = view->active_caption;
  *view = described;
  view->box = box;
  GetClientRect(box, &view->client);
  std::vector<std::pair<std::pair<LONG, LONG>, HWND>> buttons;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(c, cls, 32);
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    if (lstrcmpiW(cls, L"Button") == 0) {
      buttons.push_back({{r.top, r.left}, c});
      if ((GetWindowLongPtrW(c, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) {
        view->default_caption = TextOf(c);
      }
    } else if (GetDlgCtrlID(c) == 0xFFFF) {
      view->text_rect = r;
      view->text = TextOf(c);
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)), sizeof(LOGFONTW),
                 &view->font);
    }
  }
  std::sort(buttons.begin(), buttons.end());
  for (const auto& [position, button] : buttons) {
    view->captions.push_back(TextOf(button));
    view->ids.push_back(GetDlgCtrlID(button));
    view->buttons.push_back({position.second, position.first, 0, 0});
    RECT r{};
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    view->buttons.back() = r;
  }
}

BoxView FindBox(const wchar_t* caption, HWND owner, HANDLE stop) {
  BoxView view;
  const DWORD start = GetTickCount();
  HWND found = nullptr;
  while (!found && GetTickCount() - start < kWaitLimitMs) {
    HWND candidate = FindWindowW(L"#32770", caption);
    if (candidate && IsWindowVisible(candidate)) {
      found = candidate;
    } else if (WaitForSingleObject(stop, 20) == WAIT_OBJECT_0) {
      break;
    }
  }
  if (!found) return view;
  view.owner_disabled = owner && !IsWindowEnabled(owner);
  // Foreground, the active window of its thread, and painted so: bounded
  // more tightly, since a box that stays behind fails only the tests that ask.
  const DWORD shown = GetTickCount();
  const DWORD thread = GetWindowThreadProcessId(found, nullptr);
  do {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    view.foreground =
        GetForegroundWindow() == found && GetGUIThreadInfo(thread, &gui) && gui.hwndActive == found;
    view.active_caption = CaptionLooksActive(found);
  } while (!(view.foreground && view.active_caption) && GetTickCount() - shown < 5000 &&
           WaitForSingleObject(stop, 20) != WAIT_OBJECT_0);
  DescribeBox(found, &view);
  return view;
}

int AskFromWorker(HWND owner, const std::wstring& text, const wchar_t* caption, UINT style,
                  const std::wstring& buttons, const std::function<void(const BoxView&)>& answer,
                  BoxView* seen, const wchar_t* shown_caption) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> result{-1};
  std::thread worker([&] {
    ButtonMessageBoxParams params{buttons};
    result = ButtonMessageBox(owner, text, caption, style | toolkit::kMbNoSound,
                              buttons.empty() ? nullptr : &params);
    SetEvent(done);
  });
  std::thread answerer([&] {
    *seen = FindBox(shown_caption ? shown_caption : caption, owner, done);
    if (seen->box) answer(*seen);
  });
  const DWORD start = GetTickCount();
  while (MsgWaitForMultipleObjects(1, &done, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
         GetTickCount() - start < kWaitLimitMs) {
    Pump();
  }
  const bool finished = WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
  // Ends a box that the answer did not end, so that the run goes on.
  if (!finished && seen->box && !seen->ids.empty()) {
    PostMessageW(seen->box, WM_COMMAND, static_cast<WPARAM>(seen->ids[0]), 0);
  }
  answerer.join();
  if (finished || WaitForSingleObject(done, kWaitLimitMs) == WAIT_OBJECT_0) {
    worker.join();
  } else {
    worker.detach();  // reported below; the process ends with the test run
  }
  CloseHandle(done);
  EXPECT_TRUE(finished) << "the message box did not end";
  return result;
}

void ClickButton(const BoxView& view, int index) {
  HWND button = GetDlgItem(view.box, view.ids[static_cast<size_t>(index)]);
  PostMessageW(button, BM_CLICK, 0, 0);
}

namespace {

INPUT Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

WORD NamedKey(const std::string& name) {
  const struct {
    const char* name;
    WORD vk;
  } keys[] = {{"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},  {"Tab", VK_TAB},
              {"Left", VK_LEFT},    {"Right", VK_RIGHT}, {"Space", VK_SPACE}};
  for (const auto& k : keys) {
    if (name == k.name) return k.vk;
  }
  ADD_FAILURE() << "unknown key " << name;
  return 0;
}

}  // namespace

void TypeKeys(const char* keys) {
  std::vector<INPUT> inputs;
  for (const char* p = keys; *p; ++p) {
    bool alt = false;
    WORD vk = 0;
    if (*p == '{') {
      const char* end = std::strchr(p, '}');
      ASSERT_NE(end, nullptr) << keys;
      vk = NamedKey(std::string(p + 1, end));
      p = end;
    } else {
      alt = *p == '%';
      if (alt) ++p;
      vk = static_cast<WORD>(LOBYTE(VkKeyScanW(static_cast<wchar_t>(*p))));
    }
    if (alt) inputs.push_back(Key(VK_MENU, false));
    inputs.push_back(Key(vk, false));
    inputs.push_back(Key(vk, true));
    if (alt) inputs.push_back(Key(VK_MENU, true));
  }
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size());
}
