// Win32 text services: code-page conversion, lower-casing, the alphanumeric
// test and PathMatchSpecW.
// Tested by tests/platform/text_test.cpp and tests/platform/text_win_test.cpp.

#include "platform/win/wide.h"  // the system headers, without their name macros
#undef PathMatchSpec            // the platform function of that name, not PathMatchSpecW

#include <climits>

#include "platform/text.h"
#include "platform/win/text_win.h"

namespace platform {
namespace {

using win::W;
using win::Wz;

// The conversion calls count in ints; larger buffers are converted in
// pieces cut on character boundaries.
constexpr std::size_t kMaxPiece = 1u << 28;

UINT WinCodePage(CodePage page) { return page == CodePage::kUtf8 ? CP_UTF8 : CP_ACP; }

void AppendDecoded(UINT code_page, std::string_view bytes, std::u16string& out) {
  if (bytes.empty()) return;
  // One call, no size query: neither UTF-8 nor an ANSI code page yields more
  // UTF-16 units than it had bytes (an invalid byte gives one U+FFFD).
  std::size_t at = out.size();
  out.resize(at + bytes.size());
  // Flags 0: invalid UTF-8 becomes U+FFFD instead of failing the call.
  int made = MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()),
                                 W(out.data() + at), static_cast<int>(bytes.size()));
  out.resize(at + static_cast<std::size_t>(made > 0 ? made : 0));
}

// Characters that WideCharToMultiByte cannot write exactly: a lone surrogate
// for UTF-8 (written as U+FFFD).
bool HasLoneSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        ++i;
        continue;
      }
      return true;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) return true;
  }
  return false;
}

// For the ANSI code page: whether every character has an exact form.
// Without WC_NO_BEST_FIT_CHARS the call maps a missing character to a
// look-alike ("l" for U+0142) and does not report it, so the check needs the
// flag and lpUsedDefaultChar; the text itself is then converted without the
// flag, keeping the look-alikes that Windows programs write.
bool AnsiLossless(std::u16string_view text) {
  BOOL used_default = FALSE;
  int needed =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, W(text.data()),
                          static_cast<int>(text.size()), nullptr, 0, nullptr, &used_default);
  return needed > 0 && !used_default;
}

void AppendEncoded(UINT code_page, std::u16string_view text, std::string& out) {
  if (text.empty()) return;
  int size = static_cast<int>(text.size());
  // lpDefaultChar and lpUsedDefaultChar must be null for CP_UTF8.
  int needed =
      WideCharToMultiByte(code_page, 0, W(text.data()), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return;
  std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(needed));
  int made = WideCharToMultiByte(code_page, 0, W(text.data()), size, out.data() + at, needed,
                                 nullptr, nullptr);
  out.resize(at + static_cast<std::size_t>(made > 0 ? made : 0));
}

std::size_t Utf8IncompleteTail(std::string_view bytes) {
  // Look back over at most three continuation bytes for a lead byte whose
  // sequence runs past the end.
  std::size_t n = bytes.size();
  for (std::size_t back = 1; back <= 4 && back <= n; ++back) {
    unsigned char c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte: keep looking
    std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
    if (c > 0xF4) length = 1;  // not a lead byte: nothing to wait for
    return length > back ? back : 0;
  }
  return 0;
}

// A piece of at most kMaxPiece bytes that does not split a character.
std::string_view NextPiece(CodePage page, std::string_view bytes) {
  if (bytes.size() <= kMaxPiece) return bytes;
  std::string_view piece = bytes.substr(0, kMaxPiece);
  std::size_t tail = IncompleteTail(page, piece);
  return piece.substr(0, piece.size() - tail);
}

}  // namespace

void DecodeAppend(CodePage page, std::string_view bytes, std::u16string& out) {
  UINT code_page = WinCodePage(page);
  while (!bytes.empty()) {
    std::string_view piece = NextPiece(page, bytes);
    AppendDecoded(code_page, piece, out);
    bytes.remove_prefix(piece.size());
  }
}

std::string Encode(CodePage page, std::u16string_view text, bool* lossless) {
  std::string out;
  if (lossless) *lossless = true;
  UINT code_page = WinCodePage(page);
  while (!text.empty()) {
    std::size_t size = text.size() <= kMaxPiece ? text.size() : kMaxPiece;
    // Never split a surrogate pair between two pieces.
    if (size < text.size() && text[size - 1] >= 0xD800 && text[size - 1] <= 0xDBFF) --size;
    std::u16string_view piece = text.substr(0, size);
    if (lossless && *lossless) {
      *lossless = page == CodePage::kUtf8 ? !HasLoneSurrogate(piece) : AnsiLossless(piece);
    }
    AppendEncoded(code_page, piece, out);
    text.remove_prefix(size);
  }
  return out;
}

std::size_t win::DbcsIncompleteTail(unsigned code_page, std::string_view bytes) {
  // A trail byte of a double-byte code page can have the value of a lead
  // byte, so the boundary is only known by walking from the start.
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (IsDBCSLeadByteEx(code_page, static_cast<BYTE>(bytes[i]))) {
      if (i + 1 == bytes.size()) return 1;
      i += 2;
    } else {
      ++i;
    }
  }
  return 0;
}

std::size_t IncompleteTail(CodePage page, std::string_view bytes) {
  if (page == CodePage::kUtf8) return Utf8IncompleteTail(bytes);
  CPINFO info;
  if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize < 2) return 0;
  return win::DbcsIncompleteTail(GetACP(), bytes);
}

void LowerBuffer(char16_t* text, std::size_t length) {
  while (length > 0) {
    DWORD piece = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
    CharLowerBuffW(W(text), piece);
    text += piece;
    length -= piece;
  }
}

char16_t LowerChar(char16_t ch) {
  // CharLowerW takes either a string or, when the high word of the pointer
  // is zero, one character in the low word, and returns it the same way.
  ULONG_PTR value =
      reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(ch))));
  return static_cast<char16_t>(value & 0xFFFF);
}

bool IsAlphaNumeric(char16_t ch) { return IsCharAlphaNumericW(static_cast<WCHAR>(ch)) != FALSE; }

bool PathMatchSpec(std::u16string_view name, std::u16string_view spec) {
  return PathMatchSpecW(Wz(name).c_str(), Wz(spec).c_str()) != FALSE;
}

// The command line arrives as UTF-16 and is converted to UTF-8 by the
// program itself, so UTF-8 is the whole story here.
std::u16string PathFromBytes(std::string_view bytes) { return FromUtf8(bytes); }
std::string PathToBytes(std::u16string_view path) { return ToUtf8(path); }

}  // namespace platform
