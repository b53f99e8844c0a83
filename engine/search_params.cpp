// List, mask and hex syntax of the search record, and its validation.
// Tested by tests/engine/search_params_test.cpp.
#include "engine/search_params.h"

#include "platform/fs.h"
#include "platform/text.h"

namespace {

// The program's validation messages.
constexpr char16_t kPathMissing[] = u"Path \"%s\" does not exist";
constexpr char16_t kPathNotFolder[] = u"Path \"%s\" is not a folder";
constexpr char16_t kPathEmpty[] = u"Enter a folder to search in";
constexpr char16_t kHexFormat[] = u"Text must be in hex format";
constexpr char16_t kSizeInterval[] = u"Incorrect size interval";
constexpr char16_t kDateInterval[] = u"Incorrect date interval";

bool Fail(FormError& error, FormField field, std::u16string message) {
  error.field = field;
  error.message = std::move(message);
  return false;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string Trimmed(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return std::u16string(s);
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

}  // namespace

std::vector<std::u16string> SplitList(std::u16string_view list) {
  std::vector<std::u16string> pieces;
  std::size_t start = 0;
  while (true) {
    std::size_t semi = list.find(u';', start);
    if (semi == std::u16string_view::npos) {
      if (start < list.size()) pieces.emplace_back(list.substr(start));
      return pieces;
    }
    pieces.emplace_back(list.substr(start, semi - start));
    start = semi + 1;
  }
}

FolderList ParseFolderList(std::u16string_view path) {
  FolderList out;
  for (auto& piece : SplitList(path)) {
    if (!piece.empty() && piece[0] == u'-')
      out.exclude.push_back(piece.substr(1));
    else
      out.include.push_back(std::move(piece));
  }
  return out;
}

MaskList ParseMaskList(std::u16string_view file_name) {
  MaskList out;
  for (auto& piece : SplitList(file_name)) {
    if (piece.empty()) continue;
    std::size_t dashes = 0;
    while (dashes < piece.size() && piece[dashes] == u'-') ++dashes;
    std::u16string mask = piece.substr(dashes - dashes / 2);
    (dashes % 2 ? out.exclude : out.include).push_back(std::move(mask));
  }
  return out;
}

std::u16string JoinMaskList(const std::vector<std::u16string>& include,
                            const std::vector<std::u16string>& exclude) {
  std::u16string out;
  auto append = [&out](const std::u16string& mask, bool excluded) {
    if (!out.empty()) out.push_back(u';');
    std::size_t dashes = 0;
    while (dashes < mask.size() && mask[dashes] == u'-') ++dashes;
    out.append(dashes * 2 + (excluded ? 1 : 0), u'-');
    out.append(mask, dashes);
  };
  for (const auto& m : include) append(m, false);
  for (const auto& m : exclude) append(m, true);
  return out;
}

bool MaskMatches(std::u16string_view mask, std::u16string_view name) {
  if (mask.find_first_of(u"*?.") == std::u16string_view::npos) {
    std::u16string lower_name = platform::Lowered(std::u16string(name));
    return lower_name.find(platform::Lowered(std::u16string(mask))) != std::u16string::npos;
  }
  return platform::PathMatchSpec(name, mask);
}

std::string DecodeHexBytes(std::u16string_view digits) {
  std::string bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    int high = HexValue(digits[i]);
    int low = i + 1 < digits.size() ? HexValue(digits[i + 1]) : 0;
    if (high < 0 || low < 0) return {};
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

std::u16string DecodeHexText(std::u16string_view digits) {
  return platform::Decode(platform::CodePage::kAnsi, DecodeHexBytes(digits));
}

platform::FileTime DateToFileTime(int year, int month, int day) {
  if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return 0;
  // Days since 1601-01-01 by the proleptic Gregorian calendar.
  std::int64_t y = year - 1601;
  std::int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day - 1;
  return static_cast<platform::FileTime>(days) * kFileTimeDay;
}

bool BuildSearchParams(SearchForm& form, bool validate, FileFindParamsIn& params,
                       FormError& error) {
  error = FormError{};
  form.file_name = Trimmed(form.file_name);
  if (form.file_name.empty()) form.file_name = u"*.*";
  params.path = form.path;
  params.file_name = form.file_name;
  if (validate) {
    // Empty pieces name no folder (the walk skips them); a list of nothing
    // but those would search nothing at all.
    bool any = false;
    for (const auto& folder : ParseFolderList(params.path).include) {
      if (Trimmed(folder).empty()) continue;
      any = true;
      const char16_t* problem = !platform::PathExists(folder)         ? kPathMissing
                                : !platform::IsExistingFolder(folder) ? kPathNotFolder
                                                                      : nullptr;
      if (problem) {
        std::u16string message = problem;
        message.replace(message.find(u"%s"), 2, folder);
        return Fail(error, FormField::kPath, std::move(message));
      }
    }
    if (!any) return Fail(error, FormField::kPath, kPathEmpty);
  }
  params.include_subfolders = form.include_subfolders;
  if (form.content_enabled) {
    params.text = form.text;
    params.case_sensitive = form.case_sensitive;
    params.reg_exp = form.reg_exp;
    params.word_wrap = form.word_wrap;
    params.binary = form.binary;
    if (params.binary && !params.text.empty()) {
      params.hex_text = DecodeHexText(params.text);
      if (validate && params.hex_text.empty()) return Fail(error, FormField::kText, kHexFormat);
    }
  }
  params.hidden = form.hidden;
  params.read_only = form.read_only;
  params.folder = form.folder;
  if (form.size_enabled) {
    params.size_min = static_cast<std::uint64_t>(form.size_min < 0 ? 0 : form.size_min) * form.size_unit;
    params.size_max = static_cast<std::uint64_t>(form.size_max < 0 ? 0 : form.size_max) * form.size_unit;
    if (validate && (params.size_max < params.size_min || params.size_max == 0))
      return Fail(error, FormField::kSize, kSizeInterval);
  }
  if (form.date_enabled && form.time_type != TimeType::kNone) {
    const auto& from = form.date_from;
    const auto& to = form.date_to;
    params.time_min = DateToFileTime(from.year, from.month, from.day);
    platform::FileTime end_day = DateToFileTime(to.year, to.month, to.day);
    params.time_max = end_day ? end_day + kFileTimeDay - kFileTimeSecond : 0;
    if (validate && params.time_max != 0 && params.time_min > params.time_max)
      return Fail(error, FormField::kDate, kDateInterval);
    params.time_type = form.time_type;
  }
  if (form.replace_enabled) {
    params.replace_text = form.replace_text;
    if (params.binary && !params.replace_text.empty()) {
      params.hex_replace_text = DecodeHexText(params.replace_text);
      if (validate && params.hex_replace_text.empty())
        return Fail(error, FormField::kReplaceText, kHexFormat);
    }
    params.backup = form.backup;
    params.replace_read_only = form.replace_read_only;
    params.replace = true;
  }
  return true;
}

void PrepareForRun(FileFindParamsIn& params) {
  if (params.text.empty()) {
    params.replace_text.clear();
    params.hex_replace_text.clear();
  }
  if (!params.path.empty() && params.path.back() == platform::kPathSeparator) params.path.pop_back();
}
