#include "text/EucJp.h"
#include "support/FileCodecs.h"
#include "text/JisTwins.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <iconv.h>

using namespace Qt::StringLiterals;

namespace {

// One glibc iconv conversion, asked one input at a time: the whole output, or nothing when
// iconv refuses the input or leaves part of it.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        EXPECT_NE(cd_, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
    }
    ~Iconv() { iconv_close(cd_); }

    std::optional<QByteArray> operator()(QByteArrayView in) const
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[16];
        char* ip = const_cast<char*>(in.data());
        char* op = out;
        size_t il = size_t(in.size()), ol = sizeof out;
        if (iconv(cd_, &ip, &il, &op, &ol) == size_t(-1) || il != 0)
            return std::nullopt;
        return QByteArray(out, op - out);
    }

private:
    iconv_t cd_;
};

QString fromUtf16(const QByteArray& le)
{
    return QString(reinterpret_cast<const QChar*>(le.constData()), le.size() / 2);
}

// Every multi-byte code EUC-JP can have: half-width katakana, the two-byte plane, the
// three-byte plane.
QList<QByteArray> everyCode()
{
    QList<QByteArray> codes;
    for (int a = 0; a <= 0xFF; ++a) {
        codes << QByteArray("\x8E") + char(a);
        for (int b = 0xA1; a >= 0xA1 && a <= 0xFE && b <= 0xFE; ++b)
            codes << QByteArray(1, char(a)) + char(b) << QByteArray("\x8F") + char(a) + char(b);
    }
    return codes;
}

// Each code reads as glibc's EUC-JP-MS reads it (one it refuses: its first byte kept as a stray
// byte and the rest read afresh); where glibc's EUC-JP reads a JIS character, as that character's
// Windows twin; and what was read is written back as it was.
TEST(EucJpTable, EveryCodeReadsAsLinuxReadsItAndIsWrittenBackAsRead)
{
    const Iconv ms("UTF-16LE", "EUC-JP-MS"), jis("UTF-16LE", "EUC-JP");
    QStringList wrong;
    for (const QByteArray& code : everyCode()) {
        text::ReadCodes codes;
        const QString decoded = text::decodeEucJp(code, &codes);
        const std::optional<QByteArray> linux = ms(code);
        const QString expected =
            linux && linux->size() == 2
                ? fromUtf16(*linux)
                : QChar(0xF700 + uchar(code[0])) + text::decodeEucJp(code.sliced(1));
        const std::optional<QByteArray> plain = jis(code);
        const bool twin =
            !plain
            || (plain->size() == 2
                && QString(QChar(text::windowsTwin(fromUtf16(*plain)[0].unicode()))) == decoded);
        if (decoded != expected || !twin || text::encodeEucJp(decoded, {&codes}).bytes != code)
            wrong << QString::fromLatin1(code.toHex());
    }
    EXPECT_EQ(wrong, QStringList());
}

// Each character is written as glibc's EUC-JP-MS writes it, else as its EUC-JP does, else as a
// numeric reference. (The C1 controls, which glibc writes as single bytes, are carried as stray
// bytes when read, so the program writes them as references.)
TEST(EucJpTable, EveryCharacterIsWrittenAsLinuxWritesIt)
{
    const Iconv ms("EUC-JP-MS", "UTF-16LE"), jis("EUC-JP", "UTF-16LE");
    QStringList wrong;
    for (char32_t u = 0xA0; u <= 0xFFFF; ++u) {
        if (QChar::isSurrogate(u) || (u >= 0xF780 && u <= 0xF7FF))
            continue;
        const char16_t unit = char16_t(u);
        const QByteArray le(reinterpret_cast<const char*>(&unit), 2);
        const QByteArray expected =
            ms(le).value_or(jis(le).value_or(QStringLiteral("&#%1;").arg(u).toLatin1()));
        if (text::encodeEucJp(QString(QChar(unit))).bytes != expected)
            wrong << QString::number(u, 16);
    }
    EXPECT_EQ(wrong, QStringList());
}

// The list of JIS twins is exactly the characters Shift-JIS or EUC-JP write with a code that
// reads back as another character (Shift-JIS holds no ¦ at all).
TEST(EucJpTable, JisTwinsAreTheCharactersWrittenAsAnother)
{
    for (const text::Encoding encoding : {text::Encoding::ShiftJis, text::Encoding::EucJp}) {
        QString changed, twins;
        for (char32_t u = 0x80; u <= 0xFFFF; ++u) {
            if (QChar::isSurrogate(u) || (u >= 0xF780 && u <= 0xF7FF))
                continue;
            const QString c = QChar(char16_t(u));
            const text::Encoded written = encodeIn(c, encoding);
            if (written.unencodable.isEmpty() && decodeIn(written.bytes, encoding) != c)
                changed += c;
            if (text::windowsTwin(char16_t(u)) != u && written.unencodable.isEmpty())
                twins += c;
        }
        EXPECT_EQ(changed, twins) << int(encoding);
    }
}

} // namespace
