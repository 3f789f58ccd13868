#pragma once

#include "entry/HtmlSettings.h"
#include "entry/TodayEntry.h"

#include <QList>
#include <QString>

namespace entry {

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
// CR LF; nothing typed by the writer is escaped or changed. The entry's body, title caption and
// modified state play no part: the body is pasted where the Body piece stands.
QList<EntryPiece> renderEntry(const TodayEntry& entry, const HtmlSettings& html);

// "Sun." .. "Sat." for the weekday items 0 to 6.
QString englishWeekday(int item);

} // namespace entry
