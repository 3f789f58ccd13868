// Build-time tool: turns a UTF-8 text file into code page 932 with CR LF line ends, through the
// program's own codec, so that the files shipped with the program have the form of the files it
// writes. A file that is not UTF-8, or that holds a character code page 932 cannot, is refused.
//
// Usage: pelmora_utf8_to_cp932 INPUT OUTPUT

#include "text/Cp932.h"
#include "text/LineEnds.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstdio>

namespace {

int fail(const QString& what)
{
    std::fprintf(stderr, "pelmora_utf8_to_cp932: %s\n", qPrintable(what));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail(QStringLiteral("usage: pelmora_utf8_to_cp932 INPUT OUTPUT"));
    const QString inPath = QString::fromLocal8Bit(argv[1]);
    const QString outPath = QString::fromLocal8Bit(argv[2]);

    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly))
        return fail(inPath + QStringLiteral(": ") + in.errorString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(in.readAll());
    if (utf8.hasError())
        return fail(inPath + QStringLiteral(": not UTF-8"));

    // LF and CR LF alike end up as CR LF.
    const text::Encoded encoded = text::encodeCp932FromEditor(text::toEditorText(text));
    if (!encoded.unencodable.isEmpty()) {
        const char32_t first = encoded.unencodable.first();
        return fail(inPath
                    + QStringLiteral(": U+%1 has no code page 932 code")
                          .arg(quint32(first), 4, 16, QLatin1Char('0')));
    }

    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(encoded.bytes) != encoded.bytes.size()
        || !out.commit())
        return fail(outPath + QStringLiteral(": ") + out.errorString());
    return 0;
}
