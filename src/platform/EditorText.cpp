#include "platform/EditorText.h"

#include "text/LineEnds.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

QString editorText(const QPlainTextEdit* editor)
{
    return text::fromEditorText(rawEditorText(editor));
}

QString selectedEditorText(const QPlainTextEdit* editor)
{
    return text::fromEditorText(editor->textCursor().selectedText());
}

void setEditorText(QPlainTextEdit* editor, const QString& crlfText)
{
    setRawEditorText(editor, text::toEditorText(crlfText));
}

QString rawEditorText(const QPlainTextEdit* editor)
{
    return editor->document()->toRawText();
}

void setRawEditorText(QPlainTextEdit* editor, const QString& lfText)
{
    editor->setPlainText(lfText);
}

void replaceEditorSelection(QPlainTextEdit* editor, const QString& crlfText)
{
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(text::toEditorText(crlfText));
    editor->setTextCursor(cursor);
}
