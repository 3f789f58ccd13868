#include "tags/TagTexts.h"

#include <gtest/gtest.h>

namespace {

using tags::ImageAlign;

TEST(TagTexts, LineBreakAndRuleDependOnTheTabOnlyWhereTheyShould)
{
    EXPECT_EQ(tags::lineBreakTag(Page::Today), QStringLiteral("<BR>\r\n"));
    EXPECT_EQ(tags::lineBreakTag(Page::Diary), QStringLiteral("<BR>"));
    EXPECT_EQ(tags::horizontalRuleTag(), QStringLiteral("\r\n<HR>\r\n"));
}

TEST(TagTexts, LinkTagTakesEveryValueAsTyped)
{
    struct Case {
        const char* name;
        QString url, text;
        bool newWindow;
        QString expected;
    };
    const Case cases[] = {
        {"plain", u"http://example.jp/"_qs, u"日記"_qs, false,
         u"<A HREF=\"http://example.jp/\">日記</A>"_qs},
        {"new window", u"a.htm"_qs, u"前"_qs, true, u"<A HREF=\"a.htm\" TARGET=\"top\">前</A>"_qs},
        {"empty name gives the url twice", u"b.htm"_qs, QString(), true,
         u"<A HREF=\"b.htm\" TARGET=\"top\">b.htm</A>"_qs},
        {"quotes and brackets unchanged", u"x\"<y>"_qs, u"<i>\"</i>"_qs, false,
         u"<A HREF=\"x\"<y>\"><i>\"</i></A>"_qs},
        {"blanks only count as a target", u"  "_qs, u" "_qs, false, u"<A HREF=\"  \"> </A>"_qs},
        {"line ends of the name kept", u"c"_qs, u"一\r\n二"_qs, false,
         u"<A HREF=\"c\">一\r\n二</A>"_qs},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tags::linkTag(c.url, c.text, c.newWindow), c.expected) << c.name;

    const QString longUrl(10000, u'あ');
    EXPECT_EQ(tags::linkTag(longUrl, QString(), false),
              u"<A HREF=\""_qs + longUrl + u"\">"_qs + longUrl + u"</A>"_qs);
}

TEST(TagTexts, ImageAttributesComeInTheirFixedOrder)
{
    struct Case {
        const char* name;
        tags::ImageFields fields;
        QString expected;
    };
    const Case cases[] = {
        {"name only", {u"a.gif"_qs, {}, {}, {}, ImageAlign::None}, u"<IMG SRC=\"a.gif\">"_qs},
        {"everything, right",
         {u"Pic 1.JPG"_qs, u"120"_qs, u"160"_qs, u"猫"_qs, ImageAlign::Right},
         u"<IMG SRC=\"Pic 1.JPG\" WIDTH=\"160\" HEIGHT=\"120\" ALT=\"猫\" ALIGN=\"right\">"_qs},
        {"height without width",
         {u"b.png"_qs, u"40"_qs, {}, {}, ImageAlign::Left},
         u"<IMG SRC=\"b.png\" HEIGHT=\"40\" ALIGN=\"left\">"_qs},
        {"sizes as typed",
         {u"c"_qs, u" "_qs, u"abc"_qs, u"\"<>"_qs, ImageAlign::None},
         u"<IMG SRC=\"c\" WIDTH=\"abc\" HEIGHT=\" \" ALT=\"\"<>\">"_qs},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tags::imageTag(c.fields), c.expected) << c.name;
}

TEST(TagTexts, AnyTwoColoursMixTheSameWhicheverComesFirst)
{
    EXPECT_EQ(tags::colourValue(tags::Red, tags::Blue), QStringLiteral("#ff00ff"));
    EXPECT_EQ(tags::colourValue(tags::Yellow, tags::Blue), QStringLiteral("#00ffff"));
    EXPECT_EQ(tags::colourValue(tags::White, tags::Black), QStringLiteral("#cccccc"));
    EXPECT_EQ(tags::colourValue(tags::Green, tags::Green), QStringLiteral("#008000"));
    for (int a = 0; a < tags::ColourCount; ++a) {
        for (int b = 0; b < tags::ColourCount; ++b) {
            const auto first = static_cast<tags::Colour>(a);
            const auto second = static_cast<tags::Colour>(b);
            const QString value = tags::colourValue(first, second);
            EXPECT_EQ(value, tags::colourValue(second, first)) << a << b;
            EXPECT_EQ(value.size(), 7) << a << b;
        }
    }
}

tags::DecorationButtons withColours(std::initializer_list<tags::Colour> down)
{
    tags::DecorationButtons b;
    for (tags::Colour c : down)
        b.colours[c] = true;
    return b;
}

TEST(TagTexts, DecorationBuildsTagsPreviewAndKeptColours)
{
    tags::DecorationButtons all = withColours({tags::Red, tags::Blue});
    all.bold = all.italic = all.underline = all.strike = all.big = all.strong = true;
    tags::DecorationButtons boldSmall = withColours({tags::Red, tags::Blue});
    boldSmall.bold = boldSmall.small = true;
    tags::DecorationButtons strong;
    strong.strong = true;
    tags::DecorationButtons strongBold;
    strongBold.strong = strongBold.bold = true;
    tags::DecorationButtons italicUnderline;
    italicUnderline.italic = italicUnderline.underline = true;

    struct Case {
        const char* name;
        tags::DecorationButtons buttons;
        QString opening, closing;
        tags::ColourButtons kept;
        bool bold, strongNote, colourNote;
        int pointSize;
    };
    const Case cases[] = {
        {"nothing", {}, {}, {}, {}, false, false, false, 16},
        {"bold, small, red and blue",
         boldSmall,
         u"<B><SMALL><FONT COLOR=\"#ff00ff\">"_qs,
         u"</FONT></SMALL></B>"_qs,
         {true, false, true, false, false, false},
         true,
         false,
         true,
         12},
        {"red, yellow and blue keep red and yellow",
         withColours({tags::Red, tags::Yellow, tags::Blue}),
         u"<FONT COLOR=\"#ffcc00\">"_qs,
         u"</FONT>"_qs,
         {true, true, false, false, false, false},
         false,
         false,
         true,
         16},
        {"yellow, blue and green keep yellow and blue",
         withColours({tags::Yellow, tags::Blue, tags::Green}),
         u"<FONT COLOR=\"#00ffff\">"_qs,
         u"</FONT>"_qs,
         {false, true, true, false, false, false},
         false,
         false,
         true,
         16},
        {"black alone",
         withColours({tags::Black}),
         u"<FONT COLOR=\"#000000\">"_qs,
         u"</FONT>"_qs,
         {false, false, false, false, false, true},
         false,
         false,
         true,
         16},
        {"strong alone shows bold without the note",
         strong,
         u"<STRONG>"_qs,
         u"</STRONG>"_qs,
         {},
         true,
         false,
         false,
         16},
        {"strong with bold shows the note",
         strongBold,
         u"<B><STRONG>"_qs,
         u"</STRONG></B>"_qs,
         {},
         true,
         true,
         false,
         16},
        {"italic and underline",
         italicUnderline,
         u"<I><U>"_qs,
         u"</U></I>"_qs,
         {},
         false,
         false,
         false,
         16},
        {"every style and two colours",
         all,
         u"<B><I><U><STRIKE><BIG><STRONG><FONT COLOR=\"#ff00ff\">"_qs,
         u"</FONT></STRONG></BIG></STRIKE></U></I></B>"_qs,
         {true, false, true, false, false, false},
         true,
         true,
         true,
         18},
    };
    for (const Case& c : cases) {
        const tags::Decoration d = tags::decorate(c.buttons);
        EXPECT_EQ(d.opening, c.opening) << c.name;
        EXPECT_EQ(d.closing, c.closing) << c.name;
        EXPECT_EQ(d.colours, c.kept) << c.name;
        EXPECT_EQ(d.bold, c.bold) << c.name;
        EXPECT_EQ(d.strongNote, c.strongNote) << c.name;
        EXPECT_EQ(d.colourNote, c.colourNote) << c.name;
        EXPECT_EQ(d.pointSize, c.pointSize) << c.name;
    }
    EXPECT_EQ(tags::tagStrip(tags::decorate(italicUnderline)), u"<I><U> … </U></I>"_qs);
    EXPECT_EQ(tags::tagStrip(tags::decorate({})), u" … "_qs);
}

} // namespace
