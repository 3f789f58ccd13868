// Search folding on any text, folding and edits. For every folded text:
//  - toOriginal maps 0..size of the folded text strictly upwards into 0..size of the text,
//    from 0 to 0 and from the end to the end, and toFolded takes each such offset back;
//  - toFolded maps 0..size of the text upwards into the folded text.
// After replace() of a range that starts a line and ends at a line start or the end, with a
// replacement that (unless it reaches the end) ends with a line break, as the document's
// refolding calls it, the folded text and both mappings equal those of folding the edited text
// from scratch. A plain search, lone surrogates in the pattern included, finds ranges in order,
// not overlapping, that fold to the pattern's folded form (never half of a surrogate pair).
#include "FuzzCheck.h"
#include "FuzzText.h"
#include "text/TextSearch.h"

#include <cstdint>

using fuzz::require;
using text::FoldedText;

namespace {

constexpr char16_t alphabet[] = {u'a',   u'A',   u'Ａ',  u'ａ',  u'1',   u'１',  u'K',   0x212A,
                                 u'ß',   u'か',  u'カ',  u'ｶ',   0xFF9E, 0xFF9F, 0x3099, 0x309A,
                                 0x309B, 0x309C, u'は',  u'ハ',  u'ﾊ',   u'う',  u'ｳ',   u'ゝ',
                                 u'ヽ',  u'ﾜ',   u' ',   0x3000, u'\n',  0x2029, 0x2029, 0x2028,
                                 0xD83D, 0xDE00, 0xD801, 0xDC00, 0xDC28, u'ｰ',   u'ゔ',  u'Ω'};

bool isBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator;
}

void checkMapping(const QString& original, const FoldedText& folded)
{
    const qsizetype size = folded.text().size();
    require(folded.toOriginal(0) == 0 && folded.toOriginal(size) == original.size(),
            "the ends of the folded text map to the ends of the text");
    for (qsizetype f = 0; f <= size; ++f) {
        const qsizetype o = folded.toOriginal(f);
        require(o >= 0 && o <= original.size(), "a folded offset maps inside the text");
        require(f == 0 || o > folded.toOriginal(f - 1), "toOriginal rises strictly");
        require(folded.toFolded(o) == f, "toFolded takes toOriginal back");
    }
    for (qsizetype o = 0; o <= original.size(); ++o) {
        const qsizetype f = folded.toFolded(o);
        require(f >= 0 && f <= size, "an offset maps inside the folded text");
        require(o == 0 || f >= folded.toFolded(o - 1), "toFolded does not fall");
    }
}

void checkSameAsFresh(const QString& original, const FoldedText& updated)
{
    const FoldedText fresh(original, updated.folding());
    require(updated.text() == fresh.text(), "an update folds as folding afresh");
    for (qsizetype f = 0; f <= fresh.text().size(); ++f)
        require(updated.toOriginal(f) == fresh.toOriginal(f), "an update maps as afresh");
    for (qsizetype o = 0; o <= original.size(); ++o)
        require(updated.toFolded(o) == fresh.toFolded(o), "an update maps back as afresh");
}

// 0 and every offset right after a line break; with the end of the text when `withEnd`.
QList<qsizetype> lineStarts(const QString& text, bool withEnd)
{
    QList<qsizetype> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isBreak(text[i]))
            starts.append(i + 1);
    }
    if (withEnd && starts.last() != text.size())
        starts.append(text.size());
    return starts;
}

void editAndCompare(FuzzedDataProvider& data, QString& original, FoldedText& folded)
{
    const QList<qsizetype> froms = lineStarts(original, false);
    const qsizetype from = froms[data.ConsumeIntegralInRange<qsizetype>(0, froms.size() - 1)];
    QList<qsizetype> tos = lineStarts(original, true);
    tos.removeIf([from](qsizetype at) { return at < from; });
    const qsizetype to = tos[data.ConsumeIntegralInRange<qsizetype>(0, tos.size() - 1)];
    QString replacement = fuzz::takeText(data, data.ConsumeIntegralInRange(0, 48), alphabet);
    if (to < original.size() && (replacement.isEmpty() || !isBreak(replacement.back())))
        replacement += QChar::ParagraphSeparator;

    folded.replace(from, to, replacement);
    original.replace(from, to - from, replacement);
    checkSameAsFresh(original, folded);
    checkMapping(original, folded);
}

void checkSearch(const QString& original, const QString& pattern, text::SearchOptions options)
{
    const text::TextSearch search(pattern, options);
    if (!search.isValid())
        return;
    const QString folded = FoldedText(pattern, search.folding()).text();
    qsizetype previousEnd = 0;
    for (const text::TextRange& r : search.all(FoldedText(original, search.folding()))) {
        require(r.start >= previousEnd && r.end > r.start && r.end <= original.size(),
                "matches are in order, not empty, inside the text");
        require(FoldedText(original.sliced(r.start, r.end - r.start), search.folding()).text()
                    == folded,
                "a match folds to the folded pattern");
        previousEnd = r.end;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const auto flags = data.ConsumeIntegral<std::uint8_t>();
    const text::Folding folding{bool(flags & 1), bool(flags & 2), bool(flags & 4), bool(flags & 8)};
    const text::SearchOptions options{!(flags & 1), bool(flags & 2), bool(flags & 4), false};
    QString original = fuzz::takeText(data, data.ConsumeIntegralInRange(0, 400), alphabet);
    const QString pattern = fuzz::takeText(data, data.ConsumeIntegralInRange(0, 6), alphabet);

    checkSearch(original, pattern, options);
    FoldedText folded(original, folding);
    checkMapping(original, folded);
    for (int edit = 0; edit < 4 && data.remaining_bytes() > 0; ++edit)
        editAndCompare(data, original, folded);
    return 0;
}
