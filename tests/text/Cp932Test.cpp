#include "text/Cp932.h"

#include "text/LineEnds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <iconv.h>
#include <map>
#include <random>
#include <vector>

using text::cp932Length;
using text::decodeCp932;
using text::encodeCp932;
using text::truncateCp932;

// Readable failure messages for QString comparisons.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << "\" (";
    for (QChar c : s)
        *os << ' ' << std::hex << unsigned(c.unicode());
    *os << std::dec << " )";
}

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

QString units(std::initializer_list<char16_t> values)
{
    QString out;
    for (char16_t v : values)
        out.append(QChar(v));
    return out;
}

// What glibc iconv itself says about code page 932, asked one character at a time.
// The tests compare the codec against this instead of against the codec's own tables.
class IconvOracle {
public:
    static const IconvOracle& get()
    {
        static const IconvOracle oracle;
        return oracle;
    }

    int singleUnit[256];                         // -1: starts a pair, -2: never a character
    std::vector<int> pairUnit;                   // by lead << 8 | trail; -1: not a character
    std::vector<int> canonicalPair;              // code iconv writes for pairUnit
    std::vector<int> validPairs;                 // every code with pairUnit >= 0
    std::vector<int> encodeUnit;                 // by UTF-16 unit: iconv's code, -1 if none
    std::map<int, std::vector<int>> codesOfUnit; // every pair decoding to a unit, ascending

    bool pairs(int lead, int trail) const { return pairUnit[(lead << 8) | trail] >= 0; }

    // Decodes in and re-encodes it the way iconv would, stray bytes kept as U+F7xx. A
    // duplicate right after a stray lead byte keeps a code whose first byte cannot pair with
    // that byte: the lowest such code of the character.
    void expect(const QByteArray& in, QString& decoded, QByteArray& reencoded) const
    {
        decoded.clear();
        reencoded.clear();
        const auto* p = reinterpret_cast<const unsigned char*>(in.constData());
        const qsizetype n = in.size();
        int strayLead = -1;
        for (qsizetype i = 0; i < n;) {
            const int b = p[i];
            const int lead = strayLead;
            strayLead = -1;
            if (singleUnit[b] >= 0) {
                decoded.append(QChar(char16_t(singleUnit[b])));
                reencoded.append(char(b));
                ++i;
                continue;
            }
            if (singleUnit[b] == -1 && i + 1 < n && pairs(b, p[i + 1])) {
                const int code = (b << 8) | p[i + 1];
                int out = canonicalPair[code];
                if (lead >= 0 && out >= 0x100 && pairs(lead, out >> 8)) {
                    const std::vector<int>& codes = codesOfUnit.at(pairUnit[code]);
                    out = *std::find_if(codes.begin(), codes.end(),
                                        [&](int c) { return !pairs(lead, c >> 8); });
                }
                decoded.append(QChar(char16_t(pairUnit[code])));
                if (out >= 0x100)
                    reencoded.append(char(out >> 8));
                reencoded.append(char(out & 0xFF));
                i += 2;
                continue;
            }
            if (singleUnit[b] == -1)
                strayLead = b;
            decoded.append(QChar(char16_t(0xF700 + b)));
            reencoded.append(char(b));
            ++i;
        }
    }

private:
    IconvOracle() : pairUnit(65536, -1), canonicalPair(65536, -1), encodeUnit(65536, -1)
    {
        iconv_t dec = iconv_open("UTF-16LE", "CP932");
        iconv_t enc = iconv_open("CP932", "UTF-16LE");
        EXPECT_NE(dec, reinterpret_cast<iconv_t>(-1));
        EXPECT_NE(enc, reinterpret_cast<iconv_t>(-1));
        for (int b = 0; b < 256; ++b) {
            const unsigned char in = static_cast<unsigned char>(b);
            std::vector<unsigned char> out;
            const int err = run(dec, &in, 1, out);
            singleUnit[b] = err == 0 ? out[0] | (out[1] << 8) : err == EINVAL ? -1 : -2;
        }
        for (int code = 0; code < 65536; ++code) {
            if (singleUnit[code >> 8] != -1)
                continue;
            const unsigned char in[2] = {static_cast<unsigned char>(code >> 8),
                                         static_cast<unsigned char>(code & 0xFF)};
            std::vector<unsigned char> out;
            if (run(dec, in, 2, out) == 0 && out.size() == 2) {
                pairUnit[code] = out[0] | (out[1] << 8);
                validPairs.push_back(code);
            }
        }
        for (int u = 0; u < 65536; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            const unsigned char in[2] = {static_cast<unsigned char>(u & 0xFF),
                                         static_cast<unsigned char>(u >> 8)};
            std::vector<unsigned char> out;
            if (run(enc, in, 2, out) == 0)
                encodeUnit[u] = out.size() == 1 ? out[0] : (out[0] << 8) | out[1];
        }
        for (int code : validPairs) {
            canonicalPair[code] = encodeUnit[pairUnit[code]];
            codesOfUnit[pairUnit[code]].push_back(code);
        }
        iconv_close(dec);
        iconv_close(enc);
    }

    static int run(iconv_t cd, const unsigned char* in, size_t len, std::vector<unsigned char>& out)
    {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buf[16];
        char* ip = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
        char* op = buf;
        size_t il = len, ol = sizeof buf;
        const size_t r = iconv(cd, &ip, &il, &op, &ol);
        const int err = r == static_cast<size_t>(-1) ? errno : 0;
        out.assign(buf, op);
        return err;
    }
};

QString hexOf(const QByteArray& b)
{
    return QString::fromLatin1(b.toHex(' '));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Fixed points of the mapping, both directions.

TEST(Cp932Mapping, KnownCharactersHaveTheirWindowsBytes)
{
    struct Case {
        const char* name;
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"fine weather", QStringLiteral("晴れ"), bytes({0x90, 0xB0, 0x82, 0xEA})},
        {"year", QStringLiteral("年"), bytes({0x94, 0x4E})},
        {"month", QStringLiteral("月"), bytes({0x8C, 0x8E})},
        {"full-width slash", QStringLiteral("／"), bytes({0x81, 0x5E})},
        {"backslash", QStringLiteral("\\"), bytes({0x5C})},
        {"tilde", QStringLiteral("~"), bytes({0x7E})},
        {"full-width tilde", units({0xFF5E}), bytes({0x81, 0x60})},
        {"full-width backslash", units({0xFF3C}), bytes({0x81, 0x5F})},
        {"first half-width katakana", units({0xFF61}), bytes({0xA1})},
        {"last half-width katakana", units({0xFF9F}), bytes({0xDF})},
        {"first user-defined", units({0xE000}), bytes({0xF0, 0x40})},
        {"last user-defined", units({0xE757}), bytes({0xF9, 0xFC})},
        {"controls stay put", units({0x00, 0x1A, 0x1C, 0x7F}), bytes({0x00, 0x1A, 0x1C, 0x7F})},
        {"CR LF line", QStringLiteral("日記\r\n"), bytes({0x93, 0xFA, 0x8B, 0x4C, 0x0D, 0x0A})},
        {"empty", QString(), QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeCp932(c.bytes), c.text);
        const text::Encoded e = encodeCp932(c.text);
        EXPECT_EQ(hexOf(e.bytes), hexOf(c.bytes));
        EXPECT_TRUE(e.unencodable.isEmpty());
        EXPECT_EQ(cp932Length(c.text), c.bytes.size());
    }
}

TEST(Cp932Mapping, DuplicateCodesDecodeToTheirCharacterAndEncodeToTheWindowsCode)
{
    struct Case {
        QByteArray duplicate;
        char16_t character;
        QByteArray canonical;
    };
    const Case cases[] = {
        {bytes({0x87, 0x90}), 0x2252, bytes({0x81, 0xE0})}, // NEC row 13 vs JIS row 2
        {bytes({0xED, 0x40}), 0x7E8A, bytes({0xFA, 0x5C})}, // NEC-selected IBM vs IBM
        {bytes({0xEE, 0xEF}), 0x2170, bytes({0xFA, 0x40})},
        {bytes({0xEE, 0xFB}), 0xFF07, bytes({0xFA, 0x56})},
        {bytes({0xEE, 0xF9}), 0xFFE2, bytes({0x81, 0xCA})},
        {bytes({0xFA, 0x4A}), 0x2160, bytes({0x87, 0x54})}, // IBM vs NEC row 13
        {bytes({0xFA, 0x58}), 0x3231, bytes({0x87, 0x8A})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(hexOf(c.duplicate).toStdString());
        EXPECT_EQ(decodeCp932(c.duplicate), units({c.character}));
        EXPECT_EQ(decodeCp932(c.canonical), units({c.character}));
        EXPECT_EQ(hexOf(encodeCp932(decodeCp932(c.duplicate)).bytes), hexOf(c.canonical));
    }
}

TEST(Cp932Mapping, EncodesCharactersLinuxInputMethodsType)
{
    // Input methods on Linux produce the JIS-flavoured characters; Windows files hold
    // them at the Microsoft code of the look-alike. Yen sign and overline fall onto
    // the ASCII bytes Japanese Windows fonts draw that way.
    struct Case {
        char16_t typed;
        QByteArray code;
        char16_t readBack;
    };
    const Case cases[] = {
        {0x301C, bytes({0x81, 0x60}), 0xFF5E}, // wave dash
        {0x2016, bytes({0x81, 0x61}), 0x2225}, // double vertical line
        {0x2212, bytes({0x81, 0x7C}), 0xFF0D}, // minus sign
        {0x00A2, bytes({0x81, 0x91}), 0xFFE0}, // cent sign
        {0x00A3, bytes({0x81, 0x92}), 0xFFE1}, // pound sign
        {0x00AC, bytes({0x81, 0xCA}), 0xFFE2}, // not sign
        {0x2014, bytes({0x81, 0x5C}), 0x2015}, // em dash
        {0x00A5, bytes({0x5C}), 0x005C},       // yen sign
        {0x203E, bytes({0x7E}), 0x007E},       // overline
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::number(c.typed, 16).toStdString());
        const text::Encoded e = encodeCp932(units({c.typed}));
        EXPECT_EQ(hexOf(e.bytes), hexOf(c.code));
        EXPECT_TRUE(e.unencodable.isEmpty());
        EXPECT_EQ(decodeCp932(c.code), units({c.readBack}));
    }
}

// ---------------------------------------------------------------------------------------------
// Exhaustive and random agreement with iconv, and byte-exact round trips.

TEST(Cp932RoundTrip, EverySingleByteAndEveryPair)
{
    const IconvOracle& oracle = IconvOracle::get();
    int duplicates = 0;
    int characters = 0;
    for (int code = -256; code < 65536; ++code) {
        // -256..-1 stand for the single bytes 0x00..0xFF on their own.
        const QByteArray in = code < 0 ? bytes({code + 256}) : bytes({code >> 8, code & 0xFF});
        QString expectedText;
        QByteArray expectedBytes;
        oracle.expect(in, expectedText, expectedBytes);
        const QString decoded = decodeCp932(in);
        ASSERT_EQ(decoded, expectedText) << hexOf(in).toStdString();
        const text::Encoded e = encodeCp932(decoded);
        ASSERT_EQ(hexOf(e.bytes), hexOf(expectedBytes)) << hexOf(in).toStdString();
        ASSERT_TRUE(e.unencodable.isEmpty());
        characters += code >= 0 && oracle.pairUnit[code] >= 0;
        duplicates += e.bytes != in;
    }
    // Everything that is not a duplicate must come back unchanged; only the NEC and
    // IBM duplicates (398 in glibc's table) may move, and only onto iconv's code.
    EXPECT_EQ(characters, 9604);
    EXPECT_EQ(duplicates, 398);
}

TEST(Cp932RoundTrip, EveryBmpUnitEncodesLikeIconv)
{
    const IconvOracle& oracle = IconvOracle::get();
    for (int u = 0; u < 65536; ++u) {
        const QString in = units({char16_t(u)});
        const text::Encoded e = encodeCp932(in);
        QByteArray expected;
        QList<char32_t> expectedUnencodable;
        if (u >= 0xF780 && u <= 0xF7FF) {
            expected = bytes({u - 0xF700});
        } else if (oracle.encodeUnit[u] >= 0) {
            const int code = oracle.encodeUnit[u];
            expected = code < 0x100 ? bytes({code}) : bytes({code >> 8, code & 0xFF});
        } else {
            expected = "&#" + QByteArray::number(u) + ";";
            expectedUnencodable = {char32_t(u)};
        }
        ASSERT_EQ(e.bytes, expected) << "U+" << std::hex << u;
        ASSERT_EQ(e.unencodable, expectedUnencodable) << "U+" << std::hex << u;
        ASSERT_EQ(cp932Length(in), expected.size()) << "U+" << std::hex << u;
    }
}

TEST(Cp932RoundTrip, RandomBuffers)
{
    const IconvOracle& oracle = IconvOracle::get();
    std::mt19937 rng(932);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    // Uniform bytes, bytes mostly from 0x80-0xFF, and text that is mostly valid:
    // ASCII runs of every length around the 8- and 16-wide fast paths, double-byte
    // characters, half-width katakana, CR LF, and now and then a stray byte.
    struct Kind {
        const char* name;
        int megabytes;
        std::function<void(QByteArray&)> append;
    };
    const Kind kinds[] = {
        {"uniform bytes", 1, [&](QByteArray& b) { b.append(char(pick(0, 255))); }},
        {"high bytes", 1,
         [&](QByteArray& b) {
             b.append(char(pick(0, 9) == 0 ? pick(0, 0x7F) : pick(0x80, 0xFF)));
         }},
        {"mostly text", 2,
         [&](QByteArray& b) {
             switch (pick(0, 9)) {
             case 0: {
                 const int run = pick(0, 40);
                 for (int i = 0; i < run; ++i)
                     b.append(char(pick(0x20, 0x7E)));
                 break;
             }
             case 1: b.append(char(pick(0xA1, 0xDF))); break;
             case 2: b.append("\r\n"); break;
             case 3:
                 if (pick(0, 20) == 0)
                     b.append(char(pick(0x80, 0xFF)));
                 break;
             default: {
                 const int code = oracle.validPairs[pick(0, int(oracle.validPairs.size()) - 1)];
                 b.append(char(code >> 8));
                 b.append(char(code & 0xFF));
             }
             }
         }},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        for (int round = 0; round < kind.megabytes * 4; ++round) {
            QByteArray in;
            const int size = pick(200000, 300000);
            while (in.size() < size)
                kind.append(in);
            QString expectedText;
            QByteArray expectedBytes;
            oracle.expect(in, expectedText, expectedBytes);
            const QString decoded = decodeCp932(in);
            ASSERT_EQ(decoded, expectedText);
            const text::Encoded e = encodeCp932(decoded);
            ASSERT_EQ(e.bytes, expectedBytes);
            ASSERT_TRUE(e.unencodable.isEmpty());
            ASSERT_EQ(cp932Length(decoded), in.size());
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Bytes that are not characters.

TEST(Cp932Decode, StrayBytesBecomePrivateUseAndTheNextByteStillDecodes)
{
    struct Case {
        const char* name;
        QByteArray in;
        QString decoded;
    };
    const Case cases[] = {
        {"0x80", bytes({0x80, 0x41}), units({0xF780, 'A'})},
        {"0xA0", bytes({0xA0, 0x82, 0xA0}), units({0xF7A0, 0x3042})},
        {"0xFD", bytes({0xFD, 0xB1}), units({0xF7FD, 0xFF71})},
        {"0xFE", bytes({0x41, 0xFE, 0x42}), units({'A', 0xF7FE, 'B'})},
        {"0xFF", bytes({0xFF, 0xFF}), units({0xF7FF, 0xF7FF})},
        {"lead byte at the end", bytes({0x41, 0x81}), units({'A', 0xF781})},
        {"lone lead byte", bytes({0xE0}), units({0xF7E0})},
        {"lead + space", bytes({0x81, 0x20}), units({0xF781, ' '})},
        {"lead + DEL", bytes({0x81, 0x7F}), units({0xF781, 0x7F})},
        {"lead + 0xFD", bytes({0x81, 0xFD}), units({0xF781, 0xF7FD})},
        {"lead + CR LF", bytes({0x93, 0x0D, 0x0A}), units({0xF793, '\r', '\n'})},
        {"unassigned pair, trail read alone", bytes({0x85, 0x40}), units({0xF785, '@'})},
        {"unassigned pair, trail starts a pair", bytes({0x85, 0x82, 0xA0}),
         units({0xF785, 0x3042})},
        {"lead before lead", bytes({0xFC, 0xFC, 0x81, 0x40}), units({0xF7FC, 0xF7FC, 0x3000})},
        {"after a long ASCII run", QByteArray(40, 'x') + bytes({0x80}) + QByteArray(20, 'y'),
         QString(40, 'x') + units({0xF780}) + QString(20, 'y')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString decoded = decodeCp932(c.in);
        EXPECT_EQ(decoded, c.decoded);
        EXPECT_EQ(hexOf(encodeCp932(decoded).bytes), hexOf(c.in));
    }
}

// Opening a file as the diary does: decoded, every line end made one LF. The reference is the
// same in two steps: decoded as it is, then CR LF, CR and LF turned into LF.
static QString openBytes(const QByteArray& file)
{
    const QString opened = text::decodeCp932ToEditor(file);
    QString twoSteps = decodeCp932(file);
    twoSteps.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    EXPECT_EQ(opened, twoSteps);
    return opened;
}

TEST(Cp932Decode, StrayLeadByteBeforeADuplicateStaysAloneAfterSaving)
{
    // EE ED is not a character, so EE stands alone and ED 40 reads as U+7E8A, which Windows
    // writes as FA 5C. Written that way after EE, the bytes would read as EE FA and "\".
    const QByteArray worked = bytes({0xEE, 0xED, 0x40});
    EXPECT_EQ(decodeCp932(worked), units({0xF7EE, 0x7E8A}));
    EXPECT_EQ(hexOf(encodeCp932(decodeCp932(worked)).bytes), hexOf(worked));
    EXPECT_EQ(hexOf(encodeCp932(units({0x7E8A})).bytes), "fa 5c");

    // Every stray lead byte before every duplicate code.
    const IconvOracle& oracle = IconvOracle::get();
    int wouldPair = 0;
    for (int lead = 0x80; lead < 0x100; ++lead) {
        if (oracle.singleUnit[lead] != -1)
            continue;
        for (int code : oracle.validPairs) {
            const int canonical = oracle.canonicalPair[code];
            if (canonical == code || oracle.pairs(lead, code >> 8))
                continue;
            const QByteArray in = bytes({lead, code >> 8, code & 0xFF});
            const QString text = decodeCp932(in);
            ASSERT_EQ(text, units({char16_t(0xF700 + lead), char16_t(oracle.pairUnit[code])}))
                << hexOf(in).toStdString();
            const QByteArray saved = encodeCp932(text).bytes;
            ASSERT_EQ(decodeCp932(saved), text) << hexOf(in).toStdString();
            ASSERT_EQ(encodeCp932(decodeCp932(saved)).bytes, saved) << hexOf(in).toStdString();
            if (oracle.pairs(lead, canonical >> 8))
                ++wouldPair;
            else
                ASSERT_EQ(saved, bytes({lead, canonical >> 8, canonical & 0xFF}));
        }
    }
    EXPECT_EQ(wouldPair, 481);
}

TEST(Cp932Decode, ShortFilesReadTheSameAfterEverySave)
{
    // Short byte strings rich in lead bytes, duplicate codes, stray bytes and line ends: the
    // first save may normalise, after that every open and save gives the same text and bytes.
    const IconvOracle& oracle = IconvOracle::get();
    std::vector<int> duplicates;
    for (int code : oracle.validPairs) {
        if (oracle.canonicalPair[code] != code)
            duplicates.push_back(code);
    }
    std::mt19937 rng(7932);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300000; ++round) {
        QByteArray file;
        const int pieces = pick(1, 5);
        for (int p = 0; p < pieces; ++p) {
            switch (pick(0, 5)) {
            case 0: {
                const int code = duplicates[pick(0, int(duplicates.size()) - 1)];
                file.append(char(code >> 8));
                file.append(char(code & 0xFF));
                break;
            }
            case 1: file.append(pick(0, 1) ? '\r' : '\n'); break;
            case 2: file.append(char(pick(0x40, 0x7E))); break;
            default: file.append(char(pick(0x80, 0xFF)));
            }
        }
        const QString opened = openBytes(file);
        const QByteArray saved = text::encodeCp932FromEditor(opened).bytes;
        const QString reopened = openBytes(saved);
        ASSERT_EQ(reopened, opened) << hexOf(file).toStdString();
        ASSERT_EQ(text::encodeCp932FromEditor(reopened).bytes, saved) << hexOf(file).toStdString();
    }
}

TEST(Cp932Decode, Utf8FileSurvivesByteForByte)
{
    const QByteArray utf8 = QStringLiteral("2024年12月7日(土) 晴れ\r\n"
                                           "今日は朝から散歩に出かけた。ｶﾌｪで珈琲を飲む。\r\n"
                                           "「日記をつけるのは楽しい」と思った～♪\r\n")
                                .toUtf8();
    const QString decoded = decodeCp932(utf8);
    // Some of the bytes read as double-byte characters, the rest as stray bytes;
    // either way writing the text back restores the file.
    EXPECT_TRUE(std::any_of(decoded.begin(), decoded.end(), [](QChar c) {
        return c.unicode() >= 0xF780 && c.unicode() <= 0xF7FF;
    }));
    const text::Encoded e = encodeCp932(decoded);
    EXPECT_EQ(hexOf(e.bytes), hexOf(utf8));
    EXPECT_TRUE(e.unencodable.isEmpty());
}

// The editor's text is written in one pass, its line breaks as CR LF: the same bytes as making
// a CR LF copy first and encoding that.
TEST(Cp932Encode, EditorTextIsWrittenAsItsCrLfCopyWouldBe)
{
    const QString ascii8(8, u'a');
    const QString cases[] = {
        QString(),
        QStringLiteral("a\nb"),
        QStringLiteral("\n\n"),
        QStringLiteral("a\rb\r"), // a lone CR in the text stays one byte
        QStringLiteral("a\r\nb"), // and so does the CR of a CR LF
        units({'a', 0x2029, 'b', 0x2028, 0x2029}),
        QStringLiteral("日記\n本文\n"),
        QStringLiteral("a😀\n😀"),
        units({0xF781, '\n', 0xF781, 0x2029, 0xF7EE, 0x7E8A, 0xF7FF, '\n'}),
        // ASCII runs are written eight units at a time: line breaks at either side of a block.
        ascii8 + u'\n' + ascii8 + ascii8 + u'\n' + QStringLiteral("1234567\n") + ascii8,
        ascii8 + QChar(0x2029) + ascii8 + QStringLiteral("\n"),
    };
    for (const QString& t : cases) {
        const text::Encoded onePass = text::encodeCp932FromEditor(t);
        const text::Encoded twoSteps = encodeCp932(text::fromEditorText(t));
        EXPECT_EQ(hexOf(onePass.bytes), hexOf(twoSteps.bytes)) << t.toStdString();
        EXPECT_EQ(onePass.unencodable, twoSteps.unencodable) << t.toStdString();
    }
    EXPECT_EQ(text::encodeCp932FromEditor(units({'a', 0x2029, 0x3042, '\n'})).bytes,
              QByteArray("a\r\n\x82\xa0\r\n"));
}

// ---------------------------------------------------------------------------------------------
// Characters the page cannot hold.

TEST(Cp932Encode, UnencodableCharactersBecomeReferencesAndAreListedOnce)
{
    struct Case {
        const char* name;
        QString text;
        QByteArray bytes;
        QList<char32_t> unencodable;
    };
    const Case cases[] = {
        {"emoji", QStringLiteral("a😀b😀"), "a&#128512;b&#128512;", {0x1F600}},
        {"lone high surrogate", units({'x', 0xD83D}), "x&#55357;", {0xD83D}},
        {"lone low surrogate", units({0xDE00, 'y'}), "&#56832;y", {0xDE00}},
        {"surrogates in the wrong order",
         units({0xDE00, 0xD83D}),
         "&#56832;&#55357;",
         {0xDE00, 0xD83D}},
        {"order of first appearance",
         QStringLiteral("é日😀€é😀"),
         "&#233;" + bytes({0x93, 0xFA}) + "&#128512;&#8364;&#233;&#128512;",
         {0xE9, 0x1F600, 0x20AC}},
        {"highest code point", units({0xDBFF, 0xDFFF}), "&#1114111;", {0x10FFFF}},
        {"many references in a short text",
         QString(50, QChar(0x20AC)),
         QByteArray("&#8364;").repeated(50),
         {0x20AC}},
        {"after a long ASCII run",
         QString(20, 'a') + QStringLiteral("😀") + QString(9, 'b'),
         QByteArray(20, 'a') + "&#128512;" + QByteArray(9, 'b'),
         {0x1F600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const text::Encoded e = encodeCp932(c.text);
        EXPECT_EQ(e.bytes, c.bytes);
        EXPECT_EQ(e.unencodable, c.unencodable);
        EXPECT_EQ(cp932Length(c.text), c.bytes.size());
        EXPECT_FALSE(e.bytes.contains('?'));
    }
}

// ---------------------------------------------------------------------------------------------
// Cutting to a byte budget.

TEST(Cp932Truncate, CutsBeforeACharacterThatWouldNotFit)
{
    // ﾏｲ=2 日記=4 _=1 山田=4 ﾀﾛｳ=3 _=1 2024=4 年=2 12=2 月=2 31=2 日=2 (=1 火=2 ).txt=5
    const QString name = QStringLiteral("ﾏｲ日記_山田ﾀﾛｳ_2024年12月31日(火).txt");
    struct Case {
        const char* name;
        QString text;
        qsizetype maxBytes;
        QString expected;
    };
    const Case cases[] = {
        {"31 bytes end inside 火", name, 31, QStringLiteral("ﾏｲ日記_山田ﾀﾛｳ_2024年12月31日(")},
        {"32 bytes take 火", name, 32, QStringLiteral("ﾏｲ日記_山田ﾀﾛｳ_2024年12月31日(火")},
        {"3 bytes end inside 日", name, 3, QStringLiteral("ﾏｲ")},
        {"whole name", name, 37, name},
        {"more than the whole", name, 1000, name},
        {"zero", name, 0, QString()},
        {"negative", name, -5, QString()},
        {"reference kept whole", QStringLiteral("a😀b"), 9, QStringLiteral("a")},
        {"reference fits", QStringLiteral("a😀b"), 10, QStringLiteral("a😀")},
        {"lone surrogate reference", units({'a', 0xD800, 'b'}), 8, QStringLiteral("a")},
        {"stray byte counts one", units({0xF781, 0x3042}), 2, units({0xF781})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString cut = truncateCp932(c.text, c.maxBytes);
        EXPECT_EQ(cut, c.expected);
    }
}

TEST(Cp932Truncate, EveryLimitGivesTheLongestPrefixThatFits)
{
    const QString text = QStringLiteral("ﾆｯｷ😀日記 abc\r\n") + units({0xD83D})
                         + QStringLiteral("ｶﾞｯｺｳ€年月／") + units({0xF7A0});
    const qsizetype total = cp932Length(text);
    for (qsizetype limit = 0; limit <= total + 1; ++limit) {
        SCOPED_TRACE(limit);
        const QString cut = truncateCp932(text, limit);
        ASSERT_TRUE(text.startsWith(cut));
        ASSERT_LE(cp932Length(cut), limit);
        // The cut is a prefix of the encoding too: nothing split.
        ASSERT_TRUE(encodeCp932(text).bytes.startsWith(encodeCp932(cut).bytes));
        if (cut.size() < text.size()) {
            const bool pair = text.at(cut.size()).isHighSurrogate() && cut.size() + 1 < text.size()
                              && text.at(cut.size() + 1).isLowSurrogate();
            ASSERT_GT(cp932Length(text.first(cut.size() + (pair ? 2 : 1))), limit);
        } else {
            ASSERT_LE(total, limit);
        }
    }
}
