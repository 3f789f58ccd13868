#include "entry/HtmlSettings.h"
#include "settings/SettingsTable.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <ostream>

using entry::HtmlSwitches;

namespace entry {
static void PrintTo(const HtmlSwitches& s, std::ostream* os)
{
    *os << "{kanjiDate " << s.kanjiDate << ", weekdayShown " << s.weekdayShown
        << ", japaneseWeekday " << s.japaneseWeekday << ", ruleAfterEntry " << s.ruleAfterEntry
        << ", autoBreaks " << s.autoBreaks << "}";
}
} // namespace entry

namespace {

constexpr bool on = true;
constexpr bool off = false;

struct FlagCase {
    const char* name;
    QString flags;
    HtmlSwitches rendering; // what an insertion does
    HtmlSwitches window;    // what the settings window shows
    QString okWrites;       // what OK writes when nothing was changed in the window
    QString stored;         // what the settings store writes and reads back
};

// Rendering takes the first choice only for "0"; the window shows positions 1 to 3 as the first
// choice unless they hold "1" and positions 4 and 5 as checked only for "0".
const FlagCase flagCases[] = {
    {"Empty", "", {off, off, off, off, off}, {on, on, on, off, off}, "00011", ""},
    {"TwoPositions", "01", {on, off, off, off, off}, {on, off, on, off, off}, "01011", "01"},
    {"Defaults", "00011", {on, on, on, off, off}, {on, on, on, off, off}, "00011", "00011"},
    {"TooLong", "0000011111", {on, on, on, on, on}, {on, on, on, on, on}, "00000", "00000"},
    {"Junk", "xyz", {off, off, off, off, off}, {on, on, on, off, off}, "00011", "xyz"},
    {"OneOnly", "1", {off, off, off, off, off}, {off, on, on, off, off}, "10011", "1"},
    {"AllSecondThenOn",
     "11100",
     {off, off, off, on, on},
     {off, off, off, on, on},
     "11100",
     "11100"},
};

class HtmlSettingsFlags : public testing::TestWithParam<FlagCase> {};

TEST_P(HtmlSettingsFlags, EachReaderReadsThePositionsItsOwnWay)
{
    const FlagCase& c = GetParam();
    const HtmlFlags flags(c.flags);
    EXPECT_EQ(entry::switchesForRendering(flags), c.rendering);
    EXPECT_EQ(entry::switchesForWindow(flags), c.window);

    // The per-position readers agree with the switches built from them.
    const bool renderingByPosition[] = {c.rendering.kanjiDate, c.rendering.weekdayShown,
                                        c.rendering.japaneseWeekday, c.rendering.ruleAfterEntry,
                                        c.rendering.autoBreaks};
    for (int position = 1; position <= HtmlFlags::count; ++position)
        EXPECT_EQ(flags.isZero(HtmlFlag(position)), renderingByPosition[position - 1])
            << "position " << position;
    EXPECT_EQ(!flags.isOne(DateStyleFlag), c.window.kanjiDate);
    EXPECT_EQ(!flags.isOne(WeekdayShownFlag), c.window.weekdayShown);
    EXPECT_EQ(!flags.isOne(WeekdayLanguageFlag), c.window.japaneseWeekday);

    // What OK writes back unchanged: always five characters.
    EXPECT_EQ(entry::flagsFromSwitches(entry::switchesForWindow(flags)).text(), c.okWrites);
    EXPECT_EQ(flags.text(), c.stored);
    EXPECT_EQ(HtmlFlags(flags.text()).text(), c.stored);
}

INSTANTIATE_TEST_SUITE_P(HtmlSettings, HtmlSettingsFlags, testing::ValuesIn(flagCases),
                         [](const testing::TestParamInfo<FlagCase>& info) {
                             return std::string(info.param.name);
                         });

// The defaults as the writer sees them in a fresh diary, byte for byte.
void expectDefaultFragments(const HtmlSettings& html)
{
    EXPECT_EQ(html.HtmlDate1, u"<font color=\"#ff0000\"><b>");
    EXPECT_EQ(html.HtmlDate2, u"</b></font>");
    EXPECT_EQ(html.HtmlSky1, u"<font color=\"#ffccaa\"><b>");
    EXPECT_EQ(html.HtmlSky2, u"<font color=\"#ccccff\"><b>");
    EXPECT_EQ(html.HtmlSky3, u"<font color=\"#aaccff\"><b>");
    EXPECT_EQ(html.HtmlSky5, u"<font color=\"#ccffff\"><b>");
    EXPECT_EQ(html.HtmlSky6, u"<font color=\"#cccccc\"><b>");
    EXPECT_EQ(html.HtmlSky4, u"</b></font>");
    EXPECT_EQ(html.HtmlTitle1, u"<BR><STRONG><font color=\"#008000\">");
    EXPECT_EQ(html.HtmlTitle2, u"</font></STRONG>");
    EXPECT_EQ(html.HtmlMain1, u"<DIV STYLE=\"margin-left:20pt;\">");
    EXPECT_EQ(html.HtmlMain2, u"</DIV>");
}

TEST(HtmlSettingsDefaults, FillGivesEveryEmptyFragmentItsDefault)
{
    HtmlSettings html;
    html.HtmlSetFlags = HtmlFlags(QStringLiteral("xyz"));
    bool newProcessFlag = false;
    entry::FillHtmlDefaults(html, newProcessFlag);
    expectDefaultFragments(html);
    EXPECT_EQ(html.HtmlSetFlags.text(), u"00011");
    EXPECT_TRUE(newProcessFlag);
}

TEST(HtmlSettingsDefaults, FillKeepsFragmentsWithTextButAlwaysResetsTheSwitches)
{
    HtmlSettings html;
    html.HtmlSky4 = QStringLiteral(" "); // a blank is text, not an empty fragment
    html.HtmlTitle1 = QStringLiteral("<h2>");
    html.HtmlSetFlags = HtmlFlags(QStringLiteral("11100"));
    bool newProcessFlag = false;
    entry::FillHtmlDefaults(html, newProcessFlag);
    EXPECT_EQ(html.HtmlSky4, u" ");
    EXPECT_EQ(html.HtmlTitle1, u"<h2>");
    EXPECT_EQ(html.HtmlSky6, u"<font color=\"#cccccc\"><b>");
    EXPECT_EQ(html.HtmlMain2, u"</DIV>");
    EXPECT_EQ(html.HtmlSetFlags.text(), u"00011");
    EXPECT_TRUE(newProcessFlag);
}

TEST(HtmlSettingsDefaults, FragmentTableNamesEachFieldInStoreOrder)
{
    const QStringList storeOrder = {
        QStringLiteral("HtmlDate1"), QStringLiteral("HtmlDate2"),  QStringLiteral("HtmlSky1"),
        QStringLiteral("HtmlSky2"),  QStringLiteral("HtmlSky3"),   QStringLiteral("HtmlSky5"),
        QStringLiteral("HtmlSky6"),  QStringLiteral("HtmlSky4"),   QStringLiteral("HtmlMain1"),
        QStringLiteral("HtmlMain2"), QStringLiteral("HtmlTitle1"), QStringLiteral("HtmlTitle2")};
    HtmlSettings html;
    QStringList names;
    for (const StoredValue& fragment : htmlFragmentValues()) {
        names.append(fragment.name.toString());
        html.*fragment.fragment = fragment.name.toString();
    }
    EXPECT_EQ(names, storeOrder);
    // Each name points at the field of that name; the weather ones are the easy ones to mix up.
    EXPECT_EQ(html.HtmlSky4, u"HtmlSky4");
    EXPECT_EQ(html.HtmlSky5, u"HtmlSky5");
    EXPECT_EQ(html.HtmlSky6, u"HtmlSky6");
    EXPECT_EQ(html.HtmlTitle1, u"HtmlTitle1");
    EXPECT_EQ(html.HtmlMain1, u"HtmlMain1");
}

} // namespace
