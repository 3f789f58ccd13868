#pragma once

#include "text/Cp932.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace text {

// Decodes UTF-8 without losing a byte: a byte that is not part of a valid sequence (and each
// byte of a valid U+F780..U+F7FF, the range those bytes are carried in) becomes U+F700 + byte,
// one per byte, as decodeCp932 does. Encoding gives the same bytes back, always. With `codes`,
// notes every JIS character that Shift-JIS and EUC-JP would write as its Windows twin (JisTwins.h),
// so that a copy in those encodings keeps it as it was read.
QString decodeUtf8(QByteArrayView bytes, ReadCodes* codes = nullptr);
// decodeUtf8 with every line end (CR LF, a lone CR, a lone LF) made one LF. The characters an
// editor would take for line ends of its own (U+2028, U+2029, and U+FDD0 and U+FDD1, which Qt's
// text document reserves for frames) are carried as their bytes, as a stray byte is.
QString decodeUtf8ToEditor(QByteArrayView bytes, ReadCodes* codes = nullptr);

// Encodes to UTF-8; U+F780..U+F7FF become their byte again. A lone surrogate is written as its
// numeric character reference and listed in `unencodable`.
Encoded encodeUtf8(QStringView text);
// encodeUtf8 of an editor's text, its line breaks written as `lineEnd`.
Encoded encodeUtf8FromEditor(QStringView editorText, LineEnd lineEnd = LineEnd::CrLf);

} // namespace text
