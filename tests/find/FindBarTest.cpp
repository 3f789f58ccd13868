#include "find/FindBar.h"
#include "app/TMainForm.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "support/FakePlatform.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class FindBarTest : public testing::Test {
protected:
    FindBarTest()
    {
        form.state().FirstPageChangeFlag = FirstPageChange::Never;
        form.show();
        QApplication::setActiveWindow(&form);
    }

    QPlainTextEdit* memo() { return form.todayTab()->bodyEditor(); }
    FindBar* bar() { return form.todayTab()->findBar(); }
    // Puts the text in the first tab's editor with the caret at the start.
    void write(const QString& crlfText)
    {
        setEditorText(memo(), crlfText);
        memo()->setFocus();
    }
    std::pair<int, int> selection()
    {
        return {memo()->textCursor().selectionStart(), memo()->textCursor().selectionEnd()};
    }

    FakePlatform fake;
    TMainForm form{fake.platform()};
};

TEST_F(FindBarTest, CtrlFOpensTheBarOfTheTabInFrontWithTheSelection)
{
    write(QStringLiteral("今日は晴れ"));
    QTextCursor cursor = memo()->textCursor();
    cursor.setPosition(3);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    memo()->setTextCursor(cursor);
    QTest::keyClick(memo(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_FALSE(bar()->ReplaceEdit->isVisible());
    EXPECT_EQ(bar()->FindEdit->text(), QStringLiteral("晴れ"));
    EXPECT_EQ(QApplication::focusWidget(), bar()->FindEdit);
    EXPECT_FALSE(form.diaryTab()->AllFindBar()->isVisible());

    QTest::keyClick(bar()->FindEdit, Qt::Key_Escape);
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), memo());

    QTest::keyClick(memo(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(bar()->ReplaceEdit->isVisible());
}

// A focused button of the bar, and the send's cancel button, acts on Enter as on Space: Enter on
// すべて置換 replaces, where it once left the bar's old word in place.
TEST_F(FindBarTest, AFocusedButtonActsOnEnter)
{
    write(QStringLiteral("雨、雨、雨"));
    bar()->openReplace();
    bar()->FindEdit->setText(QStringLiteral("雨"));
    bar()->ReplaceEdit->setText(QStringLiteral("晴"));
    bar()->ReplaceAllBtn->setFocus();
    QTest::keyClick(bar()->ReplaceAllBtn, Qt::Key_Return);
    EXPECT_EQ(memo()->toPlainText(), QStringLiteral("晴、晴、晴"));

    auto* cancelSend = form.findChild<QPushButton*>(QStringLiteral("PublishCancelBtn"));
    for (QPushButton* button : {bar()->FindPrevBtn, bar()->FindNextBtn, bar()->ReplaceBtn,
                                bar()->ReplaceAllBtn, bar()->CloseBarBtn, cancelSend}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
            bar()->openReplace();
            button->setFocus();
            QSignalSpy clicked(button, &QPushButton::clicked);
            QTest::keyClick(button, key);
            EXPECT_EQ(clicked.size(), 1) << button->objectName().toStdString() << " " << key;
        }
    }
}

struct Step {
    Qt::KeyboardModifiers modifiers;
    std::pair<int, int> selected;
    const char16_t* status;
};

// F3 goes round from the end to the start, Shift+F3 from the start to the end; the bar says
// when it went round.
TEST_F(FindBarTest, F3AndShiftF3GoRoundTheTextAndSaySo)
{
    write(QStringLiteral("猫a\r\nb猫c\r\n猫")); // 猫 at 0, 4 and 7
    bar()->FindEdit->setText(QStringLiteral("猫"));
    const Step steps[] = {
        {Qt::NoModifier, {0, 1}, u""},
        {Qt::NoModifier, {4, 5}, u""},
        {Qt::NoModifier, {7, 8}, u""},
        {Qt::NoModifier, {0, 1}, u"先頭に戻って検索しました。"},
        {Qt::ShiftModifier, {7, 8}, u"末尾に戻って検索しました。"},
        {Qt::ShiftModifier, {4, 5}, u""},
    };
    for (const Step& step : steps) {
        QTest::keyClick(memo(), Qt::Key_F3, step.modifiers);
        EXPECT_EQ(selection(), step.selected);
        EXPECT_EQ(bar()->FindStatus->text(), QString::fromUtf16(step.status));
        EXPECT_EQ(QApplication::focusWidget(), memo()); // the writer can go on typing
    }
}

// A pattern longer than one character, found backwards where two matches overlap: the one
// nearest the caret comes first.
TEST_F(FindBarTest, ShiftF3FromTheEndSelectsTheLastOfOverlappingMatches)
{
    write(QStringLiteral("日記と日記と日記")); // 日記と日記 at 0 and 3
    memo()->moveCursor(QTextCursor::End);
    bar()->FindEdit->setText(QStringLiteral("日記と日記"));
    const std::pair<int, int> selected[] = {{3, 8}, {0, 5}, {3, 8}};
    for (const auto& expected : selected) {
        QTest::keyClick(memo(), Qt::Key_F3, Qt::ShiftModifier);
        EXPECT_EQ(selection(), expected);
    }
}

TEST_F(FindBarTest, NotFoundIsSaidInTheBarAndHeardNotShownInABox)
{
    write(QStringLiteral("今日は晴れ"));
    bar()->openFind();
    bar()->FindEdit->setText(QStringLiteral("雨"));
    QTest::keyClick(bar()->FindEdit, Qt::Key_Return);
    EXPECT_EQ(bar()->FindStatus->text(), QStringLiteral("見つかりません。"));
    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(bar()->FindStatus);
    EXPECT_EQ(status->text(QAccessible::Name), QStringLiteral("見つかりません。"));
    // A status bar, whose changes a screen reader speaks while the focus stays in the field.
    EXPECT_EQ(status->role(), QAccessible::StatusBar);
    EXPECT_EQ(status->text(QAccessible::Description), QStringLiteral("検索結果"));
    EXPECT_TRUE(fake.messages.shown.isEmpty());
    EXPECT_EQ(selection(), (std::pair{0, 0}));

    bar()->RegexCheck->setChecked(true);
    bar()->FindEdit->setText(QStringLiteral("(晴"));
    bar()->FindNextBtn->click();
    EXPECT_EQ(bar()->FindStatus->text(), QStringLiteral("正規表現が正しくありません。"));
}

// With widths folded, a JIS character and its Windows twin find each other, both ways: what a
// Linux input method types finds what Windows tools wrote. Without, neither finds the other.
TEST_F(FindBarTest, JisAndWindowsTwinsFindEachOtherWithWidthsFolded)
{
    const std::pair<QString, QString> twins[] = {
        {u"〜"_s, u"～"_s}, {u"−"_s, u"－"_s}, {u"‖"_s, u"∥"_s}, {u"¢"_s, u"￠"_s},
        {u"£"_s, u"￡"_s},  {u"¬"_s, u"￢"_s}, {u"—"_s, u"―"_s}, {u"¦"_s, u"￤"_s},
        {u"¥"_s, u"\\"_s},  {u"‾"_s, u"~"_s},
    };
    for (const auto& [jis, windows] : twins) {
        for (const auto& [typed, held] : {std::pair{jis, windows}, std::pair{windows, jis}}) {
            write(u"乾かない"_s + held + u"と"_s);
            bar()->FindEdit->setText(u"ない"_s + typed);
            for (const bool width : {false, true}) {
                bar()->WidthCheck->setChecked(width);
                memo()->moveCursor(QTextCursor::Start);
                bar()->FindNextBtn->click();
                EXPECT_EQ(selection(), (width ? std::pair{2, 5} : std::pair{0, 0}))
                    << typed.toStdString() << " in " << held.toStdString();
            }
        }
    }
}

TEST_F(FindBarTest, ReplaceAllFoldsAsAskedAndIsUndoneInOneStep)
{
    const QString text = QStringLiteral("ｶﾞｲﾄﾞと\r\nガイドとがいど");
    write(text);
    bar()->openReplace();
    bar()->FindEdit->setText(QStringLiteral("ガイド"));
    bar()->ReplaceEdit->setText(QStringLiteral("案内"));
    bar()->WidthCheck->setChecked(true);
    bar()->ReplaceAllBtn->click();
    EXPECT_EQ(editorText(memo()), QStringLiteral("案内と\r\n案内とがいど"));
    EXPECT_EQ(bar()->FindStatus->text(), QStringLiteral("2 件置換しました。"));

    memo()->undo();
    EXPECT_EQ(editorText(memo()), text);
    bar()->WidthCheck->setChecked(false); // the undone text is searched afresh
    bar()->KanaCheck->setChecked(true);
    bar()->ReplaceAllBtn->click();
    EXPECT_EQ(editorText(memo()), QStringLiteral("ｶﾞｲﾄﾞと\r\n案内と案内"));
    memo()->undo();
    EXPECT_EQ(editorText(memo()), text);
    EXPECT_FALSE(memo()->document()->isUndoAvailable());
}

// Groups reformat dates, a pattern of empty text (^, $) inserts at every line, and each
// replace-all is undone in one step.
TEST_F(FindBarTest, RegexReplaceAllExpandsGroupsAndEmptyMatches)
{
    const QString text = QStringLiteral("2026/12/7 と\r\n2027/1/8");
    const struct {
        const char16_t* find;
        const char16_t* replacement;
        const char16_t* result;
        const char16_t* status;
    } cases[] = {
        {u"(\\d+)/(\\d+)/(\\d+)", u"\\3.\\2.$1", u"7.12.2026 と\r\n8.1.2027",
         u"2 件置換しました。"},
        {u"^", u"> ", u"> 2026/12/7 と\r\n> 2027/1/8", u"2 件置換しました。"},
        {u"$", u"。", u"2026/12/7 と。\r\n2027/1/8。", u"2 件置換しました。"},
        {u"x*", u"-", u"-2-0-2-6-/-1-2-/-7- -と-\r\n-2-0-2-7-/-1-/-8-", u"21 件置換しました。"},
    };
    write(text);
    bar()->openReplace();
    bar()->RegexCheck->setChecked(true);
    for (const auto& c : cases) {
        bar()->FindEdit->setText(QString::fromUtf16(c.find));
        bar()->ReplaceEdit->setText(QString::fromUtf16(c.replacement));
        bar()->ReplaceAllBtn->click();
        EXPECT_EQ(editorText(memo()), QString::fromUtf16(c.result));
        EXPECT_EQ(bar()->FindStatus->text(), QString::fromUtf16(c.status));
        memo()->undo();
        EXPECT_EQ(editorText(memo()), text);
        EXPECT_FALSE(memo()->document()->isUndoAvailable());
    }
}

// F3 steps from one line start to the next and goes round; Replace inserts at the caret an
// empty match left.
TEST_F(FindBarTest, EmptyMatchesAreFoundOneByOneAndReplacedAtTheCaret)
{
    write(QStringLiteral("a\r\nb\r\nc")); // lines start at 0, 2 and 4
    bar()->RegexCheck->setChecked(true);
    bar()->FindEdit->setText(QStringLiteral("^"));
    const Step steps[] = {
        {Qt::NoModifier, {2, 2}, u""},
        {Qt::NoModifier, {4, 4}, u""},
        {Qt::NoModifier, {0, 0}, u"先頭に戻って検索しました。"},
        {Qt::ShiftModifier, {4, 4}, u"末尾に戻って検索しました。"},
        {Qt::ShiftModifier, {2, 2}, u""},
    };
    for (const Step& step : steps) {
        QTest::keyClick(memo(), Qt::Key_F3, step.modifiers);
        EXPECT_EQ(selection(), step.selected);
        EXPECT_EQ(bar()->FindStatus->text(), QString::fromUtf16(step.status));
    }
    bar()->ReplaceEdit->setText(QStringLiteral("> "));
    bar()->replaceOne();
    EXPECT_EQ(editorText(memo()), QStringLiteral("a\r\n> b\r\nc"));
    EXPECT_EQ(selection(), (std::pair{6, 6}));
}

TEST_F(FindBarTest, ReplaceChangesOnlyASelectedMatchThenSelectsTheNext)
{
    write(QStringLiteral("Cat cat CAT"));
    bar()->openReplace();
    bar()->FindEdit->setText(QStringLiteral("cat"));
    bar()->ReplaceEdit->setText(QStringLiteral("dog"));
    bar()->MatchCaseCheck->setChecked(true);
    bar()->ReplaceBtn->click(); // nothing selected yet: only finds
    EXPECT_EQ(editorText(memo()), QStringLiteral("Cat cat CAT"));
    EXPECT_EQ(selection(), (std::pair{4, 7}));
    QTest::keyClick(bar()->ReplaceEdit, Qt::Key_Return);
    EXPECT_EQ(editorText(memo()), QStringLiteral("Cat dog CAT"));
    EXPECT_EQ(bar()->FindStatus->text(), QStringLiteral("見つかりません。"));
}

TEST_F(FindBarTest, TheMatchIsScrolledIntoView)
{
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("行%1\r\n").arg(i);
    write(text + QStringLiteral("終わり"));
    bar()->FindEdit->setText(QStringLiteral("終わり"));
    bar()->findNext();
    EXPECT_EQ(memo()->textCursor().selectedText(), QStringLiteral("終わり"));
    EXPECT_TRUE(memo()->viewport()->rect().contains(memo()->cursorRect()));
}

TEST_F(FindBarTest, FindItemsFollowTheEditMenuAndKeepKeysApart)
{
    const QStringList expected = {QStringLiteral("EditDelete"),   QString(),
                                  QStringLiteral("EditFind"),     QStringLiteral("EditFindNext"),
                                  QStringLiteral("EditFindPrev"), QStringLiteral("EditReplace")};
    QStringList items;
    for (QAction* item : form.findChild<QMenu*>(QStringLiteral("MenuEdit"))->actions())
        items << (item->isSeparator() ? QString() : item->objectName());
    const qsizetype at = items.indexOf(QStringLiteral("EditDelete"));
    EXPECT_EQ(items.mid(at, expected.size()), expected);

    QStringList shortcuts;
    for (QAction* item : form.findChildren<QAction*>()) {
        if (!item->shortcut().isEmpty())
            shortcuts << item->shortcut().toString();
    }
    EXPECT_EQ(shortcuts.size(), QSet<QString>(shortcuts.begin(), shortcuts.end()).size())
        << shortcuts.join(u' ').toStdString();

    // Every access key seen at once on a tab, the open bar's included, is seen once.
    form.todayTab()->findBar()->openReplace();
    form.diaryTab()->AllFindBar()->openReplace();
    for (const int tab : {0, 1}) {
        form.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(tab);
        if (tab == 1) { // the date list beside the diary, as a writer may keep it, and a send
            form.findChild<QAction*>(QStringLiteral("ViewDateList"))->trigger();
            form.findChild<QWidget*>(QStringLiteral("PublishRow"))->show();
        }
        QStringList keys;
        for (QMenu* menu : form.menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
            keys << QKeySequence::mnemonic(menu->title()).toString();
        for (QAbstractButton* b : form.findChildren<QAbstractButton*>()) {
            if (b->isVisible())
                keys << QKeySequence::mnemonic(b->text()).toString();
        }
        for (QLabel* label : form.findChildren<QLabel*>()) {
            if (label->isVisible() && label->buddy())
                keys << QKeySequence::mnemonic(label->text()).toString();
        }
        keys.removeAll(QString());
        const auto* panel = form.findChild<QWidget*>(QStringLiteral("DateListPanel"));
        EXPECT_EQ(tab == 1, panel && panel->isVisible());
        EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size())
            << "tab " << tab << ": " << keys.join(u' ').toStdString();
    }
}

} // namespace
