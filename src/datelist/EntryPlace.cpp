#include "datelist/EntryPlace.h"

#include "datelist/EntryDates.h"

#include "document/HtmlTokens.h"

#include <algorithm>

namespace datelist {

namespace {

using document::HtmlState;

bool isRule(const QString& line)
{
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(u"<hr", Qt::CaseInsensitive) && trimmed.endsWith(u'>')
           && trimmed.count(u'<') == 1 && (trimmed.size() == 4 || !trimmed[3].isLetterOrNumber());
}

bool startsWithTag(const QString& line, std::initializer_list<QStringView> tags)
{
    const QString trimmed = line.trimmed();
    for (QStringView tag : tags) {
        if (trimmed.startsWith(tag, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// A line that starts the page's footer. After the last entry the end of a list or a block the
// entries stand in ends them too.
bool startsFooter(const QString& line, bool afterLast)
{
    return startsWithTag(line, {u"<address", u"</body", u"</html"})
           || (afterLast && startsWithTag(line, {u"</dl", u"</pre", u"</ul", u"</ol"}));
}

// A line of the diary seen in plain text, not inside a comment or a script.
struct TextLine {
    int number;
    QString text;
};

// The lines after an entry's date line up to `to`, those in plain text only.
QList<TextLine> textLines(int from, int to, const std::function<QString(int)>& lineAt)
{
    QList<TextLine> lines;
    HtmlState state = document::htmlLineEnd(lineAt(from), HtmlState::Text);
    for (int line = from + 1; line < to; ++line) {
        const QString text = lineAt(line);
        if (state == HtmlState::Text)
            lines.append({line, text});
        state = document::htmlLineEnd(text, state);
    }
    return lines;
}

bool hasRule(const QList<TextLine>& lines)
{
    return std::any_of(lines.begin(), lines.end(),
                       [](const TextLine& line) { return isRule(line.text); });
}

// The line after the end of an entry whose lines up to the next entry (or the end of the
// diary, for the last one) are `lines`, `to` after them: after its closing rule, else before a
// footer, else `to`. Before the next entry the closing rule is the last rule (a rule inside the
// body is not its end); after the last entry the first, since the footer may begin with a rule
// of its own. In a diary whose entries do not end with a rule, a rule after the last entry
// starts the footer.
int afterEntry(const QList<TextLine>& lines, int to, bool last, bool rulesClose)
{
    int rule = -1;
    for (const TextLine& line : lines) {
        if (startsFooter(line.text, last) || (last && !rulesClose && isRule(line.text)))
            return rule >= 0 ? rule + 1 : line.number;
        if (isRule(line.text)) {
            rule = line.number;
            if (last)
                return rule + 1;
        }
    }
    return rule >= 0 ? rule + 1 : to;
}

} // namespace

int placeLineForDate(const QList<EntryAt>& entries, QDate date, int lineCount,
                     const std::function<QString(int)>& lineAt)
{
    if (entries.isEmpty()) {
        for (int line = 0; line < lineCount; ++line) {
            if (startsWithTag(lineAt(line), {u"</body"}))
                return line;
        }
        return lineCount;
    }
    QList<QDate> dates;
    for (const EntryAt& entry : entries)
        dates.append(entry.date);
    const bool newestFirst = runsNewestFirst(dates);
    const QList<bool> inOrder = inDiaryOrder(dates, newestFirst);
    auto linesOf = [&](qsizetype entry) {
        const int to = entry + 1 < entries.size() ? entries[entry + 1].line : lineCount;
        return textLines(entries[entry].line, to, lineAt);
    };
    // Whether the entries end with a rule: most of the last twenty before the last do.
    const qsizetype first = std::max<qsizetype>(0, entries.size() - 21);
    qsizetype withRule = 0;
    for (qsizetype i = first; i + 1 < entries.size(); ++i)
        withRule += hasRule(linesOf(i)) ? 1 : 0;
    const bool rulesClose = entries.size() == 1 || withRule * 2 >= entries.size() - 1 - first;
    auto end = [&](qsizetype entry) {
        const bool last = entry + 1 == entries.size();
        return afterEntry(linesOf(entry), last ? lineCount : entries[entry + 1].line, last,
                          rulesClose);
    };
    qsizetype lastInOrder = -1;
    qsizetype lastAsOld = -1; // the last entry in order as old as the date or older
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!inOrder[i])
            continue;
        if (dates[i] <= date) {
            if (newestFirst)
                return entries[i].line;
            lastAsOld = i;
        }
        lastInOrder = i;
    }
    if (newestFirst)
        return end(lastInOrder);
    return lastAsOld < 0 ? entries[inOrder.indexOf(true)].line : end(lastAsOld);
}

} // namespace datelist
