// A line too long to lay out at each key is shown broken into rows; what the writer works on
// stays the one line of the file.
#include "document/LongLineWrap.h"
#include "DocumentFixture.h"
#include "find/FindBar.h"
#include "support/Typing.h"
#include "text/Cp932.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTextBlock>

namespace {

const QString diaryA = QStringLiteral("/home/writer/a.htm");

// One line of `length` characters or more of tags and Japanese with "目印" near its end, then a
// short line.
QString diaryWithLineOf(int length)
{
    QString line = QStringLiteral("<p>");
    while (line.size() < length)
        line += QStringLiteral("今日は<b>晴れ</b>。");
    return line + QStringLiteral("目印</p>\r\n二行目\r\n");
}

QByteArray sjis(const QString& text)
{
    return text::encodeCp932(text).bytes;
}

class LongLineWrapTest : public DocumentFixture {
protected:
    void open(const QString& text)
    {
        putFile(diaryA, sjis(text));
        openThroughDialog(diaryA);
    }
    bool broken() const
    {
        return tab->AllMemo->lineWrapMode() == QPlainTextEdit::WidgetWidth
               && tab->AllMemo->font().styleStrategy() == QFont::PreferNoShaping;
    }
    void select(int from, int to)
    {
        QTextCursor cursor(tab->AllMemo->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        tab->AllMemo->setTextCursor(cursor);
    }
};

TEST_F(LongLineWrapTest, OnlyALongLineIsShownBroken)
{
    struct Case {
        const char* name;
        QString text;
        bool broken;
    } cases[] = {
        {"short lines", diaryWithLineOf(200), false},
        {"a line just over the limit", diaryWithLineOf(LongLineWrap::longLine), true},
        {"short lines again after a long one", diaryWithLineOf(200), false},
    };
    main->show();
    for (const Case& c : cases) {
        open(c.text);
        EXPECT_EQ(broken(), c.broken) << c.name;
        EXPECT_EQ(text(), c.text) << c.name;
    }
    // A long line pasted into a short diary breaks the lines too.
    tab->AllMemo->moveCursor(QTextCursor::End);
    tab->AllMemo->insertPlainText(QString(LongLineWrap::longLine, u'x'));
    EXPECT_TRUE(broken());
}

// Typing, selecting, copying, finding, undoing and saving in the broken line act on the one
// line of the file, character for character, as they would unbroken.
TEST_F(LongLineWrapTest, TheBrokenLineIsStillOneLineForEverythingTheWriterDoes)
{
    const QString original = diaryWithLineOf(3 * LongLineWrap::longLine);
    main->resize(500, 400);
    main->show();
    open(original);
    ASSERT_TRUE(broken());
    QPlainTextEdit* memo = tab->AllMemo;
    memo->setFocus();
    memo->viewport()->repaint();
    ASSERT_EQ(memo->blockCount(), 3); // the long line, the short one and the empty last one

    const int middle = original.indexOf(u'\r') / 2;
    select(middle, middle);
    typeText(memo, QStringLiteral("雨x"));
    QString typed = original;
    typed.insert(middle, QStringLiteral("雨x"));
    EXPECT_EQ(text(), typed);
    EXPECT_EQ(memo->textCursor().position(), middle + 2);
    EXPECT_EQ(memo->textCursor().blockNumber(), 0);

    // A selection across many rows is the line's characters, without breaks.
    select(100, middle + 2);
    EXPECT_EQ(selectedEditorText(memo), typed.mid(100, middle + 2 - 100));
    memo->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), typed.mid(100, middle + 2 - 100));

    FindBar* bar = tab->AllFindBar();
    bar->FindEdit->setText(QStringLiteral("目印"));
    bar->findNext();
    EXPECT_EQ(memo->textCursor().selectionStart(), typed.indexOf(QStringLiteral("目印")));
    EXPECT_EQ(memo->textCursor().blockNumber(), 0);

    ASSERT_TRUE(doc->SaveDiary());
    EXPECT_EQ(file(diaryA), sjis(typed));
    memo->undo();
    EXPECT_EQ(text(), original);
    ASSERT_TRUE(doc->SaveDiary());
    EXPECT_EQ(file(diaryA), sjis(original));
}

} // namespace
