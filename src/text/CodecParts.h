#pragma once

// What the EUC-JP and UTF-8 codecs share: the escape of a byte that is not a character, numeric
// character references for what an encoding cannot hold, and one pass that decodes or encodes
// while it turns the file's line ends into the editor's. Internal to text/.

#include "text/AsciiRuns.h"
#include "text/Cp932.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QSet>
#include <QString>
#include <QStringView>

#include <charconv>
#include <cstdint>

namespace text::detail {

// A byte that is not part of a character is carried as U+F700 + byte (U+F780..U+F7FF).
constexpr char16_t kByteEscapeBase = 0xF700;

inline bool isByteEscape(char32_t c)
{
    return c >= kByteEscapeBase + 0x80 && c <= kByteEscapeBase + 0xFF;
}

inline bool isEditorLineBreak(char16_t unit)
{
    return unit == u'\n' || unit == 0x2029 || unit == 0x2028;
}

// Writes the bytes of a line end and returns how many.
inline qsizetype writeLineEnd(char* dst, LineEnd lineEnd)
{
    if (lineEnd == LineEnd::Lf) {
        dst[0] = '\n';
        return 1;
    }
    dst[0] = '\r';
    if (lineEnd == LineEnd::Cr)
        return 1;
    dst[1] = '\n';
    return 2;
}

// Walks an encoder's read codes along the text: at(i, unit) for ascending i gives the read code
// of unit at i, or nothing when it has none (or the code was noted for another character).
class CodeCursor {
public:
    explicit CodeCursor(const ReadCodes* codes)
    {
        if (codes) {
            next_ = codes->data();
            end_ = next_ + codes->size();
        }
    }
    const ReadCode* at(qsizetype i, char16_t unit)
    {
        while (next_ != end_ && next_->position < i)
            ++next_;
        return next_ != end_ && next_->position == i && next_->unit == unit ? next_ : nullptr;
    }

private:
    const ReadCode* next_ = nullptr;
    const ReadCode* end_ = nullptr;
};

// The length of the UTF-8 sequence at i, or 0 when it is not valid there: no overlong forms,
// no surrogates, nothing above U+10FFFF.
inline qsizetype utf8SequenceLength(const unsigned char* s, qsizetype i, qsizetype n)
{
    const unsigned char b = s[i];
    if (b < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > n || s[i + 1] < low || s[i + 1] > high)
        return 0;
    for (qsizetype k = i + 2; k < i + length; ++k) {
        if ((s[k] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// The bytes being written, grown only for character references (longest "&#1114111;").
class ByteSink {
public:
    explicit ByteSink(qsizetype capacity) : out_(capacity, Qt::Uninitialized), dst_(out_.data()) {}
    char* dst() { return dst_; }
    qsizetype o = 0;

    // Makes room for `bytes` more and `bytesPerUnit` for each unit left after them.
    void reserve(qsizetype bytes, qsizetype unitsLeft, qsizetype bytesPerUnit)
    {
        const qsizetype needed = o + bytes + bytesPerUnit * unitsLeft + 16;
        if (needed > out_.size()) {
            out_.resize(std::max(needed, out_.size() + out_.size() / 2));
            dst_ = out_.data();
        }
    }

    // Writes the reference of a character the encoding cannot hold and lists it once.
    void reference(char32_t codePoint, qsizetype unitsLeft, Encoded& result)
    {
        reserve(10, unitsLeft, 3);
        dst_[o++] = '&';
        dst_[o++] = '#';
        o = std::to_chars(dst_ + o, dst_ + o + 7, static_cast<std::uint32_t>(codePoint)).ptr - dst_;
        dst_[o++] = ';';
        if (!seen_.contains(codePoint)) {
            seen_.insert(codePoint);
            result.unencodable.append(codePoint);
        }
    }
    QByteArray take()
    {
        out_.resize(o);
        if (out_.capacity() - o > 4096)
            out_.squeeze();
        return std::move(out_);
    }

private:
    QByteArray out_;
    char* dst_;
    QSet<char32_t> seen_;
};

// The character at s[i] that has no code: a surrogate pair counts as one code point, anything
// else (a lone surrogate included) as the unit itself. Sets units to the units it covers.
inline char32_t codePointAt(const char16_t* s, qsizetype i, qsizetype n, qsizetype& units)
{
    if (QChar::isHighSurrogate(s[i]) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
        units = 2;
        return QChar::surrogateToUcs4(s[i], s[i + 1]);
    }
    units = 1;
    return s[i];
}

// Decodes bytes: runs of ASCII here, every other byte through step(src, n, i, dst, o), which
// decodes one character (or escapes one byte) and moves i and o past it. Each byte yields at
// most one unit. With editor, CR LF, a lone CR and a lone LF each become one LF.
template <bool editor, typename Step> QString decodeWith(QByteArrayView bytes, Step step)
{
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    QString out(n, Qt::Uninitialized);
    auto* dst = reinterpret_cast<char16_t*>(out.data());
    qsizetype i = 0, o = 0;
    while (i < n) {
        const unsigned char b = src[i];
        if (editor && b == '\r') {
            dst[o++] = u'\n';
            i += i + 1 < n && src[i + 1] == '\n' ? 2 : 1;
        } else if (b < 0x80) {
            const qsizetype run = widenAscii<editor>(src + i, n - i, dst + o);
            i += run;
            o += run;
        } else {
            step(src, n, i, dst, o);
        }
    }
    out.resize(o);
    if (out.capacity() - o > 4096)
        out.squeeze();
    return out;
}

// Encodes text: runs of ASCII here, every other unit through step(src, n, i, sink, result),
// which writes one character (or its reference) and moves i past it. The sink starts with room
// for bytesPerUnit bytes a unit; a step that writes more reserves it. With editor, each line
// break (LF, U+2029, U+2028) becomes lineEnd.
template <bool editor, typename Step>
Encoded encodeWith(QStringView text, qsizetype bytesPerUnit, Step step,
                   LineEnd lineEnd = LineEnd::CrLf)
{
    Encoded result;
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
    ByteSink sink(bytesPerUnit * n + 16);
    qsizetype i = 0;
    while (i < n) {
        const char16_t u = src[i];
        if (editor && isEditorLineBreak(u)) {
            sink.o += writeLineEnd(sink.dst() + sink.o, lineEnd);
            ++i;
        } else if (u < 0x80) {
            const qsizetype run = narrowAscii<editor>(src + i, n - i, sink.dst() + sink.o);
            i += run;
            sink.o += run;
        } else {
            step(src, n, i, sink, result);
        }
    }
    result.bytes = sink.take();
    return result;
}

} // namespace text::detail
