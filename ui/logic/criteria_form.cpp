// Criteria rules (see criteria_form.h).
// Tested by tests/ui/ui_logic_test.cpp.
#include "ui/logic/criteria_form.h"

#include <limits>

#include "ui/logic/control_ids.h"
#include "ui/logic/ui_text.h"

namespace ui {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string Trimmed(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return std::u16string(s);
}

bool Fail(CollectError& error, int focus_id, std::u16string message) {
  error.focus_id = focus_id;
  error.message = std::move(message);
  return false;
}

constexpr std::uint64_t kUnitFactors[] = {1, 1024, 1048576, 1073741824};

void EnableIf(EnabledControls& enabled, int id, bool on) {
  if (on) enabled.insert(id);
}

void GeneralDependencies(const GeneralForm& g, EnabledControls& enabled) {
  EnableIf(enabled, IDC_SUBFOLDERS, !g.path.empty());
  const bool names = !g.file_name.empty();
  for (int id : {IDC_HIDDEN, IDC_READ_ONLY, IDC_FOLDERS}) EnableIf(enabled, id, names);
  const bool text_enabled = ReadState(enabled, IDC_FOLDERS, g.folder) != 1;
  EnableIf(enabled, IDC_TEXT, text_enabled);
  const bool content = text_enabled && !g.text.empty();
  for (int id : {IDC_CASE, IDC_WHOLE_WORDS, IDC_REGEXP, IDC_HEX}) EnableIf(enabled, id, content);
  if (ReadState(enabled, IDC_REGEXP, g.reg_exp)) {
    enabled.erase(IDC_WHOLE_WORDS);
    enabled.erase(IDC_HEX);
  } else if (ReadState(enabled, IDC_HEX, g.hex)) {
    enabled.erase(IDC_CASE);
    enabled.erase(IDC_REGEXP);
    enabled.erase(IDC_WHOLE_WORDS);
  }
}

void AdvancedDependencies(const CriteriaForm& form, EnabledControls& enabled) {
  const AdvancedForm& a = form.advanced;
  enabled.insert(IDC_SIZE_CHECK);
  enabled.insert(IDC_DATE_CHECK);
  for (int id : {IDC_SIZE_MIN, IDC_SIZE_MAX, IDC_SIZE_UNIT}) EnableIf(enabled, id, a.size_checked);
  for (int id : {IDC_DATE_FROM, IDC_DATE_TO, IDC_DATE_KIND}) EnableIf(enabled, id, a.date_checked);
  const bool replace_usable = enabled.count(IDC_TEXT) && !form.general.text.empty();
  EnableIf(enabled, IDC_REPLACE_CHECK, replace_usable);
  const bool replace_on = replace_usable && a.replace_checked;
  for (int id : {IDC_REPLACE_TEXT, IDC_BACKUP, IDC_REPLACE_READ_ONLY}) {
    EnableIf(enabled, id, replace_on);
  }
}

// The size interval of a checked "Size between:".
bool CollectSize(const AdvancedForm& form, bool validate, FileFindParamsIn& record,
                 CollectError& error) {
  const std::uint64_t factor = UnitFactor(form.size_unit);
  struct Bound {
    const std::u16string& text;
    std::uint64_t& value;
    int id;
  } bounds[] = {{form.size_min, record.size_min, IDC_SIZE_MIN},
                {form.size_max, record.size_max, IDC_SIZE_MAX}};
  for (Bound& b : bounds) {
    if (Trimmed(b.text).empty()) continue;
    std::int64_t number = 0;
    if (!ParseSizeNumber(b.text, number)) {
      // Taking "12x" as 0 would search for something the user did not ask.
      if (validate) return Fail(error, b.id, std::u16string(UiText(IDS_SIZE_INTERVAL)));
      continue;
    }
    const std::uint64_t count = number < 0 ? 0 : static_cast<std::uint64_t>(number);
    if (count > std::numeric_limits<std::uint64_t>::max() / factor) {
      if (validate) return Fail(error, b.id, std::u16string(UiText(IDS_SIZE_INTERVAL)));
      continue;
    }
    b.value = count * factor;
  }
  if (validate && (record.size_max == 0 || record.size_max < record.size_min)) {
    return Fail(error, IDC_SIZE_MAX, std::u16string(UiText(IDS_SIZE_INTERVAL)));
  }
  return true;
}

bool CollectDate(const AdvancedForm& form, bool validate, FileFindParamsIn& record,
                 CollectError& error) {
  if (form.date_from.valid) {
    const CalendarDate& d = form.date_from;
    const platform::FileTime day = DateToFileTime(d.year, d.month, d.day);
    if (day != 0) record.time_min = day;
  }
  if (form.date_to.valid) {
    const CalendarDate& d = form.date_to;
    const platform::FileTime day = DateToFileTime(d.year, d.month, d.day);
    if (day != 0) record.time_max = day + kFileTimeDay - kFileTimeSecond;
  }
  // 0 is an open bound, never "before" the other one.
  if (validate && record.time_min != 0 && record.time_max != 0 &&
      record.time_min > record.time_max) {
    return Fail(error, IDC_DATE_FROM, std::u16string(UiText(IDS_DATE_INTERVAL)));
  }
  record.time_type = static_cast<TimeType>(form.date_kind + 1);
  return true;
}

// The largest of Gb, Mb and Kb that divides both bounds, else B.
int UnitFor(std::uint64_t a, std::uint64_t b) {
  for (int unit = kUnitGb; unit > kUnitB; --unit) {
    if (a % kUnitFactors[unit] == 0 && b % kUnitFactors[unit] == 0) return unit;
  }
  return kUnitB;
}

std::u16string Decimal(std::uint64_t value) {
  std::u16string out;
  do {
    out.insert(out.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return out;
}

}  // namespace

const std::set<int>& GeneralInputs() {
  static const std::set<int> ids = {IDC_PATH,   IDC_FILE_NAMES,  IDC_TEXT,   IDC_SUBFOLDERS,
                                    IDC_CASE,   IDC_WHOLE_WORDS, IDC_REGEXP, IDC_HEX,
                                    IDC_HIDDEN, IDC_READ_ONLY,   IDC_FOLDERS};
  return ids;
}

const std::set<int>& AdvancedInputs() {
  static const std::set<int> ids = {IDC_SIZE_CHECK,   IDC_SIZE_MIN,   IDC_SIZE_MAX,
                                    IDC_SIZE_UNIT,    IDC_DATE_CHECK, IDC_DATE_FROM,
                                    IDC_DATE_TO,      IDC_DATE_KIND,  IDC_REPLACE_CHECK,
                                    IDC_REPLACE_TEXT, IDC_BACKUP,     IDC_REPLACE_READ_ONLY};
  return ids;
}

EnabledControls UpdateDependencies(const CriteriaForm& form, bool running) {
  EnabledControls enabled;
  if (running) return enabled;
  enabled.insert(IDC_PATH);
  enabled.insert(IDC_FILE_NAMES);
  GeneralDependencies(form.general, enabled);
  AdvancedDependencies(form, enabled);
  return enabled;
}

bool ReplaceModeActive(const CriteriaForm& form, const EnabledControls& enabled) {
  return !form.general.text.empty() && enabled.count(IDC_REPLACE_CHECK) &&
         form.advanced.replace_checked;
}

int ArrowIconId(const CriteriaForm& form, const EnabledControls& enabled) {
  const AdvancedForm& a = form.advanced;
  const bool in_use = (enabled.count(IDC_SIZE_CHECK) && a.size_checked) ||
                      (enabled.count(IDC_DATE_CHECK) && a.date_checked) ||
                      (enabled.count(IDC_REPLACE_CHECK) && a.replace_checked);
  return in_use ? IDI_ARROW_MARKED : IDI_ARROW_PLAIN;
}

bool CollectGeneral(GeneralForm& form, const EnabledControls& enabled, bool validate,
                    const PathExistsFunction& path_exists, FileFindParamsIn& record,
                    CollectError& error) {
  error = CollectError{};
  form.path = Trimmed(form.path);
  if (validate) {
    // Items are not trimmed one by one: " C:\x" is a folder named with a blank.
    for (const std::u16string& folder : ParseFolderList(form.path).include) {
      if (!path_exists(folder)) return Fail(error, IDC_PATH, UiFormat(IDS_PATH_MISSING, folder));
    }
  }
  record.path = form.path;
  record.file_name = form.file_name;
  record.include_subfolders = ReadState(enabled, IDC_SUBFOLDERS, form.subfolders) != 0;
  if (enabled.count(IDC_TEXT)) {
    record.text = form.text;
    record.case_sensitive = ReadState(enabled, IDC_CASE, form.case_sensitive) != 0;
    record.reg_exp = ReadState(enabled, IDC_REGEXP, form.reg_exp) != 0;
    record.word_wrap = ReadState(enabled, IDC_WHOLE_WORDS, form.whole_words) != 0;
    record.binary = ReadState(enabled, IDC_HEX, form.hex) != 0;
    if (record.binary && !record.text.empty()) {
      record.hex_text = DecodeHexText(record.text);
      if (validate && record.hex_text.empty()) {
        return Fail(error, IDC_TEXT, std::u16string(UiText(IDS_HEX_FORMAT)));
      }
    }
  }
  record.hidden = static_cast<AttributeCondition>(ReadState(enabled, IDC_HIDDEN, form.hidden));
  record.read_only =
      static_cast<AttributeCondition>(ReadState(enabled, IDC_READ_ONLY, form.read_only));
  record.folder = static_cast<AttributeCondition>(ReadState(enabled, IDC_FOLDERS, form.folder));
  return true;
}

bool CollectAdvanced(const AdvancedForm& form, const EnabledControls& enabled, bool validate,
                     FileFindParamsIn& record, CollectError& error) {
  error = CollectError{};
  if (form.size_checked && !CollectSize(form, validate, record, error)) return false;
  if (form.date_checked && form.date_kind != kDateNone &&
      !CollectDate(form, validate, record, error)) {
    return false;
  }
  // A disabled check box reads as unchecked, as the toggles do.
  if (!form.replace_checked || !enabled.count(IDC_REPLACE_CHECK)) return true;
  // The replacement is taken whole: cutting it would write text the user
  // did not ask for into their files.
  record.replace_text = form.replace_text;
  if (record.binary && !record.replace_text.empty()) {
    record.hex_replace_text = DecodeHexText(record.replace_text);
    if (validate && record.hex_replace_text.empty()) {
      return Fail(error, IDC_REPLACE_TEXT, std::u16string(UiText(IDS_HEX_FORMAT)));
    }
  }
  record.backup = ReadState(enabled, IDC_BACKUP, form.backup) != 0;
  record.replace_read_only =
      static_cast<ReadOnlyAction>(ReadState(enabled, IDC_REPLACE_READ_ONLY, form.read_only_rule));
  record.replace = true;
  return true;
}

std::uint64_t UnitFactor(int unit) {
  return unit >= kUnitB && unit <= kUnitGb ? kUnitFactors[unit] : 1;
}

bool ParseSizeNumber(std::u16string_view text, std::int64_t& value) {
  const std::u16string s = Trimmed(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
  if (i == s.size()) return false;
  std::int64_t result = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < u'0' || s[i] > u'9') return false;
    if (result > (std::numeric_limits<std::int64_t>::max() - 9) / 10) return false;
    result = result * 10 + (s[i] - u'0');
  }
  value = negative ? -result : result;
  return true;
}

GeneralForm GeneralFromRecord(const FileFindParamsIn& r) {
  GeneralForm g;
  g.path = r.path;
  g.file_name = r.file_name;
  g.text = r.text;
  g.subfolders = r.include_subfolders;
  g.case_sensitive = r.case_sensitive;
  g.whole_words = r.word_wrap;
  g.reg_exp = r.reg_exp;
  g.hex = r.binary;
  g.hidden = static_cast<int>(r.hidden);
  g.read_only = static_cast<int>(r.read_only);
  g.folder = static_cast<int>(r.folder);
  return g;
}

AdvancedForm AdvancedFromRecord(const FileFindParamsIn& r) {
  AdvancedForm a;
  if (r.size_min != 0 || r.size_max != 0) {
    a.size_checked = true;
    a.size_unit = UnitFor(r.size_min, r.size_max);
    a.size_min = Decimal(r.size_min / kUnitFactors[a.size_unit]);
    a.size_max = Decimal(r.size_max / kUnitFactors[a.size_unit]);
  }
  if (r.time_type != TimeType::kNone) {
    a.date_checked = true;
    a.date_kind = static_cast<int>(r.time_type) - 1;
  }
  a.date_from = DateOfFileTime(r.time_min);
  a.date_to = DateOfFileTime(r.time_max);
  a.replace_checked = r.replace;
  a.replace_text = r.replace_text;
  a.backup = r.backup;
  a.read_only_rule = static_cast<int>(r.replace_read_only);
  return a;
}

GeneralForm ClearedGeneral() {
  GeneralForm g;
  g.subfolders = 1;
  return g;
}

AdvancedForm ClearedAdvanced(const CalendarDate& today) {
  AdvancedForm a;
  a.size_unit = kUnitB;
  a.date_from = a.date_to = today;
  a.date_kind = kDateCreated;
  a.backup = 1;
  return a;
}

CalendarDate DateOfFileTime(platform::FileTime time) {
  if (time == 0) return {};
  // Days since 1970-01-01, then the civil-from-days algorithm.
  constexpr std::int64_t kDays1601To1970 = 134774;
  std::int64_t z = static_cast<std::int64_t>(time / kFileTimeDay) - kDays1601To1970 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day, true};
}

}  // namespace ui
