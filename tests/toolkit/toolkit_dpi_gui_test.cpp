// GUI tests of what depends on the scale and the keyboard, run under Wine at
// 96, 144 and 192 DPI (the scale is set before the process starts): the
// message box answered with real keys and its real layout, its layout after
// a move to a monitor of another scale, the flat button reached by Tab and
// toggled by Space, the edit buttons' widths, and the control gallery, whose
// screenshots people look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "control_gallery.h"
#include "gui_test_support.h"
#include "res/toolkit_test_resources.h"
#include "screenshot.h"
#include "toolkit/buttoned_edit.h"
#include "toolkit/dialog_template.h"
#include "toolkit/dpi.h"
#include "toolkit/flat_button.h"
#include "toolkit/logic/dpi_scale.h"
#include "toolkit/logic/message_box_layout.h"

namespace {

using toolkit::ScaleForDpi;

std::wstring DpiName(const wchar_t* base) {
  return std::wstring(base) + L"_" + std::to_wstring(toolkit::SystemDpi()) + L".png";
}

// Paints the box now (the call waits for the box's thread) so that the
// picture is complete, and saves it for people to look at.
void SaveBoxScreenshot(const BoxView& v, const wchar_t* base) {
  RedrawWindow(v.box, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ScreenshotInfo info;
  (void)SaveWindowScreenshot(v.box, DpiName(base), &info);
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

int Measure(const LOGFONTW& font, const std::wstring& text, UINT format) {
  HFONT handle = CreateFontIndirectW(&font);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, handle);
  RECT r{};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(handle);
  return r.right - r.left;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// What a user sees of the box at `dpi`: the font of that scale, buttons of
// one scaled height inside the box, apart, below the text and wide enough for
// their captions, and a text control wide enough for each of its lines.
void ExpectSoundLayout(const BoxView& v, int dpi) {
  ASSERT_NE(v.box, nullptr);
  EXPECT_EQ(v.font.lfHeight, toolkit::FontHeightForDpi(8, dpi));
  EXPECT_TRUE(Inside(v.text_rect, v.client));
  const int text_width = v.text_rect.right - v.text_rect.left;
  for (const std::wstring& line : Lines(v.text)) {
    EXPECT_GE(text_width, Measure(v.font, line, DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS))
        << "cut: " << std::string(line.begin(), line.end());
  }
  for (size_t i = 0; i < v.buttons.size(); ++i) {
    const RECT& b = v.buttons[i];
    const std::string caption(v.captions[i].begin(), v.captions[i].end());
    EXPECT_TRUE(Inside(b, v.client)) << caption;
    EXPECT_EQ(b.bottom - b.top, ScaleForDpi(23, dpi)) << caption;
    EXPECT_EQ(b.right - b.left, v.buttons[0].right - v.buttons[0].left) << caption;
    EXPECT_GE(b.top, v.text_rect.bottom) << caption;
    EXPECT_GT(b.right - b.left, Measure(v.font, v.captions[i], DT_SINGLELINE)) << caption;
    for (size_t j = 0; j < i; ++j) {
      RECT overlap{};
      EXPECT_FALSE(IntersectRect(&overlap, &b, &v.buttons[j])) << caption << " overlaps";
    }
  }
}

class ToolkitDpi : public ToolkitGui {
 protected:
  int dpi_ = toolkit::SystemDpi();
};

TEST_F(ToolkitDpi, PerWindowAndSystemDpiAgree) {
  // Wine's per-monitor functions report the system DPI; both paths must.
  for (bool per_monitor : {true, false}) {
    toolkit::UsePerMonitorDpiForTesting(per_monitor);
    EXPECT_EQ(toolkit::WindowDpi(frame_.Handle()), dpi_) << per_monitor;
    EXPECT_EQ(toolkit::SystemMetricForDpi(SM_CXICON, 2 * dpi_), ScaleForDpi(64, dpi_))
        << per_monitor;
    HFONT font = toolkit::CreateMessageFontForDpi(2 * dpi_);
    LOGFONTW lf{};
    NONCLIENTMETRICSW system{};
    system.cbSize = sizeof(system);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(system), &system, 0));
    GetObjectW(font, sizeof(lf), &lf);
    DeleteObject(font);
    EXPECT_NEAR(lf.lfHeight, 2 * system.lfMessageFont.lfHeight, 1) << per_monitor;
  }
  toolkit::UsePerMonitorDpiForTesting(true);
}

// ---- Message box ----

TEST_F(ToolkitDpi, ReadOnlyQuestionIsAnsweredWithRealKeys) {
  const struct {
    const char* keys;
    int answer;  // 0 Yes, 1 No, 2 Yes to All, 3 No to All
  } cases[] = {{"{Enter}", 0},
               {"{Right}{Enter}", 1},
               {"{Tab}{Tab}{Enter}", 2},
               {"{Left}{Enter}", 3},
               {"a", 2},
               {"o", 3},
               {"%n", 1},
               {"{Esc}y", 0}};  // Escape does not answer it
  for (const auto& c : cases) {
    BoxView view;
    const int code = AskFromWorker(
        frame_.Handle(), L"File C:\\data\\report.txt is read-only. Do you want it to be replaced?",
        L"Replace", MB_ICONQUESTION, kReadOnlyButtons,
        [&c, &cases](const BoxView& v) {
          if (&c == &cases[0]) SaveBoxScreenshot(v, L"toolkit_question");
          if (!v.foreground) return ClickButton(v, 0);  // keys would go elsewhere
          TypeKeys(c.keys);
        },
        &view);
    ASSERT_NE(view.box, nullptr) << "no box appeared";
    EXPECT_TRUE(view.foreground) << "the box opened behind the active window";
    EXPECT_TRUE(view.active_caption) << "the box opened with a grey caption";
    EXPECT_EQ(view.captions,
              (std::vector<std::wstring>{L"&Yes", L"&No", L"Yes to &All", L"N&o to All"}));
    ExpectSoundLayout(view, dpi_);
    EXPECT_EQ(code - toolkit::kFirstCustomButtonCode, c.answer) << c.keys;
  }
}

TEST_F(ToolkitDpi, OtherBoxesAnswerEscapeAndAccessKeys) {
  const struct {
    UINT style;
    const wchar_t* custom;
    const char* keys;
    int code;
  } cases[] = {{MB_YESNOCANCEL | MB_ICONEXCLAMATION, L"", "{Esc}", IDCANCEL},
               {MB_YESNOCANCEL, L"", "n", IDNO},
               {MB_OK | MB_ICONINFORMATION, L"", "{Esc}", IDOK},
               {MB_ABORTRETRYIGNORE, L"", "i", IDIGNORE},
               // Captions wider than a button widen every button of the row.
               {MB_ICONQUESTION, L"Keep the original file\nReplace it with the new one", "r", 24}};
  for (const auto& c : cases) {
    BoxView view;
    const int code = AskFromWorker(
        frame_.Handle(), L"Other buttons", L"Other", c.style, c.custom,
        [&c](const BoxView& v) {
          if (*c.custom) SaveBoxScreenshot(v, L"toolkit_wide_buttons");
          if (!v.foreground) return ClickButton(v, 0);
          TypeKeys(c.keys);
        },
        &view);
    ASSERT_NE(view.box, nullptr);
    EXPECT_TRUE(view.foreground);
    EXPECT_TRUE(view.active_caption);
    ExpectSoundLayout(view, dpi_);
    EXPECT_EQ(code, c.code) << c.keys;
  }
}

TEST_F(ToolkitDpi, LongPathBreaksAfterSeparatorsWithinTheMaximumWidth) {
  std::wstring path = L"C:\\";
  for (int i = 0; i < 40; ++i) path += L"a_rather_long_folder_name_" + std::to_wstring(i) + L"\\";
  const std::wstring text =
      L"File " + path + L"file.txt is read-only. Do you want it to be replaced?";
  const int screen = GetSystemMetrics(SM_CXSCREEN);
  const int icon = toolkit::SystemMetricForDpi(SM_CXICON, dpi_);
  BoxView view;
  int code = 0;
  code = AskFromWorker(
      frame_.Handle(), text, L"Replace", MB_ICONQUESTION, kReadOnlyButtons,
      [&](const BoxView& v) {
        SaveBoxScreenshot(v, L"toolkit_message_box");
        if (!v.foreground) return ClickButton(v, 1);
        TypeKeys("n");
      },
      &view);
  ASSERT_NE(view.box, nullptr);
  EXPECT_EQ(code, 24);
  ExpectSoundLayout(view, dpi_);
  // Every line but the last ends after a separator or before a blank.
  const std::vector<std::wstring> lines = Lines(view.text);
  EXPECT_GE(lines.size(), 3u) << "the path was not wrapped";
  std::size_t pos = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(text.compare(pos, lines[i].size(), lines[i]), 0) << "line " << i << " differs";
    pos += lines[i].size();
    if (i + 1 == lines.size()) break;
    const bool at_blank = text[pos] == L' ';
    EXPECT_TRUE(at_blank || lines[i].back() == L'\\') << "broken inside a name: line " << i;
    if (at_blank) ++pos;
  }
  EXPECT_EQ(pos, text.size());
  const int widest = toolkit::MaxMessageTextWidth(screen, true, icon, dpi_);
  for (const std::wstring& line : lines) {
    EXPECT_LE(Measure(view.font, line, DT_SINGLELINE | DT_NOPREFIX), widest);
  }
}

// Windows sends WM_DPICHANGED when the box moves to a monitor of another
// scale; Wine has one monitor, so the test sends it as Windows would.
TEST_F(ToolkitDpi, MessageBoxFollowsAMoveToAnotherScale) {
  const int new_dpi = dpi_ == 96 ? 192 : 96;
  BoxView view, after;
  const int code = AskFromWorker(
      frame_.Handle(), L"File C:\\data\\report.txt is read-only. Do you want it to be replaced?",
      L"Replace", MB_ICONQUESTION, kReadOnlyButtons,
      [&](const BoxView& v) {
        RECT suggested{};
        GetWindowRect(v.box, &suggested);
        SendMessageW(v.box, WM_DPICHANGED, MAKEWPARAM(new_dpi, new_dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        after.foreground = v.foreground;
        DescribeBox(v.box, &after);
        if (!v.foreground) return ClickButton(v, 0);
        TypeKeys("{Right}{Right}{Enter}");
      },
      &view);
  ASSERT_NE(view.box, nullptr);
  ExpectSoundLayout(view, dpi_);
  ExpectSoundLayout(after, new_dpi);
  EXPECT_EQ(code, 25);
}

// ---- Flat button ----

class CFlatDialog : public CWindow {
 public:
  int clicks = 0;
  INT_PTR DialogProc(UINT msg, WPARAM, LPARAM) override {
    if (msg == WM_FLATBUTTON_CLICKED) ++clicks;
    return FALSE;
  }
};

// Pumps the dialog's messages the way a modeless dialog's owner does, until
// `done` holds (bounded).
template <typename Done>
bool PumpDialogUntil(HWND dialog, Done done) {
  const DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < kWaitLimitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (IsDialogMessageW(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return done();
}

TEST_F(ToolkitDpi, FlatButtonIsReachedByTabAndToggledBySpace) {
  CDialogTemplateBuilder builder;
  builder.SetDialog(WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 20, 20, 160, 60, u"Flat");
  builder.SetFont(8, u"MS Shell Dlg");
  const DWORD child = WS_CHILD | WS_VISIBLE;
  builder.AddItem(
      {CDialogTemplateItem::kEdit, 100, child | WS_TABSTOP | WS_BORDER, 8, 8, 80, 14, u""});
  builder.AddItem({CDialogTemplateItem::kButton, 101, child | BS_OWNERDRAW, 100, 6, 16, 16, u""});
  const auto words = builder.Build();
  CFlatDialog dialog;
  HWND hwnd = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()),
      frame_.Handle(), &CWindow::SharedDialogProc, reinterpret_cast<LPARAM>(&dialog));
  ASSERT_NE(hwnd, nullptr);
  CFlatButton flat;
  flat.Attach(GetDlgItem(hwnd, 101));
  ASSERT_TRUE(flat.SetIcon(IDI_FLAT_MAIN));
  EXPECT_EQ(flat.Dpi(), dpi_);
  SetForegroundWindow(hwnd);
  SetFocus(GetDlgItem(hwnd, 100));
  ASSERT_TRUE(PumpDialogUntil(hwnd, [&] { return GetForegroundWindow() == hwnd; }));

  TypeKeys("{Tab}");
  EXPECT_TRUE(PumpDialogUntil(hwnd, [&] { return GetFocus() == flat.Handle(); }))
      << "Tab did not reach the flat button";
  TypeKeys("{Space}");
  EXPECT_TRUE(PumpDialogUntil(hwnd, [&] { return dialog.clicks == 1; })) << "Space did not click";
  EXPECT_EQ(flat.GetState(), 1);

  // On, focused, after keyboard use: the grey frame (visible on Wine's light
  // face) and the dotted focus rectangle inside it.
  RedrawWindow(flat.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT r{};
  GetWindowRect(flat.Handle(), &r);
  const std::vector<COLORREF> pixels = WindowPixels(flat.Handle());
  const int width = r.right - r.left;
  const int inset = ScaleForDpi(1, dpi_) + 1;
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(pixels[0], RGB(128, 128, 128)) << "no frame";
  const COLORREF fill = pixels[static_cast<size_t>(inset - 1) * static_cast<size_t>(width) +
                               static_cast<size_t>(width / 2)];
  int dots = 0;
  for (int x = inset; x < width - inset; ++x) {
    dots += pixels[static_cast<size_t>(inset * width + x)] != fill;
  }
  EXPECT_GT(dots, 2) << "no focus rectangle";
  DestroyWindow(hwnd);
}

// ---- Edit and flat buttons ----

// The width of the flat button's icon as drawn: the span of its blue.
int DrawnIconWidth(HWND button) {
  RECT r{};
  GetWindowRect(button, &r);
  const int width = r.right - r.left, row = (r.bottom - r.top) / 2;
  const std::vector<COLORREF> pixels = WindowPixels(button);
  int first = width, last = -1;
  for (int x = 0; x < width; ++x) {
    if (pixels[static_cast<size_t>(row * width + x)] != RGB(0x20, 0x60, 0xC0)) continue;
    first = std::min(first, x);
    last = x;
  }
  return last - first + 1;
}

// What WM_DPICHANGED_AFTERPARENT does with the window's new DPI when the
// window moves to a monitor of another scale.
TEST_F(ToolkitDpi, EditAndFlatButtonsFollowTheScale) {
  HWND hwnd = Child(WC_EDITW, ES_AUTOHSCROLL, 10, 10, ScaleForDpi(300, dpi_), ScaleForDpi(24, dpi_),
                    WS_EX_CLIENTEDGE);
  RECT plain{};
  GetClientRect(hwnd, &plain);
  CButtonedEdit edit;
  edit.Attach(hwnd);
  edit.AddButton(2013, IDI_FLAT_MAIN, 0, 16, L"History");
  edit.AddButton(2014, IDI_FLAT_SECOND, 0, 14, L"Clear");
  CFlatButton flat;
  flat.Attach(
      Child(L"BUTTON", BS_OWNERDRAW, 10, 100, ScaleForDpi(48, dpi_), ScaleForDpi(48, dpi_)));
  ASSERT_TRUE(flat.SetIcon(IDI_FLAT_MAIN));
  for (int dpi : {dpi_, 2 * dpi_, dpi_}) {
    edit.SetDpi(dpi);
    flat.SetDpi(dpi);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(plain.right - client.right, 2 * toolkit::SmallIconSize(dpi)) << dpi;
    const RECT first = edit.ButtonScreenRect(0), second = edit.ButtonScreenRect(1);
    EXPECT_EQ(first.right, second.left) << dpi;
    RedrawWindow(flat.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_NEAR(DrawnIconWidth(flat.Handle()), toolkit::SmallIconSize(dpi), 2) << dpi;
  }
}

// ---- Control gallery ----

TEST_F(ToolkitDpi, ControlGalleryAtTheScale) {
  CControlGallery gallery;
  ASSERT_TRUE(gallery.Create(false));
  SetForegroundWindow(gallery.Handle());
  // The switched-on flat button has the focus, shown as after keyboard use.
  SetFocus(gallery.Toggle().Handle());
  SendMessageW(gallery.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  RedrawWindow(gallery.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  Pump();
  EXPECT_EQ(gallery.Dpi(), dpi_);
  EXPECT_EQ(gallery.List().Send(LVM_GETITEMCOUNT), 3);
  RECT client{};
  GetClientRect(gallery.Handle(), &client);
  for (HWND c = GetWindow(gallery.Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, gallery.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(Inside(r, client)) << "a control lies outside the window";
  }
  // The switched-on buttons show their frame on the light face.
  for (CFlatButton* b : {&gallery.Toggle(), &gallery.ThreeState()}) {
    RECT r{};
    GetWindowRect(b->Handle(), &r);
    EXPECT_EQ(r.right - r.left, ScaleForDpi(24, dpi_));
    const std::vector<COLORREF> pixels = WindowPixels(b->Handle());
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels[0], RGB(128, 128, 128)) << "no frame";
    EXPECT_EQ(pixels.back(), RGB(128, 128, 128)) << "no frame";
  }
  ScreenshotInfo info;
  ASSERT_TRUE(SaveWindowScreenshot(gallery.Handle(), DpiName(L"toolkit_gallery"), &info));
}

}  // namespace
