#pragma once

#include <QStringView>

namespace entry {

// The weekday item (0 Sunday to 6 Saturday) of the Gregorian date the three texts give, or -1
// when the year is outside 1990 to 9999 or the month and day do not make a date.
int weekdayItem(QStringView year, QStringView month, QStringView day);

} // namespace entry
