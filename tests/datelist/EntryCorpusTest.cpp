// Hand-written diaries in many styles (tests/datelist/corpus): each NAME.htm comes with
// NAME.answer, written by hand: the diary's order, then one line per entry in the order of the
// file: its line number (after the line its heading's tags begin on, "9:10", when they stand
// above the date), its date, the line before which an entry placed after it goes (after its
// closing rule; "-" for an entry out of order), "in" or "out" of order, and its title.

#include "datelist/DateIndex.h"
#include "datelist/EntryPlace.h"

#include <QDir>
#include <QFile>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <iostream>

namespace {

struct Expected {
    int start; // the line the entry's heading begins on
    int line;  // its date line, from 1, as an editor numbers them
    QDate date;
    int end;
    bool inOrder;
    QString title;
};

struct Diary {
    QString name;
    QStringList lines;
    bool newestFirst = true;
    QList<Expected> entries;
};

QString readUtf8(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

QList<Diary> corpus()
{
    QList<Diary> diaries;
    const QDir folder(QStringLiteral(PELMORA_DATELIST_CORPUS));
    for (const QString& name : folder.entryList({QStringLiteral("*.htm")}, QDir::Files)) {
        Diary diary;
        diary.name = name;
        diary.lines = readUtf8(folder.filePath(name)).split(QStringLiteral("\r\n"));
        diary.lines.removeLast(); // after the last line end
        QStringList answer =
            readUtf8(folder.filePath(name.chopped(4) + QStringLiteral(".answer"))).split(u'\n');
        diary.newestFirst = answer.takeFirst() == u"# order newest";
        for (const QString& row : answer) {
            const QStringList f = row.split(u' ');
            if (f.size() < 4)
                continue;
            const QStringList lines = f[0].split(u':');
            diary.entries.append({lines.first().toInt(), lines.last().toInt(),
                                  QDate::fromString(f[1], Qt::ISODate), f[2].toInt(), f[3] == u"in",
                                  f.mid(4).join(u' ')});
        }
        diaries.append(diary);
    }
    return diaries;
}

const datelist::EntryMarks programMarks = {QStringLiteral("<font color=\"#ff0000\"><b>"),
                                           QStringLiteral("<BR><STRONG><font color=\"#008000\">"),
                                           QStringLiteral("</font></STRONG>"),
                                           {}};

struct Found {
    int line;
    QDate date;
    QString title;
};

// The entries the index finds in the diary shown in an editor's document.
QList<Found> entriesOf(const Diary& diary)
{
    QTextDocument document;
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    document.setPlainText(diary.lines.join(u'\n'));
    DateIndex index(&document, programMarks, nullptr);
    QList<Found> found;
    for (const DiaryEntry& entry : index.entries())
        found.append(
            {document.findBlock(entry.position).blockNumber() + 1, entry.date, entry.title});
    return found;
}

TEST(EntryCorpusTest, EveryEntryOfEveryStyleIsFoundAndNothingElse)
{
    const QList<Diary> diaries = corpus();
    ASSERT_GE(diaries.size(), 8);
    for (const Diary& diary : diaries) {
        const QList<Found> found = entriesOf(diary);
        int hits = 0;
        int missed = 0;
        for (const Expected& entry : diary.entries) {
            const auto at = std::find_if(found.begin(), found.end(), [&](const Found& f) {
                return f.line == entry.line && f.date == entry.date;
            });
            if (at == found.end()) {
                ++missed;
                ADD_FAILURE() << diary.name.toStdString() << ": missed line " << entry.line;
                continue;
            }
            ++hits;
            EXPECT_EQ(at->title, entry.title) << diary.name.toStdString() << ':' << entry.line;
        }
        const qsizetype falseOnes = found.size() - hits;
        for (const Found& f : found) {
            if (std::none_of(diary.entries.begin(), diary.entries.end(),
                             [&](const Expected& e) { return e.line == f.line; }))
                ADD_FAILURE() << diary.name.toStdString() << ": false entry at line " << f.line;
        }
        std::cout << diary.name.toStdString() << ": " << diary.entries.size() << " entries, "
                  << hits << " found, " << missed << " missed, " << falseOnes << " false\n";
    }
}

// Where the answer says an entry of `date` goes: in a newest-first diary before the first entry
// in order as old as it or older, in an oldest-first one after the last such entry.
int answerFor(const Diary& diary, QDate date)
{
    QList<Expected> inOrder;
    for (const Expected& entry : diary.entries) {
        if (entry.inOrder)
            inOrder.append(entry);
    }
    auto asOld = [&](const Expected& entry) { return entry.date <= date; };
    if (diary.newestFirst) {
        const auto first = std::find_if(inOrder.begin(), inOrder.end(), asOld);
        return first != inOrder.end() ? first->start : inOrder.last().end;
    }
    const auto last = std::find_if(inOrder.rbegin(), inOrder.rend(), asOld);
    return last != inOrder.rend() ? last->end : inOrder.first().start;
}

// Dates before the first entry, between any two and after the last.
QList<QDate> datesToTry(const Diary& diary)
{
    QList<QDate> dates;
    for (const Expected& entry : diary.entries)
        dates.append(entry.date);
    std::sort(dates.begin(), dates.end());
    QList<QDate> tried = {dates.first().addDays(-1), dates.last().addDays(1)};
    for (qsizetype i = 1; i < dates.size(); ++i) {
        if (dates[i - 1].daysTo(dates[i]) >= 2)
            tried.append(dates[i - 1].addDays(1));
    }
    return tried;
}

TEST(EntryCorpusTest, ThePlaceByDateIsRightForEveryDateInBothOrders)
{
    for (const Diary& diary : corpus()) {
        QList<datelist::EntryAt> entries;
        for (const Found& f : entriesOf(diary))
            entries.append({f.line - 1, f.date});
        const auto lineAt = [&](int line) { return diary.lines[line]; };
        for (QDate date : datesToTry(diary)) {
            const int place =
                datelist::placeLineForDate(entries, date, int(diary.lines.size()), lineAt) + 1;
            EXPECT_EQ(place, answerFor(diary, date))
                << diary.name.toStdString() << ' ' << date.toString(Qt::ISODate).toStdString();
        }
    }
}

} // namespace
