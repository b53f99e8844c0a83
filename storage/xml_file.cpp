// The file layer under the program's XML files.
// Tested by tests/storage/xml_file_test.cpp.
#include "storage/xml_file.h"

#include <charconv>
#include <cstring>
#include <limits>

#include "platform/fs.h"
#include "platform/text.h"

namespace storage {
namespace {

class CSystemFileOps final : public IFileOps {
 public:
  bool CreateTemp(std::u16string_view folder, std::u16string& path) override {
    return platform::CreateTempFileName(folder, u"vnx", path);
  }
  bool WriteAndFlush(std::u16string_view path, std::string_view bytes) override {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::kWriteCreate)) return false;
    bool ok = file.Write(bytes.data(), bytes.size()) && file.Flush();
    // Close reports a write the system lost; it must run even after a failure.
    return file.Close() && ok;
  }
  bool Exists(std::u16string_view path) override { return platform::PathExists(path); }
  std::uint32_t Replace(std::u16string_view target, std::u16string_view replacement) override {
    return platform::ReplaceFile(target, replacement, u"");
  }
  bool Move(std::u16string_view from, std::u16string_view to) override {
    return platform::MoveFile(from, to);
  }
  bool Delete(std::u16string_view path) override { return platform::DeleteFile(path); }
};

bool IsSeparator(char16_t ch) { return ch == platform::kPathSeparator || ch == u'/'; }

bool IsBlank(char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }

// Blanks and a sign; returns the first digit's position.
const char* SkipBlanksAndSign(const char* text, bool& negative) {
  while (IsBlank(*text)) ++text;
  negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  return text;
}

// The digits' value, saturated at the largest 64-bit unsigned number.
std::uint64_t DigitsValue(const char* text) {
  std::uint64_t value = 0;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  for (; *text >= '0' && *text <= '9'; ++text) {
    unsigned digit = static_cast<unsigned>(*text - '0');
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

IFileOps& SystemFileOps() {
  static CSystemFileOps ops;
  return ops;
}

bool WriteFileSafely(std::u16string_view path, std::string_view bytes, IFileOps& ops) {
  std::u16string folder(FolderOf(path));
  if (folder.empty() || folder.size() == path.size()) return false;
  std::u16string temp;
  if (!ops.CreateTemp(folder, temp)) return false;
  if (!ops.WriteAndFlush(temp, bytes)) {
    ops.Delete(temp);
    return false;
  }
  if (!ops.Exists(path)) {
    if (ops.Move(temp, path)) return true;
    ops.Delete(temp);
    return false;
  }
  if (ops.Replace(path, temp) == 0) return true;
  // Without a backup name, ReplaceFileW may fail after the old file is gone
  // (ERROR_UNABLE_TO_MOVE_REPLACEMENT): the temporary file then holds the only
  // copy, so it is moved into place or kept, never deleted.
  if (!ops.Exists(path)) return ops.Move(temp, path);
  ops.Delete(temp);
  return false;
}

bool ReadFileBounded(std::u16string_view path, std::uint64_t max_size, std::string& bytes) {
  bytes.clear();
  platform::File file;
  std::uint64_t size = 0;
  if (!file.Open(path, platform::File::Mode::kRead) || !file.GetSize(size) || size > max_size)
    return false;
  bytes.reserve(static_cast<std::size_t>(size));
  // The file may grow while it is read: the bound holds for what is read.
  char buffer[65536];
  for (;;) {
    std::size_t read = 0;
    if (!file.Read(buffer, sizeof buffer, read) || bytes.size() + read > max_size) {
      bytes.clear();
      return false;
    }
    if (read == 0) return true;
    bytes.append(buffer, read);
  }
}

bool ParseXml(std::string_view bytes, tinyxml2::XMLDocument& doc) {
  // Parse() with a zero length reports an empty document itself.
  return doc.Parse(bytes.data(), bytes.size()) == tinyxml2::XML_SUCCESS;
}

std::string PrintXml(const tinyxml2::XMLDocument& doc) {
  tinyxml2::XMLPrinter printer;
  doc.Print(&printer);
  std::string_view printed(printer.CStr(), static_cast<std::size_t>(printer.CStrSize() - 1));
  // The printer writes line ends as LF only, so every CR came from a value.
  std::string out;
  out.reserve(printed.size());
  for (char ch : printed) {
    if (ch == '\r')
      out += "&#13;";
    else
      out += ch;
  }
  return out;
}

tinyxml2::XMLElement* NewRoot(tinyxml2::XMLDocument& doc, const char* name, const char* version) {
  doc.InsertEndChild(doc.NewDeclaration());
  tinyxml2::XMLElement* root = doc.NewElement(name);
  root->SetAttribute("version", version);
  doc.InsertEndChild(root);
  return root;
}

std::int32_t LeadingInt32(const char* text) {
  if (!text) return 0;
  bool negative = false;
  std::uint64_t magnitude = DigitsValue(SkipBlanksAndSign(text, negative));
  if (negative) {
    constexpr std::uint64_t kMin = std::uint64_t{1} << 31;
    return magnitude >= kMin ? std::numeric_limits<std::int32_t>::min()
                             : -static_cast<std::int32_t>(magnitude);
  }
  constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(magnitude > kMax ? kMax : magnitude);
}

std::uint64_t LeadingUInt64(const char* text) {
  if (!text) return 0;
  bool negative = false;
  std::uint64_t magnitude = DigitsValue(SkipBlanksAndSign(text, negative));
  if (!negative) return magnitude;
  constexpr std::uint64_t kMin = std::uint64_t{1} << 63;
  // Unsigned negation is the two's complement bit pattern of -magnitude.
  return magnitude >= kMin ? kMin : std::uint64_t{0} - magnitude;
}

double LeadingNumber(const char* text) {
  if (!text) return 0;
  bool negative = false;
  const char* digits = SkipBlanksAndSign(text, negative);
  // from_chars would take a second sign ("--1").
  if (*digits == '-' || *digits == '+') return 0;
  double value = 0;
  std::from_chars(digits, digits + std::strlen(digits), value, std::chars_format::fixed);
  return negative ? -value : value;
}

std::u16string FromXml(const char* text) {
  return text ? platform::FromUtf8(text) : std::u16string();
}

std::string ToXml(std::u16string_view text) { return platform::ToUtf8(text); }

std::u16string_view FolderOf(std::u16string_view path) {
  std::size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  return path.substr(0, end);
}

}  // namespace storage
