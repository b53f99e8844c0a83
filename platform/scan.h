// Vectorised scans over UTF-16 text, the hot loops of a content search.
// Portable (no OS calls); used by the platform decoders and the engine.
// Tested by tests/platform/text_test.cpp and the engine content tests.
#pragma once
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace scan {

// Index of the first unit equal to `a` or `b` in p[0, n), or n.
inline std::size_t FindEither(const char16_t* p, std::size_t n, char16_t a, char16_t b) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi16(static_cast<short>(a));
  const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
  for (; i + 8 <= n; i += 8) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, va), _mm_cmpeq_epi16(v, vb)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
  }
#endif
  for (; i < n; ++i)
    if (p[i] == a || p[i] == b) return i;
  return n;
}

// Index of the first byte equal to `a` or `b` in p[0, n), or n.
inline std::size_t FindEitherByte(const unsigned char* p, std::size_t n, unsigned char a,
                                  unsigned char b) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(static_cast<char>(a));
  const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
  for (; i + 16 <= n; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; i < n; ++i)
    if (p[i] == a || p[i] == b) return i;
  return n;
}

// The first start s in [0, starts) with p[s + off1] equal to a1 or b1 and
// p[s + off2] equal to a2 or b2, or `starts`. p must hold
// starts - 1 + max(off1, off2) bytes. Testing two bytes of a pattern at once
// leaves far fewer false candidates than one.
inline std::size_t FindBytePair(const unsigned char* p, std::size_t starts, std::size_t off1,
                                unsigned char a1, unsigned char b1, std::size_t off2,
                                unsigned char a2, unsigned char b2) {
  std::size_t s = 0;
#if defined(__SSE2__)
  const __m128i va1 = _mm_set1_epi8(static_cast<char>(a1)), vb1 = _mm_set1_epi8(static_cast<char>(b1));
  const __m128i va2 = _mm_set1_epi8(static_cast<char>(a2)), vb2 = _mm_set1_epi8(static_cast<char>(b2));
  for (; s + 16 <= starts; s += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + s + off1));
    __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + s + off2));
    __m128i hit = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(x, va1), _mm_cmpeq_epi8(x, vb1)),
                                _mm_or_si128(_mm_cmpeq_epi8(y, va2), _mm_cmpeq_epi8(y, vb2)));
    int mask = _mm_movemask_epi8(hit);
    if (mask != 0) return s + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; s < starts; ++s) {
    unsigned char x = p[s + off1], y = p[s + off2];
    if ((x == a1 || x == b1) && (y == a2 || y == b2)) return s;
  }
  return starts;
}

// How common a character is in source and text files, from 0 (rarest) to
// 127 (the blank): the rank of its byte count over C headers, documentation
// and scripts. Units beyond ASCII count as rarest. A scan for the rarest
// units of a pattern meets the fewest false candidates.
inline int Commonness(char16_t unit) {
  // clang-format off
  static constexpr unsigned char kRank[128] = {
        0,   1,   2,   3,   4,   5,   6,  28,   7,  68, 117,   8,  29,  30,   9,  10,
       11,  12,  13,  14,  15,  16,  17,  18,  27,  19,  20,  21,  22,  23,  24,  25,
      127,  35,  73,  78,  44,  34,  42,  60, 101, 102, 104,  39,  91,  87,  90, 112,
       99,  85,  82,  65,  62,  66,  61,  56,  59,  64,  76,  75,  79,  71,  83,  32,
       41, 100,  69,  95,  80, 106,  74,  70,  58, 103,  40,  55,  98,  77,  96,  92,
       88,  36,  93, 108, 105,  67,  57,  46,  63,  52,  38,  54,  50,  53,  31, 121,
       47, 119,  94, 116, 114, 126, 109,  97, 110, 123,  51,  86, 115, 107, 122, 120,
      113,  43, 118, 124, 125, 111,  84,  72,  81,  89,  45,  49,  37,  48,  33,  26,
  };
  // clang-format on
  return unit < 128 ? kRank[unit] : 0;
}

inline std::size_t Find(const char16_t* p, std::size_t n, char16_t c) { return FindEither(p, n, c, c); }

// Widens bytes to units (the ASCII part of a decode); returns how many
// leading bytes were below 0x80 and were widened.
inline std::size_t WidenAscii(const unsigned char* src, std::size_t n, char16_t* dst) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    if (_mm_movemask_epi8(v) != 0) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), _mm_unpackhi_epi8(v, zero));
  }
#endif
  for (; i < n && src[i] < 0x80; ++i) dst[i] = src[i];
  return i;
}

}  // namespace scan
