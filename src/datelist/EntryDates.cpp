#include "datelist/EntryDates.h"

#include <cstdlib>

namespace datelist {

namespace {

int digitOf(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'\uFF10' && c <= u'\uFF19') // full-width, as an input method types them
        return c.unicode() - u'\uFF10';
    return -1;
}

// A number of minDigits to maxDigits digits at `i`, which it moves past them; -1 when there is
// none or when more digits follow.
int readNumber(QStringView text, qsizetype& i, int minDigits, int maxDigits)
{
    const qsizetype start = i;
    int value = 0;
    while (i < text.size() && i - start < maxDigits && digitOf(text[i]) >= 0)
        value = value * 10 + digitOf(text[i++]);
    if (i - start < minDigits || (i < text.size() && digitOf(text[i]) >= 0))
        return -1;
    return value;
}

bool takeChar(QStringView text, qsizetype& i, QChar c)
{
    if (i >= text.size() || text[i] != c)
        return false;
    ++i;
    return true;
}

enum class Styles { Written, WrittenOrIso };

struct DateAt {
    QDate date;
    qsizetype end; // just after the date
};

// A date starting at `i`: "1999年3月27日", "1999/3/27." (the dot may be missing) or, when asked
// for, "1999-03-27".
std::optional<DateAt> readDateAt(QStringView text, qsizetype i, Styles styles)
{
    const int year = readNumber(text, i, 4, 4);
    if (year < 0 || i >= text.size())
        return std::nullopt;
    const QChar separator = text[i++];
    int month = -1;
    int day = -1;
    if (separator == u'年') {
        month = readNumber(text, i, 1, 2);
        if (!takeChar(text, i, u'月'))
            return std::nullopt;
        day = readNumber(text, i, 1, 2);
        if (!takeChar(text, i, u'日'))
            return std::nullopt;
    } else if (separator == u'/') {
        month = readNumber(text, i, 1, 2);
        if (!takeChar(text, i, u'/'))
            return std::nullopt;
        day = readNumber(text, i, 1, 2);
        takeChar(text, i, u'.');
    } else if (separator == u'-' && styles == Styles::WrittenOrIso) {
        month = readNumber(text, i, 2, 2);
        if (!takeChar(text, i, u'-'))
            return std::nullopt;
        day = readNumber(text, i, 2, 2);
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return DateAt{date, i};
}

// Moves past a weekday written after a date: "(土)", "（土）" or "Sat." (the dot may be missing).
qsizetype skipWeekday(QStringView text, qsizetype i)
{
    static const QString japanese = QStringLiteral("日月火水木金土");
    const QStringView rest = text.mid(i);
    if (rest.size() >= 3 && (rest[0] == u'(' || rest[0] == u'（') && japanese.contains(rest[1])
        && (rest[2] == u')' || rest[2] == u'）'))
        return i + 3;
    static const QStringView english[] = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    for (QStringView name : english) {
        if (rest.startsWith(name, Qt::CaseInsensitive)) {
            i += name.size();
            return i < text.size() && text[i] == u'.' ? i + 1 : i;
        }
    }
    return i;
}

// Where the text of a line starts after blanks, tags and comments; -1 when a tag or a comment
// goes on past the line.
qsizetype afterLeadingTags(QStringView line)
{
    qsizetype i = 0;
    for (;;) {
        while (i < line.size() && line[i].isSpace())
            ++i;
        if (i >= line.size() || line[i] != u'<')
            return i;
        const bool comment = line.mid(i).startsWith(u"<!--");
        const qsizetype end = comment ? line.indexOf(u"-->", i + 4) : line.indexOf(u'>', i + 1);
        if (end < 0)
            return -1;
        i = end + (comment ? 3 : 1);
    }
}

// Whether `position` lies inside a comment opened earlier on the line.
bool inComment(QStringView line, qsizetype position)
{
    const QStringView before = line.left(position);
    const qsizetype open = before.lastIndexOf(u"<!--");
    return open >= 0 && before.indexOf(u"-->", open + 4) < 0;
}

std::optional<QDate> handWrittenDate(QStringView line)
{
    const qsizetype start = afterLeadingTags(line);
    if (start < 0 || start >= line.size() || digitOf(line[start]) < 0)
        return std::nullopt;
    const std::optional<DateAt> found = readDateAt(line, start, Styles::WrittenOrIso);
    if (!found)
        return std::nullopt;
    const qsizetype next = skipWeekday(line, found->end);
    if (next < line.size() && line[next].isLetterOrNumber())
        return std::nullopt; // a sentence that starts with a date
    return found->date;
}

std::optional<QDate> programDate(QStringView line, QStringView dateStart)
{
    if (dateStart.trimmed().isEmpty())
        return std::nullopt; // every date would count, those in sentences too
    for (qsizetype at = line.indexOf(dateStart); at >= 0; at = line.indexOf(dateStart, at + 1)) {
        const std::optional<DateAt> found =
            readDateAt(line, at + dateStart.size(), Styles::Written);
        if (found && !inComment(line, at))
            return found->date;
    }
    return std::nullopt;
}

QString withoutTags(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    bool inTag = false;
    for (QChar c : text) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        else if (!inTag)
            plain.append(c);
    }
    return plain.trimmed();
}

} // namespace

std::optional<QDate> entryDateOfLine(QStringView line, const EntryMarks& marks)
{
    if (std::optional<QDate> date = programDate(line, marks.dateStart))
        return date;
    return handWrittenDate(line);
}

QString entryTitleOfLine(QStringView line, const EntryMarks& marks)
{
    const QStringView trimmed = line.trimmed();
    if (marks.titleStart.trimmed().isEmpty() || !trimmed.startsWith(marks.titleStart))
        return {};
    const QStringView rest = trimmed.mid(marks.titleStart.size());
    const qsizetype end = marks.titleEnd.isEmpty() ? -1 : rest.indexOf(marks.titleEnd);
    return withoutTags(end < 0 ? rest : rest.left(end));
}

std::optional<QDate> readTypedDate(QStringView text)
{
    const QStringView typed = text.trimmed();
    const std::optional<DateAt> found = readDateAt(typed, 0, Styles::WrittenOrIso);
    if (!found || skipWeekday(typed, found->end) != typed.size())
        return std::nullopt;
    return found->date;
}

bool runsNewestFirst(const QList<QDate>& dates)
{
    qsizetype back = 0;
    qsizetype forward = 0;
    for (qsizetype i = 1; i < dates.size(); ++i) {
        if (dates[i] < dates[i - 1])
            ++back;
        else if (dates[i] > dates[i - 1])
            ++forward;
    }
    return back >= forward;
}

qsizetype placeForDate(const QList<QDate>& dates, QDate date, bool newestFirst)
{
    for (qsizetype i = 0; i < dates.size(); ++i) {
        if (newestFirst ? dates[i] <= date : dates[i] > date)
            return i;
    }
    return dates.size();
}

qsizetype nearestDate(const QList<QDate>& dates, QDate date)
{
    qsizetype best = -1;
    qint64 bestDistance = 0;
    for (qsizetype i = 0; i < dates.size(); ++i) {
        const qint64 distance = std::llabs(dates[i].daysTo(date));
        if (best < 0 || distance < bestDistance
            || (distance == bestDistance && dates[i] < dates[best])) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

QString japaneseWeekday(QDate date)
{
    static const QString names = QStringLiteral("月火水木金土日");
    return names.at(date.dayOfWeek() - 1);
}

QString shownDate(QDate date)
{
    return QStringLiteral("%1年%2月%3日(%4)")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(japaneseWeekday(date));
}

} // namespace datelist
