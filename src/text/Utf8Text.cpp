#include "text/Utf8Text.h"

#include "text/CodecParts.h"
#include "text/JisTwins.h"

namespace text {
namespace {

using namespace detail;

// Characters Qt's text document turns into a block break of its own when they are put in.
inline bool breaksEditorBlock(char32_t c)
{
    return c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

template <bool editor>
void decodeStep(const unsigned char* src, qsizetype n, qsizetype& i, char16_t* dst, qsizetype& o,
                ReadCodes* codes)
{
    const qsizetype length = utf8SequenceLength(src, i, n);
    char32_t c = 0;
    switch (length) {
    case 2: c = (src[i] & 0x1Fu) << 6 | (src[i + 1] & 0x3Fu); break;
    case 3: c = (src[i] & 0x0Fu) << 12 | (src[i + 1] & 0x3Fu) << 6 | (src[i + 2] & 0x3Fu); break;
    case 4:
        c = (src[i] & 0x07u) << 18 | (src[i + 1] & 0x3Fu) << 12 | (src[i + 2] & 0x3Fu) << 6
            | (src[i + 3] & 0x3Fu);
        break;
    default: break;
    }
    if (c == 0 || isByteEscape(c) || (editor && breaksEditorBlock(c))) {
        // Not a character, one that would read back as escaped bytes, or one the editor would
        // turn into a line end: escape every byte.
        for (const qsizetype end = i + std::max<qsizetype>(length, 1); i < end; ++i)
            dst[o++] = static_cast<char16_t>(kByteEscapeBase + src[i]);
        return;
    }
    if (c >= 0x10000) {
        dst[o++] = QChar::highSurrogate(c);
        dst[o++] = QChar::lowSurrogate(c);
    } else {
        if (codes && windowsTwin(static_cast<char16_t>(c)) != c)
            codes->push_back({o, static_cast<char16_t>(c), 0});
        dst[o++] = static_cast<char16_t>(c);
    }
    i += length;
}

void encodeStep(const char16_t* src, qsizetype n, qsizetype& i, ByteSink& sink, Encoded& result)
{
    const char16_t u = src[i];
    char* dst = sink.dst();
    qsizetype& o = sink.o;
    if (isByteEscape(u)) {
        dst[o++] = static_cast<char>(u - kByteEscapeBase);
        ++i;
    } else if (u < 0x800) {
        dst[o++] = static_cast<char>(0xC0 | (u >> 6));
        dst[o++] = static_cast<char>(0x80 | (u & 0x3F));
        ++i;
    } else if (!QChar::isSurrogate(u)) {
        dst[o++] = static_cast<char>(0xE0 | (u >> 12));
        dst[o++] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        dst[o++] = static_cast<char>(0x80 | (u & 0x3F));
        ++i;
    } else {
        qsizetype units = 0;
        const char32_t c = codePointAt(src, i, n, units);
        i += units;
        if (units == 1) {
            sink.reference(c, n - i, result);
            return;
        }
        dst[o++] = static_cast<char>(0xF0 | (c >> 18));
        dst[o++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        dst[o++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        dst[o++] = static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

QString decodeUtf8(QByteArrayView bytes, ReadCodes* codes)
{
    return decodeWith<false>(bytes, [codes](auto&... at) { decodeStep<false>(at..., codes); });
}

QString decodeUtf8ToEditor(QByteArrayView bytes, ReadCodes* codes)
{
    return decodeWith<true>(bytes, [codes](auto&... at) { decodeStep<true>(at..., codes); });
}

Encoded encodeUtf8(QStringView text)
{
    return encodeWith<false>(text, 3, encodeStep);
}

Encoded encodeUtf8FromEditor(QStringView editorText, LineEnd lineEnd)
{
    return encodeWith<true>(editorText, 3, encodeStep, lineEnd);
}

} // namespace text
