#pragma once

#include "text/TextEncoding.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace text {

// True for bytes that are UTF-8 rather than Shift-JIS: valid UTF-8 with non-ASCII text, and
// either not well-formed Shift-JIS (a byte no Shift-JIS text holds, or a lead byte without its
// trail byte) or holding a UTF-8 sequence of three or four bytes, as every kana, kanji and
// full-width form has. Text that reads both ways with only two-byte UTF-8 sequences (accented
// Latin letters, which Shift-JIS reads as half-width katakana) counts as Shift-JIS.
bool looksLikeUtf8(QByteArrayView bytes);

// A charset declaration in a meta element near the start of an HTML text: the span of its name
// (in units of the text searched) and the encoding the name stands for, if one of ours.
struct CharsetDeclaration {
    qsizetype position = 0;
    qsizetype length = 0;
    std::optional<Encoding> encoding;
};

// The first `<meta charset=…>` or `<meta http-equiv="Content-Type" content="…; charset=…">` in
// the first kilobytes of text (names case-insensitive: Shift_JIS, x-sjis, Windows-31J, CP932,
// EUC-JP, UTF-8 and their usual aliases). Nothing when there is none.
std::optional<CharsetDeclaration> findCharsetDeclaration(QStringView text);

// The text with the name of its charset declaration made the label of `encoding`; nothing when
// the text declares no charset.
std::optional<QString> withCharsetDeclared(const QString& text, Encoding encoding);

struct EncodingGuess {
    FileEncoding used;
    // The encoding the file declares, when it names one of ours.
    std::optional<Encoding> declared;
    // The declaration names an encoding the bytes are not valid in, or a byte order mark says
    // otherwise: the writer is told which was used.
    bool disagrees() const { return declared && *declared != used.encoding; }
};

// The encoding of a diary's bytes: a UTF-8 byte order mark; else the declared charset when the
// bytes are valid in it; else valid UTF-8 with non-ASCII text (looksLikeUtf8) is UTF-8; else, from
// the first megabyte, the encoding that leaves fewest bytes outside characters, valid EUC-JP that
// is not plausible Shift-JIS being EUC-JP; else Shift-JIS.
EncodingGuess guessEncoding(QByteArrayView bytes);

} // namespace text
