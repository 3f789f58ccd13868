#pragma once

#include <QStringView>

namespace entry {

// A date field's text as the weekday rule reads it: decimal digits only, ASCII or full-width
// (as an input method types them), in any mix. Anything else (empty, letters, a sign, a blank,
// a decimal point, a number too large for an int) reads as -1, which no field accepts.
int readDateNumber(QStringView text);

// The weekday item (0 Sunday to 6 Saturday) of the Gregorian date the three texts give, or -1
// when the year is outside 1990 to 9999 or the month and day do not make a date.
int weekdayItem(QStringView year, QStringView month, QStringView day);

} // namespace entry
