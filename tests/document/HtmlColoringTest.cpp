#include "document/HtmlColoring.h"
#include "document/DiaryFileTab.h"
#include "document/LineNumberArea.h"
#include "platform/EditorText.h"
#include "support/Typing.h"

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <functional>

namespace {

using K = document::HtmlTokenKind;

class HtmlColoringTest : public testing::Test {
protected:
    HtmlColoringTest()
    {
        tab.resize(500, 400);
        setEditorText(memo(), QStringLiteral("<p>一行目</p>\r\n二行目\r\n<b>三行目</b>\r\n四行目"));
        memo()->setReadOnly(false);
        tab.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&tab));
        paint();
    }
    QPlainTextEdit* memo() { return tab.AllMemo; }
    void paint() { memo()->viewport()->repaint(); }
    // The colours of line `line` as (start, length, colour).
    std::vector<std::tuple<int, int, QColor>> colours(int line)
    {
        std::vector<std::tuple<int, int, QColor>> result;
        for (const auto& r : memo()->document()->findBlockByNumber(line).layout()->formats())
            result.emplace_back(r.start, r.length, r.format.foreground().color());
        return result;
    }
    QColor colour(K kind) { return HtmlColoring::colourOf(kind, memo()->palette()); }
    void typeAt(int line, int column, const QString& text)
    {
        QTextCursor cursor(memo()->document()->findBlockByNumber(line));
        cursor.setPosition(cursor.position() + column);
        memo()->setTextCursor(cursor);
        typeText(memo(), text);
        paint();
    }

    DiaryFileTab tab;
};

TEST_F(HtmlColoringTest, AnUnclosedCommentColoursTheLinesBelowUntilItIsClosed)
{
    using Colours = std::vector<std::tuple<int, int, QColor>>;
    EXPECT_EQ(colours(2), (Colours{{0, 2, colour(K::Tag)},
                                   {2, 1, colour(K::Tag)},
                                   {6, 3, colour(K::Tag)},
                                   {9, 1, colour(K::Tag)}}));

    typeAt(0, 0, QStringLiteral("<!--"));
    EXPECT_EQ(colours(2), (Colours{{0, 10, colour(K::Comment)}}));
    EXPECT_EQ(colours(3), (Colours{{0, 3, colour(K::Comment)}}));

    typeAt(1, 3, QStringLiteral("-->"));
    EXPECT_EQ(colours(1), (Colours{{0, 6, colour(K::Comment)}}));
    EXPECT_EQ(colours(2).size(), 4u);
    EXPECT_EQ(std::get<2>(colours(2)[0]), colour(K::Tag));
    EXPECT_TRUE(colours(3).empty());
}

TEST_F(HtmlColoringTest, ColouringChangesNeitherTheTextNorItsModifiedState)
{
    QSignalSpy changed(memo(), &QPlainTextEdit::textChanged);
    memo()->document()->setModified(false);
    tab.coloring()->setEnabled(false);
    paint();
    EXPECT_TRUE(colours(0).empty());
    tab.coloring()->setEnabled(true);
    paint();
    EXPECT_FALSE(colours(0).empty());
    EXPECT_EQ(changed.size(), 0);
    EXPECT_FALSE(memo()->document()->isModified());
    EXPECT_FALSE(memo()->document()->isUndoAvailable());
}

TEST_F(HtmlColoringTest, EveryKindHasItsOwnColourOnLightAndDarkPalettes)
{
    for (const QColor base : {QColor(Qt::white), QColor(30, 30, 30)}) {
        QPalette palette;
        palette.setColor(QPalette::Base, base);
        QList<QColor> seen;
        for (K kind : {K::Tag, K::AttributeName, K::AttributeValue, K::Comment, K::CharReference}) {
            const QColor c = HtmlColoring::colourOf(kind, palette);
            EXPECT_FALSE(seen.contains(c));
            EXPECT_GT(std::abs(c.lightness() - base.lightness()), 80) << c.name().toStdString();
            seen << c;
        }
    }
}

TEST_F(HtmlColoringTest, GoToLineMovesTheCursorToTheStartOfThatLine)
{
    QString text;
    for (int i = 1; i <= 300; ++i)
        text += QStringLiteral("行%1\r\n").arg(i);
    setEditorText(memo(), text);
    goToLine(memo(), 250);
    EXPECT_EQ(memo()->textCursor().blockNumber(), 249);
    EXPECT_EQ(memo()->textCursor().positionInBlock(), 0);
    const QRect caret = memo()->cursorRect();
    EXPECT_TRUE(memo()->viewport()->rect().contains(caret.center()));
    goToLine(memo(), 1000); // past the end: the last line
    EXPECT_EQ(memo()->textCursor().blockNumber(), memo()->blockCount() - 1);
}

// A screen reader reads the cursor's line from the line numbers, kept up to date as the
// cursor moves and lines come and go.
TEST_F(HtmlColoringTest, TheLineNumbersTellAScreenReaderTheCursorsLine)
{
    const QAccessibleInterface* numbers = QAccessible::queryAccessibleInterface(tab.lineNumbers());
    const struct {
        std::function<void()> act;
        const char16_t* heard;
    } steps[] = {
        {[&] { goToLine(memo(), 3); }, u"3 行目（全 4 行）"},
        {[&] {
             QTest::keyClick(memo(), Qt::Key_Return);
             QTest::keyClick(memo(), Qt::Key_Return);
         },
         u"5 行目（全 6 行）"},
        {[&] { memo()->moveCursor(QTextCursor::Start); }, u"1 行目（全 6 行）"},
        {[&] { QTest::keyClick(memo(), Qt::Key_Down); }, u"2 行目（全 6 行）"},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(numbers->text(QAccessible::Description), QString::fromUtf16(step.heard));
    }
    EXPECT_EQ(numbers->text(QAccessible::Name), QStringLiteral("行番号"));
}

// A line far longer than a screen (a diary without line breaks) is shown without colours,
// while the line below starts in the state the whole long line ends in, before and after the
// colours have settled.
TEST_F(HtmlColoringTest, ALongLineIsShownWithoutColoursAndEndsInTheRightState)
{
    using Colours = std::vector<std::tuple<int, int, QColor>>;
    // Just over the limit: shorter than a line the editor shows broken into rows, so that the
    // line below stays on screen.
    const QString body = QStringLiteral("<b>x</b>").repeated(HtmlColoring::colouredLength / 8 + 1);
    const struct {
        const char* name;
        QString tail;
        Colours next; // of the line below, "<i>y"
    } cases[] = {
        {"closed", QString(), {{0, 2, colour(K::Tag)}, {2, 1, colour(K::Tag)}}},
        {"open comment", QStringLiteral("<!--"), {{0, 4, colour(K::Comment)}}},
        {"open value", QStringLiteral("<a href=\"x"), {{0, 4, colour(K::AttributeValue)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setEditorText(memo(), body + c.tail + QStringLiteral("\r\n<i>y"));
        for (bool settled : {false, true}) {
            if (settled) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return tab.coloring()->isSettled(); }, 5000));
            }
            paint();
            EXPECT_EQ(colours(0), Colours());
            EXPECT_EQ(colours(1), c.next);
        }
    }
}

// An edit that does not come from the keys (assistive input, a script or a drop, straight into
// the document) opens a comment or a script above the screen: once the background pass has
// settled, the lines on screen are painted in their new state, with no scrolling or typing.
TEST_F(HtmlColoringTest, AnEditAboveTheScreenRecoloursTheScreenOnceSettled)
{
    using Colours = std::vector<std::tuple<int, int, QColor>>;
    const struct {
        const char* name;
        QString opening;
        Colours onScreen; // of a line "<b>行</b>"
    } cases[] = {
        {"comment", QStringLiteral("<!--"), {{0, 8, colour(K::Comment)}}},
        {"script", QStringLiteral("<script>"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setEditorText(memo(), QStringLiteral("<b>行</b>\r\n").repeated(400));
        memo()->moveCursor(QTextCursor::End);
        ASSERT_TRUE(QTest::qWaitFor([&] { return tab.coloring()->isSettled(); }, 5000));
        paint();
        const int first = memo()->cursorForPosition(QPoint(0, 0)).blockNumber();
        const int last =
            memo()->cursorForPosition(QPoint(0, memo()->viewport()->height())).blockNumber();
        ASSERT_GT(first, 100);
        ASSERT_EQ(colours(first).size(), 4u);

        QTextCursor(memo()->document()).insertText(c.opening);
        ASSERT_TRUE(QTest::qWaitFor([&] { return tab.coloring()->isSettled(); }, 5000));
        for (int line : {first, (first + last) / 2, last - 1})
            EXPECT_TRUE(QTest::qWaitFor([&] { return colours(line) == c.onScreen; }, 1000)) << line;
    }
}

// A wider line-number margin would narrow the editor, and Qt then lays out every line again.
TEST_F(HtmlColoringTest, AHundredThousandLinesDoNotNarrowTheEditor)
{
    const int width = memo()->viewport()->width();
    setEditorText(memo(), QStringLiteral("\r\n").repeated(100'000));
    QApplication::processEvents();
    EXPECT_EQ(memo()->viewport()->width(), width);
}

} // namespace
