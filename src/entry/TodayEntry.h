#pragma once

#include <QString>

// Today's entry as the first tab holds it, every field as it stands: the date fields, the
// weekday and weather boxes (their text, and the list item or -1 when none is chosen), the
// title with the caption of the bar above the body, and the body as CR LF text.
struct TodayEntry {
    QString year;
    QString month;
    QString day;
    QString weekdayText;  // empty for a date that does not exist
    int weekdayItem = -1; // 0 Sunday .. 6 Saturday
    QString weatherText;
    int weatherItem = -1; // 0 晴れ .. 7 雨／雪
    QString title;
    QString titleCaption; // the text of the title bar above the body
    bool titleShown = false;
    QString body;
    bool bodyModified = false;

    friend bool operator==(const TodayEntry&, const TodayEntry&) = default;
};
