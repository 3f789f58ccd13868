#include "text/LineEnds.h"

namespace text {

namespace {

bool isEditorLineBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

QString normalizeLineEnds(QStringView text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            result += QStringLiteral("\r\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            result += QStringLiteral("\r\n");
        } else {
            result += c;
        }
    }
    return result;
}

QString toEditorText(QStringView crlfText)
{
    QString result = crlfText.toString();
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

QString fromEditorText(QStringView editorText)
{
    QString result;
    result.reserve(editorText.size() + editorText.size() / 16);
    for (QChar c : editorText) {
        if (isEditorLineBreak(c))
            result += QStringLiteral("\r\n");
        else
            result += c;
    }
    return result;
}

} // namespace text
