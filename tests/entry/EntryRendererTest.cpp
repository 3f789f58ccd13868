#include "entry/EntryRenderer.h"
#include "entry/HtmlSettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

using entry::EntryPiece;
using entry::PieceKind;

HtmlSettings defaults(const QString& flags = u"00011"_s)
{
    HtmlSettings html;
    bool newProcess = false;
    entry::FillHtmlDefaults(html, newProcess);
    html.HtmlSetFlags = HtmlFlags(flags);
    return html;
}

// The entry of the worked example: 1999-03-27, a Saturday, fine weather, a title.
TodayEntry saturday()
{
    TodayEntry entry;
    entry.year = u"1999"_s;
    entry.month = u"3"_s;
    entry.day = u"27"_s;
    entry.weekdayText = u"(土)"_s;
    entry.weekdayItem = 6;
    entry.weatherText = u"晴れ"_s;
    entry.weatherItem = 0;
    entry.title = u"今日の題"_s;
    return entry;
}

// The writes run together, the two places the command fills in shown as markers.
QString joined(const QList<EntryPiece>& pieces)
{
    QString text;
    for (const EntryPiece& piece : pieces) {
        switch (piece.kind) {
        case PieceKind::Text: text += piece.text; break;
        case PieceKind::WeatherColour: text += u"[colour]"_s; break;
        case PieceKind::Body: text += u"[body]"_s; break;
        }
    }
    return text;
}

TEST(EntryRendererTest, WorkedExampleWritesEachPieceInOrder)
{
    const auto text = [](QString s) { return EntryPiece{PieceKind::Text, s}; };
    const QList<EntryPiece> expected = {text(u"<font color=\"#ff0000\"><b>"_s),
                                        text(u"1999"_s),
                                        text(u"年"_s),
                                        text(u"3"_s),
                                        text(u"月"_s),
                                        text(u"27"_s),
                                        text(u"日"_s),
                                        text(u"(土)"_s),
                                        text(u"</b></font>"_s),
                                        text(u" "_s),
                                        text(u"<font color=\"#ffccaa\"><b>"_s),
                                        text(u"晴れ"_s),
                                        text(u"</b></font>"_s),
                                        text(u"\r\n"_s),
                                        text(u"<BR><STRONG><font color=\"#008000\">"_s),
                                        text(u"今日の題"_s),
                                        text(u"</font></STRONG>"_s),
                                        text(u"\r\n"_s),
                                        text(u"<DIV STYLE=\"margin-left:20pt;\">"_s),
                                        text(u"\r\n"_s),
                                        EntryPiece{PieceKind::Body, {}},
                                        text(u"</DIV>"_s),
                                        text(u"\r\n"_s)};
    EXPECT_EQ(entry::renderEntry(saturday(), defaults()), expected);
}

// A row gives only the lines that differ from the worked example.
struct Variant {
    const char* name;
    QString flags;
    std::function<void(TodayEntry&)> change;
    std::optional<QString> date = {};    // the date line up to the weather
    std::optional<QString> weather = {}; // from the blank before the weather to the line end
    std::optional<QString> title = {};   // the title line
    bool rule = false;
};

TEST(EntryRendererTest, Variants)
{
    const auto none = [](TodayEntry&) {};
    const Variant variants[] = {
        {"RuleAfterEntry", u"00001"_s, none, {}, {}, {}, true},
        {"AutoBreaksAddNothingAroundTheBody", u"00010"_s, none},
        {"SlashDate", u"10011"_s, none, u"<font color=\"#ff0000\"><b>1999/3/27.(土)</b></font>"_s},
        {"EnglishWeekday", u"00111"_s, none,
         u"<font color=\"#ff0000\"><b>1999年3月27日Sat.</b></font>"_s},
        {"EnglishWithoutItemWritesTheBoxText", u"00111"_s,
         [](TodayEntry& e) { e.weekdayItem = -1, e.weekdayText = u"(x)"_s; },
         u"<font color=\"#ff0000\"><b>1999年3月27日(x)</b></font>"_s},
        {"EnglishWithBlankBoxWritesNothing", u"00111"_s,
         [](TodayEntry& e) { e.weekdayItem = -1, e.weekdayText.clear(); },
         u"<font color=\"#ff0000\"><b>1999年3月27日</b></font>"_s},
        {"TypedJapaneseWeekdayAsTyped", u"00011"_s,
         [](TodayEntry& e) { e.weekdayText = u"土曜"_s; },
         u"<font color=\"#ff0000\"><b>1999年3月27日土曜</b></font>"_s},
        {"NoWeekdayInEitherLanguage", u"01111"_s, none,
         u"<font color=\"#ff0000\"><b>1999年3月27日</b></font>"_s},
        {"FineAndCloudyInThreePieces",
         u"00011"_s,
         [](TodayEntry& e) { e.weatherItem = 4, e.weatherText = u"晴れ／くもり"_s; },
         {},
         u" <font color=\"#ffccaa\"><b>晴れ</b></font><font color=\"#cccccc\"><b>／</b></font>"
         u"<font color=\"#ccccff\"><b>くもり</b></font>\r\n"_s},
        {"FineAndRain",
         u"00011"_s,
         [](TodayEntry& e) { e.weatherItem = 5, e.weatherText = u"?"_s; },
         {},
         u" <font color=\"#ffccaa\"><b>晴れ</b></font><font color=\"#cccccc\"><b>／</b></font>"
         u"<font color=\"#aaccff\"><b>雨</b></font>\r\n"_s},
        {"CloudyAndRain",
         u"00011"_s,
         [](TodayEntry& e) { e.weatherItem = 6, e.weatherText = u"?"_s; },
         {},
         u" <font color=\"#ccccff\"><b>くもり</b></font><font color=\"#cccccc\"><b>／</b></font>"
         u"<font color=\"#aaccff\"><b>雨</b></font>\r\n"_s},
        {"RainAndSnowWordsComeFromTheItem",
         u"00011"_s,
         [](TodayEntry& e) { e.weatherItem = 7, e.weatherText = u"?"_s; },
         {},
         u" <font color=\"#aaccff\"><b>雨</b></font><font color=\"#cccccc\"><b>／</b></font>"
         u"<font color=\"#ccffff\"><b>雪</b></font>\r\n"_s},
        {"SnowIsSky5",
         u"00011"_s,
         [](TodayEntry& e) { e.weatherItem = 3, e.weatherText = u"雪"_s; },
         {},
         u" <font color=\"#ccffff\"><b>雪</b></font>\r\n"_s},
        {"NoWeatherNoBlank",
         u"00011"_s,
         [](TodayEntry& e) { e.weatherItem = -1, e.weatherText.clear(); },
         {},
         u"\r\n"_s},
        {"TypedWeatherAsksForAColour",
         u"00011"_s,
         [](TodayEntry& e) { e.weatherItem = -1, e.weatherText = u"霧 <&\">"_s; },
         {},
         u" [colour]霧 <&\"></b></font>\r\n"_s},
        {"WeatherOfBlanks",
         u"00011"_s,
         [](TodayEntry& e) { e.weatherItem = -1, e.weatherText = u"  "_s; },
         {},
         u" [colour]  </b></font>\r\n"_s},
        {"NoTitleLine", u"00011"_s, [](TodayEntry& e) { e.title.clear(); }, {}, {}, u""_s},
        {"TitleOfBlanksIsATitle",
         u"00011"_s,
         [](TodayEntry& e) { e.title = u"  "_s; },
         {},
         {},
         u"<BR><STRONG><font color=\"#008000\">  </font></STRONG>\r\n"_s},
        {"TypedTextGoesInUnchanged",
         u"00011"_s,
         [](TodayEntry& e) { e.year = u"<&>\t"_s, e.title = u"a&b<c>\"\t"_s; },
         u"<font color=\"#ff0000\"><b><&>\t年3月27日(土)</b></font>"_s,
         {},
         u"<BR><STRONG><font color=\"#008000\">a&b<c>\"\t</font></STRONG>\r\n"_s},
    };
    for (const Variant& v : variants) {
        TodayEntry fields = saturday();
        v.change(fields);
        const QString expected =
            v.date.value_or(u"<font color=\"#ff0000\"><b>1999年3月27日(土)</b></font>"_s)
            + v.weather.value_or(u" <font color=\"#ffccaa\"><b>晴れ</b></font>\r\n"_s)
            + v.title.value_or(
                u"<BR><STRONG><font color=\"#008000\">今日の題</font></STRONG>\r\n"_s)
            + u"<DIV STYLE=\"margin-left:20pt;\">\r\n[body]</DIV>\r\n"_s
            + (v.rule ? u"<HR>\r\n"_s : QString());
        EXPECT_EQ(joined(entry::renderEntry(fields, defaults(v.flags))), expected) << v.name;
    }
}

} // namespace
