#include "text/TextSearch.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using text::FoldedText;
using text::SearchOptions;
using text::TextRange;
using text::TextSearch;

constexpr SearchOptions plain{}, matchCase{true}, width{false, true}, kana{false, false, true},
    kanaWidth{false, true, true}, regex{false, false, false, true},
    regexCase{true, false, false, true}, regexWidth{false, true, false, true};

struct SearchCase {
    const char* name;
    const char16_t* text;
    const char16_t* pattern;
    SearchOptions options;
    QList<TextRange> matches; // offsets into the text as it stands
};

QList<TextRange> findAll(const QString& text, const QString& pattern, SearchOptions options)
{
    const TextSearch search(pattern, options);
    return search.all(FoldedText(text, search.folding()));
}

TEST(TextSearch, FindsEveryMatchAtItsOffsetsInTheOriginalText)
{
    const SearchCase cases[] = {
        {"case folded by default",
         u"Diary diary DIARY",
         u"diary",
         plain,
         {{0, 5}, {6, 11}, {12, 17}}},
        {"match case", u"Diary diary DIARY", u"diary", matchCase, {{6, 11}}},
        {"widths apart", u"Ａ１ A1", u"A1", plain, {{3, 5}}},
        {"full-width letters and digits", u"Ａ１ A1", u"a1", width, {{0, 2}, {3, 5}}},
        {"half-width katakana", u"ｶﾀｶﾅ と カタカナ", u"カタカナ", width, {{0, 4}, {7, 11}}},
        {"voiced pair is one kana", u"ｶﾞｲﾄﾞ ガイド", u"ガイド", width, {{0, 5}, {6, 9}}},
        {"offsets after pairs", u"ﾊﾟﾝﾀﾞの名前", u"名前", width, {{6, 8}}},
        {"pattern with pairs", u"バッグ", u"ﾊﾞｯｸﾞ", width, {{0, 3}}},
        {"unfolded pair is two units", u"ｶﾞ", u"ｶ", plain, {{0, 1}}},
        {"folded pair is not its base", u"ｶﾞ", u"ｶ", width, {}},
        {"ideographic space", u"春　夏", u"春 夏", width, {{0, 3}}},
        {"hiragana as katakana", u"かな カナ ｶﾅ", u"かな", kana, {{0, 2}, {3, 5}}},
        {"kana and width", u"かな カナ ｶﾅ", u"かな", kanaWidth, {{0, 2}, {3, 5}, {6, 8}}},
        {"kana apart", u"かな カナ", u"かな", plain, {{0, 2}}},
        {"voiced hiragana", u"ヴァイオリン", u"ゔぁいおりん", kana, {{0, 6}}},
        {"surrogate pairs before", u"😀ｶﾞ😀ガ", u"ガ", width, {{2, 4}, {6, 7}}},
        {"case outside the BMP", u"𐐀 𐐨", u"𐐨", plain, {{0, 2}, {3, 5}}},
        {"case outside the BMP kept", u"𐐀 𐐨", u"𐐨", matchCase, {{3, 5}}},
        {"final sigma as sigma", u"ΣΟΣ ςοσ", u"σος", plain, {{0, 3}, {4, 7}}},
        {"sigmas apart when case matters", u"ς σ Σ", u"σ", matchCase, {{2, 3}}},
        {"long s as s", u"ſun SUN", u"sun", plain, {{0, 3}, {4, 7}}},
        {"Kelvin sign as k", u"\u212A k", u"K", plain, {{0, 1}, {2, 3}}},
        {"lone low surrogate never the end of a pair", u"𐐀 \xDC28", u"\xDC28", plain, {{3, 4}}},
        {"lone high surrogate never the start of a pair",
         u"𐐨\xD801x",
         u"\xD801",
         matchCase,
         {{2, 3}}},
        {"regex", u"2026年12月7日", u"\\d+", regex, {{0, 4}, {5, 7}, {8, 9}}},
        {"regex ignores case", u"ABC abc", u"b.", regex, {{1, 3}, {5, 7}}},
        {"regex matches case", u"ABC abc", u"b.", regexCase, {{5, 7}}},
        {"regex on folded text", u"ｶﾞｲﾄﾞ ガイド", u"ガイ.", regexWidth, {{0, 5}, {6, 9}}},
        {"full-width metacharacters stay literal",
         u"(a) （ａ） a",
         u"（ａ）",
         regexWidth,
         {{0, 3}, {4, 7}}},
        {"regex line starts", u"朝\u2029昼", u"^昼", regex, {{2, 3}}},
        {"regex finds an empty match once at each place, never where a match ended",
         u"aXXa",
         u"X*",
         regex,
         {{0, 0}, {1, 3}, {4, 4}}},
        {"line starts", u"朝\u2029\u2029昼", u"^", regex, {{0, 0}, {2, 2}, {3, 3}}},
        {"line ends", u"朝\u2029昼", u"$", regex, {{1, 1}, {3, 3}}},
        {"empty match after a pair", u"😀", u"(?=x)|", regex, {{0, 0}, {2, 2}}},
        {"invalid regex finds nothing", u"(a)", u"(", regex, {}},
        {"empty pattern finds nothing", u"abc", u"", plain, {}},
    };
    for (const SearchCase& c : cases) {
        const QList<TextRange> found =
            findAll(QString::fromUtf16(c.text), QString::fromUtf16(c.pattern), c.options);
        ASSERT_EQ(found.size(), c.matches.size()) << c.name;
        for (qsizetype i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].start, c.matches[i].start) << c.name << " match " << i;
            EXPECT_EQ(found[i].end, c.matches[i].end) << c.name << " match " << i;
        }
    }
}

TEST(TextSearch, NextAndPreviousStartFromAnOffsetInTheOriginalText)
{
    const QString text = QStringLiteral("ガ ｶﾞ ガ"); // 0 ガ, 2-4 ｶﾞ, 5 ガ
    const TextSearch search(QStringLiteral("ガ"), width);
    const FoldedText folded(text, search.folding());
    const qsizetype end = std::numeric_limits<qsizetype>::max() / 2;
    const std::pair<qsizetype, TextRange> nexts[] = {
        {0, {0, 1}}, {1, {2, 4}}, {3, {5, 6}}, {6, {}}};
    for (const auto& [from, match] : nexts)
        EXPECT_EQ(search.next(folded, from), match) << "next from " << from;
    const std::pair<qsizetype, TextRange> previous[] = {
        {0, {}}, {2, {0, 1}}, {3, {2, 4}}, {5, {2, 4}}, {end, {5, 6}}};
    for (const auto& [before, match] : previous)
        EXPECT_EQ(search.previous(folded, before), match) << "previous before " << before;

    const TextSearch expression(QStringLiteral("ガ"), regexWidth);
    const FoldedText forRegex(text, expression.folding());
    EXPECT_EQ(expression.previous(forRegex, 5), (TextRange{2, 4}));
    EXPECT_EQ(expression.next(forRegex, 3), (TextRange{5, 6}));
}

// Groups are taken from the text as written, also where the search matched it folded.
TEST(TextSearch, RegexReplacementExpandsGroupReferences)
{
    const struct {
        const char* name;
        const char16_t* text;
        const char16_t* pattern;
        SearchOptions options;
        const char16_t* replacement;
        const char16_t* result; // of the first match
    } cases[] = {
        {"backslash groups", u"2026/12/7", u"(\\d+)/(\\d+)/(\\d+)", regex, u"\\3.\\2.\\1",
         u"7.12.2026"},
        {"dollar groups", u"2026/12/7", u"(\\d+)/(\\d+)/(\\d+)", regex, u"$3年$2月$1",
         u"7年12月2026"},
        {"escaped characters", u"ab", u"(a)", regex, u"\\\\1 $$1 \\$", u"\\1 $1 \\$"},
        {"missing and unused groups are empty", u"ab", u"(x)?(a)", regex, u"[\\1][$2][\\9]",
         u"[][a][]"},
        {"other escapes stay", u"ab", u"a", regex, u"\\n$x\\0", u"\\n$x\\0"},
        {"folded group keeps the writing", u"- ｶﾞｲﾄﾞ", u"(ガ)(イ)", regexWidth, u"$2$1", u"ｲｶﾞ"},
        {"plain search takes it as written", u"ab", u"a", plain, u"\\1$1", u"\\1$1"},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const TextSearch search(QString::fromUtf16(c.pattern), c.options);
        const FoldedText folded(text, search.folding());
        const TextRange match = search.next(folded, 0);
        EXPECT_EQ(search.replacementFor(folded, text, match, QString::fromUtf16(c.replacement)),
                  QString::fromUtf16(c.result))
            << c.name;
    }
}

TEST(TextSearch, PreviousFindsALongerPatternThatOverlapsTheNext)
{
    const QString text = QStringLiteral("日記と日記と日記"); // the pattern at 0 and at 3
    const TextSearch search(QStringLiteral("日記と日記"), plain);
    const FoldedText folded(text, search.folding());
    const std::pair<qsizetype, TextRange> previous[] = {{8, {3, 8}}, {7, {3, 8}}, {4, {3, 8}},
                                                        {3, {0, 5}}, {1, {0, 5}}, {0, {}}};
    for (const auto& [before, match] : previous)
        EXPECT_EQ(search.previous(folded, before), match) << "previous before " << before;
    EXPECT_EQ(search.next(folded, 1), (TextRange{3, 8}));
}

// Every hiragana that has a katakana (ぁ..ゖ, ゝ, ゞ) folds to it; the ones around do not.
TEST(FoldedText, FoldsEveryHiraganaToItsKatakana)
{
    const QString hiragana = QStringLiteral(
        "ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとどなにぬ"
        "ねのはばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをんゔゕゖゝゞ");
    const QString katakana = QStringLiteral(
        "ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌ"
        "ネノハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶヽヾ");
    const text::Folding kanaOnly{false, false, true, false};
    EXPECT_EQ(FoldedText(hiragana, kanaOnly).text(), katakana);
    EXPECT_EQ(FoldedText(katakana, kanaOnly).text(), katakana);
    const QString around = QStringLiteral("\u3040\u3097\u3098\u309B\u309C\u309Fー・");
    EXPECT_EQ(FoldedText(around, kanaOnly).text(), around);
}

TEST(FoldedText, MapsOffsetsBothWaysAcrossJoinedPairs)
{
    // ｷﾟ is no kana and stays two units; ｶﾞ and ﾊﾟ become one each.
    const FoldedText folded(QStringLiteral("ｶﾞｷﾟﾊﾟ😀"), {false, true, false, false});
    EXPECT_EQ(folded.text(), QStringLiteral("ガキ\u309Aパ😀"));
    const std::pair<qsizetype, qsizetype> foldedToOriginal[] = {{0, 0}, {1, 2}, {2, 3}, {3, 4},
                                                                {4, 6}, {5, 7}, {6, 8}};
    for (const auto& [f, o] : foldedToOriginal) {
        EXPECT_EQ(folded.toOriginal(f), o) << "folded " << f;
        EXPECT_EQ(folded.toFolded(o), f) << "original " << o;
    }
    EXPECT_EQ(folded.toFolded(1), 1); // between ｶ and ﾞ: the end of the pair
    EXPECT_EQ(folded.toFolded(5), 4);
}

} // namespace
