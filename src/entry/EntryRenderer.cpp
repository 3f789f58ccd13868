#include "entry/EntryRenderer.h"

#include <array>

namespace entry {

namespace {

const QString crlf = QStringLiteral("\r\n");

void write(QList<EntryPiece>& pieces, const QString& text)
{
    pieces.append({PieceKind::Text, text});
}

// The fragment put before each single weather word, by weather item 0 to 3.
const QString& singleWeatherFragment(const HtmlSettings& html, int item)
{
    switch (item) {
    case 0: return html.HtmlSky1;
    case 1: return html.HtmlSky2;
    case 2: return html.HtmlSky3;
    default: return html.HtmlSky5;
    }
}

// A two-weather item (4 to 7) as its two single weathers (0 to 3).
std::array<int, 2> weatherPair(int item)
{
    switch (item) {
    case 4: return {0, 1};
    case 5: return {0, 2};
    case 6: return {1, 2};
    default: return {2, 3};
    }
}

QString weatherWord(int single)
{
    static const std::array<QString, 4> words = {QStringLiteral("晴れ"), QStringLiteral("くもり"),
                                                 QStringLiteral("雨"), QStringLiteral("雪")};
    return words[static_cast<size_t>(single)];
}

void writeWeather(QList<EntryPiece>& pieces, const TodayEntry& entry, const HtmlSettings& html)
{
    write(pieces, QStringLiteral(" "));
    const int item = entry.weatherItem;
    if (item >= 0 && item <= 3) {
        write(pieces, singleWeatherFragment(html, item));
        write(pieces, entry.weatherText);
        write(pieces, html.HtmlSky4);
    } else if (item >= 4 && item <= 7) {
        // The words come from the item, not from the box.
        const auto [first, second] = weatherPair(item);
        write(pieces, singleWeatherFragment(html, first) + weatherWord(first) + html.HtmlSky4);
        write(pieces, html.HtmlSky6 + QStringLiteral("／") + html.HtmlSky4);
        write(pieces, singleWeatherFragment(html, second) + weatherWord(second) + html.HtmlSky4);
    } else {
        pieces.append({PieceKind::WeatherColour, {}});
        write(pieces, entry.weatherText);
        write(pieces, html.HtmlSky4);
    }
}

} // namespace

QString englishWeekday(int item)
{
    static const std::array<QString, 7> names = {QStringLiteral("Sun."), QStringLiteral("Mon."),
                                                 QStringLiteral("Tue."), QStringLiteral("Wed."),
                                                 QStringLiteral("Thu."), QStringLiteral("Fri."),
                                                 QStringLiteral("Sat.")};
    return item >= 0 && item <= 6 ? names[static_cast<size_t>(item)] : QString();
}

QList<EntryPiece> renderEntry(const TodayEntry& entry, const HtmlSettings& html)
{
    const HtmlSwitches switches = switchesForRendering(html.HtmlSetFlags);
    QList<EntryPiece> pieces;

    write(pieces, html.HtmlDate1);
    write(pieces, entry.year);
    write(pieces, switches.kanjiDate ? QStringLiteral("年") : QStringLiteral("/"));
    write(pieces, entry.month);
    write(pieces, switches.kanjiDate ? QStringLiteral("月") : QStringLiteral("/"));
    write(pieces, entry.day);
    write(pieces, switches.kanjiDate ? QStringLiteral("日") : QStringLiteral("."));
    if (switches.weekdayShown) {
        const QString english = englishWeekday(entry.weekdayItem);
        // Without an item the English weekday falls back to the box's text, as Japanese does.
        write(pieces, switches.japaneseWeekday || english.isEmpty() ? entry.weekdayText : english);
    }
    write(pieces, html.HtmlDate2);
    if (!entry.weatherText.isEmpty())
        writeWeather(pieces, entry, html);
    write(pieces, crlf); // ends the date line, with or without a weather

    if (!entry.title.isEmpty()) {
        write(pieces, html.HtmlTitle1);
        write(pieces, entry.title);
        write(pieces, html.HtmlTitle2);
        write(pieces, crlf);
    }

    write(pieces, html.HtmlMain1);
    write(pieces, crlf);
    pieces.append({PieceKind::Body, {}});
    write(pieces, html.HtmlMain2);
    write(pieces, crlf);
    if (switches.ruleAfterEntry)
        write(pieces, QStringLiteral("<HR>\r\n"));
    return pieces;
}

} // namespace entry
