#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

namespace datelist {

// An entry as the place by date sees it: the number of its date line and its date.
struct EntryAt {
    int line = 0;
    QDate date;
};

// The number of the line before which an entry of `date` belongs, in a diary of `lineCount`
// lines (`lineAt` gives each) whose entries, in the order of the file, are `entries`.
// Entries that stand out of the diary's order are passed over. In a newest-first diary the
// place is before the first entry as old as the date or older; in an oldest-first one after the
// last such entry and its closing rule. Never inside an entry, never in the page's footer: after
// the last entry the place is after its closing rule (<HR>), else before the footer
// (<ADDRESS>, </BODY>, </HTML>). Without entries it is before </BODY>, else the end. Tags are
// read as the colouring reads them, over as many lines as they take: the place before an entry
// is before its heading's tags on the lines above its date, and never inside a tag.
int placeLineForDate(const QList<EntryAt>& entries, QDate date, int lineCount,
                     const std::function<QString(int)>& lineAt);

} // namespace datelist
