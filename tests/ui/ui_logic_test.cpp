// Native tests of the search page's window-free rules: validation messages
// and focus targets, the enabling rules, the list fields, the history menu
// texts, and the result table (cells, filters, sort, columns, icons).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/text.h"
#include "ui/logic/control_ids.h"
#include "ui/logic/criteria_form.h"
#include "ui/logic/list_fields.h"
#include "ui/logic/result_table.h"
#include "ui/logic/ui_text.h"

namespace ui {
namespace {

std::string U8(std::u16string_view s) { return platform::ToUtf8(s); }

// ---- Text table ----

TEST(UiText, IdsAreUniqueAndMessagesReadAsQuoted) {
  std::set<int> ids;
#define VARNEL_UI_STRING_ID(name, id, text) EXPECT_TRUE(ids.insert(id).second) << #name;
  VARNEL_UI_STRINGS(VARNEL_UI_STRING_ID)
#undef VARNEL_UI_STRING_ID
  EXPECT_EQ(UiFormat(IDS_PATH_MISSING, u"C:\\x"), u"Path \"C:\\x\" does not exist");
  EXPECT_EQ(UiText(IDS_CUE_FILE_NAMES), u" File names delimited by \";\"");
  EXPECT_EQ(UiText(IDS_TIP_HEX), u"Hex (e.g. '12AB3F')");
  EXPECT_TRUE(UiText(1).empty());
}

// ---- Collecting and validating ----

// A form whose path exists, with every control usable.
CriteriaForm BaseForm() {
  CriteriaForm f;
  f.general.path = u"C:\\a";
  f.general.file_name = u"*.*";
  return f;
}

struct CollectCase {
  const char* name;
  void (*edit)(CriteriaForm&);
  int focus_id;    // 0: accepted
  int message_id;  // with "%s" filled by `argument`
  const char16_t* argument;
};

TEST(Collect, MessagesAndFocusTargets) {
  const CollectCase cases[] = {
      {"valid", [](CriteriaForm&) {}, 0, 0, u""},
      {"missing folder", [](CriteriaForm& f) { f.general.path = u"C:\\a;C:\\nope"; }, IDC_PATH,
       IDS_PATH_MISSING, u"C:\\nope"},
      // Items are not trimmed: " -C:\a\tmp" begins with a blank, so it is an
      // inclusion named with a blank, which does not exist.
      {"blank before dash", [](CriteriaForm& f) { f.general.path = u"C:\\a; -C:\\a\\tmp"; },
       IDC_PATH, IDS_PATH_MISSING, u" -C:\\a\\tmp"},
      {"exclusion is not checked", [](CriteriaForm& f) { f.general.path = u"C:\\a;-C:\\nope"; }, 0,
       0, u""},
      {"hex with a blank",
       [](CriteriaForm& f) {
         f.general.text = u"41 42";
         f.general.hex = 1;
       },
       IDC_TEXT, IDS_HEX_FORMAT, u""},
      {"hex replace not hex",
       [](CriteriaForm& f) {
         f.general.text = u"41";
         f.general.hex = 1;
         f.advanced.replace_checked = true;
         f.advanced.replace_text = u"zz";
       },
       IDC_REPLACE_TEXT, IDS_HEX_FORMAT, u""},
      {"hex ignored while disabled by regexp",
       [](CriteriaForm& f) {
         f.general.text = u"a b";
         f.general.hex = 1;
         f.general.reg_exp = 1;
       },
       0, 0, u""},
      {"empty maximum",
       [](CriteriaForm& f) {
         f.advanced.size_checked = true;
         f.advanced.size_min = u"1";
       },
       IDC_SIZE_MAX, IDS_SIZE_INTERVAL, u""},
      {"maximum below minimum",
       [](CriteriaForm& f) {
         f.advanced.size_checked = true;
         f.advanced.size_min = u"5";
         f.advanced.size_max = u"4";
       },
       IDC_SIZE_MAX, IDS_SIZE_INTERVAL, u""},
      {"minimum not a number",
       [](CriteriaForm& f) {
         f.advanced.size_checked = true;
         f.advanced.size_min = u"12x";
         f.advanced.size_max = u"40";
       },
       IDC_SIZE_MIN, IDS_SIZE_INTERVAL, u""},
      {"maximum overflows in bytes",
       [](CriteriaForm& f) {
         f.advanced.size_checked = true;
         f.advanced.size_unit = kUnitGb;
         f.advanced.size_max = u"9000000000000";
       },
       IDC_SIZE_MAX, IDS_SIZE_INTERVAL, u""},
      {"size ignored when unchecked", [](CriteriaForm& f) { f.advanced.size_max = u"0"; }, 0, 0,
       u""},
      {"dates reversed",
       [](CriteriaForm& f) {
         f.advanced.date_checked = true;
         f.advanced.date_from = {2024, 3, 2, true};
         f.advanced.date_to = {2024, 3, 1, true};
       },
       IDC_DATE_FROM, IDS_DATE_INTERVAL, u""},
      {"same day",
       [](CriteriaForm& f) {
         f.advanced.date_checked = true;
         f.advanced.date_from = f.advanced.date_to = {2024, 2, 29, true};
       },
       0, 0, u""},
  };
  const auto exists = [](std::u16string_view p) { return p == u"C:\\a"; };
  for (const CollectCase& c : cases) {
    CriteriaForm form = BaseForm();
    c.edit(form);
    const EnabledControls enabled = UpdateDependencies(form, false);
    FileFindParamsIn record;
    CollectError error;
    bool ok = CollectGeneral(form.general, enabled, true, exists, record, error);
    if (ok) ok = CollectAdvanced(form.advanced, enabled, true, record, error);
    EXPECT_EQ(ok, c.focus_id == 0) << c.name;
    EXPECT_EQ(error.focus_id, c.focus_id) << c.name;
    const std::u16string expected = c.message_id ? UiFormat(c.message_id, c.argument) : u"";
    EXPECT_EQ(U8(error.message), U8(expected)) << c.name;
    // Without validation the same forms always give a record.
    FileFindParamsIn quiet;
    EXPECT_TRUE(CollectGeneral(form.general, enabled, false, exists, quiet, error) &&
                CollectAdvanced(form.advanced, enabled, false, quiet, error))
        << c.name;
  }
}

TEST(Collect, ValuesReachTheRecord) {
  CriteriaForm form = BaseForm();
  form.general.path = u" \tC:\\a\r\n";
  form.general.text = u"4142";
  form.general.hex = 1;
  form.general.case_sensitive = 1;  // disabled by hex: reads as off
  form.advanced.size_checked = true;
  form.advanced.size_min = u"2";
  form.advanced.size_max = u"3";
  form.advanced.size_unit = kUnitMb;
  form.advanced.date_checked = true;
  form.advanced.date_kind = kDateAccessed;
  form.advanced.date_from = form.advanced.date_to = {1601, 1, 2, true};
  form.advanced.replace_checked = true;
  // A replacement longer than 200 characters is used whole.
  form.advanced.replace_text = std::u16string(150, u'4') + std::u16string(150, u'3');
  form.advanced.backup = 1;
  form.advanced.read_only_rule = 2;
  const EnabledControls enabled = UpdateDependencies(form, false);
  FileFindParamsIn r;
  CollectError error;
  ASSERT_TRUE(CollectGeneral(
                  form.general, enabled, true, [](std::u16string_view p) { return p == u"C:\\a"; },
                  r, error) &&
              CollectAdvanced(form.advanced, enabled, true, r, error))
      << U8(error.message);
  EXPECT_EQ(form.general.path, u"C:\\a");  // trimmed, for the dialog to write back
  EXPECT_EQ(r.path, u"C:\\a");
  EXPECT_EQ(r.hex_text, u"AB");
  EXPECT_TRUE(r.binary);
  EXPECT_FALSE(r.case_sensitive);
  EXPECT_EQ(r.size_min, 2097152u);
  EXPECT_EQ(r.size_max, 3145728u);
  EXPECT_EQ(r.time_type, TimeType::kAccessed);
  EXPECT_EQ(r.time_min, kFileTimeDay);
  EXPECT_EQ(r.time_max, 2 * kFileTimeDay - kFileTimeSecond);
  EXPECT_EQ(r.replace_text.size(), 300u);
  EXPECT_EQ(r.hex_replace_text.size(), 150u);
  EXPECT_TRUE(r.replace && r.backup);
  EXPECT_EQ(r.replace_read_only, ReadOnlyAction::kSkip);
}

TEST(Collect, HexOddDigitAndNegativeSizes) {
  CriteriaForm form = BaseForm();
  form.general.text = u"414";
  form.general.hex = 1;
  form.advanced.size_checked = true;
  form.advanced.size_min = u"-5";
  form.advanced.size_max = u" 10 ";
  const EnabledControls enabled = UpdateDependencies(form, false);
  FileFindParamsIn r;
  CollectError error;
  ASSERT_TRUE(CollectGeneral(
      form.general, enabled, true, [](auto) { return true; }, r, error));
  ASSERT_TRUE(CollectAdvanced(form.advanced, enabled, true, r, error));
  EXPECT_EQ(DecodeHexBytes(r.text), std::string("\x41\x40"));
  EXPECT_EQ(r.size_min, 0u);
  EXPECT_EQ(r.size_max, 10240u);
}

// ---- Enabling rules ----

struct EnableCase {
  const char* name;
  void (*edit)(CriteriaForm&);
  std::vector<int> on;
  std::vector<int> off;
};

TEST(Dependencies, EnablingRules) {
  const EnableCase cases[] = {
      {"empty path disables subfolders",
       [](CriteriaForm& f) { f.general.path.clear(); },
       {},
       {IDC_SUBFOLDERS}},
      {"empty names disable the three-state buttons",
       [](CriteriaForm& f) {
         f.general.file_name.clear();
         f.general.folder = 1;
       },
       {IDC_TEXT},
       {IDC_HIDDEN, IDC_READ_ONLY, IDC_FOLDERS}},
      {"no text: content options and replace off",
       [](CriteriaForm&) {},
       {IDC_TEXT},
       {IDC_CASE, IDC_WHOLE_WORDS, IDC_REGEXP, IDC_HEX, IDC_REPLACE_CHECK}},
      {"text: all content options",
       [](CriteriaForm& f) { f.general.text = u"x"; },
       {IDC_CASE, IDC_WHOLE_WORDS, IDC_REGEXP, IDC_HEX, IDC_REPLACE_CHECK},
       {IDC_REPLACE_TEXT}},
      {"regexp disables whole words and hex",
       [](CriteriaForm& f) {
         f.general.text = u"x";
         f.general.reg_exp = 1;
         f.general.hex = 1;
       },
       {IDC_CASE, IDC_REGEXP},
       {IDC_WHOLE_WORDS, IDC_HEX}},
      {"hex disables case, regexp and whole words",
       [](CriteriaForm& f) {
         f.general.text = u"41";
         f.general.hex = 1;
       },
       {IDC_HEX},
       {IDC_CASE, IDC_REGEXP, IDC_WHOLE_WORDS}},
      {"match only folders disables the text and all that hangs on it",
       [](CriteriaForm& f) {
         f.general.text = u"x";
         f.general.folder = 1;
         f.advanced.replace_checked = true;
       },
       {IDC_FOLDERS},
       {IDC_TEXT, IDC_CASE, IDC_HEX, IDC_REPLACE_CHECK, IDC_REPLACE_TEXT, IDC_BACKUP}},
      {"do not match folders keeps the text",
       [](CriteriaForm& f) { f.general.folder = 2; },
       {IDC_TEXT},
       {}},
      {"size check enables its three controls",
       [](CriteriaForm& f) { f.advanced.size_checked = true; },
       {IDC_SIZE_MIN, IDC_SIZE_MAX, IDC_SIZE_UNIT},
       {IDC_DATE_FROM, IDC_DATE_TO, IDC_DATE_KIND}},
      {"date check enables its three controls",
       [](CriteriaForm& f) { f.advanced.date_checked = true; },
       {IDC_DATE_FROM, IDC_DATE_TO, IDC_DATE_KIND},
       {IDC_SIZE_MIN}},
      {"replace checked with text",
       [](CriteriaForm& f) {
         f.general.text = u"x";
         f.advanced.replace_checked = true;
       },
       {IDC_REPLACE_TEXT, IDC_BACKUP, IDC_REPLACE_READ_ONLY},
       {}},
  };
  for (const EnableCase& c : cases) {
    CriteriaForm form = BaseForm();
    c.edit(form);
    const EnabledControls enabled = UpdateDependencies(form, false);
    for (int id : c.on) EXPECT_TRUE(enabled.count(id)) << c.name << ": " << id << " off";
    for (int id : c.off) EXPECT_FALSE(enabled.count(id)) << c.name << ": " << id << " on";
    EXPECT_TRUE(UpdateDependencies(form, true).empty()) << c.name << ": running";
  }
}

TEST(Dependencies, ReplaceModeAndArrowIcon) {
  CriteriaForm form = BaseForm();
  form.advanced.replace_checked = true;
  EXPECT_FALSE(ReplaceModeActive(form, UpdateDependencies(form, false)));
  // The check box is disabled without a text: hidden criteria not in use.
  EXPECT_EQ(ArrowIconId(form, UpdateDependencies(form, false)), IDI_ARROW_PLAIN);
  form.general.text = u"x";
  EXPECT_TRUE(ReplaceModeActive(form, UpdateDependencies(form, false)));
  EXPECT_EQ(ArrowIconId(form, UpdateDependencies(form, false)), IDI_ARROW_MARKED);
  form.advanced.replace_checked = false;
  form.advanced.date_checked = true;
  EXPECT_EQ(ArrowIconId(form, UpdateDependencies(form, false)), IDI_ARROW_MARKED);
}

// ---- Forms from a record ----

TEST(Forms, FromRecordChoosesTheLargestExactUnit) {
  struct Case {
    std::uint64_t min, max;
    int unit;
    const char16_t *min_text, *max_text;
  } cases[] = {
      {10240, 1048576, kUnitKb, u"10", u"1024"},
      {0, 2147483648ULL, kUnitGb, u"0", u"2"},
      {1048576, 3145728, kUnitMb, u"1", u"3"},
      {1000, 2048, kUnitB, u"1000", u"2048"},
  };
  for (const Case& c : cases) {
    FileFindParamsIn r;
    r.size_min = c.min;
    r.size_max = c.max;
    const AdvancedForm a = AdvancedFromRecord(r);
    EXPECT_TRUE(a.size_checked);
    EXPECT_EQ(a.size_unit, c.unit) << c.max;
    EXPECT_EQ(a.size_min, c.min_text);
    EXPECT_EQ(a.size_max, c.max_text);
  }
  FileFindParamsIn none;
  EXPECT_EQ(AdvancedFromRecord(none).size_unit, kUnitKb);
  EXPECT_EQ(AdvancedFromRecord(none).date_kind, kDateModified);
}

TEST(Forms, DatesRoundTripThroughTheRecord) {
  for (CalendarDate d : {CalendarDate{1601, 1, 1, true}, CalendarDate{2000, 2, 29, true},
                         CalendarDate{2024, 12, 31, true}, CalendarDate{1970, 1, 1, true}}) {
    EXPECT_EQ(DateOfFileTime(DateToFileTime(d.year, d.month, d.day) + kFileTimeDay - 1), d)
        << d.year << "-" << d.month << "-" << d.day;
  }
  EXPECT_FALSE(DateOfFileTime(0).valid);
}

// ---- List fields ----

TEST(ListFields, SplitAndJoin) {
  struct Case {
    const char* name;
    bool folders;
    const char16_t* field;
    std::vector<std::u16string> include, exclude;
    const char16_t* joined;  // after a round trip through the dialog
  } cases[] = {
      {"folders",
       true,
       u"C:\\a;-C:\\a\\tmp;D:\\",
       {u"C:\\a", u"D:\\"},
       {u"C:\\a\\tmp"},
       u"C:\\a;D:\\;-C:\\a\\tmp"},
      {"empty folder item shows as a line and is dropped",
       true,
       u"C:\\a;;C:\\b",
       {u"C:\\a", u"", u"C:\\b"},
       {},
       u"C:\\a;C:\\b"},
      {"masks",
       false,
       u"*.txt;-*.bak;--x;---y",
       {u"*.txt", u"-x"},
       {u"*.bak", u"-y"},
       u"*.txt;--x;-*.bak;---y"},
  };
  for (const Case& c : cases) {
    const FieldLists lists = c.folders ? SplitFolderField(c.field) : SplitFileNameField(c.field);
    EXPECT_EQ(lists.include, c.include) << c.name;
    EXPECT_EQ(lists.exclude, c.exclude) << c.name;
    const auto include = EditTextToLines(LinesToEditText(lists.include));
    const auto exclude = EditTextToLines(LinesToEditText(lists.exclude));
    const std::u16string joined =
        c.folders ? JoinFolderLines(include, exclude) : JoinFileNameLines(include, exclude);
    EXPECT_EQ(U8(joined), U8(c.joined)) << c.name;
  }
}

TEST(ListFields, LinesAreTakenWhole) {
  const std::u16string long_path = u"C:\\" + std::u16string(300, u'x');
  EXPECT_EQ(EditTextToLines(u"a\r\n\r\n" + long_path + u"\nb\r"),
            (std::vector<std::u16string>{u"a", long_path, u"b"}));
}

TEST(HistoryMenu, EntriesOf71CharactersOrMoreAreCut) {
  const std::u16string seventy(70, u'x');
  EXPECT_EQ(HistoryMenuText(seventy), seventy);
  EXPECT_EQ(HistoryMenuText(seventy + u"y"), seventy + u"...");
  EXPECT_EQ(HistoryMenuText(u""), u"");
}

// ---- Result table ----

TEST(ResultCells, SizeTextsAtTheUnitEdges) {
  const std::pair<std::uint64_t, const char16_t*> cases[] = {
      {0, u"0 B"},
      {1023, u"1023 B"},
      {1024, u"1.00 Kb"},
      {1536, u"1.50 Kb"},
      {1048575, u"1024.00 Kb"},
      {1048576, u"1.00 Mb"},
      {1073741823, u"1024.00 Mb"},
      {1073741824, u"1.00 Gb"},
      {kFolderSize, u""},
  };
  for (const auto& [size, text] : cases) EXPECT_EQ(U8(SizeText(size)), U8(text)) << size;
}

std::unique_ptr<FileResult> Record(std::u16string name, bool folder = false, std::uint64_t size = 0,
                                   std::int32_t replaces = 0) {
  auto r = std::make_unique<FileResult>();
  r->file_name = std::move(name);
  r->folder = u"C:\\data";
  r->is_folder = folder;
  r->size = folder ? kFolderSize : size;
  r->type = ExtensionOf(r->file_name);
  r->replaces = replaces;
  return r;
}

std::vector<std::u16string> Names(const CResultTable& t) {
  std::vector<std::u16string> names;
  for (std::size_t row = 0; row < t.RowCount(); ++row) names.push_back(t.RowRecord(row).file_name);
  return names;
}

TEST(ResultCells, TextsOfEachColumn) {
  CResultTable found(ListKind::kFound, nullptr);
  (void)found.Add(Record(u"a.TXT", false, 1536, -1));
  (void)found.Add(Record(u"sub", true));
  auto skipped_record = Record(u"b.bin");
  skipped_record->kind = ResultKind::kSkipped;
  skipped_record->reason = 999;  // a code the table does not hold
  CResultTable skipped(ListKind::kSkipped, nullptr);
  (void)skipped.Add(std::move(skipped_record));
  auto error_record = Record(u"c.doc");
  error_record->kind = ResultKind::kError;
  error_record->reason = kReasonOpenError;
  error_record->error_code = 2;
  CResultTable errors(ListKind::kError, nullptr);
  (void)errors.Add(std::move(error_record));

  EXPECT_EQ(found.CellText(0, kColumnName), u"sub");  // the folder is on top
  EXPECT_EQ(found.CellText(0, kColumnType), u"<DIR>");
  EXPECT_EQ(found.CellText(0, kColumnSize), u"");
  EXPECT_EQ(found.CellText(1, kColumnType), u"txt");
  EXPECT_EQ(found.CellText(1, kColumnReplaces), u"Failed");
  EXPECT_EQ(found.CellText(1, kColumnSize), u"1.50 Kb");
  EXPECT_EQ(FullPath(found.RowRecord(1)),
            u"C:\\data" + std::u16string(1, platform::kPathSeparator) + u"a.TXT");
  EXPECT_EQ(skipped.CellText(0, kColumnReason), u"");
  EXPECT_EQ(U8(errors.CellText(0, kColumnReason)), "File open error (error=0x2)");
  EXPECT_EQ(ReplacesText(7), u"7");
  EXPECT_EQ(ReplacesText(0), u"");
}

TEST(ResultColumns, CaptionsSetsAndFolderWidth) {
  EXPECT_EQ(ColumnKindOfCaption(u"file NAME"), kColumnName);
  EXPECT_EQ(ColumnKindOfCaption(u"Reason"), kColumnReason);
  EXPECT_EQ(ColumnKindOfCaption(u"Names"), -1);
  EXPECT_EQ(ColumnSet(ListKind::kError, true),
            (std::vector<int>{kColumnName, kColumnFolder, kColumnSize, kColumnModified, kColumnType,
                              kColumnReason}));
  EXPECT_EQ(FolderColumnWidth(ColumnSet(ListKind::kFound, true), 1000),
            1000 - 200 - 80 - 80 - 100 - 60);
}

TEST(ResultColumns, ReplacesColumnFollowsTheRuns) {
  CResultTable t(ListKind::kFound, nullptr);
  struct Run {
    const char* name;
    std::vector<std::int32_t> counts;  // the run's records, in arrival order
    bool replaces_column;
  } runs[] = {
      {"replace run", {3, -1}, true},
      {"second replace run", {1}, true},
      {"find run", {0, 0}, false},
      // A folder (count 0) arriving first must not keep the column away.
      {"replace run starting with a folder", {0, 2}, true},
  };
  for (const Run& run : runs) {
    t.Clear();
    for (std::int32_t count : run.counts) (void)t.Add(Record(u"f.txt", false, 1, count));
    EXPECT_EQ(t.HasReplacesColumn(), run.replaces_column) << run.name;
    const auto columns = t.Columns();
    EXPECT_EQ(std::count(columns.begin(), columns.end(), kColumnReplaces), run.replaces_column)
        << run.name;
  }
}

TEST(ResultFilter, WildcardAndSubstringRules) {
  struct Case {
    const char16_t *value, *filter;
    bool force_substring, accepts;
  } cases[] = {
      {u"a.txt", u"*.TXT", false, true},
      {u"Annual Report.doc", u"report", false, true},
      {u"x.doc", u".doc", false, false},  // a dot without a wildcard: whole value
      {u".doc", u".doc", false, true},
      {u"C:\\a*b\\c", u"a*b", true, true},  // forced substring: "*" is literal
      {u"C:\\ab\\c", u"a*b", true, false},
      {u"a.txt", u"*.doc;*.txt", false, true},
      {u"anything", u"", false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FilterAccepts(c.value, c.filter, c.force_substring), c.accepts)
        << U8(c.value) << " / " << U8(c.filter);
  }
}

TEST(ResultFilter, RowsAfterFilteringKeepFoldersOnTop) {
  CResultTable t(ListKind::kFound, nullptr);
  for (const char16_t* name : {u"b.txt", u"dir1", u"a.doc", u"dir2", u"c.txt"}) {
    const std::u16string n = name;
    (void)t.Add(Record(n, n.rfind(u"dir", 0) == 0, 10));
  }
  EXPECT_EQ(Names(t),
            (std::vector<std::u16string>{u"dir1", u"dir2", u"b.txt", u"a.doc", u"c.txt"}));
  EXPECT_TRUE(t.SetFilters({{kColumnType, u"txt"}}));
  EXPECT_EQ(Names(t), (std::vector<std::u16string>{u"b.txt", u"c.txt"}));
  EXPECT_FALSE(t.SetFilters({{kColumnType, u"txt"}, {kColumnReason, u"x"}}));  // unchanged
  EXPECT_EQ(t.RecordCount(), 5u);
  // A record arriving while a filter is active is kept but not shown.
  EXPECT_EQ(t.Add(Record(u"d.doc", false, 10)), CResultTable::Added::kHidden);
  EXPECT_EQ(t.Add(Record(u"e.txt", false, 10)), CResultTable::Added::kAppended);
  EXPECT_TRUE(t.SetFilters({{kColumnFolder, u"*"}}));  // substring: no folder has a "*"
  EXPECT_EQ(t.RowCount(), 0u);
  EXPECT_TRUE(t.SetFilters({}));
  EXPECT_EQ(t.RowCount(), 7u);
  EXPECT_EQ(t.FolderRowCount(), 2u);
}

TEST(ResultSort, FoldersStayOnTopAndClicksFlip) {
  CResultTable t(ListKind::kFound, nullptr);
  (void)t.Add(Record(u"b.txt", false, 300));
  (void)t.Add(Record(u"zdir", true));
  (void)t.Add(Record(u"A.txt", false, 100));
  (void)t.Add(Record(u"adir", true));
  (void)t.Add(Record(u"c.txt", false, 200));
  struct Click {
    int kind;
    bool ascending;
    std::vector<std::u16string> rows;
  } clicks[] = {
      {kColumnName, true, {u"adir", u"zdir", u"A.txt", u"b.txt", u"c.txt"}},
      {kColumnName, false, {u"zdir", u"adir", u"c.txt", u"b.txt", u"A.txt"}},
      {kColumnSize, true, {u"zdir", u"adir", u"A.txt", u"c.txt", u"b.txt"}},
      {kColumnSize, false, {u"zdir", u"adir", u"b.txt", u"c.txt", u"A.txt"}},
      // Equal types keep the order of the sort before.
      {kColumnType, true, {u"zdir", u"adir", u"b.txt", u"c.txt", u"A.txt"}},
  };
  for (const Click& c : clicks) {
    t.ClickColumn(c.kind);
    EXPECT_EQ(t.SortColumn(), c.kind);
    EXPECT_EQ(t.SortAscending(), c.ascending) << c.kind;
    EXPECT_EQ(Names(t), c.rows) << c.kind << (c.ascending ? " up" : " down");
  }
  // Sort state survives Clear; a new filter sorts again.
  t.Clear();
  EXPECT_EQ(t.SortColumn(), kColumnType);
  (void)t.Add(Record(u"y.b"));
  (void)t.Add(Record(u"x.a"));
  EXPECT_EQ(Names(t), (std::vector<std::u16string>{u"y.b", u"x.a"}));  // arrivals not sorted in
  EXPECT_TRUE(t.SetFilters({{kColumnName, u"*.?"}}));
  EXPECT_EQ(Names(t), (std::vector<std::u16string>{u"x.a", u"y.b"}));
}

TEST(ResultSort, NamesThatShareTheirFirstEightCharacters) {
  CResultTable t(ListKind::kFound, nullptr);
  for (const char16_t* name : {u"report_2024_b.txt", u"abcdefghi", u"REPORT_2024_a.txt",
                               u"abcdefgh", u"Report_20", u"abcdefg"}) {
    (void)t.Add(Record(name));
  }
  t.ClickColumn(kColumnName);
  EXPECT_EQ(Names(t),
            (std::vector<std::u16string>{u"abcdefg", u"abcdefgh", u"abcdefghi", u"Report_20",
                                         u"REPORT_2024_a.txt", u"report_2024_b.txt"}));
}

TEST(ResultSort, ByReason) {
  CResultTable t(ListKind::kError, nullptr);
  for (std::int32_t reason : {kReasonReadError, kReasonOpenError, kReasonInternal}) {
    auto r = Record(u"f" + std::u16string(1, static_cast<char16_t>(u'0' + reason % 10)));
    r->kind = ResultKind::kError;
    r->reason = reason;
    (void)t.Add(std::move(r));
  }
  t.ClickColumn(kColumnReason);
  // "File open error", "File read error", "Internal error".
  EXPECT_EQ(Names(t), (std::vector<std::u16string>{u"f0", u"f1", u"f6"}));
}

TEST(ResultIcons, OneRequestPerTypeAndPerFileForExecutables) {
  CResultTable t(ListKind::kFound, nullptr);
  for (const char16_t* name : {u"a.txt", u"b.TXT", u"c.exe", u"d.exe", u"e", u"f.doc"}) {
    (void)t.Add(Record(name));
  }
  (void)t.Add(Record(u"dir", true));
  std::vector<std::u16string> asked;
  const auto request = [&asked](const FileResult& r) {
    asked.push_back(r.file_name);
    return static_cast<int>(asked.size()) - 1;
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t row = 0; row < t.RowCount(); ++row) (void)t.RowIcon(row, request);
  }
  EXPECT_EQ(asked,
            (std::vector<std::u16string>{u"dir", u"a.txt", u"c.exe", u"d.exe", u"e", u"f.doc"}));
  EXPECT_EQ(t.RowIcon(2, request), t.RowIcon(1, request));  // b.TXT shares a.txt's image
}

}  // namespace
}  // namespace ui
