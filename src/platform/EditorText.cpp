#include "platform/EditorText.h"

#include "text/LineEnds.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

QString editorText(const QPlainTextEdit* editor)
{
    return text::fromEditorText(editor->document()->toRawText());
}

QString selectedEditorText(const QPlainTextEdit* editor)
{
    return text::fromEditorText(editor->textCursor().selectedText());
}

void setEditorText(QPlainTextEdit* editor, const QString& crlfText)
{
    editor->setPlainText(text::toEditorText(crlfText));
}

void replaceEditorSelection(QPlainTextEdit* editor, const QString& crlfText)
{
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(text::toEditorText(crlfText));
    editor->setTextCursor(cursor);
}
