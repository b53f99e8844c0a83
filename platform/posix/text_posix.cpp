// POSIX stand-in for the Windows text services: Windows-1252 as the ANSI code
// page, UTF-8, Unicode simple lower-casing, the letter/digit test and the
// file-name wildcard matcher.
// Tested by tests/platform/text_test.cpp.
#include <array>
#include <string>

#include "platform/posix/case_tables.h"
#include "platform/posix/posix_util.h"
#include "platform/scan.h"
#include "platform/text.h"

namespace platform {

namespace {

// Windows-1252 for 0x80..0x9F. The five bytes that the code page leaves
// undefined map to the C1 control of the same value, as Windows maps them,
// so that every byte survives a decode and re-encode.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t AnsiToChar(unsigned char b) {
  return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
}

// Returns the byte for `c`, or -1 when 1252 has no such character.
int CharToAnsi(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == c) return 0x80 + i;
  return -1;
}

void DecodeUtf8(std::string_view bytes, std::u16string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    // ASCII runs are the common case: widen them without further tests.
    if (p[i] < 0x80) {
      std::size_t old = out.size();
      out.resize(old + (n - i));
      std::size_t run = scan::WidenAscii(p + i, n - i, out.data() + old);
      out.resize(old + run);
      i += run;
      if (i == n) break;
    }
    unsigned char b = p[i];
    int need = 0;
    char32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) need = 1, cp = b & 0x1F, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) need = 2, cp = b & 0x0F, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) need = 3, cp = b & 0x07, min = 0x10000;
    else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::size_t k = 1;
    for (; k <= static_cast<std::size_t>(need) && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k)
      cp = (cp << 6) | (p[i + k] & 0x3F);
    if (k != static_cast<std::size_t>(need) + 1 || cp < min || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      // An invalid or cut sequence: one replacement character for the bytes
      // examined so far, then go on after them.
      out.push_back(0xFFFD);
      i += (k > 1) ? k : 1;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += need + 1;
  }
}

std::string EncodeUtf8(std::u16string_view text, bool* lossless) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {
      std::size_t run = i + 1;
      while (run < text.size() && text[run] < 0x80) ++run;
      std::size_t old = out.size();
      out.resize(old + (run - i));
      for (std::size_t k = i; k < run; ++k) out[old + k - i] = static_cast<char>(text[k]);
      i = run - 1;
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate has no UTF-8 form
      if (lossless) *lossless = false;
    }
    if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
  return out;
}

// Matches one wildcard pattern against the whole name.
bool MatchOne(std::u16string_view name, std::u16string_view pattern) {
  if (pattern == u"*.*") return true;
  std::size_t n = 0, p = 0, star = std::u16string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      mark = n;
    } else if (p < pattern.size() &&
               (pattern[p] == u'?' || LowerChar(pattern[p]) == LowerChar(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

void DecodeAppend(CodePage page, std::string_view bytes, std::u16string& out) {
  if (page == CodePage::kUtf8) {
    DecodeUtf8(bytes, out);
    return;
  }
  std::size_t old = out.size();
  out.resize(old + bytes.size());
  char16_t* dst = out.data() + old;
  const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < bytes.size();) {
    i += scan::WidenAscii(src + i, bytes.size() - i, dst + i);
    for (; i < bytes.size() && src[i] >= 0x80; ++i) dst[i] = AnsiToChar(src[i]);
  }
}

std::string Encode(CodePage page, std::u16string_view text, bool* lossless) {
  if (lossless) *lossless = true;
  if (page == CodePage::kUtf8) return EncodeUtf8(text, lossless);
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    int b = c < 0x80 ? c : CharToAnsi(c);
    if (b < 0) {
      b = '?';
      if (lossless) *lossless = false;
    }
    out[i] = static_cast<char>(b);
  }
  return out;
}

std::size_t IncompleteTail(CodePage page, std::string_view bytes) {
  if (page != CodePage::kUtf8) return 0;  // 1252 is a single-byte code page
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  // Look back over at most three continuation bytes for the lead byte.
  for (std::size_t back = 1; back <= 4 && back <= n; ++back) {
    unsigned char b = p[n - back];
    if ((b & 0xC0) == 0x80) continue;
    std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return need > back ? back : 0;
  }
  return 0;
}

bool AnsiIsSingleByte() { return true; }

void LowerBuffer(char16_t* text, std::size_t length) {
  const char16_t* table = case_tables::Lower();
  for (std::size_t i = 0; i < length; ++i) text[i] = table[text[i]];
}

char16_t LowerChar(char16_t ch) { return case_tables::Lower()[ch]; }

bool IsAlphaNumeric(char16_t ch) { return case_tables::IsAlnum(ch); }

bool PathMatchSpec(std::u16string_view name, std::u16string_view spec) {
  std::size_t start = 0;
  while (start <= spec.size()) {
    std::size_t end = spec.find(u';', start);
    if (end == std::u16string_view::npos) end = spec.size();
    std::u16string_view pattern = spec.substr(start, end - start);
    while (!pattern.empty() && pattern.front() == u' ') pattern.remove_prefix(1);
    if (!pattern.empty() && MatchOne(name, pattern)) return true;
    if (end == spec.size()) break;
    start = end + 1;
  }
  return false;
}

std::u16string PathFromBytes(std::string_view bytes) { return posix::FromNative(bytes); }

std::string PathToBytes(std::u16string_view path) {
  std::string out;
  // A text no name decodes to (a stray surrogate of another kind) is shown
  // as plain UTF-8 would show it.
  return posix::ToNative(path, out) ? out : ToUtf8(path);
}

}  // namespace platform
