// The options dialog's window-free rules (see options_model.h).
// Tested by tests/app/logic/options_logic_test.cpp.
#include "app/logic/options_model.h"

#include <algorithm>
#include <limits>

#include "platform/text.h"
#include "ui/logic/text_table.h"

namespace app {
namespace {

constexpr ui::TextEntry kTexts[] = {VARNEL_OPTIONS_STRINGS(VARNEL_TEXT_ENTRY)};

constexpr std::u16string_view kEveryExtension = u"*";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Ascending without regard to case, "*" after everything.
bool RowLess(std::u16string_view a, std::u16string_view b) {
  if ((a == kEveryExtension) != (b == kEveryExtension)) return b == kEveryExtension;
  const std::u16string la = platform::Lowered(std::u16string(a));
  const std::u16string lb = platform::Lowered(std::u16string(b));
  return la != lb ? la < lb : a < b;
}

bool SameExtension(std::u16string_view a, std::u16string_view b) {
  return platform::Lowered(std::u16string(a)) == platform::Lowered(std::u16string(b));
}

}  // namespace

std::u16string_view OptionsText(int id) {
  return ui::FindText(kTexts, id);
}

std::u16string NormalizeExtension(std::u16string_view typed) {
  while (!typed.empty() && IsBlank(typed.front())) typed.remove_prefix(1);
  while (!typed.empty() && IsBlank(typed.back())) typed.remove_suffix(1);
  while (!typed.empty() && typed.front() == u'.') typed.remove_prefix(1);
  return platform::Lowered(std::u16string(typed));
}

std::u16string HandlerKindText(HandlerKind kind) {
  std::u16string name = HandlerKindName(kind);
  return name.empty() ? std::u16string(OptionsText(IDS_OPT_KIND_IGNORE)) : name;
}

// ---- File formats ----

void CHandlerTableCopy::Fill(const ExtensionHandlerTable& table) {
  rows_.clear();
  for (const auto& [extension, kind] : table) rows_.push_back({extension, kind});
  std::sort(rows_.begin(), rows_.end(), [](const HandlerRow& a, const HandlerRow& b) {
    return RowLess(a.extension, b.extension);
  });
}

int CHandlerTableCopy::Find(std::u16string_view extension) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (SameExtension(rows_[i].extension, extension)) return static_cast<int>(i);
  }
  return -1;
}

bool CHandlerTableCopy::Add(std::u16string_view typed, HandlerKind kind, int& row) {
  const std::u16string extension = NormalizeExtension(typed);
  if (extension.empty() || Find(extension) >= 0) return false;
  const auto at = std::find_if(rows_.begin(), rows_.end(), [&](const HandlerRow& r) {
    return RowLess(extension, r.extension);
  });
  row = static_cast<int>(rows_.insert(at, {extension, kind}) - rows_.begin());
  return true;
}

void CHandlerTableCopy::SetKind(int row, HandlerKind kind) {
  if (row >= 0 && row < static_cast<int>(rows_.size())) rows_[row].kind = kind;
}

bool CHandlerTableCopy::CanDelete(int row) const {
  return row >= 0 && row < static_cast<int>(rows_.size()) &&
         rows_[row].extension != kEveryExtension;
}

int CHandlerTableCopy::Delete(int row) {
  if (!CanDelete(row)) return -1;
  rows_.erase(rows_.begin() + row);
  if (rows_.empty()) return -1;
  return row > 0 ? row - 1 : 0;
}

ExtensionHandlerTable CHandlerTableCopy::Applied() const {
  ExtensionHandlerTable table;
  for (const HandlerRow& r : rows_) {
    if (r.kind != HandlerKind::kIgnore) table[r.extension] = r.kind;
  }
  return table;
}

// ---- Skip files ----

void CSkipListCopy::Fill(const std::vector<std::u16string>& extensions) { entries_ = extensions; }

std::vector<std::u16string> CSkipListCopy::Rows() const {
  std::vector<std::u16string> rows = entries_;
  std::stable_sort(rows.begin(), rows.end(), RowLess);
  return rows;
}

bool CSkipListCopy::Add(std::u16string_view typed, int& row) {
  const std::u16string extension = NormalizeExtension(typed);
  if (extension.empty()) return false;
  for (const std::u16string& e : entries_) {
    if (SameExtension(e, extension)) return false;
  }
  entries_.push_back(extension);
  const std::vector<std::u16string> rows = Rows();
  row = static_cast<int>(std::find(rows.begin(), rows.end(), extension) - rows.begin());
  return true;
}

int CSkipListCopy::Delete(int row) {
  const std::vector<std::u16string> rows = Rows();
  if (row < 0 || row >= static_cast<int>(rows.size())) return -1;
  entries_.erase(std::find(entries_.begin(), entries_.end(), rows[row]));
  if (entries_.empty()) return -1;
  return std::min(row, static_cast<int>(entries_.size()) - 1);
}

SkipControls SkipControlsEnabled(bool ignore_files, bool has_selection) {
  return {ignore_files, ignore_files, ignore_files, ignore_files && has_selection};
}

// ---- The handler dialog ----

HandlerKind KindOfRadio(int control_id) {
  switch (control_id) {
    case IDC_EXT_PLAIN_TEXT: return HandlerKind::kPlainText;
    case IDC_EXT_IFILTER: return HandlerKind::kIFilter;
    case IDC_EXT_BUILT_IN: return HandlerKind::kBuiltIn;
    default: return HandlerKind::kIgnore;
  }
}

int RadioOfKind(HandlerKind kind) {
  switch (kind) {
    case HandlerKind::kPlainText: return IDC_EXT_PLAIN_TEXT;
    case HandlerKind::kIFilter: return IDC_EXT_IFILTER;
    case HandlerKind::kBuiltIn: return IDC_EXT_BUILT_IN;
    default: return 0;
  }
}

HandlerDialogState EvaluateHandlerDialog(std::u16string_view typed, HandlerKind checked) {
  HandlerDialogState state;
  const std::u16string extension = NormalizeExtension(typed);
  state.built_in_enabled = extension == u"pdf";
  state.kind =
      checked == HandlerKind::kBuiltIn && !state.built_in_enabled ? HandlerKind::kIgnore : checked;
  state.ok_enabled = !extension.empty() && state.kind != HandlerKind::kIgnore;
  return state;
}

// ---- Display ----

std::int32_t ParseCountField(std::u16string_view text, std::int32_t current) {
  if (text.empty()) return current;
  std::int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return current;
    value = value * 10 + (c - u'0');
    if (value > std::numeric_limits<std::int32_t>::max()) return current;
  }
  return static_cast<std::int32_t>(value);
}

std::u16string CountFieldText(std::int32_t value) {
  // A negative value read from a damaged file shows as the unsigned number
  // it was written as.
  std::uint32_t v = static_cast<std::uint32_t>(value);
  std::u16string text;
  do {
    text.insert(text.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v != 0);
  return text;
}

// ---- Applying ----

GeneralForm GeneralFromSettings(const AppSettings& settings, const ShellIntegrationState& shell) {
  return {!shell.autorun_command.empty(), settings.dont_save_unnamed_tabs,
          shell.context_verb_installed};
}

void ApplyGeneral(const GeneralForm& form, AppSettings& settings, IRegistry& registry,
                  std::u16string_view exe, ShellIntegrationState& shell) {
  settings.dont_save_unnamed_tabs = form.dont_save_unnamed_tabs;
  ApplyShellIntegration(registry, exe, form.start_at_logon, form.context_verb, shell);
}

DisplayForm DisplayFromSettings(const AppSettings& settings) {
  return {CountFieldText(settings.max_number_matches), CountFieldText(settings.limit_file_preview)};
}

void ApplyDisplay(const DisplayForm& form, AppSettings& settings) {
  settings.max_number_matches =
      ParseCountField(form.max_number_matches, settings.max_number_matches);
  settings.limit_file_preview =
      ParseCountField(form.limit_file_preview, settings.limit_file_preview);
}

void ApplySkip(const SkipForm& form, const CSkipListCopy& copy, AppSettings& settings) {
  settings.ignore_files = form.ignore_files;
  settings.treat_null_as_binary = form.treat_null_as_binary;
  settings.skip_extensions = copy.Entries();
}

}  // namespace app
