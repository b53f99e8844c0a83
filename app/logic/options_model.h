// The options dialog without windows: its texts by id, the working copies
// that the File formats and Skip files pages edit (their row order,
// duplicates, deletion and the selection after it), the handler dialog's
// rules, and what each page writes into the settings at OK.
// Tested by tests/app/logic/options_logic_test.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/logic/options_strings.h"
#include "app/logic/shell_integration.h"
#include "engine/handler_table.h"
#include "storage/app_settings.h"

namespace app {

enum OptionsStringId : int {
#define VARNEL_OPTIONS_STRING_ENUM(name, id, text) name = id,
  VARNEL_OPTIONS_STRINGS(VARNEL_OPTIONS_STRING_ENUM)
#undef VARNEL_OPTIONS_STRING_ENUM
};

// The text of `id`; empty for an id the list does not hold.
std::u16string_view OptionsText(int id);

// An extension as typed, as the tables keep it: without the blanks around it
// and without leading dots (".DOC" is the extension "doc"), lower-cased.
std::u16string NormalizeExtension(std::u16string_view typed);
// A handler kind as the list shows it: its name, or "(Ignore)".
std::u16string HandlerKindText(HandlerKind kind);

struct HandlerRow {
  std::u16string extension;
  HandlerKind kind = HandlerKind::kIgnore;
  bool operator==(const HandlerRow&) const = default;
};

// The File formats page's working copy of the extension table, as the rows
// of its list: ascending by extension without regard to case, "*" last.
class CHandlerTableCopy {
 public:
  void Fill(const ExtensionHandlerTable& table);
  const std::vector<HandlerRow>& Rows() const { return rows_; }
  // The row of `extension` compared without regard to case, or -1.
  int Find(std::u16string_view extension) const;

  // Adds the normalized extension with `kind` and sets `row` to its row.
  // False, changing nothing, for an empty extension or one already listed.
  [[nodiscard]] bool Add(std::u16string_view typed, HandlerKind kind, int& row);
  // An edit changes the kind only: the row keeps its extension and place.
  void SetKind(int row, HandlerKind kind);
  // Every row but "*" can be deleted.
  bool CanDelete(int row) const;
  // Removes the row; returns the row to select: the one before it, the first
  // when it was first, -1 when none is left or nothing was removed.
  int Delete(int row);
  // The table OK stores: every entry with a kind.
  ExtensionHandlerTable Applied() const;

 private:
  std::vector<HandlerRow> rows_;
};

// The Skip files page's working copy of the skip list. Its entries keep their
// order (new ones at the end) for the settings; the list shows them sorted
// without regard to case.
class CSkipListCopy {
 public:
  void Fill(const std::vector<std::u16string>& extensions);
  const std::vector<std::u16string>& Entries() const { return entries_; }
  std::vector<std::u16string> Rows() const;

  // Appends the normalized extension and sets `row` to its row. False,
  // changing nothing, for an empty extension or one already listed (without
  // regard to case).
  [[nodiscard]] bool Add(std::u16string_view typed, int& row);
  // Removes the row; returns the row to select: the same position, or the
  // new last row, -1 when none is left or nothing was removed.
  int Delete(int row);

 private:
  std::vector<std::u16string> entries_;
};

struct SkipControls {
  bool list = false, add = false, reset = false, del = false;
  bool operator==(const SkipControls&) const = default;
};
// The list and its buttons follow "Ignore contents of files with the
// specified file extensions:"; Delete also needs a selected row.
SkipControls SkipControlsEnabled(bool ignore_files, bool has_selection);

// The handler dialog's radio buttons and the kinds they stand for.
HandlerKind KindOfRadio(int control_id);
int RadioOfKind(HandlerKind kind);  // 0 for a kind without a button

// The handler dialog's state for the typed extension and the checked kind:
// the built-in parser is offered for "pdf" only, and a checked built-in
// button loses its check with it (a built-in parser for another extension
// would be stored but never work); OK needs an extension and a kind.
struct HandlerDialogState {
  bool built_in_enabled = false;
  HandlerKind kind = HandlerKind::kIgnore;
  bool ok_enabled = false;
  bool operator==(const HandlerDialogState&) const = default;
};
HandlerDialogState EvaluateHandlerDialog(std::u16string_view typed, HandlerKind checked);

// A number field of the Display page: digits only, at most the largest
// value the setting holds; anything else (also an empty field) keeps
// `current`.
std::int32_t ParseCountField(std::u16string_view text, std::int32_t current);
// The value as the field shows it.
std::u16string CountFieldText(std::int32_t value);

struct GeneralForm {
  bool start_at_logon = false;
  bool dont_save_unnamed_tabs = false;
  bool context_verb = false;
  bool operator==(const GeneralForm&) const = default;
};
GeneralForm GeneralFromSettings(const AppSettings& settings, const ShellIntegrationState& shell);
// Stores the option and writes both hooks again; `shell` ends as the
// registry was left, so the boxes show the real state afterwards.
void ApplyGeneral(const GeneralForm& form, AppSettings& settings, IRegistry& registry,
                  std::u16string_view exe, ShellIntegrationState& shell);

struct DisplayForm {
  std::u16string max_number_matches;
  std::u16string limit_file_preview;
};
DisplayForm DisplayFromSettings(const AppSettings& settings);
void ApplyDisplay(const DisplayForm& form, AppSettings& settings);

struct SkipForm {
  bool ignore_files = false;
  bool treat_null_as_binary = false;
};
void ApplySkip(const SkipForm& form, const CSkipListCopy& copy, AppSettings& settings);

}  // namespace app
