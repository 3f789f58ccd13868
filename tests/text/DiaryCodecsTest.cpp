#include "support/CrLfBytes.h"
#include "support/FileCodecs.h"
#include "text/EncodingGuess.h"
#include "text/EucJp.h"
#include "text/TextEncoding.h"
#include "text/Utf8Text.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using text::Encoding;
using text::FileEncoding;

namespace {

const char* nameOf(Encoding encoding)
{
    return encoding == Encoding::EucJp ? "EUC-JP" : encoding == Encoding::Utf8 ? "UTF-8" : "SJIS";
}

TEST(DiaryCodecs, CharactersHaveTheBytesBrowsersGiveThem)
{
    struct Case {
        const char* name;
        Encoding encoding;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"hiragana", Encoding::EucJp, "\xA4\xA2", u"あ"_s},
        {"kanji", Encoding::EucJp, "\xB6\xE2", u"金"_s},
        {"NEC circled one", Encoding::EucJp, "\xAD\xA1", u"①"_s},
        {"tilde as Windows reads it", Encoding::EucJp, "\xA1\xC1", u"～"_s},
        {"half-width katakana", Encoding::EucJp, "\x8E\xB1\x8E\xDF", u"ｱﾟ"_s},
        {"JIS X 0212", Encoding::EucJp, "\x8F\xB0\xA1", u"丂"_s},
        {"IBM kanji after 0x8F, as EUC-JP-MS writes it", Encoding::EucJp, "\x8F\xF4\xFB", u"髙"_s},
        {"user-defined area", Encoding::EucJp, "\xF5\xA1\x8F\xFE\xFE", u"\uE000\uE757"_s},
        {"stray bytes kept", Encoding::EucJp, "\xFF\x8E\x41\xA4", u"\uF7FF\uF78EA\uF7A4"_s},
        {"unassigned row kept", Encoding::EucJp, "\xA9\xA1", u"\uF7A9\uF7A1"_s},
        {"stray 0x8F and row byte before a kanji with two codes", Encoding::EucJp,
         "\x8F\xCF\x8F\xC7\xC7", u"\uF78F\uF7CF\u6D87"_s},
        {"four-byte UTF-8", Encoding::Utf8, "\xF0\xA0\xAE\xB7", u"𠮷"_s},
        {"three-byte UTF-8", Encoding::Utf8, "\xE5\x87\x9B", u"凛"_s},
        {"truncated sequence kept", Encoding::Utf8, "\xE5\x87<", u"\uF7E5\uF787<"_s},
        {"the escape range itself kept", Encoding::Utf8, "\xEF\x9E\x80", u"\uF7EF\uF79E\uF780"_s},
        {"overlong form kept", Encoding::Utf8, "\xC0\xAF", u"\uF7C0\uF7AF"_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeIn(c.bytes, c.encoding), c.text) << c.name;
        EXPECT_EQ(encodeIn(c.text, c.encoding).bytes, c.bytes) << c.name;
    }
    // What Linux input methods type is written as the character Windows would have typed.
    EXPECT_EQ(text::encodeEucJp(u"\u301C\u2212\u00A5"_s).bytes, QByteArray("\xA1\xC1\xA1\xDD\\"));
}

// A character with more than one code is written with the one it was read from; typed, with the
// one Windows (or Linux, in EUC-JP) writes. UTF-8's characters that the editor would take for
// line ends are carried as their bytes.
TEST(DiaryCodecs, EachCharacterIsWrittenInTheCodeItWasReadFrom)
{
    struct Case {
        const char* name;
        Encoding encoding;
        QByteArray read, typed;
    };
    const Case cases[] = {
        {"髙 as Python's cp932 writes it", Encoding::ShiftJis, "\xEE\xE0", "\xFB\xFC"},
        {"﨑 in the NEC-selected rows", Encoding::ShiftJis, "\xED\x95", "\xFA\xB1"},
        {"≒ in NEC's row 13", Encoding::ShiftJis, "\x87\x90", "\x81\xE0"},
        {"∵ in the IBM rows", Encoding::ShiftJis, "\xFA\x5B", "\x81\xE6"},
        {"～ as glibc's EUC-JP writes it", Encoding::EucJp, "\x8F\xA2\xB7", "\xA1\xC1"},
        {"line and paragraph separators", Encoding::Utf8, "\xE2\x80\xA8\xE2\x80\xA9", "\r\n\r\n"},
        {"frame marks", Encoding::Utf8, "\xEF\xB7\x90\xEF\xB7\x91", "\xEF\xB7\x90\xEF\xB7\x91"},
    };
    for (const Case& c : cases) {
        text::ReadCodes codes;
        const QString read = text::decodeToEditor(c.read, {c.encoding}, &codes);
        EXPECT_FALSE(read.contains(u'\n')) << c.name;
        EXPECT_EQ(text::encodeFromEditor(read, {c.encoding}, {&codes}).bytes, c.read) << c.name;
        EXPECT_EQ(text::encodeFromEditor(decodeIn(c.read, c.encoding), {c.encoding}).bytes, c.typed)
            << c.name;
    }
}

// A copy in another encoding keeps each character as it was read: one the new encoding would
// write as another character becomes a reference (and is listed); typed, it takes the Windows code.
TEST(DiaryCodecs, ACopyKeepsEachCharacterAsRead)
{
    struct Case {
        const char* name;
        Encoding from;
        QByteArray read;
        Encoding to;
        QByteArray copy;
        QList<char32_t> listed;
    };
    const Case cases[] = {
        {"‖ and ∥ into Shift-JIS",
         Encoding::Utf8,
         "\xE2\x80\x96\xE2\x88\xA5",
         Encoding::ShiftJis,
         "&#8214;\x81\x61",
         {0x2016}},
        {"〜 and ～ into EUC-JP",
         Encoding::Utf8,
         "\xE3\x80\x9C\xEF\xBD\x9E",
         Encoding::EucJp,
         "&#12316;\xA1\xC1",
         {0x301C}},
        {"～ read from EUC-JP into UTF-8",
         Encoding::EucJp,
         "\xA1\xC1",
         Encoding::Utf8,
         "\xEF\xBD\x9E",
         {}},
        {"Python's 髙 into EUC-JP",
         Encoding::ShiftJis,
         "\xEE\xE0",
         Encoding::EucJp,
         "\x8F\xF4\xFB",
         {}},
    };
    for (const Case& c : cases) {
        text::ReadCodes codes;
        const QString read = text::decodeToEditor(c.read, {c.from}, &codes);
        const text::Encoded copy = text::encodeFromEditor(read, {c.to}, {&codes, false});
        EXPECT_EQ(copy.bytes, c.copy) << c.name;
        EXPECT_EQ(copy.unencodable, c.listed) << c.name;
    }
    EXPECT_EQ(text::encodeFromEditor(u"‖〜"_s, {Encoding::ShiftJis}, {}).bytes,
              QByteArray("\x81\x61\x81\x60"));
}

TEST(DiaryCodecs, TheLineEndsOfAFileAreTheOnesAllItsLinesShare)
{
    using text::LineEnd;
    const std::pair<QByteArray, LineEnd> cases[] = {
        {"a\r\nb\r\n", LineEnd::CrLf}, {"a\nb\n", LineEnd::Lf},   {"a\rb", LineEnd::Cr},
        {"a\r\nb\n", LineEnd::CrLf},   {"a\rb\n", LineEnd::CrLf}, {"ab", LineEnd::CrLf},
    };
    for (const auto& [bytes, lineEnd] : cases)
        EXPECT_EQ(text::lineEndOf(bytes), lineEnd) << bytes.toHex().constData();
}

TEST(DiaryCodecs, WhatTheEncodingCannotHoldBecomesAReferenceNeverAQuestionMark)
{
    const text::Encoded euc = text::encodeEucJp(u"a😀\u0085😀"_s);
    EXPECT_EQ(euc.bytes, QByteArray("a&#128512;&#133;&#128512;"));
    EXPECT_EQ(euc.unencodable, (QList<char32_t>{0x1F600, 0x85}));
    const text::Encoded utf8 = text::encodeUtf8(u"\xD800x"_s);
    EXPECT_EQ(utf8.bytes, QByteArray("&#55296;x"));
    EXPECT_EQ(utf8.unencodable, QList<char32_t>{0xD800});
    EXPECT_EQ(text::encodeUtf8(u"😀"_s).bytes, QByteArray("\xF0\x9F\x98\x80"));
}

// Random bytes, half of them whole characters of the encoding, so that stray bytes sit beside
// real characters: open and save gives the file back (line ends as CR LF); UTF-8 byte for byte,
// the two Japanese encodings apart from a duplicate code written with the code Windows writes.
TEST(DiaryCodecs, AnyBytesSurviveOpenAndSave)
{
    QRandomGenerator random(20);
    const QString pieces = u"あ金燕凛①～ｱ丂纊￢≒∵\r\n<>"_s;
    for (const Encoding encoding : {Encoding::ShiftJis, Encoding::EucJp, Encoding::Utf8}) {
        int changed = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes;
            const int length = random.bounded(1, 40);
            for (int k = 0; k < length; ++k) {
                if (random.bounded(2))
                    bytes += char(random.bounded(256));
                else
                    bytes += encodeIn(QStringView(pieces).sliced(random.bounded(pieces.size()), 1),
                                      encoding)
                                 .bytes;
            }
            const QString read = text::decodeToEditor(bytes, {encoding});
            const QByteArray saved = text::encodeFromEditor(read, {encoding}).bytes;
            if (encoding == Encoding::Utf8) {
                ASSERT_EQ(saved, withCrLf(bytes)) << bytes.toHex().constData();
                continue;
            }
            ASSERT_EQ(text::decodeToEditor(saved, {encoding}), read)
                << nameOf(encoding) << " " << bytes.toHex().constData();
            ASSERT_EQ(
                text::encodeFromEditor(text::decodeToEditor(saved, {encoding}), {encoding}).bytes,
                saved)
                << nameOf(encoding) << " " << bytes.toHex().constData();
            changed += saved != withCrLf(bytes);
        }
        // Only the few duplicates (≒ ∵ of NEC's row 13, ￢) may change their code.
        EXPECT_LT(changed, 300) << nameOf(encoding);
    }
}

TEST(EncodingGuess, TheDeclaredCharsetIsFoundAndRewritten)
{
    struct Case {
        const char* name;
        QString text;
        std::optional<Encoding> found;
        QString rewritten; // to UTF-8; empty: nothing declared
    };
    const Case cases[] = {
        {"html5", u"<meta charset=\"euc-jp\">"_s, Encoding::EucJp, u"<meta charset=\"UTF-8\">"_s},
        {"http-equiv",
         u"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=x-sjis\">"_s,
         Encoding::ShiftJis,
         u"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">"_s},
        {"Windows-31J unquoted", u"<meta charset=Windows-31J>"_s, Encoding::ShiftJis,
         u"<meta charset=UTF-8>"_s},
        {"unknown name", u"<meta charset='iso-2022-jp'>"_s, std::nullopt,
         u"<meta charset='UTF-8'>"_s},
        {"charset outside a meta element", u"<p>charset=EUC-JP</p>"_s, std::nullopt, {}},
        {"none", u"<html><p>日記</p>"_s, std::nullopt, {}},
        {"beyond the first kilobytes",
         QString(9000, u' ') + u"<meta charset=utf-8>"_s,
         std::nullopt,
         {}},
    };
    for (const Case& c : cases) {
        const auto declaration = text::findCharsetDeclaration(c.text);
        EXPECT_EQ(declaration.has_value(), !c.rewritten.isEmpty()) << c.name;
        EXPECT_EQ(declaration ? declaration->encoding : std::nullopt, c.found) << c.name;
        EXPECT_EQ(text::withCharsetDeclared(c.text, Encoding::Utf8).value_or(QString()),
                  c.rewritten)
            << c.name;
    }
}

// The corpus: each text in each encoding, without a declaration (the guess from the bytes alone),
// declaring its own charset, and declaring one its bytes are not valid in.
TEST(EncodingGuess, EveryCorpusTextIsReadInItsOwnEncoding)
{
    const QDir corpus(QStringLiteral(PELMORA_GUESS_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_GE(names.size(), 8);
    int guessed = 0;
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString source = QString::fromUtf8(file.readAll());
        for (const Encoding encoding : {Encoding::ShiftJis, Encoding::EucJp, Encoding::Utf8}) {
            const Encoding other = encoding == Encoding::Utf8 ? Encoding::EucJp : Encoding::Utf8;
            for (const Encoding declared : {encoding, other}) {
                QString text = source;
                text.replace(u"%CHARSET%"_s, text::charsetLabel(declared));
                const QByteArray bytes = encodeIn(text, encoding).bytes;
                const text::EncodingGuess guess = text::guessEncoding(bytes);
                const std::string what = name.toStdString() + " in " + nameOf(encoding)
                                         + " declared " + nameOf(declared);
                EXPECT_EQ(guess.used, FileEncoding{encoding}) << what;
                const bool declares = source.contains(u"%CHARSET%");
                EXPECT_EQ(guess.disagrees(), declares && declared != encoding) << what;
                guessed += !declares && guess.used.encoding == encoding;
            }
        }
    }
    EXPECT_EQ(guessed, 2 * 3 * (names.size() - 2));
    EXPECT_EQ(text::guessEncoding("\xEF\xBB\xBF<meta charset=Shift_JIS>").used,
              (FileEncoding{Encoding::Utf8, true}));
}

} // namespace
