#pragma once

// Runs of ASCII, the bulk of a diary's HTML, copied 16 bytes (or 8 units) at a time by the
// codecs. Internal to text/.

#include <QtGlobal>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace text::detail {

// Widens the ASCII bytes at the start of src[0..n) into dst and returns how many there were;
// with stopAtCr a CR ends the run too. dst must have room for n units: whole blocks are written
// even when the run ends inside one.
template <bool stopAtCr>
inline qsizetype widenAscii(const unsigned char* src, qsizetype n, char16_t* dst)
{
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const __m128i cr = _mm_set1_epi8('\r');
    while (i + 16 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), _mm_unpackhi_epi8(v, zero));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(v));
        if (stopAtCr)
            mask |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        if (mask != 0)
            return i + __builtin_ctz(mask);
        i += 16;
    }
#endif
    for (; i < n && src[i] < 0x80 && !(stopAtCr && src[i] == '\r'); ++i)
        dst[i] = src[i];
    return i;
}

// Narrows the ASCII units at the start of src[0..n) into dst and returns how many there were;
// with stopAtLf an LF ends the run too. dst must have room for n + 8 bytes.
template <bool stopAtLf> inline qsizetype narrowAscii(const char16_t* src, qsizetype n, char* dst)
{
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    const __m128i lf = _mm_set1_epi16('\n');
    while (i + 8 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(v, v));
        unsigned ascii = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, highBits), zero)));
        if (stopAtLf)
            ascii &= ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, lf)));
        if (ascii != 0xFFFF)
            return i + __builtin_ctz(~ascii) / 2;
        i += 8;
    }
#endif
    for (; i < n && src[i] < 0x80 && !(stopAtLf && src[i] == '\n'); ++i)
        dst[i] = static_cast<char>(src[i]);
    return i;
}

} // namespace text::detail
