#include "entry/Weekday.h"

#include <QDate>

namespace entry {

namespace {

// Input methods type digits full-width (U+FF10..U+FF19); they count as the plain digits.
int digitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'\uFF10' && c <= u'\uFF19')
        return c.unicode() - u'\uFF10';
    return -1;
}

} // namespace

int readDateNumber(QStringView text)
{
    constexpr qsizetype maxDigits = 9; // keeps the value inside an int
    if (text.isEmpty())
        return -1;
    int value = 0;
    qsizetype significant = 0;
    for (QChar c : text) {
        const int digit = digitValue(c);
        if (digit < 0)
            return -1;
        if (significant > 0 || digit != 0)
            ++significant;
        if (significant > maxDigits)
            return -1;
        value = value * 10 + digit;
    }
    return value;
}

int weekdayItem(QStringView year, QStringView month, QStringView day)
{
    const int m = readDateNumber(month);
    const int d = readDateNumber(day);
    const int y = readDateNumber(year);
    if (y < 1990 || y > 9999)
        return -1;
    const QDate date(y, m, d); // invalid for a day the month does not have
    if (!date.isValid())
        return -1;
    return date.dayOfWeek() % 7; // Qt counts Monday 1 to Sunday 7
}

} // namespace entry
