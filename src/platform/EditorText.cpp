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
    // QPlainTextEdit::setPlainText would go over the whole document a second time to give it the
    // editor's character format, which a plain text editor leaves empty: on a large diary a
    // tenth of the load. The document is filled directly and the editor set as after a load.
    QTextDocument* document = editor->document();
    document->setPlainText(lfText); // also clears the undo history
    document->setModified(false);
    editor->moveCursor(QTextCursor::Start);
}

void replaceEditorSelection(QPlainTextEdit* editor, const QString& crlfText)
{
    QTextCursor cursor = editor->textCursor();
    cursor.insertText(text::toEditorText(crlfText));
    editor->setTextCursor(cursor);
}
