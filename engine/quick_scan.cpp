// The byte-level find-mode shortcut.
// Tested by tests/engine/quick_scan_test.cpp.
#include "engine/quick_scan.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "platform/fs.h"
#include "platform/scan.h"
#include "platform/text.h"

namespace {

constexpr std::size_t kChunk = 64 * 1024;

unsigned char AsciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
unsigned char AsciiUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VARNEL_HAVE_AVX2_PAIR 1
// Where p[s + off] is `a` or `b`, as a byte mask; with one case (a == b)
// the second comparison is left out.
template <bool kOneCase>
__attribute__((target("avx2"))) inline __m256i HitsAt(const unsigned char* p, __m256i a,
                                                      __m256i b) {
  const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  if (kOneCase) return _mm256_cmpeq_epi8(x, a);
  return _mm256_or_si256(_mm256_cmpeq_epi8(x, a), _mm256_cmpeq_epi8(x, b));
}

// scan::FindBytePair in steps of 64, for processors with AVX2 (chosen at run
// time); the rest is left to the portable scan.
template <bool kOneCase>
__attribute__((target("avx2"))) std::size_t FindBytePairAvx2(const unsigned char* p,
                                                             std::size_t starts, std::size_t off1,
                                                             unsigned char a1, unsigned char b1,
                                                             std::size_t off2, unsigned char a2,
                                                             unsigned char b2) {
  const __m256i va1 = _mm256_set1_epi8(static_cast<char>(a1));
  const __m256i vb1 = _mm256_set1_epi8(static_cast<char>(b1));
  const __m256i va2 = _mm256_set1_epi8(static_cast<char>(a2));
  const __m256i vb2 = _mm256_set1_epi8(static_cast<char>(b2));
  std::size_t s = 0;
  for (; s + 64 <= starts; s += 64) {
    const __m256i low = _mm256_and_si256(HitsAt<kOneCase>(p + s + off1, va1, vb1),
                                         HitsAt<kOneCase>(p + s + off2, va2, vb2));
    const __m256i high = _mm256_and_si256(HitsAt<kOneCase>(p + s + 32 + off1, va1, vb1),
                                          HitsAt<kOneCase>(p + s + 32 + off2, va2, vb2));
    const __m256i any = _mm256_or_si256(low, high);
    if (_mm256_testz_si256(any, any)) continue;
    const unsigned first = static_cast<unsigned>(_mm256_movemask_epi8(low));
    if (first != 0) return s + static_cast<std::size_t>(__builtin_ctz(first));
    const unsigned second = static_cast<unsigned>(_mm256_movemask_epi8(high));
    return s + 32 + static_cast<std::size_t>(__builtin_ctz(second));
  }
  return s + scan::FindBytePair(p + s, starts - s, off1, a1, b1, off2, a2, b2);
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

std::size_t FindPair(const unsigned char* p, std::size_t starts, std::size_t off1, unsigned char a1,
                     unsigned char b1, std::size_t off2, unsigned char a2, unsigned char b2) {
#if defined(VARNEL_HAVE_AVX2_PAIR)
  if (HasAvx2()) {
    return a1 == b1 && a2 == b2 ? FindBytePairAvx2<true>(p, starts, off1, a1, b1, off2, a2, b2)
                                : FindBytePairAvx2<false>(p, starts, off1, a1, b1, off2, a2, b2);
  }
#endif
  return scan::FindBytePair(p, starts, off1, a1, b1, off2, a2, b2);
}

// The end of the reader's piece that holds byte `x` of an unmarked
// single-byte file (byte offsets are character offsets there): the first CR LF
// end after x, or the first 1024-byte block boundary after x that does not
// follow a CR (the reader reads on over such a boundary). `p` holds the file's
// bytes from `base`, `n` of them, and `eof` says whether they reach its end.
// Returns 0 when the bytes at hand do not decide.
std::uint64_t PieceEnd(const unsigned char* p, std::uint64_t base, std::size_t n, bool eof,
                       std::uint64_t x) {
  constexpr std::uint64_t kBlock = 1024;
  std::uint64_t i = x > base ? x - 1 : base;
  for (; i < base + n; ++i) {
    std::uint64_t y = i + 1;
    if (p[i - base] == '\r' && i + 1 < base + n && p[i + 1 - base] == '\n' && i + 1 >= x)
      return i + 2;
    if (y > x && y % kBlock == 0 && p[i - base] != '\r') return y;
  }
  return eof ? base + n : 0;
}

bool StartsWithMark(const unsigned char* p, std::size_t n) {
  return (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) ||
         (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) ||
         (n >= 4 && p[0] == 0 && p[1] == 0 && p[2] == 0xFE && p[3] == 0xFF);
}

}  // namespace

class CBytePattern {
 public:
  CBytePattern(std::u16string_view pattern, bool case_sensitive) : case_sensitive_(case_sensitive) {
    for (char16_t c : pattern) bytes_.push_back(static_cast<unsigned char>(c));
    // The two rarest bytes of the pattern are tested together (one byte
    // twice for a one-byte pattern).
    auto score = [&](std::size_t i) {
      unsigned char c = bytes_[i];
      return scan::Commonness(c) + (case_sensitive ? 0 : scan::Commonness(AsciiUpper(c)));
    };
    for (std::size_t i = 1; i < bytes_.size(); ++i)
      if (score(i) < score(anchor_)) anchor_ = i;
    second_ = anchor_;
    for (std::size_t i = 0; i < bytes_.size(); ++i)
      if (i != anchor_ && (second_ == anchor_ || score(i) < score(second_))) second_ = i;
    a_ = bytes_[anchor_];
    b_ = case_sensitive ? a_ : AsciiUpper(a_);
    a2_ = bytes_[second_];
    b2_ = case_sensitive ? a2_ : AsciiUpper(a2_);
  }

  std::size_t size() const { return bytes_.size(); }

  // End of the first occurrence in p[0, n), or 0 when there is none.
  std::size_t FindEnd(const unsigned char* p, std::size_t n) const {
    const std::size_t m = bytes_.size();
    if (n < m) return 0;
    std::size_t start = 0;
    const std::size_t last = n - m;
    while (start <= last) {
      start += FindPair(p + start, last + 1 - start, anchor_, a_, b_, second_, a2_, b2_);
      if (start > last) return 0;
      if (Matches(p + start)) return start + m;
      ++start;
    }
    return 0;
  }

 private:
  bool Matches(const unsigned char* p) const {
    const std::size_t last = bytes_.size() - 1;
    if (case_sensitive_) return p[last] == bytes_[last] && std::memcmp(p, bytes_.data(), last) == 0;
    for (std::size_t j = 0; j < bytes_.size(); ++j)
      if (AsciiLower(p[j]) != bytes_[j]) return false;
    return true;
  }

  std::vector<unsigned char> bytes_;
  bool case_sensitive_;
  std::size_t anchor_ = 0, second_ = 0;
  unsigned char a_ = 0, b_ = 0, a2_ = 0, b2_ = 0;
};

bool QuickScanApplies(std::u16string_view pattern) {
  if (pattern.empty() || !platform::AnsiIsSingleByte()) return false;
  for (char16_t c : pattern)
    if (c == 0 || c >= 0x80) return false;
  return true;
}

CQuickScanner::CQuickScanner() = default;
CQuickScanner::~CQuickScanner() = default;

void CQuickScanner::Prepare(std::u16string_view pattern, bool case_sensitive) {
  if (pattern_ && case_sensitive == case_sensitive_ && pattern == text_) return;
  pattern_ = std::make_unique<CBytePattern>(pattern, case_sensitive);
  text_ = pattern;
  case_sensitive_ = case_sensitive;
}

QuickScanResult CQuickScanner::ScanBytes(std::string_view bytes, bool null_check) const {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (StartsWithMark(p, bytes.size())) return QuickScanResult::kUnsure;
  if (pattern_->FindEnd(p, bytes.size()) != 0) return QuickScanResult::kFound;
  if (null_check && std::memchr(p, 0, bytes.size())) return QuickScanResult::kSkippedNul;
  return QuickScanResult::kNotFound;
}

QuickScanResult CQuickScanner::ScanFile(const std::u16string& path, bool null_check,
                                        platform::Event& stop) {
  platform::File file;
  if (!file.Open(path, platform::File::Mode::kRead)) return QuickScanResult::kUnsure;
  const CBytePattern& needle = *pattern_;
  const std::size_t keep = needle.size() - 1;
  buffer_.resize(kChunk + keep);
  std::size_t carried = 0;  // bytes of the previous chunk kept for a match across chunks
  std::uint64_t base = 0;   // file offset of buffer_[0]
  bool first = true;
  while (true) {
    if (stop.Poll()) return QuickScanResult::kCanceled;
    std::size_t got = 0;
    if (!file.Read(buffer_.data() + carried, kChunk, got)) return QuickScanResult::kUnsure;
    if (got == 0) return QuickScanResult::kNotFound;
    // A read that comes back short reached the end: asking again would only
    // cost a call that returns nothing.
    const bool at_end = got < kChunk;
    const unsigned char* p = buffer_.data();
    if (first && StartsWithMark(p, got)) return QuickScanResult::kUnsure;
    first = false;
    std::size_t n = carried + got;
    std::size_t nul = n;
    if (null_check) {
      const void* zero = std::memchr(p + carried, 0, got);
      if (zero) nul = static_cast<const unsigned char*>(zero) - p;
    }
    std::size_t end = needle.FindEnd(p, n);
    if (end != 0 && end <= nul) {
      if (!null_check) return QuickScanResult::kFound;
      // With the NUL rule, a NUL later in the piece that holds the match's
      // last character still skips the file: the reader checks a whole piece
      // before it is searched.
      std::uint64_t piece_end = PieceEnd(p, base, n, at_end, base + end - 1);
      if (piece_end == 0) return QuickScanResult::kUnsure;
      return base + nul < piece_end ? QuickScanResult::kSkippedNul : QuickScanResult::kFound;
    }
    if (nul < n) return QuickScanResult::kSkippedNul;
    if (at_end) return QuickScanResult::kNotFound;
    carried = std::min(keep, n);
    base += n - carried;
    std::memmove(buffer_.data(), p + n - carried, carried);
  }
}

QuickScanResult QuickScanBytes(std::string_view bytes, std::u16string_view pattern,
                               bool case_sensitive, bool null_check) {
  CQuickScanner scanner;
  scanner.Prepare(pattern, case_sensitive);
  return scanner.ScanBytes(bytes, null_check);
}

QuickScanResult QuickScanFile(const std::u16string& path, std::u16string_view pattern,
                              bool case_sensitive, bool null_check, platform::Event& stop) {
  CQuickScanner scanner;
  scanner.Prepare(pattern, case_sensitive);
  return scanner.ScanFile(path, null_check, stop);
}
