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
