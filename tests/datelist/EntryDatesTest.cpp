#include "datelist/EntryDates.h"

#include <gtest/gtest.h>

namespace {

using namespace datelist;

const EntryMarks defaults = {QStringLiteral("<font color=\"#ff0000\"><b>"),
                             QStringLiteral("<BR><STRONG><font color=\"#008000\">"),
                             QStringLiteral("</font></STRONG>")};

std::optional<QDate> on(int y, int m, int d)
{
    return QDate(y, m, d);
}

TEST(EntryDatesTest, ALineStartsAnEntryByTheProgramsFragmentOrByADateAtItsStart)
{
    const struct {
        const char* name;
        const char16_t* line;
        std::optional<QDate> date;
    } cases[] = {
        {"kanji style, Japanese weekday",
         u"<font color=\"#ff0000\"><b>1999年3月27日(土)</b></font>", on(1999, 3, 27)},
        {"slash style, English weekday", u"<font color=\"#ff0000\"><b>1999/3/27.Sat.</b></font>",
         on(1999, 3, 27)},
        {"slash style, no weekday, weather", u"<font color=\"#ff0000\"><b>2000/12/1.</b></font> 雨",
         on(2000, 12, 1)},
        {"the fragment inside a line", u"今日は<font color=\"#ff0000\"><b>1999年3月27日</b></font>",
         on(1999, 3, 27)},
        {"other settings, after tags", u"<h3><i>2026年12月7日</i></h3>", on(2026, 12, 7)},
        {"full-width digits and brackets", u"<p>２０２６年１２月７日（月）", on(2026, 12, 7)},
        {"by hand, year-month-day", u"2026-12-07 散歩", on(2026, 12, 7)},
        {"year-month-day with weekday", u"  <b>2026-12-07(月)</b>", on(2026, 12, 7)},
        {"slash without its dot", u"2026/12/7", on(2026, 12, 7)},
        {"after a comment closed on the line", u"<!-- old --><b>2026年12月7日</b>",
         on(2026, 12, 7)},
        {"a sentence starting with a date", u"2026年12月7日に図書館へ行った。", std::nullopt},
        {"a date inside the body", u"昨日(2026年12月6日)は雨。", std::nullopt},
        {"a date in a comment", u"<!-- 2026年12月7日 -->", std::nullopt},
        {"the fragment in a comment", u"<!--<font color=\"#ff0000\"><b>1999年3月27日</b></font>-->",
         std::nullopt},
        {"no such day", u"<b>2026年2月30日</b>", std::nullopt},
        {"two-digit year", u"<b>99年3月27日</b>", std::nullopt},
        {"one-digit month in year-month-day", u"2026-1-07", std::nullopt},
        {"a tag going on past the line", u"<font color=\"#ff0000\" 1999年3月27日", std::nullopt},
        {"five digits", u"19999年3月27日", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entryDateOfLine(QString::fromUtf16(c.line), defaults), c.date) << c.name;
}

TEST(EntryDatesTest, TheTitleIsTheTextBetweenTheTitleFragments)
{
    const EntryMarks noTitles = {defaults.dateStart, QString(), QString()};
    const struct {
        const char* name;
        const char16_t* line;
        EntryMarks marks;
        const char16_t* title;
    } cases[] = {
        {"plain", u"<BR><STRONG><font color=\"#008000\">花見</font></STRONG>", defaults, u"花見"},
        {"tags inside dropped",
         u" <BR><STRONG><font color=\"#008000\"><i>花</i>見 </font></STRONG>", defaults, u"花見"},
        {"a body line", u"<DIV STYLE=\"margin-left:20pt;\">", defaults, u""},
        {"no title fragment set", u"<BR><STRONG>花見</STRONG>", noTitles, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entryTitleOfLine(QString::fromUtf16(c.line), c.marks),
                  QString::fromUtf16(c.title))
            << c.name;
}

TEST(EntryDatesTest, ATypedDateIsReadInEveryStyleAndNothingElse)
{
    for (const char16_t* typed : {u"2026-12-07", u" ２０２６年１２月７日 ", u"2026/12/7.",
                                  u"2026/12/7", u"2026年12月7日(月)"})
        EXPECT_EQ(readTypedDate(QString::fromUtf16(typed)), on(2026, 12, 7));
    for (const char16_t* typed : {u"12/7", u"2026-13-01", u"2026年12月7日に", u"", u"2026-12-07x"})
        EXPECT_EQ(readTypedDate(QString::fromUtf16(typed)), std::nullopt);
}

TEST(EntryDatesTest, TodaysEntryGoesBeforeTheFirstEntryThatShouldFollowIt)
{
    const QList<QDate> newest = {QDate(1999, 3, 27), QDate(1999, 3, 25), QDate(1999, 3, 21)};
    const QList<QDate> oldest(newest.rbegin(), newest.rend());
    ASSERT_TRUE(runsNewestFirst(newest));
    ASSERT_FALSE(runsNewestFirst(oldest));
    const struct {
        const char* name;
        const QList<QDate>& dates;
        QDate date;
        qsizetype place;
    } cases[] = {
        {"newest first, between", newest, QDate(1999, 3, 26), 1},
        {"newest first, at the top", newest, QDate(1999, 3, 28), 0},
        {"newest first, at the end", newest, QDate(1999, 3, 1), 3},
        {"newest first, a day already there", newest, QDate(1999, 3, 25), 1},
        {"oldest first, between", oldest, QDate(1999, 3, 26), 2},
        {"oldest first, at the top", oldest, QDate(1999, 3, 1), 0},
        {"oldest first, at the end", oldest, QDate(1999, 3, 28), 3},
        {"oldest first, a day already there", oldest, QDate(1999, 3, 25), 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placeForDate(c.dates, c.date, runsNewestFirst(c.dates)), c.place) << c.name;
}

TEST(EntryDatesTest, TheNearestDateIsTheEarlierOnATie)
{
    const QList<QDate> dates = {QDate(1999, 3, 25), QDate(1999, 3, 21)};
    EXPECT_EQ(nearestDate(dates, QDate(1999, 3, 23)), 1);
    EXPECT_EQ(nearestDate(dates, QDate(1999, 3, 24)), 0);
    EXPECT_EQ(nearestDate(dates, QDate(2001, 1, 1)), 0);
    EXPECT_EQ(nearestDate({}, QDate(2001, 1, 1)), -1);
}

} // namespace
