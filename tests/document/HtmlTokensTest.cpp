#include "document/HtmlTokens.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

using document::HtmlState;
using document::HtmlToken;
using K = document::HtmlTokenKind;

// Each token as its kind and the text it covers, so a wrong offset shows as wrong text.
std::vector<std::pair<K, QString>> covered(const QString& line, const QList<HtmlToken>& tokens)
{
    std::vector<std::pair<K, QString>> result;
    for (const HtmlToken& t : tokens)
        result.emplace_back(t.kind, line.mid(t.start, t.length));
    return result;
}

TEST(HtmlTokensTest, EveryKindAtItsOffsetsAmongJapaneseText)
{
    const QString line = QStringLiteral(
        "今日は<font color=\"#ff0000\" size=3>晴れ</font>＆&amp;&#128512;&#x1F600;<!-- 天気 -->終");
    const document::HtmlLine tokens = document::tokenizeHtmlLine(line, HtmlState::Text);
    const std::vector<std::pair<K, QString>> expected = {
        {K::Tag, QStringLiteral("<font")},
        {K::AttributeName, QStringLiteral("color")},
        {K::AttributeValue, QStringLiteral("\"#ff0000\"")},
        {K::AttributeName, QStringLiteral("size")},
        {K::AttributeValue, QStringLiteral("3")},
        {K::Tag, QStringLiteral(">")},
        {K::Tag, QStringLiteral("</font")},
        {K::Tag, QStringLiteral(">")},
        {K::CharReference, QStringLiteral("&amp;")},
        {K::CharReference, QStringLiteral("&#128512;")},
        {K::CharReference, QStringLiteral("&#x1F600;")},
        {K::Comment, QStringLiteral("<!-- 天気 -->")},
    };
    EXPECT_EQ(covered(line, tokens.tokens), expected);
    EXPECT_EQ(tokens.tokens[0].start, 3); // after three Japanese characters
    EXPECT_EQ(tokens.end, HtmlState::Text);
}

struct Carried {
    const char* name;
    HtmlState start;
    const char16_t* line;
    HtmlState end;
    std::vector<std::pair<K, QString>> tokens;
};

template <std::size_t N> void expectCarried(const Carried (&cases)[N])
{
    for (const Carried& c : cases) {
        const QString line = QString::fromUtf16(c.line);
        const document::HtmlLine result = document::tokenizeHtmlLine(line, c.start);
        EXPECT_EQ(covered(line, result.tokens), c.tokens) << c.name;
        EXPECT_EQ(result.end, c.end) << c.name;
        EXPECT_EQ(document::htmlLineEnd(line, c.start), c.end) << c.name;
    }
}

TEST(HtmlTokensTest, StatesCarryOverLineEnds)
{
    const Carried cases[] = {
        {"CommentOpens",
         HtmlState::Text,
         u"前<!-- 始まり",
         HtmlState::Comment,
         {{K::Comment, QStringLiteral("<!-- 始まり")}}},
        {"CommentGoesOn",
         HtmlState::Comment,
         u"<b>まだ</b>",
         HtmlState::Comment,
         {{K::Comment, QStringLiteral("<b>まだ</b>")}}},
        {"CommentCloses",
         HtmlState::Comment,
         u"終わり --><br>",
         HtmlState::Text,
         {{K::Comment, QStringLiteral("終わり -->")},
          {K::Tag, QStringLiteral("<br")},
          {K::Tag, QStringLiteral(">")}}},
        {"ValueOpens",
         HtmlState::Text,
         u"<a href=\"日記",
         HtmlState::DoubleQuoted,
         {{K::Tag, QStringLiteral("<a")},
          {K::AttributeName, QStringLiteral("href")},
          {K::AttributeValue, QStringLiteral("\"日記")}}},
        {"ValueCloses",
         HtmlState::DoubleQuoted,
         u"page.htm\">リンク",
         HtmlState::Text,
         {{K::AttributeValue, QStringLiteral("page.htm\"")}, {K::Tag, QStringLiteral(">")}}},
        {"SingleQuotedValue",
         HtmlState::SingleQuoted,
         u"x' alt=画像/>",
         HtmlState::Text,
         {{K::AttributeValue, QStringLiteral("x'")},
          {K::AttributeName, QStringLiteral("alt")},
          {K::AttributeValue, QStringLiteral("画像/")},
          {K::Tag, QStringLiteral(">")}}},
        {"SingleQuotesHoldABlank",
         HtmlState::Text,
         u"<img alt='a b'>",
         HtmlState::Text,
         {{K::Tag, QStringLiteral("<img")},
          {K::AttributeName, QStringLiteral("alt")},
          {K::AttributeValue, QStringLiteral("'a b'")},
          {K::Tag, QStringLiteral(">")}}},
        {"SingleQuotesHoldDoubleQuotes",
         HtmlState::Text,
         u"<a title='\"日\" > 記' href=x>",
         HtmlState::Text,
         {{K::Tag, QStringLiteral("<a")},
          {K::AttributeName, QStringLiteral("title")},
          {K::AttributeValue, QStringLiteral("'\"日\" > 記'")},
          {K::AttributeName, QStringLiteral("href")},
          {K::AttributeValue, QStringLiteral("x")},
          {K::Tag, QStringLiteral(">")}}},
        {"SingleQuotedValueOpens",
         HtmlState::Text,
         u"<img alt='春の",
         HtmlState::SingleQuoted,
         {{K::Tag, QStringLiteral("<img")},
          {K::AttributeName, QStringLiteral("alt")},
          {K::AttributeValue, QStringLiteral("'春の")}}},
        {"TagGoesOn", HtmlState::Text, u"<img", HtmlState::Tag, {{K::Tag, QStringLiteral("<img")}}},
        {"AttributesOnTheNextLine",
         HtmlState::Tag,
         u"  src=a.png>",
         HtmlState::Text,
         {{K::AttributeName, QStringLiteral("src")},
          {K::AttributeValue, QStringLiteral("a.png")},
          {K::Tag, QStringLiteral(">")}}},
        {"LessThanInText", HtmlState::Text, u"1 < 2 ＜ 3 &と&amp", HtmlState::Text, {}},
    };
    expectCarried(cases);
}

// A script or stylesheet is never coloured as tags, up to its own close tag in any case.
TEST(HtmlTokensTest, ScriptAndStyleContentsAreNotHtml)
{
    const auto tag = [](const char16_t* text) {
        return std::pair{K::Tag, QString::fromUtf16(text)};
    };
    const Carried cases[] = {
        {"WholeScript",
         HtmlState::Text,
         u"<script>if (a<b) s = \"<i>&amp;\";</script><b>",
         HtmlState::Text,
         {tag(u"<script"), tag(u">"), tag(u"</script"), tag(u">"), tag(u"<b"), tag(u">")}},
        {"StyleOpens",
         HtmlState::Text,
         u"<STYLE type=\"text/css\">p<b",
         HtmlState::StyleContent,
         {tag(u"<STYLE"),
          {K::AttributeName, QStringLiteral("type")},
          {K::AttributeValue, QStringLiteral("\"text/css\"")},
          tag(u">")}},
        {"StyleClosesInAnyCase",
         HtmlState::StyleContent,
         u"a<b { color: red } </Style >",
         HtmlState::Text,
         {tag(u"</Style"), tag(u">")}},
        {"OtherCloseTagsAndCommentsStayScript",
         HtmlState::ScriptContent,
         u"x = '</scripts></style>'; <!-- y",
         HtmlState::ScriptContent,
         {}},
        {"CloseTagAtTheLineEnd",
         HtmlState::ScriptContent,
         u"f();</SCRIPT",
         HtmlState::Tag,
         {tag(u"</SCRIPT")}},
        {"OpeningTagGoesOn",
         HtmlState::Text,
         u"<script src=\"a",
         HtmlState::ScriptDoubleQuoted,
         {tag(u"<script"),
          {K::AttributeName, QStringLiteral("src")},
          {K::AttributeValue, QStringLiteral("\"a")}}},
        {"OpeningTagEndsOnTheNextLine",
         HtmlState::ScriptDoubleQuoted,
         u".js\">a<b",
         HtmlState::ScriptContent,
         {{K::AttributeValue, QStringLiteral(".js\"")}, tag(u">")}},
        {"SelfClosingStillOpens",
         HtmlState::Text,
         u"<script/>a<b",
         HtmlState::ScriptContent,
         {tag(u"<script"), tag(u"/>")}},
        {"LongerNameIsATag",
         HtmlState::Text,
         u"<scripts>a<b",
         HtmlState::Tag,
         {tag(u"<scripts"), tag(u">"), tag(u"<b")}},
        {"CloseWithoutOpening",
         HtmlState::Text,
         u"</style><i>",
         HtmlState::Text,
         {tag(u"</style"), tag(u">"), tag(u"<i"), tag(u">")}},
    };
    expectCarried(cases);
}

} // namespace
