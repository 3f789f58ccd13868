#include "text/EncodingGuess.h"

#include "text/CodecParts.h"
#include "text/EucJp.h"
#include "text/Utf8Text.h"

#include <QString>

#include <algorithm>

namespace text {

namespace {

// How far into a file a declaration is looked for.
constexpr qsizetype kDeclarationReach = 8192;
// How much of a file without a declaration the guess reads: a diary is written in one hand.
constexpr qsizetype kGuessReach = 1 << 20;

bool isWellFormedShiftJis(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF))
            continue;
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (!lead || i + 1 == bytes.size())
            return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
            return false;
    }
    return true;
}

// Japanese text read as Shift-JIS is mostly double-byte characters; EUC-JP text read as
// Shift-JIS is mostly half-width katakana (every kana pair of EUC-JP is two of them) and pairs
// led by 0x8E (EUC-JP's own half-width katakana).
bool isPlausibleShiftJis(QByteArrayView bytes)
{
    qsizetype halfWidth = 0, doubleByte = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0xA1 && b <= 0xDF) {
            ++halfWidth;
        } else if (b >= 0x80) {
            const auto trail = static_cast<unsigned char>(bytes[++i]);
            ++(b == 0x8E && trail >= 0xA1 && trail <= 0xDF ? halfWidth : doubleByte);
        }
    }
    return halfWidth <= doubleByte;
}

std::optional<Encoding> encodingNamed(QStringView name)
{
    static const std::pair<const char*, Encoding> names[] = {
        {"shift_jis", Encoding::ShiftJis},
        {"shift-jis", Encoding::ShiftJis},
        {"sjis", Encoding::ShiftJis},
        {"x-sjis", Encoding::ShiftJis},
        {"windows-31j", Encoding::ShiftJis},
        {"cp932", Encoding::ShiftJis},
        {"ms932", Encoding::ShiftJis},
        {"ms_kanji", Encoding::ShiftJis},
        {"csshiftjis", Encoding::ShiftJis},
        {"euc-jp", Encoding::EucJp},
        {"eucjp", Encoding::EucJp},
        {"x-euc-jp", Encoding::EucJp},
        {"cseucpkdfmtjapanese", Encoding::EucJp},
        {"utf-8", Encoding::Utf8},
        {"utf8", Encoding::Utf8},
        {"unicode-1-1-utf-8", Encoding::Utf8},
    };
    for (const auto& [known, encoding] : names) {
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return encoding;
    }
    return std::nullopt;
}

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u':' || c == u'.';
}

// The charset name inside one meta element, text[from, to).
std::optional<CharsetDeclaration> declarationIn(QStringView text, qsizetype from, qsizetype to)
{
    const QStringView element = text.sliced(from, to - from);
    qsizetype at = element.indexOf(u"charset", 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    at += 7;
    while (at < element.size() && element[at].isSpace())
        ++at;
    if (at == element.size() || element[at] != u'=')
        return std::nullopt;
    ++at;
    while (at < element.size()
           && (element[at].isSpace() || element[at] == u'"' || element[at] == u'\''))
        ++at;
    qsizetype end = at;
    while (end < element.size() && isNameCharacter(element[end]))
        ++end;
    if (end == at)
        return std::nullopt;
    return CharsetDeclaration{from + at, end - at, encodingNamed(element.sliced(at, end - at))};
}

qsizetype escapedBytes(QStringView decoded)
{
    return std::count_if(decoded.begin(), decoded.end(),
                         [](QChar c) { return detail::isByteEscape(c.unicode()); });
}

// Bytes that are not wholly valid in any of the three (a damaged file, a stray byte): the
// encoding that leaves fewest bytes outside characters; between EUC-JP and Shift-JIS on a tie,
// EUC-JP when the text is not plausible Shift-JIS.
Encoding guessFromBytes(QByteArrayView bytes)
{
    const qsizetype shiftJis = escapedBytes(decodeCp932(bytes));
    const qsizetype eucJp = escapedBytes(decodeEucJp(bytes));
    const qsizetype utf8 = escapedBytes(decodeUtf8(bytes));
    if (utf8 < shiftJis && utf8 < eucJp)
        return Encoding::Utf8;
    if (eucJp < shiftJis || (eucJp == shiftJis && !isPlausibleShiftJis(bytes)))
        return Encoding::EucJp;
    return Encoding::ShiftJis;
}

} // namespace

bool looksLikeUtf8(QByteArrayView bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype longest = 1;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = detail::utf8SequenceLength(s, i, bytes.size());
        if (length == 0)
            return false;
        longest = std::max(longest, length);
        i += length;
    }
    return longest >= 3 || (longest == 2 && !isWellFormedShiftJis(bytes));
}

std::optional<CharsetDeclaration> findCharsetDeclaration(QStringView text)
{
    const QStringView head = text.first(std::min(text.size(), kDeclarationReach));
    for (qsizetype at = head.indexOf(u"<meta", 0, Qt::CaseInsensitive); at >= 0;
         at = head.indexOf(u"<meta", at + 5, Qt::CaseInsensitive)) {
        qsizetype end = head.indexOf(u'>', at);
        if (end < 0)
            end = head.size();
        if (std::optional<CharsetDeclaration> found = declarationIn(head, at, end))
            return found;
    }
    return std::nullopt;
}

std::optional<QString> withCharsetDeclared(const QString& text, Encoding encoding)
{
    const std::optional<CharsetDeclaration> found = findCharsetDeclaration(text);
    if (!found)
        return std::nullopt;
    QString changed = text;
    changed.replace(found->position, found->length, charsetLabel(encoding));
    return changed;
}

EncodingGuess guessEncoding(QByteArrayView bytes)
{
    EncodingGuess guess;
    // The declaration is ASCII in every encoding here: read the head byte for byte.
    const QByteArrayView head = bytes.first(std::min(bytes.size(), kDeclarationReach));
    if (std::optional<CharsetDeclaration> found = findCharsetDeclaration(QString::fromLatin1(head)))
        guess.declared = found->encoding;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        guess.used = {Encoding::Utf8, true};
    else if (guess.declared && isValidIn(bytes, *guess.declared))
        guess.used = {*guess.declared, false};
    else if (looksLikeUtf8(bytes))
        guess.used = {Encoding::Utf8, false};
    else
        guess.used = {guessFromBytes(bytes.first(std::min(bytes.size(), kGuessReach))), false};
    return guess;
}

} // namespace text
