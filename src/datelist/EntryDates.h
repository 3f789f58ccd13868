#pragma once

#include "document/HtmlTokens.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace datelist {

// How the parts of a date are separated: "2012年4月3日", "2012/4/3", "2012.4.3", "2012-04-03".
enum class DateStyle : quint8 { Kanji, Slash, Dot, Hyphen };

// A date heading named by the writer from a line of the diary: what stands before the date on
// the line (tags, a mark), and how the date is written.
struct HeadingPattern {
    QString prefix;
    DateStyle style = DateStyle::Kanji;

    friend bool operator==(const HeadingPattern&, const HeadingPattern&) = default;
};

// What marks the entries of a diary: the fragment the program writes before each date and the
// two around a title, as the HTML settings hold them now, and the heading the writer named for
// this diary, if any: then only lines like it start entries.
struct EntryMarks {
    QString dateStart;
    QString titleStart;
    QString titleEnd;
    std::optional<HeadingPattern> heading;

    friend bool operator==(const EntryMarks&, const EntryMarks&) = default;
};

// What a line starts in: the HTML state the lines above leave, and whether it is inside an
// <ADDRESS> (a page's footer, where a date is when the page was last updated).
struct LineContext {
    document::HtmlState html = document::HtmlState::Text;
    bool inAddress = false;

    friend bool operator==(const LineContext&, const LineContext&) = default;
};

// A line of the diary read for entries: the date it starts an entry of, if it does, and what the
// next line starts in.
struct EntryLine {
    std::optional<QDate> date;
    LineContext end;
};

// Reads a line that starts in `start`. Nothing inside a comment, a script or a style element
// starts an entry. Without a named heading a line starts an entry when
// - its text (after blanks, tags and comments, and a mark such as "■") begins with a date
//   written in one of the styles, blanks allowed around 年, 月 and 日 ("2012年 4月 3日"), digits
//   full-width or not, the year in four digits, a weekday after it or not ("(火)", "（火）",
//   "(火曜日)", "Tue."), that no word or "、" continues ("2012年4月3日に…" is a sentence), and
//   which is not in an <ADDRESS>;
// - or it holds the program's date start fragment followed at once by a date.
// With a named heading, only a line that begins with the heading's prefix followed by a date in
// the heading's style, not continued by a sentence, starts one.
EntryLine readEntryLine(QStringView line, LineContext start, const EntryMarks& marks);

// What a line after a date heading says of the entry's title: nothing when it has no text (the
// title may be on the next one); otherwise its text without tags when it is wrapped in the title
// fragments or is a heading or a bold or strong paragraph, else an empty title.
std::optional<QString> titleOfLine(QStringView line, document::HtmlState start,
                                   const EntryMarks& marks);

// The text of a line without its tags and comments, blanks at its ends dropped.
QString plainTextOfLine(QStringView line, document::HtmlState start);

// The heading of a sample line ("この行のような行"): what stands before its first date and the
// date's style; none when the line holds no date.
std::optional<HeadingPattern> headingOfSample(QStringView sample);

// A date typed by the writer in any of the entry styles, alone (blanks around allowed).
std::optional<QDate> readTypedDate(QStringView text);

// Whether the dates, in the order of the file, run newest first: more steps go back in time than
// forward. A diary with no step either way counts as newest first.
bool runsNewestFirst(const QList<QDate>& dates);

// Which of the dates, in the order of the file, stand in the diary's order: the longest run of
// them (not necessarily adjacent) in that order, the one of the earliest entries when there are
// several; the others are out of order.
QList<bool> inDiaryOrder(const QList<QDate>& dates, bool newestFirst);

// The number of the date nearest to `date` (the earlier on a tie), or -1 when there are none.
qsizetype nearestDate(const QList<QDate>& dates, QDate date);

// "1999年3月27日(土)", how the list and the messages show a date.
QString shownDate(QDate date);
// "土" for a Saturday.
QString japaneseWeekday(QDate date);

} // namespace datelist
