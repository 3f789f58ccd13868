#include "text/EucJp.h"

#include "text/CodecParts.h"

#include <algorithm>
#include <iterator>

namespace text {
namespace {

using namespace detail;

// Generated at build time (Cp932TableGen.cpp): kEucJp0208 and kEucJp0212, the character of each
// row and cell (0 if none); kEucJpEncode, the code of each UTF-16 unit (below 0x100 one byte,
// 0x8Exx half-width katakana, 0xA1A1 up a pair, 0x2121-0x7E7E JIS X 0212, kNoCode if none);
// kEucJpAlternates, every code of the characters that have more than one, as unit << 16 | code;
// kEucJp0208Kept and kEucJp0212Kept, a bit for each row and cell whose character kEucJpEncode
// writes with another code.
#include "EucJpTables.inc"

constexpr std::uint16_t kNoCode = 0xFFFF;

static_assert(sizeof(kEucJp0208) / sizeof(kEucJp0208[0]) == 94 * 94);
static_assert(kEucJpEncode[u'A'] == u'A' && kEucJpEncode[kByteEscapeBase + 0xFF] == 0xFF);

inline bool isGraphic(unsigned char b)
{
    return b >= 0xA1 && b <= 0xFE;
}

inline char16_t cellOf(const char16_t* plane, unsigned char row, unsigned char cell)
{
    return plane[(row - 0xA1) * 94 + (cell - 0xA1)];
}

inline bool isKept(const std::uint32_t* kept, unsigned char row, unsigned char cell)
{
    const unsigned index = (row - 0xA1) * 94 + (cell - 0xA1);
    return (kept[index >> 5] >> (index & 31)) & 1;
}

void decodeStep(const unsigned char* src, qsizetype n, qsizetype& i, char16_t* dst, qsizetype& o,
                ReadCodes* codes)
{
    const unsigned char b = src[i];
    if (isGraphic(b) && i + 1 < n && isGraphic(src[i + 1])) {
        if (const char16_t c = cellOf(kEucJp0208, b, src[i + 1])) {
            if (codes && isKept(kEucJp0208Kept, b, src[i + 1]))
                codes->push_back({o, c, static_cast<std::uint16_t>(b << 8 | src[i + 1])});
            dst[o++] = c;
            i += 2;
            return;
        }
    } else if (b == 0x8E && i + 1 < n && src[i + 1] >= 0xA1 && src[i + 1] <= 0xDF) {
        dst[o++] = static_cast<char16_t>(0xFF61 + src[i + 1] - 0xA1);
        i += 2;
        return;
    } else if (b == 0x8F && i + 2 < n && isGraphic(src[i + 1]) && isGraphic(src[i + 2])) {
        if (const char16_t c = cellOf(kEucJp0212, src[i + 1], src[i + 2])) {
            if (codes && isKept(kEucJp0212Kept, src[i + 1], src[i + 2]))
                codes->push_back(
                    {o, c,
                     static_cast<std::uint16_t>((src[i + 1] & 0x7F) << 8 | (src[i + 2] & 0x7F))});
            dst[o++] = c;
            i += 3;
            return;
        }
    }
    // Not the start of a character: keep the byte and decode the next one afresh.
    dst[o++] = static_cast<char16_t>(kByteEscapeBase + b);
    ++i;
}

// The bytes of a code, as kEucJpEncode holds it.
int codeBytes(std::uint16_t code, unsigned char* out)
{
    if (code < 0x100) {
        out[0] = static_cast<unsigned char>(code);
        return 1;
    }
    if (code < 0x8000) {
        out[0] = 0x8F;
        out[1] = static_cast<unsigned char>((code >> 8) | 0x80);
        out[2] = static_cast<unsigned char>((code & 0xFF) | 0x80);
        return 3;
    }
    out[0] = static_cast<unsigned char>(code >> 8);
    out[1] = static_cast<unsigned char>(code & 0xFF);
    return 2;
}

// Whether a stray lead byte followed by the code would read back as one character.
bool joins(unsigned char lead, std::uint16_t code)
{
    unsigned char b[3];
    const int count = codeBytes(code, b);
    if (lead == 0x8E)
        return b[0] >= 0xA1 && b[0] <= 0xDF;
    if (lead == 0x8F)
        return count >= 2 && isGraphic(b[0]) && isGraphic(b[1]) && cellOf(kEucJp0212, b[0], b[1]);
    return isGraphic(lead) && isGraphic(b[0]) && cellOf(kEucJp0208, lead, b[0]);
}

// The byte a unit of decoded text stands for when it is a kept stray byte, else 0.
unsigned char strayByte(const char16_t* src, qsizetype at)
{
    return at >= 0 && isByteEscape(src[at]) ? static_cast<unsigned char>(src[at] - kByteEscapeBase)
                                            : 0;
}

// Whether the code, written at src[i], would join the stray bytes kept just before it into one
// character when the file is read again: the byte right before as a lead, or a stray 0x8F and a
// stray row byte before it as the start of a JIS X 0212 character.
bool joinsStrayBytes(const char16_t* src, qsizetype i, std::uint16_t code)
{
    const unsigned char previous = strayByte(src, i - 1);
    if (previous == 0)
        return false;
    if (joins(previous, code))
        return true;
    unsigned char b[3];
    codeBytes(code, b);
    return isGraphic(previous) && strayByte(src, i - 2) == 0x8F && isGraphic(b[0])
           && cellOf(kEucJp0212, previous, b[0]);
}

// The code to write for src[i]: its usual code unless that joins the stray bytes before it, then
// the first of its other codes that does not. (Text read from a file always has one: the code it
// was read from.)
std::uint16_t codeAt(const char16_t* src, qsizetype i, std::uint16_t code)
{
    if (code < 0x100 || !joinsStrayBytes(src, i, code))
        return code;
    const std::uint32_t first = static_cast<std::uint32_t>(src[i]) << 16;
    const auto* end = std::end(kEucJpAlternates);
    for (auto* p = std::lower_bound(std::begin(kEucJpAlternates), end, first);
         p != end && (*p & 0xFFFF0000u) == first; ++p) {
        const auto other = static_cast<std::uint16_t>(*p & 0xFFFF);
        if (!joinsStrayBytes(src, i, other))
            return other;
    }
    return code;
}

void writeCode(ByteSink& sink, std::uint16_t code)
{
    unsigned char b[3];
    const int count = codeBytes(code, b);
    for (int k = 0; k < count; ++k)
        sink.dst()[sink.o++] = static_cast<char>(b[k]);
}

// Whether the code, as kEucJpEncode holds it, reads back as unit.
bool decodesTo(std::uint16_t code, char16_t unit)
{
    if (code < 0x100)
        return code < 0x80 ? code == unit : kByteEscapeBase + code == unit;
    const unsigned char high = code >> 8, low = code & 0xFF;
    if (high == 0x8E)
        return low >= 0xA1 && low <= 0xDF && 0xFF61 + low - 0xA1 == unit;
    if (code < 0x8000)
        return isGraphic(high | 0x80) && isGraphic(low | 0x80)
               && cellOf(kEucJp0212, high | 0x80, low | 0x80) == unit;
    return isGraphic(high) && isGraphic(low) && cellOf(kEucJp0208, high, low) == unit;
}

// The code to write for unit: with its read code in this encoding, that code; marked as read
// from another encoding, its usual code only when that reads back as unit, else none (it becomes
// a reference); else its usual code.
std::uint16_t codeOf(char16_t unit, const ReadCode* read, bool ownEncoding)
{
    const std::uint16_t code = kEucJpEncode[unit];
    if (!read)
        return code;
    if (!ownEncoding)
        return code != kNoCode && decodesTo(code, unit) ? code : kNoCode;
    return decodesTo(read->code, unit) ? read->code : code;
}

void encodeStep(const char16_t* src, qsizetype n, qsizetype& i, ByteSink& sink, Encoded& result,
                const ReadCode* read, bool ownEncoding)
{
    const std::uint16_t code = codeOf(src[i], read, ownEncoding);
    if (code == kNoCode) {
        qsizetype units = 0;
        const char32_t c = codePointAt(src, i, n, units);
        i += units;
        sink.reference(c, n - i, result);
        return;
    }
    // A stray byte kept before this character must stay alone when the file is read again.
    const std::uint16_t written = codeAt(src, i, code);
    if (written >= 0x100 && written < 0x8000)
        sink.reserve(3, n - i, 2); // JIS X 0212: three bytes for one unit
    writeCode(sink, written);
    ++i;
}

template <bool editor> Encoded encode(QStringView text, LineEnd lineEnd, CodesRead codes)
{
    CodeCursor read(codes.codes);
    return encodeWith<editor>(
        text, 2,
        [&](const char16_t* src, qsizetype n, qsizetype& i, ByteSink& sink, Encoded& result) {
            encodeStep(src, n, i, sink, result, read.at(i, src[i]), codes.ownEncoding);
        },
        lineEnd);
}

} // namespace

QString decodeEucJp(QByteArrayView bytes, ReadCodes* codes)
{
    return decodeWith<false>(bytes, [codes](auto&... at) { decodeStep(at..., codes); });
}

QString decodeEucJpToEditor(QByteArrayView bytes, ReadCodes* codes)
{
    return decodeWith<true>(bytes, [codes](auto&... at) { decodeStep(at..., codes); });
}

Encoded encodeEucJp(QStringView text, CodesRead codes)
{
    return encode<false>(text, LineEnd::CrLf, codes);
}

Encoded encodeEucJpFromEditor(QStringView editorText, LineEnd lineEnd, CodesRead codes)
{
    return encode<true>(editorText, lineEnd, codes);
}

} // namespace text
