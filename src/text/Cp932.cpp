#include "text/Cp932.h"

#include "text/CodecParts.h"

#include <QChar>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace text {
namespace {

// Tables generated at build time from glibc iconv by pelmora_cp932_tablegen:
//   kCp932Single[byte]  the character of a single byte, U+F700 + byte for a byte that is
//                       never a character, or kLeadMarker for a byte that starts a pair;
//   kCp932Pairs[(lead - 0x80) << 8 | trail]  the character of a pair, 0 if none;
//   kCp932Encode[unit]  code of a UTF-16 unit: < 0x100 one byte, otherwise two bytes
//                       (high byte first); kNoCode if the page has no code for it;
//   kCp932Alternates    every two-byte code of the characters that have more than one, as
//                       unit << 16 | code, ascending;
//   kCp932Kept          a bit for each pair of kCp932Pairs whose character kCp932Encode
//                       writes with another code.
#include "Cp932Tables.inc"

constexpr char16_t kLeadMarker = 0xFFFF;
constexpr std::uint16_t kNoCode = 0xFFFF;
constexpr char16_t kByteEscapeBase = 0xF700;

static_assert(sizeof(kCp932Single) / sizeof(kCp932Single[0]) == 256);
static_assert(sizeof(kCp932Pairs) / sizeof(kCp932Pairs[0]) == 0x8000);
static_assert(sizeof(kCp932Encode) / sizeof(kCp932Encode[0]) == 0x10000);
static_assert(kCp932Single[u'A'] == u'A' && kCp932Single[0x80] == kByteEscapeBase + 0x80);
static_assert(kCp932Encode[kByteEscapeBase + 0xFF] == 0xFF);

inline bool isPair(unsigned char lead, unsigned char trail)
{
    return kCp932Pairs[((lead - 0x80) << 8) | trail] != 0;
}

// Notes the code of the character read from lead and trail at o when a save would otherwise
// write it with another code.
inline void noteCode(ReadCodes& codes, qsizetype o, char16_t unit, unsigned char lead,
                     unsigned char trail)
{
    const unsigned index = (lead - 0x80u) << 8 | trail;
    if ((kCp932Kept[index >> 5] >> (index & 31)) & 1)
        codes.push_back({o, unit, static_cast<std::uint16_t>(lead << 8 | trail)});
}

// Whether the code (one byte below 0x100, else a pair) reads back as unit.
inline bool decodesTo(std::uint16_t code, char16_t unit)
{
    if (code < 0x100)
        return kCp932Single[code] == unit;
    return code != kNoCode && code >= 0x8000 && kCp932Pairs[code - 0x8000] == unit;
}

// The code to write for unit: with its read code in this encoding, that code; marked as read
// from another encoding, its usual code only when that reads back as unit, else none (it becomes
// a reference); else its usual code, the one Windows writes.
inline std::uint16_t codeOf(char16_t unit, const ReadCode* read, bool ownEncoding)
{
    const std::uint16_t code = kCp932Encode[unit];
    if (!read)
        return code;
    if (!ownEncoding)
        return decodesTo(code, unit) ? code : kNoCode;
    return decodesTo(read->code, unit) ? read->code : code;
}

// The escape of a lead byte that stood alone in the file.
inline bool isStrayLeadEscape(char16_t unit)
{
    return unit >= kByteEscapeBase + 0x80 && unit <= kByteEscapeBase + 0xFF
           && kCp932Single[unit - kByteEscapeBase] == kLeadMarker;
}

// The two-byte code to write for unit right after the stray lead byte `lead`. Its usual code
// `code` would read back as one pair with the lead byte when its first byte can follow it; a
// duplicate character then takes another of its codes, the first whose first byte cannot.
// (Text read from a file always has one: the code it was read from.)
std::uint16_t codeAfterStrayLead(unsigned char lead, char16_t unit, std::uint16_t code)
{
    if (!isPair(lead, code >> 8))
        return code;
    const std::uint32_t first = static_cast<std::uint32_t>(unit) << 16;
    const auto* end = std::end(kCp932Alternates);
    for (auto* p = std::lower_bound(std::begin(kCp932Alternates), end, first);
         p != end && (*p & 0xFFFF0000u) == first; ++p) {
        if (!isPair(lead, (*p >> 8) & 0xFF))
            return static_cast<std::uint16_t>(*p & 0xFFFF);
    }
    return code;
}

inline void writePair(char* dst, std::uint16_t code)
{
    dst[0] = static_cast<char>(code >> 8);
    dst[1] = static_cast<char>(code & 0xFF);
}

// Kept: every character as it is. Editor: the line ends of the editor's own text. Decoding
// turns CR LF, a lone CR and a lone LF into LF; encoding writes LF, U+2029 (a plain text
// editor's raw text) and U+2028 as the file's line end.
enum class Form { Kept, Editor };

inline bool isEditorLineBreak(char16_t unit)
{
    return unit == u'\n' || unit == 0x2029 || unit == 0x2028;
}

// Longest numeric character reference: "&#1114111;".
constexpr qsizetype kMaxReferenceLength = 10;

// A character without a code: a surrogate pair counts as one code point, anything else
// (including a lone surrogate) as the code unit itself.
struct Unencodable {
    char32_t codePoint;
    qsizetype units;
};

inline Unencodable unencodableAt(const char16_t* s, qsizetype i, qsizetype n)
{
    const char16_t u = s[i];
    if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
        return {QChar::surrogateToUcs4(u, s[i + 1]), 2};
    return {u, 1};
}

inline qsizetype referenceLength(char32_t codePoint)
{
    qsizetype digits = 1;
    for (char32_t v = codePoint; v >= 10; v /= 10)
        ++digits;
    return digits + 3; // "&#" and ";"
}

inline qsizetype writeReference(char* dst, char32_t codePoint)
{
    char* p = dst;
    *p++ = '&';
    *p++ = '#';
    p = std::to_chars(p, p + 7, static_cast<std::uint32_t>(codePoint)).ptr;
    *p++ = ';';
    return p - dst;
}

// Bytes one character at s[i] takes; sets units to the UTF-16 units it covers.
inline qsizetype encodedCharLength(const char16_t* s, qsizetype i, qsizetype n, qsizetype& units)
{
    const std::uint16_t code = kCp932Encode[s[i]];
    if (code != kNoCode) {
        units = 1;
        return code < 0x100 ? 1 : 2;
    }
    const Unencodable c = unencodableAt(s, i, n);
    units = c.units;
    return referenceLength(c.codePoint);
}

// withCodes: codes is given, and the codes of the duplicates read are noted in it. (Apart, so that
// a decode without them spends nothing on them.)
template <Form form, bool withCodes> QString decode(QByteArrayView bytes, ReadCodes* codes)
{
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    // Every byte yields at most one UTF-16 unit, so n units always suffice.
    QString out(n, Qt::Uninitialized);
    auto* dst = reinterpret_cast<char16_t*>(out.data());
    qsizetype i = 0;
    qsizetype o = 0;
    while (i < n) {
        const unsigned char b = src[i];
        if (b < 0x80) {
            if (form == Form::Editor && b == '\r') {
                dst[o++] = u'\n';
                i += i + 1 < n && src[i + 1] == '\n' ? 2 : 1;
                continue;
            }
#ifdef __SSE2__
            // Runs of ASCII: widen 16 bytes at a time. A block that is not all ASCII
            // (or holds a CR that ends a line for the editor) is still widened whole, but
            // only the prefix before that byte is kept; the output has room because o <= i
            // and i + 16 <= n.
            const __m128i zero = _mm_setzero_si128();
            const __m128i cr = _mm_set1_epi8('\r');
            while (i + 16 <= n) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + o), _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + o + 8),
                                 _mm_unpackhi_epi8(v, zero));
                unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(v));
                if (form == Form::Editor)
                    mask |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
                if (mask == 0) {
                    i += 16;
                    o += 16;
                    continue;
                }
                const int ascii = __builtin_ctz(mask);
                i += ascii;
                o += ascii;
                break;
            }
            if (i >= n)
                break;
            if (src[i] >= 0x80 || (form == Form::Editor && src[i] == '\r'))
                continue;
#endif
            dst[o++] = src[i++];
            continue;
        }
        const char16_t single = kCp932Single[b];
        if (single != kLeadMarker) {
            dst[o++] = single;
            ++i;
            continue;
        }
        if (i + 1 < n) {
            const char16_t pair = kCp932Pairs[((b - 0x80) << 8) | src[i + 1]];
            if (pair != 0) {
                if constexpr (withCodes)
                    noteCode(*codes, o, pair, b, src[i + 1]);
                dst[o++] = pair;
                i += 2;
                continue;
            }
        }
        // A lead byte at the end or before a byte that does not complete a character:
        // keep the lead byte on its own and decode the next byte afresh.
        dst[o++] = static_cast<char16_t>(kByteEscapeBase + b);
        ++i;
    }
    out.resize(o);
    // Japanese text shrinks to about half its byte count; hand the slack back.
    if (out.capacity() - o > 4096)
        out.squeeze();
    return out;
}

// withCodes: codes holds some.
template <Form form, bool withCodes>
Encoded encode(QStringView text, LineEnd lineEnd, CodesRead codes)
{
    Encoded result;
    detail::CodeCursor read(codes.codes);
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
    // Two bytes per unit hold every character that has a code; a character reference
    // may need more, and grows the buffer when it occurs.
    QByteArray out(2 * n, Qt::Uninitialized);
    char* dst = out.data();
    QSet<char32_t> seen;
    qsizetype i = 0;
    qsizetype o = 0;
    while (i < n) {
        if (form == Form::Editor && isEditorLineBreak(src[i])) {
            o += detail::writeLineEnd(dst + o, lineEnd);
            ++i;
            continue;
        }
#ifdef __SSE2__
        if (src[i] < 0x80) {
            // Runs of ASCII (for the editor, without LF): narrow 8 units at a time; the
            // output has room for at least 2 * (n - i) >= 16 more bytes.
            const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
            const __m128i zero = _mm_setzero_si128();
            const __m128i lf = _mm_set1_epi16('\n');
            while (i + 8 <= n) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + o), _mm_packus_epi16(v, v));
                unsigned ascii = static_cast<unsigned>(
                    _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, highBits), zero)));
                if (form == Form::Editor)
                    ascii &= ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, lf)));
                if (ascii == 0xFFFF) {
                    i += 8;
                    o += 8;
                    continue;
                }
                const int count = __builtin_ctz(~ascii) / 2;
                i += count;
                o += count;
                break;
            }
            if (i >= n)
                break;
            if (form == Form::Editor && isEditorLineBreak(src[i]))
                continue;
        }
#endif
        const std::uint16_t code = withCodes ? codeOf(src[i], read.at(i, src[i]), codes.ownEncoding)
                                             : kCp932Encode[src[i]];
        if (code < 0x100) {
            dst[o++] = static_cast<char>(code);
            ++i;
            // A stray lead byte must stay alone when the file is read again, so the
            // double-byte character after it needs a code that cannot pair with it.
            if (i < n && isStrayLeadEscape(src[i - 1])) {
                const std::uint16_t next =
                    withCodes ? codeOf(src[i], read.at(i, src[i]), codes.ownEncoding)
                              : kCp932Encode[src[i]];
                if (next >= 0x100 && next != kNoCode) {
                    writePair(dst + o, codeAfterStrayLead(code, src[i], next));
                    o += 2;
                    ++i;
                }
            }
            continue;
        }
        if (code != kNoCode) {
            writePair(dst + o, code);
            o += 2;
            ++i;
            continue;
        }
        const Unencodable c = unencodableAt(src, i, n);
        i += c.units;
        const qsizetype needed = o + kMaxReferenceLength + 2 * (n - i);
        if (needed > out.size()) {
            out.resize(std::max(needed, out.size() + out.size() / 2));
            dst = out.data();
        }
        o += writeReference(dst + o, c.codePoint);
        if (!seen.contains(c.codePoint)) {
            seen.insert(c.codePoint);
            result.unencodable.append(c.codePoint);
        }
    }
    out.resize(o);
    if (out.capacity() - o > 4096)
        out.squeeze();
    result.bytes = std::move(out);
    return result;
}

bool hasCodes(CodesRead codes)
{
    return codes.codes && !codes.codes->empty();
}

} // namespace

QString decodeCp932(QByteArrayView bytes, ReadCodes* codes)
{
    return codes ? decode<Form::Kept, true>(bytes, codes) : decode<Form::Kept, false>(bytes, codes);
}

QString decodeCp932ToEditor(QByteArrayView bytes, ReadCodes* codes)
{
    return codes ? decode<Form::Editor, true>(bytes, codes)
                 : decode<Form::Editor, false>(bytes, codes);
}

Encoded encodeCp932(QStringView text, CodesRead codes)
{
    return hasCodes(codes) ? encode<Form::Kept, true>(text, LineEnd::CrLf, codes)
                           : encode<Form::Kept, false>(text, LineEnd::CrLf, codes);
}

Encoded encodeCp932FromEditor(QStringView editorText, LineEnd lineEnd, CodesRead codes)
{
    return hasCodes(codes) ? encode<Form::Editor, true>(editorText, lineEnd, codes)
                           : encode<Form::Editor, false>(editorText, lineEnd, codes);
}

qsizetype cp932Length(QStringView text)
{
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
    qsizetype length = 0;
    qsizetype i = 0;
    while (i < n) {
        const std::uint16_t code = kCp932Encode[src[i]];
        if (code != kNoCode) {
            length += code < 0x100 ? 1 : 2;
            ++i;
            continue;
        }
        qsizetype units = 0;
        length += encodedCharLength(src, i, n, units);
        i += units;
    }
    return length;
}

QString truncateCp932(QStringView text, qsizetype maxBytes)
{
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
    qsizetype length = 0;
    qsizetype i = 0;
    while (i < n) {
        qsizetype units = 0;
        const qsizetype charLength = encodedCharLength(src, i, n, units);
        if (length + charLength > maxBytes)
            break;
        length += charLength;
        i += units;
    }
    return text.first(i).toString();
}

} // namespace text
