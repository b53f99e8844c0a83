// The criteria dialogs without windows: the values of their controls as a
// plain form, which controls are enabled for a form, collecting and checking
// a search record from it (which message, which control gets the focus), and
// the forms for a given record and after "Clear criteria".
// Tested by tests/ui/ui_logic_test.cpp.
#pragma once
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "engine/search_params.h"
#include "platform/types.h"

namespace ui {

struct CalendarDate {
  int year = 0, month = 0, day = 0;
  bool valid = false;
  bool operator==(const CalendarDate&) const = default;
};

// Toggles hold 0 or 1, three-state buttons 0, 1 or 2, as shown; what a
// button reads as also depends on whether it is enabled (ReadState).
struct GeneralForm {
  std::u16string path;
  std::u16string file_name;
  std::u16string text;
  int subfolders = 0;
  int case_sensitive = 0;
  int whole_words = 0;
  int reg_exp = 0;
  int hex = 0;
  int hidden = 0;
  int read_only = 0;
  int folder = 0;
  bool operator==(const GeneralForm&) const = default;
};

// Entries of the unit and date-kind drop-downs, in list order.
enum SizeUnit : int { kUnitB = 0, kUnitKb = 1, kUnitMb = 2, kUnitGb = 3 };
enum DateKind : int { kDateNone = -1, kDateCreated = 0, kDateModified = 1, kDateAccessed = 2 };

struct AdvancedForm {
  bool size_checked = false;
  std::u16string size_min;
  std::u16string size_max;
  int size_unit = kUnitKb;
  bool date_checked = false;
  CalendarDate date_from;
  CalendarDate date_to;
  int date_kind = kDateModified;
  bool replace_checked = false;
  std::u16string replace_text;
  int backup = 0;
  int read_only_rule = 0;
  bool operator==(const AdvancedForm&) const = default;
};

struct CriteriaForm {
  GeneralForm general;
  AdvancedForm advanced;
};

// The enabled input controls of both dialogs, by control id.
using EnabledControls = std::set<int>;

// Every input control of the general and of the advanced dialog.
const std::set<int>& GeneralInputs();
const std::set<int>& AdvancedInputs();

// Which input controls are enabled for `form`; none while a run is going on.
EnabledControls UpdateDependencies(const CriteriaForm& form, bool running);
// What a toggle or three-state button reads as: its state, or 0 when disabled.
inline int ReadState(const EnabledControls& enabled, int id, int shown) {
  return enabled.count(id) ? shown : 0;
}
// A run would replace: a text to find and "Replace:" enabled and checked.
bool ReplaceModeActive(const CriteriaForm& form, const EnabledControls& enabled);
// The general dialog's arrow icon while the advanced dialog is hidden: the
// marked one when size, date or replace criteria are enabled and checked.
int ArrowIconId(const CriteriaForm& form, const EnabledControls& enabled);

// Why a record could not be collected: the message (already formatted) and
// the control that gets the focus.
struct CollectError {
  int focus_id = 0;
  std::u16string message;
};

using PathExistsFunction = std::function<bool(std::u16string_view)>;

// Writes the general dialog's part of `record`. Trims the path field in
// `form` (the dialog writes a changed path back). With `validate` false no
// check is made and the call succeeds.
[[nodiscard]] bool CollectGeneral(GeneralForm& form, const EnabledControls& enabled, bool validate,
                                  const PathExistsFunction& path_exists, FileFindParamsIn& record,
                                  CollectError& error);
// Writes the advanced dialog's part; reads `record.binary` for the hex rule,
// so it runs after CollectGeneral.
[[nodiscard]] bool CollectAdvanced(const AdvancedForm& form, const EnabledControls& enabled,
                                   bool validate, FileFindParamsIn& record, CollectError& error);

std::uint64_t UnitFactor(int unit);
// A size edit's number: optional blanks and sign, then decimal digits.
[[nodiscard]] bool ParseSizeNumber(std::u16string_view text, std::int64_t& value);

// The forms that show `record` (the dialogs' initial state).
GeneralForm GeneralFromRecord(const FileFindParamsIn& record);
AdvancedForm AdvancedFromRecord(const FileFindParamsIn& record);
// The forms after "Clear criteria"; the date pickers show `today`.
GeneralForm ClearedGeneral();
AdvancedForm ClearedAdvanced(const CalendarDate& today);

// The calendar day (UTC) of a FILETIME; invalid for 0.
CalendarDate DateOfFileTime(platform::FileTime time);

}  // namespace ui
