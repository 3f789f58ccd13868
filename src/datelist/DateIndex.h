#pragma once

#include "datelist/EntryDates.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QTextBlock>
#include <QTimer>

class QTextDocument;

// One entry of the diary: where its date line starts, its date and its title.
struct DiaryEntry {
    int position = 0;
    QDate date;
    QString title;
};
Q_DECLARE_TYPEINFO(DiaryEntry, Q_RELOCATABLE_TYPE); // moved as bytes in a diary's long list

// The entries of a document, kept up to date as it is edited. An edit only narrows the parts of
// the text at the start and the end that are known unchanged, so no keystroke waits on it;
// the lines between are read again afterwards, in slices of a few milliseconds when they are
// many (a whole diary just opened), and spliced into the list. What a line starts in (inside a
// comment, a script...) depends on the lines above: the index keeps the lines that do not start
// in plain text, and reads on past an edit until a line ends as it did before.
class DateIndex : public QObject {
    Q_OBJECT
public:
    DateIndex(QTextDocument* document, const datelist::EntryMarks& marks, QObject* parent);

    // The entries in the order of the file as the text stands now: a reading still under way
    // is finished first.
    const QList<DiaryEntry>& entries();
    // The entries as last read, without waiting; their dates and titles are those listChanged
    // last announced.
    const QList<DiaryEntry>& readEntries() const;
    bool isCurrent() const { return !reading_ && !changed_; }
    // The number of the entry holding the text at `position`, as last read; -1 before the
    // first entry.
    int entryAt(int position) const;
    // Reads every line again when the marks differ from those in use.
    void setMarks(const datelist::EntryMarks& marks);

signals:
    // The dates or titles of the list changed (not only where the entries stand).
    void listChanged();
    // A reading ended: the entries stand where they are in the text now.
    void entriesPlaced();

private:
    // A line that starts inside markup or a footer rather than in plain text.
    struct LineStart {
        int position;
        datelist::LineContext context;
    };

    void contentsChange(int position, int removed, int added);
    int documentLength() const;
    void startReading();
    // Reads lines for up to budgetMs (all of them when negative); true when the reading is done.
    bool readLines(int budgetMs);
    void finishReading();
    void readInSlices();
    // What a line at `position` (in the text now) started in at the last reading, for a line
    // after the lines being read.
    datelist::LineContext oldStartAfter(int position) const;
    void readEntryAt(const QTextBlock& line, int position, const QDate& date);
    int positionOf(qsizetype entry) const;
    qsizetype firstEntryAtOrAfter(int position) const;
    void addToPositions(qsizetype from, qsizetype to, int shift) const;
    void moveEntriesFrom(qsizetype from, int shift);

    QTextDocument* document_;
    datelist::EntryMarks marks_;
    mutable QList<DiaryEntry> entries_;
    // An edit moves every entry after it, a whole diary's; rather than at each keystroke, they
    // are moved when the list is next read: until then those from movingFrom_ on stand
    // moving_ units further than their position says.
    mutable qsizetype movingFrom_ = 0;
    mutable int moving_ = 0;
    QList<LineStart> markupStarts_;
    // Since entries_ was made from a text of lengthRead_ units, this many at its start and its
    // end are unchanged.
    int lengthRead_ = 0;
    int unchangedHead_ = 0;
    int unchangedTail_ = 0;
    bool changed_ = true;
    // A reading under way: the lines from `from_` to `to_` (positions in the text now), read up
    // to next_.
    bool reading_ = false;
    int from_ = 0;
    int to_ = 0;
    QTextBlock next_;
    int nextPosition_ = 0;
    datelist::LineContext state_; // what next_ starts in
    QList<DiaryEntry> found_;
    QList<LineStart> foundStarts_;
    QTimer slices_;
};
