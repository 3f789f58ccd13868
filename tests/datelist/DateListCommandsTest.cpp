#include "app/DateListCommands.h"
#include "app/TMainForm.h"
#include "datelist/DateListPanel.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "support/FakePlatform.h"
#include "support/ModalCloser.h"
#include "support/TodayControls.h"
#include "text/Cp932.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace Qt::StringLiterals;

// A diary with an entry for each day, in the order given, as the program writes them.
QByteArray diaryOf(const QList<int>& days)
{
    QString text = u"<html><body>\r\n"_s;
    for (int day : days)
        text +=
            u"<font color=\"#ff0000\"><b>1999年3月%1日(土)</b></font>\r\n"
            u"<DIV STYLE=\"margin-left:20pt;\">\r\n本文、1999年3月1日のこと\r\n</DIV>\r\n"_s.arg(
                day);
    return text::encodeCp932(text + u"</body></html>\r\n"_s).bytes;
}

class DateListCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TMainForm>(fake.platform());
        form->state().FirstPageChangeFlag = FirstPageChange::Never;
        form->show();
    }
    QAction* action(const char* name) { return form->findChild<QAction*>(QLatin1String(name)); }
    QPlainTextEdit* allMemo() { return form->diaryTab()->AllMemo; }
    void openDiary(const QList<int>& days)
    {
        form->findChild<QTabWidget*>(u"PageControl1"_s)->setCurrentIndex(1);
        fake.files.files.insert(path, diaryOf(days));
        fake.fileDialogs.answers.push_back(path);
        action("FileAllOpen")->trigger();
        QApplication::processEvents();
    }
    QString cursorLine() { return allMemo()->textCursor().block().text(); }
    void setTodaysDay(int day)
    {
        const TodayControls today(form->todayTab());
        today.YearEdit->setText(u"1999"_s);
        today.MonthEdit->setText(u"3"_s);
        today.DateEdit->setText(QString::number(day));
    }

    const QString path = u"/home/writer/diary.htm"_s;
    FakePlatform fake;
    std::unique_ptr<TMainForm> form;
};

TEST_F(DateListCommandsTest, ANewWriterHasNoPanelAndTheSwitchBuildsIt)
{
    openDiary({27, 25});
    EXPECT_FALSE(action("ViewDateList")->isChecked());
    EXPECT_EQ(form->findChild<DateListPanel*>(), nullptr);
    action("ViewDateList")->trigger();
    QApplication::processEvents(); // the entries are read after the switch
    auto* panel = form->findChild<DateListPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    const QModelIndex year = panel->DateListTree->model()->index(0, 0);
    EXPECT_EQ(year.data().toString(), u"1999年 (2)"_s);
}

TEST_F(DateListCommandsTest, TheSwitchIsRememberedAndThePanelWaitsForTheDiaryTab)
{
    action("ViewDateList")->trigger();
    ASSERT_TRUE(form->close());
    EXPECT_EQ(fake.keyStore.values.value(u"DateList"_s).text, u"1"_s);
    fake.keyStore.present = true;
    SetUp();
    EXPECT_TRUE(action("ViewDateList")->isChecked());
    EXPECT_EQ(form->findChild<DateListPanel*>(), nullptr); // not built at start
    openDiary({27});
    EXPECT_NE(form->findChild<DateListPanel*>(), nullptr);
}

TEST_F(DateListCommandsTest, ChoosingADayRowPutsItsEntryAtTheTopWithTheCursorAtItsStart)
{
    openDiary({27, 25, 21});
    action("ViewDateList")->trigger();
    QApplication::processEvents(); // the entries are read after the switch
    QTreeView* tree = form->findChild<DateListPanel*>()->DateListTree;
    const QModelIndex month = tree->model()->index(0, 0, tree->model()->index(0, 0));
    const QModelIndex day = tree->model()->index(2, 0, month);
    ASSERT_EQ(day.data().toString(), u"21日(日)"_s);
    tree->setCurrentIndex(day);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(cursorLine().contains(u"1999年3月21日"_s));
    EXPECT_EQ(allMemo()->textCursor().positionInBlock(), 0);
    EXPECT_EQ(allMemo()->verticalScrollBar()->value(),
              std::min(allMemo()->textCursor().block().firstLineNumber(),
                       allMemo()->verticalScrollBar()->maximum()));
}

TEST_F(DateListCommandsTest, AltDownAndAltUpStepFromEntryToEntry)
{
    openDiary({27, 25, 21});
    QTest::keyClick(allMemo(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(cursorLine().contains(u"3月27日"_s));
    QTest::keyClick(allMemo(), Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(allMemo(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(cursorLine().contains(u"3月21日"_s));
    QTest::keyClick(allMemo(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_TRUE(cursorLine().contains(u"3月25日"_s));
}

TEST_F(DateListCommandsTest, TodaysPlaceIsFoundInBothOrdersAndAtEitherEnd)
{
    const QList<int> newest = {27, 25, 21};
    const QList<int> oldest = {21, 25, 27};
    const struct {
        const char* name;
        const QList<int>& days;
        int today;
        const char16_t* line; // the line the cursor is put at the start of
    } cases[] = {
        {"newest first, between", newest, 26, u"3月25日"},
        {"newest first, at the top", newest, 28, u"3月27日"},
        {"newest first, at the end", newest, 20, u"</body></html>"},
        {"oldest first, between", oldest, 26, u"3月27日"},
        {"oldest first, at the top", oldest, 20, u"3月21日"},
        {"oldest first, at the end", oldest, 28, u"</body></html>"},
    };
    for (const auto& c : cases) {
        openDiary(c.days);
        setTodaysDay(c.today);
        form->diaryTab()->EntryPlaceBtn->click();
        EXPECT_TRUE(cursorLine().contains(QString::fromUtf16(c.line))) << c.name;
        EXPECT_EQ(allMemo()->textCursor().positionInBlock(), 0) << c.name;
    }
}

TEST_F(DateListCommandsTest, GoingToAMissingDateOffersTheNearest)
{
    openDiary({27, 25, 21});
    fake.messages.answer({MsgAnswer::Yes});
    ModalCloser closer([](QDialog* dialog) {
        if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
            input->setTextValue(u"1999-03-22"_s);
            input->accept();
        }
    });
    action("ViewGoToDate")->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(
        fake.messages.shown[0].text,
        u"1999年3月22日(月)の日記はありません。\nいちばん近い 1999年3月21日(日) の日記へ移動しますか？"_s);
    EXPECT_TRUE(cursorLine().contains(u"3月21日"_s));
}

TEST_F(DateListCommandsTest, TheListFollowsAnInsertionAndItsUndo)
{
    openDiary({27, 21});
    action("ViewDateList")->trigger();
    QApplication::processEvents(); // the entries are read after the switch
    QTreeView* tree = form->findChild<DateListPanel*>()->DateListTree;
    setTodaysDay(25);
    form->diaryTab()->EntryPlaceBtn->click();
    fake.messages.answer({MsgAnswer::Yes}); // the insertion's question
    form->diaryTab()->InsertDiaryBtn->click();
    QApplication::processEvents();
    const QModelIndex year = tree->model()->index(0, 0);
    EXPECT_EQ(year.data().toString(), u"1999年 (3)"_s);
    const QModelIndex month = tree->model()->index(0, 0, year);
    EXPECT_EQ(tree->model()->index(1, 0, month).data().toString(), u"25日(木)"_s);
    action("EditUndo")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(tree->model()->index(0, 0).data().toString(), u"1999年 (2)"_s);
}

} // namespace
