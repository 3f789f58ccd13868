#include "app/DateListCommands.h"
#include "app/TMainForm.h"
#include "datelist/DateListPanel.h"
#include "document/DiaryFileTab.h"
#include "entry/THtmlForm.h"
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
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace Qt::StringLiterals;

// A diary with an entry for each date, in the order given, as the program writes them.
QByteArray diaryOf(const QList<QDate>& dates)
{
    QString text = u"<html><body>\r\n"_s;
    for (QDate date : dates)
        text += u"<font color=\"#ff0000\"><b>%1年%2月%3日(土)</b></font>\r\n"
                u"<DIV STYLE=\"margin-left:20pt;\">\r\n本文、%3日のこと\r\n</DIV>\r\n"_s
                    .arg(date.year())
                    .arg(date.month())
                    .arg(date.day());
    return text::encodeCp932(text + u"</body></html>\r\n"_s).bytes;
}

QList<QDate> marchOf1999(const QList<int>& days)
{
    QList<QDate> dates;
    for (int day : days)
        dates.append(QDate(1999, 3, day));
    return dates;
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
    void openDiary(const QList<int>& days) { openDiaryOf(marchOf1999(days)); }
    void openDiaryOf(const QList<QDate>& dates)
    {
        form->findChild<QTabWidget*>(u"PageControl1"_s)->setCurrentIndex(1);
        fake.files.files.insert(path, diaryOf(dates));
        fake.fileDialogs.answers.push_back(path);
        action("FileAllOpen")->trigger();
        QApplication::processEvents();
    }
    QString cursorLine() { return allMemo()->textCursor().block().text(); }
    void setTodaysDay(int day) { setTodaysDate(QDate(1999, 3, day)); }
    void setTodaysDate(QDate date)
    {
        const TodayControls today(form->todayTab());
        today.YearEdit->setText(QString::number(date.year()));
        today.MonthEdit->setText(QString::number(date.month()));
        today.DateEdit->setText(QString::number(date.day()));
    }
    DateListPanel* showPanel()
    {
        action("ViewDateList")->trigger();
        QApplication::processEvents(); // the entries are read after the switch
        return form->findChild<DateListPanel*>();
    }
    // The rows under `parent` as the tree shows them.
    QStringList rowsOf(const QModelIndex& parent = {})
    {
        const QAbstractItemModel* model = form->findChild<DateListPanel*>()->DateListTree->model();
        QStringList rows;
        for (int row = 0; row < model->rowCount(parent); ++row)
            rows.append(model->index(row, 0, parent).data().toString());
        return rows;
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
    EXPECT_EQ(year.data().toString(), u"1999年（2）"_s);
}

TEST_F(DateListCommandsTest, TheSwitchIsRememberedAndThePanelWaitsForTheDiaryTab)
{
    action("ViewDateList")->trigger();
    ASSERT_TRUE(form->close());
    EXPECT_EQ(fake.keyStore.values.value(u"DateList"_s).text, u"1"_s);
    EXPECT_EQ(fake.keyStore.values.value(u"DateListWidth"_s).text, u"240"_s);
    fake.keyStore.values[u"DateListWidth"_s].text = u"333"_s;
    fake.keyStore.present = true;
    SetUp();
    EXPECT_TRUE(action("ViewDateList")->isChecked());
    EXPECT_EQ(form->findChild<DateListPanel*>(), nullptr); // not built at start
    openDiary({27});
    auto* panel = form->findChild<DateListPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->width(), 333);
}

// Alt+Shift+Left moves the divider towards the editor, Alt+Shift+Right back, each within the
// panel's least width and the editor's; the width the keys leave is the one kept.
TEST_F(DateListCommandsTest, TheDividerMovesByKeyboardWithinLimitsAndItsWidthIsKept)
{
    form->resize(1000, 700);
    openDiary({27});
    QTest::keyClick(allMemo(), Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    DateListPanel* panel = form->findChild<DateListPanel*>();
    ASSERT_NE(panel, nullptr); // the first press shows the panel
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->width(), 240);
    const int editorWidth = allMemo()->width();
    QTest::keyClick(allMemo(), Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(panel->width(), 280);
    EXPECT_EQ(allMemo()->width(), editorWidth - 40);
    for (int i = 0; i < 100; ++i)
        QTest::keyClick(allMemo(), Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(panel->width(), panel->minimumSizeHint().width());
    for (int i = 0; i < 100; ++i)
        QTest::keyClick(allMemo(), Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(allMemo()->width(), 200);
    QTest::keyClick(allMemo(), Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier);
    const int kept = panel->width();
    ASSERT_TRUE(form->close());
    EXPECT_EQ(fake.keyStore.values.value(u"DateListWidth"_s).text, QString::number(kept));
    EXPECT_FALSE(
        form->findChild<QSplitter*>(u"EditorSplitter"_s)->handle(1)->accessibleName().isEmpty());
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
    EXPECT_EQ(year.data().toString(), u"1999年（3）"_s);
    const QModelIndex month = tree->model()->index(0, 0, year);
    EXPECT_EQ(tree->model()->index(1, 0, month).data().toString(), u"25日(木)"_s);
    action("EditUndo")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(tree->model()->index(0, 0).data().toString(), u"1999年（2）"_s);
}

TEST_F(DateListCommandsTest, TheTreeGoesByDateWithCountsAndMarksAnEntryOutOfOrder)
{
    openDiaryOf(QList<QDate>{
        {2001, 1, 5}, {2000, 12, 31}, {2000, 6, 1}, {1999, 3, 27}, {2000, 5, 2}, {1999, 3, 21}});
    showPanel();
    EXPECT_EQ(rowsOf(), (QStringList{u"2001年（1）"_s, u"2000年（3）"_s, u"1999年（2）"_s}));
    const QAbstractItemModel* model = form->findChild<DateListPanel*>()->DateListTree->model();
    const QModelIndex year2000 = model->index(1, 0);
    EXPECT_EQ(rowsOf(year2000), (QStringList{u"12月（1）"_s, u"6月（1）"_s, u"5月（1）"_s}));
    EXPECT_EQ(rowsOf(model->index(1, 0, year2000)), QStringList{u"1日(木)"_s});
    EXPECT_EQ(rowsOf(model->index(2, 0, year2000)), QStringList{u"※2日(火)"_s});
    EXPECT_EQ(rowsOf(model->index(0, 0, model->index(2, 0))),
              (QStringList{u"27日(土)"_s, u"21日(日)"_s}));
}

// The title's marks tell a title line: the tree follows the HTML settings when they change.
TEST_F(DateListCommandsTest, TheTreeFollowsTheHtmlSettingsWhenTheyChange)
{
    form->findChild<QTabWidget*>(u"PageControl1"_s)->setCurrentIndex(1);
    fake.files.files.insert(path, "<p>1999/3/27</p>\r\n{cherry}\r\n");
    fake.fileDialogs.answers.push_back(path);
    action("FileAllOpen")->trigger();
    showPanel();
    const QAbstractItemModel* model = form->findChild<DateListPanel*>()->DateListTree->model();
    auto day = [&] { return rowsOf(model->index(0, 0, model->index(0, 0))); };
    ASSERT_EQ(day(), QStringList{u"27日(土)"_s});
    const ModalCloser closer([](QDialog* window) {
        if (auto* html = qobject_cast<THtmlForm*>(window)) {
            html->tsEdit->setText(u"{"_s);
            html->teEdit->setText(u"}"_s);
            html->BitBtn1->click();
        }
    });
    form->findChild<QPushButton*>(u"HtmlSetBtn"_s)->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return day() == QStringList{u"27日(土) cherry"_s}; }));
}

TEST_F(DateListCommandsTest, TheTreeAndTheCalendarFollowTheCursorWithinOneTurn)
{
    openDiary({27, 25, 21});
    DateListPanel* panel = showPanel();
    QTextCursor cursor = allMemo()->textCursor();
    cursor.setPosition(int(allMemo()->toPlainText().indexOf(u"本文、25日"_s)));
    allMemo()->setTextCursor(cursor);
    QApplication::processEvents(QEventLoop::AllEvents);
    EXPECT_EQ(panel->DateListTree->currentIndex().data().toString(), u"25日(木)"_s);
    EXPECT_EQ(panel->DateListCalendar->selectedDate(), QDate(1999, 3, 25));
    QTest::keyClick(allMemo(), Qt::Key_Down, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_EQ(panel->DateListCalendar->selectedDate(), QDate(1999, 3, 21));
    // Arrow keys in the tree move the calendar, and a day picked there the tree, not the cursor.
    panel->DateListTree->setFocus();
    QTest::keyClick(panel->DateListTree, Qt::Key_Up);
    EXPECT_EQ(panel->DateListCalendar->selectedDate(), QDate(1999, 3, 25));
    panel->DateListCalendar->setSelectedDate(QDate(1999, 3, 27));
    EXPECT_EQ(panel->DateListTree->currentIndex().data().toString(), u"27日(土)"_s);
    EXPECT_TRUE(cursorLine().contains(u"3月21日"_s));
}

TEST_F(DateListCommandsTest, PastYearsListTheSameDayInEarlierYearsAndEnterGoesToOne)
{
    openDiaryOf(QList<QDate>{{2001, 3, 27}, {2000, 3, 28}, {2000, 3, 27}, {1999, 3, 27}});
    setTodaysDate(QDate(2001, 3, 27));
    QStringList rows;
    ModalCloser closer([&](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>(u"PastYearsList"_s);
        for (int row = 0; list && row < list->count(); ++row)
            rows.append(list->item(row)->text());
        if (list) {
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Return);
        }
    });
    action("ViewPastYears")->trigger();
    EXPECT_EQ(rows, (QStringList{u"2000年3月27日(月)　本文、27日のこと"_s,
                                 u"1999年3月27日(土)　本文、27日のこと"_s}));
    EXPECT_TRUE(cursorLine().contains(u"1999年3月27日"_s));
}

TEST_F(DateListCommandsTest, ANamedHeadingIsKeptForTheDiaryAndIsTheOnlyOneCounted)
{
    QByteArray text = diaryOf(marchOf1999({27, 25}));
    text.replace("</body>",
                 text::encodeCp932(u"<h4>1999.3.20</h4>\r\n<p>本文</p>\r\n"_s).bytes + "</body>");
    form->findChild<QTabWidget*>(u"PageControl1"_s)->setCurrentIndex(1);
    fake.files.files.insert(path, text);
    fake.fileDialogs.answers.push_back(path);
    action("FileAllOpen")->trigger();
    DateListPanel* panel = showPanel();
    EXPECT_EQ(rowsOf(), QStringList{u"1999年（3）"_s});
    ModalCloser closer([](QDialog* dialog) {
        if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
            input->setTextValue(u"<h4>2001.1.1</h4>"_s);
            input->accept();
        }
    });
    action("ViewEntryHeading")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(rowsOf(), QStringList{u"1999年（1）"_s});
    QString stored;
    for (auto it = fake.keyStore.values.cbegin(); it != fake.keyStore.values.cend(); ++it) {
        if (it.key().startsWith(u"DateHeading_"))
            stored = it.value().text;
    }
    EXPECT_TRUE(stored.contains(u"<h4>2001.1.1</h4>"_s)) << stored.toStdString();
    ASSERT_NE(panel, nullptr);
}

} // namespace
