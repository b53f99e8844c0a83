// Native tests of the toolkit's window-free logic: anchored layout, flat button
// states and colours, DPI scaling, message wrapping, message box rules and
// layout, banner geometry, OS level, and the in-memory dialog template.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/dialog_template.h"
#include "toolkit/logic/anchor_layout.h"
#include "toolkit/logic/banner_geometry.h"
#include "toolkit/logic/dpi_scale.h"
#include "toolkit/logic/flat_button_model.h"
#include "toolkit/logic/message_box_layout.h"
#include "toolkit/logic/os_level.h"
#include "toolkit/logic/text_wrap.h"

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
  // C click, D double click (after its first click), X disable, E enable,
  // S space down (again: auto-repeat), U space up
  const char* events;
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
    if (*e == 'S') b.OnSpaceDown();
    if (*e == 'U') posted = b.OnSpaceUp();
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
      {"space toggles on release", false, true, "SUSU", "01*10*"},
      {"held space repeats nothing", true, true, "SSSU", "0001*"},
      {"space on disabled does nothing", false, true, "XSUE", "0000"},
      {"disabling forgets a held space", false, true, "SXEU", "0000"},
      {"release without press does nothing", false, true, "U", "0"},
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

TEST(FlatButton, FrameStaysVisibleOnLightAndDarkFaces) {
  constexpr unsigned kClassic = 0xC0C0C0, kWineLight = 0xF5F5F5, kDark = 0x202020;
  constexpr unsigned kGrey = 0x808080, kWhite = 0xFFFFFF;
  struct Case {
    const char* name;
    bool enabled, hover, pressed;
    int state;
    unsigned face;
    FlatButtonLook look;
  };
  const Case cases[] = {
      {"idle: no frame", true, false, false, 0, kClassic, {false, kClassic, 0, 0}},
      {"disabled and on: no frame", false, true, false, 1, kClassic, {false, kClassic, 0, 0}},
      {"classic hover: raised", true, true, false, 0, kClassic, {true, kClassic, kWhite, kGrey}},
      {"classic on: sunken", true, false, false, 1, kClassic, {true, kClassic, kGrey, kWhite}},
      {"classic pressed: sunken", true, true, true, 0, kClassic, {true, kClassic, kGrey, kWhite}},
      {"light hover: grey frame",
       true,
       true,
       false,
       0,
       kWineLight,
       {true, kWineLight, kGrey, kGrey}},
      {"light on: shaded", true, false, false, 2, kWineLight, {true, 0xCECECE, kGrey, kGrey}},
      {"light pressed: shaded", true, true, true, 0, kWineLight, {true, 0xCECECE, kGrey, kGrey}},
      {"dark on: sunken", true, false, false, 1, kDark, {true, kDark, kGrey, kWhite}},
  };
  for (const Case& c : cases) {
    const FlatButtonLook l = ChooseFlatButtonLook(c.enabled, c.hover, c.pressed, c.state, c.face);
    EXPECT_EQ(l.frame, c.look.frame) << c.name;
    EXPECT_EQ(l.fill, c.look.fill) << c.name;
    if (!c.look.frame) continue;
    EXPECT_EQ(l.top_left, c.look.top_left) << c.name;
    EXPECT_EQ(l.bottom_right, c.look.bottom_right) << c.name;
  }
}

// ---- DPI scaling ----

TEST(DpiScale, MeasuresScaleAndRound) {
  const struct {
    int value, dpi, expected;
  } scaled[] = {{78, 96, 78}, {78, 144, 117}, {78, 192, 156},  {23, 144, 35}, {1, 144, 2},
                {1, 120, 1},  {6, 120, 8},    {-16, 144, -24}, {16, 0, 16},   {32, 288, 96}};
  for (const auto& c : scaled) {
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
  }
  EXPECT_EQ(FontHeightForDpi(8, 96), -11);
  EXPECT_EQ(FontHeightForDpi(8, 144), -16);
  EXPECT_EQ(FontHeightForDpi(8, 192), -21);
  const struct {
    int width;
    bool icon;
    int dpi, expected;
  } edit_buttons[] = {{14, true, 96, 16},  {14, false, 96, 14},  {16, true, 144, 24},
                      {14, true, 192, 32}, {14, false, 192, 28}, {20, true, 96, 20}};
  for (const auto& c : edit_buttons) {
    EXPECT_EQ(EditButtonWidth(c.width, c.icon, c.dpi), c.expected) << c.width << " at " << c.dpi;
  }
}

// ---- Message wrapping ----

// One unit per code unit: line widths are lengths.
int Units(std::u16string_view s) { return static_cast<int>(s.size()); }

std::string Joined(const std::vector<std::u16string>& lines) {
  std::string out;
  for (const std::u16string& l : lines)
    out += (out.empty() ? "" : "|") + std::string(l.begin(), l.end());
  return out;
}

TEST(WrapText, BreaksAtBlanksThenAfterSeparators) {
  const struct {
    const char16_t* text;
    int width;
    const char* lines;
  } cases[] = {
      {u"abc def", 10, "abc def"},
      {u"aaa bbb ccc", 7, "aaa bbb|ccc"},
      {u"aaa   bbb", 5, "aaa|bbb"},
      // A path that fits on a line of its own is not broken.
      {u"File C:\\d\\r.txt is ro", 12, "File|C:\\d\\r.txt|is ro"},
      // A longer one continues the line and breaks after its separators.
      {u"File C:\\aaaa\\bbbb\\cccc\\x.txt is ro", 14, "File C:\\aaaa\\|bbbb\\cccc\\|x.txt is ro"},
      {u"see http://host/a/b/c", 12, "see http://|host/a/b/c"},
      // Only a name wider than a line is broken between characters.
      {u"abcdefghij", 4, "abcd|efgh|ij"},
      {u"C:\\abcdefghij\\k", 5, "C:\\|abcde|fghij|\\k"},
      {u"one\r\ntwo\nthree\rfour", 80, "one|two|three|four"},
      {u"a\n\nb", 80, "a||b"},
      {u"", 80, ""},
      {u"ab", 0, "a|b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Joined(WrapText(c.text, c.width, Units)), c.lines) << "width " << c.width;
  }
  // A surrogate pair is never split, however narrow the line.
  EXPECT_EQ(WrapText(u"\U0001F600\U0001F600", 1, Units),
            (std::vector<std::u16string>{u"\U0001F600", u"\U0001F600"}));
}

// Every width from 1 to past the whole text: lines fit unless they are one
// character, nothing is lost but the blanks at breaks, and a word is broken
// only after a separator or when it is wider than the line.
TEST(WrapText, SweepKeepsTheTextAndTheWidth) {
  const std::u16string text =
      u"File C:\\Users\\someone\\Documents\\a rather long folder\\report-2024.txt is read-only.";
  for (int width = 1; width <= static_cast<int>(text.size()) + 1; ++width) {
    const std::vector<std::u16string> lines = WrapText(text, width, Units);
    std::u16string rebuilt;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::u16string& l = lines[i];
      EXPECT_TRUE(Units(l) <= width || l.size() == 1) << width << ": " << Joined(lines);
      rebuilt += l;
      if (i + 1 == lines.size()) continue;
      const std::size_t end = rebuilt.size();
      ASSERT_LT(end, text.size());
      if (text[end] == u' ') {
        rebuilt += u' ';  // the break took the blank
        continue;
      }
      // Otherwise the line ends inside a word: after a separator, or in a
      // word that fills a whole line.
      const bool after_separator = l.back() == u'\\';
      const bool fills_line = l.find(u' ') == std::u16string::npos && Units(l) == width;
      EXPECT_TRUE(after_separator || fills_line) << width << ": " << Joined(lines);
    }
    EXPECT_EQ(rebuilt, text) << width;
  }
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
      {0x4, u"Yes\nNo\nYes to All\nNo to All", "23:&Yes 24:&No 25:Yes to &All 26:N&o to All"},
      {0x0, u"One\nTwo\nThree\nFour\nFive", "23:&One 24:&Two 25:T&hree 26:&Four"},
      {0x0, u"Only", "23:&Only"},
      {0x0, u"A\nB\n", "23:&A 24:&B"},
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
  EXPECT_EQ(buttons[0].caption, u"&" + std::u16string(258, u'x'));
}

TEST(MessageBoxRules, AccessKeysAreFreeCapitalsThenLetters) {
  const struct {
    std::vector<std::u16string> captions, expected;
  } cases[] = {
      {{u"Yes", u"No", u"Yes to All", u"No to All"},
       {u"&Yes", u"&No", u"Yes to &All", u"N&o to All"}},
      {{u"Save As", u"&Save", u"Cancel"}, {u"Save &As", u"&Save", u"&Cancel"}},
      {{u"R&&D", u"Rest"}, {u"&R&&D", u"R&est"}},
      {{u"ok", u"OK"}, {u"&ok", u"O&K"}},
      {{u"", u"123", u"A", u"a"}, {u"", u"&123", u"&A", u"a"}},
  };
  for (const auto& c : cases) {
    std::vector<std::u16string> captions = c.captions;
    AssignAccessKeys(captions);
    EXPECT_EQ(captions, c.expected) << std::string(c.captions[0].begin(), c.captions[0].end());
  }
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
  EXPECT_EQ(MaxMessageTextWidth(1280, true, 64, 192), 704);
  EXPECT_EQ(MaxMessageTextWidth(1280, false, 48, 144), 760);
}

TEST(MessageBoxLayoutTest, PlacesTextIconAndRow) {
  struct Case {
    const char* name;
    MessageBoxMetrics m;
    LayoutRect icon, text, first_button;
    int client_width, client_height;
  };
  const Case cases[] = {
      // Text area 16..16+200+28; row of one button centred in it; the text's
      // control is 8 wider than the text.
      {"plain",
       {96, 200, 40, false, 32, 32, {20}},
       {},
       {16, 16, 224, 56},
       {83, 87, 161, 110},
       244,
       122},
      // The icon pushes the text right by its width plus 16; a short text is
      // centred on the icon's height. The row (2*78+6 = 162) plus 32 is wider
      // than the text area (192).
      {"icon",
       {96, 100, 13, true, 32, 32, {20, 20}},
       {16, 16, 48, 48},
       {64, 25, 172, 38},
       {16, 79, 94, 102},
       194,
       114},
      // Four buttons need 4*78+3*6 = 330; the dialog widens to 362.
      {"row wider than text",
       {96, 40, 13, false, 32, 32, {1, 1, 1, 1}},
       {},
       {16, 16, 64, 29},
       {16, 60, 94, 83},
       362,
       95},
      {"wide buttons",
       {96, 40, 13, false, 32, 32, {1}, 0, true},
       {},
       {16, 16, 64, 29},
       {16, 60, 116, 83},
       132,
       95},
      // A caption of 90 needs 90+2*8: every button of the row is 106 wide.
      {"wide caption",
       {96, 40, 13, false, 32, 32, {30, 90}},
       {},
       {16, 16, 64, 29},
       {16, 60, 122, 83},
       250,
       95},
      // At 200%: margins 32, buttons 156 by 46, gap 12, icon 64.
      {"192 DPI",
       {192, 400, 52, true, 64, 64, {50, 50}},
       {32, 32, 96, 96},
       {128, 38, 544, 90},
       {130, 158, 286, 204},
       584,
       228},
      // Three buttons need 278 but the dialog may be 16+160+28 = 204 wide:
      // rows of 2 and 1.
      {"rows",
       {96, 100, 13, false, 32, 32, {1, 1, 1}, 160},
       {},
       {16, 16, 124, 29},
       {16, 60, 94, 83},
       194,
       124},
  };
  for (const Case& c : cases) {
    const MessageBoxLayout l = LayoutMessageBox(c.m);
    EXPECT_EQ(l.icon, c.icon) << c.name;
    EXPECT_EQ(l.text, c.text) << c.name;
    ASSERT_EQ(l.buttons.size(), c.m.caption_widths.size()) << c.name;
    EXPECT_EQ(l.buttons[0], c.first_button) << c.name;
    EXPECT_EQ(l.client_width, c.client_width) << c.name;
    EXPECT_EQ(l.client_height, c.client_height) << c.name;
  }
}

// Every DPI, button count, caption width and width limit: the buttons share
// one width that holds every caption, lie inside the dialog below the text
// without overlapping, and each row is centred.
TEST(MessageBoxLayoutTest, SweepKeepsButtonsInsideAndApart) {
  for (int dpi : {96, 120, 144, 192, 288}) {
    for (int count = 1; count <= 4; ++count) {
      for (int caption : {0, 60, 140}) {
        for (int max_text : {0, 60, 200}) {
          MessageBoxMetrics m{dpi,
                              150,
                              30,
                              count % 2 == 0,
                              ScaleForDpi(32, dpi),
                              ScaleForDpi(32, dpi),
                              std::vector<int>(count, 10),
                              max_text};
          m.caption_widths.back() = caption;
          const MessageBoxLayout l = LayoutMessageBox(m);
          const std::string name = std::to_string(dpi) + "/" + std::to_string(count) + "/" +
                                   std::to_string(caption) + "/" + std::to_string(max_text);
          ASSERT_EQ(static_cast<int>(l.buttons.size()), count) << name;
          EXPECT_GE(l.text.Width(), m.text_width) << name;
          for (std::size_t i = 0; i < l.buttons.size(); ++i) {
            const LayoutRect& b = l.buttons[i];
            EXPECT_EQ(b.Width(), l.buttons[0].Width()) << name;
            EXPECT_GE(b.Width(), std::max(caption, ScaleForDpi(78, dpi))) << name;
            EXPECT_EQ(b.Height(), ScaleForDpi(23, dpi)) << name;
            EXPECT_TRUE(b.left >= 0 && b.right <= l.client_width && b.top > l.text.bottom &&
                        b.bottom < l.client_height)
                << name;
            for (std::size_t j = 0; j < i; ++j) {
              const LayoutRect& o = l.buttons[j];
              EXPECT_TRUE(o.right <= b.left || o.bottom <= b.top) << name;
            }
            const bool row_end = i + 1 == l.buttons.size() || l.buttons[i + 1].top != b.top;
            if (!row_end) continue;
            std::size_t first = i;
            while (first > 0 && l.buttons[first - 1].top == b.top) --first;
            EXPECT_LE(std::abs((l.client_width - b.right) - l.buttons[first].left), 1) << name;
          }
        }
      }
    }
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
  // At 200% the fixed measures double; the text-based ones follow the font.
  const BannerGeometry g = ComputeBannerGeometry(-22, 26, 192);
  EXPECT_EQ((std::vector<int>{g.height, g.icon_x, g.icon_y, g.title_x, g.title_y, g.subtitle_x,
                              g.subtitle_y, g.title_font_height}),
            (std::vector<int>{100, 20, 20, 100, 16, 104, 55, -28}));
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
