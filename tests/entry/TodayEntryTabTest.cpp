#include "entry/TodayEntryTab.h"
#include "core/MainState.h"
#include "entry/ItemComboBox.h"
#include "entry/UpDown.h"
#include "platform/EditorText.h"
#include "support/FakePlatform.h"
#include "support/Typing.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

class TodayEntryTabTest : public testing::Test {
protected:
    MainState state;
    FakeClock clock;
    TodayEntryTab tab{state, clock};
};

TEST_F(TodayEntryTabTest, ClearDatesTheEntryTodayAndEmptiesIt)
{
    clock.date = QDate(1999, 3, 27);
    setEditorText(tab.TodayMemo, QStringLiteral("本文"));
    tab.WeatherBox->selectItem(2);
    state.TodayTitle = QStringLiteral("題");
    tab.PanelDiaryTitle->show();

    tab.ClearTodayEntry();

    EXPECT_EQ(tab.YearEdit->text(), QStringLiteral("1999"));
    EXPECT_EQ(tab.MonthEdit->text(), QStringLiteral("3"));
    EXPECT_EQ(tab.DateEdit->text(), QStringLiteral("27"));
    EXPECT_EQ(tab.DayBox->currentIndex(), 6);
    EXPECT_EQ(tab.DayBox->currentText(), QStringLiteral("(土)"));
    EXPECT_EQ(tab.WeatherBox->currentIndex(), -1);
    EXPECT_EQ(tab.WeatherBox->currentText(), QString());
    EXPECT_TRUE(state.TodayTitle.isEmpty());
    EXPECT_TRUE(tab.PanelDiaryTitle->isHidden());
    EXPECT_EQ(editorText(tab.TodayMemo), QString());
    EXPECT_FALSE(tab.TodayMemo->document()->isModified());
}

TEST_F(TodayEntryTabTest, LocaleDayNameShowsWhileTheComputedItemStaysSelected)
{
    clock.japanese = false;
    clock.date = QDate(2026, 12, 7);
    tab.SetTodayDate();
    EXPECT_EQ(tab.DayBox->currentText(), QStringLiteral("(Mon)"));
    EXPECT_EQ(tab.DayBox->currentIndex(), 1);
    // The next date change shows the item's own text again, even for the same weekday.
    tab.DateEdit->setText(QStringLiteral("14"));
    EXPECT_EQ(tab.DayBox->currentIndex(), 1);
    EXPECT_EQ(tab.DayBox->currentText(), QStringLiteral("(月)"));
}

TEST_F(TodayEntryTabTest, ClearOverTodaysDateStillSelectsTodaysWeekday)
{
    clock.date = QDate(2026, 12, 8); // a Tuesday
    clock.japanese = false;
    const std::function<void()> changes[] = {
        [&] { tab.DayBox->setCurrentIndex(5); }, // "(金)" chosen from the list
        [&] { typeText(tab.DayBox->lineEdit(), QStringLiteral("(祝)")); }};
    for (const auto& change : changes) {
        tab.ClearTodayEntry();
        tab.DayBox->lineEdit()->selectAll();
        change();
        tab.ClearTodayEntry(); // the date fields already hold today's date
        EXPECT_EQ(tab.DayBox->currentIndex(), 2);
        EXPECT_EQ(tab.DayBox->currentText(), QStringLiteral("(Tue)"));
    }
}

TEST_F(TodayEntryTabTest, EveryDateChangeRecomputesTheWeekday)
{
    tab.ClearTodayEntry();
    QLineEdit* fields[] = {tab.YearEdit, tab.MonthEdit, tab.DateEdit};
    const char* texts[][3] = {{"2000", "2", "29"}, {"2100", "2", "29"}, {"1999", "3", "27"}};
    const int items[] = {2, -1, 6};
    for (int i = 0; i < 3; ++i) {
        for (int f = 0; f < 3; ++f) {
            fields[f]->selectAll();
            QTest::keyClicks(fields[f], QLatin1String(texts[i][f]));
        }
        EXPECT_EQ(tab.DayBox->currentIndex(), items[i]) << texts[i][0];
    }
    tab.DateEdit->setText(QStringLiteral("abc"));
    EXPECT_EQ(tab.DayBox->currentIndex(), -1);
    EXPECT_EQ(tab.DayBox->currentText(), QString());
}

TEST_F(TodayEntryTabTest, TypedWeekdayStaysUntilTheNextDateChange)
{
    tab.ClearTodayEntry();
    tab.DayBox->lineEdit()->selectAll();
    typeText(tab.DayBox->lineEdit(), QStringLiteral("(祝)"));
    EXPECT_EQ(tab.DayBox->currentText(), QStringLiteral("(祝)"));
    EXPECT_EQ(tab.DayBox->currentIndex(), -1);
    tab.MonthEdit->setText(QStringLiteral("1"));
    tab.DateEdit->setText(QStringLiteral("1"));
    tab.YearEdit->setText(QStringLiteral("1990"));
    EXPECT_EQ(tab.DayBox->currentText(), QStringLiteral("(月)"));
}

struct SpinCase {
    const char* field;
    const char* start;
    bool up;
    int clicks;
    const char* expected;
};

TEST_F(TodayEntryTabTest, SpinnersKeepToTheirRangesAndWrapWhereTheyShould)
{
    const SpinCase cases[] = {
        {"Year", "9999", true, 3, "10000"}, {"Year", "1", false, 3, "0"},
        {"Year", "1999", true, 1, "2000"},  {"Month", "12", true, 1, "1"},
        {"Month", "1", false, 1, "12"},     {"Month", "11", true, 3, "2"},
        {"Date", "31", true, 1, "1"},       {"Date", "1", false, 1, "31"},
        {"Date", "45", false, 1, "30"}, // a number outside the range is brought into it first
    };
    for (const SpinCase& c : cases) {
        const QString field = QLatin1String(c.field);
        auto* edit = tab.findChild<QLineEdit*>(field + QStringLiteral("Edit"));
        auto* spinner = tab.findChild<UpDown*>(field + QStringLiteral("UpDown"));
        ASSERT_TRUE(edit && spinner) << c.field;
        edit->setText(QLatin1String(c.start));
        for (int i = 0; i < c.clicks; ++i)
            c.up ? spinner->stepUp() : spinner->stepDown();
        EXPECT_EQ(edit->text(), QLatin1String(c.expected)) << c.field << " from " << c.start;
    }
}

TEST_F(TodayEntryTabTest, SpinnerStepsFromItsLastPositionWhenTheFieldHoldsNoNumber)
{
    tab.MonthEdit->setText(QStringLiteral("5"));
    tab.MonthUpDown->stepUp();
    tab.MonthEdit->setText(QStringLiteral("abc"));
    tab.MonthUpDown->stepUp();
    EXPECT_EQ(tab.MonthEdit->text(), QStringLiteral("7"));
    // The arrow keys in the field step it too, and every step recomputes the weekday.
    tab.YearEdit->setText(QStringLiteral("1999"));
    tab.MonthEdit->setText(QStringLiteral("3"));
    tab.DateEdit->setText(QStringLiteral("26"));
    QTest::keyClick(tab.DateEdit, Qt::Key_Up);
    EXPECT_EQ(tab.DateEdit->text(), QStringLiteral("27"));
    EXPECT_EQ(tab.DayBox->currentIndex(), 6);
}

TEST_F(TodayEntryTabTest, DateFieldsAcceptAnyText)
{
    for (const char* text : {"abc", "5.0", "", "+5", "２０", "123456789012345678901234567890"}) {
        tab.YearEdit->setText(QString::fromUtf8(text));
        EXPECT_EQ(tab.YearEdit->text(), QString::fromUtf8(text));
        EXPECT_EQ(tab.DayBox->currentIndex(), -1) << text;
    }
}

TEST_F(TodayEntryTabTest, TypedWeatherHasNoItemEvenWhenItMatchesOne)
{
    tab.show();
    QLineEdit* line = tab.WeatherBox->lineEdit();
    tab.WeatherBox->selectItem(0);
    ASSERT_EQ(tab.WeatherBox->currentIndex(), 0);

    line->selectAll();
    typeText(line, QStringLiteral("雨"));
    EXPECT_EQ(tab.WeatherBox->currentIndex(), -1);
    EXPECT_EQ(tab.WeatherBox->currentText(), QStringLiteral("雨"));

    QTest::keyClick(line, Qt::Key_Return);
    emit line->editingFinished(); // as when the field loses the focus
    EXPECT_EQ(tab.WeatherBox->currentIndex(), -1);
    EXPECT_EQ(tab.WeatherBox->count(), 8);

    tab.WeatherBox->selectItem(4);
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(tab.WeatherBox->currentIndex(), -1);
    EXPECT_EQ(tab.WeatherBox->currentText(), QString());
}

TEST_F(TodayEntryTabTest, TypedWeatherIsNotCompletedInline)
{
    QLineEdit* line = tab.WeatherBox->lineEdit();
    typeText(line, QStringLiteral("晴"));
    EXPECT_EQ(line->text(), QStringLiteral("晴"));
    EXPECT_EQ(tab.WeatherBox->currentIndex(), -1);
}

TEST_F(TodayEntryTabTest, ChosenWeatherSelectsItsItem)
{
    tab.WeatherBox->setCurrentIndex(7); // what choosing from the list does
    EXPECT_EQ(tab.WeatherBox->currentText(), QStringLiteral("雨／雪"));
    EXPECT_EQ(tab.WeatherBox->currentIndex(), 7);
}

TEST(EditorText, KeepsNoBreakSpacesAndSpeaksCrLf)
{
    QPlainTextEdit editor;
    const QString text = QStringLiteral("a\u00a0b\r\n\r\nc");
    setEditorText(&editor, text);
    EXPECT_EQ(editorText(&editor), text);
    editor.selectAll();
    EXPECT_EQ(selectedEditorText(&editor), text);
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(1);
    editor.setTextCursor(cursor);
    replaceEditorSelection(&editor, QStringLiteral("<BR>\r\n"));
    EXPECT_EQ(editorText(&editor), QStringLiteral("a<BR>\r\n\u00a0b\r\n\r\nc"));
    EXPECT_EQ(editor.textCursor().position(), 6); // the editor counts a line end as one
}

} // namespace
