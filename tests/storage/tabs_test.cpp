// Tests of storage/tabs.cpp: tabs.xml and the tab-list rules.
#include "storage/tabs.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/fs.h"
#include "storage_test_util.h"
#include "test_tree.h"

namespace {

using storage_test::DescribeTab;

std::string DescribeTabs(const std::vector<PageData>& tabs) {
  std::string out;
  for (const PageData& tab : tabs) out += DescribeTab(tab) + "--\n";
  return out;
}

PageData FullTab() {
  PageData tab;
  tab.path = u"C:\\Data;-C:\\Data\\old;\\\\server\\share";
  tab.file_name = u"*.txt;--*.bak";
  tab.text = u"caf\u00e9 \"quoted\" <tag> & \U0001F600";
  tab.size_min = 4294967296ull + 17;  // above 4 GiB
  tab.size_max = std::numeric_limits<std::uint64_t>::max();
  tab.time_min = 132000000000000000ull;  // FILETIMEs in 2019
  tab.time_max = 132000863999999999ull;
  tab.time_type = TimeType::kAccessed;
  tab.replace = true;
  tab.replace_text = u"first\r\nsecond\tthird ";
  tab.include_subfolders = true;
  tab.hidden = AttributeCondition::kOnly;
  tab.read_only = AttributeCondition::kNone;
  tab.folder = AttributeCondition::kNone;
  tab.case_sensitive = true;
  tab.word_wrap = true;
  tab.reg_exp = true;
  tab.binary = true;
  tab.backup = true;
  tab.replace_read_only = ReadOnlyAction::kSkip;
  tab.tab_name = u"\u65e5\u672c\u8a9e";
  tab.tab_active = true;
  tab.tab_id = 42;
  return tab;
}

TEST(TabsFileTest, SavedTabsReadBackEqual) {
  testing_support::TempTree tree;
  std::vector<PageData> saved = {FullTab(), PageData(), FullTab()};
  saved[1].tab_name = u"Logs";
  saved[1].tab_id = 1;
  saved[2].tab_active = false;
  saved[2].time_type = TimeType::kCreated;
  saved[2].replace_read_only = ReadOnlyAction::kReplace;
  ASSERT_TRUE(SaveTabs(tree.root() + platform::kPathSeparator, saved));

  std::vector<PageData> loaded;
  ASSERT_TRUE(LoadTabs(tree.root() + platform::kPathSeparator, loaded));
  EXPECT_EQ(DescribeTabs(loaded), DescribeTabs(saved));
}

TEST(TabsFileTest, WritesTheDocumentedLayout) {
  PageData tab;
  tab.path = u"C:\\x";
  tab.size_max = std::numeric_limits<std::uint64_t>::max();
  tab.time_type = TimeType::kModified;
  tab.tab_name = u"Logs";
  tab.tab_id = 3;
  EXPECT_EQ(TabsXml({tab}),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<params version=\"1.1\">\n"
            "    <param path=\"C:\\x\" file_name=\"\" text=\"\" size_min=\"0\" size_max=\"-1\" "
            "time_min=\"0\" time_max=\"0\" time_type=\"2\" replace=\"0\" replace_text=\"\" "
            "include_subfolders=\"0\" hidden=\"0\" read_only=\"0\" folder=\"0\" "
            "case_sensitive=\"0\" word_wrap=\"0\" reg_exp=\"0\" binary=\"0\" backup=\"0\" "
            "replace_read_only=\"0\" tab_name=\"Logs\" tab_active=\"0\" tab_id=\"3\"/>\n"
            "</params>\n");
}

TEST(TabsFileTest, HandWrittenFilesReadAsDocumented) {
  struct Case {
    const char* name;
    std::string xml;
    bool result;
    std::vector<PageData> expected;
  };
  PageData dated;
  dated.time_min = 132000000000000000ull;
  dated.time_max = 132000863999999999ull;
  dated.time_type = TimeType::kModified;
  PageData numbers;
  numbers.size_min = 12;
  numbers.size_max = std::numeric_limits<std::uint64_t>::max();
  numbers.case_sensitive = true;
  numbers.tab_id = -4;
  PageData bad_codes;
  bad_codes.hidden = AttributeCondition::kNone;
  PageData long_name;
  long_name.tab_name = std::u16string(99, u'n');
  const Case cases[] = {
      {"missing file", "", false, {}},
      {"no params root", "<tabs><param/></tabs>", false, {}},
      {"empty list", "<params version=\"1.1\"/>", true, {}},
      {"missing attributes keep their defaults; unknown ones are ignored",
       "<params><param colour=\"red\"/><other/><param tab_name=\"Logs\"/></params>", true,
       [] {
         std::vector<PageData> tabs(2);
         tabs[1].tab_name = u"Logs";
         return tabs;
       }()},
      {"a date interval comes back with both bounds",
       "<params><param time_min=\"132000000000000000\" time_max=\"132000863999999999\" "
       "time_type=\"2\"/></params>",
       true,
       {dated}},
      {"leading numbers",
       "<params><param size_min=\" 12kb\" size_max=\"-1\" case_sensitive=\"9\" "
       "reg_exp=\"no\" tab_id=\"-4\"/></params>",
       true,
       {numbers}},
      {"codes the search does not know keep the defaults",
       "<params><param time_type=\"9\" hidden=\"2\" read_only=\"-1\" folder=\"3\" "
       "replace_read_only=\"77\"/></params>",
       true,
       {bad_codes}},
      {"a long name is cut to 99 characters",
       "<params><param tab_name=\"" + std::string(150, 'n') + "\"/></params>",
       true,
       {long_name}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<PageData> tabs(1);
    EXPECT_EQ(ParseTabs(c.xml, tabs), c.result);
    EXPECT_EQ(DescribeTabs(tabs), DescribeTabs(c.expected));
  }
}

TEST(TabsFileTest, AMissingFileGivesNoTabs) {
  testing_support::TempTree tree;
  std::vector<PageData> tabs(2);
  EXPECT_FALSE(LoadTabs(tree.root() + platform::kPathSeparator, tabs));
  EXPECT_TRUE(tabs.empty());
  EXPECT_FALSE(LoadTabs(u"", tabs));
  EXPECT_FALSE(SaveTabs(u"", {PageData()}));
}

TEST(TabRulesTest, UnnamedTabsAreSkippedOnlyWhenAsked) {
  struct Case {
    const char16_t* name;
    bool dont_save_unnamed;
    bool saved;
  };
  const Case cases[] = {
      {u"New page", true, false},     {u"New page(1)", true, false},
      {u"New page (3)", true, false}, {u"New pages", true, false},
      {u"Logs", true, true},          {u"New pag", true, true},
      {u"new page", true, true},      {u"", true, true},
      {u" New page", true, true},     {u"New page", false, true},
      {u"New page(1)", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(storage_test::Quote(c.name));
    EXPECT_EQ(ShouldSaveTab(c.name, c.dont_save_unnamed, u"New page"), c.saved);
  }
  EXPECT_TRUE(ShouldSaveTab(u"New page", true, u""));
}

TEST(TabRulesTest, NewTabsTakeTheFirstFreeDefaultName) {
  using Names = std::vector<std::u16string>;
  const std::pair<Names, std::u16string> cases[] = {
      {{}, u"New page"},
      {{u"Logs"}, u"New page"},
      {{u"New page"}, u"New page(1)"},
      {{u"New page", u"New page(1)"}, u"New page(2)"},
      {{u"New page(1)"}, u"New page"},
      {{u"New page", u"New page(2)", u"New page (1)"}, u"New page(1)"},
      {{u"New page", u"New page(1)", u"New page(2)", u"New page(3)", u"New page(4)", u"New page(5)",
        u"New page(6)", u"New page(7)", u"New page(8)", u"New page(9)"},
       u"New page(10)"},
  };
  for (const auto& [names, expected] : cases) {
    SCOPED_TRACE(names.size());
    EXPECT_EQ(NewTabName(names, u"New page"), expected);
  }
}

TEST(TabRulesTest, RestoredIdsBelowOneOrInUseAreReplaced) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  struct Case {
    std::int32_t wanted;
    std::set<std::int32_t> in_use;
    std::int32_t id;
  };
  const Case cases[] = {
      {3, {}, 3},     {0, {}, 1},     {-2, {1, 5}, 6},      {5, {1, 5}, 6},
      {2, {1, 5}, 2}, {0, {kMax}, 1}, {0, {1, 2, kMax}, 3}, {kMax, {}, kMax},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wanted);
    EXPECT_EQ(AssignPageId(c.wanted, c.in_use), c.id);
  }
}

TEST(TabRulesTest, TwoParamsWithTheSameIdBecomeTwoTabs) {
  std::vector<PageData> tabs;
  ASSERT_TRUE(
      ParseTabs("<params><param tab_id=\"4\"/><param tab_id=\"4\"/>"
                "<param tab_id=\"0\"/></params>",
                tabs));
  std::set<std::int32_t> ids;
  std::vector<std::int32_t> assigned;
  for (const PageData& tab : tabs) {
    std::int32_t id = AssignPageId(tab.tab_id, ids);
    ids.insert(id);
    assigned.push_back(id);
  }
  EXPECT_EQ(assigned, (std::vector<std::int32_t>{4, 5, 6}));
}

TEST(TabRulesTest, TabNamesHoldAtMost99Units) {
  std::u16string pair_at_end = std::u16string(98, u'a') + u"\U0001F600";
  EXPECT_EQ(LimitTabName(pair_at_end), std::u16string(98, u'a'));
  EXPECT_EQ(LimitTabName(std::u16string(97, u'a') + u"\U0001F600"),
            std::u16string(97, u'a') + u"\U0001F600");
  EXPECT_EQ(LimitTabName(std::u16string(120, u'b')), std::u16string(99, u'b'));

  FileFindParamsIn criteria;
  criteria.path = u"C:\\x";
  criteria.tab_id = 9;
  PageData tab = MakePageData(criteria, 3, std::u16string(120, u'c'), true);
  EXPECT_EQ(tab.path, u"C:\\x");
  EXPECT_EQ(tab.tab_id, 3);
  EXPECT_EQ(tab.tab_name, std::u16string(99, u'c'));
  EXPECT_TRUE(tab.tab_active);
}

}  // namespace
