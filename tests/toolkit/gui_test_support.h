// What the toolkit's GUI tests share: the message pump, the shared test
// frame and its fixture, and the message box helpers that ask from a worker
// thread, describe the box a user sees and answer it with real keys.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/messages.h"
#include "toolkit/window.h"

inline constexpr const wchar_t* kFrameClass = L"VarnelToolkitTestFrame";
// Upper bound for anything a test waits for; reaching it is a failure.
inline constexpr DWORD kWaitLimitMs = 60000;

void Pump();
inline LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// A top-level window that records what its children post and notify.
class CTestFrame : public CWindow {
 public:
  struct Posted {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
  };
  std::vector<Posted> posted;
  std::vector<UINT> notified;  // codes seen by OnNotify
  bool saw_notify_in_window_proc = false;

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == WM_FLATBUTTON_CLICKED || msg == WM_TAB_MIDDLECLICK || msg == WM_PREVIEW_GOTO ||
        msg == WM_COMMAND) {
      posted.push_back({msg, wparam, lparam});
    }
    if (msg == WM_NOTIFY) saw_notify_in_window_proc = true;
    return DefaultProc(msg, wparam, lparam);
  }
  void OnNotify(NMHDR* header, LRESULT*) override { notified.push_back(header->code); }

  int Count(UINT msg) const {
    return static_cast<int>(std::count_if(posted.begin(), posted.end(),
                                          [msg](const Posted& p) { return p.msg == msg; }));
  }
};

// Destroying a top-level window costs Wine about two seconds without a
// window manager (it waits for the window to be withdrawn), so the tests
// share one frame and remove its children after each test.
class ToolkitGui : public ::testing::Test {
 protected:
  static CTestFrame* SharedFrame() {
    static CTestFrame* frame = [] {
      INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
      InitCommonControlsEx(&icc);
      auto* f = new CTestFrame;  // lives until the process ends
      if (!CWindow::RegisterWindowClass(kFrameClass, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE)) ||
          !f->Create(0, kFrameClass, L"Toolkit test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600,
                     400, nullptr)) {
        delete f;
        return static_cast<CTestFrame*>(nullptr);
      }
      return f;
    }();
    return frame;
  }

  void SetUp() override {
    ASSERT_NE(SharedFrame(), nullptr);
    SetWindowPos(frame_.Handle(), nullptr, 50, 50, 600, 400, SWP_NOZORDER);
    Pump();
    frame_.posted.clear();
    frame_.notified.clear();
  }
  void TearDown() override {
    while (HWND child = GetWindow(frame_.Handle(), GW_CHILD)) DestroyWindow(child);
    Pump();
  }

  HWND Child(const wchar_t* cls, DWORD style, int x, int y, int w, int h, DWORD ex = 0,
             const wchar_t* text = L"") {
    HWND hwnd = CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                frame_.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(hwnd, nullptr) << "creating a " << std::string(cls, cls + wcslen(cls));
    return hwnd;
  }

  CTestFrame& frame_ = *SharedFrame();
};

// The pixels of the window as drawn, row by row. Read from the window's own
// device context: Wine copies drawing to the screen a moment later.
std::vector<COLORREF> WindowPixels(HWND window);

// ---- Message box ----

inline constexpr wchar_t kReadOnlyButtons[] = L"Yes\nNo\nYes to All\nNo to All";

struct BoxView {
  HWND box = nullptr;
  std::vector<std::wstring> captions;  // by rows, left to right
  std::vector<int> ids;
  std::vector<RECT> buttons;  // in client coordinates
  std::wstring default_caption;
  RECT text_rect{};   // the message's control, in client coordinates
  std::wstring text;  // as the control shows it
  LOGFONTW font{};    // the message's (the box deletes its font when it ends)
  RECT client{};
  bool owner_disabled = false;
  bool foreground = false;      // the foreground window and its thread's active one
  bool active_caption = false;  // as drawn
};

// Whether the window's caption is drawn in the active caption's colour (Wine
// draws the frames of the test runs itself).
bool CaptionLooksActive(HWND window);

std::wstring TextOf(HWND hwnd);
// Reads what the box shows into `view` (all but owner_disabled, foreground
// and active_caption).
void DescribeBox(HWND box, BoxView* view);

// Finds the box captioned `caption` (polling, bounded by `stop` and the wait
// limit), waits within bounds for it to come to the foreground, and
// describes it.
BoxView FindBox(const wchar_t* caption, HWND owner, HANDLE stop);

// Runs ButtonMessageBox on a worker thread with `owner` (this thread's
// window) while this thread keeps its messages flowing, and a third thread
// finds the box (waiting, within bounds, for it to come to the foreground),
// describes it, and answers it with `answer`.
int AskFromWorker(HWND owner, const std::wstring& text, const wchar_t* caption, UINT style,
                  const std::wstring& buttons, const std::function<void(const BoxView&)>& answer,
                  BoxView* seen, const wchar_t* shown_caption = nullptr);

void ClickButton(const BoxView& view, int index);

// Types `keys` as real keyboard input into the foreground window: "{Enter}",
// "{Esc}", "{Tab}", "{Left}", "{Right}", "{Space}", "%x" for Alt+x, and any
// other letter as its key.
void TypeKeys(const char* keys);
