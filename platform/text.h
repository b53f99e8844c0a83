// Text services: code-page conversion, lower-casing, the alphanumeric test and
// the wildcard matching of file names.
// Tested by tests/platform/text_test.cpp on both implementations.
//
// Windows calls MultiByteToWideChar, WideCharToMultiByte, CharLowerBuffW,
// CharLowerW, IsCharAlphaNumericW and PathMatchSpecW. The POSIX stand-in uses
// Windows-1252 as the ANSI code page, with the five bytes that 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) mapped to U+0081... and back, as
// Windows does, so that every byte round-trips; and Unicode's simple case
// mappings and letter/digit classes, one code unit to one code unit.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class CodePage { kAnsi, kUtf8 };

// Decodes a whole buffer. Invalid UTF-8 becomes U+FFFD, as
// MultiByteToWideChar does without MB_ERR_INVALID_CHARS.
std::u16string Decode(CodePage page, std::string_view bytes);
// The same, appending to `out` (no allocation when `out` has room).
void DecodeAppend(CodePage page, std::string_view bytes, std::u16string& out);

// Encodes a whole buffer. `lossless` (when given) is set to false when a
// character has no exact form in the code page and was replaced (UTF-8: a lone
// surrogate; ANSI: best-fit or default characters).
std::string Encode(CodePage page, std::u16string_view text, bool* lossless = nullptr);

// A decoder for a byte stream that arrives in blocks: a multi-byte character
// cut at the end of a block is held back and decoded whole with the next
// block. Finish() decodes whatever is still held (as replacement characters).
class StreamDecoder {
 public:
  explicit StreamDecoder(CodePage page) : page_(page) {}
  // Appends the decoded text of `bytes` (less an incomplete tail) to `out`.
  void Decode(std::string_view bytes, std::u16string& out);
  // Appends the decoded form of the held-back bytes, if any, and clears them.
  void Finish(std::u16string& out);
  std::size_t pending() const { return held_.size(); }
  void Reset() { held_.clear(); }

 private:
  CodePage page_;
  std::string held_;
};

// Length of the incomplete character at the end of `bytes` that a block
// decoder must hold back (0 when the block ends on a character boundary).
std::size_t IncompleteTail(CodePage page, std::string_view bytes);

// True when the ANSI code page has one byte per character (1252 and the
// other single-byte pages); false for double-byte pages, whose trail bytes
// can look like ASCII.
bool AnsiIsSingleByte();

// UTF-8 helpers used at boundaries (command lines, XML, console).
inline std::u16string FromUtf8(std::string_view s) { return Decode(CodePage::kUtf8, s); }
inline std::string ToUtf8(std::u16string_view s) { return Encode(CodePage::kUtf8, s); }
// Appends the UTF-8 form of one code point (no checks: the caller passes a
// scalar value, or a lone surrogate that it means to write as such).
void AppendUtf8(std::string& out, char32_t c);
// A file name or path as bytes outside the program (command lines, printed
// output) and back. POSIX names are bytes that need not be UTF-8: each
// invalid byte travels as a lone surrogate U+DC80..U+DCFF, as the file system
// calls take it, so such a name survives the trip. Windows: UTF-8.
std::u16string PathFromBytes(std::string_view bytes);
std::string PathToBytes(std::u16string_view path);

// CharLowerBuffW over a buffer, in place, and CharLowerW for one character.
void LowerBuffer(char16_t* text, std::size_t length);
char16_t LowerChar(char16_t ch);
inline std::u16string Lowered(std::u16string text) {
  LowerBuffer(text.data(), text.size());
  return text;
}

// IsCharAlphaNumericW: letters and digits of any script; "_" is not one.
bool IsAlphaNumeric(char16_t ch);

// PathMatchSpecW(name, spec): ";"-separated patterns with blanks after each
// ";" skipped; "*" matches any run, "?" one character, other characters match
// case-insensitively; "*.*" matches every name, a dot or not.
bool PathMatchSpec(std::u16string_view name, std::u16string_view spec);

}  // namespace platform
