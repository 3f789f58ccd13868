#pragma once

#include "text/Cp932.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace text {

// Decodes EUC-JP as Linux converts it (glibc's EUC-JP-MS): JIS X 0208 with NEC's row 13 (① and
// ㈱) and the user-defined area in rows 85-94, half-width katakana after 0x8E, and after 0x8F
// JIS X 0212 with the IBM extensions it lacks and the rest of the user-defined area; the codes
// where the JIS and Windows tables differ read as Windows reads them (0xA1C1 is U+FF5E, as
// browsers read it). Never loses a byte: a byte that is not part of a character becomes
// U+F700 + byte, as decodeCp932 does. With `codes`, notes every character read from a code other
// than the one encodeEucJp writes for it.
QString decodeEucJp(QByteArrayView bytes, ReadCodes* codes = nullptr);
// decodeEucJp with every line end (CR LF, a lone CR, a lone LF) made one LF.
QString decodeEucJpToEditor(QByteArrayView bytes, ReadCodes* codes = nullptr);

// Encodes to EUC-JP; U+F780..U+F7FF become their byte again. A character with more than one code
// is written with the code it was read from (its code in `codes`), else with the one EUC-JP-MS
// writes (except right after a stray lead byte, where it takes a code that does not join that
// byte); one EUC-JP cannot hold (an emoji) is written as its numeric character reference and
// listed in `unencodable`. Decoded bytes with their codes give the same bytes back.
Encoded encodeEucJp(QStringView text, CodesRead codes = {});
// encodeEucJp of an editor's text, its line breaks written as `lineEnd`.
Encoded encodeEucJpFromEditor(QStringView editorText, LineEnd lineEnd = LineEnd::CrLf,
                              CodesRead codes = {});

} // namespace text
