#pragma once

#include "entry/HtmlSettings.h"

#include <QList>
#include <QString>

namespace entry {

// Today's entry as the insertion reads it from the first tab. An item of -1 means the box's
// text was typed (or the box is blank), not chosen from its list.
struct EntryFields {
    QString year;
    QString month;
    QString day;
    QString weekdayText;
    int weekdayItem = -1; // 0 Sunday .. 6 Saturday
    QString weatherText;
    int weatherItem = -1; // 0 晴れ .. 7 雨／雪
    QString title;
};

// One write of an insertion. A Text piece replaces the diary editor's selection with its text;
// WeatherColour is where the weather colour window writes its fragment; Body is where the
// body is pasted.
enum class PieceKind { Text, WeatherColour, Body };

struct EntryPiece {
    PieceKind kind = PieceKind::Text;
    QString text;

    friend bool operator==(const EntryPiece&, const EntryPiece&) = default;
};

// The writes of one insertion, in order, from the entry and the HTML settings. Line ends are
// CR LF; nothing typed by the writer is escaped or changed.
QList<EntryPiece> renderEntry(const EntryFields& entry, const HtmlSettings& html);

// "Sun." .. "Sat." for the weekday items 0 to 6.
QString englishWeekday(int item);

} // namespace entry
