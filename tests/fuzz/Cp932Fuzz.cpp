// The diary codec on any bytes and any text.
//
// Decoding: for any bytes B, with T = decodeCp932(B) and E = encodeCp932(T):
//  - every character of T can be written: E lists nothing unencodable, and decoding E gives T;
//  - E is B character by character: each character of T covers as many bytes in E as in B,
//    and the bytes are the same, except for a two-byte character read from a duplicate code,
//    which is written with the code Windows writes for it (or, right after a stray lead byte,
//    another of its own codes); both codes then decode to that character;
//  - read into an editor with the codes it was read from and written from it with them and with
//    the line end all of B's line ends share (lineEndOf), B gives B, each line end written as that
//    one (so B itself when they all were);
//  - cp932Length(T) is the size of E.
// Encoding: for the bytes taken as UTF-16 text (lone surrogates included), cp932Length is the
// size of what encodeCp932 writes, and truncateCp932 keeps the longest prefix within the limit.
#include "FuzzCheck.h"
#include "support/CrLfBytes.h"
#include "text/Cp932.h"

#include <cstdint>
#include <cstring>

using fuzz::require;

namespace {

bool isByteEscape(QChar c)
{
    return c.unicode() >= 0xF780 && c.unicode() <= 0xF7FF;
}

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes a decoded character came from: one for an escaped byte, else its own code's size.
qsizetype widthOf(QChar c)
{
    if (isByteEscape(c))
        return 1;
    return text::encodeCp932(QStringView(&c, 1)).bytes.size();
}

void checkCharacterByCharacter(QByteArrayView original, const QString& decoded,
                               QByteArrayView written)
{
    qsizetype p = 0, q = 0;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const QChar c = decoded[i];
        const qsizetype width = widthOf(c);
        require(p + width <= original.size() && q + width <= written.size(),
                "a character covers as many bytes written as read");
        const QByteArrayView was = original.sliced(p, width), now = written.sliced(q, width);
        if (was != now) {
            require(width == 2, "only a two-byte character changes its code");
            require(text::decodeCp932(was) == QString(c) && text::decodeCp932(now) == QString(c),
                    "a changed code is another code of the same character");
            const bool afterStrayLead = i > 0 && isByteEscape(decoded[i - 1])
                                        && isLeadByte(decoded[i - 1].unicode() - 0xF700);
            require(afterStrayLead || now == text::encodeCp932(QStringView(&c, 1)).bytes,
                    "a duplicate is written with the code Windows writes");
        }
        p += width;
        q += width;
    }
    require(p == original.size() && q == written.size(), "the characters cover all bytes");
}

void checkDecoding(QByteArrayView bytes)
{
    const QString decoded = text::decodeCp932(bytes);
    const text::Encoded written = text::encodeCp932(decoded);
    require(written.unencodable.isEmpty(), "every decoded character can be written");
    require(text::decodeCp932(written.bytes) == decoded, "the written bytes read back the same");
    checkCharacterByCharacter(bytes, decoded, written.bytes);
    require(text::cp932Length(decoded) == written.bytes.size(), "cp932Length counts the bytes");

    text::ReadCodes codes;
    const QString editor = text::decodeCp932ToEditor(bytes, &codes);
    const text::LineEnd lineEnd = text::lineEndOf(bytes);
    require(text::encodeCp932FromEditor(editor, lineEnd, {&codes}).bytes
                == withLineEnds(bytes, lineEnd),
            "the editor's round trip with the codes read gives the bytes back, line ends alike");
}

void checkEncoding(const QString& text, qsizetype limit)
{
    const text::Encoded written = text::encodeCp932(text);
    require(text::cp932Length(text) == written.bytes.size(), "cp932Length counts the bytes");
    const QString kept = text::truncateCp932(text, limit);
    require(text.startsWith(kept) && text::cp932Length(kept) <= limit,
            "truncation keeps a prefix within the limit");
    if (kept.size() < text.size()) {
        const bool pair = kept.size() + 1 < text.size() && text[kept.size()].isHighSurrogate()
                          && text[kept.size() + 1].isLowSurrogate();
        const QStringView longer = QStringView(text).first(kept.size() + (pair ? 2 : 1));
        require(text::cp932Length(longer) > limit, "truncation keeps the longest such prefix");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkDecoding(bytes);

    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, size / 2 * 2);
    checkEncoding(text, qsizetype(size) / 3);
    return 0;
}
