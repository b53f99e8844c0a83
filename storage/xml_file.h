// The file layer under the program's XML files: bounded reads through the
// platform layer, saves that never lose the previous file, and the lenient
// number forms of the readers. Tested by tests/storage/xml_file_test.cpp.
#pragma once
#include <tinyxml2.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace storage {

// Settings, tabs and history are a few kilobytes; a results file holds one
// row per found file, so a whole-disk search may legitimately be large.
inline constexpr std::uint64_t kMaxXmlFileSize = 64ull << 20;
inline constexpr std::uint64_t kMaxResultsFileSize = 256ull << 20;

// The file operations of a safe save: a seam so that tests can make each
// step fail. The system implementation forwards to the platform layer.
class IFileOps {
 public:
  virtual ~IFileOps() = default;
  // Creates a new, empty, uniquely named file in `folder`.
  [[nodiscard]] virtual bool CreateTemp(std::u16string_view folder, std::u16string& path) = 0;
  // Opens an existing file, writes all bytes, flushes them to the disk, closes.
  [[nodiscard]] virtual bool WriteAndFlush(std::u16string_view path, std::string_view bytes) = 0;
  virtual bool Exists(std::u16string_view path) = 0;
  // platform::ReplaceFile without a backup: 0 or a Win32 error code.
  [[nodiscard]] virtual std::uint32_t Replace(std::u16string_view target,
                                              std::u16string_view replacement) = 0;
  [[nodiscard]] virtual bool Move(std::u16string_view from, std::u16string_view to) = 0;
  virtual bool Delete(std::u16string_view path) = 0;
};
IFileOps& SystemFileOps();

// Writes `bytes` to a new temporary file beside `path`, flushes it and swaps
// it into place. On any failure the file at `path` is left as it was and the
// temporary file is removed.
[[nodiscard]] bool WriteFileSafely(std::u16string_view path, std::string_view bytes,
                                   IFileOps& ops = SystemFileOps());

// Reads a whole file of at most `max_size` bytes; false when it is missing,
// unreadable or larger.
[[nodiscard]] bool ReadFileBounded(std::u16string_view path, std::uint64_t max_size,
                                   std::string& bytes);

// Parses bytes (a UTF-8 mark is skipped). TinyXML-2 refuses elements nested
// deeper than TINYXML2_MAX_ELEMENT_DEPTH, so hostile nesting fails here.
[[nodiscard]] bool ParseXml(std::string_view bytes, tinyxml2::XMLDocument& doc);
// The document as text with an XML declaration. Carriage returns in values
// are written as "&#13;": the parser turns raw CR LF into LF, the reference
// survives.
std::string PrintXml(const tinyxml2::XMLDocument& doc);
// A new document holding the declaration and an empty root element carrying
// the "version" attribute given as text ("1", "1.1").
tinyxml2::XMLElement* NewRoot(tinyxml2::XMLDocument& doc, const char* name, const char* version);

// The leading decimal number of a text, as the C runtime's ato* family reads
// it: blanks skipped, an optional sign, digits; 0 when there are none or the
// text is null. Out-of-range values saturate.
std::int32_t LeadingInt32(const char* text);
// The same as 64 bits, two's complement: "-1" and "18446744073709551615" both
// give all bits set, so unsigned sizes written as signed numbers read back.
std::uint64_t LeadingUInt64(const char* text);
// A leading decimal number with an optional fraction ("1", "1.1", "0.5e1" is
// 0.5); 0 when none. Independent of the C locale.
double LeadingNumber(const char* text);

// UTF-8 <-> UTF-16 at the library boundary; a null text is empty.
std::u16string FromXml(const char* text);
std::string ToXml(std::u16string_view text);

// The folder part of a path, separator included ("" when there is none).
std::u16string_view FolderOf(std::u16string_view path);

}  // namespace storage
