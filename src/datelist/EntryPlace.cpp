#include "datelist/EntryPlace.h"

#include "datelist/EntryDates.h"

#include "document/HtmlTokens.h"

#include <algorithm>

namespace datelist {

namespace {

using document::HtmlState;

// Whether a line that starts in `state` goes on with a tag begun on a line above.
bool insideTag(HtmlState state)
{
    return state != HtmlState::Text && state != HtmlState::Comment
           && state != HtmlState::ScriptContent && state != HtmlState::StyleContent;
}

// A line of the diary as the colouring reads it: what it starts in, whether it has text, and the
// names of the tags that open on it before its text, in lower case ("hr", "/address").
struct MarkupLine {
    int number;
    HtmlState start;
    bool hasText;
    QStringList tags;
};

// The lines from `from` (read as starting in plain text) up to `to`.
QList<MarkupLine> markupLines(int from, int to, const std::function<QString(int)>& lineAt)
{
    QList<MarkupLine> lines;
    HtmlState state = HtmlState::Text;
    for (int number = from; number < to; ++number) {
        const QString text = lineAt(number);
        const document::HtmlLine html = document::tokenizeHtmlLine(text, state);
        const int textStart = document::htmlLineText(text, state).textStart;
        MarkupLine line{number, state, textStart >= 0, {}};
        for (const document::HtmlToken& token : html.tokens) {
            if (textStart >= 0 && token.start >= textStart)
                break;
            if (token.kind == document::HtmlTokenKind::Tag && text[token.start] == u'<')
                line.tags.append(text.mid(token.start + 1, token.length - 1).toLower());
        }
        lines.append(line);
        state = html.end;
    }
    return lines;
}

// A rule (<HR>) alone on its line, whatever its attributes and however many lines it takes.
bool isRule(const MarkupLine& line)
{
    return line.start == HtmlState::Text && !line.hasText && !line.tags.isEmpty()
           && std::all_of(line.tags.begin(), line.tags.end(),
                          [](const QString& tag) { return tag == u"hr"; });
}

// A line that starts the page's footer: an <ADDRESS>, </BODY> or </HTML> before its text, with
// nothing but opening tags before it. After the last entry the end of a list or a block the
// entries stand in ends them too.
bool startsFooter(const MarkupLine& line, bool afterLast)
{
    if (line.start == HtmlState::Comment)
        return false;
    for (const QString& tag : line.tags) {
        if (tag == u"address" || tag == u"/body" || tag == u"/html")
            return true;
        if (afterLast && (tag == u"/dl" || tag == u"/pre" || tag == u"/ul" || tag == u"/ol"))
            return true;
        if (tag.startsWith(u'/'))
            return false;
    }
    return false;
}

// Whether a tag is one that may open a date heading on a line of its own before the date
// ("<H3>" on one line, the date on the next): a heading, a paragraph, an anchor or inline
// emphasis; not a block or a list that may hold all the entries.
bool opensHeading(const QString& tag)
{
    static const QStringView wrappers[] = {u"h1",   u"h2",   u"h3", u"h4",  u"h5",
                                           u"h6",   u"p",    u"a",  u"b",   u"strong",
                                           u"font", u"span", u"dt", u"big", u"em"};
    return std::find(std::begin(wrappers), std::end(wrappers), tag) != std::end(wrappers);
}

// The first of the lines from `at` up to a line that does not go on with a tag begun above.
qsizetype tagBegins(const QList<MarkupLine>& lines, qsizetype at)
{
    while (at > 0 && insideTag(lines[at].start))
        --at;
    return at;
}

// The line an entry's heading begins on, the entry's lines from the one before it to its date
// line being `lines`: the date line, or above it the tag the date line goes on with, and the
// lines without text above that hold only tags that open a heading.
int headingStart(const QList<MarkupLine>& lines)
{
    qsizetype at = tagBegins(lines, lines.size() - 1);
    while (at > 0) {
        const qsizetype above = tagBegins(lines, at - 1);
        for (qsizetype i = above; i < at; ++i) {
            const MarkupLine& line = lines[i];
            const bool inMarkup = line.start == HtmlState::Text || insideTag(line.start);
            if (!inMarkup || line.hasText
                || !std::all_of(line.tags.begin(), line.tags.end(), opensHeading))
                return lines[at].number;
        }
        if (lines[above].tags.isEmpty())
            break; // a blank line
        at = above;
    }
    return lines[at].number;
}

// The line after a rule at `at` and the rest of its tag.
int afterRule(const QList<MarkupLine>& lines, qsizetype at, int to)
{
    for (++at; at < lines.size(); ++at) {
        if (!insideTag(lines[at].start))
            return lines[at].number;
    }
    return to;
}

bool hasRule(const QList<MarkupLine>& lines)
{
    return std::any_of(lines.begin(), lines.end(), isRule);
}

// The line after the end of an entry whose lines from its date line up to the next entry (or
// the end of the diary, for the last one) are `lines`, `to` after them: after its closing
// rule, else before a footer, else `to`. Before the next entry the closing rule is the last
// rule (a rule inside the body is not its end); after the last entry the first, since the
// footer may begin with a rule of its own. In a diary whose entries do not end with a rule, a
// rule after the last entry starts the footer.
int afterEntry(const QList<MarkupLine>& lines, int to, bool last, bool rulesClose)
{
    int afterLastRule = -1;
    for (qsizetype at = 1; at < lines.size(); ++at) {
        if (startsFooter(lines[at], last) || (last && !rulesClose && isRule(lines[at])))
            return afterLastRule >= 0 ? afterLastRule : lines[tagBegins(lines, at)].number;
        if (isRule(lines[at])) {
            afterLastRule = afterRule(lines, at, to);
            if (last)
                return afterLastRule;
        }
    }
    return afterLastRule >= 0 ? afterLastRule : to;
}

} // namespace

int placeLineForDate(const QList<EntryAt>& entries, QDate date, int lineCount,
                     const std::function<QString(int)>& lineAt)
{
    if (entries.isEmpty()) {
        for (const MarkupLine& line : markupLines(0, lineCount, lineAt)) {
            if (line.start != HtmlState::Comment && line.tags.contains(QStringLiteral("/body")))
                return line.number;
        }
        return lineCount;
    }
    QList<QDate> dates;
    for (const EntryAt& entry : entries)
        dates.append(entry.date);
    const bool newestFirst = runsNewestFirst(dates);
    const QList<bool> inOrder = inDiaryOrder(dates, newestFirst);
    auto start = [&](qsizetype entry) {
        const int from = entry > 0 ? entries[entry - 1].line : 0;
        return headingStart(markupLines(from, entries[entry].line + 1, lineAt));
    };
    auto linesOf = [&](qsizetype entry) {
        const int to = entry + 1 < entries.size() ? start(entry + 1) : lineCount;
        return markupLines(entries[entry].line, to, lineAt);
    };
    // Whether the entries end with a rule: most of the last twenty before the last do.
    const qsizetype first = std::max<qsizetype>(0, entries.size() - 21);
    qsizetype withRule = 0;
    for (qsizetype i = first; i + 1 < entries.size(); ++i)
        withRule += hasRule(linesOf(i)) ? 1 : 0;
    const bool rulesClose = entries.size() == 1 || withRule * 2 >= entries.size() - 1 - first;
    auto end = [&](qsizetype entry) {
        const bool last = entry + 1 == entries.size();
        return afterEntry(linesOf(entry), last ? lineCount : start(entry + 1), last, rulesClose);
    };
    qsizetype lastInOrder = -1;
    qsizetype lastAsOld = -1; // the last entry in order as old as the date or older
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!inOrder[i])
            continue;
        if (dates[i] <= date) {
            if (newestFirst)
                return start(i);
            lastAsOld = i;
        }
        lastInOrder = i;
    }
    if (newestFirst)
        return end(lastInOrder);
    return lastAsOld < 0 ? start(inOrder.indexOf(true)) : end(lastAsOld);
}

} // namespace datelist
