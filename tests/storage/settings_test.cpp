// Tests of storage/app_settings.cpp: settings.xml written and read back, files
// of earlier layouts and broken files, and the data folder.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "platform/fs.h"
#include "storage/app_settings.h"
#include "storage_test_util.h"
#include "test_tree.h"

namespace {

using storage_test::DescribeSettings;
using testing_support::TempTree;

// What a program start without any settings file ends up with.
AppSettings Defaults() {
  AppSettings settings;
  settings.ResetHandlerDefaults();
  settings.ResetSkipDefaults();
  return settings;
}

std::string Settings(const std::string& root_attributes, const std::string& body) {
  return "<settings" + root_attributes + ">" + body + "</settings>";
}
const std::string kPos = "<window_pos left=\"10\" top=\"20\" width=\"800\" height=\"600\"/>";
const std::string kScalars =
    "<maximized>0</maximized><advanced_visible>1</advanced_visible>"
    "<dont_save_unnamed_tabs>0</dont_save_unnamed_tabs><max_number_matches>100"
    "</max_number_matches><limit_file_preview>5</limit_file_preview>"
    "<ignore_files>1</ignore_files><treat_null_as_binary>1</treat_null_as_binary>";
std::string Rows(const std::string& rows) { return "<extensions>" + rows + "</extensions>"; }
std::string Row(const std::string& name, const std::string& handler) {
  return "<extension name=\"" + name + "\" handler=\"" + handler + "\"/>";
}

// The state after reading kPos and kScalars.
AppSettings Scalars() {
  AppSettings s;
  s.window_rect = {10, 20, 810, 620};
  s.advanced_visible = 1;
  return s;
}

TEST(SettingsFileTest, HandWrittenFilesReadAsDocumented) {
  struct Case {
    const char* name;
    std::string xml;
    bool complete;
    std::function<AppSettings()> expected;
  };
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<settings>";
  const Case cases[] = {
      {"no file", "", false, Defaults},
      {"width 800 and left 10 give right 810; missing scalars read 0",
       Settings(" version=\"1\"",
                "<window_pos left=\"10\" top=\"5\" width=\"800\" height=\"600\"/>" +
                    Rows(Row("txt", "1"))),
       true,
       [] {
         AppSettings s;
         s.window_rect = {10, 5, 810, 605};
         s.max_number_matches = s.limit_file_preview = 0;
         s.ignore_files = s.treat_null_as_binary = false;
         s.handler_table = {{u"txt", HandlerKind::kPlainText}};
         return s;
       }},
      {"absent width and left",
       Settings(" version=\"1\"", "<window_pos top=\"5\" height=\"7\"/>" + kScalars +
                                      Rows(Row("txt", "1"))),
       true,
       [] {
         AppSettings s = Scalars();
         s.window_rect = {0, 5, 0, 12};
         s.handler_table = {{u"txt", HandlerKind::kPlainText}};
         return s;
       }},
      {"handler 0 skips, 2 is IFilter, names are lower-cased",
       Settings(" version=\"1\"", kPos + kScalars +
                                      Rows(Row("DOC", "0") + Row("x", "2") + Row("PDF", "3") +
                                           Row("\xC3\x89T\xC3\x89", "1"))),
       true,
       [] {
         AppSettings s = Scalars();
         s.handler_table = {{u"x", HandlerKind::kIFilter},
                            {u"pdf", HandlerKind::kBuiltIn},
                            {u"\u00e9t\u00e9", HandlerKind::kPlainText}};
         s.skip_extensions = {u"doc"};
         return s;
       }},
      {"no version: gains the defaults it lacks, keeps its own rows",
       Settings("", kPos + kScalars + Rows(Row("pdf", "1") + Row("zzz", "2") + Row("exe", "0"))),
       true,
       [] {
         AppSettings s = Scalars();
         s.ResetHandlerDefaults();
         s.handler_table[u"pdf"] = HandlerKind::kPlainText;
         s.handler_table[u"zzz"] = HandlerKind::kIFilter;
         s.skip_extensions = {u"exe"};
         return s;
       }},
      {"version 1: a deleted default stays deleted",
       Settings(" version=\"1\"", kPos + kScalars + Rows(Row("txt", "1"))), true,
       [] {
         AppSettings s = Scalars();
         s.handler_table = {{u"txt", HandlerKind::kPlainText}};
         return s;
       }},
      {"version 0.5 is older",
       Settings(" version=\"0.5\"", kPos + kScalars + Rows(Row("txt", "1"))), true,
       [] {
         AppSettings s = Scalars();
         s.ResetHandlerDefaults();
         s.handler_table[u"txt"] = HandlerKind::kPlainText;
         return s;
       }},
      {"version 0.9999995 counts as 1",
       Settings(" version=\"0.9999995\"", kPos + kScalars + Rows(Row("txt", "1"))), true,
       [] {
         AppSettings s = Scalars();
         s.handler_table = {{u"txt", HandlerKind::kPlainText}};
         return s;
       }},
      {"number forms: 5 is true, abc false, leading digits count",
       Settings(" version=\"1\"",
                kPos +
                    "<maximized>5</maximized><advanced_visible>7</advanced_visible>"
                    "<dont_save_unnamed_tabs>abc</dont_save_unnamed_tabs>"
                    "<max_number_matches> 250px</max_number_matches><limit_file_preview/>"
                    "<ignore_files>-1</ignore_files><treat_null_as_binary>0"
                    "</treat_null_as_binary>" +
                    Rows(Row("txt", "1"))),
       true,
       [] {
         AppSettings s;
         s.window_rect = {10, 20, 810, 620};
         s.maximized = true;
         s.advanced_visible = 1;
         s.max_number_matches = 250;
         s.limit_file_preview = 0;
         s.treat_null_as_binary = false;
         s.handler_table = {{u"txt", HandlerKind::kPlainText}};
         return s;
       }},
      {"rows without name or handler, unknown kinds; a later row wins",
       Settings(" version=\"1\"",
                kPos + kScalars +
                    Rows("<extension name=\"a\"/><extension handler=\"1\"/>" + Row("b", "7") +
                         Row("c", "-1") + Row("d", "1") + Row("d", "3") + Row("e", "x"))),
       true,
       [] {
         AppSettings s = Scalars();
         s.handler_table = {{u"d", HandlerKind::kBuiltIn}};
         s.skip_extensions = {u"e"};
         return s;
       }},
      {"unknown elements are ignored",
       Settings(" version=\"1\" future=\"x\"",
                "<first/>" + kPos + kScalars + "<colour>red</colour>" +
                    Rows("<group>" + Row("in", "1") + "</group>" + Row("txt", "1"))),
       true,
       [] {
         AppSettings s = Scalars();
         s.handler_table = {{u"txt", HandlerKind::kPlainText}};
         return s;
       }},
      {"only skip rows: both tables take their defaults",
       Settings(" version=\"1\"", kPos + kScalars + Rows(Row("exe", "0"))), true,
       [] {
         AppSettings s = Scalars();
         s.ResetHandlerDefaults();
         s.ResetSkipDefaults();
         return s;
       }},
      {"no extensions element", Settings(" version=\"1\"", kPos + kScalars), true,
       [] {
         AppSettings s = Scalars();
         s.ResetHandlerDefaults();
         s.ResetSkipDefaults();
         return s;
       }},
      {"a huge width is clamped",
       Settings(" version=\"1\"",
                "<window_pos left=\"2147483000\" width=\"2000\"/>" + kScalars +
                    Rows(Row("txt", "1"))),
       true,
       [] {
         AppSettings s = Scalars();
         s.window_rect = {2147483000, 0, 2147483647, 0};
         s.handler_table = {{u"txt", HandlerKind::kPlainText}};
         return s;
       }},
      {"no settings root", "<options><window_pos/></options>", false, Defaults},
      {"no window_pos: nothing after it is read, but the tables get defaults",
       Settings(" version=\"1\"", kScalars + Rows(Row("txt", "1"))), false, Defaults},
      {"truncated", Settings(" version=\"1\"", kPos + kScalars).substr(0, 120), false, Defaults},
      {"UTF-16", std::string("\xFF\xFE<\0s\0/\0>\0", 10), false, Defaults},
      {"deeply nested", deep, false, Defaults},
      {"binary", std::string("\0\x01\x02\xFF<\xFE", 6), false, Defaults},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppSettings settings;
    EXPECT_EQ(ParseSettings(c.xml, settings), c.complete);
    EXPECT_EQ(DescribeSettings(settings), DescribeSettings(c.expected()));
  }
}

TEST(SettingsFileTest, WritesTheDocumentedLayout) {
  AppSettings settings;
  settings.window_rect = {10, 20, 810, 620};
  settings.handler_table = {{u"txt", HandlerKind::kPlainText}, {u"pdf", HandlerKind::kBuiltIn}};
  settings.skip_extensions = {u"exe", u"dll"};
  EXPECT_EQ(SettingsXml(settings),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<settings version=\"1\">\n"
            "    <window_pos left=\"10\" top=\"20\" width=\"800\" height=\"600\"/>\n"
            "    <maximized>0</maximized>\n"
            "    <advanced_visible>0</advanced_visible>\n"
            "    <dont_save_unnamed_tabs>0</dont_save_unnamed_tabs>\n"
            "    <max_number_matches>100</max_number_matches>\n"
            "    <limit_file_preview>5</limit_file_preview>\n"
            "    <ignore_files>1</ignore_files>\n"
            "    <treat_null_as_binary>1</treat_null_as_binary>\n"
            "    <extensions>\n"
            "        <extension name=\"pdf\" handler=\"3\"/>\n"
            "        <extension name=\"txt\" handler=\"1\"/>\n"
            "        <extension name=\"exe\" handler=\"0\"/>\n"
            "        <extension name=\"dll\" handler=\"0\"/>\n"
            "    </extensions>\n"
            "</settings>\n");
}

TEST(SettingsFileTest, SavedSettingsReadBackEqual) {
  TempTree tree;
  AppSettings saved;
  // A user name with non-ASCII letters puts them into the data folder's path.
  ASSERT_TRUE(InitDataFolderIn(saved, tree.Path(u"\u00e9l\u00e8ve \u65e5\u672c")));
  saved.window_rect = {-1280, -8, -100, 900};
  saved.maximized = true;
  saved.advanced_visible = 1;
  saved.dont_save_unnamed_tabs = true;
  saved.max_number_matches = 7;
  saved.limit_file_preview = 0;
  saved.ignore_files = false;
  saved.treat_null_as_binary = false;
  saved.filter_bar_visible = false;
  saved.handler_table = {{u"*", HandlerKind::kIFilter},
                         {u"", HandlerKind::kPlainText},
                         {u"\u00f1o", HandlerKind::kBuiltIn},
                         {u"a&b\"<c>", HandlerKind::kPlainText}};
  saved.skip_extensions = {u"exe", u"\u65e5\u672c", u"\U0001F600"};
  ASSERT_TRUE(SaveSettings(saved));

  AppSettings loaded;
  loaded.data_folder = saved.data_folder;
  EXPECT_TRUE(LoadSettings(loaded));
  EXPECT_EQ(DescribeSettings(loaded), DescribeSettings(saved));
  EXPECT_TRUE(loaded.filter_bar_visible);  // never saved

  // Saving again over the existing file replaces it.
  saved.skip_extensions.clear();
  ASSERT_TRUE(SaveSettings(saved));
  AppSettings again;
  again.data_folder = saved.data_folder;
  EXPECT_TRUE(LoadSettings(again));
  EXPECT_EQ(DescribeSettings(again), DescribeSettings(saved));
}

TEST(SettingsFileTest, ExtremeWindowRectanglesReadBackEqual) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  for (const WindowRect& rect :
       {WindowRect{kMin, kMin, kMax, kMax}, WindowRect{kMax, 0, kMin, 1}}) {
    AppSettings saved = Defaults();
    saved.window_rect = rect;
    AppSettings loaded;
    EXPECT_TRUE(ParseSettings(SettingsXml(saved), loaded));
    EXPECT_EQ(DescribeSettings(loaded), DescribeSettings(saved));
  }
}

TEST(SettingsFileTest, LoadingFromAFolderWithoutFilesCreatesNothing) {
  TempTree tree;
  AppSettings settings;
  settings.data_folder = DataFolderFromDir(tree.root());
  EXPECT_FALSE(LoadSettings(settings));
  EXPECT_EQ(DescribeSettings(settings), DescribeSettings(Defaults()));
  platform::FolderListing listing;
  ASSERT_TRUE(listing.Open(tree.root()));
  platform::FolderEntry entry;
  while (listing.Next(entry)) EXPECT_TRUE(entry.name == u"." || entry.name == u"..");
}

TEST(SettingsFileTest, WithoutADataFolderNothingIsReadOrWritten) {
  AppSettings settings;
  EXPECT_FALSE(LoadSettings(settings));
  EXPECT_EQ(DescribeSettings(settings), DescribeSettings(Defaults()));
  EXPECT_FALSE(SaveSettings(settings));
}

TEST(DataFolderTest, CreatesTheFolderAndItsResultsSubfolder) {
  const char16_t sep = platform::kPathSeparator;
  TempTree tree;
  for (const std::u16string& base : {tree.Path(u"cfg"), tree.Path(u"cfg") + sep}) {
    AppSettings settings;
    ASSERT_TRUE(InitDataFolderIn(settings, base));
    EXPECT_EQ(settings.data_folder, tree.Path(u"cfg/Varnel") + sep);
    EXPECT_TRUE(platform::IsExistingFolder(tree.Path(u"cfg/Varnel/search_results")));
  }
  AppSettings blocked;
  tree.Write(u"file", "x");
  EXPECT_FALSE(InitDataFolderIn(blocked, tree.Path(u"file")));
  EXPECT_TRUE(blocked.data_folder.empty());
  EXPECT_FALSE(InitDataFolderIn(blocked, u""));
}

TEST(DataFolderTest, ACommandLineFolderGetsOneTrailingSeparator) {
  const std::u16string sep(1, platform::kPathSeparator);
  EXPECT_EQ(DataFolderFromDir(u"d"), u"d" + sep);
  EXPECT_EQ(DataFolderFromDir(u"d" + sep), u"d" + sep);
  EXPECT_EQ(DataFolderFromDir(u"d/"), u"d/");
}

TEST(AppSettingsTest, HandlerSnapshotCarriesTheTablesInForce) {
  AppSettings settings;
  settings.handler_table = {{u"txt", HandlerKind::kPlainText}};
  settings.skip_extensions = {u"bin"};
  settings.ignore_files = false;
  HandlerSettings snapshot = settings.HandlerSnapshot();
  EXPECT_EQ(snapshot.handler_table, settings.handler_table);
  EXPECT_EQ(snapshot.skip_extensions, settings.skip_extensions);
  EXPECT_FALSE(snapshot.ignore_files);
}

}  // namespace
