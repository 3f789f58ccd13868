#pragma once

#include <QString>

class QPlainTextEdit;

// The text of an editor in the program's own form, CR LF line ends and every character as it
// is (QPlainTextEdit::toPlainText would turn a no-break space into a blank).
QString editorText(const QPlainTextEdit* editor);
QString selectedEditorText(const QPlainTextEdit* editor);
// Replaces the whole text of the editor with a CR LF text.
void setEditorText(QPlainTextEdit* editor, const QString& crlfText);

// The editor's text as it holds it, without a copy in CR LF form: lines end in U+2029.
QString rawEditorText(const QPlainTextEdit* editor);
// Replaces the whole text of the editor with a text whose lines end in LF.
void setRawEditorText(QPlainTextEdit* editor, const QString& lfText);
// Replaces the selection (at the caret when nothing is selected); the caret ends after the text.
void replaceEditorSelection(QPlainTextEdit* editor, const QString& crlfText);
