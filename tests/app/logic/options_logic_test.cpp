// Native tests of the options dialog's window-free rules: the File formats
// and Skip files working copies, the handler dialog, the number fields, and
// what reaches the settings at OK and what survives Cancel.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/logic/options_model.h"
#include "platform/text.h"

namespace app {
namespace {

std::string U8(std::u16string_view s) { return platform::ToUtf8(s); }

std::string Describe(const CHandlerTableCopy& copy) {
  std::string out;
  for (const HandlerRow& r : copy.Rows()) {
    out += U8(r.extension) + "=" + U8(HandlerKindText(r.kind)) + " ";
  }
  return out;
}

std::string Describe(const std::vector<std::u16string>& rows) {
  std::string out;
  for (const std::u16string& r : rows) out += U8(r) + " ";
  return out;
}

TEST(OptionsText, IdsAreUniqueAndMisspellingsMended) {
  std::set<int> ids;
#define VARNEL_OPTIONS_STRING_ID(name, id, text) EXPECT_TRUE(ids.insert(id).second) << #name;
  VARNEL_OPTIONS_STRINGS(VARNEL_OPTIONS_STRING_ID)
#undef VARNEL_OPTIONS_STRING_ID
  EXPECT_EQ(OptionsText(IDS_OPT_CONTEXT_VERB),
            u"Integrate Varnel into Explorer folder's context menu");
  EXPECT_EQ(OptionsText(IDS_OPT_BANNER_LINE), u"Here you can configure ");
  EXPECT_TRUE(OptionsText(1).empty());
}

TEST(OptionsFormats, RowsSortWithoutCaseAndStarLast) {
  CHandlerTableCopy copy;
  copy.Fill({{u"*", HandlerKind::kPlainText},
             {u"Zip", HandlerKind::kIFilter},
             {u"doc", HandlerKind::kIFilter},
             {u"pdf", HandlerKind::kBuiltIn},
             {u"a", HandlerKind::kIgnore}});
  EXPECT_EQ(Describe(copy), "a=(Ignore) doc=IFilter pdf=Built-in Zip=IFilter *=PlainText ");

  struct Case {
    const char* typed;
    bool added;
    int row;
    const char* rows;
  };
  const Case cases[] = {
      {"DOC", false, -1, "a doc pdf Zip * "},  // a duplicate regardless of case
      {"zip", false, -1, "a doc pdf Zip * "},  // also against a stored capital
      {"  .TXT ", true, 3, "a doc pdf txt Zip * "},
      {"aa", true, 1, "a aa doc pdf txt Zip * "},
      {"~", true, 6, "a aa doc pdf txt Zip ~ * "},  // after the letters, before "*"
      {" . ", false, -1, "a aa doc pdf txt Zip ~ * "},
      {"*", false, -1, "a aa doc pdf txt Zip ~ * "},
  };
  for (const Case& c : cases) {
    int row = -1;
    EXPECT_EQ(copy.Add(platform::FromUtf8(c.typed), HandlerKind::kPlainText, row), c.added)
        << c.typed;
    if (c.added) {
      EXPECT_EQ(row, c.row) << c.typed;
    }
    std::string rows;
    for (const HandlerRow& r : copy.Rows()) rows += U8(r.extension) + " ";
    EXPECT_EQ(rows, c.rows) << c.typed;
  }
}

TEST(OptionsFormats, DeleteSelectsThePreviousRowAndKeepsStar) {
  CHandlerTableCopy copy;
  copy.Fill({{u"*", HandlerKind::kPlainText},
             {u"doc", HandlerKind::kIFilter},
             {u"pdf", HandlerKind::kBuiltIn},
             {u"txt", HandlerKind::kPlainText}});
  EXPECT_FALSE(copy.CanDelete(3));  // "*"
  EXPECT_EQ(copy.Delete(3), -1);
  EXPECT_EQ(copy.Delete(4), -1);
  EXPECT_EQ(copy.Delete(1), 0);  // pdf: doc is selected
  EXPECT_EQ(copy.Delete(0), 0);  // doc was first: the new first row
  EXPECT_EQ(Describe(copy), "txt=PlainText *=PlainText ");
  EXPECT_EQ(copy.Delete(0), 0);
  EXPECT_EQ(Describe(copy), "*=PlainText ");

  // An edit changes the kind only; kinds of 0 do not reach the settings.
  copy.SetKind(0, HandlerKind::kIgnore);
  int row = -1;
  ASSERT_TRUE(copy.Add(u"Rtf", HandlerKind::kIFilter, row));
  EXPECT_EQ(copy.Applied(), (ExtensionHandlerTable{{u"rtf", HandlerKind::kIFilter}}));
}

TEST(OptionsSkip, AddDeleteAndSelection) {
  CSkipListCopy copy;
  copy.Fill({u"exe", u"Dll", u"bmp"});
  EXPECT_EQ(Describe(copy.Rows()), "bmp Dll exe ");
  int row = -1;
  EXPECT_FALSE(copy.Add(u"DLL", row));  // regardless of case
  EXPECT_FALSE(copy.Add(u"  ", row));
  ASSERT_TRUE(copy.Add(u".CAB", row));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(Describe(copy.Rows()), "bmp cab Dll exe ");
  // The settings keep the entries' order, new ones last.
  EXPECT_EQ(Describe(copy.Entries()), "exe Dll bmp cab ");

  EXPECT_EQ(copy.Delete(1), 1);  // cab: Dll moves up into the selection
  EXPECT_EQ(copy.Delete(2), 1);  // exe, the last: the new last row
  EXPECT_EQ(copy.Delete(5), -1);
  EXPECT_EQ(Describe(copy.Rows()), "bmp Dll ");
  EXPECT_EQ(copy.Delete(0), 0);
  EXPECT_EQ(copy.Delete(0), -1);
  EXPECT_TRUE(copy.Entries().empty());

  EXPECT_EQ(SkipControlsEnabled(false, true), (SkipControls{}));
  EXPECT_EQ(SkipControlsEnabled(true, false), (SkipControls{true, true, true, false}));
  EXPECT_EQ(SkipControlsEnabled(true, true), (SkipControls{true, true, true, true}));
}

TEST(OptionsHandlerDialog, BuiltInOnlyForPdf) {
  using K = HandlerKind;
  struct Case {
    const char* typed;
    K checked;
    HandlerDialogState state;
  };
  const Case cases[] = {
      {"pdf", K::kBuiltIn, {true, K::kBuiltIn, true}},
      {"PDF", K::kIFilter, {true, K::kIFilter, true}},
      {".pdf", K::kBuiltIn, {true, K::kBuiltIn, true}},
      {"pd", K::kBuiltIn, {false, K::kIgnore, false}},  // the check goes with the button
      {"pd", K::kPlainText, {false, K::kPlainText, true}},
      {"", K::kIFilter, {false, K::kIFilter, false}},
      {"doc", K::kIgnore, {false, K::kIgnore, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EvaluateHandlerDialog(platform::FromUtf8(c.typed), c.checked), c.state) << c.typed;
  }
  for (K kind : {K::kPlainText, K::kIFilter, K::kBuiltIn}) {
    EXPECT_EQ(KindOfRadio(RadioOfKind(kind)), kind);
  }
  EXPECT_EQ(RadioOfKind(K::kIgnore), 0);
}

TEST(OptionsDisplay, NumberFields) {
  struct Case {
    const char* text;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"250", 250},
      {"0", 0},
      {"", 7},
      {"12a", 7},
      {"-1", 7},
      {"2147483647", 2147483647},
      {"2147483648", 7},  // would wrap to a negative count
      {"99999999999999999999", 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseCountField(platform::FromUtf8(c.text), 7), c.expected) << c.text;
  }
  EXPECT_EQ(CountFieldText(100), u"100");
  EXPECT_EQ(CountFieldText(0), u"0");
}

// What OK writes, and that Cancel (nothing applied) keeps the settings but
// for the three actions that act at once.
TEST(OptionsApply, OkWritesThePagesCancelKeepsAllButTheResets) {
  AppSettings settings;
  settings.handler_table = {{u"*", HandlerKind::kPlainText}, {u"doc", HandlerKind::kIFilter}};
  settings.skip_extensions = {u"exe"};
  settings.AddFindHistory(kHistoryPath, u"C:\\src");
  settings.AddFilterHistory(u"Name", u"a");

  // Cancel after a delete: the table is untouched.
  CHandlerTableCopy formats;
  formats.Fill(settings.handler_table);
  EXPECT_EQ(formats.Delete(0), 0);
  CSkipListCopy skip;
  skip.Fill(settings.skip_extensions);
  EXPECT_EQ(skip.Delete(0), -1);
  EXPECT_EQ(settings.handler_table.size(), 2u);
  EXPECT_EQ(settings.skip_extensions, (std::vector<std::u16string>{u"exe"}));

  // The resets act on the settings themselves.
  settings.ResetHandlerDefaults();
  settings.ResetSkipDefaults();
  settings.ClearHistory();
  EXPECT_EQ(settings.handler_table, DefaultHandlerTable());
  EXPECT_EQ(settings.skip_extensions, DefaultSkipExtensions());
  EXPECT_TRUE(settings.GetFindHistory(kHistoryPath).empty());
  EXPECT_TRUE(settings.GetFilterHistory(u"Name").empty());

  // OK: each page writes its part.
  DisplayForm display = DisplayFromSettings(settings);
  EXPECT_EQ(display.max_number_matches, u"100");
  display.max_number_matches = u"";
  display.limit_file_preview = u"12";
  ApplyDisplay(display, settings);
  EXPECT_EQ(settings.max_number_matches, 100);
  EXPECT_EQ(settings.limit_file_preview, 12);
  skip.Fill({u"exe"});
  int row = -1;
  ASSERT_TRUE(skip.Add(u"tmp", row));
  ApplySkip({false, false}, skip, settings);
  EXPECT_FALSE(settings.ignore_files);
  EXPECT_FALSE(settings.treat_null_as_binary);
  EXPECT_EQ(settings.skip_extensions, (std::vector<std::u16string>{u"exe", u"tmp"}));
}

// A registry that refuses every write: the boxes must not claim hooks that
// were not written.
class CRefusingRegistry : public IRegistry {
 public:
  bool ReadString(RegistryRoot, std::u16string_view, std::u16string_view,
                  std::u16string&) override {
    return false;
  }
  bool CreateKey(RegistryRoot, std::u16string_view) override { return false; }
  bool WriteString(RegistryRoot, std::u16string_view, std::u16string_view,
                   std::u16string_view) override {
    return false;
  }
  bool DeleteValue(RegistryRoot, std::u16string_view, std::u16string_view) override {
    return false;
  }
  bool DeleteTree(RegistryRoot, std::u16string_view) override { return false; }
};

TEST(OptionsApply, GeneralPageShowsTheHooksAsWritten) {
  AppSettings settings;
  ShellIntegrationState shell;
  CRefusingRegistry registry;
  ApplyGeneral({true, true, true}, settings, registry, u"C:\\v.exe", shell);
  EXPECT_TRUE(settings.dont_save_unnamed_tabs);
  EXPECT_EQ(GeneralFromSettings(settings, shell), (GeneralForm{false, true, false}));
  shell = {u"\"C:\\v.exe\" -autorun", true};
  ApplyGeneral({false, false, false}, settings, registry, u"C:\\v.exe", shell);
  EXPECT_EQ(GeneralFromSettings(settings, shell), (GeneralForm{true, false, true}));
}

}  // namespace
}  // namespace app
