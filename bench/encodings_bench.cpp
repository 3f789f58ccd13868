// Times a generated 50 MB diary in each encoding: the codecs against glibc iconv on the same
// bytes, and opening and saving through DiaryDocument (guess, decode, editor, encode, safe write)
// against the same diary in Shift-JIS. A text longer than the editor takes is timed in the codecs
// only.
//
// Usage (runs offscreen): encodings_bench [megabytes] [repeats]

#include "DiaryGenerator.h"
#include "document/DiaryText.h"
#include "support/FileCodecs.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using text::Encoding;

struct Form {
    const char* name;
    const char* iconvName;
    Encoding encoding;
};

const Form forms[] = {
    {"Shift-JIS", "CP932", Encoding::ShiftJis},
    {"EUC-JP", "EUC-JP-MS", Encoding::EucJp},
    {"UTF-8", "UTF-8", Encoding::Utf8},
};

double bestOf(int repeats, const std::function<void()>& run)
{
    double best = 1e18;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Timer::now();
        run();
        best = std::min(best, msSince(start));
    }
    return best;
}

// Open (from the call until the editor holds the text) and save, through the document.
std::pair<double, double> openAndSave(const QString& path, int repeats)
{
    ShownDocument shown(path);
    const double open = bestOf(repeats, [&] {
        shown.doc->OpenDiaryFile(path);
        runUntilIdle();
    });
    const double save = bestOf(repeats, [&] { shown.doc->SaveDiary(); });
    return {open, save};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;

    const QString text = text::decodeCp932(generateDiary(megabytes));
    QTemporaryDir dir;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("%lld MB diary, best of %d\n", qlonglong(megabytes), repeats);
    std::printf("%-10s %9s %9s %9s %9s %9s %9s %8s %8s\n", "", "MB", "decode", "iconv", "encode",
                "iconv", "open ms", "save ms", "vs SJIS");
    double sjisTotal = 0;
    for (const Form& form : forms) {
        const QByteArray bytes = encodeIn(text, form.encoding).bytes;
        const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        const double decode = bestOf(repeats, [&] { (void)decodeIn(bytes, form.encoding); });
        const double iconvDecode = bestOf(repeats, [&] {
            (void)iconvMs("UTF-16LE", form.iconvName, bytes, bytes.size() * 2 + 16);
        });
        const double encode = bestOf(repeats, [&] { (void)encodeIn(text, form.encoding); });
        const double iconvEncode = bestOf(repeats, [&] {
            (void)iconvMs(form.iconvName, "UTF-16LE", utf16, utf16.size() * 2 + 16);
        });
        const QString path = dir.filePath(QString::fromLatin1(form.name) + QStringLiteral(".htm"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
        file.close();
        if (text.size() > document::maxDiaryCharacters) {
            std::printf("%-10s %9.1f %9.0f %9.0f %9.0f %9.0f  over the editor's limit\n", form.name,
                        double(bytes.size()) / (1024 * 1024), decode, iconvDecode, encode,
                        iconvEncode);
            continue;
        }
        const auto [open, save] = openAndSave(path, repeats);
        if (form.encoding == Encoding::ShiftJis)
            sjisTotal = open + save;
        std::printf("%-10s %9.1f %9.0f %9.0f %9.0f %9.0f %9.0f %8.0f %8.2f\n", form.name,
                    double(bytes.size()) / (1024 * 1024), decode, iconvDecode, encode, iconvEncode,
                    open, save, (open + save) / sjisTotal);
    }
    return 0;
}
