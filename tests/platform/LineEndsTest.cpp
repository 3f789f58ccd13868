#include "text/LineEnds.h"

#include <gtest/gtest.h>

namespace {

TEST(LineEnds, EditorTextCrossesBothWaysKeepingEveryOtherCharacter)
{
    const QString crlf = QStringLiteral("一行目\r\n\u00a0二行目\t\r\n\r\n");
    const QString editor = text::toEditorText(crlf);
    EXPECT_EQ(editor, QStringLiteral("一行目\n\u00a0二行目\t\n\n"));
    EXPECT_EQ(text::fromEditorText(editor), crlf);
    // Only a CR LF pair is a line end here; a CR on its own stays.
    EXPECT_EQ(text::toEditorText(u"\r\r\na\r"), QStringLiteral("\r\na\r"));
    // A plain text editor's raw text and its selection separate lines with U+2029.
    EXPECT_EQ(text::fromEditorText(u"a\u2029b\u2028c"), QStringLiteral("a\r\nb\r\nc"));
}

} // namespace
