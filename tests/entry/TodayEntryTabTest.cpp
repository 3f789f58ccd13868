#include "entry/TodayEntryTab.h"
#include "core/MainState.h"
#include "platform/EditorText.h"
#include "platform/ItemComboBox.h"
#include "platform/UpDown.h"
#include "support/FakePlatform.h"
#include "support/TodayControls.h"
#include "support/Typing.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

class TodayEntryTabTest : public testing::Test {
protected:
    MainState state;
    FakeClock clock;
    TodayEntryTab tab{state, clock};
    const TodayControls ui{&tab};
};

TEST_F(TodayEntryTabTest, ClearDatesTheEntryTodayAndEmptiesIt)
{
    clock.date = QDate(1999, 3, 27);
    setEditorText(ui.TodayMemo, QStringLiteral("本文"));
    ui.WeatherBox->selectItem(2);
    tab.setTitle(QStringLiteral("題"));

    tab.ClearTodayEntry();

    EXPECT_EQ(ui.YearEdit->text(), QStringLiteral("1999"));
    EXPECT_EQ(ui.MonthEdit->text(), QStringLiteral("3"));
    EXPECT_EQ(ui.DateEdit->text(), QStringLiteral("27"));
    EXPECT_EQ(ui.DayBox->currentIndex(), 6);
    EXPECT_EQ(ui.DayBox->currentText(), QStringLiteral("(土)"));
    EXPECT_EQ(ui.WeatherBox->currentIndex(), -1);
    EXPECT_EQ(ui.WeatherBox->currentText(), QString());
    EXPECT_TRUE(state.TodayTitle.isEmpty());
    EXPECT_TRUE(ui.PanelDiaryTitle->isHidden());
    EXPECT_EQ(editorText(ui.TodayMemo), QString());
    EXPECT_FALSE(ui.TodayMemo->document()->isModified());
}

TEST_F(TodayEntryTabTest, LocaleDayNameShowsWhileTheComputedItemStaysSelected)
{
    clock.japanese = false;
    clock.date = QDate(2026, 12, 7);
    tab.SetTodayDate();
    EXPECT_EQ(ui.DayBox->currentText(), QStringLiteral("(Mon)"));
    EXPECT_EQ(ui.DayBox->currentIndex(), 1);
    // The next date change shows the item's own text again, even for the same weekday.
    ui.DateEdit->setText(QStringLiteral("14"));
    EXPECT_EQ(ui.DayBox->currentIndex(), 1);
    EXPECT_EQ(ui.DayBox->currentText(), QStringLiteral("(月)"));
}

TEST_F(TodayEntryTabTest, ClearOverTodaysDateStillSelectsTodaysWeekday)
{
    clock.date = QDate(2026, 12, 8); // a Tuesday
    clock.japanese = false;
    const std::function<void()> changes[] = {
        [&] { ui.DayBox->setCurrentIndex(5); }, // "(金)" chosen from the list
        [&] { typeText(ui.DayBox->lineEdit(), QStringLiteral("(祝)")); }};
    for (const auto& change : changes) {
        tab.ClearTodayEntry();
        ui.DayBox->lineEdit()->selectAll();
        change();
        tab.ClearTodayEntry(); // the date fields already hold today's date
        EXPECT_EQ(ui.DayBox->currentIndex(), 2);
        EXPECT_EQ(ui.DayBox->currentText(), QStringLiteral("(Tue)"));
    }
}

TEST_F(TodayEntryTabTest, EveryDateChangeRecomputesTheWeekday)
{
    tab.ClearTodayEntry();
    QLineEdit* fields[] = {ui.YearEdit, ui.MonthEdit, ui.DateEdit};
    const char* texts[][3] = {{"2000", "2", "29"}, {"2100", "2", "29"}, {"1999", "3", "27"}};
    const int items[] = {2, -1, 6};
    for (int i = 0; i < 3; ++i) {
        for (int f = 0; f < 3; ++f) {
            fields[f]->selectAll();
            QTest::keyClicks(fields[f], QLatin1String(texts[i][f]));
        }
        EXPECT_EQ(ui.DayBox->currentIndex(), items[i]) << texts[i][0];
    }
    ui.DateEdit->setText(QStringLiteral("abc"));
    EXPECT_EQ(ui.DayBox->currentIndex(), -1);
    EXPECT_EQ(ui.DayBox->currentText(), QString());
}

TEST_F(TodayEntryTabTest, TypedWeekdayStaysUntilTheNextDateChange)
{
    tab.ClearTodayEntry();
    ui.DayBox->lineEdit()->selectAll();
    typeText(ui.DayBox->lineEdit(), QStringLiteral("(祝)"));
    EXPECT_EQ(ui.DayBox->currentText(), QStringLiteral("(祝)"));
    EXPECT_EQ(ui.DayBox->currentIndex(), -1);
    ui.MonthEdit->setText(QStringLiteral("1"));
    ui.DateEdit->setText(QStringLiteral("1"));
    ui.YearEdit->setText(QStringLiteral("1990"));
    EXPECT_EQ(ui.DayBox->currentText(), QStringLiteral("(月)"));
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
    ui.MonthEdit->setText(QStringLiteral("5"));
    ui.MonthUpDown->stepUp();
    ui.MonthEdit->setText(QStringLiteral("abc"));
    ui.MonthUpDown->stepUp();
    EXPECT_EQ(ui.MonthEdit->text(), QStringLiteral("7"));
    // The arrow keys in the field step it too, and every step recomputes the weekday.
    ui.YearEdit->setText(QStringLiteral("1999"));
    ui.MonthEdit->setText(QStringLiteral("3"));
    ui.DateEdit->setText(QStringLiteral("26"));
    QTest::keyClick(ui.DateEdit, Qt::Key_Up);
    EXPECT_EQ(ui.DateEdit->text(), QStringLiteral("27"));
    EXPECT_EQ(ui.DayBox->currentIndex(), 6);
}

TEST_F(TodayEntryTabTest, DateFieldsAcceptAnyText)
{
    for (const char* text : {"abc", "5.0", "", "+5", "２０", "123456789012345678901234567890"}) {
        ui.YearEdit->setText(QString::fromUtf8(text));
        EXPECT_EQ(ui.YearEdit->text(), QString::fromUtf8(text));
        EXPECT_EQ(ui.DayBox->currentIndex(), -1) << text;
    }
}

TEST_F(TodayEntryTabTest, TypedWeatherHasNoItemEvenWhenItMatchesOne)
{
    tab.show();
    QLineEdit* line = ui.WeatherBox->lineEdit();
    ui.WeatherBox->selectItem(0);
    ASSERT_EQ(ui.WeatherBox->currentIndex(), 0);

    line->selectAll();
    typeText(line, QStringLiteral("雨"));
    EXPECT_EQ(ui.WeatherBox->currentIndex(), -1);
    EXPECT_EQ(ui.WeatherBox->currentText(), QStringLiteral("雨"));

    QTest::keyClick(line, Qt::Key_Return);
    emit line->editingFinished(); // as when the field loses the focus
    EXPECT_EQ(ui.WeatherBox->currentIndex(), -1);
    EXPECT_EQ(ui.WeatherBox->count(), 8);

    ui.WeatherBox->selectItem(4);
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(ui.WeatherBox->currentIndex(), -1);
    EXPECT_EQ(ui.WeatherBox->currentText(), QString());
}

TEST_F(TodayEntryTabTest, TypedWeatherIsNotCompletedInline)
{
    QLineEdit* line = ui.WeatherBox->lineEdit();
    typeText(line, QStringLiteral("晴"));
    EXPECT_EQ(line->text(), QStringLiteral("晴"));
    EXPECT_EQ(ui.WeatherBox->currentIndex(), -1);
}

TEST_F(TodayEntryTabTest, ChosenWeatherSelectsItsItem)
{
    ui.WeatherBox->setCurrentIndex(7); // what choosing from the list does
    EXPECT_EQ(ui.WeatherBox->currentText(), QStringLiteral("雨／雪"));
    EXPECT_EQ(ui.WeatherBox->currentIndex(), 7);
}

// The recovery and the exports rely on it: an entry shown by restore comes back from entry()
// exactly, whatever the boxes hold, whether the title bar shows and whatever the body holds.
TEST_F(TodayEntryTabTest, RestoredEntryComesBackFieldForField)
{
    TodayEntry leapDay;
    leapDay.year = QStringLiteral("2024");
    leapDay.month = QStringLiteral("2");
    leapDay.day = QStringLiteral("29");
    leapDay.weekdayText = QStringLiteral("(木)");
    leapDay.weekdayItem = 4;
    leapDay.weatherText = QStringLiteral("晴れ");
    leapDay.weatherItem = 0;
    leapDay.title = QStringLiteral("閏日");
    leapDay.titleCaption = QStringLiteral("タイトル： 閏日");
    leapDay.titleShown = true;
    leapDay.body = QStringLiteral("一行目\r\n二行目");
    leapDay.bodyModified = true;
    struct Case {
        const char* name;
        std::function<void(TodayEntry&)> change;
    };
    const Case cases[] = {
        {"AsTheWriterLeftIt", [](TodayEntry&) {}},
        {"WeekdayTypedOverTheComputedOne",
         [](TodayEntry& e) { e.weekdayText = QStringLiteral("(祝)"), e.weekdayItem = -1; }},
        {"LocaleNameKeepingItsItem",
         [](TodayEntry& e) { e.weekdayText = QStringLiteral("(Thu)"); }},
        {"DateThatDoesNotExist",
         [](TodayEntry& e) {
             e.year = QStringLiteral("2100"), e.weekdayText.clear(), e.weekdayItem = -1;
         }},
        {"TypedWeather",
         [](TodayEntry& e) { e.weatherText = QStringLiteral("霧のち晴れ"), e.weatherItem = -1; }},
        {"WeatherTypedLikeAnItem",
         [](TodayEntry& e) { e.weatherText = QStringLiteral("雨"), e.weatherItem = -1; }},
        {"NoWeather", [](TodayEntry& e) { e.weatherText.clear(), e.weatherItem = -1; }},
        {"HiddenBarKeepsItsOldCaption",
         [](TodayEntry& e) { e.title.clear(), e.titleShown = false; }},
        {"BodyOfCharactersAnEditorMightSpoil",
         [](TodayEntry& e) { e.body = QStringLiteral("\uF7EE\u00A0😀\r\n\r\n終わり\r\n"); }},
        {"BodyNotModified", [](TodayEntry& e) { e.bodyModified = false; }},
        {"EmptyBody", [](TodayEntry& e) { e.body.clear(), e.bodyModified = false; }},
    };
    for (const Case& c : cases) {
        TodayEntry entry = leapDay;
        c.change(entry);
        tab.restore(entry);
        EXPECT_EQ(tab.entry(), entry) << c.name;
        TodayEntry withoutBody = entry;
        withoutBody.body.clear();
        EXPECT_EQ(tab.entryWithoutBody(), withoutBody) << c.name;
        EXPECT_EQ(ui.PanelDiaryTitle->isHidden(), !entry.titleShown) << c.name;
        EXPECT_EQ(state.TodayTitle, entry.title) << c.name;
    }
}

// The recovery keeper and the preview follow the entry through this one signal.
TEST_F(TodayEntryTabTest, EveryChangeOfTheEntryIsSignalled)
{
    tab.show();
    tab.ClearTodayEntry();
    struct Case {
        const char* name;
        std::function<void()> change;
        bool signalled;
    };
    const Case cases[] = {
        {"YearTyped", [&] { QTest::keyClicks(ui.YearEdit, QStringLiteral("1")); }, true},
        {"MonthStepped", [&] { ui.MonthUpDown->stepUp(); }, true},
        {"WeekdayTyped", [&] { typeText(ui.DayBox->lineEdit(), QStringLiteral("(祝)")); }, true},
        {"WeatherChosen", [&] { ui.WeatherBox->setCurrentIndex(3); }, true},
        {"WeatherTyped", [&] { typeText(ui.WeatherBox->lineEdit(), QStringLiteral("霧")); }, true},
        {"TitleSet", [&] { tab.setTitle(QStringLiteral("題")); }, true},
        {"TitleRemoved", [&] { tab.setTitle(QString()); }, true},
        {"BodyTyped", [&] { typeText(ui.TodayMemo, QStringLiteral("本文")); }, true},
        {"BodyNoLongerModified", [&] { tab.bodyDocument()->setModified(false); }, true},
        {"BodySelected", [&] { ui.TodayMemo->selectAll(); }, false},
        {"WorkAreaWritten", [&] { tab.setWorkText(QStringLiteral("作業")); }, false},
    };
    for (const Case& c : cases) {
        QSignalSpy changed(&tab, &TodayEntryTab::entryChanged);
        c.change();
        EXPECT_EQ(!changed.isEmpty(), c.signalled) << c.name;
    }
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
