// The search record: where to look, which names match, what to find, size,
// date and attribute conditions, and what a replace run does; its list, mask
// and hex syntax; and the validation shared by the dialogs and varnel-cli.
// Tested by tests/engine/search_params_test.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

enum class TimeType : std::int32_t { kNone = 0, kCreated = 1, kModified = 2, kAccessed = 3 };
// For `hidden` and `read_only`: 1 only entries with the attribute, 2 only
// entries without it. For `folder`: 1 only folders, 2 no folders.
enum class AttributeCondition : std::int32_t { kAny = 0, kOnly = 1, kNone = 2 };
enum class ReadOnlyAction : std::int32_t { kAsk = 0, kReplace = 1, kSkip = 2 };

class FileFindParamsIn {
 public:
  virtual ~FileFindParamsIn() = default;

  std::u16string path;
  std::u16string file_name;
  std::u16string text;
  std::u16string hex_text;
  std::u16string replace_text;
  std::u16string hex_replace_text;
  bool case_sensitive = false;
  bool include_subfolders = false;
  bool converted_text = false;
  bool reg_exp = false;
  bool word_wrap = false;
  bool binary = false;
  bool backup = false;
  std::uint64_t size_min = 0;
  std::uint64_t size_max = 0;
  platform::FileTime time_min = 0;
  platform::FileTime time_max = 0;
  TimeType time_type = TimeType::kNone;
  AttributeCondition hidden = AttributeCondition::kAny;
  AttributeCondition read_only = AttributeCondition::kAny;
  AttributeCondition folder = AttributeCondition::kAny;
  ReadOnlyAction replace_read_only = ReadOnlyAction::kAsk;
  bool replace = false;
  bool single_file = false;
  std::uint32_t max_matches = 0;
  bool converted_little_endian = true;
  bool skip_null_files = true;
  std::int32_t tab_id = 0;
};

// The pieces between ";" characters, empty ones included, plus the text after
// the last ";" when it is not empty.
std::vector<std::u16string> SplitList(std::u16string_view list);

// The folder list: pieces with a leading "-" are excluded folders (the "-"
// removed); every other piece, an empty one included, is searched.
struct FolderList {
  std::vector<std::u16string> include;
  std::vector<std::u16string> exclude;
};
FolderList ParseFolderList(std::u16string_view path);

// The mask list: n leading dashes; odd n excludes, even n includes; the first
// n - n/2 characters are removed.
struct MaskList {
  std::vector<std::u16string> include;
  std::vector<std::u16string> exclude;
};
MaskList ParseMaskList(std::u16string_view file_name);
// The inverse: every leading "-" doubled, one more in front of an exclude
// mask; include masks first, then exclude masks, joined by ";".
std::u16string JoinMaskList(const std::vector<std::u16string>& include,
                            const std::vector<std::u16string>& exclude);
// A mask without "*", "?" or "." matches names containing it (any case);
// others match by the system's wildcard matcher.
bool MaskMatches(std::u16string_view mask, std::u16string_view name);

// Hex digits in pairs, high nibble first; a lone last digit is a high nibble.
// Any other character makes the result empty. The bytes are then decoded
// through the ANSI code page.
std::string DecodeHexBytes(std::u16string_view digits);
std::u16string DecodeHexText(std::u16string_view digits);

// ---- Validation ----------------------------------------------------------------

// The values a user entered, before validation. The dialogs and varnel-cli
// both fill this and call BuildSearchParams, so the rules exist once.
struct SearchForm {
  std::u16string path;
  std::u16string file_name;
  bool include_subfolders = false;

  bool content_enabled = false;
  std::u16string text;
  bool case_sensitive = false;
  bool reg_exp = false;
  bool word_wrap = false;
  bool binary = false;

  AttributeCondition hidden = AttributeCondition::kAny;
  AttributeCondition read_only = AttributeCondition::kAny;
  AttributeCondition folder = AttributeCondition::kAny;

  // Size: the two numbers as entered (negative ones count as 0) times the unit.
  bool size_enabled = false;
  std::int32_t size_min = 0;
  std::int32_t size_max = 0;
  std::uint64_t size_unit = 1;  // 1, 1024, 1048576 or 1073741824

  // Date: calendar days taken as UTC, from 00:00:00 to 23:59:59.
  struct Date {
    int year = 0, month = 0, day = 0;
  };
  bool date_enabled = false;
  TimeType time_type = TimeType::kNone;
  Date date_from;
  Date date_to;

  bool replace_enabled = false;
  std::u16string replace_text;
  bool backup = false;
  ReadOnlyAction replace_read_only = ReadOnlyAction::kAsk;
};

enum class FormField {
  kNone,
  kPath,
  kText,
  kSize,
  kDate,
  kReplaceText,
};

struct FormError {
  FormField field = FormField::kNone;
  std::u16string message;  // the program's message text, %s filled in
};

// Fills `params` from `form`. With `validate` false every value is taken as it
// is and the call always succeeds (used when a record is built to be saved).
// The trimmed file-name field ("*.*" when empty) is written back to `form`.
[[nodiscard]] bool BuildSearchParams(SearchForm& form, bool validate, FileFindParamsIn& params,
                                     FormError& error);

// What a page does to the record before it starts a run: without a text the
// replacement is cleared; one trailing separator of `path` is removed.
void PrepareForRun(FileFindParamsIn& params);

// Days from a civil date to a FILETIME at 00:00:00 UTC; 0 for an invalid date.
platform::FileTime DateToFileTime(int year, int month, int day);
inline constexpr platform::FileTime kFileTimeDay = 864000000000ULL;
inline constexpr platform::FileTime kFileTimeSecond = 10000000ULL;
