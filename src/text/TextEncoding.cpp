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

QString fileFormatName(FileEncoding encoding)
{
    return encodingName(encoding) + u'・' + lineEndName(encoding.lineEnd);
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

QString decodeToEditor(QByteArrayView bytes, FileEncoding encoding, ReadCodes* codes)
{
    switch (encoding.encoding) {
    case Encoding::EucJp: return decodeEucJpToEditor(bytes, codes);
    case Encoding::Utf8:
        if (encoding.byteOrderMark && bytes.startsWith(utf8Bom))
            bytes = bytes.sliced(utf8Bom.size());
        return decodeUtf8ToEditor(bytes, codes);
    case Encoding::ShiftJis: break;
    }
    return decodeCp932ToEditor(bytes, codes);
}

Encoded encodeFromEditor(QStringView editorText, FileEncoding encoding, CodesRead codes)
{
    switch (encoding.encoding) {
    case Encoding::EucJp: return encodeEucJpFromEditor(editorText, encoding.lineEnd, codes);
    case Encoding::Utf8: {
        // Every character UTF-8 holds reads back as itself: the codes change nothing.
        Encoded encoded = encodeUtf8FromEditor(editorText, encoding.lineEnd);
        if (encoding.byteOrderMark)
            encoded.bytes.prepend(utf8Bom.data(), utf8Bom.size());
        return encoded;
    }
    case Encoding::ShiftJis: break;
    }
    return encodeCp932FromEditor(editorText, encoding.lineEnd, codes);
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
