// GUI tests of the toolkit under Wine: real windows driven with messages.
// Flat buttons, tabs, list columns, the rich edit, notification routing,
// binding and unbinding, the anchored layout, links, the themed border, the
// buttoned edit, the message box (answered from another thread) and the fault
// rule (in a child process). What depends on the scale and the keyboard is in
// toolkit_dpi_gui_test.cpp.
#include <gtest/gtest.h>
#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "control_gallery.h"
#include "gui_test_support.h"
#include "res/toolkit_test_resources.h"
#include "toolkit/anchored_layout.h"
#include "toolkit/application.h"
#include "toolkit/buttoned_edit.h"
#include "toolkit/dialog_template.h"
#include "toolkit/fault_guard.h"
#include "toolkit/flat_button.h"
#include "toolkit/hyperlink.h"
#include "toolkit/list_control.h"
#include "toolkit/logic/message_box_layout.h"
#include "toolkit/message_box.h"
#include "toolkit/messages.h"
#include "toolkit/rich_edit_control.h"
#include "toolkit/tab_control.h"
#include "toolkit/themed_border.h"

namespace {

// ---- Flat button ----

void Click(HWND button) {
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, Point(5, 5));
}

TEST_F(ToolkitGui, FlatButtonsCycleAndReport) {
  struct Case {
    const char* name;
    bool three_state;
    std::vector<int> states;  // after each click
  };
  const Case cases[] = {{"toggle", false, {1, 0, 1}}, {"three-state", true, {1, 2, 0, 1}}};
  for (const Case& c : cases) {
    CFlatButton button;
    button.Attach(Child(L"BUTTON", BS_OWNERDRAW, 10, 10, 24, 24));
    ASSERT_TRUE(button.SetIcon(IDI_FLAT_MAIN));
    if (c.three_state) {
      ASSERT_TRUE(button.SetSecondIcon(IDI_FLAT_SECOND));
    }
    frame_.posted.clear();
    std::vector<int> seen;
    for (size_t i = 0; i < c.states.size(); ++i) {
      Click(button.Handle());
      seen.push_back(button.GetState());
      EXPECT_EQ(button.Send(BM_GETCHECK), c.states[i]) << c.name;
    }
    EXPECT_EQ(seen, c.states) << c.name;
    Pump();
    ASSERT_EQ(frame_.Count(WM_FLATBUTTON_CLICKED), static_cast<int>(c.states.size())) << c.name;
    EXPECT_EQ(frame_.posted[0].wparam, reinterpret_cast<WPARAM>(button.Handle())) << c.name;
    button.Destroy();
  }
}

TEST_F(ToolkitGui, DisabledFlatButtonReadsZeroAndIgnoresClicks) {
  CFlatButton button;
  button.Attach(Child(L"BUTTON", BS_OWNERDRAW, 10, 10, 24, 24));
  button.SetState(1);
  button.SetEnabled(false);
  EXPECT_EQ(button.GetState(), 0);
  EXPECT_FALSE(button.GetCheck());
  EXPECT_FALSE(button.IsEnabled());
  EXPECT_TRUE(IsWindowEnabled(button.Handle()));  // the flag is the button's own
  Click(button.Handle());
  SendMessageW(button.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(5, 5));
  Pump();
  EXPECT_EQ(frame_.Count(WM_FLATBUTTON_CLICKED), 0);
  button.SetEnabled(true);
  EXPECT_EQ(button.GetState(), 1);
}

TEST_F(ToolkitGui, DoubleClickAdvancesThreeStateButtonOneMoreStep) {
  CFlatButton button;
  button.Attach(Child(L"BUTTON", BS_OWNERDRAW, 10, 10, 24, 24));
  ASSERT_TRUE(button.SetIcon(IDI_FLAT_MAIN));
  ASSERT_TRUE(button.SetSecondIcon(IDI_FLAT_SECOND));
  // The system sends a double click as down, up, double click, up.
  Click(button.Handle());
  SendMessageW(button.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(5, 5));
  SendMessageW(button.Handle(), WM_LBUTTONUP, 0, Point(5, 5));
  EXPECT_EQ(button.GetState(), 2);
  Pump();
  EXPECT_EQ(frame_.Count(WM_FLATBUTTON_CLICKED), 2);
}

// ---- Tab control ----

std::vector<std::wstring> TabTexts(const CTabControl& tabs) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < tabs.TabCount(); ++i) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    tabs.Send(TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    texts.push_back(text);
  }
  return texts;
}

void AddTabs(CTabControl& tabs, std::initializer_list<const wchar_t*> names) {
  int i = 0;
  for (const wchar_t* name : names) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(name);
    item.lParam = 100 + i;
    tabs.Send(TCM_INSERTITEMW, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&item));
  }
}

POINT TabCenter(const CTabControl& tabs, int index) {
  RECT r{};
  tabs.Send(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(ToolkitGui, MiddleClickAsksToCloseOnlyWhenSeveralTabs) {
  struct Case {
    int tabs;
    int clicked;
    int posted_index;  // -1: nothing posted
  };
  const Case cases[] = {{1, 0, -1}, {2, 1, 1}, {2, 0, 0}, {3, 2, 2}};
  const wchar_t* names[] = {L"One", L"Two", L"Three"};
  for (const Case& c : cases) {
    CTabControl tabs;
    tabs.Attach(Child(WC_TABCONTROLW, 0, 10, 10, 400, 30));
    for (int i = 0; i < c.tabs; ++i) AddTabs(tabs, {names[i]});
    frame_.posted.clear();
    const POINT p = TabCenter(tabs, c.clicked);
    tabs.Send(WM_MBUTTONDOWN, MK_MBUTTON, Point(p.x, p.y));
    tabs.Send(WM_MBUTTONUP, 0, Point(p.x, p.y));
    Pump();
    if (c.posted_index < 0) {
      EXPECT_EQ(frame_.Count(WM_TAB_MIDDLECLICK), 0) << c.tabs << " tabs";
    } else {
      ASSERT_EQ(frame_.Count(WM_TAB_MIDDLECLICK), 1) << c.tabs << " tabs";
      EXPECT_EQ(static_cast<int>(frame_.posted[0].wparam), c.posted_index);
    }
    tabs.Destroy();
    DestroyWindow(GetWindow(frame_.Handle(), GW_CHILD));
  }
}

TEST_F(ToolkitGui, MoveTabKeepsValuesAndSelection) {
  CTabControl tabs;
  tabs.Attach(Child(WC_TABCONTROLW, 0, 10, 10, 400, 30));
  AddTabs(tabs, {L"A", L"B", L"C", L"D"});
  tabs.Send(TCM_SETCURSEL, 1);  // B
  ASSERT_TRUE(tabs.MoveTab(0, 2));
  EXPECT_EQ(TabTexts(tabs), (std::vector<std::wstring>{L"B", L"C", L"A", L"D"}));
  EXPECT_EQ(tabs.Send(TCM_GETCURSEL), 0);  // still on B
  TCITEMW item{};
  item.mask = TCIF_PARAM;
  tabs.Send(TCM_GETITEMW, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.lParam, 100);  // A's value went with it
  ASSERT_TRUE(tabs.MoveTab(3, 0));
  EXPECT_EQ(TabTexts(tabs), (std::vector<std::wstring>{L"D", L"B", L"C", L"A"}));
  EXPECT_EQ(tabs.Send(TCM_GETCURSEL), 1);
  EXPECT_FALSE(tabs.MoveTab(0, 4));
}

INPUT MouseInput(DWORD flags, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return input;
}

// DragDetect follows the real mouse button, so the drag is made of input
// events rather than messages sent to the control.
TEST_F(ToolkitGui, DraggingATabMovesIt) {
  CTabControl tabs;
  tabs.Attach(Child(WC_TABCONTROLW, 0, 10, 10, 400, 30));
  AddTabs(tabs, {L"First", L"Second", L"Third"});
  SetForegroundWindow(frame_.Handle());
  Pump();
  POINT from = TabCenter(tabs, 0), to = TabCenter(tabs, 2);
  ClientToScreen(tabs.Handle(), &from);
  ClientToScreen(tabs.Handle(), &to);
  INPUT inputs[] = {MouseInput(0, from), MouseInput(MOUSEEVENTF_LEFTDOWN, from),
                    MouseInput(0, {(from.x + to.x) / 2, to.y}), MouseInput(0, to),
                    MouseInput(MOUSEEVENTF_LEFTUP, to)};
  ASSERT_EQ(SendInput(5, inputs, sizeof(INPUT)), 5u);
  const std::vector<std::wstring> moved{L"Second", L"Third", L"First"};
  const DWORD start = GetTickCount();
  while (TabTexts(tabs) != moved && GetTickCount() - start < 10000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    Pump();
  }
  EXPECT_EQ(TabTexts(tabs), moved);
  EXPECT_NE(GetCapture(), tabs.Handle());
}

// ---- List control ----

HWND MakeList(HWND frame, CListControl& list) {
  HWND hwnd = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 400,
                              200, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
  list.Attach(hwnd);
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(L"Column");
    column.cx = 100;
    list.Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  return hwnd;
}

TEST_F(ToolkitGui, ListColumnsStayAtLeastTwentyPixelsWide) {
  const struct {
    int requested, expected;
  } set_cases[] = {{0, 20}, {5, 20}, {19, 20}, {20, 20}, {45, 45}, {150, 150}};
  for (const auto& c : set_cases) {
    CListControl list;
    MakeList(frame_.Handle(), list);
    list.Send(LVM_SETCOLUMNWIDTH, 0, c.requested);
    Pump();
    EXPECT_EQ(list.Send(LVM_GETCOLUMNWIDTH, 0), c.expected) << "set " << c.requested;
    list.Destroy();
    DestroyWindow(GetWindow(frame_.Handle(), GW_CHILD));
  }
}

TEST_F(ToolkitGui, DraggingAColumnDividerStopsAtTwentyPixels) {
  const struct {
    int drop_x, expected;  // x of the release in header coordinates
  } cases[] = {{3, 20}, {15, 20}, {59, 60}};
  for (const auto& c : cases) {
    CListControl list;
    MakeList(frame_.Handle(), list);
    HWND header = reinterpret_cast<HWND>(list.Send(LVM_GETHEADER));
    RECT r{};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    const int y = (r.top + r.bottom) / 2;
    // Pressed one pixel left of the divider: the header keeps that offset,
    // so a release at x gives the column a width of x + 1.
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, Point(r.right - 1, y));
    SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, Point(c.drop_x, y));
    SendMessageW(header, WM_LBUTTONUP, 0, Point(c.drop_x, y));
    Pump();
    EXPECT_EQ(list.Send(LVM_GETCOLUMNWIDTH, 0), c.expected) << "dropped at " << c.drop_x;
    list.Destroy();
    DestroyWindow(GetWindow(frame_.Handle(), GW_CHILD));
  }
}

TEST_F(ToolkitGui, ListIsDoubleBufferedFromOsLevelTwo) {
  EXPECT_EQ(CApplication::Get().OsLevel(), 4);  // Wine reports Windows 10
  CListControl buffered;
  MakeList(frame_.Handle(), buffered);
  EXPECT_TRUE(buffered.Send(LVM_GETEXTENDEDLISTVIEWSTYLE) & LVS_EX_DOUBLEBUFFER);
  CApplication::Get().SetOsLevel(1);
  CListControl classic;
  MakeList(frame_.Handle(), classic);
  EXPECT_FALSE(classic.Send(LVM_GETEXTENDEDLISTVIEWSTYLE) & LVS_EX_DOUBLEBUFFER);
  HDC dc = GetDC(classic.Handle());
  EXPECT_EQ(classic.Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 1);
  ReleaseDC(classic.Handle(), dc);
  RedrawWindow(classic.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(classic.Handle(), &update, FALSE));  // painting validated it
  CApplication::Get().SetOsLevel(4);
}

// ---- Rich edit ----

class RichEditTest : public ToolkitGui {
 protected:
  void SetUp() override {
    ToolkitGui::SetUp();
    ASSERT_TRUE(CRichEditControl::LoadRichEditLibrary());
    edit_.Attach(
        Child(L"RichEdit20W", ES_MULTILINE | ES_READONLY, 10, 10, 400, 200, WS_EX_CLIENTEDGE));
    ASSERT_NE(edit_.Handle(), nullptr);
  }
  void TearDown() override {
    edit_.Destroy();
    ToolkitGui::TearDown();
  }

  CHARFORMAT2W FormatOf(int start, int end) {
    CHARRANGE saved{};
    edit_.Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    CHARRANGE range{start, end};
    edit_.Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W f{};
    f.cbSize = sizeof(f);
    f.dwMask = CFM_COLOR | CFM_BACKCOLOR | CFM_STRIKEOUT | CFM_LINK;
    edit_.Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    edit_.Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    return f;
  }

  CRichEditControl edit_;
};

TEST_F(RichEditTest, AppendAndInsertBuildTheText) {
  EXPECT_EQ(edit_.TextLength(), 0);
  edit_.AppendText(L"alpha");
  edit_.AppendText(L" gamma");
  edit_.InsertText(5, L" beta");
  EXPECT_EQ(edit_.GetText(), L"alpha beta gamma");
  EXPECT_EQ(edit_.TextLength(), 16);
  edit_.AppendText(L" \x0394\x05D0");  // beyond the ANSI code page: code page 1200 keeps them
  EXPECT_EQ(edit_.GetText(), L"alpha beta gamma \x0394\x05D0");
}

TEST_F(RichEditTest, CharacterEffectsApplyToTheirRangesAndKeepTheSelection) {
  edit_.AppendText(L"alpha beta gamma delta");
  CHARRANGE chosen{2, 3};
  edit_.Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&chosen));
  edit_.SetTextColor(0, 5, RGB(255, 0, 0));
  edit_.SetBackColor(6, 10, RGB(255, 255, 0));
  edit_.SetStrikeOut(11, 16, true);
  edit_.SetLink(17, 22, true);
  CHARRANGE after{};
  edit_.Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
  EXPECT_EQ(after.cpMin, 2);
  EXPECT_EQ(after.cpMax, 3);

  const CHARFORMAT2W red = FormatOf(0, 5);
  EXPECT_EQ(red.crTextColor, RGB(255, 0, 0));
  EXPECT_FALSE(red.dwEffects & CFE_AUTOCOLOR);
  const CHARFORMAT2W marked = FormatOf(6, 10);
  EXPECT_EQ(marked.crBackColor, RGB(255, 255, 0));
  EXPECT_FALSE(marked.dwEffects & CFE_AUTOBACKCOLOR);
  EXPECT_TRUE(FormatOf(11, 16).dwEffects & CFE_STRIKEOUT);
  EXPECT_TRUE(FormatOf(17, 22).dwEffects & CFE_LINK);
  // The characters between the ranges are untouched.
  const CHARFORMAT2W gap = FormatOf(10, 11);
  EXPECT_FALSE(gap.dwEffects & (CFE_STRIKEOUT | CFE_LINK));
  EXPECT_TRUE(gap.dwEffects & CFE_AUTOBACKCOLOR);
  edit_.SetStrikeOut(11, 16, false);
  EXPECT_FALSE(FormatOf(11, 16).dwEffects & CFE_STRIKEOUT);
}

UINT MenuState(HMENU menu, UINT command) { return GetMenuState(menu, command, MF_BYCOMMAND); }

void SetClipboardText(HWND owner, const wchar_t* text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  if (text) {
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
  }
  CloseClipboard();
}

TEST_F(RichEditTest, ContextMenuGraysWhatCannotBeDone) {
  edit_.AppendText(L"some text");
  struct Case {
    const char* name;
    bool read_only;
    CHARRANGE selection;
    const wchar_t* clipboard;
    bool cut, copy, paste, del;  // enabled?
  };
  const Case cases[] = {
      {"read-only, nothing selected", true, {0, 0}, L"x", false, false, false, false},
      {"read-only, selection", true, {0, 4}, L"x", false, true, false, false},
      {"editable, clipboard text", false, {0, 4}, L"x", true, true, true, true},
      {"editable, empty clipboard", false, {1, 1}, nullptr, true, false, false, true},
  };
  for (const Case& c : cases) {
    edit_.Send(EM_SETREADONLY, c.read_only);
    edit_.Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&c.selection));
    SetClipboardText(frame_.Handle(), c.clipboard);
    HMENU menu = edit_.BuildContextMenu();
    const auto enabled = [&](UINT id) { return !(MenuState(menu, id) & MF_GRAYED); };
    EXPECT_EQ(enabled(CRichEditControl::kCut), c.cut) << c.name;
    EXPECT_EQ(enabled(CRichEditControl::kCopy), c.copy) << c.name;
    EXPECT_EQ(enabled(CRichEditControl::kPaste), c.paste) << c.name;
    EXPECT_EQ(enabled(CRichEditControl::kDelete), c.del) << c.name;
    EXPECT_TRUE(enabled(CRichEditControl::kSelectAll)) << c.name;
    EXPECT_EQ(GetMenuItemCount(menu), 6) << c.name;
    DestroyMenu(menu);
  }
  edit_.RunMenuCommand(CRichEditControl::kSelectAll);
  CHARRANGE all{};
  edit_.Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&all));
  EXPECT_EQ(all.cpMin, 0);
  EXPECT_GE(all.cpMax, edit_.TextLength());  // the final paragraph mark may be included
}

TEST_F(RichEditTest, DoubleClickPostsGotoToTheParent) {
  edit_.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(7, 9));
  Pump();
  ASSERT_EQ(frame_.Count(WM_PREVIEW_GOTO), 1);
  const auto it =
      std::find_if(frame_.posted.begin(), frame_.posted.end(),
                   [](const CTestFrame::Posted& p) { return p.msg == WM_PREVIEW_GOTO; });
  EXPECT_EQ(it->wparam, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(it->lparam, Point(7, 9));
}

// ---- Notification routing ----

class CRecordingControl : public CWindow {
 public:
  std::vector<UINT> reflected;
  LRESULT answer = 0;
  void OnReflectedNotify(NMHDR* header, LRESULT* result) override {
    reflected.push_back(header->code);
    if (answer) *result = answer;
  }
};

TEST_F(ToolkitGui, NotificationsAreReflectedToTheSendingControl) {
  CRecordingControl control;
  control.Attach(Child(L"STATIC", 0, 10, 10, 50, 20));
  HWND bystander = Child(L"STATIC", 0, 10, 40, 50, 20);
  struct Case {
    const char* name;
    HWND from;
    UINT code;
    HWND tool;  // the tooltip request's application value
    LRESULT answer;
    bool reflected;
    LRESULT result;
  };
  const Case cases[] = {
      {"from the control", control.Handle(), NM_CLICK, nullptr, 0, true, 0},
      {"answered by the control", control.Handle(), NM_RCLICK, nullptr, 5, true, 5},
      {"tooltip text for the control", bystander, TTN_GETDISPINFOW, control.Handle(), 0, true, 0},
      {"tooltip text for another", control.Handle(), TTN_GETDISPINFOW, bystander, 0, false, 0},
      {"from a window without object", bystander, NM_CLICK, nullptr, 0, false, 0},
  };
  for (const Case& c : cases) {
    control.reflected.clear();
    control.answer = c.answer;
    frame_.notified.clear();
    frame_.saw_notify_in_window_proc = false;
    NMTTDISPINFOW n{};
    n.hdr = {c.from, 1, c.code};
    n.lParam = reinterpret_cast<LPARAM>(c.tool);
    const LRESULT result = frame_.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&n));
    EXPECT_EQ(frame_.notified, std::vector<UINT>{c.code}) << c.name;
    EXPECT_EQ(control.reflected.size(), c.reflected ? 1u : 0u) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
    // An answered notification does not reach the window procedure.
    EXPECT_EQ(frame_.saw_notify_in_window_proc, c.result == 0) << c.name;
  }
}

class CRecordingDialog : public CWindow {
 public:
  INT_PTR DialogProc(UINT, WPARAM, LPARAM) override { return FALSE; }
};

TEST_F(ToolkitGui, DialogAnswersNotificationsThroughMessageResult) {
  CDialogTemplateBuilder builder;
  builder.SetDialog(WS_CHILD | WS_VISIBLE, 0, 0, 0, 100, 50, u"");
  builder.SetFont(8, u"MS Shell Dlg");
  builder.AddItem({CDialogTemplateItem::kStatic, 77, WS_CHILD | WS_VISIBLE, 5, 5, 40, 10, u"x"});
  const auto words = builder.Build();
  CRecordingDialog dialog;
  HWND hwnd = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()),
      frame_.Handle(), &CWindow::SharedDialogProc, reinterpret_cast<LPARAM>(&dialog));
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(dialog.Handle(), hwnd);
  EXPECT_EQ(CWindow::FromHandle(hwnd), &dialog);
  CRecordingControl control;
  control.Attach(GetDlgItem(hwnd, 77));
  control.answer = 9;
  NMHDR n{control.Handle(), 77, NM_DBLCLK};
  EXPECT_EQ(SendMessageW(hwnd, WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&n)), 9);
  EXPECT_EQ(control.reflected, std::vector<UINT>{NM_DBLCLK});
  DestroyWindow(hwnd);
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_EQ(control.Handle(), nullptr);
}

// ---- Binding ----

WNDPROC ProcOf(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

TEST_F(ToolkitGui, AttachSubclassesOnceAndForeignWrappersLeaveItAlone) {
  HWND edit = Child(WC_EDITW, 0, 10, 10, 100, 20);
  const WNDPROC original = ProcOf(edit);
  CWindow first, second;
  first.Attach(edit);
  EXPECT_EQ(ProcOf(edit), &CWindow::SharedWindowProc);
  EXPECT_EQ(CWindow::FromHandle(edit), &first);
  first.SetText(L"through the subclass");
  EXPECT_EQ(first.GetText(), L"through the subclass");  // the edit's own procedure still runs

  second.Attach(edit, true);
  EXPECT_EQ(second.Handle(), edit);
  EXPECT_EQ(CWindow::FromHandle(edit), &first);
  second.Destroy();  // foreign: neither destroys, unsubclasses nor unregisters
  EXPECT_TRUE(IsWindow(edit));
  EXPECT_EQ(ProcOf(edit), &CWindow::SharedWindowProc);
  EXPECT_EQ(CWindow::FromHandle(edit), &first);

  first.Destroy();
  EXPECT_TRUE(IsWindow(edit));
  EXPECT_EQ(ProcOf(edit), original);
  EXPECT_EQ(CWindow::FromHandle(edit), nullptr);
}

TEST_F(ToolkitGui, OwningObjectDestroysItsWindow) {
  HWND edit = Child(WC_EDITW, 0, 10, 10, 100, 20);
  {
    CWindow owner;
    owner.Attach(edit, true);
  }
  EXPECT_FALSE(IsWindow(edit));
}

// Regression: a window destroyed behind its object's back left the object
// holding the handle and the map routing it, so a new window that reused the
// handle value was taken for the old one.
TEST_F(ToolkitGui, DestroyedWindowReleasesItsObject) {
  HWND edit = Child(WC_EDITW, 0, 10, 10, 100, 20);
  CWindow window;
  window.Attach(edit);
  DestroyWindow(edit);
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_EQ(CWindow::FromHandle(edit), nullptr);
}

TEST_F(ToolkitGui, SetTextOnAStaleHandleThrows) {
  HWND edit = Child(WC_EDITW, 0, 10, 10, 100, 20);
  CWindow bound, foreign;
  bound.Attach(edit);
  foreign.Attach(edit);
  DestroyWindow(edit);
  try {
    foreign.SetText(L"x");
    FAIL() << "SetText on a destroyed window did not throw";
  } catch (const CWindowError& e) {
    EXPECT_STREQ(e.what(), "SetText failed");
    EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  }
}

TEST_F(ToolkitGui, GeometryHelpers) {
  CWindow child;
  child.Attach(Child(WC_STATICW, 0, 30, 40, 120, 60));
  EXPECT_EQ(child.Width(), 120);
  EXPECT_EQ(child.Height(), 60);
  EXPECT_EQ(child.PositionInParent().x, 30);
  EXPECT_EQ(child.PositionInParent().y, 40);
  child.Move(-1, 70);
  child.Resize(90, -1);
  EXPECT_EQ(child.PositionInParent().x, 30);
  EXPECT_EQ(child.PositionInParent().y, 70);
  EXPECT_EQ(child.Width(), 90);
  EXPECT_EQ(child.Height(), 60);
  child.Enable(false);
  EXPECT_FALSE(child.IsEnabled());
}

// ---- Anchored layout ----

RECT ChildRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(ToolkitGui, AnchoredChildrenFollowTheClientArea) {
  HWND stretch = Child(WC_STATICW, 0, 10, 10, 200, 20);
  HWND corner = Child(WC_BUTTONW, 0, 300, 300, 80, 24);
  HWND centred = Child(WC_STATICW, 0, 100, 100, 50, 20);
  CAnchoredLayout layout;
  layout.SetParent(frame_.Handle());
  layout.Add(stretch, toolkit::kAnchorLeft | toolkit::kAnchorRight | toolkit::kAnchorTop);
  layout.Add(corner, toolkit::kAnchorRight | toolkit::kAnchorBottom);
  layout.Add(centred, 0);
  RECT before{};
  GetClientRect(frame_.Handle(), &before);
  SetWindowPos(frame_.Handle(), nullptr, 0, 0, 700, 470, SWP_NOMOVE | SWP_NOZORDER);
  RECT after{};
  GetClientRect(frame_.Handle(), &after);
  const int dx = after.right - before.right, dy = after.bottom - before.bottom;
  ASSERT_GT(dx, 0);
  layout.Update();
  const RECT s = ChildRect(stretch), c = ChildRect(corner), m = ChildRect(centred);
  EXPECT_EQ(s.left, 10);
  EXPECT_EQ(s.right, 210 + dx);
  EXPECT_EQ(c.left, 300 + dx);
  EXPECT_EQ(c.top, 300 + dy);
  EXPECT_EQ(m.left, 100 + dx / 2);
  EXPECT_EQ(m.top, 100 + dy / 2);
}

// ---- Hyperlink ----

class CCountingLink : public CHyperLink {
 public:
  int hovers = 0, leaves = 0;
  void OnHover() override { ++hovers; }
  void OnLeave() override { ++leaves; }
};

COLORREF LinkTextColor(HWND parent, HWND control) {
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(control));
  const COLORREF color = GetTextColor(dc);
  DeleteDC(dc);
  return color;
}

bool Underlined(HWND control) {
  LOGFONTW lf{};
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  GetObjectW(font ? font : GetStockObject(SYSTEM_FONT), sizeof(lf), &lf);
  return lf.lfUnderline != 0;
}

TEST_F(ToolkitGui, HyperLinkColoursHoverAndCursor) {
  HWND text = Child(WC_STATICW, 0, 10, 10, 150, 20, 0, L"Varnel home page");
  HWND plain = Child(WC_STATICW, 0, 10, 40, 150, 20, 0, L"Plain text");
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  CCountingLink link;
  ASSERT_TRUE(link.Attach(text, L"https://varnel.invalid/"));
  EXPECT_TRUE(GetWindowLongPtrW(text, GWL_STYLE) & SS_NOTIFY);
  EXPECT_EQ(LinkTextColor(frame_.Handle(), text), RGB(0, 0, 255));
  EXPECT_NE(LinkTextColor(frame_.Handle(), plain), RGB(0, 0, 255));
  link.SetVisited(true);
  EXPECT_EQ(LinkTextColor(frame_.Handle(), text), RGB(128, 0, 128));

  EXPECT_FALSE(Underlined(text));
  SendMessageW(text, WM_MOUSEMOVE, 0, Point(3, 3));
  EXPECT_TRUE(Underlined(text));
  EXPECT_EQ(GetCapture(), text);
  EXPECT_EQ(link.hovers, 1);
  EXPECT_EQ(SendMessageW(text, WM_SETCURSOR, reinterpret_cast<WPARAM>(text), HTCLIENT), TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  SendMessageW(text, WM_MOUSEMOVE, 0, Point(-4, -4));
  EXPECT_FALSE(Underlined(text));
  EXPECT_NE(GetCapture(), text);
  EXPECT_EQ(link.leaves, 1);
}

TEST_F(ToolkitGui, HyperLinkReactsOnlyOverItsText) {
  HWND text = Child(WC_STATICW, 0, 10, 10, 300, 20, 0, L"Varnel home page");
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  CCountingLink link;
  ASSERT_TRUE(link.Attach(text, L"https://varnel.invalid/"));
  const struct {
    int x;  // in the control; the text is about 90 pixels wide
    LRESULT hit;
    bool hover;
  } cases[] = {{4, HTCLIENT, true}, {280, HTTRANSPARENT, false}};
  for (const auto& c : cases) {
    POINT p{c.x, 5};
    ClientToScreen(text, &p);
    EXPECT_EQ(SendMessageW(text, WM_NCHITTEST, 0, Point(p.x, p.y)), c.hit) << c.x;
    SendMessageW(text, WM_MOUSEMOVE, 0, Point(c.x, 5));
    EXPECT_EQ(Underlined(text), c.hover) << c.x;
    EXPECT_EQ(GetCapture() == text, c.hover) << c.x;
    ReleaseCapture();
  }
  // Moving from the text onto the blank part ends the hover.
  SendMessageW(text, WM_MOUSEMOVE, 0, Point(4, 5));
  SendMessageW(text, WM_MOUSEMOVE, 0, Point(280, 5));
  EXPECT_FALSE(Underlined(text));
  EXPECT_NE(GetCapture(), text);
}

// Regression: moved by a layout, the link kept the pixels copied from its
// old place and stayed blank until the mouse passed over it.
TEST_F(ToolkitGui, MovedHyperLinkDrawsItselfAgain) {
  HWND text = Child(WC_STATICW, 0, 10, 10, 150, 20, 0, L"Varnel home page");
  CCountingLink link;
  ASSERT_TRUE(link.Attach(text, L"https://varnel.invalid/"));
  const UINT paint_now = RDW_UPDATENOW | RDW_ALLCHILDREN;
  RedrawWindow(frame_.Handle(), nullptr, nullptr, paint_now);
  RECT update{};
  ASSERT_FALSE(GetUpdateRect(text, &update, FALSE));
  SetWindowPos(text, nullptr, 60, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(GetUpdateRect(text, &update, FALSE)) << "the moved link is not drawn again";
  RedrawWindow(frame_.Handle(), nullptr, nullptr, paint_now);
  const std::vector<COLORREF> pixels = WindowPixels(text);
  EXPECT_GT(std::count(pixels.begin(), pixels.end(), RGB(0, 0, 255)), 10) << "no blue text";
}

// ---- Themed border ----

TEST_F(ToolkitGui, ThemedBorderReplacesTheClassicOneOnlyUnderAVisualStyle) {
  ASSERT_TRUE(CThemedBorder::Available());  // Wine's UxTheme.dll has every function
  ASSERT_TRUE(CRichEditControl::LoadRichEditLibrary());
  struct Case {
    const char* name;
    bool theme_active;
  };
  for (const Case& c : {Case{"classic appearance", false}, Case{"visual style", true}}) {
    CThemedBorder::SetThemeActiveForTesting(c.theme_active);
    HWND edit = Child(L"RichEdit20W", ES_MULTILINE, 10, 10, 200, 100, WS_EX_CLIENTEDGE);
    RECT client_before{};
    GetClientRect(edit, &client_before);
    ASSERT_TRUE(CThemedBorder::Apply(edit)) << c.name;
    ASSERT_TRUE(CThemedBorder::Apply(edit)) << c.name;  // a second time changes nothing
    const bool client_edge = GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
    EXPECT_EQ(client_edge, !c.theme_active) << c.name;
    EXPECT_EQ(CThemedBorder::Replaced(edit), c.theme_active) << c.name;
    RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    if (!c.theme_active) {
      RECT client_after{};
      GetClientRect(edit, &client_after);
      EXPECT_TRUE(EqualRect(&client_before, &client_after)) << c.name;
    } else {
      // The visual style goes away: the classic border comes back.
      CThemedBorder::SetThemeActiveForTesting(false);
      SendMessageW(edit, WM_THEMECHANGED, 0, 0);
      EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << c.name;
      EXPECT_FALSE(CThemedBorder::Replaced(edit)) << c.name;
    }
    DestroyWindow(edit);
    EXPECT_FALSE(CThemedBorder::Replaced(edit));
  }
  CThemedBorder::SetThemeActiveForTesting(std::nullopt);
}

// ---- Buttoned edit ----

TEST_F(ToolkitGui, EditButtonsTakeClientWidthAndPostTheirCommands) {
  HWND hwnd = Child(WC_EDITW, ES_AUTOHSCROLL, 10, 10, 300, 24, WS_EX_CLIENTEDGE);
  RECT plain{};
  GetClientRect(hwnd, &plain);
  CButtonedEdit edit;
  edit.Attach(hwnd);
  edit.AddButton(2013, IDI_FLAT_MAIN, IDI_FLAT_SECOND, 16, L"History");
  edit.AddButton(2014, 0, 0, 14, L"Clear");
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(plain.right - client.right, 30);  // the second has no icon to widen it

  struct Case {
    int press, release;
    int command;  // 0: none
  };
  const Case cases[] = {{0, 0, 2013}, {1, 1, 2014}, {1, 0, 0}};
  for (const Case& c : cases) {
    frame_.posted.clear();
    const RECT pr = edit.ButtonScreenRect(c.press), rr = edit.ButtonScreenRect(c.release);
    const POINT down{(pr.left + pr.right) / 2, (pr.top + pr.bottom) / 2};
    POINT up{(rr.left + rr.right) / 2, (rr.top + rr.bottom) / 2};
    EXPECT_EQ(edit.Send(WM_NCHITTEST, 0, Point(down.x, down.y)), HTBORDER);
    edit.Send(WM_NCLBUTTONDOWN, HTBORDER, Point(down.x, down.y));
    EXPECT_EQ(GetCapture(), hwnd);
    ScreenToClient(hwnd, &up);
    edit.Send(WM_LBUTTONUP, 0, Point(up.x, up.y));
    EXPECT_NE(GetCapture(), hwnd);
    Pump();
    if (c.command == 0) {
      EXPECT_EQ(frame_.Count(WM_COMMAND), 0) << c.press << "->" << c.release;
    } else {
      ASSERT_EQ(frame_.Count(WM_COMMAND), 1) << c.press << "->" << c.release;
      EXPECT_EQ(LOWORD(frame_.posted[0].wparam), c.command);
    }
  }
  POINT inside{5, 5};
  ClientToScreen(hwnd, &inside);
  EXPECT_EQ(edit.Send(WM_NCHITTEST, 0, Point(inside.x, inside.y)), HTCLIENT);
}

TEST_F(ToolkitGui, EditButtonTooltipNamesTheButtonUnderTheCursor) {
  HWND hwnd = Child(WC_EDITW, ES_AUTOHSCROLL, 10, 10, 300, 24, WS_EX_CLIENTEDGE);
  CButtonedEdit edit;
  edit.Attach(hwnd);
  edit.AddButton(2013, IDI_FLAT_MAIN, 0, 16, L"History");
  edit.AddButton(2014, 0, 0, 14, L"Clear");
  const struct {
    int button;
    const wchar_t* text;
  } cases[] = {{0, L"History"}, {1, L"Clear"}, {-1, L""}};
  for (const auto& c : cases) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    if (c.button >= 0) r = edit.ButtonScreenRect(c.button);
    ASSERT_TRUE(
        SetCursorPos(c.button >= 0 ? (r.left + r.right) / 2 : r.left + 4, (r.top + r.bottom) / 2));
    NMTTDISPINFOW info{};
    info.hdr = {nullptr, 0, TTN_GETDISPINFOW};
    info.lParam = reinterpret_cast<LPARAM>(hwnd);
    frame_.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, c.text) << c.button;
  }
}

TEST_F(ToolkitGui, ReadOnlyQuestionShowsFourButtonsAndReturnsTheirCodes) {
  for (int answer = 0; answer < 4; ++answer) {
    BoxView view;
    const int code = AskFromWorker(
        frame_.Handle(), L"File C:\\data\\report.txt is read-only. Do you want it to be replaced?",
        L"Replace", MB_ICONQUESTION, kReadOnlyButtons,
        [answer](const BoxView& v) { ClickButton(v, answer); }, &view);
    ASSERT_NE(view.box, nullptr) << "no box appeared";
    // The texts of the question, with access keys.
    EXPECT_EQ(view.captions,
              (std::vector<std::wstring>{L"&Yes", L"&No", L"Yes to &All", L"N&o to All"}));
    EXPECT_EQ(view.default_caption, L"&Yes");
    EXPECT_TRUE(view.foreground) << "the box opened behind the active window";
    EXPECT_TRUE(view.active_caption) << "the box opened with a grey caption";
    EXPECT_TRUE(view.owner_disabled) << "the owner on the interface thread stays enabled";
    EXPECT_EQ(code - toolkit::kFirstCustomButtonCode, answer);
    EXPECT_TRUE(IsWindowEnabled(frame_.Handle()));
  }
}

TEST_F(ToolkitGui, EscapeDoesNotAnswerTheReadOnlyQuestion) {
  BoxView view;
  const int code = AskFromWorker(
      frame_.Handle(), L"File x is read-only.", L"Replace", MB_ICONQUESTION, kReadOnlyButtons,
      [](const BoxView& v) {
        PostMessageW(v.box, WM_COMMAND, IDCANCEL, 0);  // Escape, the close box
        ClickButton(v, 3);
      },
      &view);
  EXPECT_EQ(code, 26);
}

TEST_F(ToolkitGui, StandardButtonSetsUseTheSystemCodes) {
  const struct {
    UINT style;
    std::vector<std::wstring> captions;
    std::wstring default_caption;
    int click;  // -1: Escape
    int code;
  } cases[] = {
      {MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONEXCLAMATION,
       {L"&Yes", L"&No", L"Cancel"},
       L"&No",
       -1,
       IDCANCEL},
      {MB_YESNOCANCEL | MB_DEFBUTTON2, {L"&Yes", L"&No", L"Cancel"}, L"&No", 0, IDYES},
      {MB_OK | MB_ICONINFORMATION, {L"OK"}, L"OK", -1, IDOK},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3,
       {L"&Abort", L"&Retry", L"&Ignore"},
       L"&Ignore",
       1,
       IDRETRY},
      {MB_RETRYCANCEL | MB_DEFBUTTON4, {L"&Retry", L"Cancel"}, L"&Retry", 1, IDCANCEL},
  };
  for (const auto& c : cases) {
    BoxView view;
    const int click = c.click;
    const int code = AskFromWorker(
        frame_.Handle(), L"Standard buttons", L"Standard", c.style, L"",
        [click](const BoxView& v) {
          if (click < 0) {
            PostMessageW(v.box, WM_COMMAND, IDCANCEL, 0);
          } else {
            ClickButton(v, click);
          }
        },
        &view);
    EXPECT_EQ(view.captions, c.captions) << c.style;
    EXPECT_EQ(view.default_caption, c.default_caption) << c.style;
    EXPECT_EQ(code, c.code) << c.style;
  }
}

// A stop icon with the system-modal bit goes to the system message box,
// which knows nothing of custom captions; an empty caption reads "Error".
TEST_F(ToolkitGui, SystemModalStopAndEmptyCaption) {
  const struct {
    const wchar_t* caption;
    const wchar_t* shown;
    UINT style;
    std::vector<std::wstring> captions;
    int code;  // of the last button
  } cases[] = {{L"Fatal", L"Fatal", MB_ICONSTOP | MB_SYSTEMMODAL, {L"OK"}, IDOK},
               {L"", L"Error", MB_ICONSTOP, {L"&Alpha", L"&Beta"}, 24}};
  for (const auto& c : cases) {
    BoxView view;
    const int code = AskFromWorker(
        frame_.Handle(), L"Something went wrong.", c.caption, c.style, L"Alpha\nBeta",
        [](const BoxView& v) { ClickButton(v, static_cast<int>(v.ids.size()) - 1); }, &view,
        c.shown);
    ASSERT_NE(view.box, nullptr) << c.style;
    EXPECT_EQ(view.captions, c.captions) << c.style;
    EXPECT_EQ(code, c.code) << c.style;
  }
}

TEST_F(ToolkitGui, MessageAndCaptionFromTheStringTable) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> result{-1};
  std::thread worker([&] {
    result = ButtonMessageBox(frame_.Handle(), IDS_TEST_MESSAGE, IDS_TEST_CAPTION,
                              MB_OK | toolkit::kMbNoSound);
    SetEvent(done);
  });
  BoxView view;
  std::thread answerer([&] {
    view = FindBox(L"Table Caption", nullptr, done);
    if (view.box) ClickButton(view, 0);
  });
  while (MsgWaitForMultipleObjects(1, &done, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) Pump();
  answerer.join();
  worker.join();
  CloseHandle(done);
  ASSERT_NE(view.box, nullptr);
  EXPECT_EQ(result, IDOK);
}

// ---- Fault rule ----

std::wstring SiblingProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.find_last_of(L"\\/") + 1) + name;
}

std::wstring StaticTexts(HWND box) {
  std::wstring all;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(c, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0) all += TextOf(c);
  }
  return all;
}

struct ProcessBoxSearch {
  DWORD process_id;
  HWND found;
};

// A visible dialog of the process whose text is a runtime error (the dialog
// case's own dialog is a #32770 window too).
BOOL CALLBACK FindRuntimeErrorBox(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<ProcessBoxSearch*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (pid == search->process_id && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd) &&
      StaticTexts(hwnd).rfind(L"Runtime error", 0) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

TEST(FaultRule, FaultInAHandlerShowsTheRuntimeErrorAndAborts) {
  const struct {
    const wchar_t* kind;
    const wchar_t* text;
  } cases[] = {
      {L"access", L"Runtime error (code = 0xc0000005)!"},
      {L"divide", L"Runtime error (code = 0xc0000094)!"},
      {L"illegal", L"Runtime error (code = 0xc000001d)!"},
      {L"stack", L"Runtime error (code = 0xc00000fd)!"},
      {L"dialog", L"Runtime error (code = 0xc0000005)!"},
      {L"settext", L"Runtime error (code = 0x578)!"},
  };
  const std::wstring program = SiblingProgram(L"toolkit_fault_child.exe");
  for (const auto& c : cases) {
    std::wstring command = L"\"" + program + L"\" " + c.kind;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi))
        << "cannot start the fault program";
    ProcessBoxSearch search{pi.dwProcessId, nullptr};
    const DWORD start = GetTickCount();
    while (!search.found && GetTickCount() - start < kWaitLimitMs) {
      EnumWindows(&FindRuntimeErrorBox, reinterpret_cast<LPARAM>(&search));
      if (!search.found && WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
    }
    std::wstring shown;
    if (search.found) {
      shown = StaticTexts(search.found);
      PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    }
    const bool ended = WaitForSingleObject(pi.hProcess, kWaitLimitMs) == WAIT_OBJECT_0;
    DWORD exit_code = 0;
    GetExitCodeProcess(pi.hProcess, &exit_code);
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const std::string kind(c.kind, c.kind + wcslen(c.kind));
    ASSERT_NE(search.found, nullptr) << kind << ": no box; exit code " << exit_code;
    EXPECT_EQ(shown, c.text) << kind;
    EXPECT_TRUE(ended) << kind;
    EXPECT_EQ(exit_code, 3u) << kind << ": not aborted";
  }
}

}  // namespace
