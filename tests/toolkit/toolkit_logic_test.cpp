// Native tests of the toolkit's window-free logic: anchored layout, flat button
// states, message box rules and layout, banner geometry, OS level, and the
// in-memory dialog template.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/dialog_template.h"
#include "toolkit/logic/anchor_layout.h"
#include "toolkit/logic/banner_geometry.h"
#include "toolkit/logic/flat_button_model.h"
#include "toolkit/logic/message_box_layout.h"
#include "toolkit/logic/os_level.h"

namespace toolkit {
namespace {

// ---- Anchored layout ----

struct AnchorCase {
  const char* name;
  unsigned flags;
  LayoutRect
      expected;  // child (10, 20, 110, 70) in client (0, 0, 200, 100) grown to (0, 0, 240, 160)
};

TEST(AnchorLayout, MovesChildByFlags) {
  const LayoutRect child{10, 20, 110, 70};
  const LayoutRect before{0, 0, 200, 100};
  const LayoutRect after{0, 0, 240, 160};
  const AnchorCase cases[] = {
      {"none: centred both ways", 0, {30, 50, 130, 100}},
      {"left+top: unchanged", kAnchorLeft | kAnchorTop, {10, 20, 110, 70}},
      {"left+right: stretch", kAnchorLeft | kAnchorRight | kAnchorTop, {10, 20, 150, 70}},
      {"right: follow", kAnchorRight | kAnchorTop, {50, 20, 150, 70}},
      {"top+bottom: stretch", kAnchorLeft | kAnchorTop | kAnchorBottom, {10, 20, 110, 130}},
      {"bottom: follow", kAnchorLeft | kAnchorBottom, {10, 80, 110, 130}},
      {"all four", kAnchorLeft | kAnchorRight | kAnchorTop | kAnchorBottom, {10, 20, 150, 130}},
      {"pin top", kAnchorLeft | kAnchorBottom | kPinTop, {10, 0, 110, 130}},
      {"pin left", kAnchorRight | kAnchorTop | kPinLeft, {0, 20, 150, 70}},
      {"pin right", kAnchorLeft | kAnchorTop | kPinRight, {10, 20, 240, 70}},
      {"pin bottom", kAnchorLeft | kAnchorTop | kPinBottom, {10, 20, 110, 160}},
  };
  for (const AnchorCase& c : cases) {
    const LayoutRect r = AnchorChild(child, c.flags, before, after);
    EXPECT_EQ(r, c.expected) << c.name << ": got " << r.left << "," << r.top << "," << r.right
                             << "," << r.bottom;
  }
}

TEST(AnchorLayout, ShrinkingMovesTheOtherWay) {
  const LayoutRect child{50, 40, 150, 60};
  const LayoutRect before{0, 0, 200, 100};
  const LayoutRect after{0, 0, 160, 80};
  EXPECT_EQ(AnchorChild(child, kAnchorRight | kAnchorBottom, before, after),
            (LayoutRect{10, 20, 110, 40}));
  EXPECT_EQ(AnchorChild(child, 0, before, after), (LayoutRect{30, 30, 130, 50}));
}

// Regression: a live resize grows the client a pixel at a time; a centred
// child must end where one large resize would put it.
TEST(AnchorLayout, CentredChildDoesNotDriftOverManySmallResizes) {
  const LayoutRect child{50, 50, 150, 70};
  const LayoutRect registered{0, 0, 200, 120};
  LayoutRect r = child;
  for (int w = 201; w <= 301; ++w) r = AnchorChild(child, 0, registered, {0, 0, w, 121});
  EXPECT_EQ(r, (LayoutRect{100, 50, 200, 70}));
}

// ---- Flat button ----

struct FlatButtonCase {
  const char* name;
  bool has_second;
  bool toggle;
  const char* events;      // C click, D double click (after its first click), X disable, E enable
  const char* transcript;  // value read after each event, '*' when a click was posted
};

std::string RunFlatButton(const FlatButtonCase& c) {
  FlatButtonModel b;
  b.SetHasSecondIcon(c.has_second);
  b.SetToggle(c.toggle);
  std::string out;
  for (const char* e = c.events; *e; ++e) {
    bool posted = false;
    if (*e == 'C') posted = b.OnClick();
    if (*e == 'D') posted = b.OnDoubleClick();
    if (*e == 'X') b.SetEnabled(false);
    if (*e == 'E') b.SetEnabled(true);
    out += static_cast<char>('0' + b.Value());
    if (posted) out += '*';
  }
  return out;
}

TEST(FlatButton, ClicksAdvanceState) {
  const FlatButtonCase cases[] = {
      {"toggle cycles 0,1,0", false, true, "CCC", "1*0*1*"},
      {"three-state cycles 0,1,2,0", true, true, "CCCC", "1*2*0*1*"},
      {"disabled state 1 reads 0", false, true, "CXE", "1*01"},
      {"disabled ignores clicks", true, true, "XCCE", "0000"},
      {"double click on toggle adds nothing", false, true, "CD", "1*1*"},
      {"double click on three-state adds a step", true, true, "CDCD", "1*2*0*1*"},
      {"double click wraps modulo 3", true, true, "CCD", "1*2*0*"},
      {"outside toggle mode only notifies", true, false, "CCD", "0*0*0*"},
  };
  for (const FlatButtonCase& c : cases) EXPECT_EQ(RunFlatButton(c), c.transcript) << c.name;
}

TEST(FlatButton, SetStateFoldsOutOfRangeValues) {
  FlatButtonModel toggle;
  toggle.SetState(2);
  EXPECT_EQ(toggle.State(), 0);
  FlatButtonModel three;
  three.SetHasSecondIcon(true);
  three.SetState(2);
  EXPECT_EQ(three.State(), 2);
  three.SetState(-1);
  EXPECT_EQ(three.State(), 0);
}

// ---- Message box rules ----

std::string Describe(const std::vector<MessageBoxButton>& buttons) {
  std::string out;
  for (const MessageBoxButton& b : buttons) {
    if (!out.empty()) out += ' ';
    out += std::to_string(b.code) + ':' + std::string(b.caption.begin(), b.caption.end());
  }
  return out;
}

TEST(MessageBoxRules, ButtonSets) {
  struct Case {
    unsigned style;
    std::u16string custom;
    std::string expected;
  };
  const Case cases[] = {
      {0x0, u"", "1:OK"},
      {0x1, u"", "1:OK 2:Cancel"},
      {0x2, u"", "3:&Abort 4:&Retry 5:&Ignore"},
      {0x3, u"", "6:&Yes 7:&No 2:Cancel"},
      {0x4 | 0x20, u"", "6:&Yes 7:&No"},
      {0x5, u"", "4:&Retry 2:Cancel"},
      {0x6, u"", "2:Cancel 10:&Try Again 11:&Continue"},
      {0xF, u"", "1:OK"},
      {0x4, u"Yes\nNo\nYes to All\nNo to All", "23:Yes 24:No 25:Yes to All 26:No to All"},
      {0x0, u"One\nTwo\nThree\nFour\nFive", "23:One 24:Two 25:Three 26:Four"},
      {0x0, u"Only", "23:Only"},
      {0x0, u"A\nB\n", "23:A 24:B"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(MessageBoxButtons(c.style, c.custom)), c.expected) << "style " << c.style;
  }
}

TEST(MessageBoxRules, CustomListIsCutAt259Characters) {
  std::u16string list(258, u'x');
  list += u"\nSecond";
  const auto buttons = MessageBoxButtons(0, list);
  ASSERT_EQ(buttons.size(), 1u);  // the second caption starts beyond the limit
  EXPECT_EQ(buttons[0].caption.size(), 258u);
}

TEST(MessageBoxRules, IconsDefaultsAndEscape) {
  EXPECT_EQ(IconFromStyle(0x00), MessageBoxIcon::kNone);
  EXPECT_EQ(IconFromStyle(0x10), MessageBoxIcon::kStop);
  EXPECT_EQ(IconFromStyle(0x24), MessageBoxIcon::kQuestion);
  EXPECT_EQ(IconFromStyle(0x30), MessageBoxIcon::kExclamation);
  EXPECT_EQ(IconFromStyle(0x40), MessageBoxIcon::kInformation);
  EXPECT_EQ(IconFromStyle(0x70), MessageBoxIcon::kExclamation);

  EXPECT_TRUE(UsesSystemMessageBox(0x1010));
  EXPECT_FALSE(UsesSystemMessageBox(0x1020));
  EXPECT_FALSE(UsesSystemMessageBox(0x0010));
  EXPECT_FALSE(UsesSystemMessageBox(0x1030));  // 0x30 shares the stop bit but is not stop

  const struct {
    unsigned style;
    int count;
    int expected;
  } defaults[] = {{0x000, 4, 0}, {0x100, 4, 1}, {0x300, 4, 3},
                  {0x300, 2, 0}, {0x400, 4, 0}, {0x400, 5, 4}};
  for (const auto& d : defaults) {
    EXPECT_EQ(DefaultButtonIndex(d.style, d.count), d.expected) << d.style << "/" << d.count;
  }

  EXPECT_EQ(EscapeButtonCode(MessageBoxButtons(0x3, u"")), 2);
  EXPECT_EQ(EscapeButtonCode(MessageBoxButtons(0x0, u"")), 1);
  EXPECT_EQ(EscapeButtonCode(MessageBoxButtons(0x4, u"")), 0);
  EXPECT_EQ(EscapeButtonCode(MessageBoxButtons(0x0, u"Yes\nNo\nYes to All\nNo to All")), 0);
}

// ---- Message box layout ----

TEST(MessageBoxLayoutTest, MaxTextWidth) {
  EXPECT_EQ(MaxMessageTextWidth(1024, false, 32), 592);
  EXPECT_EQ(MaxMessageTextWidth(1024, true, 32), 544);
  EXPECT_EQ(MaxMessageTextWidth(1920, true, 48), 976);
}

TEST(MessageBoxLayoutTest, PlacesTextIconAndRow) {
  struct Case {
    const char* name;
    MessageBoxMetrics m;
    LayoutRect icon, text, first_button;
    int client_width, client_height;
  };
  const Case cases[] = {
      // Text area 16..16+200+28; row of one button centred in it.
      {"plain",
       {200, 40, false, 32, 32, 1, false},
       {},
       {16, 16, 216, 56},
       {83, 87, 161, 110},
       244,
       122},
      // The icon pushes the text right by its width plus 16; a short text is
      // centred on the icon's height.
      // The row (2*78+6 = 162) plus 32 is wider than the text area (192).
      {"icon",
       {100, 13, true, 32, 32, 2, false},
       {16, 16, 48, 48},
       {64, 25, 164, 38},
       {16, 79, 94, 102},
       194,
       114},
      // Four buttons need 4*78+3*6 = 330; the dialog widens to 362.
      {"row wider than text",
       {40, 13, false, 32, 32, 4, false},
       {},
       {16, 16, 56, 29},
       {16, 60, 94, 83},
       362,
       95},
      {"wide buttons",
       {40, 13, false, 32, 32, 1, true},
       {},
       {16, 16, 56, 29},
       {16, 60, 116, 83},
       132,
       95},
  };
  for (const Case& c : cases) {
    const MessageBoxLayout l = LayoutMessageBox(c.m);
    EXPECT_EQ(l.icon, c.icon) << c.name;
    EXPECT_EQ(l.text, c.text) << c.name;
    ASSERT_EQ(static_cast<int>(l.buttons.size()), c.m.button_count) << c.name;
    EXPECT_EQ(l.buttons[0], c.first_button) << c.name;
    EXPECT_EQ(l.client_width, c.client_width) << c.name;
    EXPECT_EQ(l.client_height, c.client_height) << c.name;
    // The row is evenly spaced and centred.
    for (std::size_t i = 1; i < l.buttons.size(); ++i) {
      EXPECT_EQ(l.buttons[i].left, l.buttons[i - 1].right + 6) << c.name;
      EXPECT_EQ(l.buttons[i].top, l.buttons[0].top) << c.name;
    }
    const int right_gap = l.client_width - l.buttons.back().right;
    EXPECT_LE(std::abs(right_gap - l.buttons[0].left), 1) << c.name;
  }
}

// ---- Banner and OS level ----

TEST(BannerGeometryTest, ScalesTitleAndPlacesSubtitle) {
  const struct {
    int font_height, text_height, title_height, subtitle_y;
  } cases[] = {{-11, 13, -14, 27}, {-13, 16, -16, 32}, {20, 20, 26, 38}, {-8, 11, -10, 24}};
  for (const auto& c : cases) {
    const BannerGeometry g = ComputeBannerGeometry(c.font_height, c.text_height);
    EXPECT_EQ(g.title_font_height, c.title_height) << c.font_height;
    EXPECT_EQ(g.subtitle_y, c.subtitle_y) << c.text_height;
    EXPECT_EQ(g.title_weight, 700);
  }
}

TEST(OsLevel, FromVersion) {
  const struct {
    bool nt;
    unsigned major, minor;
    int level;
  } cases[] = {{true, 10, 0, 4}, {true, 6, 1, 4}, {true, 6, 0, 4}, {true, 5, 2, 3},
               {true, 5, 1, 2},  {true, 5, 0, 0}, {true, 4, 0, 0}, {false, 10, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(OsLevelFromVersion(c.nt, c.major, c.minor), c.level) << c.major << "." << c.minor;
  }
}

}  // namespace
}  // namespace toolkit

// ---- Dialog template ----

namespace {

// Reads a template back the way the dialog manager does; independent of the
// builder's code so that an alignment or field-order slip shows.
struct TemplateReader {
  const std::vector<std::uint16_t>& w;
  std::size_t pos = 0;

  std::uint16_t Word() { return w.at(pos++); }
  std::uint32_t Dword() {
    const std::uint32_t low = Word();
    return low | (static_cast<std::uint32_t>(Word()) << 16);
  }
  std::u16string String() {
    std::u16string s;
    while (std::uint16_t c = Word()) s += static_cast<char16_t>(c);
    return s;
  }
  std::u16string ClassOrString() {
    if (w.at(pos) == 0xFFFF) {
      ++pos;
      return u"#" + std::u16string(1, static_cast<char16_t>(Word()));
    }
    return String();
  }
  void Align() { pos += pos % 2; }
};

TEST(DialogTemplate, BuildsTheLayoutTheDialogManagerReads) {
  CDialogTemplateBuilder builder;
  builder.SetDialog(0x80C80000u, 0x1u, 1, 2, 300, 100, u"Replace");
  builder.SetFont(8, u"Microsoft Sans Serif");
  builder.AddItem({CDialogTemplateItem::kStatic, 0xFFFF, 0x50000000u, 7, 8, 200, 20, u"Hi"});
  CDialogTemplateItem button(CDialogTemplateItem::kButton, 23, 0x50010001u, 10, 80, 50, 14,
                             u"Yes to All");
  button.SetExStyle(0x4u);
  builder.AddItem(button);
  builder.AddItem({u"RichEdit20W", 5, 0x50000004u, 1, 1, 2, 2, u""});
  const std::vector<std::uint16_t> words = builder.Build();

  TemplateReader r{words};
  EXPECT_EQ(r.Dword(), 0x80C80040u);  // DS_SETFONT added
  EXPECT_EQ(r.Dword(), 0x1u);
  EXPECT_EQ(r.Word(), 3);
  EXPECT_EQ(r.Word(), 1);
  EXPECT_EQ(r.Word(), 2);
  EXPECT_EQ(r.Word(), 300);
  EXPECT_EQ(r.Word(), 100);
  EXPECT_EQ(r.Word(), 0);  // menu
  EXPECT_EQ(r.Word(), 0);  // class
  EXPECT_EQ(r.String(), u"Replace");
  EXPECT_EQ(r.Word(), 8);
  EXPECT_EQ(r.String(), u"Microsoft Sans Serif");

  const struct {
    std::uint32_t style, ex_style;
    std::uint16_t x, id;
    std::u16string cls, text;
  } items[] = {{0x50000000u, 0, 7, 0xFFFF, u"#\x82", u"Hi"},
               {0x50010001u, 0x4u, 10, 23, u"#\x80", u"Yes to All"},
               {0x50000004u, 0, 1, 5, u"RichEdit20W", u""}};
  for (const auto& item : items) {
    r.Align();
    EXPECT_EQ(r.pos % 2, 0u);
    EXPECT_EQ(r.Dword(), item.style);
    EXPECT_EQ(r.Dword(), item.ex_style);
    EXPECT_EQ(r.Word(), item.x);
    r.pos += 3;  // y, cx, cy
    EXPECT_EQ(r.Word(), item.id);
    EXPECT_EQ(r.ClassOrString(), item.cls);
    EXPECT_EQ(r.String(), item.text);
    EXPECT_EQ(r.Word(), 0);  // creation data
  }
  EXPECT_EQ(r.pos, words.size());
}

}  // namespace
