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
    QString result = crlfText.toString();
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
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
