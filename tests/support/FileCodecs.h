#pragma once

#include "text/Cp932.h"
#include "text/EucJp.h"
#include "text/TextEncoding.h"
#include "text/Utf8Text.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The three diary encodings' codecs by name, without the editor's line ends, as the codec
// tests and the encodings benchmark compare them.

inline QString decodeIn(QByteArrayView bytes, text::Encoding encoding)
{
    switch (encoding) {
    case text::Encoding::EucJp: return text::decodeEucJp(bytes);
    case text::Encoding::Utf8: return text::decodeUtf8(bytes);
    case text::Encoding::ShiftJis: break;
    }
    return text::decodeCp932(bytes);
}

inline text::Encoded encodeIn(QStringView text, text::Encoding encoding)
{
    switch (encoding) {
    case text::Encoding::EucJp: return text::encodeEucJp(text);
    case text::Encoding::Utf8: return text::encodeUtf8(text);
    case text::Encoding::ShiftJis: break;
    }
    return text::encodeCp932(text);
}
