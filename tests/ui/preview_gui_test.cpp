// GUI test of the match preview under Wine: the real view in a host window
// with a real preview engine over temporary files, read back as a user sees
// it: the match view's text and character formats at match positions, the
// note line's link clicked, a double click that selects the match in the
// file view, the size-limit message, a file without a preview, and copying.
// Leaves preview_find.png and preview_replace.png in the working folder.
#include <gtest/gtest.h>
#include <richedit.h>

#include <functional>
#include <string>

#include "pump.h"
#include "platform/text.h"
#include "screenshot.h"
#include "test_tree.h"
#include "toolkit/messages.h"
#include "ui/logic/preview_document.h"
#include "ui/preview_view.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

constexpr wchar_t kFrameClass[] = L"VarnelPreviewTestFrame";
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

using ui_test::Pump;
using ui_test::PumpUntil;

// A page stand-in: the preview fills it, and its engine's reports are read
// from the queue as the page does.
class CPreviewFrame : public CWindow {
 public:
  AppSettings settings;
  CReportQueue queue;
  CFindReporter reporter{ReportSource::kPreview, queue, nullptr, nullptr};
  CPreviewRunner runner{reporter};
  CMatchPreview preview;

  bool Build() {
    if (!preview.Create(Handle(), settings, runner)) return false;
    RECT client{};
    GetClientRect(Handle(), &client);
    preview.Place({0, 0, client.right, client.bottom},
                  {5, 30, client.right - 10, client.bottom - 36});
    return true;
  }

  // Hands the preview the engine's report, as the page's queue does.
  bool DeliverReport() {
    if (!PumpUntil([&] { return queue.Size() > 0; })) return false;
    for (FindReport& report : queue.TakeAll()) {
      if (report.run == reporter.Run())
        preview.OnMatchesReady(report.path, std::move(report.matches));
    }
    return true;
  }

  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == WM_PREVIEW_GOTO) {
      preview.GoToMatch();
      return 0;
    }
    return DefaultProc(msg, wparam, lparam);
  }
};

CPreviewFrame* SharedFrame() {
  static CPreviewFrame* frame = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    auto* f = new CPreviewFrame;  // lives until the process ends
    if (!CWindow::RegisterWindowClass(kFrameClass, 0, GetSysColorBrush(COLOR_BTNFACE)) ||
        !f->Create(0, kFrameClass, L"Preview test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 760,
                   420, nullptr) ||
        !f->Build()) {
      delete f;
      return static_cast<CPreviewFrame*>(nullptr);
    }
    return f;
  }();
  return frame;
}

std::u16string ViewText(HWND rich) {
  GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
  const auto n = static_cast<int>(
      SendMessageW(rich, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
  SendMessageW(rich, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return Utf16(text);
}

// The character format of the one character at `position`.
CHARFORMAT2W FormatAt(HWND rich, int position) {
  CHARRANGE range{position, position + 1};
  SendMessageW(rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  SendMessageW(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

bool IsYellow(const CHARFORMAT2W& f) {
  return !(f.dwEffects & CFE_AUTOBACKCOLOR) && f.crBackColor == kYellow;
}

POINT PointOf(HWND rich, int position) {
  POINTL at{};
  SendMessageW(rich, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), position);
  return {at.x + 2, at.y + 4};
}

std::string U8(std::u16string_view s) { return platform::ToUtf8(s); }

// The rich edit keeps no break after the last line: a stream's last
// paragraph mark becomes the document's own end.
std::string Shown(std::u16string_view document_text) {
  if (!document_text.empty() && document_text.back() == u'\r') document_text.remove_suffix(1);
  return U8(document_text);
}

class PreviewGui : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_NE(SharedFrame(), nullptr);
    frame_.settings.max_number_matches = 100;
    frame_.settings.limit_file_preview = 5;
    frame_.settings.handler_table = DefaultHandlerTable();
    frame_.settings.skip_extensions = DefaultSkipExtensions();
    frame_.preview.SelectTab(CMatchPreview::kMatchesTab);
  }

  HWND Rich() { return frame_.preview.MatchView(); }

  std::u16string FileViewText() { return Utf16(WindowText(frame_.preview.FileView())); }

  CPreviewFrame& frame_ = *SharedFrame();
  testing_support::TempTree tree_;
};

FileResult Record(const std::u16string& path) {
  FileResult record;
  const std::size_t sep = path.rfind(u'\\');
  record.folder = path.substr(0, sep);
  record.file_name = path.substr(sep + 1);
  return record;
}

TEST_F(PreviewGui, FindRunShowsNumbersHighlightsAndTheLinkThatLiftsTheLimit) {
  frame_.settings.max_number_matches = 3;
  const std::u16string path = tree_.Write(u"four.txt", "a cat\r\nno\r\ncat\r\ncat\r\nthe cat\r\n");
  FileFindParamsIn params;
  params.text = u"cat";
  frame_.preview.Request(Record(path), params);
  EXPECT_EQ(U8(ViewText(Rich())), "Preparing...");
  ASSERT_TRUE(frame_.DeliverReport());

  const PreviewDocument& doc = frame_.preview.Document();
  ASSERT_TRUE(doc.limited);
  EXPECT_EQ(U8(ViewText(Rich())), Shown(doc.text));
  EXPECT_EQ(U8(doc.text.substr(0, doc.text.find(u'\r'))),
            "Only first 3 matches were shown. Show all matches.");
  for (const StyledRange& r : doc.ranges) {
    const CHARFORMAT2W f = FormatAt(Rich(), r.start);
    switch (r.style) {
      case PreviewStyle::kLineNumber: EXPECT_EQ(f.crTextColor, kBlue) << r.start; break;
      case PreviewStyle::kHighlight: EXPECT_TRUE(IsYellow(f)) << r.start; break;
      case PreviewStyle::kLink: EXPECT_TRUE(f.dwEffects & CFE_LINK) << r.start; break;
      case PreviewStyle::kStrikeOut: ADD_FAILURE() << "no strike-out in a find run"; break;
    }
    EXPECT_TRUE(f.dwEffects & CFE_BOLD);
  }
  // The character after a match and the tab after a number are plain.
  const int line = doc.line_starts[1];  // "1\ta cat"
  EXPECT_FALSE(IsYellow(FormatAt(Rich(), line + 1)));
  EXPECT_NE(FormatAt(Rich(), line + 1).crTextColor, kBlue);
  EXPECT_TRUE(IsYellow(FormatAt(Rich(), line + 4)));

  Pump();
  EXPECT_TRUE(SaveWindowScreenshot(frame_.Handle(), L"preview_find.png", nullptr));

  // A click on the link asks again without the limit.
  const auto link = doc.ranges.front();
  const POINT at = PointOf(Rich(), link.start + 2);
  SendMessageW(Rich(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageW(Rich(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  ASSERT_TRUE(frame_.DeliverReport());
  EXPECT_FALSE(frame_.preview.Document().limited);
  EXPECT_EQ(frame_.preview.Document().line_starts.size(), 4u);
  EXPECT_EQ(U8(ViewText(Rich())), Shown(frame_.preview.Document().text));
}

TEST_F(PreviewGui, ReplaceRunShowsTheStoredListStruckOutWithReplacements) {
  // The record's own file is over the limit of 1 MB: the file view says so.
  const std::u16string path = tree_.Write(u"big.txt", std::string(1048577, 'x'));
  FileResult record = Record(path);
  record.matches = {{2, u"x dog dog...", {{2, 3}}, 10}, {2, u"x dog dog...", {{6, 3}}, 14}};
  FileFindParamsIn params;
  params.text = u"cat";
  params.replace = true;
  params.replace_text = u"dog";
  frame_.settings.limit_file_preview = 1;
  frame_.preview.Request(record, params);

  const PreviewDocument& doc = frame_.preview.Document();
  EXPECT_EQ(U8(ViewText(Rich())), "2\tx dogdog dog...\r2\tx dog dogdog...");
  for (int at : {doc.line_starts[0] + 4, doc.line_starts[1] + 8}) {
    EXPECT_TRUE(FormatAt(Rich(), at).dwEffects & CFE_STRIKEOUT) << at;
    EXPECT_TRUE(IsYellow(FormatAt(Rich(), at))) << at;
    EXPECT_FALSE(FormatAt(Rich(), at + 3).dwEffects & CFE_STRIKEOUT) << at;  // the replacement
    EXPECT_TRUE(IsYellow(FormatAt(Rich(), at + 5))) << at;
    EXPECT_FALSE(IsYellow(FormatAt(Rich(), at + 6))) << at;
  }
  Pump();
  EXPECT_TRUE(SaveWindowScreenshot(frame_.Handle(), L"preview_replace.png", nullptr));

  frame_.preview.SelectTab(CMatchPreview::kFileTab);
  EXPECT_EQ(U8(FileViewText()), "Preview is unavailable because the file is too large.");
  EXPECT_TRUE(IsWindowVisible(frame_.preview.FileView()));
  EXPECT_FALSE(IsWindowVisible(Rich()));
}

TEST_F(PreviewGui, DoubleClickSelectsTheMatchInTheFileView) {
  // UTF-16 with a mark and a character outside ASCII before the matches:
  // positions count decoded characters.
  std::string bytes = "\xff\xfe";
  for (char16_t c : std::u16string(u"\x00e9 cat\r\nx\r\ncat cat\r\n")) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  const std::u16string path = tree_.Write(u"wide.txt", bytes);
  FileFindParamsIn params;
  params.text = u"cat";
  frame_.preview.Request(Record(path), params);
  ASSERT_TRUE(frame_.DeliverReport());
  const PreviewDocument& doc = frame_.preview.Document();
  ASSERT_EQ(doc.line_starts.size(), 3u);

  // The third entry: the second match of line 3.
  const POINT at = PointOf(Rich(), doc.line_starts[2] + 3);
  SendMessageW(Rich(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ASSERT_TRUE(PumpUntil([&] { return frame_.preview.CurrentTab() == CMatchPreview::kFileTab; }));
  EXPECT_EQ(U8(FileViewText()), U8(u"\x00e9 cat\r\nx\r\ncat cat\r\n"));
  DWORD start = 0, end = 0;
  SendMessageW(frame_.preview.FileView(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 14u);
  EXPECT_EQ(end, 17u);
  EXPECT_TRUE(IsWindowVisible(frame_.preview.FileView()));
}

TEST_F(PreviewGui, FileWithoutHandlerSaysSoInsteadOfPreparingForEver) {
  const std::u16string path = tree_.Write(u"tool.exe", "cat");
  FileFindParamsIn params;
  params.text = u"cat";
  frame_.preview.Request(Record(path), params);
  EXPECT_TRUE(PumpUntil([&] {
    return U8(ViewText(Rich())) == "No preview is available for this file.";
  })) << U8(ViewText(Rich()));
  EXPECT_EQ(frame_.queue.Size(), 0u);
}

TEST_F(PreviewGui, CtrlCCopiesTheMatchViewSelection) {
  FileResult record = Record(tree_.Write(u"r.txt", "x"));
  record.matches = {{7, u"one two", {{0, 3}}, 0}};
  FileFindParamsIn params;
  params.text = u"one";
  params.replace = true;
  params.replace_text = u"1";
  frame_.preview.Request(record, params);
  SendMessageW(Rich(), EM_SETSEL, 0, -1);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  const MSG msg{Rich(), WM_KEYDOWN, 'C', 0, 0, {}};
  EXPECT_FALSE(frame_.preview.PreTranslateMessage(&msg));
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  ASSERT_TRUE(OpenClipboard(frame_.Handle()));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(U8(Utf16(copied)).substr(0, 10), "7\tone1 two");
}

}  // namespace
}  // namespace ui
