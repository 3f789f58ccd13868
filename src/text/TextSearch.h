#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace text {

// How a text is brought to its canonical form before it is compared.
struct Folding {
    bool caseFold = false; // A and a alike (Unicode simple case folding)
    bool width = false;    // Ａ and A, １ and 1, ｶ and カ, ｶﾞ and ガ alike
    bool kana = false;     // hiragana as katakana: かな and カナ alike
    // What the regular expression engine needs: the editor's paragraph separator (U+2029) as
    // LF, so that ^, $ and \n see lines; a lone surrogate as U+FFFD, so the text is valid UTF-16.
    bool regexSubject = false;

    bool operator==(const Folding&) const = default;
    bool changesText() const { return caseFold || width || kana || regexSubject; }
};

// A text in its folded form, with the way back to offsets in the text it was folded from.
// Folding keeps one unit for one unit, except that a kana followed by a voiced or semi-voiced
// mark (ｶﾞ, ﾊﾟ, or a combining mark) becomes the one composed kana when widths are folded.
class FoldedText {
public:
    FoldedText(const QString& text, Folding folding);

    const QString& text() const { return text_; }
    Folding folding() const { return folding_; }
    // Offset in the original text of a folded offset (the end of a folded kana + mark is the
    // end of its two original units).
    qsizetype toOriginal(qsizetype folded) const;
    // Folded offset of an original offset; an offset between a kana and its mark is taken as
    // the end of the pair.
    qsizetype toFolded(qsizetype original) const;
    // Brings the folded text up to date after the original's units [from, to) were replaced
    // by `replacement`, folding only that. `from` and `to` must be where folding cannot join
    // units across: the start of a line or an end of the text.
    void replace(qsizetype from, qsizetype to, const QString& replacement);

private:
    // From `folded` (and `original`) on, the two offsets stay this far apart until the next one.
    struct Shift {
        qsizetype folded;
        qsizetype original;
    };

    QString text_;
    Folding folding_;
    std::vector<Shift> shifts_;
};

struct SearchOptions {
    bool matchCase = false;
    bool width = false;
    bool kana = false;
    bool regex = false;
};

// A match as offsets into the original text; start < 0 when nothing was found.
struct TextRange {
    qsizetype start = -1;
    qsizetype end = -1;

    bool isFound() const { return start >= 0; }
    bool operator==(const TextRange&) const = default;
};

// Whether an empty match may start where a search begins. A search that goes on from the end
// of a match (or from a caret that an empty match left) must not find the same place again.
enum class EmptyAtStart { Allowed, Skipped };

// One pattern prepared for searching under a set of options. The searched text is folded
// with folding() first (FoldedText, which callers may keep while the text does not change).
// A regular expression may match empty text (^, $, x*): such a match is found once at each
// place, never where the match before it ended.
class TextSearch {
public:
    TextSearch(const QString& pattern, SearchOptions options);

    // False for an empty pattern or an invalid regular expression.
    bool isValid() const;
    Folding folding() const { return folding_; }

    // The first match that starts at or after `from`.
    TextRange next(const FoldedText& text, qsizetype from,
                   EmptyAtStart empty = EmptyAtStart::Allowed) const;
    // The last match that starts before `before`.
    TextRange previous(const FoldedText& text, qsizetype before) const;
    // Every match, from the start, none overlapping.
    QList<TextRange> all(const FoldedText& text) const;

    // True when replacementFor needs the original text: a regular expression whose replacement
    // may refer to its groups.
    bool expandsReplacement(const QString& replacement) const;
    // The text that takes the place of `match`, a match of this search in `text` (folded from
    // `original`): for a regular expression `replacement` with its references expanded (see
    // expandReplacement) by the groups' text in `original`; for a plain search `replacement`.
    QString replacementFor(const FoldedText& text, QStringView original, TextRange match,
                           const QString& replacement) const;

private:
    TextRange nextInFolded(const QString& folded, qsizetype from, EmptyAtStart empty) const;
    static TextRange toOriginal(const FoldedText& text, TextRange folded);

    Folding folding_;
    bool regex_;
    QString pattern_; // folded, for a plain search
    QRegularExpression expression_;
};

// A regular expression's replacement with its references expanded: \1 to \9 and $1 to $9
// become the text of that group (`groups[n]`, empty when the group took no part or the list is
// shorter), \\ and $$ a backslash and a dollar sign. Anything else stays as written.
QString expandReplacement(QStringView replacement, const QStringList& groups);

} // namespace text
