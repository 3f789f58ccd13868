#include "text/FieldNumber.h"

namespace text {

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

int readFieldNumber(QStringView text)
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

} // namespace text
