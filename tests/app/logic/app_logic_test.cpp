// Native tests of the program frame's window-free rules: texts, the command
// line and the hand-over buffer, the tab set, placement and frame layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/logic/app_text.h"
#include "app/logic/command_line.h"
#include "app/logic/frame_rules.h"
#include "app/logic/placement.h"
#include "app/logic/shell_integration.h"
#include "app/logic/tab_set.h"
#include "platform/text.h"

namespace app {
namespace {

std::string U8(std::u16string_view s) { return platform::ToUtf8(s); }

// ---- Texts ----

TEST(AppText, IdsAreUniqueAndTextsReadAsQuoted) {
  std::set<int> ids;
#define VARNEL_APP_STRING_ID(name, id, text) EXPECT_TRUE(ids.insert(id).second) << #name;
  VARNEL_APP_STRINGS(VARNEL_APP_STRING_ID)
#undef VARNEL_APP_STRING_ID
  EXPECT_EQ(AppText(IDS_APP_NAME), u"Varnel");
  EXPECT_EQ(AppText(IDS_APP_FAILED_STORAGE), u"Failed to initialize the storage");
  EXPECT_EQ(AppText(IDS_APP_NEW_PAGE), u"New page");
  EXPECT_EQ(AppText(IDS_MENU_OPTIONS), u"Options...");
  EXPECT_TRUE(AppText(1).empty());
}

// ---- Command line and hand-over ----

struct CommandLineCase {
  std::vector<std::u16string> arguments;
  bool autorun;
  std::u16string folder;
  bool hands_over;
};

TEST(CommandLine, FirstArgumentOnly) {
  const CommandLineCase cases[] = {
      {{}, false, u"", false},
      {{u"-autorun"}, true, u"", true},
      {{u"-AUTORUN"}, false, u"-AUTORUN", true},
      {{u"-autorun "}, false, u"-autorun ", true},
      {{u"C:\\Work"}, false, u"C:\\Work", true},
      // The shell's quoted drive root: the backslash escaped the quote.
      {{u"C:\""}, false, u"C:", true},
      {{u"C:\\a b\""}, false, u"C:\\a b", true},
      {{u"C:\\x\"\""}, false, u"C:\\x\"", true},  // one quote only
      {{u"\""}, false, u"", false},
      {{u""}, false, u"", false},
      {{u"D:\\one", u"-autorun"}, false, u"D:\\one", true},
      {{u"-autorun", u"D:\\one"}, true, u"", true},
  };
  for (const CommandLineCase& c : cases) {
    const std::string label = c.arguments.empty() ? "(none)" : U8(c.arguments.front());
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.autorun, c.autorun) << label;
    EXPECT_EQ(parsed.folder, c.folder) << label;
    const std::optional<std::u16string> text = HandOverText(parsed);
    ASSERT_EQ(text.has_value(), c.hands_over) << label;
    if (text) {
      EXPECT_EQ(*text, c.autorun ? u"" : c.folder) << label;
    }
  }
}

TEST(HandOver, EncodesMarkTextZeroAndPadAndReadsBack) {
  const std::u16string texts[] = {u"", u"C:", u"C:\\Daten\\\u00e9t\u00e9", u"\U0001F600\u0100x"};
  for (const std::u16string& text : texts) {
    const std::vector<std::uint8_t> buffer = EncodeHandOver(text);
    ASSERT_EQ(buffer.size(), text.size() * 2 + 4) << U8(text);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], text.empty() ? 0 : (text[0] & 0xFF));
    EXPECT_EQ(buffer[buffer.size() - 3], 0);  // terminating zero
    EXPECT_EQ(buffer[buffer.size() - 2], 0);
    std::u16string read = u"stale";
    ASSERT_TRUE(DecodeHandOver(buffer.data(), buffer.size(), read)) << U8(text);
    EXPECT_EQ(read, text);
  }
}

struct DecodeCase {
  const char* name;
  std::vector<std::uint8_t> bytes;  // the memory behind the pointer
  std::size_t size;                 // the size the message states
  bool accepted;
  std::u16string text;
};

TEST(HandOver, ReadsWithinTheStatedSizeOnly) {
  const DecodeCase cases[] = {
      {"empty", {}, 0, false, u""},
      {"mark only", {1}, 1, false, u""},
      {"mark and pad", {1, 0}, 2, false, u""},
      {"zero text", {1, 0, 0, 0}, 4, true, u""},
      {"one unit", {1, 'A', 0, 0, 0, 0}, 6, true, u"A"},
      {"wrong mark", {2, 'A', 0, 0, 0, 0}, 6, false, u""},
      {"mark zero", {0, 'A', 0, 0, 0, 0}, 6, false, u""},
      {"odd size", {1, 'A', 0, 0, 0}, 5, false, u""},
      // The zero lies in memory but past the stated size.
      {"zero beyond size", {1, 'A', 0, 'B', 0, 0, 0, 0}, 4, false, u""},
      {"no zero at all", {1, 'A', 0, 'B', 0, 'C'}, 6, false, u""},
      // A zero's first byte inside and second outside does not count.
      {"zero cut in half", {1, 'A', 0, 0, 0}, 4, false, u""},
      {"text ends at first zero", {1, 'A', 0, 0, 0, 'B', 0, 0, 0, 0}, 10, true, u"A"},
      {"high byte", {1, 0x00, 0x01, 0x3D, 0xD8, 0, 0, 0}, 8, true, u"\u0100\xD83D"},
      {"size bigger than needed", {1, 'A', 0, 0, 0, 0, 0, 0}, 8, true, u"A"},
  };
  for (const DecodeCase& c : cases) {
    std::u16string text = u"stale";
    EXPECT_EQ(DecodeHandOver(c.bytes.empty() ? nullptr : c.bytes.data(), c.size, text), c.accepted)
        << c.name;
    EXPECT_EQ(text, c.text) << c.name;
  }
}

// ---- Tab set ----

std::vector<std::u16string> Names(const CTabSet& tabs) {
  std::vector<std::u16string> names;
  for (const TabEntry& t : tabs.Tabs()) names.push_back(t.name);
  return names;
}

std::vector<std::int32_t> Ids(const CTabSet& tabs) {
  std::vector<std::int32_t> ids;
  for (const TabEntry& t : tabs.Tabs()) ids.push_back(t.id);
  return ids;
}

TEST(TabSet, DefaultNamesTakeTheFirstFreeNumber) {
  CTabSet tabs(u"New page");
  tabs.Open(0, u"");
  tabs.Open(0, u"");
  tabs.Open(0, u"");
  EXPECT_EQ(Names(tabs),
            (std::vector<std::u16string>{u"New page", u"New page(1)", u"New page(2)"}));
  ASSERT_TRUE(tabs.Close(0));
  EXPECT_EQ(tabs.NextDefaultName(), u"New page");
  tabs.Open(0, u"");
  EXPECT_EQ(tabs.At(2).name, u"New page");
  // A given name is kept, even one that looks like a default name.
  tabs.Open(0, u"New page(1)");
  EXPECT_EQ(tabs.At(3).name, u"New page(1)");
  EXPECT_EQ(tabs.NextDefaultName(), u"New page(3)");
  // Names are cut to what a tab holds.
  tabs.Open(0, std::u16string(150, u'x'));
  EXPECT_EQ(tabs.At(4).name.size(), kMaxTabNameLength);
}

TEST(TabSet, IdsComeFromTheCriteriaWhenFree) {
  struct Case {
    std::int32_t wanted;
    std::int32_t id;
  };
  // Opened in this order into one set.
  const Case cases[] = {{0, 1}, {5, 5}, {5, 6}, {-3, 7}, {2, 2}, {0, 8}};
  CTabSet tabs(u"New page");
  for (const Case& c : cases) {
    const std::size_t index = tabs.Open(c.wanted, u"t");
    EXPECT_EQ(tabs.At(index).id, c.id) << c.wanted;
    EXPECT_EQ(tabs.Selected(), index);
    EXPECT_EQ(tabs.SelectedId(), c.id);
  }
  EXPECT_EQ(tabs.IndexOf(2), 4u);
  EXPECT_EQ(tabs.IndexOf(3), kNoTab);
}

CTabSet ThreeTabs(std::size_t selected) {
  CTabSet tabs(u"New page");
  tabs.Open(1, u"a");
  tabs.Open(2, u"b");
  tabs.Open(3, u"c");
  tabs.Select(selected);
  return tabs;
}

TEST(TabSet, ClosingSelectsTheTabInItsPlaceOrTheNewLast) {
  struct Case {
    std::size_t selected;
    std::size_t close;
    bool closed;
    std::vector<std::int32_t> ids;
    std::int32_t selected_id;
  };
  const Case cases[] = {
      {2, 2, true, {1, 2}, 2},  // last closed: the new last
      {0, 0, true, {2, 3}, 2},  // first closed: the new first
      {1, 1, true, {1, 3}, 3},  // middle: the one moving into its place
      {2, 0, true, {2, 3}, 3},  // another tab closed: selection stays
      {0, 2, true, {1, 2}, 1},     {1, 0, true, {2, 3}, 2},
      {1, 3, false, {1, 2, 3}, 2},  // out of range
  };
  for (const Case& c : cases) {
    CTabSet tabs = ThreeTabs(c.selected);
    EXPECT_EQ(tabs.Close(c.close), c.closed) << c.selected << " " << c.close;
    EXPECT_EQ(Ids(tabs), c.ids) << c.selected << " " << c.close;
    EXPECT_EQ(tabs.SelectedId(), c.selected_id) << c.selected << " " << c.close;
  }
}

TEST(TabSet, TheLastTabStays) {
  CTabSet tabs(u"New page");
  EXPECT_FALSE(tabs.Close(0));
  tabs.Open(0, u"");
  EXPECT_FALSE(tabs.Close(0));  // menus and middle click alike
  EXPECT_EQ(tabs.Count(), 1u);
  EXPECT_FALSE(tabs.SelectNext());
  EXPECT_FALSE(tabs.SelectPrevious());
  EXPECT_EQ(tabs.Selected(), 0u);
}

TEST(TabSet, CloseOthersGoesFromTheLastToTheFirst) {
  CTabSet tabs = ThreeTabs(1);
  tabs.Open(4, u"d");
  EXPECT_EQ(tabs.CloseOthers(1), (std::vector<std::int32_t>{4, 3, 1}));
  EXPECT_EQ(Ids(tabs), std::vector<std::int32_t>{2});
  EXPECT_EQ(tabs.Selected(), 0u);
  EXPECT_TRUE(tabs.CloseOthers(0).empty());
  EXPECT_TRUE(tabs.CloseOthers(5).empty());
  EXPECT_EQ(tabs.Count(), 1u);
}

TEST(TabSet, NextAndPreviousWrap) {
  const struct {
    std::size_t from;
    std::size_t next;
    std::size_t previous;
  } cases[] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}};
  for (const auto& c : cases) {
    CTabSet tabs = ThreeTabs(c.from);
    EXPECT_TRUE(tabs.SelectNext());
    EXPECT_EQ(tabs.Selected(), c.next);
    tabs.Select(c.from);
    EXPECT_TRUE(tabs.SelectPrevious());
    EXPECT_EQ(tabs.Selected(), c.previous);
  }
}

TEST(TabSet, DraggedTabKeepsTheSelectionOnItsTab) {
  const struct {
    std::size_t from, to, selected;
    const char* order;
    std::size_t selected_after;
  } cases[] = {{0, 2, 0, "bca", 2}, {2, 0, 1, "cab", 2}, {1, 0, 2, "bac", 2}};
  for (const auto& c : cases) {
    CTabSet tabs = ThreeTabs(c.selected);
    tabs.Move(c.from, c.to);
    std::string order;
    for (const TabEntry& tab : tabs.Tabs()) order += static_cast<char>(tab.name[0]);
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(tabs.Selected(), c.selected_after);
  }
}

TEST(TabSet, RenameNeedsAName) {
  CTabSet tabs = ThreeTabs(0);
  EXPECT_FALSE(tabs.Rename(1, u""));
  EXPECT_EQ(tabs.At(1).name, u"b");
  EXPECT_TRUE(tabs.Rename(1, u"Logs"));
  EXPECT_EQ(tabs.At(1).name, u"Logs");
  EXPECT_TRUE(tabs.Rename(1, std::u16string(120, u'y')));
  EXPECT_EQ(tabs.At(1).name, std::u16string(99, u'y'));
  EXPECT_FALSE(tabs.Rename(7, u"x"));
}

TEST(TabSet, DuplicateNames) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"Logs", u"Logs (1)"},
      {u"Logs (1)", u"Logs (2)"},
      {u"Logs (3)", u"Logs (4)"},
      {u"Logs (8)", u"Logs (9)"},
      {u"Logs (9)", u"Logs (9) (1)"},
      {u"Logs (0)", u"Logs (0) (1)"},
      {u"New page(1)", u"New page(2)"},  // no blank needed
      {u"x(1)", u"x(2)"},                // four characters
      {u"(1)", u"(1) (1)"},              // three are too few
      {u"Logs (12)", u"Logs (12) (1)"},  // one digit only
      {u"Logs (a)", u"Logs (a) (1)"},
      {u"", u" (1)"},
  };
  for (const auto& [name, duplicate] : cases) EXPECT_EQ(DuplicateName(name), duplicate) << U8(name);
}

TEST(TabSet, CriteriaForFolderAndDuplicate) {
  const FileFindParamsIn folder = CriteriaForFolder(u"C:");
  EXPECT_EQ(folder.path, u"C:");
  EXPECT_TRUE(folder.include_subfolders);
  EXPECT_TRUE(folder.text.empty());
  EXPECT_EQ(folder.tab_id, 0);
  FileFindParamsIn source = folder;
  source.tab_id = 4;
  source.text = u"abc";
  const FileFindParamsIn copy = CriteriaForDuplicate(source);
  EXPECT_EQ(copy.tab_id, 0);
  EXPECT_EQ(copy.text, u"abc");
  EXPECT_EQ(copy.path, u"C:");
}

TEST(TabSet, RestoredSelectionIsTheActiveEntry) {
  std::vector<PageData> saved(3);
  EXPECT_EQ(RestoredSelection({}), kNoTab);
  EXPECT_EQ(RestoredSelection(saved), 2u);
  saved[1].tab_active = true;
  EXPECT_EQ(RestoredSelection(saved), 1u);
  saved[2].tab_active = true;
  EXPECT_EQ(RestoredSelection(saved), 1u);
}

TEST(TabSet, PageCommandsNeedASecondTab) {
  const int needs_two[] = {IDM_PAGES_CLOSE, IDM_PAGES_NEXT, IDM_PAGES_PREVIOUS, IDM_TAB_CLOSE,
                           IDM_TAB_CLOSE_OTHERS};
  const int always[] = {IDM_PAGES_NEW,     IDM_PAGES_DUPLICATE, IDM_TAB_RENAME,
                        IDM_TAB_DUPLICATE, IDM_TAB_NEW,         IDM_FILE_EXIT};
  for (int command : needs_two) {
    EXPECT_FALSE(PageCommandEnabled(command, 1)) << command;
    EXPECT_TRUE(PageCommandEnabled(command, 2)) << command;
  }
  for (int command : always) EXPECT_TRUE(PageCommandEnabled(command, 1)) << command;
}

TEST(TabSet, TabImages) {
  EXPECT_EQ(TabImage(true, 0), 1);
  EXPECT_EQ(TabImage(true, 3), 1);
  EXPECT_EQ(TabImage(false, 3), 0);
  EXPECT_EQ(TabImage(false, 0), -1);
}

// ---- Placement ----

TEST(Placement, DefaultRectangle) {
  struct Case {
    std::int32_t w, h;
    Rect rect;
  };
  const Case cases[] = {
      {1920, 1080, {393, 135, 393 + 1134, 135 + 810}},
      {1024, 768, {109, 96, 109 + 806, 96 + 576}},
      // 675 * 1.4 is 945 exactly, not the 944 that floating point gives.
      {1440, 900, {248, 113, 248 + 945, 113 + 675}},
      {801, 601, {85, 75, 85 + 630, 75 + 450}},
  };
  for (const Case& c : cases) EXPECT_EQ(DefaultWindowRect(c.w, c.h), c.rect) << c.w << "x" << c.h;
}

TEST(Placement, StartUp) {
  const Rect screen{0, 0, 1920, 1040};
  struct Case {
    const char* name;
    WindowRect saved;
    std::int32_t advanced_visible;
    bool maximized;
    bool autorun;
    StartPlacement expected;
  };
  const Rect fallback = DefaultWindowRect(1920, 1080);
  const Case cases[] = {
      {"never saved", {}, 0, false, false, {fallback, true, ShowState::kNormal}},
      {"saved",
       {10, 20, 810, 620},
       0,
       false,
       false,
       {{10, 20, 810, 620}, false, ShowState::kNormal}},
      {"saved with panel",
       {10, 20, 810, 620},
       1,
       true,
       false,
       {{10, 20, 810, 620}, true, ShowState::kMaximized}},
      {"autorun wins",
       {10, 20, 810, 620},
       1,
       true,
       true,
       {{10, 20, 810, 620}, true, ShowState::kMinimized}},
      {"no width", {10, 20, 10, 620}, 0, false, false, {fallback, false, ShowState::kNormal}},
      {"upside down", {10, 620, 810, 20}, 1, false, false, {fallback, true, ShowState::kNormal}},
      {"on a monitor gone",
       {2500, 100, 3300, 700},
       0,
       false,
       false,
       {{1120, 100, 1920, 700}, false, ShowState::kNormal}},
  };
  for (const Case& c : cases) {
    StartInputs in;
    in.saved = c.saved;
    in.advanced_visible = c.advanced_visible;
    in.maximized = c.maximized;
    in.autorun = c.autorun;
    in.screen_width = 1920;
    in.screen_height = 1080;
    in.monitors = {screen};
    EXPECT_EQ(InitialPlacement(in), c.expected) << c.name;
  }
}

TEST(Placement, RectangleOnNoMonitorMovesToTheNearest) {
  const std::vector<Rect> monitors = {{0, 0, 1920, 1040}, {1920, -200, 3200, 800}};
  struct Case {
    const char* name;
    Rect rect;
    Rect expected;
  };
  const Case cases[] = {
      {"inside", {100, 100, 900, 700}, {100, 100, 900, 700}},
      {"one pixel on", {-799, 100, 1, 700}, {-799, 100, 1, 700}},
      {"touching only", {-800, 100, 0, 700}, {0, 100, 800, 700}},
      {"far right", {4000, 0, 4800, 600}, {2400, 0, 3200, 600}},
      {"above the second", {2000, -900, 2800, -300}, {2000, -200, 2800, 400}},
      {"below both", {500, 1500, 1300, 2100}, {500, 440, 1300, 1040}},
      {"too big", {-5000, 0, -1000, 3000}, {0, 0, 1920, 1040}},
  };
  for (const Case& c : cases) EXPECT_EQ(OntoMonitor(c.rect, monitors), c.expected) << c.name;
  EXPECT_EQ(OntoMonitor({-9000, 0, -8000, 10}, {}), (Rect{-9000, 0, -8000, 10}));
}

TEST(Placement, Shutdown) {
  struct Case {
    const char* name;
    std::int32_t show_cmd;
    std::uint32_t flags;
    bool ever_shown;
    bool stored_maximized;
    bool maximized;
  };
  const Case cases[] = {
      {"normal", 1, 0, true, true, false},
      {"maximized", 3, 0, true, false, true},
      {"minimized from normal", 2, 0, true, true, false},
      {"minimized from maximized", 2, 2, true, false, true},
      {"autorun, never shown", 2, 0, false, true, true},
      {"autorun, never shown, not maximized", 2, 0, false, false, false},
  };
  for (const Case& c : cases) {
    ShutdownInputs in;
    in.restored = {100, 50, 900, 650};
    in.show_cmd = c.show_cmd;
    in.flags = c.flags;
    in.ever_shown = c.ever_shown;
    in.stored_maximized = c.stored_maximized;
    in.advanced = false;
    in.primary_monitor = {0, 0, 1920, 1080};
    in.primary_work_area = {0, 0, 1920, 1040};
    const SavedPlacement saved = PlacementToSave(in);
    EXPECT_EQ(saved.maximized, c.maximized) << c.name;
    EXPECT_EQ(saved.window_rect, (WindowRect{100, 50, 900, 650})) << c.name;
    EXPECT_EQ(saved.advanced_visible, 0) << c.name;
  }
  // A taskbar on the left: workspace coordinates start right of it.
  ShutdownInputs in;
  in.restored = {100, 50, 900, 650};
  in.primary_monitor = {0, 0, 1920, 1080};
  in.primary_work_area = {60, 0, 1920, 1080};
  EXPECT_EQ(PlacementToSave(in).window_rect, (WindowRect{160, 50, 960, 650}));
  EXPECT_EQ(PlacementToSave(in).advanced_visible, 1);
}

TEST(Placement, FrameLayout) {
  const FrameLayout layout = LayOutFrame(1000, 700, 1000);
  EXPECT_EQ(layout.tab_control, (Rect{0, 0, 992, 646}));
  EXPECT_EQ(layout.parts, (std::array<std::int32_t, 3>{800, 900, -1}));
  EXPECT_EQ(PageRect({4, 30, 988, 640}, 22), (Rect{4, 30, 988, 618}));
  EXPECT_EQ(PageRect({4, 30, 988, 40}, 22), (Rect{4, 30, 988, 30}));
  EXPECT_TRUE(DoubleClickOpensTab(0, 24));
  EXPECT_TRUE(DoubleClickOpensTab(23, 24));
  EXPECT_FALSE(DoubleClickOpensTab(24, 24));
  EXPECT_FALSE(DoubleClickOpensTab(-1, 24));
}

// ---- Shell integration ----

// A registry in memory that writes a line for every change it is asked for
// and can refuse writes under one root (no rights there).
class CFakeRegistry : public IRegistry {
 public:
  bool refuse_classes_root = false;
  bool refuse_current_user = false;
  std::string log;

  void Put(RegistryRoot root, std::u16string_view key, std::u16string_view name,
           std::u16string_view value) {
    keys_.insert(Path(root, key));
    values_[Path(root, key) + "[" + U8(name) + "]"] = U8(value);
  }
  bool ReadString(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                  std::u16string& value) override {
    auto it = values_.find(Path(root, key) + "[" + U8(name) + "]");
    if (it == values_.end()) return false;
    value = platform::FromUtf8(it->second);
    return true;
  }
  bool CreateKey(RegistryRoot root, std::u16string_view key) override {
    if (Refused(root)) return false;
    if (keys_.insert(Path(root, key)).second) log += "create " + Path(root, key) + "\n";
    return true;
  }
  bool WriteString(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                   std::u16string_view value) override {
    if (Refused(root)) return false;
    Put(root, key, name, value);
    log += "set " + Path(root, key) + "[" + U8(name) + "] = " + U8(value) + "\n";
    return true;
  }
  bool DeleteValue(RegistryRoot root, std::u16string_view key, std::u16string_view name) override {
    if (Refused(root)) return false;
    if (values_.erase(Path(root, key) + "[" + U8(name) + "]")) {
      log += "delete " + Path(root, key) + "[" + U8(name) + "]\n";
    }
    return true;
  }
  bool DeleteTree(RegistryRoot root, std::u16string_view key) override {
    const std::string prefix = Path(root, key);
    bool found = false;
    for (const std::string& k : keys_) found |= k == prefix || k.starts_with(prefix + "\\");
    if (!found) return true;
    if (Refused(root)) return false;
    std::erase_if(keys_, [&](const std::string& k) { return k.starts_with(prefix); });
    std::erase_if(values_, [&](const auto& v) { return v.first.starts_with(prefix); });
    log += "delete tree " + prefix + "\n";
    return true;
  }

 private:
  static std::string Path(RegistryRoot root, std::u16string_view key) {
    return (root == RegistryRoot::kCurrentUser ? "HKCU\\" : "HKCR\\") + U8(key);
  }
  bool Refused(RegistryRoot root) const {
    return root == RegistryRoot::kClassesRoot ? refuse_classes_root : refuse_current_user;
  }
  std::set<std::string> keys_;
  std::map<std::string, std::string> values_;
};

TEST(ShellIntegration, RegistryData) {
  EXPECT_EQ(AutorunData(u"C:\\Tools\\v.exe"), u"\"C:\\Tools\\v.exe\" -autorun");
  EXPECT_EQ(ContextVerbData(u"C:\\Program Files\\V\\Varnel.exe"),
            u"\"C:\\Program Files\\V\\Varnel.exe\" \"%1\"");
}

TEST(ShellIntegration, StartAtLogOn) {
  CFakeRegistry registry;
  ShellIntegrationState state;
  EXPECT_FALSE(ReadAutorun(registry, state));
  EXPECT_TRUE(WriteAutorun(registry, u"C:\\Tools\\v.exe", true, state));
  EXPECT_EQ(state.autorun_command, u"\"C:\\Tools\\v.exe\" -autorun");
  ShellIntegrationState read;
  EXPECT_TRUE(ReadAutorun(registry, read));
  EXPECT_EQ(read, state);
  EXPECT_TRUE(WriteAutorun(registry, u"C:\\Tools\\v.exe", false, state));
  EXPECT_TRUE(state.autorun_command.empty());
  EXPECT_TRUE(WriteAutorun(registry, u"", false, state));  // a missing value is no error
  EXPECT_FALSE(WriteAutorun(registry, u"", true, state));  // no program path
  EXPECT_EQ(registry.log,
            "create HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\n"
            "set HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run[Varnel] = "
            "\"C:\\Tools\\v.exe\" -autorun\n"
            "delete HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run[Varnel]\n");
  // Refused: the state keeps what it had.
  registry.refuse_current_user = true;
  state.autorun_command = u"old";
  EXPECT_FALSE(WriteAutorun(registry, u"C:\\v.exe", true, state));
  EXPECT_FALSE(WriteAutorun(registry, u"C:\\v.exe", false, state));
  EXPECT_EQ(state.autorun_command, u"old");
}

TEST(ShellIntegration, FolderVerb) {
  CFakeRegistry registry;
  ShellIntegrationState state;
  RemoveContextVerb(registry, state);  // never installed: no error, nothing done
  EXPECT_EQ(registry.log, "");
  ReadContextVerb(registry, state);
  EXPECT_FALSE(state.context_verb_installed);

  ApplyShellIntegration(registry, u"C:\\v.exe", false, true, state);
  EXPECT_TRUE(state.context_verb_installed);
  EXPECT_TRUE(state.autorun_command.empty());
  EXPECT_EQ(registry.log,
            "create HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\n"
            "create HKCU\\Software\\Classes\\Folder\\shell\\Search with Varnel...\\command\n"
            "set HKCU\\Software\\Classes\\Folder\\shell\\Search with Varnel...\\command[] = "
            "\"C:\\v.exe\" \"%1\"\n");
  registry.log.clear();
  ApplyShellIntegration(registry, u"C:\\v.exe", false, false, state);
  EXPECT_FALSE(state.context_verb_installed);
  EXPECT_EQ(registry.log,
            "delete tree HKCU\\Software\\Classes\\Folder\\shell\\Search with Varnel...\n");

  // Installed for every user (seen through the merged root) and no right to
  // remove it: it stays installed.
  CFakeRegistry machine;
  machine.Put(RegistryRoot::kClassesRoot, kVerbCommandKey, u"", u"x");
  machine.refuse_classes_root = true;
  ShellIntegrationState seen;
  ReadContextVerb(machine, seen);
  EXPECT_TRUE(seen.context_verb_installed);
  RemoveContextVerb(machine, seen);
  EXPECT_TRUE(seen.context_verb_installed);
  machine.refuse_classes_root = false;
  RemoveContextVerb(machine, seen);
  EXPECT_FALSE(seen.context_verb_installed);
}

// ---- Frame messages ----

TEST(FrameRules, TrayClicksAndShutdownOnce) {
  EXPECT_EQ(TrayActionFor(0x0201), TrayAction::kRestore);
  EXPECT_EQ(TrayActionFor(0x0204), TrayAction::kMenu);
  EXPECT_EQ(TrayActionFor(0x0200), TrayAction::kNone);  // mouse move
  EXPECT_EQ(TrayActionFor(0x0202), TrayAction::kNone);  // left button up

  struct Case {
    const char* name;
    std::vector<std::pair<bool, bool>> messages;  // (WM_ENDSESSION, wParam)
    std::vector<bool> runs;
  };
  const Case cases[] = {
      {"destroy", {{false, false}}, {true}},
      {"session ends, then destroy", {{true, true}, {false, false}}, {true, false}},
      {"session goes on, then destroy", {{true, false}, {false, false}}, {false, true}},
      {"destroy twice", {{false, false}, {false, false}}, {true, false}},
  };
  for (const Case& c : cases) {
    CShutdownGuard guard;
    for (std::size_t i = 0; i < c.messages.size(); ++i) {
      EXPECT_EQ(guard.Begin(c.messages[i].first, c.messages[i].second), c.runs[i]) << c.name << i;
    }
    EXPECT_TRUE(guard.Done()) << c.name;
  }
}

}  // namespace
}  // namespace app
