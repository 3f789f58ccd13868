#include "datelist/EntryDates.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace datelist;
using namespace Qt::StringLiterals;

const EntryMarks defaults = {QStringLiteral("<font color=\"#ff0000\"><b>"),
                             QStringLiteral("<BR><STRONG><font color=\"#008000\">"),
                             QStringLiteral("</font></STRONG>"),
                             {}};

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
        {"one-digit month in year-month-day", u"2026-1-7", on(2026, 1, 7)},
        {"blanks around the parts, weekday day name", u"<h3>2012年 4月 3日 (火曜日)</h3>",
         on(2012, 4, 3)},
        {"dots", u"<H2>2013.3.9 (Sat)</H2>", on(2013, 3, 9)},
        {"a mark before the date, weather after", u"■ 2017年10月9日（月） 晴れ", on(2017, 10, 9)},
        {"a comma after the date", u"<P>2025年11月22日、同じ道を…</P>", std::nullopt},
        {"a particle after a blank", u"<P>2013.1.1 から書いています。", std::nullopt},
        {"a weather in hiragana after a blank", u"2013.1.1 はれ", on(2013, 1, 1)},
        {"a particle after the weekday", u"2014/4/2(水)に病院へ", std::nullopt},
        {"in a page's footer", u"<ADDRESS>2015-06-30 更新</ADDRESS>", std::nullopt},
        {"a tag going on past the line", u"<font color=\"#ff0000\" 1999年3月27日", std::nullopt},
        {"five digits", u"19999年3月27日", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readEntryLine(QString::fromUtf16(c.line), {}, defaults).date, c.date) << c.name;
}

// Lines read one after the other, each starting in what the one before left: "1" for a line
// that starts an entry, "0" for one that does not.
std::string entriesOf(const QStringList& lines)
{
    LineContext context;
    std::string found;
    for (const QString& line : lines) {
        const EntryLine read = readEntryLine(line, context, defaults);
        found += read.date ? '1' : '0';
        context = read.end;
    }
    return found;
}

TEST(EntryDatesTest, AnAddressHidesTheDatesUpToItsCloseAsTheColouringReadsItsTags)
{
    const struct {
        const char* name;
        QStringList lines;
        std::string entries;
    } cases[] = {
        {"a tag over two lines",
         {u"<ADDRESS"_s, u" CLASS=\"foot\">"_s, u"2024年6月10日 更新"_s, u"</ADDRESS>"_s,
          u"2024年6月11日"_s},
         "00001"},
        {"its name in any case",
         {u"<Address>"_s, u"2024年6月10日"_s, u"</aDDRESS><b>2024年6月11日</b>"_s},
         "001"},
        {"named in a comment", {u"<!-- 更新日は <ADDRESS> に書く -->"_s, u"2024年6月10日"_s}, "01"},
        {"in a comment over lines",
         {u"<!--"_s, u"<ADDRESS>"_s, u"-->"_s, u"2024年6月10日"_s},
         "0001"},
        {"in an attribute's value", {u"<A TITLE=\"<ADDRESS>\">2024年6月10日</A>"_s}, "1"},
        {"closed before the date", {u"<ADDRESS></ADDRESS>2024年6月10日"_s}, "1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entriesOf(c.lines), c.entries) << c.name;
}

TEST(EntryDatesTest, TheTitleIsAHeadingOrABoldLineWithoutItsTags)
{
    const EntryMarks brackets = {
        defaults.dateStart, QStringLiteral("【"), QStringLiteral("】"), {}};
    const struct {
        const char* name;
        const char16_t* line;
        EntryMarks marks;
        std::optional<QString> title;
    } cases[] = {
        {"the program's fragments",
         u" <BR><STRONG><font color=\"#008000\"><i>花</i>見 </font></STRONG>", defaults, u"花見"_s},
        {"text fragments of other settings", u"【花見】の日", brackets, u"花見"_s},
        {"a heading", u"<H4>花見 <small>晴れ</small></H4>", defaults, u"花見 晴れ"_s},
        {"a bold paragraph", u"<p><b>花見</b></p>", defaults, u"花見"_s},
        {"a paragraph that starts in bold", u"<P><B>花見</B>に行った。</P>", defaults, u""_s},
        {"a body line", u"本文です。", defaults, u""_s},
        {"no text yet", u"<DIV STYLE=\"margin-left:20pt;\">", defaults, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(titleOfLine(QString::fromUtf16(c.line), document::HtmlState::Text, c.marks),
                  c.title)
            << c.name;
}

TEST(EntryDatesTest, ANamedHeadingIsTheOnlyOneThatCounts)
{
    const std::optional<HeadingPattern> heading =
        headingOfSample(u"  <h4 class=\"day\">2012.4.3 (Tue)</h4>");
    ASSERT_EQ(heading, (HeadingPattern{u"<h4 class=\"day\">"_s, DateStyle::Dot}));
    EXPECT_EQ(headingOfSample(u"<h4>見出し</h4>"), std::nullopt);
    const EntryMarks named = {defaults.dateStart, {}, {}, heading};
    const struct {
        const char16_t* line;
        std::optional<QDate> date;
    } cases[] = {
        {u"<H4 CLASS=\"day\">2013.12.24</H4>", on(2013, 12, 24)},
        {u"<h4 class=\"day\">2013/12/24</h4>", std::nullopt},
        {u"<h3>2013.12.24</h3>", std::nullopt},
        {u"<font color=\"#ff0000\"><b>2013年12月24日</b></font>", std::nullopt},
        {u"<h4 class=\"day\">2013.12.24に</h4>", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readEntryLine(QString::fromUtf16(c.line), {}, named).date, c.date)
            << QString::fromUtf16(c.line).toStdString();
}

TEST(EntryDatesTest, ATypedDateIsReadInEveryStyleAndNothingElse)
{
    for (const char16_t* typed : {u"2026-12-07", u" ２０２６年１２月７日 ", u"2026/12/7.",
                                  u"2026/12/7", u"2026年12月7日(月)"})
        EXPECT_EQ(readTypedDate(QString::fromUtf16(typed)), on(2026, 12, 7));
    for (const char16_t* typed : {u"12/7", u"2026-13-01", u"2026年12月7日に", u"", u"2026-12-07x"})
        EXPECT_EQ(readTypedDate(QString::fromUtf16(typed)), std::nullopt);
}

TEST(EntryDatesTest, AnEntryOutOfOrderIsTheOneOffTheLongestRunInOrder)
{
    auto days = [](std::initializer_list<int> list) {
        QList<QDate> dates;
        for (int day : list)
            dates.append(QDate(2014, 4, day));
        return dates;
    };
    const struct {
        const char* name;
        QList<QDate> dates;
        QList<bool> inOrder;
    } cases[] = {
        {"oldest first, one written late",
         days({1, 2, 10, 5, 20}),
         {true, true, true, false, true}},
        {"newest first, an old one on top",
         days({1, 27, 25, 25, 21}),
         {false, true, true, true, true}},
        {"all in order", days({27, 21}), {true, true}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(inDiaryOrder(c.dates, runsNewestFirst(c.dates)), c.inOrder) << c.name;
    }
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
