#include "text/LineEnds.h"

namespace text {

namespace {

bool isEditorLineBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

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
