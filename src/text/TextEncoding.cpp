#include "text/TextEncoding.h"

#include "text/EucJp.h"
#include "text/Utf8Text.h"

namespace text {

namespace {

constexpr QByteArrayView utf8Bom = "\xEF\xBB\xBF";

bool hasEscape(QStringView decoded)
{
    return std::any_of(decoded.begin(), decoded.end(),
                       [](QChar c) { return c.unicode() >= 0xF780 && c.unicode() <= 0xF7FF; });
}

} // namespace

QString encodingName(FileEncoding encoding)
{
    switch (encoding.encoding) {
    case Encoding::EucJp: return QStringLiteral("EUC-JP");
    case Encoding::Utf8:
        return encoding.byteOrderMark ? QStringLiteral("UTF-8 (BOM付き)") : QStringLiteral("UTF-8");
    case Encoding::ShiftJis: break;
    }
    return QStringLiteral("Shift-JIS");
}

QString charsetLabel(Encoding encoding)
{
    switch (encoding) {
    case Encoding::EucJp: return QStringLiteral("EUC-JP");
    case Encoding::Utf8: return QStringLiteral("UTF-8");
    case Encoding::ShiftJis: break;
    }
    return QStringLiteral("Shift_JIS");
}

QString decodeToEditor(QByteArrayView bytes, FileEncoding encoding)
{
    switch (encoding.encoding) {
    case Encoding::EucJp: return decodeEucJpToEditor(bytes);
    case Encoding::Utf8:
        if (encoding.byteOrderMark && bytes.startsWith(utf8Bom))
            bytes = bytes.sliced(utf8Bom.size());
        return decodeUtf8ToEditor(bytes);
    case Encoding::ShiftJis: break;
    }
    return decodeCp932ToEditor(bytes);
}

Encoded encodeFromEditor(QStringView editorText, FileEncoding encoding)
{
    switch (encoding.encoding) {
    case Encoding::EucJp: return encodeEucJpFromEditor(editorText);
    case Encoding::Utf8: {
        Encoded encoded = encodeUtf8FromEditor(editorText);
        if (encoding.byteOrderMark)
            encoded.bytes.prepend(utf8Bom.data(), utf8Bom.size());
        return encoded;
    }
    case Encoding::ShiftJis: break;
    }
    return encodeCp932FromEditor(editorText);
}

bool isValidIn(QByteArrayView bytes, Encoding encoding)
{
    switch (encoding) {
    case Encoding::EucJp: return !hasEscape(decodeEucJp(bytes));
    case Encoding::Utf8: return bytes.isValidUtf8();
    case Encoding::ShiftJis: break;
    }
    return !hasEscape(decodeCp932(bytes));
}

} // namespace text
