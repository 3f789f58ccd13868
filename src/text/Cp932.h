#pragma once

#include "text/LineEnds.h"
#include "text/ReadCodes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace text {

// Decodes code page 932 bytes. Never loses a byte: a byte that is not part of a valid
// character (stray 0x80, 0xA0, 0xFD-0xFF, a lead byte without a valid trail byte, bytes of a
// UTF-8 file) becomes the private-use character U+F700 + byte (U+F780..U+F7FF), one per byte.
// With `codes`, appends the read code of every character read from a code other than the one
// encodeCp932 writes for it (see ReadCode), so that a save can write it as it was.
QString decodeCp932(QByteArrayView bytes, ReadCodes* codes = nullptr);

// decodeCp932 into the form an editor holds: every line end of the file (CR LF, a lone CR,
// a lone LF) becomes one LF.
QString decodeCp932ToEditor(QByteArrayView bytes, ReadCodes* codes = nullptr);

struct Encoded {
    QByteArray bytes;
    // Code points code page 932 cannot hold, each once, in order of first appearance.
    QList<char32_t> unencodable;
};

// Encodes to code page 932. U+F780..U+F7FF become their byte again. A character the page
// cannot hold (an emoji, a lone surrogate) is written as its numeric character reference
// "&#128512;" and listed in `unencodable` — never "?" or 0xFCFC silently. A character with
// more than one code is written with the code it was read from (its code in `codes`), else with
// the code Windows writes, except right after a stray lead byte, where it takes a code that does
// not pair up with that byte, so that decoding the bytes again gives the same text. Decoded
// bytes with their codes give the same bytes back.
Encoded encodeCp932(QStringView text, CodesRead codes = {});

// encodeCp932 of an editor's text, whose line breaks (LF; U+2029 in a plain text editor's raw
// text; U+2028) are written as `lineEnd`.
Encoded encodeCp932FromEditor(QStringView editorText, LineEnd lineEnd = LineEnd::CrLf,
                              CodesRead codes = {});

// Number of bytes encodeCp932 writes for text (full-width character counts two).
qsizetype cp932Length(QStringView text);

// Longest prefix of text whose encoding is at most maxBytes, never splitting a character
// (a double-byte character, a surrogate pair, a character reference).
QString truncateCp932(QStringView text, qsizetype maxBytes);

} // namespace text
