#pragma once

#include "text/Cp932.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace text {

// Decodes UTF-8 without losing a byte: a byte that is not part of a valid sequence (and each
// byte of a valid U+F780..U+F7FF, the range those bytes are carried in) becomes U+F700 + byte,
// one per byte, as decodeCp932 does. Encoding gives the same bytes back, always.
QString decodeUtf8(QByteArrayView bytes);
// decodeUtf8 with every line end (CR LF, a lone CR, a lone LF) made one LF.
QString decodeUtf8ToEditor(QByteArrayView bytes);

// Encodes to UTF-8; U+F780..U+F7FF become their byte again. A lone surrogate is written as its
// numeric character reference and listed in `unencodable`.
Encoded encodeUtf8(QStringView text);
// encodeUtf8 of an editor's text, its line breaks written as CR LF.
Encoded encodeUtf8FromEditor(QStringView editorText);

} // namespace text
