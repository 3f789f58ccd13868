#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace datelist {

// What marks the entries of a diary: the fragment the program writes before each date and the
// two around a title, as the HTML settings hold them now.
struct EntryMarks {
    QString dateStart;
    QString titleStart;
    QString titleEnd;
};

// The date an entry line starts with, or none. A line starts an entry when it holds the date
// start fragment followed at once by a date ("1999年3月27日" or "1999/3/27."), or when it
// begins, after blanks, tags and comments closed on the line, with a date in one of those
// styles or as "1999-03-27", not followed by a word ("1999年3月27日に" is a sentence). A weekday
// may follow the date: "(土)", "（土）" or "Sat.". Digits may be full-width; the year has four.
std::optional<QDate> entryDateOfLine(QStringView line, const EntryMarks& marks);

// The title of an entry from the line after its date: the text between the title fragments,
// without tags and outer blanks; empty when the line holds none.
QString entryTitleOfLine(QStringView line, const EntryMarks& marks);

// A date typed by the writer in any of the entry styles, alone (blanks around allowed).
std::optional<QDate> readTypedDate(QStringView text);

// Whether the dates, in the order of the file, run newest first: more steps go back in time than
// forward. A diary with no step either way counts as newest first.
bool runsNewestFirst(const QList<QDate>& dates);

// The number of the entry before which an entry of `date` belongs, in a diary running in the
// given order: the first entry that should come after it. The count of the dates when it
// belongs after the last one. An entry of a day already there goes before the older entry in
// a newest-first diary and after it in an oldest-first one.
qsizetype placeForDate(const QList<QDate>& dates, QDate date, bool newestFirst);

// The number of the date nearest to `date` (the earlier on a tie), or -1 when there are none.
qsizetype nearestDate(const QList<QDate>& dates, QDate date);

// "1999年3月27日(土)", how the list and the messages show a date.
QString shownDate(QDate date);
// "土" for a Saturday.
QString japaneseWeekday(QDate date);

} // namespace datelist
