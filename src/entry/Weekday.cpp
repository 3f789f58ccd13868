#include "entry/Weekday.h"

#include "text/FieldNumber.h"

#include <QDate>

namespace entry {

int weekdayItem(QStringView year, QStringView month, QStringView day)
{
    const int m = text::readFieldNumber(month);
    const int d = text::readFieldNumber(day);
    const int y = text::readFieldNumber(year);
    if (y < 1990 || y > 9999)
        return -1;
    const QDate date(y, m, d); // invalid for a day the month does not have
    if (!date.isValid())
        return -1;
    return date.dayOfWeek() % 7; // Qt counts Monday 1 to Sunday 7
}

} // namespace entry
