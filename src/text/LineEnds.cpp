#include "text/LineEnds.h"

#include <algorithm>

namespace text {

namespace {

bool isEditorLineBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

LineEnd lineEndOf(QByteArrayView bytes)
{
    const bool cr = bytes.contains('\r');
    const bool lf = bytes.contains('\n');
    if (cr == lf)
        return LineEnd::CrLf; // none, or CR LF, or a mixture
    return cr ? LineEnd::Cr : LineEnd::Lf;
}

QString lineEndName(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::Lf: return QStringLiteral("LF");
    case LineEnd::Cr: return QStringLiteral("CR");
    case LineEnd::CrLf: break;
    }
    return QStringLiteral("CR LF");
}

QString withLineEnd(const QString& crlfText, LineEnd lineEnd)
{
    if (lineEnd == LineEnd::CrLf)
        return crlfText;
    QString text = crlfText;
    return text.replace(QStringLiteral("\r\n"),
                        lineEnd == LineEnd::Lf ? QStringLiteral("\n") : QStringLiteral("\r"));
}

QString toEditorText(QStringView crlfText)
{
    // One pass: QString::replace moves the rest of the text again for every batch of line
    // ends it finds, which grows with the square of the size on a large document.
    const QChar* in = crlfText.data();
    const qsizetype n = crlfText.size();
    QString result(n, Qt::Uninitialized);
    QChar* out = result.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (!(in[i] == u'\r' && i + 1 < n && in[i + 1] == u'\n'))
            *out++ = in[i];
    }
    result.truncate(out - result.constData());
    return result;
}

QString fromEditorText(QStringView editorText)
{
    qsizetype breaks = 0;
    for (QChar c : editorText)
        breaks += isEditorLineBreak(c);
    QString result(editorText.size() + breaks, Qt::Uninitialized);
    QChar* out = result.data();
    for (QChar c : editorText) {
        if (isEditorLineBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return result;
}

} // namespace text
