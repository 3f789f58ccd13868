#include "export/ExportText.h"
#include "text/Cp932.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The worked example: 2001-05-03, a Thursday, fine weather, a title and two body lines.
TodayEntry example()
{
    TodayEntry entry;
    entry.year = u"2001"_s;
    entry.month = u"5"_s;
    entry.day = u"3"_s;
    entry.weekdayText = u"(木)"_s;
    entry.weatherText = u"晴れ"_s;
    entry.title = u"散歩"_s;
    entry.body = u"今日は晴れ。\r\n公園へ行った。"_s;
    return entry;
}

QByteArray bytesOf(const QString& text)
{
    return text::encodeCp932(text).bytes;
}

TEST(ExportText, TextWorkedExampleIsByteExact)
{
    const QByteArray expected = QByteArray::fromHex(
        "32303031944e358c8e3393fa2896d8292090b082ea0d0a" // 2001年5月3日(木) 晴れ
        "0d0a"                                           // (empty)
        "5b8e5595e05d0d0a"                               // [散歩]
        "8da193fa82cd90b082ea81420d0a"                   // 今日は晴れ。
        "8cf6898082d68d7382c182bd81420d0a");             // 公園へ行った。
    EXPECT_EQ(bytesOf(exports::BuildTextExport(example())), expected);
    EXPECT_EQ(exports::BuildExportFileStem(u"2001"_s, u"5"_s, u"3"_s), u"d20010503"_s);
}

TEST(ExportText, HnfWorkedExampleIsByteExact)
{
    const QByteArray expected =
        QByteArray::fromHex("54454e4b492090b082ea0d0a"         // TENKI 晴れ
                            "4f4b0d0a0d0a"                     // OK, (empty)
                            "4e4557208e5595e00d0a"             // NEW 散歩
                            "8da193fa82cd90b082ea81420d0a"     // 今日は晴れ。
                            "8cf6898082d68d7382c182bd81420d0a" // 公園へ行った。
                            "7e0d0a");                         // ~
    EXPECT_EQ(bytesOf(exports::BuildHnfText(example())), expected);
}

struct ExportCase {
    const char* name;
    TodayEntry entry;
    QString text; // the plain-text export
    QString hnf;  // the entry file
};

class ExportCases : public testing::TestWithParam<ExportCase> {};

TEST_P(ExportCases, ComposeTheLinesAsTheEntryHasThem)
{
    const ExportCase& c = GetParam();
    EXPECT_EQ(exports::BuildTextExport(c.entry), c.text);
    EXPECT_EQ(exports::BuildHnfText(c.entry), c.hnf);
}

TodayEntry with(void (*change)(TodayEntry&))
{
    TodayEntry entry = example();
    change(entry);
    return entry;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ExportCases,
    testing::Values(
        ExportCase{"NoTitle", with([](TodayEntry& e) { e.title.clear(); }),
                   u"2001年5月3日(木) 晴れ\r\n\r\n今日は晴れ。\r\n公園へ行った。\r\n"_s,
                   u"TENKI 晴れ\r\nOK\r\n\r\nNEW \r\n今日は晴れ。\r\n公園へ行った。\r\n~\r\n"_s},
        ExportCase{"NoWeather", with([](TodayEntry& e) { e.weatherText.clear(); }),
                   u"2001年5月3日(木) \r\n\r\n[散歩]\r\n今日は晴れ。\r\n公園へ行った。\r\n"_s,
                   u"OK\r\n\r\nNEW 散歩\r\n今日は晴れ。\r\n公園へ行った。\r\n~\r\n"_s},
        ExportCase{"DateThatDoesNotExist", with([](TodayEntry& e) {
                       e.month = u"2"_s;
                       e.day = u"30"_s;
                       e.weekdayText.clear();
                       e.title.clear();
                       e.body.clear();
                   }),
                   u"2001年2月30日 晴れ\r\n\r\n"_s, u"TENKI 晴れ\r\nOK\r\n\r\nNEW \r\n~\r\n"_s},
        ExportCase{"EmptyBody", with([](TodayEntry& e) { e.body.clear(); }),
                   u"2001年5月3日(木) 晴れ\r\n\r\n[散歩]\r\n"_s,
                   u"TENKI 晴れ\r\nOK\r\n\r\nNEW 散歩\r\n~\r\n"_s},
        ExportCase{"BodyEndingWithALineBreak",
                   with([](TodayEntry& e) { e.body = u"一行目\r\n"_s; }),
                   u"2001年5月3日(木) 晴れ\r\n\r\n[散歩]\r\n一行目\r\n"_s,
                   u"TENKI 晴れ\r\nOK\r\n\r\nNEW 散歩\r\n一行目\r\n~\r\n"_s},
        ExportCase{"BodyOfEmptyLines", with([](TodayEntry& e) { e.body = u"\r\n\r\nx\r\n\r\n"_s; }),
                   u"2001年5月3日(木) 晴れ\r\n\r\n[散歩]\r\n\r\n\r\nx\r\n\r\n"_s,
                   u"TENKI 晴れ\r\nOK\r\n\r\nNEW 散歩\r\n\r\n\r\nx\r\n\r\n~\r\n"_s},
        ExportCase{"TypedValuesAsTheyStand", with([](TodayEntry& e) {
                       e.year = u"01"_s;
                       e.month = u"05"_s;
                       e.weatherText = u" 霧雨 "_s;
                       e.title = u"  散歩 "_s;
                       e.body = u"<B>x</B>"_s;
                   }),
                   u"01年05月3日(木)  霧雨 \r\n\r\n[  散歩 ]\r\n<B>x</B>\r\n"_s,
                   u"TENKI  霧雨 \r\nOK\r\n\r\nNEW   散歩 \r\n<B>x</B>\r\n~\r\n"_s}),
    [](const testing::TestParamInfo<ExportCase>& info) { return info.param.name; });

TEST(ExportText, NoBreakSpaceIsWrittenAsABlank)
{
    const struct {
        const char* name;
        QString text;
        QByteArray bytes;
        QList<char32_t> unencodable;
    } cases[] = {
        {"between words", u"a\u00A0b"_s, "a b", {}},
        {"runs and line ends", u"\u00A0\u00A0x\u00A0\r\n\u00A0"_s, "  x \r\n ", {}},
        {"beside Japanese", u"晴れ\u00A0雨"_s, QByteArray::fromHex("90b082ea20894a"), {}},
        {"other characters are still listed",
         u"\u00A0😀\u202F"_s,
         " &#128512;&#8239;",
         {0x1F600, 0x202F}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const text::Encoded encoded = exports::encodeExportText(c.text);
        EXPECT_EQ(encoded.bytes, c.bytes);
        EXPECT_EQ(encoded.unencodable, c.unencodable);
    }
}

TEST(ExportText, FileStemPadsByBytes)
{
    const struct {
        QString year, month, day, stem;
    } cases[] = {
        {u"2001"_s, u"5"_s, u"3"_s, u"d20010503"_s},
        {u"99"_s, u"12"_s, u"31"_s, u"d00991231"_s},
        {u""_s, u"5"_s, u"3"_s, u"d00000503"_s},
        {u"7"_s, u"1"_s, u"1"_s, u"d00070101"_s},
        {u"200"_s, u"10"_s, u"09"_s, u"d02001009"_s},
        {u"12345"_s, u"5"_s, u"3"_s, u"d123450503"_s},
        {u"2001"_s, u""_s, u"3"_s, u"d200103"_s}, // an empty month adds nothing
        {u"2001"_s, u"5"_s, u""_s, u"d200105"_s},
        {u"2001"_s, u"123"_s, u"3"_s, u"d200112303"_s},
        {u"２"_s, u"５"_s, u"3"_s, u"d00２５03"_s}, // a full-width digit is two bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(exports::BuildExportFileStem(c.year, c.month, c.day), c.stem)
            << c.year.toStdString() << "/" << c.month.toStdString() << "/" << c.day.toStdString();
}

} // namespace
