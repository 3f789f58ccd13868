#include "export/ExportText.h"

namespace exports {

namespace {

const QString crlf = QStringLiteral("\r\n");

QString joinLines(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + crlf;
    return text;
}

// Zeros in front of the field up to `width` bytes; a longer field stays as it is.
QString zeroPadded(const QString& field, qsizetype width)
{
    const qsizetype length = text::cp932Length(field);
    return length >= width ? field : QString(width - length, u'0') + field;
}

} // namespace

QStringList textLines(const QString& crlfText)
{
    if (crlfText.isEmpty())
        return {};
    QStringList lines = crlfText.split(crlf);
    if (crlfText.endsWith(crlf))
        lines.removeLast();
    return lines;
}

QString BuildTextExport(const TodayEntry& entry)
{
    QStringList lines = textLines(entry.body);
    if (!entry.title.isEmpty())
        lines.prepend(u'[' + entry.title + u']');
    lines.prepend(QString());
    lines.prepend(entry.year + QStringLiteral("年") + entry.month + QStringLiteral("月") + entry.day
                  + QStringLiteral("日") + entry.weekdayText + u' ' + entry.weatherText);
    return joinLines(lines);
}

QString BuildHnfText(const TodayEntry& entry)
{
    QStringList lines = textLines(entry.body);
    lines.prepend(QStringLiteral("NEW ") + entry.title);
    lines.prepend(QString());
    lines.prepend(QStringLiteral("OK"));
    if (!entry.weatherText.isEmpty())
        lines.prepend(QStringLiteral("TENKI ") + entry.weatherText);
    lines.append(QStringLiteral("~"));
    return joinLines(lines);
}

QString BuildExportFileStem(const QString& year, const QString& month, const QString& day)
{
    // Only a one-byte month or day gets its zero: an empty one adds nothing.
    auto twoDigits = [](const QString& field) {
        return text::cp932Length(field) == 1 ? zeroPadded(field, 2) : field;
    };
    return u'd' + zeroPadded(year, 4) + twoDigits(month) + twoDigits(day);
}

text::Encoded encodeExportText(QString text, text::LineEnd lineEnd)
{
    text.replace(QChar::Nbsp, u' ');
    return text::encodeCp932(text::withLineEnd(text, lineEnd));
}

QString unencodableTextRefusal(const QList<char32_t>& characters)
{
    QString list;
    for (char32_t c : characters) {
        if (!list.isEmpty())
            list += u'\n';
        list += QString::fromUcs4(&c, 1)
                + QStringLiteral("  (U+%1)").arg(quint32(c), 4, 16, QLatin1Char('0')).toUpper();
    }
    return QStringLiteral("次の文字は Shift-JIS で表せないため、テキスト形式では保存できません。\n"
                          "これらの文字を別の文字に置き換えてから、もう一度保存して下さい。\n\n")
           + list;
}

} // namespace exports
