#pragma once

#include "text/Cp932.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace text {

// Decodes EUC-JP: JIS X 0208 with the rows code page 932 fills (NEC's row 13 with ① and ㈱, the
// NEC-selected IBM kanji), half-width katakana after 0x8E and JIS X 0212 after 0x8F, each pair
// read as the character code page 932 gives its Shift-JIS code (0xA1C1 is U+FF5E, as browsers
// read it). Never loses a byte: a byte that is not part of a character becomes U+F700 + byte,
// as decodeCp932 does.
QString decodeEucJp(QByteArrayView bytes);
// decodeEucJp with every line end (CR LF, a lone CR, a lone LF) made one LF.
QString decodeEucJpToEditor(QByteArrayView bytes);

// Encodes to EUC-JP; U+F780..U+F7FF become their byte again. A character with more than one code
// is written with the code Windows writes (except right after a stray lead byte, where it takes
// a code that does not join that byte); one EUC-JP cannot hold (an emoji, a character of the
// user-defined area) is written as its numeric character reference and listed in `unencodable`.
Encoded encodeEucJp(QStringView text);
// encodeEucJp of an editor's text, its line breaks written as CR LF.
Encoded encodeEucJpFromEditor(QStringView editorText);

} // namespace text
