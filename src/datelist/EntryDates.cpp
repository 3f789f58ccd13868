#include "datelist/EntryDates.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

using document::HtmlState;

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

// Blanks as writers align dates with them: spaces, tabs and the full-width space.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00A0';
}

qsizetype skipBlanks(QStringView text, qsizetype i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
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

// Takes `c`, blanks before and after it allowed when `blanks` says so.
bool takeChar(QStringView text, qsizetype& i, QChar c, bool blanks = false)
{
    qsizetype j = blanks ? skipBlanks(text, i) : i;
    if (j >= text.size() || text[j] != c)
        return false;
    i = blanks ? skipBlanks(text, j + 1) : j + 1;
    return true;
}

std::optional<DateStyle> styleOfSeparator(QChar c)
{
    switch (c.unicode()) {
    case u'年': return DateStyle::Kanji;
    case u'/':
    case u'／': return DateStyle::Slash;
    case u'.':
    case u'．': return DateStyle::Dot;
    case u'-':
    case u'－': return DateStyle::Hyphen;
    default: return std::nullopt;
    }
}

struct DateAt {
    QDate date;
    qsizetype end; // just after the date
    DateStyle style;
};

// A date starting at `i`: "1999年3月27日" (blanks around the parts allowed), "1999/3/27."
// (the dot may be missing), "1999.3.27" or "1999-03-27", full-width separators too.
std::optional<DateAt> readDateAt(QStringView text, qsizetype i)
{
    const int year = readNumber(text, i, 4, 4);
    if (year < 0)
        return std::nullopt;
    const qsizetype afterYear = skipBlanks(text, i);
    if (afterYear >= text.size())
        return std::nullopt;
    const QChar separator = text[afterYear];
    const std::optional<DateStyle> style = styleOfSeparator(separator);
    if (!style || (*style != DateStyle::Kanji && afterYear != i))
        return std::nullopt;
    i = afterYear + 1;
    const bool kanji = *style == DateStyle::Kanji;
    if (kanji)
        i = skipBlanks(text, i);
    const int month = readNumber(text, i, 1, 2);
    if (month < 0 || !takeChar(text, i, kanji ? QChar(u'月') : separator, kanji))
        return std::nullopt;
    const int day = readNumber(text, i, 1, 2);
    if (kanji)
        i = skipBlanks(text, i);
    if (day < 0 || (kanji && !takeChar(text, i, u'日')))
        return std::nullopt;
    if (*style == DateStyle::Slash || *style == DateStyle::Dot)
        takeChar(text, i, u'.');
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return DateAt{date, i, *style};
}

// Moves past a weekday written after a date: "(土)", "（土曜日）", "Sat." or "Saturday", blanks
// before it allowed.
qsizetype skipWeekday(QStringView text, qsizetype from)
{
    static const QString japanese = QStringLiteral("日月火水木金土");
    const qsizetype i = skipBlanks(text, from);
    const QStringView rest = text.mid(i);
    if (rest.size() >= 3 && (rest[0] == u'(' || rest[0] == u'（') && japanese.contains(rest[1])) {
        qsizetype j = 2;
        if (rest.mid(j).startsWith(u"曜日"))
            j += 2;
        else if (rest.mid(j).startsWith(u"曜"))
            j += 1;
        if (j < rest.size() && (rest[j] == u')' || rest[j] == u'）'))
            return i + j + 1;
    }
    static const QStringView english[] = {
        u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday",
        u"Sun",    u"Mon",    u"Tue",     u"Wed",       u"Thu",      u"Fri",    u"Sat"};
    for (QStringView name : english) {
        if (rest.startsWith(name, Qt::CaseInsensitive)) {
            const qsizetype end = i + name.size();
            return end < text.size() && text[end] == u'.' ? end + 1 : end;
        }
    }
    return from;
}

bool isHiragana(QChar c)
{
    return c >= u'\u3041' && c <= u'\u309F';
}

// Whether the text at `i` is a particle that ties a date into a sentence: "から", "まで",
// "より", or one of "にはのをがへでとも" not followed by more hiragana ("はれ" is a weather).
bool startsWithParticle(QStringView text, qsizetype i)
{
    const QStringView rest = text.mid(i);
    if (rest.startsWith(u"から") || rest.startsWith(u"まで") || rest.startsWith(u"より"))
        return true;
    static const QString particles = QStringLiteral("にはのをがへでとも");
    return !rest.isEmpty() && particles.contains(rest[0])
           && (rest.size() == 1 || !isHiragana(rest[1]));
}

// Whether what follows a date goes on as a sentence: a word, a number or a comma right after
// it ("2012年4月3日に", "2012年4月3日、"), or a particle after a blank ("2013.1.1 から").
// A blank before other text, a tag or the line's end close a heading.
bool continuesAsSentence(QStringView text, qsizetype i)
{
    if (i >= text.size())
        return false;
    const QChar c = text[i];
    if (isBlank(c))
        return startsWithParticle(text, skipBlanks(text, i));
    return c.isLetterOrNumber() || c == u'、' || c == u'，' || c == u',' || c == u'。';
}

// A date that heads the text at `i` and is not a sentence's start.
std::optional<DateAt> headingDateAt(QStringView line, qsizetype i)
{
    std::optional<DateAt> found = readDateAt(line, i);
    if (!found || continuesAsSentence(line, skipWeekday(line, found->end)))
        return std::nullopt;
    return found;
}

// Moves past a mark written before a date ("■", "◆", "★", "#"), up to three, and blanks.
qsizetype skipMarks(QStringView line, qsizetype i)
{
    for (int marks = 0; marks < 3 && i < line.size(); ++marks) {
        const QChar c = line[i];
        if (!c.isSymbol() && c != u'#' && c != u'*' && c != u'※')
            break;
        i = skipBlanks(line, i + 1);
    }
    return i;
}

// Moves past "&nbsp;" written before a date, and blanks.
qsizetype skipSpaceReferences(QStringView line, qsizetype i)
{
    for (;;) {
        i = skipBlanks(line, i);
        if (!line.mid(i).startsWith(u"&nbsp;", Qt::CaseInsensitive))
            return i;
        i += 6;
    }
}

std::optional<QDate> handWrittenDate(QStringView line, int textStart)
{
    const qsizetype at = skipMarks(line, skipSpaceReferences(line, textStart));
    if (at >= line.size() || digitOf(line[at]) < 0)
        return std::nullopt;
    const std::optional<DateAt> found = headingDateAt(line, at);
    return found ? std::optional(found->date) : std::nullopt;
}

// Whether the part of a line, which starts in `start`, ends inside an <ADDRESS>: its last
// <ADDRESS> or </ADDRESS> tag says, as the colouring reads the tags, so that one in a comment,
// an attribute's value or a script does not count; a line with neither leaves it as it was.
bool inAddressAfter(QStringView part, LineContext start)
{
    bool inAddress = start.inAddress;
    for (const document::HtmlToken& token : document::tokenizeHtmlLine(part, start.html).tokens) {
        if (token.kind != document::HtmlTokenKind::Tag)
            continue;
        const QStringView name = part.mid(token.start, token.length);
        if (name.compare(u"<address", Qt::CaseInsensitive) == 0)
            inAddress = true;
        else if (name.compare(u"</address", Qt::CaseInsensitive) == 0)
            inAddress = false;
    }
    return inAddress;
}

// Whether the line has "<address" or "</address" in any case: a cheap look for the lines that
// may open or close one. A line has few "<", and finding the next is much faster than
// searching for a word.
bool mentionsAddress(QStringView line)
{
    for (qsizetype at = line.indexOf(u'<'); at >= 0; at = line.indexOf(u'<', at + 1)) {
        const qsizetype name = at + 1 < line.size() && line[at + 1] == u'/' ? at + 2 : at + 1;
        if (line.mid(name).startsWith(u"address", Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Where the fragment is in the line from `from` on, -1 when it is not; found by its first
// character, which lines have few of when it is "<".
qsizetype indexOfFragment(QStringView line, QStringView fragment, qsizetype from)
{
    for (qsizetype at = line.indexOf(fragment[0], from); at >= 0;
         at = line.indexOf(fragment[0], at + 1)) {
        if (line.mid(at).startsWith(fragment))
            return at;
    }
    return -1;
}

std::optional<QDate> programDate(QStringView line, HtmlState start, QStringView dateStart)
{
    if (dateStart.trimmed().isEmpty())
        return std::nullopt; // every date would count, those in sentences too
    for (qsizetype at = indexOfFragment(line, dateStart, 0); at >= 0;
         at = indexOfFragment(line, dateStart, at + 1)) {
        const std::optional<DateAt> found = readDateAt(line, at + dateStart.size());
        if (found && document::htmlLineEnd(line.left(at), start) == HtmlState::Text)
            return found->date;
    }
    return std::nullopt;
}

std::optional<QDate> namedHeadingDate(QStringView line, const HeadingPattern& heading)
{
    const qsizetype start = skipBlanks(line, 0);
    if (!line.mid(start).startsWith(heading.prefix, Qt::CaseInsensitive))
        return std::nullopt;
    const std::optional<DateAt> found =
        headingDateAt(line, skipBlanks(line, start + heading.prefix.size()));
    if (!found || found->style != heading.style)
        return std::nullopt;
    return found->date;
}

// The text between the title fragments of the program's own entries.
std::optional<QString> fragmentTitle(QStringView line, const EntryMarks& marks)
{
    const QStringView trimmed = line.trimmed();
    if (marks.titleStart.trimmed().isEmpty() || !trimmed.startsWith(marks.titleStart))
        return std::nullopt;
    const QStringView rest = trimmed.mid(marks.titleStart.size());
    const qsizetype end = marks.titleEnd.isEmpty() ? -1 : rest.indexOf(marks.titleEnd);
    return plainTextOfLine(end < 0 ? rest : rest.left(end), HtmlState::Text);
}

// The tags that make a line a title when they open it: a heading, bold or strong text.
bool opensTitle(QStringView tags)
{
    static const QStringView names[] = {u"<h1", u"<h2", u"<h3",     u"<h4",
                                        u"<h5", u"<h6", u"<strong", u"<b"};
    for (QStringView name : names) {
        for (qsizetype at = tags.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
             at = tags.indexOf(name, at + 1, Qt::CaseInsensitive)) {
            const qsizetype end = at + name.size();
            if (end < tags.size() && (tags[end] == u'>' || tags[end].isSpace()))
                return true;
        }
    }
    return false;
}

} // namespace

EntryLine readEntryLine(QStringView line, LineContext start, const EntryMarks& marks)
{
    const document::HtmlLineText text = document::htmlLineText(line, start.html);
    const bool hasAddress = mentionsAddress(line);
    EntryLine read{std::nullopt,
                   {text.end, hasAddress ? inAddressAfter(line, start) : start.inAddress}};
    if (text.textStart < 0)
        return read;
    if (hasAddress ? inAddressAfter(line.left(text.textStart), start) : start.inAddress)
        return read; // a page's footer: "2026年12月7日 更新"
    if (marks.heading) {
        if (start.html == HtmlState::Text)
            read.date = namedHeadingDate(line, *marks.heading);
        return read;
    }
    read.date = handWrittenDate(line, text.textStart);
    if (!read.date && line.size() > marks.dateStart.size())
        read.date = programDate(line, start.html, marks.dateStart);
    return read;
}

std::optional<QString> titleOfLine(QStringView line, HtmlState start, const EntryMarks& marks)
{
    if (start == HtmlState::Text) {
        if (std::optional<QString> title = fragmentTitle(line, marks))
            return title;
    }
    const document::HtmlLineText text = document::htmlLineText(line, start);
    if (text.textStart < 0)
        return std::nullopt;
    if (!opensTitle(line.left(text.textStart)))
        return QString();
    // The title ends where its tag closes; "<P><B>花見</B>に行った。" is a paragraph.
    const qsizetype close = line.indexOf(u"</", text.textStart);
    if (close >= 0 && document::htmlLineText(line.mid(close), HtmlState::Text).textStart >= 0)
        return QString();
    return plainTextOfLine(close < 0 ? line : line.left(close), start);
}

// Each run of text starts in plain text and ends before the next "<", so the scan goes on
// from there in plain text.
QString plainTextOfLine(QStringView line, HtmlState start)
{
    constexpr qsizetype longest = 2000; // more than any title or first line shows
    line = line.left(longest);
    QString plain;
    HtmlState state = start;
    qsizetype i = 0;
    while (i < line.size()) {
        const document::HtmlLineText text = document::htmlLineText(line.mid(i), state);
        if (text.textStart < 0)
            break;
        const qsizetype from = i + text.textStart;
        qsizetype to = line.indexOf(u'<', from + 1);
        if (to < 0)
            to = line.size();
        plain += line.sliced(from, to - from);
        state = HtmlState::Text;
        i = to;
    }
    return plain.simplified();
}

std::optional<HeadingPattern> headingOfSample(QStringView sample)
{
    for (qsizetype at = 0; at < sample.size(); ++at) {
        if (digitOf(sample[at]) < 0 || (at > 0 && digitOf(sample[at - 1]) >= 0))
            continue;
        if (const std::optional<DateAt> found = readDateAt(sample, at))
            return HeadingPattern{sample.left(at).trimmed().toString(), found->style};
    }
    return std::nullopt;
}

std::optional<QDate> readTypedDate(QStringView text)
{
    const QStringView typed = text.trimmed();
    const std::optional<DateAt> found = readDateAt(typed, 0);
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

// The length of the longest run starting at each entry, found from the end by patience
// sorting; then the run is taken from the front, each time the earliest entry that can go on.
QList<bool> inDiaryOrder(const QList<QDate>& dates, bool newestFirst)
{
    // In the diary's order the keys do not go down.
    auto key = [&](qsizetype i) {
        return newestFirst ? -dates[i].toJulianDay() : dates[i].toJulianDay();
    };
    const qsizetype n = dates.size();
    QList<qint64> tails; // from the end: the largest key that starts a run of each length
    std::vector<qsizetype> runLength(static_cast<size_t>(n), 0);
    for (qsizetype i = n - 1; i >= 0; --i) {
        const auto at = std::upper_bound(tails.begin(), tails.end(), -key(i));
        runLength[size_t(i)] = (at - tails.begin()) + 1;
        if (at == tails.end())
            tails.append(-key(i));
        else
            *at = -key(i);
    }
    QList<bool> inOrder;
    qsizetype wanted = tails.size();
    qint64 last = std::numeric_limits<qint64>::min();
    for (qsizetype i = 0; i < n; ++i) {
        const bool taken = runLength[size_t(i)] == wanted && key(i) >= last;
        inOrder.append(taken);
        if (taken) {
            --wanted;
            last = key(i);
        }
    }
    return inOrder;
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
