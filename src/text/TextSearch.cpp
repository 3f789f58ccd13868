#include "text/TextSearch.h"

#include "text/JisTwins.h"

#include <algorithm>
#include <array>
#include <memory>

namespace text {

namespace {

constexpr char16_t voicedMark = 0x3099;     // combining ゛ (half-width ﾞ folds to it)
constexpr char16_t semiVoicedMark = 0x309A; // combining ゜ (half-width ﾟ folds to it)
constexpr char16_t replacementCharacter = 0xFFFD;

// Full-width ASCII, the ideographic space, half-width katakana and the other width variants,
// as Unicode's <wide> and <narrow> decompositions give them.
char16_t foldWidth(char16_t c)
{
    const QChar ch(c);
    if (ch.decompositionTag() != QChar::Wide && ch.decompositionTag() != QChar::Narrow)
        return c;
    const QString plain = ch.decomposition();
    return plain.size() == 1 ? plain[0].unicode() : c;
}

// Hiragana as the katakana of the same sound (ぁ..ゖ, ゝ, ゞ; ゟ has no katakana).
char16_t foldKana(char16_t c)
{
    const bool hiragana = (c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E;
    return hiragana ? char16_t(c + 0x60) : c;
}

using FoldTable = std::array<char16_t, 0x10000>;

std::unique_ptr<FoldTable> buildTable(Folding folding)
{
    auto table = std::make_unique<FoldTable>();
    for (char32_t code = 0; code < 0x10000; ++code) {
        char16_t c = char16_t(code);
        if (!QChar::isSurrogate(c)) {
            // A JIS character and its Windows twin (〜 and ～) differ only in the table that
            // read them: one when widths are.
            if (folding.width)
                c = foldWidth(windowsTwin(c));
            if (folding.kana)
                c = foldKana(c);
            if (folding.caseFold)
                c = char16_t(QChar::toCaseFolded(char32_t(c)));
            if (folding.regexSubject && c == QChar::ParagraphSeparator)
                c = u'\n';
        }
        (*table)[code] = c;
    }
    return table;
}

// One unit for one unit of the BMP, built the first time a folding is used.
const FoldTable& tableFor(Folding folding)
{
    static std::array<std::unique_ptr<FoldTable>, 16> tables;
    const int key = int(folding.caseFold) | int(folding.width) << 1 | int(folding.kana) << 2
                    | int(folding.regexSubject) << 3;
    if (!tables[key])
        tables[key] = buildTable(folding);
    return *tables[key];
}

// The kana that a base kana and a (semi-)voiced mark make together (カ + ゛ = ガ), or 0; from
// Unicode's canonical decompositions of the kana blocks.
char16_t composeKana(char16_t base, char16_t mark)
{
    constexpr char16_t first = 0x3040, last = 0x30FF;
    static const auto composed = [] {
        std::array<char16_t, (last - first + 1) * 2> table{};
        for (char16_t c = first; c <= last; ++c) {
            const QString parts = QChar(c).decomposition();
            if (QChar(c).decompositionTag() != QChar::Canonical || parts.size() != 2)
                continue;
            const char16_t b = parts[0].unicode(), m = parts[1].unicode();
            if (b >= first && b <= last && (m == voicedMark || m == semiVoicedMark))
                table[(b - first) * 2 + (m == semiVoicedMark)] = c;
        }
        return table;
    }();
    if (base < first || base > last)
        return 0;
    return composed[(base - first) * 2 + (mark == semiVoicedMark)];
}

// A regular expression whose literal characters are folded as the text is. A character that
// folds from outside ASCII into it (（ to "(", Ａ to "A") is written as \x{..}, so that it
// stays a literal instead of becoming a metacharacter.
QString regexPattern(const QString& pattern, Folding folding)
{
    if (!folding.changesText())
        return pattern;
    const FoldedText folded(pattern, folding);
    QString result;
    result.reserve(folded.text().size());
    for (qsizetype i = 0; i < folded.text().size(); ++i) {
        const QChar c = folded.text()[i];
        if (c.unicode() < 0x80 && pattern[folded.toOriginal(i)].unicode() >= 0x80)
            result += QStringLiteral("\\x{%1}").arg(c.unicode(), 0, 16);
        else
            result += c;
    }
    return result;
}

// A plain search looks for the pattern's highest unit with Qt's vectorised character search
// and compares the whole pattern around each hit. In Japanese text that unit is usually a kanji
// or a katakana, rarer than the kana and ASCII around it, so few hits need a comparison;
// QString's own substring search hashes every position and takes several times as long.
qsizetype keyOf(QStringView pattern)
{
    return std::max_element(pattern.begin(), pattern.end()) - pattern.begin();
}

// True when `at` falls between the two halves of a surrogate pair. A pattern that starts or
// ends with a lone surrogate must not match half of a character there.
bool splitsPair(QStringView text, qsizetype at)
{
    return at > 0 && at < text.size() && text[at - 1].isHighSurrogate()
           && text[at].isLowSurrogate();
}

// The pattern stands at `at` as whole characters.
bool matchesAt(QStringView text, QStringView pattern, qsizetype at)
{
    return text.mid(at, pattern.size()) == pattern && !splitsPair(text, at)
           && !splitsPair(text, at + pattern.size());
}

qsizetype findForward(QStringView text, QStringView pattern, qsizetype from)
{
    const qsizetype key = keyOf(pattern);
    const QChar unit = pattern[key];
    for (qsizetype at = text.indexOf(unit, from + key); at >= 0; at = text.indexOf(unit, at + 1)) {
        if (at - key + pattern.size() > text.size())
            return -1;
        if (matchesAt(text, pattern, at - key))
            return at - key;
    }
    return -1;
}

// The last match that starts at or before `start`.
qsizetype findBackward(QStringView text, QStringView pattern, qsizetype start)
{
    const qsizetype key = keyOf(pattern);
    const QChar unit = pattern[key];
    for (qsizetype at = std::min(start, text.size() - pattern.size()) + key; at >= key;) {
        at = text.first(at + 1).lastIndexOf(unit);
        if (at < key)
            return -1;
        if (matchesAt(text, pattern, at - key))
            return at - key;
        --at;
    }
    return -1;
}

} // namespace

FoldedText::FoldedText(const QString& text, Folding folding) : folding_(folding)
{
    if (!folding.changesText()) {
        text_ = text;
        return;
    }
    const FoldTable& table = tableFor(folding);
    const qsizetype size = text.size();
    const auto* in = reinterpret_cast<const char16_t*>(text.constData());
    text_.resize(size);
    char16_t* out = reinterpret_cast<char16_t*>(text_.data());
    qsizetype n = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = table[in[i]];
        const bool mark = char16_t(c - voicedMark) <= semiVoicedMark - voicedMark;
        if (!mark && !QChar::isSurrogate(c)) {
            out[n++] = c;
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            char32_t code = QChar::surrogateToUcs4(c, in[i + 1]);
            if (folding.caseFold && QChar::requiresSurrogates(QChar::toCaseFolded(code)))
                code = QChar::toCaseFolded(code);
            out[n++] = QChar::highSurrogate(code);
            out[n++] = QChar::lowSurrogate(code);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            out[n++] = folding.regexSubject ? replacementCharacter : c;
        } else if (const char16_t kana = folding.width && n > 0 ? composeKana(out[n - 1], c) : 0) {
            out[n - 1] = table[kana];
            shifts_.push_back({n, i + 1});
        } else {
            out[n++] = c;
        }
    }
    text_.truncate(n);
}

qsizetype FoldedText::toOriginal(qsizetype folded) const
{
    const auto after = std::upper_bound(shifts_.begin(), shifts_.end(), folded,
                                        [](qsizetype f, const Shift& s) { return f < s.folded; });
    if (after == shifts_.begin())
        return folded;
    const Shift& s = *(after - 1);
    return s.original + (folded - s.folded);
}

qsizetype FoldedText::toFolded(qsizetype original) const
{
    const auto after = std::upper_bound(shifts_.begin(), shifts_.end(), original,
                                        [](qsizetype o, const Shift& s) { return o < s.original; });
    if (after == shifts_.begin())
        return original;
    const Shift& s = *(after - 1);
    return s.folded + (original - s.original);
}

void FoldedText::replace(qsizetype from, qsizetype to, const QString& replacement)
{
    const FoldedText piece(replacement, folding_);
    const qsizetype foldedFrom = toFolded(from), foldedTo = toFolded(to);
    text_.replace(foldedFrom, foldedTo - foldedFrom, piece.text_);

    // The shifts of the replaced units give way to the piece's; the ones after it move by
    // what the replacement added or took away on each side.
    const auto first = std::upper_bound(shifts_.begin(), shifts_.end(), from,
                                        [](qsizetype o, const Shift& s) { return o < s.original; });
    const auto last = std::upper_bound(first, shifts_.end(), to,
                                       [](qsizetype o, const Shift& s) { return o < s.original; });
    const qsizetype foldedGrowth = piece.text_.size() - (foldedTo - foldedFrom);
    const qsizetype originalGrowth = replacement.size() - (to - from);
    for (auto s = last; s != shifts_.end(); ++s) {
        s->folded += foldedGrowth;
        s->original += originalGrowth;
    }
    std::vector<Shift> inserted;
    inserted.reserve(piece.shifts_.size());
    for (const Shift& s : piece.shifts_)
        inserted.push_back({foldedFrom + s.folded, from + s.original});
    const auto at = shifts_.erase(first, last);
    shifts_.insert(at, inserted.begin(), inserted.end());
}

TextSearch::TextSearch(const QString& pattern, SearchOptions options)
    : folding_{!options.matchCase && !options.regex, options.width, options.kana, options.regex},
      regex_(options.regex)
{
    if (!regex_) {
        pattern_ = FoldedText(pattern, folding_).text();
        return;
    }
    if (pattern.isEmpty())
        return;
    QRegularExpression::PatternOptions flags =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    expression_.setPatternOptions(flags);
    expression_.setPattern(regexPattern(pattern, {false, options.width, options.kana, false}));
    expression_.optimize();
}

bool TextSearch::isValid() const
{
    if (regex_)
        return !expression_.pattern().isEmpty() && expression_.isValid();
    return !pattern_.isEmpty();
}

TextRange TextSearch::nextInFolded(const QString& folded, qsizetype from, EmptyAtStart empty) const
{
    if (!regex_) {
        const qsizetype at = findForward(folded, pattern_, from);
        return at < 0 ? TextRange{} : TextRange{at, at + pattern_.size()};
    }
    // The folded subject is valid UTF-16 (lone surrogates were replaced), so the engine need
    // not check the whole text again at every call.
    for (qsizetype at = from; at <= folded.size();) {
        const QRegularExpressionMatch m =
            expression_.match(folded, at, QRegularExpression::NormalMatch,
                              QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!m.hasMatch())
            return {};
        if (m.capturedLength() > 0 || m.capturedStart() > from || empty == EmptyAtStart::Allowed)
            return {m.capturedStart(), m.capturedEnd()};
        // Empty where the search began: go on from the next character.
        at = from + 1;
        if (at < folded.size() && folded[at].isLowSurrogate())
            ++at;
    }
    return {};
}

TextRange TextSearch::toOriginal(const FoldedText& text, TextRange folded)
{
    if (!folded.isFound())
        return folded;
    return {text.toOriginal(folded.start), text.toOriginal(folded.end)};
}

TextRange TextSearch::next(const FoldedText& text, qsizetype from, EmptyAtStart empty) const
{
    if (!isValid())
        return {};
    return toOriginal(text, nextInFolded(text.text(), text.toFolded(from), empty));
}

TextRange TextSearch::previous(const FoldedText& text, qsizetype before) const
{
    const qsizetype end = text.toFolded(before);
    if (!isValid() || end <= 0)
        return {};
    const QString& folded = text.text();
    if (!regex_) {
        const qsizetype at = findBackward(folded, pattern_, end - 1);
        return toOriginal(text, at < 0 ? TextRange{} : TextRange{at, at + pattern_.size()});
    }
    // A regular expression runs forwards only: take the last of the matches before the end.
    TextRange last;
    for (TextRange r = nextInFolded(folded, 0, EmptyAtStart::Allowed); r.isFound() && r.start < end;
         r = nextInFolded(folded, r.end, EmptyAtStart::Skipped))
        last = r;
    return toOriginal(text, last);
}

QList<TextRange> TextSearch::all(const FoldedText& text) const
{
    QList<TextRange> ranges;
    if (!isValid())
        return ranges;
    for (TextRange r = nextInFolded(text.text(), 0, EmptyAtStart::Allowed); r.isFound();
         r = nextInFolded(text.text(), r.end, EmptyAtStart::Skipped))
        ranges.append(toOriginal(text, r));
    return ranges;
}

bool TextSearch::expandsReplacement(const QString& replacement) const
{
    return regex_ && (replacement.contains(u'\\') || replacement.contains(u'$'));
}

// The groups are those of the match the engine finds again at the match's start, mapped back
// to the original text, so that a group of folded text ("ｶﾞ" found as "ガ") keeps what the
// writer wrote.
QString TextSearch::replacementFor(const FoldedText& text, QStringView original, TextRange match,
                                   const QString& replacement) const
{
    if (!expandsReplacement(replacement) || !isValid())
        return replacement;
    const QRegularExpressionMatch m =
        expression_.match(text.text(), text.toFolded(match.start), QRegularExpression::NormalMatch,
                          QRegularExpression::AnchorAtOffsetMatchOption
                              | QRegularExpression::DontCheckSubjectStringMatchOption);
    QStringList groups;
    for (int i = 0; i <= std::min(m.lastCapturedIndex(), 9); ++i) {
        const qsizetype start = m.capturedStart(i);
        if (start < 0) {
            groups.append(QString());
            continue;
        }
        const qsizetype from = text.toOriginal(start), to = text.toOriginal(m.capturedEnd(i));
        groups.append(original.sliced(from, to - from).toString());
    }
    return expandReplacement(replacement, groups);
}

QString expandReplacement(QStringView replacement, const QStringList& groups)
{
    QString result;
    result.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        const QChar after = i + 1 < replacement.size() ? replacement[i + 1] : QChar();
        if ((c == u'\\' || c == u'$') && after == c) {
            result += c;
            ++i;
        } else if ((c == u'\\' || c == u'$') && after >= u'1' && after <= u'9') {
            const int group = after.unicode() - u'0';
            if (group < groups.size())
                result += groups[group];
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace text
