#pragma once

#include <QDate>
#include <QString>

class Clock {
public:
    virtual ~Clock() = default;
    // The local date of the computer now.
    virtual QDate today() = 0;
    // The abbreviated Japanese day name ("月"), whatever the locale; dayOfWeek is 1 (Monday) to 7
    // (Sunday).
    virtual QString shortDayName(int dayOfWeek) = 0;
};
