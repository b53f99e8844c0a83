// Tests of storage/history.cpp: the history lists' rules and history.xml.
#include "storage/history.h"

#include <gtest/gtest.h>

#include "storage_test_util.h"
#include "test_tree.h"

namespace {

using storage_test::DescribeHistory;
using List = std::vector<std::u16string>;

List Numbered(int count) {
  List list;
  for (int i = 0; i < count; ++i) list.push_back(u"v" + std::u16string(1, u'a' + i));
  return list;
}

TEST(HistoryListTest, AddMovesToTheFrontWithoutDuplicatesUpToTheLimit) {
  struct Case {
    const char* name;
    List before;
    std::int32_t field;
    std::u16string value;
    List after;
  };
  List full = Numbered(20);
  List full_after = Numbered(19);
  full_after.insert(full_after.begin(), u"new");
  List full_repeat = full;
  full_repeat.erase(full_repeat.begin() + 19);
  full_repeat.insert(full_repeat.begin(), full[19]);
  const Case cases[] = {
      {"into an empty list", {}, kHistoryText, u"abc", {u"abc"}},
      {"moves an existing entry", {u"x", u"abc", u"y"}, kHistoryText, u"abc", {u"abc", u"x", u"y"}},
      {"already first", {u"abc", u"x"}, kHistoryText, u"abc", {u"abc", u"x"}},
      {"case-sensitive", {u"abc"}, kHistoryText, u"ABC", {u"ABC", u"abc"}},
      {"whole text", {u"abc"}, kHistoryText, u"ab", {u"ab", u"abc"}},
      {"a 21st value drops the oldest", full, kHistoryText, u"new", full_after},
      {"the oldest of 20 moves up", full, kHistoryText, full[19], full_repeat},
      {"empty value", {u"x"}, kHistoryText, u"", {u"x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppSettings settings;
    if (!c.before.empty()) settings.find_history[u"Text"] = c.before;
    settings.AddFindHistory(c.field, c.value);
    EXPECT_EQ(settings.GetFindHistory(c.field), c.after);
  }
}

TEST(HistoryListTest, FieldNumbersMapToTheirKeys) {
  AppSettings settings;
  const std::pair<std::int32_t, const char16_t*> fields[] = {
      {kHistoryPath, u"Path"},
      {kHistoryFileName, u"FileName"},
      {kHistoryText, u"Text"},
      {kHistoryReplace, u"Replace"},
  };
  for (const auto& [field, key] : fields) settings.AddFindHistory(field, key);
  settings.AddFindHistory(4, u"four");
  settings.AddFindHistory(-1, u"minus");
  EXPECT_EQ(DescribeHistory(settings),
            "filters:\nfind:\n\"FileName\": \"FileName\"\n\"Path\": \"Path\"\n"
            "\"Replace\": \"Replace\"\n\"Text\": \"Text\"\n");
  EXPECT_TRUE(settings.GetFindHistory(4).empty());

  settings.AddFilterHistory(u"size", u"> 10");
  settings.AddFilterHistory(u"", u"no key");
  settings.AddFilterHistory(u"size", u"");
  EXPECT_EQ(settings.GetFilterHistory(u"size"), List{u"> 10"});
  EXPECT_TRUE(settings.GetFilterHistory(u"name").empty());
  EXPECT_EQ(settings.filter_history.size(), 1u);

  settings.ClearHistory();
  EXPECT_EQ(DescribeHistory(settings), "filters:\nfind:\n");
}

TEST(HistoryFileTest, SavedListsReadBackEqual) {
  testing_support::TempTree tree;
  AppSettings saved;
  ASSERT_TRUE(InitDataFolderIn(saved, tree.root()));
  saved.AddFindHistory(kHistoryPath, u"C:\\Users\\\u00e9l\u00e8ve");
  saved.AddFindHistory(kHistoryPath, u"/home/x");
  saved.AddFindHistory(kHistoryReplace, u"line1\r\nline2\ttab \U0001F600 ");
  saved.AddFindHistory(kHistoryText, u"<a href=\"&amp;\">");
  saved.AddFilterHistory(u"folder", u"  leading blanks");
  saved.AddFilterHistory(u"\u65e5\u672c", u"x");
  // Values of white space alone, which XML readers drop as formatting.
  saved.AddFindHistory(kHistoryText, u" ");
  saved.AddFindHistory(kHistoryReplace, u"\t \t");
  saved.AddFindHistory(kHistoryReplace, u" \n");
  saved.AddFindHistory(kHistoryReplace, u" \r\n ");
  ASSERT_TRUE(SaveHistory(saved));

  AppSettings loaded;
  loaded.data_folder = saved.data_folder;
  EXPECT_TRUE(LoadHistory(loaded));
  EXPECT_EQ(DescribeHistory(loaded), DescribeHistory(saved));
}

TEST(HistoryFileTest, WritesTheDocumentedLayout) {
  AppSettings settings;
  settings.AddFilterHistory(u"size", u"1");
  settings.AddFilterHistory(u"name", u"a");
  settings.AddFindHistory(kHistoryText, u"x");
  settings.AddFindHistory(kHistoryText, u"y");
  EXPECT_EQ(HistoryXml(settings),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<history version=\"1\">\n"
            "    <filters>\n"
            "        <filter name=\"name\">\n"
            "            <value>a</value>\n"
            "        </filter>\n"
            "        <filter name=\"size\">\n"
            "            <value>1</value>\n"
            "        </filter>\n"
            "    </filters>\n"
            "    <find_params>\n"
            "        <find_param name=\"Text\">\n"
            "            <value>y</value>\n"
            "            <value>x</value>\n"
            "        </find_param>\n"
            "    </find_params>\n"
            "</history>\n");
}

TEST(HistoryFileTest, HandWrittenFilesReadAsDocumented) {
  struct Case {
    const char* name;
    std::string xml;
    bool result;
    std::string history;
  };
  const std::string kFind =
      "<find_params><find_param name=\"Text\"><value>t</value>"
      "</find_param></find_params>";
  const Case cases[] = {
      {"no file", "", false, "filters:\nfind:\n\"old\": \"kept\"\n"},
      {"no root", "<other/>", false, "filters:\nfind:\n\"old\": \"kept\"\n"},
      {"filter without name is ignored; the later of two names wins",
       "<history><filters><filter><value>lost</value></filter>"
       "<filter name=\"a\"><value>1</value></filter>"
       "<filter name=\"a\"><value>2</value><value>3</value></filter></filters>" +
           kFind + "</history>",
       true, "filters:\n\"a\": \"2\" \"3\"\nfind:\n\"Text\": \"t\"\n"},
      {"a value without text is an empty entry; unknown elements are ignored",
       "<history version=\"7\"><extra/><filters><filter name=\"a\"><value/><note>n</note>"
       "<value>x</value></filter></filters>" +
           kFind + "</history>",
       true, "filters:\n\"a\": \"\" \"x\"\nfind:\n\"Text\": \"t\"\n"},
      {"no find_params: the filters are read, find lists cleared",
       "<history><filters><filter name=\"a\"><value>1</value></filter></filters></history>", false,
       "filters:\n\"a\": \"1\"\nfind:\n"},
      {"no filters: nothing is read", "<history>" + kFind + "</history>", false,
       "filters:\nfind:\n\"old\": \"kept\"\n"},
      {"truncated", "<history><filters><filter name=\"a\"><value>1</va", false,
       "filters:\nfind:\n\"old\": \"kept\"\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppSettings settings;
    settings.find_history[u"old"] = {u"kept"};
    EXPECT_EQ(ParseHistory(c.xml, settings), c.result);
    EXPECT_EQ(DescribeHistory(settings), c.history);
  }
}

}  // namespace
