#include "platform/EditorText.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// A whole-text load replaces the text and leaves the editor as a fresh one: caret at the start,
// nothing to undo, the document unmodified, and the change reported.
TEST(EditorText, WholeTextLoadLeavesAFreshEditor)
{
    QPlainTextEdit editor;
    setEditorText(&editor, QStringLiteral("古い\r\n本文"));
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText(QStringLiteral("追加"));
    ASSERT_TRUE(editor.document()->isUndoAvailable());
    int changes = 0;
    QObject::connect(&editor, &QPlainTextEdit::textChanged, [&] { ++changes; });

    setRawEditorText(&editor, QStringLiteral("一\n\u00a0二\n\n三"));

    EXPECT_EQ(rawEditorText(&editor), QStringLiteral("一\u2029\u00a0二\u2029\u2029三"));
    EXPECT_EQ(editorText(&editor), QStringLiteral("一\r\n\u00a0二\r\n\r\n三"));
    EXPECT_EQ(editor.document()->blockCount(), 4);
    EXPECT_EQ(editor.textCursor().position(), 0);
    EXPECT_FALSE(editor.textCursor().hasSelection());
    EXPECT_FALSE(editor.document()->isUndoAvailable());
    EXPECT_FALSE(editor.document()->isModified());
    EXPECT_GE(changes, 1);
}

} // namespace
